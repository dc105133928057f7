// The pump of long loops: events run at the first request and then only once the interval has
// passed since they last ran; the rule about user input inside pumps; work after the input event.

#include "ui/event_pump.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTest>
#include <QTimer>

class TestEventPump : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void runsEventsAtFirstThenByTime();
    void excludedUserInputReachesEveryPumpInside();
    void afterInputWaitsForTheEventAndForExclusionToEnd();
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

// Inside paint() nothing dispatches user input: not its own pass, not a long loop's pump or a
// nested loop that a posted call or a timer runs in it. Outside, they dispatch it again.
void TestEventPump::excludedUserInputReachesEveryPumpInside() {
    QVERIFY(!EventPump::userInputExcluded());
    bool inPaint = false;
    bool inPump = true;
    bool inLoop = false;
    QTimer::singleShot(0, [&] {
        inPaint = EventPump::userInputExcluded();
        QTimer::singleShot(0, [&] { inPump = EventPump::userInputExcluded(); });
        EventPump(EventPump::Input::Dispatch).pump();
        QEventLoop loop;
        QTimer::singleShot(0, &loop, [&] {
            inLoop = EventPump::userInputExcluded();
            loop.quit();
        });
        EventPump::exec(loop);
    });
    EventPump::paint();
    QVERIFY(inPaint);
    QVERIFY(inPump);
    QVERIFY(inLoop);
    QVERIFY(!EventPump::userInputExcluded());
    // A pump that dispatches input, on its own.
    bool dispatching = true;
    QTimer::singleShot(0, [&] { dispatching = EventPump::userInputExcluded(); });
    EventPump().pump();
    QVERIFY(!dispatching);
    // An excluding pump object excludes as paint() does.
    bool excluding = false;
    QTimer::singleShot(0, [&] { excluding = EventPump::userInputExcluded(); });
    EventPump(EventPump::Input::Exclude).pump();
    QVERIFY(excluding);
}

// Work handed to afterInput never runs inside the caller, nor inside a pump that excludes user
// input (it waits until that pump is over), and not at all once its context is gone.
void TestEventPump::afterInputWaitsForTheEventAndForExclusionToEnd() {
    QObject context;
    int ran = 0;
    EventPump::afterInput(&context, [&ran] { ++ran; });
    QCOMPARE(ran, 0);
    QTRY_COMPARE(ran, 1);

    bool ranExcluded = false;
    EventPump::afterInput(&context, [&] {
        ++ran;
        ranExcluded = EventPump::userInputExcluded();
    });
    for (int i = 0; i < 5; ++i) {
        EventPump::paint();
        QTest::qSleep(12);
        EventPump::paint();
    }
    QCOMPARE(ran, 1);
    QTRY_COMPARE(ran, 2);
    QVERIFY(!ranExcluded);

    auto *gone = new QObject;
    EventPump::afterInput(gone, [&ran] { ++ran; });
    delete gone;
    QTest::qWait(30);
    QCOMPARE(ran, 2);
}

QTEST_MAIN(TestEventPump)
#include "test_event_pump.moc"
