#pragma once
// The status line and the hint popup: progress and the current file in status
// panel 0, the caret in panels 1 and 2, and short confirmations and values in
// a floating hint near the mouse or a tree node. A service of the window that
// the subsystems are given; it knows nothing of pages or editors: the caret
// comes from a source that the window supplies.

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <functional>
#include <optional>

#include "ui/hint_popup.h"

class QLabel;
class QProgressBar;
class QStatusBar;
class QTimer;
class QWidget;

// The caret of the current editor: zero-based line and column, and the editor's line count.
struct CaretPosition {
    int line = 0;
    int column = 0;
    int lineCount = 0;
};

class Feedback : public QObject {
    Q_OBJECT
public:
    // The caret of the current editor, nothing when there is no current editor.
    using CaretSource = std::function<std::optional<CaretPosition>()>;
    Feedback(QWidget *owner, QStatusBar *statusBar, CaretSource caret);

    static constexpr QPoint NoAnchor{-1, -1};
    QPoint HintAnchor = NoAnchor;
    bool HintSuppressed = false;

    // Both paint what they changed before returning, without taking user input: they run inside
    // focus and caret handlers of a click or a key (see ui/event_pump.h).
    void SetStatusText(const QString &text);
    QString statusText() const;
    // The caret source's position in panels 1 and 2; nothing without a current editor.
    void UpdateCaretStatus();
    void ShowCaretStatus(const CaretPosition &caret);
    void AnchorHintAtMouse();
    void ShowHintPopup(const QString &text, bool resetAnchor, double seconds);
    void SBResize();
    // Lets pending events run, user input included, when counter is a multiple of 100: for long
    // loops that guard what that input may do.
    static void PumpEvery100(int counter);

    QLabel *panel(int index) const { return m_panels[index]; }
    // The progress indicator beside panel 0, hidden while no long work shows it (see
    // ui/status_progress.h).
    QProgressBar *progressBar() const { return m_progress; }
    // The width the panel is given (panel 0 follows the status bar's width).
    int panelWidth(int index) const { return m_panelWidths[index]; }
    // The popup while it is shown, else nullptr (it is destroyed when hidden).
    HintPopup *hintWindow() const { return m_hint; }
    QTimer *TimerHideHint() const { return m_hideTimer; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void hideHint();
    void setPanelWidth(int index, int width);

    QWidget *m_owner;
    QStatusBar *m_statusBar;
    CaretSource m_caret;
    friend class StatusProgress;
    QLabel *m_panels[3];
    QProgressBar *m_progress;
    int m_progressShown = 0; // StatusProgress objects that show the indicator
    int m_panelWidths[3] = {0, 0, 0};
    QPointer<HintPopup> m_hint;
    QTimer *m_hideTimer;
};
