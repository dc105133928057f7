#pragma once
// Find and replace in the editor of the current page through the modeless
// dialogs FindD and RD; F3 in an editor repeats the last find.

#include <QObject>

class Dialogs;
class FindDialog;
class PageEditor;
class QTabWidget;
class QWidget;
class ReplaceDialog;
struct PageContext;

class FindReplace : public QObject {
    Q_OBJECT
public:
    FindReplace(QWidget *window, PageContext &context, QTabWidget *pages, Dialogs &dialogs);

    FindDialog *FindD;
    ReplaceDialog *RD;
    // Set while a find moves the selection: no number lookup then.
    bool FindRunning = false;
    // Set while replace all rewrites the text: the tree does not follow the caret then.
    bool ReplaceAllRunning = false;

    void TBFindClick();
    void TBReplaceClick();
    void FindDFind();
    void RDFind();
    void RDReplace();
    void EditorKeyDown(int key, Qt::KeyboardModifiers shift);
    void SelectMatch(int position);
    void ScrollCaretIntoView();

    // Routes the editor's key presses to EditorKeyDown; pages added to the page control get it by
    // themselves, calling it again does no harm.
    void attachEditor(PageEditor *editor);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    PageContext &m_context;
    Dialogs &m_dialogs;
};
