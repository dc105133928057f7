// The status line and the hint popup: panel widths, texts and pumping, the caret panels, the
// anchor, suppression, the hide timer and the popup's placement.

#include "ui/event_pump.h"
#include "ui/feedback.h"
#include "ui/hint_popup.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <memory>

namespace {

// True when a queued call posted before run() was delivered inside it.
template <typename Run> bool Pumps(Run run) {
    bool delivered = false;
    QMetaObject::invokeMethod(
        qApp, [&delivered] { delivered = true; }, Qt::QueuedConnection);
    run();
    const bool inside = delivered;
    QCoreApplication::processEvents(); // deliver it now if it was not
    return inside;
}

// A window with a status bar as the program's, a line edit to hold the focus, and a caret source
// that the test sets.
struct FeedbackWindow {
    QMainWindow window;
    QStatusBar *SB = new QStatusBar(&window);
    QLineEdit *focusTarget = new QLineEdit(&window);
    std::optional<CaretPosition> caret;
    Feedback *feedback = nullptr;
    FeedbackWindow() {
        window.resize(900, 600);
        SB->setFixedHeight(24);
        window.setStatusBar(SB);
        window.setCentralWidget(focusTarget);
        feedback = new Feedback(&window, SB, [this] { return caret; });
    }
};

} // namespace

class TestFeedback : public QObject {
    Q_OBJECT

    std::unique_ptr<FeedbackWindow> m_fixture;
    QMainWindow &window() { return m_fixture->window; }
    Feedback &feedback() { return *m_fixture->feedback; }
    HintPopup *hint() { return feedback().hintWindow(); }

private Q_SLOTS:
    void init() { m_fixture = std::make_unique<FeedbackWindow>(); }
    void cleanup() { m_fixture.reset(); }

