#include "scenario_figures.h"

#include <ctime>

#include <QFile>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

void PrintFigure(const char *name, double value, const char *unit) {
    // Whole numbers from 100 on; below that one or two decimals carry the information.
    const int decimals = value >= 100 ? 0 : (value >= 10 ? 1 : 2);
    std::printf("%s: %.*f %s\n", name, decimals, value, unit);
    std::fflush(stdout);
}

void PrintNote(const QString &text) {
    std::fprintf(stderr, "# %s\n", qPrintable(text));
    std::fflush(stderr);
}

double Median(QVector<double> values) {
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double PeakResidentMb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
        }
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

qint64 ProcessCpuNs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<qint64>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

bool ResetPeakResident() {
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

double LoadAverage() {
    QFile loadavg(QStringLiteral("/proc/loadavg"));
    if (!loadavg.open(QIODevice::ReadOnly))
        return -1;
    bool ok = false;
    const double load = loadavg.readAll().split(' ').value(0).toDouble(&ok);
    return ok ? load : -1;
}
