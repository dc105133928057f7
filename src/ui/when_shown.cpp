#include "ui/when_shown.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {
// Watches the widget for its show (its native window exists from then on), then that window for
// its first exposure. The work is posted from there: the exposure paints the window first.
class ShowWatch : public QObject {
public:
    ShowWatch(QWidget *window, std::function<void()> work)
        : QObject(window), m_window(window), m_work(std::move(work)) {
        if (m_window->isVisible())
            watchNativeWindow();
        else
            m_window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (watched == m_window && event->type() == QEvent::Show) {
            m_window->removeEventFilter(this);
            watchNativeWindow();
        } else if (watched == m_native && event->type() == QEvent::Expose && m_native->isExposed()) {
            m_native->removeEventFilter(this);
            runSoon();
        }
        return false;
    }

private:
    void watchNativeWindow() {
        m_native = m_window->windowHandle();
        if (!m_native || m_native->isExposed()) {
            runSoon();
            return;
        }
        m_native->installEventFilter(this);
    }
    void runSoon() {
        QTimer::singleShot(0, m_window, [work = std::move(m_work)] { work(); });
        deleteLater();
    }

    QWidget *m_window;
    QWindow *m_native = nullptr;
    std::function<void()> m_work;
};
} // namespace

void RunWhenShown(QWidget *window, std::function<void()> work) {
    new ShowWatch(window, std::move(work));
}
