#pragma once
// Draws the items of a structure tree: the selected node's text in the
// highlight colour with white letters, whether or not the tree has the focus,
// and a white box under the in-place editor while a node's text is edited.

#include <QFont>
#include <QHash>
#include <QStaticText>
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

    // The text of an unselected item as the style would draw it, from a prepared layout: a caret
    // move repaints two rows, and laying their texts out anew each time was most of its cost.
    void drawText(QPainter *painter, const QStyleOptionViewItem &opt, const QRect &area) const;
    // The prepared layout of text in font, from the cache.
    const QStaticText &prepared(const QString &text, const QFont &font) const;

    PageTree *m_tree;
    // Prepared texts by content (keys repeat throughout a text), for m_cacheFont; bounded.
    mutable QHash<QString, QStaticText> m_prepared;
    mutable QFont m_cacheFont;
};
