#include "tree/tree_sync.h"

#include "document/busy_state.h"
#include "document/page.h"
#include "document/page_context.h"
#include "editor/page_editor.h"
#include "tree/line_grammar.h"
#include "tree/node_key.h"
#include "tree/page_tree.h"
#include "tree/structure_tree_model.h"
#include "ui/dialogs.h"
#include "ui/event_pump.h"
#include "ui/feedback.h"
#include "ui/paints_held.h"

#include <QAction>
#include <QCursor>
#include <QMenu>

namespace {

const QString kKeyNotFound = QStringLiteral("Key is not found!");

} // namespace

TreeSync::TreeSync(const Parts &parts, QObject *parent)
    : QObject(parent), m_window(parts.window), m_context(parts.context), m_feedback(parts.feedback),
      m_dialogs(parts.dialogs), m_rememberedNodePath(parts.rememberedNodePath), m_menu(parts.PMTreeView),
      m_busy(parts.busy) {
    PMEditKey = menuItem("PMEditKey", QStringLiteral("Edit Key"));
    PMEditValue = menuItem("PMEditValue", QStringLiteral("Edit Value"));
    if (PMEditValue && PMEditValue->property("createdHere").toBool())
        m_menu->addSeparator();
    PMExpand = menuItem("PMExpand", QStringLiteral("Full Expand"));
    if (PMEditKey)
        connect(PMEditKey, &QAction::triggered, this, [this] { PMEditKeyClick(); });
    if (PMEditValue)
        connect(PMEditValue, &QAction::triggered, this, [this] { PMEditValueClick(); });
    if (PMExpand)
        connect(PMExpand, &QAction::triggered, this, [this] { PMExpandClick(); });
    if (m_menu)
        connect(m_menu, &QMenu::aboutToShow, this, [this] { PMTreeViewPopup(); });
}

// The menu items are the window's; they are made here only when the window has none yet.
QAction *TreeSync::menuItem(const char *name, const QString &caption) {
    if (!m_menu)
        return nullptr;
    const QString objectName = QString::fromLatin1(name);
    for (QAction *action : m_menu->actions()) {
        if (action->objectName() == objectName)
            return action;
    }
    QAction *action = m_menu->addAction(caption);
    action->setObjectName(objectName);
    action->setProperty("createdHere", true);
    return action;
}

void TreeSync::attach(Page *page) {
    PageTree *tree = page->tree();
    connect(tree, &PageTree::selectionChangedTo, this,
            [this, tree](int node) { TreeViewChange(tree, node); });
    // The value dialog is modal: it opens after the double click, not inside the tree's handler of it.
    connect(tree, &PageTree::doubleClickedAnywhere, this,
            [this] { EventPump::afterInput(this, [this] { EditNodeValue(); }); });
    connect(tree, &PageTree::mousePressed, this,
            [this, tree](Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint &pos) {
                TreeViewMouseDown(tree, button, modifiers, pos);
            });
    connect(tree, &QTreeView::collapsed, this,
            [this, tree](const QModelIndex &index) { collapsed(tree, index); });
    tree->treeModel()->EditHandler = [this, tree](int node, const QString &text) {
        TreeViewEdited(tree, node, text);
    };
    connect(page->editor(), &PageEditor::selectionMoved, this, [this, page] {
        // Only the current page's editor is followed; the context names its tree.
        if (page == m_context.CurrentSheet)
            SyncTreeWithCaret();
    });
}

void TreeSync::NodePathOf(const PageTree *tree, int node, QStringList &list) {
    list.clear();
    if (!tree)
        return;
    const StructureTree &structure = tree->structure();
    for (int n = node; n >= 0 && n < structure.nodeCount(); n = structure.parent(n))
        list << structure.text(n);
}

int TreeSync::SelectedNode() const {
    return m_context.CurrentTree ? m_context.CurrentTree->selectedNode() : -1;
}

