#include "scenario_startup.h"

#include "app/main_window.h"
#include "document/document_controller.h"
#include "document/page.h"
#include "scenario_figures.h"
#include "support/scripted_dialogs.h"
#include "tree/page_tree.h"
#include "tree/structure_tree.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTabWidget>
#include <QWindow>

#include <cstdio>
#include <memory>

namespace {

[[noreturn]] void Fail(const QString &why) {
    std::fprintf(stderr, "kestrel-scenario: %s\n", qPrintable(why));
    std::exit(1);
}

// Runs events until done() holds; fails after a minute.
template <typename Done> void RunUntil(Done done, const char *what) {
    const QDeadlineTimer deadline(60000);
    while (!done()) {
        if (deadline.hasExpired())
            Fail(QStringLiteral("start-up: %1 did not happen").arg(QLatin1String(what)));
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}

bool PageOpened(TFormMain &window) {
    if (window.PC->count() != 1)
        return false;
    const Page *page = window.documents().page(0);
    return page && !page->isBusy() && page->tree()->structure().nodeCount() > 0 &&
           page->tree()->selectedNode() == 0;
}

// The folder of a started window's executable, holding its settings: its size and converter.
QString PrepareExeDir(const QString &dir, const QString &converter) {
    const QString exeDir = dir + QStringLiteral("/start-exe/");
    QDir().mkpath(exeDir);
    QFile ini(exeDir + QStringLiteral("Kestrelbench.ini"));
    if (!ini.open(QIODevice::WriteOnly))
        Fail(QStringLiteral("cannot write %1").arg(ini.fileName()));
    ini.write(QStringLiteral("[Main]\r\nWidth=1280\r\nHeight=860\r\nGrindle=%1\r\n").arg(converter).toUtf8());
    return exeDir;
}

QString TextOf(const QString &rbf) {
    return rbf.left(rbf.size() - 4) + QStringLiteral(".txt");
}

TFormMain::Options StartOptions(const QString &exeDir, const QString &rbf, ScriptedDialogs &dialogs) {
    TFormMain::Options options;
    options.exeDir = exeDir;
    options.dialogs = &dialogs;
    options.arguments = QStringList{QStringLiteral("kestrelbench"), rbf};
    return options;
}

constexpr auto kFreshOpen = "--fresh-open";

} // namespace

void MeasureStartup(const QString &dir, const QString &rbf, const QString &converter, const char *name,
                    ScriptedDialogs &dialogs) {
    const QString exeDir = PrepareExeDir(dir, converter);
    const QString text = TextOf(rbf);
    QVector<double> shown;
    QVector<double> opened;
    for (int run = 0; run < 3; ++run) {
        QFile::remove(text);
        const Stopwatch clock;
        auto window = std::make_unique<TFormMain>(StartOptions(exeDir, rbf, dialogs));
        window->show();
        RunUntil([&window] { return window->windowHandle() && window->windowHandle()->isExposed(); },
                 "the window's exposure");
        shown << clock.ms();
        RunUntil([&window] { return PageOpened(*window); }, "the command-line file's page");
        QCoreApplication::processEvents();
        window->repaint();
        opened << clock.ms();
        if (!window->documents().ClosePage(0))
            Fail(QStringLiteral("start-up: the page did not close"));
        window.reset();
        QCoreApplication::processEvents();
    }
    const QByteArray shownName = QByteArray("window_shown_") + name + "_ms";
    const QByteArray openName = QByteArray("start_open_") + name + "_ms";
    PrintFigure(shownName.constData(), Median(shown), "ms");
    PrintFigure(openName.constData(), Median(opened), "ms");
}

double FreshOpenPeakMb(const QString &dir, const QString &rbf, const QString &converter) {
    const QString exeDir = PrepareExeDir(dir, converter);
    QFile::remove(TextOf(rbf));
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QLatin1String(kFreshOpen), exeDir, rbf});
    if (!child.waitForFinished(120000) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        Fail(QStringLiteral("the window in a process of its own did not open %1: %2")
                 .arg(rbf, QString::fromLocal8Bit(child.readAllStandardError())));
    bool ok = false;
    const double peak = QString::fromLatin1(child.readAllStandardOutput()).trimmed().toDouble(&ok);
    if (!ok)
        Fail(QStringLiteral("the window in a process of its own gave no peak memory"));
    return peak;
}

bool RunFreshOpen(const QStringList &arguments) {
    if (arguments.size() != 4 || arguments[1] != QLatin1String(kFreshOpen))
        return false;
    ScriptedDialogs dialogs;
    auto window = std::make_unique<TFormMain>(StartOptions(arguments[2], arguments[3], dialogs));
    window->show();
    RunUntil([&window] { return PageOpened(*window); }, "the command-line file's page");
    QCoreApplication::processEvents();
    window->repaint();
    std::printf("%.1f\n", PeakResidentMb());
    std::fflush(stdout);
    return true;
}
