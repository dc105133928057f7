// Building a page's structure tree from its editor's lines, and the tree's
// expand and collapse handlers.

#include "document/busy_state.h"
#include "document/page.h"
#include "document/page_context.h"
#include "editor/page_editor.h"
#include "tree/line_splitter.h"
#include "tree/page_tree.h"
#include "tree/structure_tree_model.h"
#include "tree/tree_build_ahead.h"
#include "tree/tree_sync.h"
#include "ui/event_pump.h"
#include "ui/feedback.h"
#include "ui/status_progress.h"

namespace {

// The tree of an editor's first lineCount lines, read straight from its buffer and split where
// the editor splits lines (CR LF, LF or CR): no string is made of a line, only of new keys.
// Events run every 100 lines, at most once per pump interval. An edit that arrives with them
// changes the buffer; reading goes on at the same line of the changed text.
StructureTree BuildFromEditor(PageEditor *editor, int lineCount, StatusProgress &progress) {
    StructureTreeBuilder builder;
    EventPump pump;
    quint64 changes = editor->changeCount();
    LineSplitter lines(editor->utf8View());
    QByteArrayView line;
    for (int i = 0; i < lineCount; ++i) {
        if (i % 100 == 0) {
            if (i % 10000 == 0)
                progress.setProgress(i, lineCount);
            pump.maybePump();
            if (editor->changeCount() != changes) {
                changes = editor->changeCount();
                const QByteArrayView text = editor->utf8View();
                const long start = editor->lineStartByte(i);
                lines.reset(text, start < 0 ? text.size() : start);
            }
        }
        if (!lines.next(line))
            line = QByteArrayView();
        builder.addLineUtf8(i, line);
    }
    return builder.finish();
}

// The tree built during the load, when it is that of the editor's text: the worker is waited for
// with events running, and an edit meanwhile makes its tree useless.
bool TakeAhead(TreeBuildAhead &ahead, PageEditor *editor, int lineCount, StatusProgress &progress,
               StructureTree &built) {
    if (ahead.textVersion != editor->changeCount())
        return false;
    ahead.endOfText();
    EventPump pump;
    while (!ahead.waitUntilBuilt(5)) {
        progress.setProgress(ahead.linesBuilt(), lineCount);
        pump.maybePump();
    }
    if (ahead.textVersion != editor->changeCount() || ahead.linesBuilt() != lineCount)
        return false;
    built = ahead.take();
    return true;
}

} // namespace

bool TreeSync::RebuildCurrentTree() {
    Page *page = m_context.CurrentSheet;
    if (!page)
        return false;
    if (page->isBusy()) {
        m_feedback.SetStatusText(BusyMessage(page->RbfPath));
        return false;
    }
    page->tree()->TreeState = PageTree::Rebuild;
    return RebuildStructureTree(page->tree(), page->editor());
}

bool TreeSync::RebuildStructureTree(PageTree *tree, PageEditor *editor, TreeBuildAhead *ahead) {
    Page *page = PageOf(tree);
    if (!page || page->TreeBuilding)
        return false;
    // The build lets events run: the page stays until it is over, and caret moves leave the tree alone.
    const BusyGuard guard(m_busy, page);
    struct Building {
        Page *page;
        bool suspended = true;
        explicit Building(Page *p) : page(p) {
            page->TreeBuilding = true;
            ++page->SyncSuspended;
        }
        ~Building() {
            page->TreeBuilding = false;
            endSuspension();
        }
        void endSuspension() {
            if (suspended)
                --page->SyncSuspended;
            suspended = false;
        }
    } building(page);

    const QString remembered = m_feedback.statusText();
    m_feedback.SetStatusText(QStringLiteral("Wait..."));
    tree->setEnabled(false);

    // The new tree is built beside the old one and replaces it in one model reset.
    int lineCount = editor->LineCount();
    StructureTree built;
    {
        StatusProgress progress(m_feedback);
        if (!ahead || !TakeAhead(*ahead, editor, lineCount, progress, built)) {
            // Events ran while the worker was waited for: an edit may have changed the lines.
            lineCount = editor->LineCount();
            if (lineCount > 0)
                built = BuildFromEditor(editor, lineCount, progress);
        }
    }
    // Replacing the tree frees the old nodes with their records.
    tree->treeModel()->setTree(std::move(built));
    building.endSuspension();

    if (lineCount > 0) {
        if (tree->TreeState == PageTree::FirstBuild) {
            tree->TreeState = PageTree::Idle;
            if (tree->structure().nodeCount() > 0)
                tree->selectNode(0);
        } else if (tree->TreeState == PageTree::Rebuild) {
            editor->LastSyncedLine = -1;
            syncPage(page, true);
        }
    }
    tree->setEnabled(true);
    if (m_window->isVisible() && editor->isVisible() && editor->isEnabled() &&
        editor->focusPolicy() != Qt::NoFocus)
        editor->setFocus();
    m_feedback.SetStatusText(remembered);
    return true;
}

void TreeSync::FreeNodeInfos(PageTree *tree) {
    // Each node's record is held by the tree's node arrays and goes with them.
    if (tree && tree->structure().nodeCount() > 0)
        tree->treeModel()->clear();
}

void TreeSync::ExpandAndShow(PageTree *tree, int node, bool recursive) {
    if (!tree || node < 0)
        return;
    const QModelIndex index = tree->indexOfNode(node);
    if (!index.isValid())
        return;
    if (recursive)
        tree->expandRecursively(index);
    else if (!tree->isExpanded(index))
        // Asked to expand a node that is already open, the view lays itself out and repaints
        // all of its rows again; the caret's node is asked for on every caret move.
        tree->expand(index);
    // The ancestors, so that the node can be shown: one per level, not one per node.
    for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent()) {
        if (!tree->isExpanded(parent))
            tree->expand(parent);
    }
    // A node out of sight comes to the middle of the view rather than to its edge: walking the
    // caret through the text then scrolls the tree once every half page, not on every line
    // (each scroll repaints the whole tree and its scroll bar).
    const QRect rect = tree->visualRect(index);
    if (!rect.isValid() || !tree->viewport()->rect().contains(rect))
        tree->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

void TreeSync::TreeViewCollapsing(PageTree *tree) {
    tree->TreeState = PageTree::Collapsing;
}

void TreeSync::TreeViewCollapsed(PageTree *tree) {
    tree->TreeState = PageTree::Idle;
}

// The view reports a collapse only once it is done. A selected node that the
// collapse hid moves to the collapsed node, as the selection does on a native
// tree, while the tree is Collapsing, so that the editor does not follow.
void TreeSync::collapsed(PageTree *tree, const QModelIndex &index) {
    TreeViewCollapsing(tree);
    const int node = StructureTreeModel::nodeOf(index);
    const StructureTree &structure = tree->structure();
    int selected = tree->selectedNode();
    if (selected >= 0 && node >= 0) {
        for (int p = structure.parent(selected); p >= 0; p = structure.parent(p)) {
            if (p == node) {
                tree->selectNode(node);
                break;
            }
        }
    }
    TreeViewCollapsed(tree);
}
