#pragma once
// The queue of handed-over paths: the environment variable "_Kestrelbench" of
// the own process, each path followed by "||", in the order of arrival.
//
// The value is kept as UTF-8 bytes (qputenv/qgetenv), so every path survives
// on every platform; the environment's own 8-bit code page would lose letters
// outside it on Windows.

#include <QString>
#include <QStringList>

inline constexpr char OpenFilesQueueVariable[] = "_Kestrelbench";

QString ReadOpenFilesQueue();
void WriteOpenFilesQueue(const QString &value);
void AppendToOpenFilesQueue(const QString &path);
// The entries of a queue value: its text split at every "||"; the separator
// at the very end adds no empty entry, an empty entry between two is kept.
QStringList SplitOpenFilesQueue(const QString &value);
