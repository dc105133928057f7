#pragma once
// Copies of RBF files taken before a save rewrites them ("backups" in the state folder), so that
// a converter that wrote a wrong file can be undone. A backup's name holds the file's base name,
// a short hash of its full path and the time it was taken, and keeps the extension:
// "unit.1a2b3c4d.20260102-153000-123.rbf". The newest N of each file are kept.

#include <QDateTime>
#include <QList>
#include <QString>

struct BackupEntry {
    QString file;
    QDateTime time; // when it was taken (UTC)
    qint64 size = 0;
};

class BackupStore {
public:
    explicit BackupStore(const QString &root = DefaultRoot());
    static QString DefaultRoot();
    QString root() const { return m_root; }

    // Copies rbfPath into the folder, taken at time, and removes the oldest backups of that file
    // beyond keep. Nothing happens for keep 0 or when rbfPath does not exist (true). False with a
    // reason when the copy failed; a copy cut short is not left behind.
    bool backUp(const QString &rbfPath, int keep, const QDateTime &time, QString *error) const;
    // The backups of rbfPath, the newest first.
    QList<BackupEntry> entries(const QString &rbfPath) const;

private:
    QString m_root;
};
