#pragma once
// Opening a file for reading only when it is a regular file. A FIFO or a device
// opened for reading blocks until a writer comes (or never returns data), so a
// path the program sizes or reads that names one counts as missing.

#include <QString>

class QFile;

// True when path names a regular file, following symbolic links.
bool IsRegularFile(const QString &path);

// Opens file read-only on path when path names a regular file; false (and file
// stays closed) for anything else: missing, a folder, a FIFO, a device, a socket,
// or a file that cannot be opened. Never blocks on what it refuses.
bool OpenRegularFile(QFile &file, const QString &path);
