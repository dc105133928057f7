#include "ui/event_hook.h"

EventHook::EventHook(QObject *target, QEvent::Type type, Handler handler)
    : QObject(target), m_type(type), m_handler(std::move(handler)) {
    target->installEventFilter(this);
}

bool EventHook::eventFilter(QObject *watched, QEvent *event) {
    if (watched == parent() && event->type() == m_type && m_handler(event))
        return true;
    return QObject::eventFilter(watched, event);
}

void OnResize(QObject *target, std::function<void()> action) {
    new EventHook(target, QEvent::Resize, [action = std::move(action)](QEvent *) {
        action();
        return false;
    });
}
