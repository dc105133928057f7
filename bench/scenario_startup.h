#pragma once
// The window started as the program starts it, with a large file on its command line.

#include <QString>

class ScriptedDialogs;

// window_shown_<name>_ms: from the window's creation to its first exposure, painted (the window
// shows at once whatever the command line holds); start_open_<name>_ms: from the creation to the
// file's page open, its tree built and the window painted. Median of 3 starts; converter as given.
void MeasureStartup(const QString &dir, const QString &rbf, const QString &converter, const char *name,
                    ScriptedDialogs &dialogs);
