#include "ui/event_pump.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>

namespace {

// Pumps on the stack that exclude user input.
int g_excluding = 0;
// Live EventPump::PaintsAtTheEnd objects.
int g_paintsAtTheEnd = 0;

// While one excludes, every pump inside it does.
QEventLoop::ProcessEventsFlags FlagsFor(EventPump::Input input) {
    return input == EventPump::Input::Exclude || g_excluding > 0 ? QEventLoop::ExcludeUserInputEvents
                                                                 : QEventLoop::AllEvents;
}

class Excluding {
public:
    explicit Excluding(QEventLoop::ProcessEventsFlags flags)
        : m_counts(flags.testFlag(QEventLoop::ExcludeUserInputEvents)) {
        if (m_counts)
            ++g_excluding;
    }
    ~Excluding() {
        if (m_counts)
            --g_excluding;
    }
    Excluding(const Excluding &) = delete;
    Excluding &operator=(const Excluding &) = delete;

private:
    bool m_counts;
};

// A retry while user input is excluded waits a little rather than spinning the nested loop.
constexpr int kRetryMs = 10;

void RunWhenInputIsTaken(const QPointer<QObject> &context, const std::function<void()> &work, int delay) {
    // Without a context the timer would run the work whatever became of its objects.
    if (!context)
        return;
    QTimer::singleShot(delay, context, [context, work] {
        if (EventPump::userInputExcluded())
            RunWhenInputIsTaken(context, work, kRetryMs);
        else
            work();
    });
}

} // namespace

void EventPump::maybePump() {
    if (!m_sinceLast.isValid() || m_sinceLast.elapsed() >= kIntervalMs)
        pump();
}

void EventPump::pump() {
    run(m_input);
    ++m_pumps;
    // From the end of this pass: a pass that took long still leaves the loop its interval of work.
    m_sinceLast.start();
}

void EventPump::run(Input input) {
    const QEventLoop::ProcessEventsFlags flags = FlagsFor(input);
    const Excluding excluding(flags);
    QCoreApplication::processEvents(flags);
}

void EventPump::paint() {
    if (g_paintsAtTheEnd == 0)
        run(Input::Exclude);
}

EventPump::PaintsAtTheEnd::PaintsAtTheEnd() {
    ++g_paintsAtTheEnd;
}

EventPump::PaintsAtTheEnd::~PaintsAtTheEnd() {
    --g_paintsAtTheEnd;
}

int EventPump::exec(QEventLoop &loop) {
    const QEventLoop::ProcessEventsFlags flags = FlagsFor(Input::Dispatch);
    const Excluding excluding(flags);
    return loop.exec(flags);
}

void EventPump::afterInput(QObject *context, std::function<void()> work) {
    RunWhenInputIsTaken(QPointer<QObject>(context), std::move(work), 0);
}

bool EventPump::userInputExcluded() {
    return g_excluding > 0;
}
