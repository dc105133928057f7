#pragma once
// RD: the modeless replace dialog, laid out like the standard Windows one
// (find text, replace text, match case, Find Next, Replace, Replace All,
// Cancel) without the whole-word choice.

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

class ReplaceDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int MaxTextLength = 255;

    explicit ReplaceDialog(QWidget *parent = nullptr);

    QString findText() const;
    // Longer texts are cut to their first MaxTextLength characters.
    void setFindText(const QString &text);
    QString replaceText() const;
    void setReplaceText(const QString &text);
    bool matchCase() const;
    void setMatchCase(bool on);
    // Which button raised the last replace: Replace All (true) or Replace (false).
    bool replaceAll() const { return m_replaceAll; }

    // Shows the dialog, or brings it to the front when it is shown already.
    void showOrRaise();

Q_SIGNALS:
    void findNext();
    // Raised by both Replace and Replace All; replaceAll() tells which.
    void replace();

private:
    void raiseReplace(bool all);

    QLineEdit *m_findText;
    QLineEdit *m_replaceText;
    QCheckBox *m_matchCase;
    QPushButton *m_findNext;
    QPushButton *m_replace;
    QPushButton *m_replaceAllButton;
    bool m_replaceAll = false;
};
