#include "scenario_views.h"

#include "app/main_window.h"
#include "highlight/view_options.h"
#include "scenario_figures.h"

#include <QCoreApplication>
#include <QString>

#include <cstdio>
#include <cstdlib>

namespace {

bool ParseView(const QString &code, ViewSettings &view) {
    view = ViewSettings{false, false, false};
    if (code == QLatin1String("-"))
        return true;
    for (const QChar c : code) {
        if (c == QLatin1Char('h'))
            view.Highlight = true;
        else if (c == QLatin1Char('f'))
            view.Folding = true;
        else if (c == QLatin1Char('n'))
            view.LineNumbers = true;
        else
            return false;
    }
    return true;
}

QByteArray FigureName(const char *name, const QByteArray &insert) {
    const QByteArray whole(name);
    const qsizetype unit = whole.lastIndexOf('_');
    return whole.left(unit) + insert + whole.mid(unit);
}

void Flush() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

} // namespace

QVector<ScenarioView> ScenarioViews(const ViewSettings &windowSettings) {
    const QStringList codes =
        qEnvironmentVariable("KESTREL_SCENARIO_VIEWS").split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (codes.isEmpty())
        return {{windowSettings, QByteArray()}};
    QVector<ScenarioView> views;
    for (const QString &code : codes) {
        ScenarioView view;
        if (!ParseView(code, view.settings)) {
            std::fprintf(stderr, "kestrel-scenario: KESTREL_SCENARIO_VIEWS: no view \"%s\"\n",
                         qPrintable(code));
            std::exit(1);
        }
        if (!views.isEmpty())
            view.suffix = code == QLatin1String("-") ? QByteArray("_plain") : "_" + code.toLatin1();
        views << view;
    }
    return views;
}

ViewRuns::ViewRuns(TFormMain &window, int runsPerView)
    : m_window(window), m_views(ScenarioViews(window.viewOptions().settings())), m_runsPerView(runsPerView),
      m_wall(m_views.size()), m_cpu(m_views.size()) {}

void ViewRuns::enter(int run) {
    const ViewSettings &wanted = m_views[run % m_views.size()].settings;
    if (!(m_window.viewOptions().settings() == wanted))
        m_window.viewOptions().setSettings(wanted);
    Flush();
}

void ViewRuns::time(int run, const std::function<void()> &work) {
    const qint64 cpuBefore = ProcessCpuNs();
    const Stopwatch clock;
    work();
    const double wall = clock.us();
    record(run, wall, static_cast<double>(ProcessCpuNs() - cpuBefore) / 1e3);
}

void ViewRuns::record(int run, double wall, double cpu) {
    const int view = run % static_cast<int>(m_views.size());
    m_wall[view] << wall;
    m_cpu[view] << cpu;
}

double ViewRuns::median(int view) const {
    return Median(m_wall[view]);
}

void ViewRuns::print(const char *name, const char *unit) const {
    for (int view = 0; view < m_views.size(); ++view) {
        const QByteArray &suffix = m_views[view].suffix;
        PrintFigure(FigureName(name, suffix).constData(), Median(m_wall[view]), unit);
        PrintFigure(FigureName(name, suffix + "_cpu").constData(), Median(m_cpu[view]), unit);
    }
}

void ViewRuns::leave() {
    enter(0);
}
