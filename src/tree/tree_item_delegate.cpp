#include "tree/tree_item_delegate.h"

#include "tree/page_tree.h"

#include <QApplication>
#include <QPainter>

TreeItemDelegate::TreeItemDelegate(PageTree *tree) : QStyledItemDelegate(tree), m_tree(tree) {}

QRect TreeItemDelegate::textRect(const QStyleOptionViewItem &option, const QModelIndex &index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QWidget *widget = opt.widget ? opt.widget : m_tree;
    QStyle *style = widget->style();
    QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget);
    // Only as wide as the text itself, with a little room on both sides.
    const int width = opt.fontMetrics.horizontalAdvance(opt.text) + 6;
    area.setWidth(qMin(area.width(), width));
    return area;
}

void TreeItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                             const QModelIndex &index) const {
    if (!(option.state & QStyle::State_Selected)) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    TreeViewCustomDrawItem(painter, option, index);
}

void TreeItemDelegate::TreeViewCustomDrawItem(QPainter *painter, const QStyleOptionViewItem &option,
                                              const QModelIndex &index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QWidget *widget = opt.widget ? opt.widget : m_tree;
    QStyle *style = widget->style();
    const QRect text = textRect(option, index);
    const QString caption = opt.text;

    // The item as usual (its selected image included), but with no selection fill and no text:
    // the text box below replaces both.
    QStyleOptionViewItem base = opt;
    base.state &= ~QStyle::State_Selected;
    base.icon = QIcon(opt.icon.pixmap(opt.decorationSize, QIcon::Selected));
    base.text.clear();
    style->drawControl(QStyle::CE_ItemViewItem, &base, painter, widget);

    painter->save();
    if (m_tree->isEditing()) {
        painter->fillRect(text, Qt::white);
    } else {
        painter->fillRect(text, m_tree->palette().color(QPalette::Active, QPalette::Highlight));
        painter->setPen(Qt::white);
        painter->setFont(opt.font);
        painter->drawText(text.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                          caption);
    }
    painter->restore();
}
