// The pump of long loops: events run at the first request and then only once the interval has
// passed since they last ran.

#include "ui/event_pump.h"

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
    post();
    pump.maybePump();
    QCOMPARE(ran, 1);
    post();
    pump.maybePump(); // too soon
    QCOMPARE(ran, 1);
    QCOMPARE(pump.pumps(), 1);
    QTest::qSleep(EventPump::kIntervalMs + 5);
    pump.maybePump();
    QCOMPARE(ran, 2);
    post();
    pump.pump(); // at once, whatever the time
    QCOMPARE(ran, 3);
    QCOMPARE(pump.pumps(), 3);
}

QTEST_MAIN(TestEventPump)
#include "test_event_pump.moc"
