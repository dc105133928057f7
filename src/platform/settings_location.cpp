#include "platform/settings_location.h"

#include "platform/regular_file.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString WithSlash(QString folder) {
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

// The user's folder of one kind with the program's own folder in it. Not
// AppConfigLocation: that one is named after the running executable, which a
// test program or a renamed copy would change.
QString UserFolder(QStandardPaths::StandardLocation kind) {
    return WithSlash(QStandardPaths::writableLocation(kind)) + QStringLiteral("kestrelbench/");
}

QString ConverterName() {
#ifdef Q_OS_WIN
    return QStringLiteral("Grindle.exe");
#else
    return QStringLiteral("grindle");
#endif
}
} // namespace

SettingsLocation ResolveSettingsLocation(const QString &exeDir) {
    const QString folder = WithSlash(exeDir);
    SettingsLocation location;
    const bool systemWide = QFileInfo::exists(folder + QLatin1String(SystemInstallMarker));
    location.besideProgram = !systemWide && QFileInfo(folder).isDir() && QFileInfo(folder).isWritable();
    if (location.besideProgram) {
        location.settingsFile = folder + QStringLiteral("Kestrelbench.ini");
        location.readmeDir = folder;
        return location;
    }
    location.settingsFile =
        UserFolder(QStandardPaths::GenericConfigLocation) + QStringLiteral("Kestrelbench.ini");
    location.readmeDir = UserFolder(QStandardPaths::GenericDataLocation);
    location.defaultConverter = folder + ConverterName();
    return location;
}

bool PrepareSettingsLocation(const SettingsLocation &location) {
    const QFileInfo file(location.settingsFile);
    if (!location.besideProgram) {
        QDir().mkpath(file.absolutePath());
        QDir().mkpath(location.readmeDir);
    }
    const QFileInfo folder(file.absolutePath());
    if (!folder.isDir() || !folder.isWritable())
        return false;
    if (!file.exists() && !file.isSymLink())
        return true;
    return IsRegularFile(location.settingsFile) && file.isWritable();
}
