#include "converter/file_size.h"

#include <QFile>
#include <QFileInfo>

qint64 GetFileSizeOrZero(const QString &path) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists() || info.isDir())
        return 0;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    return file.size();
}
