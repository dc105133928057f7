#include "ui/feedback.h"

#include "ui/event_pump.h"
#include "ui/hint_popup.h"
#include "ui/status_panel.h"

#include <QCursor>
#include <QEvent>
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>
#include <QTimer>
#include <cmath>

namespace {
constexpr int kLineWidth = 125;
constexpr int kColumnWidth = 75;
} // namespace

Feedback::Feedback(QWidget *owner, QStatusBar *statusBar, CaretSource caret)
    : QObject(owner), m_owner(owner), m_statusBar(statusBar), m_caret(std::move(caret)) {
    const int widths[3] = {50, kLineWidth, kColumnWidth};
    for (int i = 0; i < 3; ++i) {
        m_panels[i] = new StatusPanel(statusBar);
        m_panels[i]->setObjectName(QStringLiteral("SBPanel%1").arg(i));
        m_panels[i]->setTextFormat(Qt::PlainText);
        m_panels[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        // Filled by itself, a panel whose text changes is painted alone, not with the window's
        // background and the status bar beneath it (the caret's panel changes at every move).
        m_panels[i]->setAutoFillBackground(true);
        setPanelWidth(i, widths[i]);
        statusBar->addWidget(m_panels[i], i == 0 ? 1 : 0);
    }
    // The caret panels change on every caret move: with a fixed size as well as a fixed width, a
    // new text repaints the panel alone instead of laying out and repainting the whole status bar.
    for (int i = 1; i < 3; ++i)
        m_panels[i]->setFixedHeight(m_panels[i]->sizeHint().height());
    m_progress = new QProgressBar(statusBar);
    m_progress->setObjectName(QStringLiteral("SBProgress"));
    m_progress->setFixedWidth(140);
    m_progress->setTextVisible(false);
    m_progress->hide();
    statusBar->insertWidget(1, m_progress);
    statusBar->setSizeGripEnabled(true);
    statusBar->installEventFilter(this);
    m_hideTimer = new QTimer(this);
    m_hideTimer->setObjectName(QStringLiteral("TimerHideHint"));
    m_hideTimer->setSingleShot(true);
    m_hideTimer->setTimerType(Qt::PreciseTimer);
    connect(m_hideTimer, &QTimer::timeout, this, [this] { hideHint(); });
}

bool Feedback::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_statusBar && event->type() == QEvent::Resize)
        SBResize();
    return QObject::eventFilter(watched, event);
}

void Feedback::PumpEvery100(int counter) {
    if (counter % 100 == 0)
        EventPump().pump();
}

void Feedback::SetStatusText(const QString &text) {
    m_panels[0]->setText(text);
    EventPump::paint();
}

QString Feedback::statusText() const {
    return m_panels[0]->text();
}

void Feedback::UpdateCaretStatus() {
    const std::optional<CaretPosition> caret = m_caret ? m_caret() : std::nullopt;
    if (caret)
        ShowCaretStatus(*caret);
}

void Feedback::ShowCaretStatus(const CaretPosition &caret) {
    m_panels[1]->setText(QStringLiteral("Ln: %1 / %2").arg(caret.line + 1).arg(caret.lineCount));
    m_panels[2]->setText(QStringLiteral("Col: %1").arg(caret.column + 1));
    EventPump::paint();
}

void Feedback::AnchorHintAtMouse() {
    if (HintAnchor == NoAnchor)
        HintAnchor = QCursor::pos();
}

void Feedback::hideHint() {
    m_hideTimer->stop();
    if (m_hint)
        delete m_hint.data();
}

void Feedback::ShowHintPopup(const QString &text, bool resetAnchor, double seconds) {
    if (HintSuppressed)
        return;
    if (text.isEmpty()) {
        if (m_hint)
            delete m_hint.data();
    } else {
        AnchorHintAtMouse();
        if (!m_hint)
            m_hint = new HintPopup(m_owner);
        m_hint->showAt(text, QPoint(HintAnchor.x() + 16, HintAnchor.y()));
        if (seconds > 0) {
            m_hideTimer->stop();
            m_hideTimer->setInterval(static_cast<int>(std::lround(seconds * 1000.0)));
            m_hideTimer->start();
        }
    }
    if (resetAnchor)
        HintAnchor = NoAnchor;
}

void Feedback::setPanelWidth(int index, int width) {
    m_panelWidths[index] = width;
    // Panel 0 only has an upper bound: a fixed width would raise the status bar's minimum
    // width and so the window's, which would resize the bar again.
    if (index == 0) {
        m_panels[0]->setMinimumWidth(0);
        m_panels[0]->setMaximumWidth(width);
    } else {
        m_panels[index]->setFixedWidth(width);
    }
}

void Feedback::SBResize() {
    setPanelWidth(0, qMax(0, m_statusBar->width() - kLineWidth - kColumnWidth - 16));
}
