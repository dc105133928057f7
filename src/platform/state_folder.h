#pragma once
// Where the program keeps what it writes for itself (the converter log, and later recovery
// files): "kestrelbench" in $XDG_STATE_HOME, or in ~/.local/state when that variable is unset or
// not an absolute path (as the XDG base directory rules say). On Windows, the application's local
// data folder. The folder is not created here.

#include <QStandardPaths>
#include <QString>

QString StateFolder();

// "kestrelbench" in the folder named by the XDG variable, or in ~/BELOWHOME when the variable is
// unset or not absolute; on Windows in the given standard location. Shared by the state and
// cache folders.
QString ProgramFolderIn(const char *variable, const QString &belowHome,
                        QStandardPaths::StandardLocation windowsLocation);
