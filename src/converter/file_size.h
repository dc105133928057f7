#pragma once
// The one test of a conversion's success: its output file exists and is not empty.

#include <QString>

// The file's size in bytes; 0 when it is missing, empty, not a regular file (a
// folder, a FIFO, a device), or cannot be opened for reading.
qint64 GetFileSizeOrZero(const QString &path);
