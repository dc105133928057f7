#pragma once
// The converter log: one entry per converter run (when, the command line as run,
// the working folder, how it ended, the run time, and the first and last lines of
// what it printed), appended to converter.log in the state folder. Before an entry
// would take the file to 1 MiB, the file becomes converter.log.1 (replacing the
// older one) and a new file starts, so the log never grows without bound.

#include <QByteArray>
#include <QDateTime>
#include <QString>

struct ConverterRun;

// StateFolder()/converter.log.
QString ConverterLogPath();

// The entry for one run, finished by a line break.
QByteArray ConverterLogEntry(const ConverterRun &run, const QDateTime &when);

// Appends entry to the file at path, rotating first as described above (maxBytes is the limit).
// Creates the folder when missing. False when the entry could not be written; the run goes on
// regardless: a log that cannot be written costs no conversion.
bool AppendToConverterLog(const QString &path, const QByteArray &entry, qint64 maxBytes = 1024 * 1024);

// Appends the run's entry to ConverterLogPath().
void LogConverterRun(const ConverterRun &run);
