// find-in-files-scenario: Find in Files in the real main window (offscreen) over a generated
// folder of 1,000 RBF files with 1,000,000 lines in all, converted by grindle. Prints one figure
// per line, "name: value unit", on standard output; notes go to standard error.
//
// First search: an empty cache, every file converted. Repeated search: the same folder again,
// every text from the cache. Throughout, the longest gap of the window's event loop; and the
// peak memory of the process during the searches (the folder's texts would be about 40 MB as
// Qt strings: the search holds only a few of them at a time).

#include "app/main_window.h"
#include "search/find_in_files.h"
#include "search/find_in_files_controller.h"
#include "search/find_in_files_dialog.h"
#include "search/search_results_model.h"
#include "support/event_gap_probe.h"
#include "support/scripted_dialogs.h"

#include "converter.h"
#include "generator.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <cstdio>
#include <fstream>

#include <sys/resource.h>

namespace {

constexpr int kFiles = 1000;
constexpr int kLines = 1'000'000;

void QuietMessages(QtMsgType type, const QMessageLogContext &, const QString &message) {
    if (message.startsWith(QLatin1String("This plugin does not support")))
        return;
    std::fprintf(stderr, "%s%s\n", type >= QtCriticalMsg ? "error: " : "", qPrintable(message));
}

// A field of /proc/self/status in KiB ("VmHWM", "VmRSS").
long StatusKiB(const char *field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field) + 1).trimmed().split(' ').first().toLong();
    }
    return -1;
}

// Lets the peak resident size start again from the current one.
void ResetPeak() {
    std::ofstream(std::string("/proc/self/clear_refs")) << "5";
}

// kFiles RBF files of about kLines lines in all, sizes from 500 to 1,500 lines, some in subfolders.
qint64 MakeFolder(const QString &folder) {
    qint64 lines = 0;
    for (int i = 0; i < kFiles; ++i) {
        const int count = kLines / kFiles + ((i * 7919) % 1001) - 500;
        const QString sub = i % 10 == 0 ? QStringLiteral("/sub%1").arg(i / 100) : QString();
        QDir().mkpath(folder + sub);
        const QString base = folder + sub + QStringLiteral("/unit_%1").arg(i, 4, 10, QLatin1Char('0'));
        const std::filesystem::path text = QFile::encodeName(base + QStringLiteral(".txt")).toStdString();
        const std::filesystem::path rbf = QFile::encodeName(base + QStringLiteral(".rbf")).toStdString();
        std::ofstream(text, std::ios::binary)
            << grindle::generateText(std::uint64_t(count), grindle::headingName(rbf));
        grindle::convertFile(text);
        std::filesystem::remove(text);
        lines += count;
    }
    return lines;
}

// Processor time in ms of this process (all its threads) and of its ended children (the converters).
double CpuMs(int who) {
    rusage usage{};
    getrusage(who, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

struct Run {
    double selfCpuMs = 0;
    double childCpuMs = 0;
    double ms = 0;
    double gapMs = 0;
    double cpuGapMs = 0;
    int hits = 0;
    int files = 0;
};

Run Search(TFormMain &window) {
    FindInFilesController &search = window.findInFiles();
    QSignalSpy ended(&search, &FindInFilesController::searchEnded);
    EventGapProbe probe;
    probe.start();
    QElapsedTimer clock;
    const double self = CpuMs(RUSAGE_SELF);
    const double children = CpuMs(RUSAGE_CHILDREN);
    clock.start();
    search.FindInFilesDFind();
    if (!ended.wait(600000))
        std::fprintf(stderr, "error: the search did not end\n");
    Run run;
    run.ms = double(clock.nsecsElapsed()) / 1e6;
    run.selfCpuMs = CpuMs(RUSAGE_SELF) - self;
    run.childCpuMs = CpuMs(RUSAGE_CHILDREN) - children;
    run.gapMs = probe.stop();
    run.cpuGapMs = probe.longestCpuGapMs();
    run.hits = search.results()->hitCount();
    run.files = search.search() ? search.search()->done() : 0;
    return run;
}

} // namespace

int main(int argc, char **argv) {
    qInstallMessageHandler(QuietMessages);
    QApplication app(argc, argv);
    QTemporaryDir work;
    const QString folder = work.filePath(QStringLiteral("data"));
    QElapsedTimer clock;
    clock.start();
    const qint64 lines = MakeFolder(folder);
    std::fprintf(stderr, "# %d files, %lld lines made in %lld ms; %d cores\n", kFiles, lines,
                 static_cast<long long>(clock.elapsed()), QThread::idealThreadCount());

    ScriptedDialogs dialogs;
    MainWindowOptions options;
    options.exeDir = work.filePath(QStringLiteral("exe"));
    QDir().mkpath(options.exeDir);
    options.dialogs = &dialogs;
    TFormMain window(options);
    window.ConverterPath = QStringLiteral(KESTREL_GRINDLE);
    window.resize(1280, 860);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        std::fprintf(stderr, "# the window was not exposed\n");
    FindInFilesController &search = window.findInFiles();
    search.setCacheFolder(work.filePath(QStringLiteral("cache")));
    SearchQuery query;
    query.text = QStringLiteral("turn_rate: 2");
    search.dialog()->setQuery(query);
    SearchScope scope;
    scope.folder = folder;
    search.dialog()->setScope(scope);

    QTest::qWait(200);
    const long before = StatusKiB("VmRSS:");
    ResetPeak();
    const Run first = Search(window);
    const Run cached = Search(window);
    const long peak = StatusKiB("VmHWM:");
    std::fprintf(stderr, "# \"%s\": %d hits in %d files; resident %ld MiB before the searches\n",
                 qPrintable(query.text), first.hits, first.files, before / 1024);
    for (const Run *run : {&first, &cached})
        std::fprintf(stderr,
                     "# %s search: %.0f ms processor time in the program, %.0f ms in the converters\n",
                     run == &first ? "first" : "repeated", run->selfCpuMs, run->childCpuMs);
    if (cached.hits != first.hits)
        std::fprintf(stderr, "error: the repeated search found %d hits, the first %d\n", cached.hits,
                     first.hits);
    std::printf("find_in_files_first_ms: %.0f ms\n", first.ms);
    std::printf("find_in_files_cached_ms: %.0f ms\n", cached.ms);
    std::printf("find_in_files_event_gap_ms: %.1f ms\n", qMax(first.gapMs, cached.gapMs));
    std::printf("find_in_files_event_gap_cpu_ms: %.1f ms\n", qMax(first.cpuGapMs, cached.cpuGapMs));
    std::printf("find_in_files_peak_growth_mb: %.0f MB\n", double(peak - before) / 1024);
    return 0;
}
