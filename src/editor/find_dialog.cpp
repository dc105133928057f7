#include "editor/find_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

FindDialog::FindDialog(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FindD"));
    setWindowTitle(QStringLiteral("Find"));
    setModal(false);

    auto *label = new QLabel(QStringLiteral("Fi&nd what:"), this);
    m_findText = new QLineEdit(this);
    m_findText->setObjectName(QStringLiteral("FindText"));
    m_findText->setMaxLength(MaxTextLength);
    m_findText->setMinimumWidth(220);
    label->setBuddy(m_findText);
    m_wholeWord = new QCheckBox(QStringLiteral("Match &whole word only"), this);
    m_wholeWord->setObjectName(QStringLiteral("WholeWord"));
    m_matchCase = new QCheckBox(QStringLiteral("Match &case"), this);
    m_matchCase->setObjectName(QStringLiteral("MatchCase"));

    m_findNext = new QPushButton(QStringLiteral("&Find Next"), this);
    m_findNext->setObjectName(QStringLiteral("FindNext"));
    m_findNext->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("Cancel"));

    auto *layout = new QGridLayout(this);
    layout->addWidget(label, 0, 0);
    layout->addWidget(m_findText, 0, 1);
    auto *options = new QVBoxLayout;
    options->addWidget(m_wholeWord);
    options->addWidget(m_matchCase);
    options->addStretch();
    layout->addLayout(options, 1, 0, 1, 2);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_findNext);
    buttons->addWidget(cancel);
    buttons->addStretch();
    layout->addLayout(buttons, 0, 2, 2, 1);

    // Like the Windows dialog: nothing to find, no Find Next.
    m_findNext->setEnabled(false);
    connect(m_findText, &QLineEdit::textChanged, this,
            [this](const QString &text) { m_findNext->setEnabled(!text.isEmpty()); });
    connect(m_findNext, &QPushButton::clicked, this, &FindDialog::findNext);
    connect(cancel, &QPushButton::clicked, this, &QDialog::close);
}

QString FindDialog::findText() const {
    return m_findText->text();
}

void FindDialog::setFindText(const QString &text) {
    m_findText->setText(text.left(MaxTextLength));
}

bool FindDialog::matchCase() const {
    return m_matchCase->isChecked();
}

void FindDialog::setMatchCase(bool on) {
    m_matchCase->setChecked(on);
}

bool FindDialog::wholeWord() const {
    return m_wholeWord->isChecked();
}

void FindDialog::setWholeWord(bool on) {
    m_wholeWord->setChecked(on);
}

void FindDialog::showOrRaise() {
    show();
    raise();
    activateWindow();
    m_findText->setFocus();
    m_findText->selectAll();
}
