#include "document/file_fingerprint.h"

#include "converter/file_size.h"
#include "platform/regular_file.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

namespace {

// The file's content through qHashBits, a piece at a time, each piece seeded with the hash so
// far; empty when the file cannot be read. Comparable within one run of the program only (the
// hash function may differ between machines), which is all a fingerprint needs.
QByteArray HashOf(const QString &path) {
    QFile file;
    if (!OpenRegularFile(file, path))
        return QByteArray();
    size_t hash = 0x4b455354u;
    QByteArray piece;
    while (!file.atEnd()) {
        piece = file.read(1 << 20);
        if (file.error() != QFileDevice::NoError)
            return QByteArray();
        hash = qHashBits(piece.constData(), static_cast<size_t>(piece.size()), hash);
    }
    return QByteArray::number(static_cast<qulonglong>(hash), 16);
}

} // namespace

FileFingerprint TakeFingerprint(const QString &path, bool withHash) {
    FileFingerprint print;
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists() || info.isDir())
        return print;
    print.exists = true;
    print.size = info.size();
    print.modified = info.lastModified();
    if (withHash)
        print.hash = HashOf(path);
    return print;
}

ConversionOutput JudgeConversionOutput(const FileFingerprint &before, const QString &outputPath) {
    if (GetFileSizeOrZero(outputPath) <= 0)
        return ConversionOutput::Empty;
    FileFingerprint after = TakeFingerprint(outputPath, false);
    if (!before.exists || after.size != before.size || after.modified != before.modified)
        return ConversionOutput::Written;
    // Same size and time: only the content tells. A file that cannot be hashed now is judged
    // by its size and time alone.
    after.hash = HashOf(outputPath);
    if (after.hash.isEmpty())
        return ConversionOutput::Unchanged;
    return after == before ? ConversionOutput::Unchanged : ConversionOutput::Written;
}
