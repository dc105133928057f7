#include "converter/run_converter.h"

#include "converter/converter_log.h"
#include "converter/converter_waits.h"
#include "converter/wine_command.h"
#include "platform/file_names.h"
#include "ui/event_pump.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <csignal>
#endif

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

// False when the converter cannot be started at all (a Windows converter without wine). Notes in
// run what is run.
bool Configure(QProcess &process, ConverterRun &run, const QString &converterPath, const QString &inputPath) {
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
        run.throughWine = true;
    } else {
        process.setProgram(program);
        process.setArguments({QStringLiteral("-q"), QStringLiteral("-i"), inputPath});
    }
#endif
    if (hasFolder)
        process.setWorkingDirectory(QFileInfo(ExtractFilePath(program)).absoluteFilePath());
    process.setStandardInputFile(QProcess::nullDevice());
#ifdef Q_OS_UNIX
    // A converter left running when the program ends must not die of its next write into the
    // closed pipe: it still writes its output file. (An ignored signal stays ignored over exec.)
    process.setChildProcessModifier([] { ::signal(SIGPIPE, SIG_IGN); });
#endif
    run.program = process.program();
    run.arguments = process.arguments();
#ifdef Q_OS_WIN
    // The native command line says the same: " -q -i " and the path.
    run.arguments = QStringList{QStringLiteral("-q"), QStringLiteral("-i"), inputPath};
#endif
    run.workingFolder = QDir::cleanPath(process.workingDirectory().isEmpty() ? QDir::currentPath()
                                                                             : process.workingDirectory());
    return true;
}

// Takes what the converter printed since the last call.
void Drain(QProcess &process, ConverterRun &run) {
    run.standardOutput.append(process.readAllStandardOutput());
    run.standardError.append(process.readAllStandardError());
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
    // Still read (and dropped), so that it never blocks on a full pipe.
    QObject::connect(process, &QProcess::readyReadStandardOutput, process,
                     [process] { process->readAllStandardOutput(); });
    QObject::connect(process, &QProcess::readyReadStandardError, process,
                     [process] { process->readAllStandardError(); });
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    QObject::connect(process, &QProcess::errorOccurred, process, [process](QProcess::ProcessError) {
        if (process->state() == QProcess::NotRunning)
            process->deleteLater();
    });
    if (killAtQuit)
        QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, process,
                         [process] { process->kill(); });
}

void RunAndWait(ConverterRun &run, const QString &converterPath, const QString &inputPath);

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

QStringList ConverterRun::outputLines() const {
    QStringList lines = standardOutput.lines() + standardError.lines();
    return throughWine ? WithoutWineDiagnostics(lines) : lines;
}

QString ConverterRun::details() const {
    if (!started())
        return QString();
    QStringList parts;
    const QStringList lines = outputLines();
    const QStringList last = LastLines(lines, 20);
    if (last.isEmpty()) {
        parts << QStringLiteral("The converter printed nothing.");
    } else {
        parts << (last.size() < lines.size() ? QStringLiteral("The converter's last %1 of %2 lines:")
                                                   .arg(last.size())
                                                   .arg(lines.size())
                                             : QStringLiteral("The converter printed:"));
        // A line without end (a converter that prints no line breaks) would not fit any box.
        constexpr int MaxShown = 300;
        for (const QString &line : last)
            parts << (line.size() > MaxShown ? line.left(MaxShown) + QStringLiteral("...") : line);
    }
    const qint64 dropped = standardOutput.dropped + standardError.dropped;
    if (dropped > 0)
        parts << QStringLiteral("(%1 more bytes of output were not kept.)").arg(dropped);
    switch (end) {
    case End::Exited:
        parts << QStringLiteral("Exit code: %1").arg(exitCode);
        break;
    case End::Signalled:
        parts << QStringLiteral("Ended by signal %1").arg(signal);
        break;
    case End::NotStarted:
    case End::Stopped:
    case End::Abandoned:
        parts << endText();
        break;
    }
    return parts.join(QLatin1Char('\n'));
}

