#pragma once

#include <QString>

// The file's size in bytes; 0 when it is missing, a folder, or cannot be opened for reading.
qint64 GetFileSizeOrZero(const QString &path);
