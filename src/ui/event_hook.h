#pragma once
// Runs a function for the events of one object: the window's handlers for
// resizes and mouse presses of its components, without a subclass for each.

#include <QEvent>
#include <QObject>
#include <functional>

class EventHook : public QObject {
    Q_OBJECT
public:
    // handler returns true when the event is consumed (the target never sees it).
    using Handler = std::function<bool(QEvent *event)>;
    // Installs itself on target; it is destroyed with the target.
    EventHook(QObject *target, QEvent::Type type, Handler handler);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QEvent::Type m_type;
    Handler m_handler;
};

// Runs action after every resize of target.
void OnResize(QObject *target, std::function<void()> action);
