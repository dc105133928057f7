#pragma once
// Lets pending events run from inside a long loop, so that the window stays alive, at a bounded
// cost: a loop asks often (every 100 lines, say), and events run at the first request and then
// whenever kIntervalMs has passed since they last ran. Asking every 100 lines of a million-line
// text would otherwise run the event loop 10,000 times; by time it runs about 65 times a second
// of work, and pending events never wait much longer than the interval plus one step of work.

#include <QElapsedTimer>

class EventPump {
public:
    static constexpr int kIntervalMs = 15;

    // Runs pending events when none ran yet or kIntervalMs have passed since they last ran.
    void maybePump();
    // Runs pending events now.
    void pump();
    // The number of times events ran.
    int pumps() const { return m_pumps; }

private:
    QElapsedTimer m_sinceLast;
    int m_pumps = 0;
};
