#pragma once
// Small helpers of the scenario: timing, medians, the process's peak memory and
// the one output format, "name: value unit".

#include <QElapsedTimer>
#include <QString>
#include <QVector>

// Prints one figure on standard output, at once.
void PrintFigure(const char *name, double value, const char *unit);
// A note for the reader on standard error (load, sizes), never a figure.
void PrintNote(const QString &text);

double Median(QVector<double> values);

// Peak resident memory of this process in MiB (VmHWM; ru_maxrss where /proc is missing).
double PeakResidentMb();
// Sets the peak back to the current resident size, where the kernel allows it; false otherwise.
bool ResetPeakResident();

// The processor time of this process, all its threads, in nanoseconds.
qint64 ProcessCpuNs();

// The load average over the last minute, -1 when unknown.
double LoadAverage();

class Stopwatch {
public:
    Stopwatch() { m_timer.start(); }
    double ms() const { return static_cast<double>(m_timer.nsecsElapsed()) / 1e6; }
    double us() const { return static_cast<double>(m_timer.nsecsElapsed()) / 1e3; }

private:
    QElapsedTimer m_timer;
};
