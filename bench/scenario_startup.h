#pragma once
// The window started as the program starts it, with a large file on its command line.

#include <QString>
#include <QStringList>

class ScriptedDialogs;

// window_shown_<name>_ms: from the window's creation to its first exposure, painted (the window
// shows at once whatever the command line holds); start_open_<name>_ms: from the creation to the
// file's page open, its tree built and the window painted. Median of 3 starts; converter as given.
void MeasureStartup(const QString &dir, const QString &rbf, const QString &converter, const char *name,
                    ScriptedDialogs &dialogs);

// The peak resident memory (VmHWM) of a process of its own that starts the window with rbf on its
// command line and waits for the page: the memory a user's start costs, without what earlier
// steps of the scenario left in this process's heap. In MB.
double FreshOpenPeakMb(const QString &dir, const QString &rbf, const QString &converter);

// The other side: in the process that FreshOpenPeakMb starts (its arguments say so), opens the
// file, prints the peak and returns true; false in any other process.
bool RunFreshOpen(const QStringList &arguments);
