#pragma once
// The folder of recovery files ("recovery" in the state folder) and its "discarded" folder.
//
// A recovery file's name holds the RBF file's name, a short hash of its full path and the time
// it was first written: "unit.rbf.1a2b3c4d.20260102-153000-123.recovery". The name only narrows
// the search; a file counts for an RBF file when the full path written inside it is that file's,
// so a copied or shared folder never hands one file's text to another. Files that the user
// declined go to "discarded", where they stay for a week before they are removed.

#include "recovery/recovery_record.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

struct RecoveryEntry {
    QString file;          // full path of the recovery file
    RecoveryRecord record; // header only
};

class RecoveryFolder {
public:
    // root: the recovery folder; DefaultRoot() is the one in the state folder.
    explicit RecoveryFolder(const QString &root = DefaultRoot());
    static QString DefaultRoot();
    static constexpr int KeepDiscardedDays = 7;

    QString root() const { return m_root; }
    QString discardedRoot() const { return m_root + QStringLiteral("/discarded"); }

    // Creates the folder (mode 0700); false with a reason when it cannot be.
    bool prepare(QString *error) const;
    // A name for a new recovery file of rbfPath, written at time, not used by any file yet.
    QString newFilePath(const QString &rbfPath, const QDateTime &time) const;

    // The recovery files whose record names rbfPath (every file when rbfPath is empty), the
    // newest first. Files that cannot be read as recovery files are left alone and named in
    // unreadable, each with its reason.
    QList<RecoveryEntry> entries(const QString &rbfPath = QString(), QStringList *unreadable = nullptr) const;

    // Moves a recovery file into "discarded" (dated now, so that its week starts now).
    bool discard(const QString &file, QString *error) const;
    // Removes discarded files older than KeepDiscardedDays; returns how many went.
    int purgeDiscarded(const QDateTime &now) const;

    // Moves a text file left beside rbfPath into the folder as a recovery file of rbfPath, written
    // at the text file's modification time and based on the RBF file as it is now. The text file
    // is removed only once its recovery file is complete. The new file's path goes to file.
    bool adoptTextFile(const QString &textPath, const QString &rbfPath, QString *file, QString *error) const;

private:
    QString m_root;
};
