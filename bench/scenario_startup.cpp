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

} // namespace

void MeasureStartup(const QString &dir, const QString &rbf, const QString &converter, const char *name,
                    ScriptedDialogs &dialogs) {
    const QString exeDir = dir + QStringLiteral("/start-exe/");
    QDir().mkpath(exeDir);
    QFile ini(exeDir + QStringLiteral("Kestrelbench.ini"));
    if (!ini.open(QIODevice::WriteOnly))
        Fail(QStringLiteral("cannot write %1").arg(ini.fileName()));
    ini.write(QStringLiteral("[Main]\r\nWidth=1280\r\nHeight=860\r\nGrindle=%1\r\n").arg(converter).toUtf8());
    ini.close();
    const QString text = rbf.left(rbf.size() - 4) + QStringLiteral(".txt");
    QVector<double> shown;
    QVector<double> opened;
    for (int run = 0; run < 3; ++run) {
        QFile::remove(text);
        TFormMain::Options options;
        options.exeDir = exeDir;
        options.dialogs = &dialogs;
        options.arguments = QStringList{QStringLiteral("kestrelbench"), rbf};
        const Stopwatch clock;
        auto window = std::make_unique<TFormMain>(options);
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
