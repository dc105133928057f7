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

QString WineRefusal(const QString &converterPath, const QString &path) {
    if (!NeedsWine(converterPath))
        return QString();
    for (const QString &name : {path, converterPath}) {
        for (const QChar c : name) {
            if (c == QLatin1Char('\\') || c == QLatin1Char('"') || c == QLatin1Char('\n') ||
                c == QLatin1Char('\r'))
                return QStringLiteral("%1 cannot be passed to wine: a backslash, a double quote or a "
                                      "line break in a file name is not kept exactly. Rename the file.")
                    .arg(name);
        }
    }
    return QString();
}
