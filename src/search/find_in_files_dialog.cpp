#include "search/find_in_files_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

FindInFilesDialog::FindInFilesDialog(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FindInFilesD"));
    setWindowTitle(QStringLiteral("Find in Files"));
    setModal(false);
    auto *form = new QFormLayout;
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("FindInFilesText"));
    form->addRow(QStringLiteral("Fi&nd what:"), m_text);
    m_matchCase = new QCheckBox(QStringLiteral("Match &case"), this);
    m_matchCase->setObjectName(QStringLiteral("FindInFilesMatchCase"));
    m_wholeWord = new QCheckBox(QStringLiteral("Match &whole word only"), this);
    m_wholeWord->setObjectName(QStringLiteral("FindInFilesWholeWord"));
    m_regex = new QCheckBox(QStringLiteral("Regular e&xpression"), this);
    m_regex->setObjectName(QStringLiteral("FindInFilesRegex"));
    auto *options = new QVBoxLayout;
    options->addWidget(m_matchCase);
    options->addWidget(m_wholeWord);
    options->addWidget(m_regex);
    form->addRow(QString(), options);
    m_where = new QComboBox(this);
    m_where->setObjectName(QStringLiteral("FindInFilesWhere"));
    m_where->addItem(QStringLiteral("Keys and values"), int(SearchQuery::Where::Both));
    m_where->addItem(QStringLiteral("Keys"), int(SearchQuery::Where::Keys));
    m_where->addItem(QStringLiteral("Values"), int(SearchQuery::Where::Values));
    form->addRow(QStringLiteral("&Look in:"), m_where);
    m_folder = new QLineEdit(this);
    m_folder->setObjectName(QStringLiteral("FindInFilesFolder"));
    form->addRow(QStringLiteral("&Folder:"), m_folder);
    m_subfolders = new QCheckBox(QStringLiteral("Include &subfolders"), this);
    m_subfolders->setObjectName(QStringLiteral("FindInFilesSubfolders"));
    m_subfolders->setChecked(true);
    form->addRow(QString(), m_subfolders);
    m_pattern = new QLineEdit(QStringLiteral("*.rbf"), this);
    m_pattern->setObjectName(QStringLiteral("FindInFilesPattern"));
    form->addRow(QStringLiteral("File &names:"), m_pattern);

    auto *buttons = new QDialogButtonBox(this);
    m_find = buttons->addButton(QStringLiteral("Find"), QDialogButtonBox::AcceptRole);
    m_find->setObjectName(QStringLiteral("FindInFilesFind"));
    m_find->setDefault(true);
    QPushButton *close = buttons->addButton(QStringLiteral("Close"), QDialogButtonBox::RejectRole);
    close->setObjectName(QStringLiteral("FindInFilesClose"));
    connect(m_find, &QPushButton::clicked, this, &FindInFilesDialog::findRequested);
    connect(close, &QPushButton::clicked, this, &QDialog::hide);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    resize(460, sizeHint().height());
}

SearchQuery FindInFilesDialog::query() const {
    SearchQuery query;
    query.text = m_text->text();
    query.matchCase = m_matchCase->isChecked();
    query.wholeWord = m_wholeWord->isChecked();
    query.regularExpression = m_regex->isChecked();
    query.where = SearchQuery::Where(m_where->currentData().toInt());
    return query;
}

void FindInFilesDialog::setQuery(const SearchQuery &query) {
    m_text->setText(query.text);
    m_matchCase->setChecked(query.matchCase);
    m_wholeWord->setChecked(query.wholeWord);
    m_regex->setChecked(query.regularExpression);
    m_where->setCurrentIndex(qMax(0, m_where->findData(int(query.where))));
}

SearchScope FindInFilesDialog::scope() const {
    SearchScope scope;
    scope.folder = QDir::fromNativeSeparators(m_folder->text().trimmed());
    scope.subfolders = m_subfolders->isChecked();
    scope.pattern = m_pattern->text().trimmed();
    return scope;
}

void FindInFilesDialog::setScope(const SearchScope &scope) {
    setFolder(scope.folder);
    m_subfolders->setChecked(scope.subfolders);
    m_pattern->setText(scope.pattern);
}

void FindInFilesDialog::setFolder(const QString &folder) {
    m_folder->setText(QDir::toNativeSeparators(folder));
}

void FindInFilesDialog::showOrRaise() {
    show();
    raise();
    activateWindow();
    m_text->setFocus();
    m_text->selectAll();
}
