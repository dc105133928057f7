#pragma once
// The view settings (highlighting, folding, line numbers) that the short figures are measured
// under, and their runs. KESTREL_SCENARIO_VIEWS="hfn -" measures every short figure under each
// view in turn, run by run, so that all see the same load on a shared machine; a view is the
// letters of what is on (h highlighting, f folding, n line numbers) or "-" for none. The first
// view's figures keep their names, the others get a suffix before the unit
// (caret_sync_1m_plain_us for "-", caret_sync_1m_h_us for "h"). Unset: the window's own settings.

#include "highlight/structure_view.h"

#include <QByteArray>
#include <QVector>

#include <functional>

class TFormMain;

struct ScenarioView {
    ViewSettings settings;
    QByteArray suffix; // empty for the first view
};

QVector<ScenarioView> ScenarioViews(const ViewSettings &windowSettings);

// The runs of one figure, taking the views in turn. Every figure is printed with its wall-clock
// median and, as <name>_cpu_<unit>, the median processor time of the process over the same runs.
class ViewRuns {
public:
    ViewRuns(TFormMain &window, int runsPerView);
    int count() const { return m_runsPerView * views(); }
    int views() const { return static_cast<int>(m_views.size()); }
    // Puts the view of run in place (where it is not yet) and runs pending events: its restyle and
    // relayout are not timed.
    void enter(int run);
    // Times work (in microseconds) as run run.
    void time(int run, const std::function<void()> &work);
    // Times in milliseconds instead.
    // Takes a run timed elsewhere.
    void record(int run, double wall, double cpu);
    double median(int view) const;
    void print(const char *name, const char *unit) const;
    // Back to the first view.
    void leave();

private:
    TFormMain &m_window;
    QVector<ScenarioView> m_views;
    int m_runsPerView;
    QVector<QVector<double>> m_wall;
    QVector<QVector<double>> m_cpu;
};
