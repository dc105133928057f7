#include "platform/state_folder.h"

#include <QDir>
#include <QStandardPaths>

QString ProgramFolderIn(const char *variable, const QString &belowHome,
                        QStandardPaths::StandardLocation windowsLocation) {
#ifdef Q_OS_WIN
    Q_UNUSED(variable);
    Q_UNUSED(belowHome);
    return QDir(QStandardPaths::writableLocation(windowsLocation)).filePath(QStringLiteral("kestrelbench"));
#else
    Q_UNUSED(windowsLocation);
    QString base = qEnvironmentVariable(variable);
    if (!QDir::isAbsolutePath(base))
        base = QDir::homePath() + QLatin1Char('/') + belowHome;
    return QDir(base).filePath(QStringLiteral("kestrelbench"));
#endif
}

QString StateFolder() {
    return ProgramFolderIn("XDG_STATE_HOME", QStringLiteral(".local/state"),
                           QStandardPaths::GenericDataLocation);
}
