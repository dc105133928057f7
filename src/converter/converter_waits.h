#pragma once
// The user's way out of a converter that hangs. Every conversion wait that has
// lasted the patience time (10 s) counts as a long wait; the window offers to
// stop waiting while there is one. Stopping ends those converters (terminate,
// then kill) and lets their waits return as Stopped: the caller keeps its page
// and files as they were.

#include <QObject>

class ConverterWaits : public QObject {
    Q_OBJECT
public:
    static ConverterWaits &instance();

    int patienceMs() const { return m_patienceMs; }
    // Tests shorten it; a wait takes the value it finds when it starts.
    void setPatienceMs(int ms) { m_patienceMs = ms; }
    // How long a stopped converter gets to end before it is killed, and then before the wait
    // gives up on it.
    static constexpr int TerminateGraceMs = 2000;

    int longWaits() const { return m_longWaits; }
    // Ends every wait that has lasted the patience time.
    void stopLongWaits() { Q_EMIT stopRequested(); }

Q_SIGNALS:
    // The number of long waits changed (a wait passed the patience time, or one of them ended).
    void longWaitsChanged(int count);
    // Heard by the long waits themselves.
    void stopRequested();

private:
    friend class LongWaitCount;
    int m_patienceMs = 10000;
    int m_longWaits = 0;
};

// Counts one wait as long from add() until it is destroyed.
class LongWaitCount {
public:
    LongWaitCount() = default;
    ~LongWaitCount();
    LongWaitCount(const LongWaitCount &) = delete;
    LongWaitCount &operator=(const LongWaitCount &) = delete;
    void add();
    bool counted() const { return m_counted; }

private:
    bool m_counted = false;
};
