#pragma once
// The queue of handed-over paths, in the order of arrival.
//
// The entries are held as a list: a file name may hold "||" (or a line break),
// and such a name must open as itself. The environment variable
// "_Kestrelbench" of the own process shows the queue in its outward form, each
// path followed by "||", written on every change and never read back to take
// the entries apart.
//
// The value is kept as UTF-8 bytes (qputenv/qgetenv), so every path survives
// on every platform; the environment's own 8-bit code page would lose letters
// outside it on Windows.

#include <QString>
#include <QStringList>

inline constexpr char OpenFilesQueueVariable[] = "_Kestrelbench";

class OpenFilesQueue {
public:
    void append(const QString &path);
    // All entries, in order of arrival; the queue is empty afterwards.
    QStringList take();
    bool isEmpty() const { return m_entries.isEmpty(); }

private:
    QStringList m_entries;
};

// The outward form: the variable's value, and writing it.
QString ReadOpenFilesQueue();
void WriteOpenFilesQueue(const QString &value);
void AppendToOpenFilesQueue(const QString &path);
// The entries of an outward value: its text split at every "||"; the separator
// at the very end adds no empty entry, an empty entry between two is kept.
// A name holding "||" does not survive this; entries are never carried this way.
QStringList SplitOpenFilesQueue(const QString &value);
