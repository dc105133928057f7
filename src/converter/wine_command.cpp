#include "converter/wine_command.h"

#include <QFileInfo>
#include <QStandardPaths>

bool NeedsWine(const QString &converterPath) {
#ifdef Q_OS_WIN
    Q_UNUSED(converterPath);
    return false;
#else
    return converterPath.endsWith(QStringLiteral(".exe"), Qt::CaseInsensitive);
#endif
}

QString FindWine() {
    const QString forced = qEnvironmentVariable("KESTREL_WINE");
    if (!forced.isEmpty())
        return QFileInfo(forced).isExecutable() ? forced : QString();
    return QStandardPaths::findExecutable(QStringLiteral("wine"));
}

QString WindowsPathForWine(const QString &absolutePath) {
    QString path = absolutePath;
    path.replace(QLatin1Char('/'), QLatin1Char('\\'));
    return QStringLiteral("Z:") + path;
}

QStringList WineArguments(const QString &converterPath, const QString &inputPath) {
    return {QFileInfo(converterPath).absoluteFilePath(), QStringLiteral("-q"), QStringLiteral("-i"),
            WindowsPathForWine(QFileInfo(inputPath).absoluteFilePath())};
}
