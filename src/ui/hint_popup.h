#pragma once
// The floating hint: a frameless tooltip window that never takes the focus,
// stays on top, wraps at 320 pixels and is kept inside the screen.

#include <QLabel>

class HintPopup : public QLabel {
    Q_OBJECT
public:
    explicit HintPopup(QWidget *owner);
    // Shows text (its first 1,000 characters and "…" when longer) with its top-left corner at
    // topLeft (moved back inside the screen).
    void showAt(const QString &text, const QPoint &topLeft);
    // Where showAt placed the popup before keeping it inside the screen.
    QPoint requestedTopLeft() const { return m_requested; }

private:
    QPoint m_requested;
};
