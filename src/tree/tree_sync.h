#pragma once
// The structure tree of each page and its editor in step: building the tree
// from the editor's lines, selecting a node moves the editor to its key,
// moving the caret selects the node of its line, and keys and values are
// edited from the tree. Handlers are named after the control and event
// they serve. Each works on the page the context names, or on the page of the tree
// that raised it.

#include <QObject>
#include <QStringList>
#include <functional>

class BusyState;
class Dialogs;
class Feedback;
class Page;
class PageEditor;
class TreeBuildAhead;
class PageTree;
class QAction;
class QMenu;
class QModelIndex;
class QWidget;
struct PageContext;

class TreeSync : public QObject {
    Q_OBJECT
public:
    struct Parts {
        QWidget *window;
        PageContext &context;
        Feedback &feedback;
        Dialogs &dialogs;
        QStringList &rememberedNodePath;
        QMenu *PMTreeView;
        BusyState &busy;
    };
    TreeSync(const Parts &parts, QObject *parent = nullptr);

    // Hooks the window sets for the other subsystems.
    // The number lookup that runs as the second half of every caret synchronisation.
    std::function<void()> LookupSelectedNumber;
    // True while a replace-all runs: caret moves then only update the caret status.
    std::function<bool()> ReplaceAllRunning;

    // Connects a new page's tree and editor to the handlers below.
    void attach(Page *page);

    // Building (the tree's TreeState says which build this is). False when a
    // build of this tree is already under way.
    // ahead, when given, is a tree built from the load of the editor's text: taken when the text
    // is still the one it was built from.
    bool RebuildStructureTree(PageTree *tree, PageEditor *editor, TreeBuildAhead *ahead = nullptr);
    // The Rebuild Tree command's work on the current page; false when there is
    // none or the page is busy with another operation.
    bool RebuildCurrentTree();
    // Node data lives in the tree's model: clearing the model frees it.
    void FreeNodeInfos(PageTree *tree);
    void ExpandAndShow(PageTree *tree, int node, bool recursive);
    void TreeViewCollapsing(PageTree *tree);
    void TreeViewCollapsed(PageTree *tree);

    // Tree and editor in step.
    void TreeViewChange(PageTree *tree, int node);
    void EditNodeValue();
    void TreeViewEdited(PageTree *tree, int node, const QString &newText);
    void TreeViewMouseDown(PageTree *tree, Qt::MouseButton button, Qt::KeyboardModifiers shift,
                           const QPoint &pos);
    void SyncTreeWithCaret();
    void PMTreeViewPopup();
    void PMEditKeyClick();
    void PMEditValueClick();
    void PMExpandClick();
    static void NodePathOf(const PageTree *tree, int node, QStringList &list);
    // The selected node of the current tree, -1 when none.
    int SelectedNode() const;

    QAction *PMEditKey = nullptr;
    QAction *PMEditValue = nullptr;
    QAction *PMExpand = nullptr;

private:
    void syncPage(Page *page, bool afterBuild);
    void collapsed(PageTree *tree, const QModelIndex &index);
    QAction *menuItem(const char *name, const QString &caption);

    QWidget *m_window;
    PageContext &m_context;
    Feedback &m_feedback;
    Dialogs &m_dialogs;
    QStringList &m_rememberedNodePath;
    QMenu *m_menu;
    BusyState &m_busy;
};
