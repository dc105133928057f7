#include "app/shortcut_hook.h"

#include <QKeyEvent>

ShortcutHook::ShortcutHook(std::function<void(const QString &)> click, QObject *parent)
    : QObject(parent), m_click(std::move(click)) {}

bool ShortcutHook::AEShortCut(int key, Qt::KeyboardModifiers modifiers) {
    // Function keys whatever the modifiers.
    switch (key) {
    case Qt::Key_F1:
        m_click(QStringLiteral("TBRebuildTree"));
        return true;
    case Qt::Key_F2:
        m_click(QStringLiteral("TBArrange"));
        return true;
    case Qt::Key_F4:
        m_click(QStringLiteral("TBQuickWizard"));
        return true;
    case Qt::Key_F5:
        m_click(QStringLiteral("TBRefresh"));
        return true;
    case Qt::Key_F6:
        // Alone: Ctrl+F6 and the like stay with the focused control.
        if (modifiers & (Qt::ControlModifier | Qt::AltModifier))
            break;
        m_click(QStringLiteral("TBFindInFiles"));
        return true;
    default:
        break;
    }
    // Ctrl letters whatever Shift and Alt.
    if (modifiers & Qt::ControlModifier) {
        switch (key) {
        case Qt::Key_F:
            m_click(QStringLiteral("TBFind"));
            return true;
        case Qt::Key_H:
        case Qt::Key_R:
            m_click(QStringLiteral("TBReplace"));
            return true;
        case Qt::Key_S:
            m_click(QStringLiteral("TBSave"));
            return true;
        default:
            break;
        }
    }
    return false;
}

bool ShortcutHook::eventFilter(QObject *watched, QEvent *event) {
    // The application filter sees a key press first for the focused widget, and again for each
    // parent that an unhandled key climbs to; a handled key stops at the first, so its
    // command runs once.
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (AEShortCut(key->key(), key->modifiers()))
            return true;
    }
    return QObject::eventFilter(watched, event);
}
