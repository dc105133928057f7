#pragma once
// Runs the external converter on one file and waits until it has ended, while
// the window stays alive.
//
// The wait is a nested event loop: pending events run (the window repaints,
// its commands stay usable) and the CPU sleeps until something happens, unlike
// the original's wait, which polled the exit status without pause. The wait
// ends when
// - the converter ends (its exit code is not looked at), or
// - it could not be started, or
// - the application is asked to quit: QCoreApplication::exit() (which quit()
//   calls from the running application) ends every running event loop, the
//   nested ones included, and a loop started after that returns at once.
// In the last case the converter is left running: it is never killed, and it
// still writes its output. Its QProcess object is then kept alive on purpose
// (deleted once the converter ends, or never when the program ends first),
// because destroying a QProcess kills a child that is still running.
//
// The converter's standard input, output and error go to the null device, so
// a chatty converter cannot fill a pipe and hang.

#include <QString>

// Starts converterPath with the switches "-q" and "-i" and inputPath, in the
// converter's own folder, and waits. POSIX: the three arguments are passed as
// they are (the path is one argument, blanks and all). Windows: the command
// line is " -q -i " followed directly by the unquoted path.
// Returns false when the converter cannot be started (missing, not executable,
// a start error); true once it was started and has ended, or the wait was cut
// short by a quit request.
bool RunConverter(const QString &converterPath, const QString &inputPath);

// The number of conversion waits under way (0 or, when a command started from
// inside another's wait runs one too, more). Page commands are refused while it
// is not 0, so that no page is closed or reloaded under a running conversion.
int ConversionInProgress();
