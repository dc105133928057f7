#pragma once
// The seam for every modal dialog of the program: message boxes, the input
// query, the file dialogs and the font dialog. The window only ever talks to
// this interface, so a test can script the answers and record the questions.

#include <QFont>
#include <QString>
#include <QStringList>

class QWidget;

struct FileDialogSpec {
    QString title;
    QString filter;    // "Description|*.ext" entries joined by "|", as the program states them
    QString directory; // starting folder
};

class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual void ShowError(const QString &text) = 0;
    virtual void ShowWarning(const QString &text) = 0;
    virtual void ShowInfo(const QString &text) = 0;
    // An error whose details (what a converter printed, say) are shown below its text.
    virtual void ShowErrorDetails(const QString &text, const QString &details) = 0;
    // An error with details that offers to go somewhere: the question follows the details, the
    // answers are Yes and No. True only for Yes; any other way of ending the box counts as No.
    virtual bool AskErrorGoThere(const QString &text, const QString &details, const QString &question) = 0;
    // True only for Yes; any other way of ending the box counts as No.
    virtual bool AskYesNo(const QString &text) = 0;
    // value holds the initial text and receives the answer; false when cancelled.
    virtual bool InputQuery(const QString &caption, const QString &prompt, QString &value) = 0;
    // A choice of one of items; index receives the chosen one's position. False when cancelled.
    virtual bool ChooseItem(const QString &caption, const QString &prompt, const QStringList &items,
                            int &index) = 0;
    virtual bool OpenFile(const FileDialogSpec &request, QString &path) = 0;
    virtual bool OpenFiles(const FileDialogSpec &request, QStringList &paths) = 0;
    // font holds the initial font and receives the choice; false when cancelled.
    virtual bool ChooseFont(QFont &font) = 0;
};

// The name of the style of the font's family that has the font's weight and slant ("Book" for the
// plain style of DejaVu Sans); empty when the family has none.
QString FontStyleName(const QFont &font);

// Converts "Description|*.ext|Other|*.a;*.b" into Qt's "Description (*.ext);;Other (*.a *.b)".
QString QtFileFilter(const QString &filter);

// The real dialogs of Qt, owned by the window.
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget *parent) : m_parent(parent) {}
    void ShowError(const QString &text) override;
    void ShowWarning(const QString &text) override;
    void ShowInfo(const QString &text) override;
    void ShowErrorDetails(const QString &text, const QString &details) override;
    bool AskErrorGoThere(const QString &text, const QString &details, const QString &question) override;
    bool AskYesNo(const QString &text) override;
    bool InputQuery(const QString &caption, const QString &prompt, QString &value) override;
    bool ChooseItem(const QString &caption, const QString &prompt, const QStringList &items,
                    int &index) override;
    bool OpenFile(const FileDialogSpec &request, QString &path) override;
    bool OpenFiles(const FileDialogSpec &request, QStringList &paths) override;
    bool ChooseFont(QFont &font) override;

private:
    QWidget *m_parent;
};
