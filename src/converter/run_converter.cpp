#include "converter/run_converter.h"

#include "converter/converter_waits.h"
#include "converter/wine_command.h"
#include "platform/file_names.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

namespace {

int g_conversionWaits = 0;

// Counts one wait for ConversionInProgress for as long as it lasts.
class ConversionWaitGuard {
public:
    ConversionWaitGuard() { ++g_conversionWaits; }
    ~ConversionWaitGuard() { --g_conversionWaits; }
    ConversionWaitGuard(const ConversionWaitGuard &) = delete;
    ConversionWaitGuard &operator=(const ConversionWaitGuard &) = delete;
};

// False when the converter cannot be started at all (a Windows converter without wine).
bool Configure(QProcess &process, const QString &converterPath, const QString &inputPath) {
    // A relative program path would be looked up again from inside the new working folder.
    const bool hasFolder = !ExtractFilePath(converterPath).isEmpty();
    const QString program = hasFolder ? QFileInfo(converterPath).absoluteFilePath() : converterPath;
#ifdef Q_OS_WIN
    process.setProgram(program);
    // The converter's own command line, exactly: the path follows unquoted.
    process.setNativeArguments(QStringLiteral(" -q -i ") + inputPath);
#else
    if (NeedsWine(converterPath)) {
        const QString wine = FindWine();
        if (wine.isEmpty() || !QFileInfo(program).isFile())
            return false;
        process.setProgram(wine);
        process.setArguments(WineArguments(program, inputPath));
    } else {
        process.setProgram(program);
        process.setArguments({QStringLiteral("-q"), QStringLiteral("-i"), inputPath});
    }
#endif
    if (hasFolder)
        process.setWorkingDirectory(QFileInfo(ExtractFilePath(program)).absoluteFilePath());
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    return true;
}

// How a process that has ended, ended.
void TakeEnd(ConverterRun &run, const QProcess &process) {
    if (process.exitStatus() == QProcess::CrashExit) {
        run.end = ConverterRun::End::Signalled;
        // On Unix the exit code of a crashed process is the signal that ended it.
        run.signal = process.exitCode();
    } else {
        run.end = ConverterRun::End::Exited;
        run.exitCode = process.exitCode();
    }
}

// Frees a process that outlives its wait once it ends; ends it first when the program quits.
void LetGo(QProcess *process, QEventLoop &loop, bool killAtQuit) {
    QObject::disconnect(process, nullptr, &loop, nullptr);
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    QObject::connect(process, &QProcess::errorOccurred, process, [process](QProcess::ProcessError) {
        if (process->state() == QProcess::NotRunning)
            process->deleteLater();
    });
    if (killAtQuit)
        QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, process,
                         [process] { process->kill(); });
}

} // namespace

QString ConverterRun::endText() const {
    switch (end) {
    case End::NotStarted:
        return refusal.isEmpty() ? QStringLiteral("The converter could not be started.") : refusal;
    case End::Exited:
        return exitCode == 0 ? QString()
                             : QStringLiteral("The converter ended with exit code %1.").arg(exitCode);
    case End::Signalled:
        return QStringLiteral("The converter was ended by signal %1.").arg(signal);
    case End::Stopped:
        return QStringLiteral("The converter was stopped.");
    case End::Abandoned:
        return QStringLiteral("The converter is still running.");
    }
    return QString();
}

int ConversionInProgress() {
    return g_conversionWaits;
}

bool RunConverter(const QString &converterPath, const QString &inputPath) {
    return RunConverterProcess(converterPath, inputPath).started();
}

ConverterRun RunConverterProcess(const QString &converterPath, const QString &inputPath) {
    ConverterRun run;
    if (converterPath.isEmpty() || QCoreApplication::closingDown())
        return run;
    run.refusal = WineRefusal(converterPath, QFileInfo(inputPath).absoluteFilePath());
    if (!run.refusal.isEmpty())
        return run;
    QElapsedTimer clock;
    clock.start();
    if (!QCoreApplication::instance()) {
        // No application, no events to keep running (and no event loop): a plain wait.
        QProcess process;
        if (!Configure(process, converterPath, inputPath))
            return run;
        process.start(QIODevice::NotOpen);
        if (!process.waitForStarted(-1))
            return run;
        process.waitForFinished(-1);
        TakeEnd(run, process);
        run.runMs = clock.elapsed();
        return run;
    }
    // Not owned by a scope: if the wait is cut short, the object must outlive it.
    auto *process = new QProcess;
    if (!Configure(*process, converterPath, inputPath)) {
        delete process;
        return run;
    }

    QEventLoop loop;
    QObject::connect(process, &QProcess::stateChanged, &loop, [&loop](QProcess::ProcessState state) {
        if (state == QProcess::NotRunning)
            loop.quit();
    });
    bool started = false;
    QObject::connect(process, &QProcess::started, &loop, [&started] { started = true; });

    // Once the run has lasted the patience time, the user may stop waiting for it.
    ConverterWaits &waits = ConverterWaits::instance();
    LongWaitCount longWait;
    bool stopped = false;
    QTimer patience;
    patience.setSingleShot(true);
    QObject::connect(&patience, &QTimer::timeout, &loop, [&longWait] { longWait.add(); });
    QTimer kill;
    kill.setSingleShot(true);
    bool killed = false;
    QObject::connect(&kill, &QTimer::timeout, &loop, [process, &kill, &loop, &killed] {
        if (process->state() == QProcess::NotRunning)
            return;
        if (!killed) {
            killed = true;
            process->kill();
            kill.start(ConverterWaits::TerminateGraceMs);
        } else {
            loop.quit(); // not even the kill ended it: give up on it
        }
    });
    QObject::connect(&waits, &ConverterWaits::stopRequested, &loop, [&] {
        if (!longWait.counted() || stopped)
            return;
        stopped = true;
        process->terminate();
        kill.start(ConverterWaits::TerminateGraceMs);
    });

    process->start(QIODevice::NotOpen);
    if (process->state() != QProcess::NotRunning) {
        const ConversionWaitGuard guard;
        patience.start(waits.patienceMs());
        loop.exec();
    }
    run.runMs = clock.elapsed();
    if (process->state() == QProcess::NotRunning) {
        if (started)
            TakeEnd(run, *process);
        if (started && stopped)
            run.end = ConverterRun::End::Stopped;
        delete process;
        return run;
    }
    // A quit request (or a converter that even a kill did not end) ended the wait: leave the
    // converter and free the object once it ends, in case the application lives on until then.
    // One the user stopped is killed for good when the program ends.
    run.end = stopped ? ConverterRun::End::Stopped : ConverterRun::End::Abandoned;
    LetGo(process, loop, stopped);
    return run;
}
