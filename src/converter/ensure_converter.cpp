#include "converter/ensure_converter.h"

#include "converter/file_size.h"
#include "ui/dialogs.h"

bool EnsureConverter(QString &converterPath, const QString &exeDir, Dialogs &dialogs) {
    if (!converterPath.isEmpty() && GetFileSizeOrZero(converterPath) > 0)
        return true;
    FileDialogSpec spec;
    spec.title = QStringLiteral("Open Grindle.exe");
#ifdef Q_OS_WIN
    spec.filter = QStringLiteral("EXE file|*.exe");
#else
    spec.filter = QStringLiteral("EXE file|*.exe|Program|*");
#endif
    spec.directory = exeDir;
    QString chosen;
    if (dialogs.OpenFile(spec, chosen))
        converterPath = chosen;
    if (GetFileSizeOrZero(converterPath) > 0)
        return true;
    dialogs.ShowError(QStringLiteral("\"%1\" not found!").arg(QStringLiteral("grindle.exe")));
    return false;
}
