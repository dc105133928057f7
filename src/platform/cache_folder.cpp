#include "platform/cache_folder.h"

#include <QDir>
#include <QStandardPaths>

QString CacheFolder() {
#ifdef Q_OS_WIN
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation))
        .filePath(QStringLiteral("kestrelbench"));
#else
    QString base = qEnvironmentVariable("XDG_CACHE_HOME");
    if (!QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.cache");
    return QDir(base).filePath(QStringLiteral("kestrelbench"));
#endif
}
