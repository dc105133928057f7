#pragma once
// The folders the program keeps edits and backups in: readable by the owner only, and named
// files in them tied to one RBF file by its name and a short hash of its full path.

#include <QDateTime>
#include <QString>

// Creates path (and its parents) and gives it mode 0700. False with a reason when it cannot be
// made, for example when a file stands where the folder should be.
bool PrepareOwnFolder(const QString &path, QString *error);

// Eight hex digits of a hash of the full path: names of the same file's entries share it.
QString ShortPathHash(const QString &fullPath);

// A time as it stands in file names: 20260102-153000-123 (UTC, so names sort by time).
QString FileNameStamp(const QDateTime &time);
QDateTime StampTime(const QString &stamp);
