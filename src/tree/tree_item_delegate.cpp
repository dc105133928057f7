#include "tree/tree_item_delegate.h"

#include "tree/page_tree.h"

#include <QApplication>
#include <QPainter>
#include <QtMath>

namespace {
// Prepared texts kept at most; the cache starts again beyond.
constexpr qsizetype kMaxPrepared = 4096;
// Placements kept per text (items at that many depths).
constexpr qsizetype kPlacesPerText = 4;
} // namespace

TreeItemDelegate::TreeItemDelegate(PageTree *tree) : QStyledItemDelegate(tree), m_tree(tree) {}

QRect TreeItemDelegate::textRect(const QStyleOptionViewItem &option, const QModelIndex &index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    return TextBox(laidOut(opt));
}

QRect TreeItemDelegate::TextBox(const Laid &laid) {
    QRect area = laid.textArea;
    // Only as wide as the text itself, with a little room on both sides.
    area.setWidth(qMin(area.width(), qCeil(laid.text.size().width()) + 6));
    return area;
}

void TreeItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                             const QModelIndex &index) const {
    if (option.state & QStyle::State_Selected) {
        TreeViewCustomDrawItem(painter, option, index);
        return;
    }
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QWidget *widget = opt.widget ? opt.widget : m_tree;
    QStyle *style = widget->style();
    const Laid laid = laidOut(opt);
    // The item as the style draws it, but its text from the prepared layout. What the style sizes
    // by the text is drawn for this text: the panel (a hovered item's box is as wide as its text)
    // and the focus frame; the rest (the image) without the text, the hover and the focus, which
    // would draw those again for no text.
    painter->save();
    painter->setClipRect(opt.rect);
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, painter, widget);
    QStyleOptionViewItem rest = opt;
    rest.text.clear();
    rest.state &= ~(QStyle::State_MouseOver | QStyle::State_HasFocus);
    drawImage(painter, rest, laid, QIcon::Normal);
    drawText(painter, opt, laid);
    if (opt.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(opt);
        focus.rect = style->subElementRect(QStyle::SE_ItemViewItemFocusRect, &opt, widget);
        focus.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item;
        focus.backgroundColor = opt.palette.color(
            (opt.state & QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled, QPalette::Window);
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
    }
    painter->restore();
}

void TreeItemDelegate::drawImage(QPainter *painter, const QStyleOptionViewItem &opt, const Laid &laid,
                                 QIcon::Mode mode) const {
    const QWidget *widget = opt.widget ? opt.widget : m_tree;
    QStyle *style = widget->style();
    if ((opt.features & QStyleOptionViewItem::HasCheckIndicator) || (opt.state & QStyle::State_HasFocus) ||
        !(opt.state & QStyle::State_Enabled)) {
        QStyleOptionViewItem image = opt;
        if (mode == QIcon::Selected)
            image.icon = QIcon(opt.icon.pixmap(opt.decorationSize, QIcon::Selected));
        style->drawControl(QStyle::CE_ItemViewItem, &image, painter, widget);
        return;
    }
    // What the style's item drawing does for an enabled item without text, check box or focus
    // frame, with the places it would work out again for each item (by laying out the text) from
    // the cache.
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, painter, widget);
    if (!opt.icon.isNull())
        opt.icon.paint(painter, laid.iconArea, opt.decorationAlignment, mode,
                       (opt.state & QStyle::State_Open) ? QIcon::On : QIcon::Off);
}

TreeItemDelegate::Prepared &TreeItemDelegate::preparedText(const QString &text, const QFont &font) const {
    if (font != m_cacheFont || m_prepared.size() >= kMaxPrepared) {
        m_prepared.clear();
        m_cacheFont = font;
    }
    auto found = m_prepared.find(text);
    if (found == m_prepared.end()) {
        Prepared entry;
        entry.text = QStaticText(text);
        entry.text.setTextFormat(Qt::PlainText);
        entry.text.setPerformanceHint(QStaticText::AggressiveCaching);
        entry.text.prepare(QTransform(), font);
        found = m_prepared.insert(text, entry);
    }
    return *found;
}

