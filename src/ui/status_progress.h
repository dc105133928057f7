#pragma once
// Progress of long work (a conversion, a load, a tree build, a save) in the status bar. The
// indicator shows only once the work has lasted kShowAfterMs, so short work never flickers it;
// it is determinate once the work tells its size (bytes read, lines built) and a busy bar
// before. It is painted when events next run (the work lets them run) and goes with the object.
// Nested uses share the one indicator: it shows the latest figures and hides with the last user.

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>

class Feedback;

class StatusProgress {
public:
    static constexpr int kShowAfterMs = 300;
    explicit StatusProgress(Feedback &feedback);
    ~StatusProgress();
    StatusProgress(const StatusProgress &) = delete;
    StatusProgress &operator=(const StatusProgress &) = delete;

    // done of total (bytes, lines); total 0: size unknown, a busy bar.
    void setProgress(qint64 done, qint64 total);
    bool shown() const { return m_shown; }

private:
    void show();

    QPointer<Feedback> m_feedback;
    QElapsedTimer m_clock;
    QTimer m_showTimer;
    qint64 m_done = 0;
    qint64 m_total = 0;
    bool m_shown = false;
};
