#pragma once
// FindD: the modeless find dialog, laid out like the standard Windows one
// (find text, whole word, match case, Find Next, Cancel) without the up/down
// choice: a find always runs forward.

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

class FindDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int MaxTextLength = 255;

    explicit FindDialog(QWidget *parent = nullptr);

    QString findText() const;
    // Longer texts are cut to their first MaxTextLength characters.
    void setFindText(const QString &text);
    bool matchCase() const;
    void setMatchCase(bool on);
    bool wholeWord() const;
    void setWholeWord(bool on);

    // Shows the dialog, or brings it to the front when it is shown already.
    void showOrRaise();

Q_SIGNALS:
    void findNext();

private:
    QLineEdit *m_findText;
    QCheckBox *m_wholeWord;
    QCheckBox *m_matchCase;
    QPushButton *m_findNext;
};
