#include "recovery/backup_store.h"

#include "platform/file_names.h"
#include "platform/state_folder.h"
#include "recovery/safe_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace {
// "unit." + hash + "." for unit.rbf; the stamp and ".rbf" follow.
QString NamePrefix(const QString &rbfPath) {
    const QString name = ExtractFileName(rbfPath);
    const QString base = name.left(name.size() - ExtractFileExt(name).size());
    return base + QLatin1Char('.') + ShortPathHash(rbfPath) + QLatin1Char('.');
}
} // namespace

BackupStore::BackupStore(const QString &root) : m_root(root) {}

QString BackupStore::DefaultRoot() {
    return StateFolder() + QStringLiteral("/backups");
}

bool BackupStore::backUp(const QString &rbfPath, int keep, const QDateTime &time, QString *error) const {
    if (keep <= 0 || !QFileInfo(rbfPath).isFile())
        return true;
    if (!PrepareOwnFolder(m_root, error))
        return false;
    const QString base = m_root + QLatin1Char('/') + NamePrefix(rbfPath) + FileNameStamp(time);
    const QString ext = ExtractFileExt(rbfPath);
    QString target = base + ext;
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = base + QLatin1Char('-') + QString::number(n) + ext;
    // Copied under a name no listing takes for a backup, then renamed: a disk that fills up
    // leaves no half backup.
    const QString part = target + QStringLiteral(".part");
    QFile::remove(part);
    QFile source(rbfPath);
    if (!source.copy(part)) {
        QFile::remove(part);
        if (error)
            *error = source.errorString();
        return false;
    }
    QFile::setPermissions(part, QFile::ReadOwner | QFile::WriteOwner);
    if (!QFile::rename(part, target)) {
        QFile::remove(part);
        if (error)
            *error = QStringLiteral("%1 cannot be written").arg(target);
        return false;
    }
    const QList<BackupEntry> all = entries(rbfPath);
    for (qsizetype i = keep; i < all.size(); ++i)
        QFile::remove(all.at(i).file);
    return true;
}

QList<BackupEntry> BackupStore::entries(const QString &rbfPath) const {
    const QString prefix = NamePrefix(rbfPath);
    const QString ext = ExtractFileExt(rbfPath);
    QList<BackupEntry> found;
    const QDir dir(m_root);
    for (const QFileInfo &info :
         dir.entryInfoList({prefix + QLatin1Char('*') + ext}, QDir::Files | QDir::Hidden)) {
        const QString name = info.fileName();
        // The stamp, and a "-N" that tells apart backups taken in the same millisecond.
        const QString stamp = name.mid(prefix.size(), name.size() - prefix.size() - ext.size());
        const QDateTime time = StampTime(stamp.left(19));
        if (!time.isValid())
            continue;
        found << BackupEntry{info.filePath(), time, info.size()};
    }
    std::stable_sort(found.begin(), found.end(), [](const BackupEntry &a, const BackupEntry &b) {
        if (a.time != b.time)
            return a.time > b.time;
        return a.file.size() != b.file.size() ? a.file.size() > b.file.size() : a.file > b.file;
    });
    return found;
}
