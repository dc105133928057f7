#include "recovery/recovery_folder.h"

#include "platform/file_names.h"
#include "platform/state_folder.h"
#include "recovery/safe_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace {
const QString Suffix = QStringLiteral(".recovery");

QString NamePrefix(const QString &rbfPath) {
    return ExtractFileName(rbfPath) + QLatin1Char('.') + ShortPathHash(rbfPath) + QLatin1Char('.');
}
} // namespace

RecoveryFolder::RecoveryFolder(const QString &root) : m_root(root) {}

QString RecoveryFolder::DefaultRoot() {
    return StateFolder() + QStringLiteral("/recovery");
}

bool RecoveryFolder::prepare(QString *error) const {
    return PrepareOwnFolder(m_root, error);
}

QString RecoveryFolder::newFilePath(const QString &rbfPath, const QDateTime &time) const {
    const QString base = m_root + QLatin1Char('/') + NamePrefix(rbfPath) + FileNameStamp(time);
    QString path = base + Suffix;
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = base + QLatin1Char('-') + QString::number(n) + Suffix;
    return path;
}

QList<RecoveryEntry> RecoveryFolder::entries(const QString &rbfPath, QStringList *unreadable) const {
    const QString filter =
        (rbfPath.isEmpty() ? QStringLiteral("*") : NamePrefix(rbfPath) + QLatin1Char('*')) + Suffix;
    QList<RecoveryEntry> found;
    const QDir dir(m_root);
    for (const QString &name : dir.entryList({filter}, QDir::Files | QDir::Hidden)) {
        RecoveryEntry entry{dir.filePath(name), {}};
        QString error;
        if (!ReadRecoveryFile(entry.file, entry.record, false, &error)) {
            if (unreadable)
                *unreadable << QStringLiteral("%1: %2").arg(entry.file, error);
            continue;
        }
        if (rbfPath.isEmpty() || entry.record.rbfPath == rbfPath)
            found << entry;
    }
    std::stable_sort(found.begin(), found.end(), [](const RecoveryEntry &a, const RecoveryEntry &b) {
        return a.record.written > b.record.written;
    });
    return found;
}

bool RecoveryFolder::discard(const QString &file, QString *error) const {
    if (!PrepareOwnFolder(discardedRoot(), error))
        return false;
    QString target = discardedRoot() + QLatin1Char('/') + QFileInfo(file).fileName();
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = discardedRoot() + QLatin1Char('/') + QFileInfo(file).completeBaseName() + QLatin1Char('-') +
                 QString::number(n) + Suffix;
    if (!QFile::rename(file, target)) {
        if (error)
            *error = QStringLiteral("%1 cannot be moved to %2").arg(file, discardedRoot());
        return false;
    }
    QFile moved(target);
    if (moved.open(QIODevice::ReadWrite))
        moved.setFileTime(QDateTime::currentDateTimeUtc(), QFileDevice::FileModificationTime);
    return true;
}

int RecoveryFolder::purgeDiscarded(const QDateTime &now) const {
    int removed = 0;
    const QDir dir(discardedRoot());
    for (const QFileInfo &info :
         dir.entryInfoList({QStringLiteral("*") + Suffix}, QDir::Files | QDir::Hidden)) {
        if (info.lastModified().daysTo(now) >= KeepDiscardedDays && QFile::remove(info.filePath()))
            ++removed;
    }
    return removed;
}

bool RecoveryFolder::adoptTextFile(const QString &textPath, const QString &rbfPath, QString *file,
                                   QString *error) const {
    QFile text(textPath);
    if (!text.open(QIODevice::ReadOnly)) {
        if (error)
            *error = text.errorString();
        return false;
    }
    RecoveryRecord record;
    record.rbfPath = rbfPath;
    const QFileInfo rbf(rbfPath);
    if (rbf.exists()) {
        record.rbfSize = rbf.size();
        record.rbfModified = rbf.lastModified().toUTC();
    }
    record.written = QFileInfo(textPath).lastModified().toUTC();
    record.text = text.readAll();
    if (text.error() != QFileDevice::NoError) {
        if (error)
            *error = text.errorString();
        return false;
    }
    text.close();
    if (!prepare(error))
        return false;
    const QString path = newFilePath(rbfPath, record.written);
    if (!WriteRecoveryFile8(path, record, error))
        return false;
    if (!QFile::remove(textPath)) {
        // Two copies are better than none: the text file stays, the recovery file goes again.
        QFile::remove(path);
        if (error)
            *error = QStringLiteral("%1 cannot be removed").arg(textPath);
        return false;
    }
    if (file)
        *file = path;
    return true;
}
