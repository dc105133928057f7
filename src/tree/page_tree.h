#pragma once
// The structure tree view of a page: its model, its state flag and the few
// view operations the tree handlers need.

#include <QTreeView>

class StructureTree;
class StructureTreeModel;
class TreeItemDelegate;

class PageTree : public QTreeView {
    Q_OBJECT
public:
    enum State { Idle = 0, Syncing = 1, Collapsing = 2, FirstBuild = -1, Rebuild = -2 };

    explicit PageTree(QWidget *parent = nullptr);
    using QTreeView::edit;

    // Guards the tree, the editor and a build against each other.
    int TreeState = Idle;

    StructureTreeModel *treeModel() const { return m_model; }
    const StructureTree &structure() const;
    TreeItemDelegate *itemDelegate() const { return m_delegate; }

    // The selected node, -1 when none.
    int selectedNode() const;
    // Selects node (the only selected one); -1 empties the selection.
    void selectNode(int node);
    QModelIndex indexOfNode(int node) const;
    int nodeAt(const QPoint &viewportPos) const;
    // The rectangle of a node's text in the tree's client (viewport) coordinates.
    QRect nodeTextRect(int node) const;
    // An in-place edit of a node's text is open.
    bool isEditing() const { return state() == QAbstractItemView::EditingState; }

Q_SIGNALS:
    // The selected node changed (-1: none).
    void selectionChangedTo(int node);
    // A mouse button went down at a point of the client area, before the tree reacts to it.
    void mousePressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPoint &pos);
    // A double click anywhere in the tree, after the tree has reacted to it.
    void doubleClickedAnywhere();

protected:
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    StructureTreeModel *m_model;
    TreeItemDelegate *m_delegate;
    // The focus went elsewhere (not to a menu) and has not come back.
    bool m_focusLeft = false;
};