QString ConverterRun::commandLine() const {
    QStringList words;
    for (const QString &word : QStringList{program} + arguments) {
        const bool plain = !word.isEmpty() && !word.contains(QLatin1Char(' ')) &&
                           !word.contains(QLatin1Char('"')) && !word.contains(QLatin1Char('\t'));
        words << (plain ? word
                        : QLatin1Char('"') + QString(word).replace(QLatin1Char('"'), QStringLiteral("\\\"")) +
                              QLatin1Char('"'));
    }
    return words.join(QLatin1Char(' '));
}

bool PrepareConverterProcess(QProcess &process, ConverterRun &run, const QString &converterPath,
                             const QString &inputPath) {
    run.program = converterPath;
    run.arguments = QStringList{QStringLiteral("-q"), QStringLiteral("-i"), inputPath};
    run.refusal = WineRefusal(converterPath, QFileInfo(inputPath).absoluteFilePath());
    return run.refusal.isEmpty() && !converterPath.isEmpty() &&
           Configure(process, run, converterPath, inputPath);
}

void TakeConverterEnd(ConverterRun &run, const QProcess &process) {
    TakeEnd(run, process);
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
    run.program = converterPath;
    run.arguments = QStringList{QStringLiteral("-q"), QStringLiteral("-i"), inputPath};
    run.refusal = WineRefusal(converterPath, QFileInfo(inputPath).absoluteFilePath());
    if (run.refusal.isEmpty())
        RunAndWait(run, converterPath, inputPath);
    LogConverterRun(run);
    return run;
}

namespace {

void RunAndWait(ConverterRun &run, const QString &converterPath, const QString &inputPath) {
    QElapsedTimer clock;
    clock.start();
    if (!QCoreApplication::instance()) {
        // No application, no events to keep running (and no event loop): a plain wait that wakes
        // now and then to empty the pipes, so that they never hold more than a moment's output.
        QProcess process;
        if (!Configure(process, run, converterPath, inputPath))
            return;
        process.start(QIODevice::ReadOnly);
        if (!process.waitForStarted(-1))
            return;
        while (!process.waitForFinished(250) && process.state() != QProcess::NotRunning)
            Drain(process, run);
        Drain(process, run);
        TakeEnd(run, process);
        run.runMs = clock.elapsed();
        return;
    }
    // Not owned by a scope: if the wait is cut short, the object must outlive it.
    auto *process = new QProcess;
    if (!Configure(*process, run, converterPath, inputPath)) {
        delete process;
        return;
    }

    QEventLoop loop;
    QObject::connect(process, &QProcess::stateChanged, &loop, [&loop](QProcess::ProcessState state) {
        if (state == QProcess::NotRunning)
            loop.quit();
    });
    bool started = false;
    QObject::connect(process, &QProcess::started, &loop, [&started] { started = true; });
    QObject::connect(process, &QProcess::readyReadStandardOutput, &loop,
                     [process, &run] { run.standardOutput.append(process->readAllStandardOutput()); });
    QObject::connect(process, &QProcess::readyReadStandardError, &loop,
                     [process, &run] { run.standardError.append(process->readAllStandardError()); });

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

    process->start(QIODevice::ReadOnly);
    if (process->state() != QProcess::NotRunning) {
        const ConversionWaitGuard guard;
        patience.start(waits.patienceMs());
        EventPump::exec(loop);
    }
    run.runMs = clock.elapsed();
    if (started)
        Drain(*process, run);
    if (process->state() == QProcess::NotRunning) {
        if (started)
            TakeEnd(run, *process);
        if (started && stopped)
            run.end = ConverterRun::End::Stopped;
        delete process;
        return;
    }
    // A quit request (or a converter that even a kill did not end) ended the wait: leave the
    // converter and free the object once it ends, in case the application lives on until then.
    // One the user stopped is killed for good when the program ends.
    run.end = stopped ? ConverterRun::End::Stopped : ConverterRun::End::Abandoned;
    LetGo(process, loop, stopped);
}

} // namespace
