#include "search/search_results_panel.h"

#include "search/search_results_model.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPoint>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

// Paints a hit's line text with its matches on the highlight colour.
class MarkedTextDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override {
        const QVariantList spans = index.data(SearchResultsModel::SpansRole).toList();
        if (spans.isEmpty()) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString text = opt.text;
        opt.text.clear();
        const QWidget *widget = option.widget;
        QStyle *style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
        const QRect area =
            style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget).adjusted(2, 0, -2, 0);
        const QFontMetrics metrics(opt.font);
        const bool selected = opt.state & QStyle::State_Selected;
        painter->save();
        painter->setClipRect(area);
        int x = area.left();
        int at = 0;
        const int baseline = area.top() + (area.height() + metrics.ascent() - metrics.descent()) / 2;
        auto draw = [&](int from, int to, bool marked) {
            if (to <= from)
                return;
            const QString part = text.mid(from, to - from);
            const int width = metrics.horizontalAdvance(part);
            if (marked)
                painter->fillRect(QRect(x, area.top() + 1, width, area.height() - 2),
                                  opt.palette.color(selected ? QPalette::Base : QPalette::Highlight));
            painter->setPen(
                opt.palette.color(marked != selected ? QPalette::HighlightedText : QPalette::Text));
            painter->drawText(x, baseline, part);
            x += width;
        };
        for (const QVariant &value : spans) {
            const QPoint span = value.toPoint();
            draw(at, span.x(), false);
            draw(span.x(), span.x() + span.y(), true);
            at = span.x() + span.y();
        }
        draw(at, int(text.size()), false);
        painter->restore();
    }
};

// Enter on a row activates it on every style.
class EnterKeyView : public QTreeView {
public:
    using QTreeView::QTreeView;

protected:
    void keyPressEvent(QKeyEvent *event) override {
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentIndex().isValid()) {
            Q_EMIT activated(currentIndex());
            return;
        }
        QTreeView::keyPressEvent(event);
    }
};

} // namespace

SearchResultsPanel::SearchResultsPanel(SearchResultsModel *model, QWidget *parent)
    : QDockWidget(QStringLiteral("Find in Files"), parent), m_model(model) {
    setObjectName(QStringLiteral("FindInFilesPanel"));
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
    setAllowedAreas(Qt::BottomDockWidgetArea | Qt::TopDockWidgetArea);
    auto *body = new QWidget(this);
    auto *layout = new QVBoxLayout(body);
    layout->setContentsMargins(2, 2, 2, 2);
    auto *top = new QHBoxLayout;
    m_status = new QLabel(body);
    m_status->setObjectName(QStringLiteral("FindInFilesStatus"));
    m_status->setTextFormat(Qt::PlainText);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), body);
    m_cancel->setObjectName(QStringLiteral("FindInFilesCancel"));
    m_cancel->setVisible(false);
    top->addWidget(m_status, 1);
    top->addWidget(m_cancel);
    layout->addLayout(top);
    m_view = new EnterKeyView(body);
    m_view->setObjectName(QStringLiteral("FindInFilesResults"));
    m_view->setModel(model);
    m_view->setUniformRowHeights(true);
    m_view->setItemDelegateForColumn(SearchResultsModel::TextColumn, new MarkedTextDelegate(m_view));
    m_view->setExpandsOnDoubleClick(false);
    m_view->header()->setStretchLastSection(true);
    m_view->setColumnWidth(SearchResultsModel::LineColumn, 90);
    m_view->setColumnWidth(SearchResultsModel::KeyPathColumn, 220);
    layout->addWidget(m_view, 1);
    setWidget(body);
    // File rows show their path across the whole row, and open out as they arrive.
    connect(model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex &parent, int first, int last) {
                if (parent.isValid())
                    return;
                for (int row = first; row <= last; ++row) {
                    m_view->setFirstColumnSpanned(row, QModelIndex(), true);
                    m_view->expand(m_model->index(row, 0));
                }
            });
    connect(m_view, &QTreeView::activated, this, &SearchResultsPanel::activate);
    connect(m_cancel, &QPushButton::clicked, this, &SearchResultsPanel::cancelRequested);
}

void SearchResultsPanel::activate(const QModelIndex &index) {
    const int line = index.data(SearchResultsModel::LineRole).toInt();
    if (!index.isValid() || !index.parent().isValid() || line < 0)
        return;
    const QModelIndex text = index.siblingAtColumn(SearchResultsModel::TextColumn);
    const QVariantList spans = text.data(SearchResultsModel::SpansRole).toList();
    const QPoint first = spans.isEmpty() ? QPoint(0, 0) : spans.first().toPoint();
    Q_EMIT hitActivated(index.data(SearchResultsModel::PathRole).toString(), line, first.x(), first.y());
}

void SearchResultsPanel::setRunning(bool running) {
    m_cancel->setVisible(running);
}

void SearchResultsPanel::setStatus(const QString &text) {
    m_status->setText(text);
}
