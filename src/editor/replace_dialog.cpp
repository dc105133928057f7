#include "editor/replace_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

ReplaceDialog::ReplaceDialog(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("RD"));
    setWindowTitle(QStringLiteral("Replace"));
    setModal(false);

    auto *findLabel = new QLabel(QStringLiteral("Fi&nd what:"), this);
    m_findText = new QLineEdit(this);
    m_findText->setObjectName(QStringLiteral("FindText"));
    m_findText->setMaxLength(MaxTextLength);
    m_findText->setMinimumWidth(220);
    findLabel->setBuddy(m_findText);
    auto *replaceLabel = new QLabel(QStringLiteral("Re&place with:"), this);
    m_replaceText = new QLineEdit(this);
    m_replaceText->setObjectName(QStringLiteral("ReplaceText"));
    m_replaceText->setMaxLength(MaxTextLength);
    replaceLabel->setBuddy(m_replaceText);
    m_matchCase = new QCheckBox(QStringLiteral("Match &case"), this);
    m_matchCase->setObjectName(QStringLiteral("MatchCase"));

    m_findNext = new QPushButton(QStringLiteral("&Find Next"), this);
    m_findNext->setObjectName(QStringLiteral("FindNext"));
    m_findNext->setDefault(true);
    m_replace = new QPushButton(QStringLiteral("&Replace"), this);
    m_replace->setObjectName(QStringLiteral("Replace"));
    m_replaceAllButton = new QPushButton(QStringLiteral("Replace &All"), this);
    m_replaceAllButton->setObjectName(QStringLiteral("ReplaceAll"));
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("Cancel"));

    auto *layout = new QGridLayout(this);
    layout->addWidget(findLabel, 0, 0);
    layout->addWidget(m_findText, 0, 1);
    layout->addWidget(replaceLabel, 1, 0);
    layout->addWidget(m_replaceText, 1, 1);
    auto *options = new QVBoxLayout;
    options->addStretch();
    options->addWidget(m_matchCase);
    layout->addLayout(options, 2, 0, 1, 2);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_findNext);
    buttons->addWidget(m_replace);
    buttons->addWidget(m_replaceAllButton);
    buttons->addWidget(cancel);
    buttons->addStretch();
    layout->addLayout(buttons, 0, 2, 3, 1);

    // Like the Windows dialog: nothing to find, no find or replace.
    const auto enable = [this](const QString &text) {
        for (QPushButton *button : {m_findNext, m_replace, m_replaceAllButton})
            button->setEnabled(!text.isEmpty());
    };
    enable(QString());
    connect(m_findText, &QLineEdit::textChanged, this, enable);
    connect(m_findNext, &QPushButton::clicked, this, &ReplaceDialog::findNext);
    connect(m_replace, &QPushButton::clicked, this, [this] { raiseReplace(false); });
    connect(m_replaceAllButton, &QPushButton::clicked, this, [this] { raiseReplace(true); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::close);
}

void ReplaceDialog::raiseReplace(bool all) {
    m_replaceAll = all;
    Q_EMIT replace();
}

QString ReplaceDialog::findText() const {
    return m_findText->text();
}

void ReplaceDialog::setFindText(const QString &text) {
    m_findText->setText(text.left(MaxTextLength));
}

QString ReplaceDialog::replaceText() const {
    return m_replaceText->text();
}

void ReplaceDialog::setReplaceText(const QString &text) {
    m_replaceText->setText(text.left(MaxTextLength));
}

bool ReplaceDialog::matchCase() const {
    return m_matchCase->isChecked();
}

void ReplaceDialog::setMatchCase(bool on) {
    m_matchCase->setChecked(on);
}

void ReplaceDialog::showOrRaise() {
    show();
    raise();
    activateWindow();
    m_findText->setFocus();
    m_findText->selectAll();
}
