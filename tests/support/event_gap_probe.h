#pragma once
// Measures how long the event loop goes without processing events: a 0 ms timer
// re-arms itself on every pass of the loop (the main loop or a pumping call) and
// records the longest time between two of its runs, both on the wall clock (the
// benchmark's figure, which a busy machine stretches) and in the processor time
// of the thread (what tests may bound: it does not grow while the thread waits).

#include <QElapsedTimer>
#include <QTimer>

class EventGapProbe {
public:
    EventGapProbe();
    // Starts counting from now; the gap before the first pass counts too.
    void start();
    // Stops and returns the longest gap in milliseconds of wall time, the stretch up to now included.
    double stop();
    // The longest gap in milliseconds of the thread's processor time, known after stop().
    double longestCpuGapMs() const { return static_cast<double>(m_longestCpu) / 1e6; }
    // Passes of the loop seen since start.
    int passes() const { return m_passes; }

private:
    void pass();

    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
    qint64 m_lastCpu = 0;
    qint64 m_longestCpu = 0;
    int m_passes = 0;
};
