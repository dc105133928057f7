#include "support/event_gap_probe.h"

#include "platform/thread_cpu_time.h"

EventGapProbe::EventGapProbe() {
    m_timer.setInterval(0);
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { pass(); });
}

void EventGapProbe::start() {
    m_longest = 0;
    m_longestCpu = 0;
    m_passes = 0;
    m_clock.start();
    m_last = 0;
    m_lastCpu = ThreadCpuTimeNs();
    m_timer.start();
}

void EventGapProbe::pass() {
    const qint64 now = m_clock.nsecsElapsed();
    const qint64 cpu = ThreadCpuTimeNs();
    m_longest = qMax(m_longest, now - m_last);
    m_longestCpu = qMax(m_longestCpu, cpu - m_lastCpu);
    m_last = now;
    m_lastCpu = cpu;
    ++m_passes;
}

double EventGapProbe::stop() {
    m_timer.stop();
    const qint64 now = m_clock.nsecsElapsed();
    m_longest = qMax(m_longest, now - m_last);
    m_longestCpu = qMax(m_longestCpu, ThreadCpuTimeNs() - m_lastCpu);
    return static_cast<double>(m_longest) / 1e6;
}
