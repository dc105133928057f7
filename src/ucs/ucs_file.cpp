#include "ucs/ucs_file.h"

#include "platform/regular_file.h"
#include "ucs/string_table.h"

#include <QFile>

UcsRead ReadUcsFile(const QString &path, QStringList &lines, const std::function<void()> &between,
                    qint64 pieceBytes) {
    QFile file;
    // Only a regular file is opened: a FIFO or a device would block the start.
    if (!OpenRegularFile(file, path) || file.size() <= 0)
        return UcsRead::Missing;
    if (file.size() > MaxUcsFileBytes)
        return UcsRead::TooLarge;
    UcsDecoder decoder;
    QStringList read;
    QByteArray piece(qMax<qint64>(2, pieceBytes), Qt::Uninitialized);
    qint64 total = 0;
    while (!decoder.ended()) {
        const qint64 got = file.read(piece.data(), piece.size());
        if (got < 0)
            return UcsRead::Failed;
        if (got == 0)
            break;
        total += got;
        // A file that grows while it is read is cut at the limit rather than read on and on.
        if (total > MaxUcsFileBytes)
            return UcsRead::TooLarge;
        decoder.feed(piece.constData(), got);
        read.append(decoder.takeLines());
        if (between)
            between();
    }
    decoder.finish();
    read.append(decoder.takeLines());
    lines.append(read);
    return UcsRead::Done;
}

QString UcsTooLargeMessage(const QString &path) {
    return QStringLiteral("%1 is larger than %2 and is not loaded as a string table")
        .arg(path, QLatin1String(MaxUcsFileText));
}
