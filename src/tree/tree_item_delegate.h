#pragma once
// Draws the items of a structure tree: the selected node's text in the
// highlight colour with white letters, whether or not the tree has the focus,
// and a white box under the in-place editor while a node's text is edited.

#include <QFont>
#include <QHash>
#include <QStaticText>
#include <QStyledItemDelegate>
#include <QVarLengthArray>

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
    struct Laid;
    void drawText(QPainter *painter, const QStyleOptionViewItem &opt, const Laid &laid) const;
    // The item's image as the style draws it when the text is drawn apart: the panel (for the
    // state in opt) and the icon (in `mode`, or the style's own for a disabled item).
    void drawImage(QPainter *painter, const QStyleOptionViewItem &opt, const Laid &laid,
                   QIcon::Mode mode) const;

    // What the style lays out for an item's text, kept with its prepared layout: where the text
    // goes and where the icon goes, relative to the item's rectangle, for the item size and the
    // other things of the option that place them (`Placement`). A key comes at several depths,
    // whose items differ in width: a few placements are kept per text.
    struct Placement {
        QSize itemSize;
        QSize decorationSize;
        int features = 0;
        int direction = 0;
        int alignments = 0;
        bool hasIcon = false;
        bool operator==(const Placement &other) const {
            return itemSize == other.itemSize && decorationSize == other.decorationSize &&
                   features == other.features && direction == other.direction &&
                   alignments == other.alignments && hasIcon == other.hasIcon;
        }
    };
    struct Places {
        Placement placement;
        QRect textArea;
        QRect iconArea;
    };
    struct Prepared {
        QStaticText text;
        QVarLengthArray<Places, 4> places; // at most kPlacesPerText
        int replaced = 0;                  // the next placement to give up when all are in use
    };
    // An item's prepared text and its places for this option, in the item's coordinates.
    struct Laid {
        QStaticText text;
        QRect textArea;
        QRect iconArea;
    };
    Laid laidOut(const QStyleOptionViewItem &opt) const;
    // The box of the item's text: as wide as the text, with a little room, unless the item is narrower.
    static QRect TextBox(const Laid &laid);
    // The prepared layout of text in font, from the cache.
    Prepared &preparedText(const QString &text, const QFont &font) const;

    PageTree *m_tree;
    // Prepared texts by content (keys repeat throughout a text), for m_cacheFont; bounded.
    mutable QHash<QString, Prepared> m_prepared;
    mutable QFont m_cacheFont;
};
