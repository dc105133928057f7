#include "recovery/safe_folder.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

bool PrepareOwnFolder(const QString &path, QString *error) {
    const QFileInfo info(path);
    if (info.exists() && !info.isDir()) {
        if (error)
            *error = QStringLiteral("%1 is not a folder").arg(path);
        return false;
    }
    if (!QDir().mkpath(path)) {
        if (error)
            *error = QStringLiteral("%1 cannot be created").arg(path);
        return false;
    }
    const QFile::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    if (!QFile::setPermissions(path, ownerOnly)) {
        if (error)
            *error = QStringLiteral("%1 cannot be made private").arg(path);
        return false;
    }
    return true;
}

QString ShortPathHash(const QString &fullPath) {
    return QString::fromLatin1(
        QCryptographicHash::hash(fullPath.toUtf8(), QCryptographicHash::Sha1).toHex().left(8));
}

namespace {
const QString StampFormat = QStringLiteral("yyyyMMdd-HHmmss-zzz");
}

QString FileNameStamp(const QDateTime &time) {
    return time.toUTC().toString(StampFormat);
}

QDateTime StampTime(const QString &stamp) {
    QDateTime time = QDateTime::fromString(stamp, StampFormat);
    time.setTimeSpec(Qt::UTC);
    return time;
}
