#include "ui/hint_popup.h"

#include <QGuiApplication>
#include <QScreen>

namespace {
constexpr int kMaxWidth = 320;
}

HintPopup::HintPopup(QWidget *owner)
    : QLabel(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("HintWindow"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    // Plain text: "&" is shown as it is, never as an accelerator.
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setMargin(3);
    setForegroundRole(QPalette::ToolTipText);
    setBackgroundRole(QPalette::ToolTipBase);
    setAutoFillBackground(true);
    setFrameStyle(QFrame::Box | QFrame::Plain);
}

void HintPopup::showAt(const QString &text, const QPoint &topLeft) {
    setText(text);
    setMaximumWidth(kMaxWidth);
    const QFontMetrics metrics(font());
    const int extra = 2 * (margin() + frameWidth());
    const QRect bounds = metrics.boundingRect(QRect(0, 0, kMaxWidth - extra, 100000), Qt::TextWordWrap, text);
    resize(bounds.width() + extra, bounds.height() + extra);
    m_requested = topLeft;
    QPoint place = topLeft;
    if (const QScreen *screen = QGuiApplication::screenAt(topLeft) ? QGuiApplication::screenAt(topLeft)
                                                                   : QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        place.setX(qMax(area.left(), qMin(place.x(), area.right() + 1 - width())));
        place.setY(qMax(area.top(), qMin(place.y(), area.bottom() + 1 - height())));
    }
    move(place);
    show();
    raise();
}
