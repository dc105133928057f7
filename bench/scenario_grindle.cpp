#include "scenario_grindle.h"

#include "scenario_figures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kRuns = 7;
constexpr double kRbfToTextGoal = 400; // MB/s of text
constexpr double kTextToRbfGoal = 300; // MB/s of text
constexpr double kPeakGoal = 1.5;      // times the text's size

[[noreturn]] void Fail(const QString &why) {
    std::fprintf(stderr, "kestrel-scenario: %s\n", qPrintable(why));
    std::exit(1);
}

struct Run {
    double wallMs = 0;
    double cpuMs = 0; // user and system
    double peakBytes = 0;
};

// One conversion in a child process, waited for with wait4 for its resource use: ru_maxrss is the
// child's own peak, which a QProcess would not report.
Run Convert(const QString &input) {
    // Another build of grindle, for comparisons, where KESTREL_SCENARIO_GRINDLE names one.
    const QByteArray program =
        QFile::encodeName(qEnvironmentVariable("KESTREL_SCENARIO_GRINDLE", QStringLiteral(KESTREL_GRINDLE)));
    const QByteArray path = QFile::encodeName(input);
    char *const argv[] = {const_cast<char *>(program.constData()), const_cast<char *>("-q"),
                          const_cast<char *>("-i"), const_cast<char *>(path.constData()), nullptr};
    const Stopwatch clock;
    const pid_t child = fork();
    if (child < 0)
        Fail(QStringLiteral("cannot start grindle"));
    if (child == 0) {
        execv(argv[0], argv);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        Fail(QStringLiteral("%1 -q -i %2 failed").arg(QFile::decodeName(program), input));
    Run run;
    run.wallMs = clock.ms();
    run.cpuMs = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    run.peakBytes = static_cast<double>(usage.ru_maxrss) * 1024.0;
    return run;
}

// Converts `input` kRuns times; returns the median throughput in MB/s of `textBytes`, and the
// largest peak seen. Runs into a new file (the output removed first) are interleaved: the
// difference is what replacing the existing output costs, which the file system makes the rename
// wait for.
double Throughput(const QString &input, const QString &output, double textBytes, const char *direction,
                  double &peakBytes) {
    QVector<double> wall;
    QVector<double> cpu;
    QVector<double> wallNew;
    for (int i = 0; i < kRuns; ++i) {
        const Run run = Convert(input);
        wall << run.wallMs;
        cpu << run.cpuMs;
        peakBytes = qMax(peakBytes, run.peakBytes);
        QFile::remove(output);
        wallNew << Convert(input).wallMs;
    }
    const double wallMs = Median(wall);
    const double cpuMs = Median(cpu);
    PrintNote(QStringLiteral("grindle %1 into a new file (nothing replaced): %2 ms")
                  .arg(QLatin1String(direction))
                  .arg(Median(wallNew), 0, 'f', 1));
    // On a busy machine the wall clock runs on while grindle waits for a processor; its own time
    // tells what a quiet machine would show.
    PrintNote(QStringLiteral("grindle %1: %2 ms (processor time %3 ms, %4 MB/s of it), median of %5")
                  .arg(QLatin1String(direction))
                  .arg(wallMs, 0, 'f', 1)
                  .arg(cpuMs, 0, 'f', 1)
                  .arg(textBytes / 1e3 / cpuMs, 0, 'f', 0)
                  .arg(kRuns));
    return textBytes / 1e3 / wallMs;
}

void PrintAgainstGoal(const char *name, double value, const char *unit, const char *goal, bool met) {
    PrintFigure(name, value, unit);
    PrintNote(QStringLiteral("%1 goal: %2, %3")
                  .arg(QLatin1String(name), QLatin1String(goal),
                       met ? QStringLiteral("met") : QStringLiteral("missed")));
}

} // namespace

void MeasureGrindle(const QString &text, const QString &rbf, const QString &dir) {
    const QString folder = dir + QStringLiteral("/grindle");
    const QString txtCopy = folder + QStringLiteral("/big.txt");
    const QString rbfCopy = folder + QStringLiteral("/big.rbf");
    if (!QDir().mkpath(folder) || !QFile::copy(text, txtCopy) || !QFile::copy(rbf, rbfCopy))
        Fail(QStringLiteral("cannot prepare grindle's inputs in %1").arg(folder));
    const double textBytes = static_cast<double>(QFileInfo(txtCopy).size());

    double peak = 0;
    // Each conversion replaces the other file beside its input, as the window's opens and saves do.
    const double toRbf = Throughput(txtCopy, rbfCopy, textBytes, "text to RBF", peak);
    const double toText = Throughput(rbfCopy, txtCopy, textBytes, "RBF to text", peak);
    QFile written(txtCopy);
    QFile original(text);
    if (!written.open(QIODevice::ReadOnly) || !original.open(QIODevice::ReadOnly))
        Fail(QStringLiteral("cannot read grindle's output"));
    // The heading names the RBF file: everything after it must be the text converted at first.
    const QByteArray back = written.readAll();
    const QByteArray first = original.readAll();
    if (back.mid(back.indexOf('\n')) != first.mid(first.indexOf('\n')))
        Fail(QStringLiteral("grindle's round trip changed the text"));

    PrintAgainstGoal("grindle_rbf_to_text_mb_s", toText, "MB/s", "at least 400 MB/s of text",
                     toText >= kRbfToTextGoal);
    PrintAgainstGoal("grindle_text_to_rbf_mb_s", toRbf, "MB/s", "at least 300 MB/s of text",
                     toRbf >= kTextToRbfGoal);
    PrintFigure("grindle_peak_rss_1m_mb", peak / 1024 / 1024, "MB");
    const double ratio = peak / textBytes;
    PrintAgainstGoal("grindle_peak_per_text", ratio, "x", "at most 1.5 times the text's size",
                     ratio <= kPeakGoal);
    QDir(folder).removeRecursively();
}
