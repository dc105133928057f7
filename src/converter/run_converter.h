#pragma once
// Runs the external converter on one file and waits until it has ended, while
// the window stays alive.
//
// The wait is a nested event loop: pending events run (the window repaints,
// its commands stay usable) and the CPU sleeps until something happens, unlike
// the original's wait, which polled the exit status without pause. The wait
// ends when
// - the converter ends, or
// - it could not be started, or
// - the user stopped waiting for it (ConverterWaits::stopLongWaits, offered once
//   a run has lasted the patience time): the converter is asked to end, killed
//   when it does not, and the wait ends once it is gone (or gives up on it when
//   even the kill does not end it), or
// - the application is asked to quit: QCoreApplication::exit() (which quit()
//   calls from the running application) ends every running event loop, the
//   nested ones included, and a loop started after that returns at once.
// In the last case the converter is left running: it is never killed, and it
// still writes its output. Its QProcess object is then kept alive on purpose
// (deleted once the converter ends, or never when the program ends first),
// because destroying a QProcess kills a child that is still running.
//
// The converter's standard input is the null device. Its standard output and
// error are read as they arrive, so a chatty converter never blocks on a full
// pipe; the first 64 KiB of each are kept, the rest counted and dropped. Every
// run is written to the converter log (converter_log.h).

#include "converter/converter_output.h"

#include <QString>
#include <QStringList>

class QProcess;

// How one converter run ended. A run succeeded only when the converter exited
// by itself with code 0; whether it wrote the right file is judged by the caller.
struct ConverterRun {
    enum class End {
        NotStarted, // missing, not executable, refused (see refusal), or a start error
        Exited,     // ended by itself with exitCode
        Signalled,  // ended by a signal (signal; on Windows an abnormal end)
        Stopped,    // the user stopped waiting: the converter was ended by the program
        Abandoned,  // the wait ended while the converter still runs (a quit request)
    };
    End end = End::NotStarted;
    int exitCode = 0;
    int signal = 0;
    qint64 runMs = 0; // from the start to the end of the wait
    // Why the run was refused before anything started (a path wine cannot take); empty otherwise.
    QString refusal;
    // What was run: the program (wine for a Windows converter), its arguments, its working folder.
    QString program;
    QStringList arguments;
    QString workingFolder;
    bool throughWine = false;
    CapturedStream standardOutput;
    CapturedStream standardError;

    bool started() const { return end != End::NotStarted; }
    bool succeeded() const { return end == End::Exited && exitCode == 0; }
    // One sentence on how a run that did not succeed ended ("The converter ended with exit code
    // 1."); empty for a success.
    QString endText() const;
    // The lines the converter printed, standard output first, then standard error; through wine
    // without wine's own diagnostics.
    QStringList outputLines() const;
    // What a message about a failed run shows below its text: the last lines of output (up to
    // 20), what was dropped, and the exit code or signal. Empty for a run that never started.
    QString details() const;
    // The run's command line, each argument quoted when it holds a blank or a quote.
    QString commandLine() const;
};

// Starts converterPath with the switches "-q" and "-i" and inputPath, in the
// converter's own folder, and waits. POSIX: the three arguments are passed as
// they are (the path is one argument, blanks and all). Windows: the command
// line is " -q -i " followed directly by the unquoted path. Through wine, a path
// that wine cannot express exactly is refused (NotStarted with a refusal).
ConverterRun RunConverterProcess(const QString &converterPath, const QString &inputPath);

// For runs that do not wait (converter_job.h): sets process up to run the converter over inputPath
// exactly as RunConverterProcess does, without starting it, and notes in run what is run. False
// when it cannot run (no wine for a Windows converter, or a path wine cannot take: run.refusal).
bool PrepareConverterProcess(QProcess &process, ConverterRun &run, const QString &converterPath,
                             const QString &inputPath);
// Notes in run how the ended process ended.
void TakeConverterEnd(ConverterRun &run, const QProcess &process);

// The described bridge: false when the converter cannot be started; true once it
// was started and has ended, whatever its exit, or the wait was cut short.
bool RunConverter(const QString &converterPath, const QString &inputPath);

// The number of conversion waits under way (0 or, when a command started from
// inside another's wait runs one too, more). Page commands are refused while it
// is not 0, so that no page is closed or reloaded under a running conversion.
int ConversionInProgress();
