#include "converter/file_size.h"

#include <QFile>
#include <QFileInfo>

qint64 GetFileSizeOrZero(const QString &path) {
    if (path.isEmpty())
        return 0;
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        return 0;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const qint64 size = file.size();
    return size > 0 ? size : 0;
}