    void statusPanels() {
        QCOMPARE(m_fixture->SB->findChildren<QLabel *>().size(), 3);
        QCOMPARE(feedback().panelWidth(0), 50); // the design width until the first resize
        QCOMPARE(feedback().panelWidth(1), 125);
        QCOMPARE(feedback().panelWidth(2), 75);
        QCOMPARE(feedback().panel(1)->width(), 125);
        window().resize(892, 600);
        window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&window()));
        QCOMPARE(m_fixture->SB->width(), 892);
        QCOMPARE(feedback().panelWidth(0), 676);
        window().resize(700, 600);
        QCoreApplication::processEvents();
        QCOMPARE(feedback().panelWidth(0), 700 - 125 - 75 - 16);
        QCOMPARE(feedback().panel(1)->width(), 125);
        QCOMPARE(feedback().panel(2)->width(), 75);
        QVERIFY(feedback().panel(0)->width() <= feedback().panelWidth(0));
    }

    void statusTextIsPaintedBeforeTheCallerGoesOn() {
        QVERIFY(Pumps([this] { feedback().SetStatusText(QStringLiteral("Creating /data/a & b.txt")); }));
        QCOMPARE(feedback().panel(0)->text(), QStringLiteral("Creating /data/a & b.txt"));
        QCOMPARE(feedback().statusText(), feedback().panel(0)->text());
    }

    void caretStatus() {
        // No editor: nothing changes, nothing pumps.
        feedback().panel(1)->setText(QStringLiteral("old"));
        QVERIFY(!Pumps([this] { feedback().UpdateCaretStatus(); }));
        QCOMPARE(feedback().panel(1)->text(), QStringLiteral("old"));
        QCOMPARE(feedback().panel(2)->text(), QString());

        m_fixture->caret = CaretPosition{0, 0, 10};
        QVERIFY(Pumps([this] { feedback().UpdateCaretStatus(); }));
        QCOMPARE(feedback().panel(1)->text(), QStringLiteral("Ln: 1 / 10"));
        QCOMPARE(feedback().panel(2)->text(), QStringLiteral("Col: 1"));
        m_fixture->caret = CaretPosition{4, 3, 10};
        feedback().UpdateCaretStatus();
        QCOMPARE(feedback().panel(1)->text(), QStringLiteral("Ln: 5 / 10"));
        QCOMPARE(feedback().panel(2)->text(), QStringLiteral("Col: 4"));
        // An empty editor: line 1 of 0.
        feedback().ShowCaretStatus(CaretPosition{0, 0, 0});
        QCOMPARE(feedback().panel(1)->text(), QStringLiteral("Ln: 1 / 0"));
        QCOMPARE(feedback().panel(2)->text(), QStringLiteral("Col: 1"));
        // The source went away again: the panels keep their texts.
        m_fixture->caret.reset();
        feedback().UpdateCaretStatus();
        QCOMPARE(feedback().panel(1)->text(), QStringLiteral("Ln: 1 / 0"));
    }

    // Status and caret texts run inside focus and caret handlers of clicks and keys: they paint
    // (posted events and timers run) but never take user input, also not in a loop that a timer
    // starts inside them.
    void statusUpdatesTakeNoUserInput() {
        m_fixture->caret = CaretPosition{0, 0, 1};
        const auto excludedInside = [](auto update) {
            bool excluded = false;
            bool nestedExcluded = false;
            QTimer::singleShot(0, [&] {
                excluded = EventPump::userInputExcluded();
                // A long loop that a timer runs in there takes no user input either.
                QTimer::singleShot(0, [&] { nestedExcluded = EventPump::userInputExcluded(); });
                EventPump().pump();
            });
            update();
            return excluded && nestedExcluded;
        };
        QVERIFY(excludedInside([this] { feedback().SetStatusText(QStringLiteral("Saving x")); }));
        QVERIFY(excludedInside([this] { feedback().UpdateCaretStatus(); }));
        QVERIFY(!EventPump::userInputExcluded());
    }

    void pumpEvery100() {
        for (int counter : {0, 100, 200, 1000})
            QVERIFY2(Pumps([counter] { Feedback::PumpEvery100(counter); }),
                     qPrintable(QString::number(counter)));
        for (int counter : {1, 99, 101, 250})
            QVERIFY2(!Pumps([counter] { Feedback::PumpEvery100(counter); }),
                     qPrintable(QString::number(counter)));
    }

    void anchorAtMouse() {
        QCOMPARE(feedback().HintAnchor, Feedback::NoAnchor);
        QCursor::setPos(300, 200);
        feedback().AnchorHintAtMouse();
        QCOMPARE(feedback().HintAnchor, QPoint(300, 200));
        QCursor::setPos(10, 20);
        feedback().AnchorHintAtMouse();
        QCOMPARE(feedback().HintAnchor, QPoint(300, 200)); // kept until reset
        // A mouse at (-1, -1) makes an anchor that reads as none: the next call reads the mouse again.
        feedback().HintAnchor = Feedback::NoAnchor;
        QCursor::setPos(-1, -1);
        if (QCursor::pos() != QPoint(-1, -1))
            QSKIP("the platform keeps the cursor on the screen");
        feedback().AnchorHintAtMouse();
        QCOMPARE(feedback().HintAnchor, Feedback::NoAnchor);
        QCursor::setPos(5, 6);
        feedback().AnchorHintAtMouse();
        QCOMPARE(feedback().HintAnchor, QPoint(5, 6));
    }

    void popupBesideTheAnchor() {
        feedback().HintAnchor = QPoint(500, 300);
        feedback().ShowHintPopup(QStringLiteral("Tree rebuilt"), false, 0);
        QVERIFY(hint() && hint()->isVisible());
        QCOMPARE(hint()->text(), QStringLiteral("Tree rebuilt"));
        QCOMPARE(hint()->requestedTopLeft(), QPoint(516, 300));
        QCOMPARE(hint()->pos(), QPoint(516, 300));
        QCOMPARE(feedback().HintAnchor, QPoint(500, 300));
        // A new text replaces the old one in the same window; resetAnchor clears the anchor.
        HintPopup *first = hint();
        feedback().ShowHintPopup(QStringLiteral("File saved"), true, 0);
        QCOMPARE(hint(), first);
        QCOMPARE(hint()->text(), QStringLiteral("File saved"));
        QCOMPARE(feedback().HintAnchor, Feedback::NoAnchor);
        // Without an anchor the popup goes to the mouse.
        QCursor::setPos(100, 150);
        feedback().ShowHintPopup(QStringLiteral("View rearranged"), true, 0);
        QCOMPARE(hint()->requestedTopLeft(), QPoint(116, 150));
        QCOMPARE(feedback().HintAnchor, Feedback::NoAnchor);
    }

    void emptyTextHides() {
        feedback().HintAnchor = QPoint(50, 60);
        feedback().ShowHintPopup(QStringLiteral("value"), false, 0);
        QVERIFY(hint());
        feedback().ShowHintPopup(QString(), false, 0);
        QVERIFY(!hint()); // destroyed; created again on the next show
        QCOMPARE(feedback().HintAnchor, QPoint(50, 60));
        feedback().ShowHintPopup(QStringLiteral("value"), false, 0);
        QVERIFY(hint());
        feedback().ShowHintPopup(QString(), true, 0);
        QVERIFY(!hint());
        QCOMPARE(feedback().HintAnchor, Feedback::NoAnchor);
    }

    void suppressedDoesNothingAtAll() {
        feedback().HintAnchor = QPoint(70, 80);
        feedback().ShowHintPopup(QStringLiteral("shown"), false, 0);
        feedback().HintSuppressed = true;
        feedback().ShowHintPopup(QStringLiteral("Tree rebuilt"), true, 3);
        QCOMPARE(hint()->text(), QStringLiteral("shown"));
        QVERIFY(!feedback().TimerHideHint()->isActive());
        QCOMPARE(feedback().HintAnchor, QPoint(70, 80));
        feedback().ShowHintPopup(QString(), true, 0);
        QVERIFY(hint());
        QCOMPARE(feedback().HintAnchor, QPoint(70, 80));
        feedback().HintSuppressed = false;
        feedback().ShowHintPopup(QString(), true, 0);
        QVERIFY(!hint());
    }

    void hideTimer() {
        QTimer *timer = feedback().TimerHideHint();
        QVERIFY(timer->isSingleShot());
        QVERIFY(!timer->isActive());
        feedback().ShowHintPopup(QStringLiteral("File saved"), true, 3);
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 3000);
        // A second call restarts the 3 seconds.
        QTest::qWait(200);
        const int before = timer->remainingTime();
        QVERIFY(before <= 2850);
        feedback().ShowHintPopup(QStringLiteral("All files saved"), true, 3);
        QVERIFY(timer->remainingTime() > before + 100);
        // 0 seconds (or less) leaves a running timer alone...
        QTest::qWait(50);
        const int remaining = timer->remainingTime();
        feedback().ShowHintPopup(QStringLiteral("value"), true, 0);
        feedback().ShowHintPopup(QStringLiteral("value"), true, -1);
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 3000);
        QVERIFY(timer->remainingTime() <= remaining);
        // ...so the newer popup goes when it fires (shortened here), once.
        timer->start(1);
        QTRY_VERIFY(!hint());
        QVERIFY(!timer->isActive());
        // The interval is the seconds in whole milliseconds, rounded.
        feedback().ShowHintPopup(QStringLiteral("x"), true, 1.2345);
        QCOMPARE(timer->interval(), 1235);
        feedback().ShowHintPopup(QStringLiteral("x"), true, 0.0004);
        QCOMPARE(timer->interval(), 0);
        QTRY_VERIFY(!hint());
    }

    void popupText() {
        // "&" is shown as it is: "&&" is two characters wide, not one as an escaped accelerator.
        feedback().ShowHintPopup(QStringLiteral("Save & Close"), true, 0);
        QCOMPARE(hint()->textFormat(), Qt::PlainText);
        const int one = hint()->width();
        feedback().ShowHintPopup(QStringLiteral("Save && Close"), true, 0);
        QVERIFY(qAbs(hint()->width() - one - hint()->fontMetrics().horizontalAdvance(QLatin1Char('&'))) <= 1);
        // A long text wraps at 320 pixels.
        feedback().ShowHintPopup(QStringLiteral("word ").repeated(80).trimmed(), true, 0);
        QCOMPARE(hint()->width(), 320);
        const int lineHeight = hint()->fontMetrics().lineSpacing();
        QVERIFY(hint()->height() > 4 * lineHeight);
        // Line breaks start new lines; a short text is only as wide as it needs.
        feedback().ShowHintPopup(QStringLiteral("one\ntwo\nthree"), true, 0);
        QVERIFY(hint()->width() < 100);
        QVERIFY(hint()->height() >= 3 * lineHeight);
        QVERIFY(hint()->height() < 4 * lineHeight + 12);
    }

    void popupStaysInsideTheScreenAndNeverTakesTheFocus() {
        window().show();
        window().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window()));
        m_fixture->focusTarget->setFocus();
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        feedback().HintAnchor = screen.bottomRight() - QPoint(5, 5);
        feedback().ShowHintPopup(QStringLiteral("a value near the corner"), false, 0);
        QVERIFY(screen.contains(hint()->geometry()));
        QCOMPARE(hint()->geometry().right(), screen.right());
        QCOMPARE(hint()->geometry().bottom(), screen.bottom());
        feedback().HintAnchor = QPoint(-300, -40);
        feedback().ShowHintPopup(QStringLiteral("left and above"), false, 0);
        QCOMPARE(hint()->pos(), screen.topLeft());
        QCOMPARE(hint()->requestedTopLeft(), QPoint(-284, -40));
        QCoreApplication::processEvents();
        QCOMPARE(QApplication::focusWidget(), m_fixture->focusTarget);
        QCOMPARE(QApplication::activeWindow(), &window());
        QVERIFY(hint()->windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(hint()->windowFlags() & Qt::WindowDoesNotAcceptFocus);
        QVERIFY(hint()->testAttribute(Qt::WA_ShowWithoutActivating));
        QCOMPARE(hint()->focusPolicy(), Qt::NoFocus);
        QCOMPARE(hint()->parentWidget(), &window());
    }
};

QTEST_MAIN(TestFeedback)
#include "test_feedback.moc"
