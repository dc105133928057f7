#include "converter/file_size.h"

#include "platform/regular_file.h"

#include <QFile>

qint64 GetFileSizeOrZero(const QString &path) {
    // Only a regular file is opened: opening a FIFO or a device could block for ever.
    QFile file;
    if (!OpenRegularFile(file, path))
        return 0;
    const qint64 size = file.size();
    return size > 0 ? size : 0;
}