void TreeSync::TreeViewChange(PageTree *tree, int node) {
    NodePathOf(tree, node, m_rememberedNodePath);
    if (tree->TreeState != PageTree::Idle || node < 0)
        return;
    Page *page = PageOf(tree);
    if (!page)
        return;
    const BusyGuard guard(m_busy, page);
    // The tree scrolls, the editor moves three times, the caret status and the hint change: each
    // step would paint what it changed, and the selection itself is drawn after this handler.
    // All of it is painted once, at the end.
    const EventPump::PaintsAtTheEnd paintsAtTheEnd;
    ExpandAndShow(tree, node, false);
    tree->TreeState = PageTree::Syncing;
    PageEditor *editor = page->editor();
    const StructureTree &structure = tree->structure();
    const int lineIndex = structure.info(node).LineIndex;
    const QString line = editor->Line(lineIndex);
    const KeyValue split = SplitKeyValue(line);
    const int column = NodeKeyColumn(line, structure.text(node));
    if (column >= 0) {
        {
            // Each of the three moves updates the caret status, which lets events run and would
            // paint the editor in between: its text is painted once, where it ends up.
            const PaintsHeld held(editor->viewport());
            editor->setCaret(PageEditor::charColumn(line, column), lineIndex);
            // To the end of the text and back to the key: its line ends up at the top of the view.
            editor->lineScroll(editor->LineCount());
            editor->setSelectionLength(PageEditor::charCount(split.key));
        }
        const QRect rect = tree->nodeTextRect(node);
        const QPoint topLeft = tree->viewport()->mapToGlobal(rect.topLeft());
        const QPoint bottomRight = tree->viewport()->mapToGlobal(rect.bottomRight());
        m_feedback.HintAnchor = QPoint(bottomRight.x() - 8, topLeft.y());
        m_feedback.ShowHintPopup(split.value, true, 0);
    } else {
        m_feedback.ShowHintPopup(QString(), true, 0);
        m_dialogs.ShowWarning(kKeyNotFound);
    }
    tree->TreeState = PageTree::Idle;
}

void TreeSync::EditNodeValue() {
    PageTree *tree = m_context.CurrentTree;
    Page *page = m_context.CurrentSheet;
    if (!tree || !page || tree->TreeState != PageTree::Idle)
        return;
    const BusyGuard guard(m_busy, page);
    tree->TreeState = PageTree::Syncing;
    [&] {
        PageEditor *editor = page->editor();
        const int node = tree->selectedNode();
        if (node < 0)
            return;
        const StructureTree &structure = tree->structure();
        const int lineIndex = structure.info(node).LineIndex;
        const QString line = editor->Line(lineIndex);
        if (!IsValueLine(line))
            return;
        const KeyValue split = SplitKeyValue(line);
        if (NodeKeyColumn(line, structure.text(node)) < 0) {
            m_dialogs.ShowWarning(kKeyNotFound);
            return;
        }
        QString value = split.value;
        if (!m_dialogs.InputQuery(QStringLiteral("Input value"), split.key + QStringLiteral(" :"), value))
            return;
        // Read again: the dialog let events run. Unchanged, it is the same line.
        const QString now = editor->Line(lineIndex);
        const int column = ValueColumn(now, split.value);
        if (column < 0) {
            m_dialogs.ShowWarning(QStringLiteral("Value has been changed!"));
            return;
        }
        editor->setCaret(PageEditor::charColumn(now, column), lineIndex);
        editor->setSelectionLength(PageEditor::charCount(split.value));
        editor->replaceSelection(value);
    }();
    tree->TreeState = PageTree::Idle;
}

void TreeSync::TreeViewEdited(PageTree *tree, int node, const QString &newText) {
    Page *page = PageOf(tree);
    if (!page || tree->TreeState != PageTree::Idle)
        return;
    const BusyGuard guard(m_busy, page);
    tree->TreeState = PageTree::Syncing;
    const StructureTree &structure = tree->structure();
    if (node >= 0 && node < structure.nodeCount()) {
        PageEditor *editor = page->editor();
        const int lineIndex = structure.info(node).LineIndex;
        const QString line = editor->Line(lineIndex);
        const int column = NodeKeyColumn(line, structure.text(node));
        if (column >= 0) {
            editor->setCaret(PageEditor::charColumn(line, column), lineIndex);
            editor->setSelectionLength(PageEditor::charCount(SplitKeyValue(line).key));
            editor->replaceSelection(newText);
        } else {
            m_dialogs.ShowWarning(kKeyNotFound);
        }
    }
    tree->TreeState = PageTree::Idle;
}

