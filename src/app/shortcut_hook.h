#pragma once
// AEShortCut: one application-wide hook that sees every key press before the
// focused control does and runs the window's command keys.

#include <QObject>
#include <functional>

class ShortcutHook : public QObject {
    Q_OBJECT
public:
    // click runs a command by its button's name.
    explicit ShortcutHook(std::function<void(const QString &)> click, QObject *parent = nullptr);

    // True when the key was handled (it then never reaches the control).
    bool AEShortCut(int key, Qt::KeyboardModifiers modifiers);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<void(const QString &)> m_click;
};
