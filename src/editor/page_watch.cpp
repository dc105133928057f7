#include "editor/page_watch.h"

#include "document/page.h"

#include <QChildEvent>
#include <QStackedWidget>
#include <QTabWidget>

namespace {

// The pages of a QTabWidget are children of its stacked widget: a page joins it when it is added.
class PageAdditionFilter : public QObject {
public:
    PageAdditionFilter(QObject *owner, std::function<void(Page *)> onAdded)
        : QObject(owner), m_onAdded(std::move(onAdded)) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::ChildAdded) {
            if (auto *page = qobject_cast<Page *>(static_cast<QChildEvent *>(event)->child()))
                m_onAdded(page);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void(Page *)> m_onAdded;
};

} // namespace

void WatchPageAdditions(QTabWidget *pages, QObject *owner, std::function<void(Page *)> onAdded) {
    auto *filter = new PageAdditionFilter(owner, std::move(onAdded));
    if (auto *stack = pages->findChild<QStackedWidget *>(QString(), Qt::FindDirectChildrenOnly))
        stack->installEventFilter(filter);
}
