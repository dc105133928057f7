#pragma once
// Holds back the paints of a widget (and its children) while it lives: for work that changes a
// widget in several steps and lets events run in between, so that it is painted once, whole,
// where it ends up. Nests: the widget's earlier state comes back at the end.

#include <QPointer>
#include <QWidget>

class PaintsHeld {
public:
    explicit PaintsHeld(QWidget *widget) : m_widget(widget), m_enabled(widget->updatesEnabled()) {
        m_widget->setUpdatesEnabled(false);
    }
    ~PaintsHeld() {
        if (m_widget)
            m_widget->setUpdatesEnabled(m_enabled);
    }
    PaintsHeld(const PaintsHeld &) = delete;
    PaintsHeld &operator=(const PaintsHeld &) = delete;

private:
    QPointer<QWidget> m_widget;
    bool m_enabled;
};
