#pragma once
// Makes sure the converter path names a usable converter, asking the user for
// one when it does not.

#include "ui/dialogs.h"

#include <QString>

// True when converterPath names a non-empty file, now or after the user chose
// one in the open dialog (which starts in exeDir). Otherwise shows the error
// "\"grindle.exe\" not found!" and returns false: the application must then end
// (the caller posts the quit request). A cancelled dialog keeps the old path.
bool EnsureConverter(QString &converterPath, const QString &exeDir, Dialogs &dialogs);

// The open dialog for the converter: "EXE file|*.exe", and on platforms where
// programs carry no extension a second entry that shows every file.
FileDialogSpec ConverterDialogSpec(const QString &exeDir);
