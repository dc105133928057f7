#pragma once
// Draws the items of a structure tree: the selected node's text in the
// highlight colour with white letters, whether or not the tree has the focus,
// and a white box under the in-place editor while a node's text is edited.

#include <QStyledItemDelegate>

class PageTree;

class TreeItemDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit TreeItemDelegate(PageTree *tree);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

    // The rectangle that the item's text covers, in the coordinates of option.rect.
    QRect textRect(const QStyleOptionViewItem &option, const QModelIndex &index) const;

private:
    void TreeViewCustomDrawItem(QPainter *painter, const QStyleOptionViewItem &option,
                                const QModelIndex &index) const;

    PageTree *m_tree;
};
