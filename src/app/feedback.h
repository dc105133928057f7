#pragma once
// The status line and the hint popup: progress and the current file in status
// panel 0, the caret in panels 1 and 2, and short confirmations and values in
// a floating hint near the mouse or a tree node.

#include <QObject>
#include <QPoint>
#include <QPointer>

#include "ui/hint_popup.h"

class QLabel;
class QStatusBar;
class QTimer;
class QWidget;
struct PageContext;

class Feedback : public QObject {
    Q_OBJECT
public:
    Feedback(QWidget *owner, QStatusBar *statusBar, const PageContext &context);

    static constexpr QPoint NoAnchor{-1, -1};
    QPoint HintAnchor = NoAnchor;
    bool HintSuppressed = false;

    void SetStatusText(const QString &text);
    QString statusText() const;
    void UpdateCaretStatus();
    void AnchorHintAtMouse();
    void ShowHintPopup(const QString &text, bool resetAnchor, double seconds);
    void SBResize();
    static void PumpEvery100(int counter);
    static void PumpEvents();

    QLabel *panel(int index) const { return m_panels[index]; }
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
    const PageContext &m_context;
    QLabel *m_panels[3];
    int m_panelWidths[3] = {0, 0, 0};
    QPointer<HintPopup> m_hint;
    QTimer *m_hideTimer;
};
