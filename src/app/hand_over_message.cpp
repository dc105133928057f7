#include "app/hand_over_message.h"

#include <QtEndian>

namespace {
constexpr qsizetype HeaderBytes = 5; // version and count
}

QByteArray EncodeHandOver(const HandOverMessage &message) {
    QByteArray bytes;
    bytes.append(HandOverVersion);
    char count[4];
    qToBigEndian(quint32(message.paths.size()), count);
    bytes.append(count, 4);
    for (const QString &path : message.paths) {
        bytes.append(path.toUtf8());
        bytes.append('\0');
    }
    bytes.append(message.activationEnv);
    bytes.append('\0');
    return bytes;
}

HandOverDecode DecodeHandOver(const QByteArray &bytes, HandOverMessage &message) {
    if (!bytes.isEmpty() && bytes.at(0) != HandOverVersion)
        return HandOverDecode::Invalid;
    if (bytes.size() > MaxHandOverBytes)
        return HandOverDecode::Invalid;
    if (bytes.size() < HeaderBytes)
        return HandOverDecode::Incomplete;
    const quint32 count = qFromBigEndian<quint32>(bytes.constData() + 1);
    // Each path takes at least its zero byte.
    if (count > quint32(MaxHandOverBytes))
        return HandOverDecode::Invalid;
    QStringList paths;
    QByteArray token;
    qsizetype start = HeaderBytes;
    // The paths, then the token: count + 1 fields, each ended by a zero byte.
    for (quint32 field = 0; field <= count; ++field) {
        const qsizetype end = bytes.indexOf('\0', start);
        if (end < 0)
            return bytes.size() >= MaxHandOverBytes ? HandOverDecode::Invalid : HandOverDecode::Incomplete;
        if (field < count)
            paths << QString::fromUtf8(bytes.constData() + start, end - start);
        else
            token = bytes.mid(start, end - start);
        start = end + 1;
    }
    // Bytes after the message are no part of this protocol.
    if (start != bytes.size())
        return HandOverDecode::Invalid;
    message.paths = paths;
    message.activationEnv = token;
    return HandOverDecode::Complete;
}
