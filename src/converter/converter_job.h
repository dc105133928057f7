#pragma once
// One converter run that nobody waits for: it starts, and says when it has ended. Many of them can
// run side by side from the window's thread without a nested event loop (Find in Files converts a
// folder this way). The converter is started exactly as RunConverterProcess starts it; its output
// is read as it arrives and kept as there (the first 64 KiB of each stream). A run that passes its
// time limit is killed. Deleting the job kills a converter that still runs and waits for its end.
// Only runs that fail are written to the converter log: a search of a large folder would otherwise
// push the entries of opens and saves out of it.

#include "converter/run_converter.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QProcess;

class ConverterJob : public QObject {
    Q_OBJECT
public:
    ConverterJob(const QString &converterPath, const QString &inputPath, int timeLimitMs,
                 QObject *parent = nullptr);
    ~ConverterJob() override;

    // Starts the run; finished follows in any case (for a run that cannot start, from the event loop).
    void start();
    // True once the run was killed for passing its time limit.
    bool timedOut() const { return m_timedOut; }
    const ConverterRun &run() const { return m_run; }

Q_SIGNALS:
    void finished();

private:
    void end();

    QString m_converterPath;
    QString m_inputPath;
    QProcess *m_process = nullptr;
    ConverterRun m_run;
    QTimer m_limit;
    QElapsedTimer m_clock;
    bool m_timedOut = false;
    bool m_ended = false;
};
