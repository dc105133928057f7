#include "tree/page_tree.h"

#include "tree/structure_tree_model.h"
#include "tree/tree_item_delegate.h"
#include "ui/opaque_scroll_bars.h"

#include <QFocusEvent>
#include <QMouseEvent>
#include <QProxyStyle>

namespace {

// The selection is drawn on the node's text alone (see TreeItemDelegate); styles that also fill
// the branch area left of a selected node are told not to.
class TextOnlySelectionStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override {
        if (hint == QStyle::SH_ItemView_ShowDecorationSelected)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

PageTree::PageTree(QWidget *parent) : QTreeView(parent) {
    setHeaderHidden(true);
    setUniformRowHeights(true);
    PaintScrollBarsAlone(this);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Items, not rows: the selection shows only on the node's text, not across the branch area.
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    auto *style = new TextOnlySelectionStyle;
    style->setParent(this);
    setStyle(style);
    // Items highlight under the mouse.
    setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_Hover);
    m_model = new StructureTreeModel(this);
    setModel(m_model);
    m_delegate = new TreeItemDelegate(this);
    setItemDelegate(m_delegate);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { Q_EMIT selectionChangedTo(selectedNode()); });
}

const StructureTree &PageTree::structure() const {
    return m_model->tree();
}

int PageTree::selectedNode() const {
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : StructureTreeModel::nodeOf(selected.first());
}

void PageTree::selectNode(int node) {
    const QModelIndex index = m_model->indexOfNode(node);
    if (index.isValid()) {
        // The view would scroll to the new current node at once, to the nearest edge; the
        // selection handlers bring it into view themselves (ExpandAndShow), to the middle.
        const bool autoScrolling = hasAutoScroll();
        setAutoScroll(false);
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        setAutoScroll(autoScrolling);
    } else {
        selectionModel()->clear();
    }
}

QModelIndex PageTree::indexOfNode(int node) const {
    return m_model->indexOfNode(node);
}

int PageTree::nodeAt(const QPoint &viewportPos) const {
    return StructureTreeModel::nodeOf(indexAt(viewportPos));
}

QRect PageTree::nodeTextRect(int node) const {
    const QModelIndex index = indexOfNode(node);
    if (!index.isValid())
        return QRect();
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualRect(index);
    return m_delegate->textRect(option, index);
}

bool PageTree::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) {
    // A click on the selected node opens its edit only after the double-click time, from a
    // timer (all triggers, no event). If the user has clicked elsewhere by then, the edit would
    // take the focus from where the user types: the letters would rename the key.
    if (trigger == AllEditTriggers && !event && m_focusLeft && !hasFocus())
        return false;
    return QTreeView::edit(index, trigger, event);
}

void PageTree::focusInEvent(QFocusEvent *event) {
    m_focusLeft = false;
    QTreeView::focusInEvent(event);
}

void PageTree::focusOutEvent(QFocusEvent *event) {
    // The node's context menu (Edit Key) keeps the tree's claim; the tree's own in-place editor
    // takes the focus only once the edit is open.
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason)
        m_focusLeft = true;
    QTreeView::focusOutEvent(event);
}

void PageTree::mousePressEvent(QMouseEvent *event) {
    const QPointer<PageTree> self(this);
    Q_EMIT mousePressed(event->button(), event->modifiers(), event->position().toPoint());
    // The right button is the handler's alone: it selects the node and opens the menu.
    if (!self || event->button() == Qt::RightButton)
        return;
    QTreeView::mousePressEvent(event);
}

void PageTree::mouseDoubleClickEvent(QMouseEvent *event) {
    const QPointer<PageTree> self(this);
    QTreeView::mouseDoubleClickEvent(event);
    if (self)
        Q_EMIT doubleClickedAnywhere();
}
