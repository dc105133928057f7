// The pump of long loops: events run at the first request and then only once the interval has
// passed since they last ran.

#include "ui/event_pump.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

class TestEventPump : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void runsEventsAtFirstThenByTime();
};

void TestEventPump::runsEventsAtFirstThenByTime() {
    int ran = 0;
    const auto post = [&ran] { QTimer::singleShot(0, [&ran] { ++ran; }); };
    EventPump pump;
    QElapsedTimer sinceFirst; // started before the pump's own clock, so never behind it
    post();
    sinceFirst.start();
    pump.maybePump();
    QCOMPARE(ran, 1);
    post();
    pump.maybePump(); // too soon
    // Only when the interval has not passed meanwhile (a busy machine may stop the test that long).
    if (sinceFirst.elapsed() < EventPump::kIntervalMs) {
        QCOMPARE(ran, 1);
        QCOMPARE(pump.pumps(), 1);
    }
    QTest::qSleep(EventPump::kIntervalMs + 5);
    pump.maybePump();
    QCOMPARE(ran, 2);
    post();
    const int pumps = pump.pumps();
    pump.pump(); // at once, whatever the time
    QCOMPARE(ran, 3);
    QCOMPARE(pump.pumps(), pumps + 1);
}

QTEST_MAIN(TestEventPump)
#include "test_event_pump.moc"