void TreeSync::TreeViewMouseDown(PageTree *tree, Qt::MouseButton button, Qt::KeyboardModifiers,
                                 const QPoint &pos) {
    if (button != Qt::RightButton)
        return;
    m_feedback.ShowHintPopup(QString(), true, 0);
    m_feedback.HintSuppressed = true;
    tree->selectNode(tree->nodeAt(pos));
    m_feedback.HintSuppressed = false;
    if (m_menu)
        m_menu->popup(QCursor::pos());
}

void TreeSync::SyncTreeWithCaret() {
    syncPage(m_context.CurrentSheet, false);
}

void TreeSync::syncPage(Page *page, bool afterBuild) {
    if (!page)
        return;
    const BusyGuard guard(m_busy, page);
    // The status shows the current editor's caret; a build may end on a page that is not current.
    if (page == m_context.CurrentSheet) {
        m_feedback.UpdateCaretStatus();
        // Events ran: follow the page only while it is still the current one.
        if (page != m_context.CurrentSheet && !afterBuild)
            return;
    }
    PageTree *tree = page->tree();
    PageEditor *editor = page->editor();
    const bool replaceAll = ReplaceAllRunning && ReplaceAllRunning();
    if (replaceAll || tree->TreeState == PageTree::Syncing || (page->SyncSuspended > 0 && !afterBuild))
        return;
    tree->TreeState = PageTree::Syncing;
    const int caretLine = editor->caretLine();
    if (caretLine != editor->LastSyncedLine) {
        // The node of the caret line by binary search over LineIndex, which increases in index
        // order; the same result as a walk over the nodes that stops at the first node past the
        // caret line. "found" is that walk's result being set: a node stands on the caret line,
        // or every node lies before it. Otherwise (no node, or the walk stopped past the caret
        // line) a first sync after a build selects the first node.
        const StructureTree &structure = tree->structure();
        bool found = false;
        const int node = structure.lastNodeAtOrBefore(caretLine);
        if (node >= 0) {
            if (structure.info(node).LineIndex == caretLine) {
                found = true;
                if (NodeKeyColumn(editor->Line(caretLine), structure.text(node)) >= 0)
                    tree->selectNode(node);
            } else if (node == structure.nodeCount() - 1) {
                found = true;
            }
        }
        if (editor->LastSyncedLine == -1 && !found && structure.nodeCount() > 0)
            tree->selectNode(0);
        ExpandAndShow(tree, tree->selectedNode(), false);
        editor->LastSyncedLine = caretLine;
    }
    if (LookupSelectedNumber)
        LookupSelectedNumber();
    tree->TreeState = PageTree::Idle;
}

void TreeSync::PMTreeViewPopup() {
    PageTree *tree = m_context.CurrentTree;
    const int node = tree ? tree->selectedNode() : -1;
    const bool hasChildren = node >= 0 && tree->structure().hasChildren(node);
    if (PMEditKey)
        PMEditKey->setEnabled(node >= 0);
    if (PMEditValue)
        PMEditValue->setEnabled(node >= 0 && !hasChildren);
    if (PMExpand)
        PMExpand->setEnabled(node >= 0 && hasChildren);
}

void TreeSync::PMEditKeyClick() {
    PageTree *tree = m_context.CurrentTree;
    if (!tree)
        return;
    const int node = tree->selectedNode();
    if (node >= 0)
        tree->edit(tree->indexOfNode(node));
}

void TreeSync::PMEditValueClick() {
    EditNodeValue();
}

void TreeSync::PMExpandClick() {
    PageTree *tree = m_context.CurrentTree;
    if (tree)
        ExpandAndShow(tree, tree->selectedNode(), true);
}