TreeItemDelegate::Laid TreeItemDelegate::laidOut(const QStyleOptionViewItem &opt) const {
    Prepared &entry = preparedText(opt.text, opt.font);
    const Placement placement{opt.rect.size(),
                              opt.decorationSize,
                              int(opt.features),
                              int(opt.direction),
                              int(opt.displayAlignment) | int(opt.decorationAlignment) << 12 |
                                  int(opt.decorationPosition) << 24,
                              !opt.icon.isNull()};
    const Places *found = nullptr;
    for (const Places &places : std::as_const(entry.places)) {
        if (places.placement == placement)
            found = &places;
    }
    if (!found) {
        const QWidget *widget = opt.widget ? opt.widget : m_tree;
        const QStyle *style = widget->style();
        const QPoint origin = opt.rect.topLeft();
        const Places places{
            placement, style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget).translated(-origin),
            style->subElementRect(QStyle::SE_ItemViewItemDecoration, &opt, widget).translated(-origin)};
        if (entry.places.size() < kPlacesPerText) {
            entry.places.append(places);
            found = &entry.places.last();
        } else {
            const int slot = entry.replaced++ % int(entry.places.size());
            entry.places[slot] = places;
            found = &entry.places[slot];
        }
    }
    const QPoint origin = opt.rect.topLeft();
    return Laid{entry.text, found->textArea.translated(origin), found->iconArea.translated(origin)};
}

void TreeItemDelegate::drawText(QPainter *painter, const QStyleOptionViewItem &opt, const Laid &laid) const {
    if (opt.text.isEmpty())
        return;
    const QWidget *widget = opt.widget ? opt.widget : m_tree;
    // The margins and colour the style gives an item's text.
    const int margin = widget->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QRect box = laid.textArea.adjusted(margin, 0, -margin, 0);
    const QPalette::ColorGroup group = !(opt.state & QStyle::State_Enabled) ? QPalette::Disabled
                                       : (opt.state & QStyle::State_Active) ? QPalette::Normal
                                                                            : QPalette::Inactive;
    painter->save();
    painter->setPen(opt.palette.color(group, QPalette::Text));
    painter->setFont(opt.font);
    const QStaticText &shown = laid.text;
    if (shown.size().width() > box.width()) {
        // Too long for the column: elided as the style does.
        painter->drawText(box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                          opt.fontMetrics.elidedText(opt.text, opt.textElideMode, box.width()));
    } else {
        painter->drawStaticText(QPointF(box.left(), box.top() + (box.height() - shown.size().height()) / 2),
                                shown);
    }
    painter->restore();
}

void TreeItemDelegate::TreeViewCustomDrawItem(QPainter *painter, const QStyleOptionViewItem &option,
                                              const QModelIndex &index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const Laid laid = laidOut(opt);
    const QRect text = TextBox(laid);

    // The item as usual (its selected image included), but with no selection fill and no text:
    // the text box below replaces both.
    QStyleOptionViewItem base = opt;
    base.state &= ~QStyle::State_Selected;
    base.text.clear();
    painter->save();
    painter->setClipRect(opt.rect);
    drawImage(painter, base, laid, QIcon::Selected);
    painter->restore();

    painter->save();
    if (m_tree->isEditing()) {
        painter->fillRect(text, Qt::white);
    } else {
        painter->fillRect(text, m_tree->palette().color(QPalette::Active, QPalette::Highlight));
        painter->setPen(Qt::white);
        painter->setFont(opt.font);
        const QStaticText &shown = laid.text;
        // The box is as wide as the text unless the column is narrower.
        if (qCeil(shown.size().width()) + 2 > text.width() - 2)
            painter->setClipRect(text);
        painter->drawStaticText(
            QPointF(text.left() + 2, text.top() + (text.height() - shown.size().height()) / 2), shown);
    }
    painter->restore();
}
