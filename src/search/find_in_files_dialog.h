#pragma once
// The modeless Find in Files dialog: the text to find with its options, where in a line to look,
// and which files (folder, subfolders, file name pattern).

#include "search/search_query.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

class FindInFilesDialog : public QDialog {
    Q_OBJECT
public:
    explicit FindInFilesDialog(QWidget *parent = nullptr);

    SearchQuery query() const;
    void setQuery(const SearchQuery &query);
    SearchScope scope() const;
    void setScope(const SearchScope &scope);
    void setFolder(const QString &folder);
    // Shows the dialog, or brings it to the front, with the text to find selected.
    void showOrRaise();

Q_SIGNALS:
    void findRequested();

private:
    QLineEdit *m_text;
    QCheckBox *m_matchCase;
    QCheckBox *m_wholeWord;
    QCheckBox *m_regex;
    QComboBox *m_where;
    QLineEdit *m_folder;
    QCheckBox *m_subfolders;
    QLineEdit *m_pattern;
    QPushButton *m_find;
};
