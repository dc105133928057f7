#include "platform/user_runtime.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

QString CurrentUserName() {
#ifdef Q_OS_UNIX
    if (const passwd *entry = getpwuid(geteuid()); entry && entry->pw_name && *entry->pw_name)
        return QString::fromLocal8Bit(entry->pw_name);
    return QString::number(geteuid());
#else
    const QString name = qEnvironmentVariable("USERNAME");
    return name.isEmpty() ? QStringLiteral("user") : name;
#endif
}

bool IsPrivateFolder(const QString &path) {
#ifdef Q_OS_UNIX
    struct stat info {};
    if (path.isEmpty() || lstat(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    return S_ISDIR(info.st_mode) && info.st_uid == geteuid() && (info.st_mode & 07777) == S_IRWXU;
#else
    return !path.isEmpty() && QFileInfo(path).isDir();
#endif
}

QString PrivateRuntimeFolder() {
#ifdef Q_OS_UNIX
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime) && IsPrivateFolder(runtime))
        return runtime;
    // Not Qt's fallback, "runtime-<user>" in the temporary folder: another user can
    // create that name first. The cache folder lies in the user's home.
    QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (!QDir::isAbsolutePath(cache))
        cache = QDir::homePath() + QStringLiteral("/.cache");
    QDir().mkpath(cache);
    const QString folder = QDir(cache).filePath(QStringLiteral("kestrelbench"));
    mkdir(QFile::encodeName(folder).constData(), S_IRWXU);
    // Found or made: either way only a folder of ours that nobody else may enter will do.
    return IsPrivateFolder(folder) ? folder : QString();
#else
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty() && QDir().mkpath(runtime))
        return runtime;
    return QDir::tempPath();
#endif
}

QString LocalChannelAddress(const QString &folder, const QString &name) {
#ifdef Q_OS_WIN
    // Named pipes live in one machine-wide namespace; the name carries the user.
    Q_UNUSED(folder);
    return name;
#else
    return QDir(folder).filePath(name);
#endif
}
