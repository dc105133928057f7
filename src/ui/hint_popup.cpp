#include "ui/hint_popup.h"

#include "ui/shown_text.h"

#include <QGuiApplication>
#include <QScreen>

namespace {
constexpr int kMaxWidth = 320;
constexpr qsizetype kMaxShownCharacters = 1000;
} // namespace

HintPopup::HintPopup(QWidget *owner)
    : QLabel(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                        Qt::WindowDoesNotAcceptFocus) {
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

void HintPopup::showAt(const QString &whole, const QPoint &topLeft) {
    // A value of megabytes would be laid out and wrapped whole: it is shown cut.
    const QString text = ShownText(whole, kMaxShownCharacters);
    setText(text);
    // The window is named after its text, so screen readers and window lists can tell what it says.
    setWindowTitle(text);
    // As wide as the longest line, at most kMaxWidth; words wrap beyond that. The size is
    // set here, not as a size limit, so that the window never asks the platform for hints.
    const QMargins margins = contentsMargins();
    const int extra = margins.left() + margins.right() + 2 * margin();
    const QRect natural = fontMetrics().boundingRect(QRect(0, 0, 100000, 100000), Qt::AlignLeft, text);
    const int width = qMin(kMaxWidth, natural.width() + extra);
    const int height = heightForWidth(width);
    resize(width, height > 0 ? height : sizeHint().height());
    m_requested = topLeft;
    QPoint place = topLeft;
    const QScreen *screen = QGuiApplication::screenAt(topLeft);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->availableGeometry();
        place.setX(qMax(area.left(), qMin(place.x(), area.right() + 1 - this->width())));
        place.setY(qMax(area.top(), qMin(place.y(), area.bottom() + 1 - this->height())));
    }
    move(place);
    show();
    raise();
}
