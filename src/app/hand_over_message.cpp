#include "app/hand_over_message.h"

QByteArray EncodeHandOver(const HandOverMessage &message) {
    QByteArray bytes;
    bytes.append(HandOverVersion);
    bytes.append(message.hasPath ? '\1' : '\0');
    if (message.hasPath)
        bytes.append(message.path.toUtf8());
    bytes.append('\0');
    bytes.append(message.activationEnv);
    bytes.append('\0');
    return bytes;
}

HandOverDecode DecodeHandOver(const QByteArray &bytes, HandOverMessage &message) {
    if (!bytes.isEmpty() && bytes.at(0) != HandOverVersion)
        return HandOverDecode::Invalid;
    if (bytes.size() > 1 && bytes.at(1) != '\0' && bytes.at(1) != '\1')
        return HandOverDecode::Invalid;
    const qsizetype pathEnd = bytes.size() > 2 ? bytes.indexOf('\0', 2) : -1;
    const qsizetype tokenEnd = pathEnd >= 0 ? bytes.indexOf('\0', pathEnd + 1) : -1;
    if (tokenEnd < 0)
        return bytes.size() >= MaxHandOverBytes ? HandOverDecode::Invalid : HandOverDecode::Incomplete;
    if (tokenEnd + 1 > MaxHandOverBytes)
        return HandOverDecode::Invalid;
    const bool hasPath = bytes.at(1) == '\1';
    if (!hasPath && pathEnd > 2)
        return HandOverDecode::Invalid;
    message.hasPath = hasPath;
    message.path = QString::fromUtf8(bytes.constData() + 2, pathEnd - 2);
    message.activationEnv = bytes.mid(pathEnd + 1, tokenEnd - pathEnd - 1);
    return HandOverDecode::Complete;
}
