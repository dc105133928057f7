#include "platform/user_runtime.h"

#include <QDir>
#include <QFile>
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

#ifdef Q_OS_UNIX
namespace {
// True when path is a real folder (no symbolic link) of this user that nobody else may enter.
bool IsPrivateFolder(const QString &path) {
    struct stat info {};
    if (lstat(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    return S_ISDIR(info.st_mode) && info.st_uid == geteuid() && (info.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}
} // namespace
#endif

QString PrivateRuntimeFolder() {
    // Qt creates the run-time folder with mode 0700 when it is missing and
    // refuses one that belongs to another user.
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
#ifdef Q_OS_UNIX
    if (!runtime.isEmpty() && IsPrivateFolder(runtime))
        return runtime;
    // A fixed name in /tmp could be taken by another user first: accept it only when it is ours and closed.
    const QString fallback = QDir::tempPath() + QStringLiteral("/Kestrelbench-") + QString::number(geteuid());
    mkdir(QFile::encodeName(fallback).constData(), S_IRWXU);
    return IsPrivateFolder(fallback) ? fallback : QString();
#else
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
