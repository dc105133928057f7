#pragma once
// Every place that lets pending events run from inside its own work goes through here.
//
// The rule: a handler that runs inside a widget's own input event (a mouse press, a key press, a
// focus change reached from a click) must never dispatch user input through a nested event loop.
// If it did, the rest of that input (the release of the press that is still being handled, the
// next key) would reach the widget before the widget has finished with the event on the stack;
// the editor, for one, is then left in drag-select mode and stretches a selection from the click
// point. So:
// - where only painting is wanted (a status text, the caret position), pump with user input
//   excluded: paint();
// - where the work itself may ask questions or run long loops that take input (opening a file,
//   a command that a key or click starts from inside the widget's handler), run it after the
//   input event: afterInput();
// - only the converter wait and long builds and loads dispatch user input (pump(), maybePump(),
//   exec()); they guard what that input may do (busy pages, read-only editors).
// Once a pump up the stack excludes user input, every pump below it excludes it as well, so that
// a timer or a posted call that runs inside it cannot open the door again.
//
// The pump of long loops costs little: a loop asks often (every 100 lines, say), and events run at
// the first request and then whenever kIntervalMs has passed since they last ran. Asking every 100
// lines of a million-line text would otherwise run the event loop 10,000 times; by time it runs
// about 65 times a second of work, and pending events never wait much longer than the interval
// plus one step of work.

#include <QElapsedTimer>
#include <QEventLoop>
#include <functional>

class QObject;

class EventPump {
public:
    static constexpr int kIntervalMs = 15;

    // Whether the pumps of this pump take user input (mouse, keys) as well.
    enum class Input { Dispatch, Exclude };
    explicit EventPump(Input input = Input::Dispatch) : m_input(input) {}

    // Runs pending events when none ran yet or kIntervalMs have passed since they last ran.
    void maybePump();
    // Runs pending events now.
    void pump();
    // The number of times events ran.
    int pumps() const { return m_pumps; }

    // Runs pending events except user input, so that what changed is painted; nothing while a
    // PaintsAtTheEnd lives.
    static void paint();
    // Short work that changes several widgets in steps (a node selection: tree, editor, caret
    // status, hint) holds back the paint() of each step while it lives: the event loop paints
    // everything once, where it ends up, when the work is over.
    class PaintsAtTheEnd {
    public:
        PaintsAtTheEnd();
        ~PaintsAtTheEnd();
        PaintsAtTheEnd(const PaintsAtTheEnd &) = delete;
        PaintsAtTheEnd &operator=(const PaintsAtTheEnd &) = delete;
    };
    // Runs loop until it quits, dispatching user input unless a pump up the stack excludes it.
    static int exec(QEventLoop &loop);
    // Runs work from the event loop after the input event being handled, at a moment when no pump
    // up the stack excludes user input; nothing when context is gone by then.
    static void afterInput(QObject *context, std::function<void()> work);
    // True while a pump that excludes user input is on the stack.
    static bool userInputExcluded();

private:
    static void run(Input input);

    Input m_input;
    QElapsedTimer m_sinceLast;
    int m_pumps = 0;
};
