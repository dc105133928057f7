#include "ui/event_pump.h"

#include <QCoreApplication>

void EventPump::maybePump() {
    if (!m_sinceLast.isValid() || m_sinceLast.elapsed() >= kIntervalMs)
        pump();
}

void EventPump::pump() {
    QCoreApplication::processEvents();
    ++m_pumps;
    // From the end of this pass: a pass that took long still leaves the loop its interval of work.
    m_sinceLast.start();
}
