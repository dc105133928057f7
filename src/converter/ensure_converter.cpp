#include "converter/ensure_converter.h"

#include "converter/file_size.h"
#include "ui/dialogs.h"

FileDialogSpec ConverterDialogSpec(const QString &exeDir) {
    FileDialogSpec request;
    request.title = QStringLiteral("Open Grindle.exe");
#ifdef Q_OS_WIN
    request.filter = QStringLiteral("EXE file|*.exe");
#else
    // Programs here have no ".exe"; the stand-in converter is plain "grindle".
    request.filter = QStringLiteral("EXE file|*.exe|Program|*");
#endif
    request.directory = exeDir;
    return request;
}

bool EnsureConverter(QString &converterPath, const QString &exeDir, Dialogs &dialogs) {
    if (GetFileSizeOrZero(converterPath) > 0)
        return true;
    QString chosen;
    if (dialogs.OpenFile(ConverterDialogSpec(exeDir), chosen))
        converterPath = chosen;
    if (GetFileSizeOrZero(converterPath) > 0)
        return true;
    dialogs.ShowError(QStringLiteral("\"grindle.exe\" not found!"));
    return false;
}
