#pragma once
// Makes sure the converter path names a usable file, asking the user for one.

#include <QString>

class Dialogs;

// False when no usable converter could be had: the application must then end.
bool EnsureConverter(QString &converterPath, const QString &exeDir, Dialogs &dialogs);
