#include "ui/status_progress.h"

#include "ui/feedback.h"

#include <QProgressBar>

namespace {
// The bar counts in steps of a thousandth: a new value repaints it at most a thousand times.
constexpr int kSteps = 1000;
} // namespace

StatusProgress::StatusProgress(Feedback &feedback) : m_feedback(&feedback) {
    m_clock.start();
    // Work that waits for a process sets no figures: the timer shows the busy bar then.
    m_showTimer.setSingleShot(true);
    m_showTimer.setInterval(kShowAfterMs);
    QObject::connect(&m_showTimer, &QTimer::timeout, [this] { show(); });
    m_showTimer.start();
}

StatusProgress::~StatusProgress() {
    if (!m_shown || !m_feedback)
        return;
    if (--m_feedback->m_progressShown == 0)
        m_feedback->m_progress->hide();
}

void StatusProgress::setProgress(qint64 done, qint64 total) {
    m_done = done;
    m_total = total;
    if (m_shown || m_clock.elapsed() >= kShowAfterMs)
        show();
}

void StatusProgress::show() {
    if (!m_feedback)
        return;
    QProgressBar *bar = m_feedback->m_progress;
    if (!m_shown) {
        m_shown = true;
        m_showTimer.stop();
        ++m_feedback->m_progressShown;
    }
    if (m_total > 0) {
        bar->setRange(0, kSteps);
        bar->setValue(static_cast<int>(qBound<qint64>(0, m_done * kSteps / m_total, qint64(kSteps))));
    } else {
        bar->setRange(0, 0);
    }
    bar->show();
}
