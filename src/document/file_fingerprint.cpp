#include "document/file_fingerprint.h"

#include "converter/file_size.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

FileFingerprint TakeFingerprint(const QString &path) {
    FileFingerprint print;
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists() || info.isDir())
        return print;
    print.exists = true;
    print.size = info.size();
    print.modified = info.lastModified();
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        QCryptographicHash hash(QCryptographicHash::Sha256);
        if (hash.addData(&file))
            print.hash = hash.result();
    }
    return print;
}

ConversionOutput JudgeConversionOutput(const FileFingerprint &before, const QString &outputPath) {
    if (GetFileSizeOrZero(outputPath) <= 0)
        return ConversionOutput::Empty;
    const FileFingerprint after = TakeFingerprint(outputPath);
    // A file that cannot be hashed now is judged by its size and time alone.
    if (after.hash.isEmpty())
        return after.size != before.size || after.modified != before.modified || !before.exists
                   ? ConversionOutput::Written
                   : ConversionOutput::Unchanged;
    return after == before ? ConversionOutput::Unchanged : ConversionOutput::Written;
}
