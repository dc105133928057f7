// libFuzzer target: the bytes a second start sends to the running instance.
// Decoding any bytes never crashes; a message that decodes is complete only at
// its end (the receiver decodes each time more bytes arrive), and it comes
// back unchanged through encode and decode. The input also serves as a message
// to encode (a token and paths, "||" and foreign letters included): whatever a
// second start can send decodes to itself.
#include "app/hand_over_message.h"
#include "fuzz_check.h"

#include <cstdint>

namespace {

bool SameMessage(const HandOverMessage &a, const HandOverMessage &b) {
    return a.paths == b.paths && a.activationEnv == b.activationEnv;
}

void CheckDecode(const QByteArray &bytes) {
    HandOverMessage message;
    const HandOverDecode result = DecodeHandOver(bytes, message);
    if (result != HandOverDecode::Complete)
        return;
    FUZZ_CHECK(!message.activationEnv.contains('\0'));
    for (const QString &path : message.paths)
        FUZZ_CHECK(!path.contains(QChar(0)));
    // Nothing may follow a message, so every shorter part of it is still on its way.
    for (qsizetype length = 0; length < bytes.size(); length += 1 + length / 8) {
        HandOverMessage partial;
        FUZZ_CHECK(DecodeHandOver(bytes.left(length), partial) == HandOverDecode::Incomplete);
    }
    HandOverMessage longer;
    FUZZ_CHECK(DecodeHandOver(bytes + 'x', longer) != HandOverDecode::Complete);
    // Bytes that are no UTF-8 come back as U+FFFD, three bytes each: the message may outgrow the limit.
    const QByteArray encoded = EncodeHandOver(message);
    if (encoded.size() > MaxHandOverBytes)
        return;
    HandOverMessage again;
    FUZZ_CHECK(DecodeHandOver(encoded, again) == HandOverDecode::Complete);
    FUZZ_CHECK(SameMessage(again, message));
}

void CheckEncode(const QByteArray &bytes) {
    // The input split at 0x01 bytes: the first part is the token, the others are paths.
    if (bytes.isEmpty())
        return;
    HandOverMessage message;
    const QList<QByteArray> parts = bytes.split('\x01');
    for (qsizetype i = 0; i < parts.size(); ++i) {
        // No file name and no environment variable can hold a zero byte.
        QByteArray part = parts.at(i);
        part.replace('\0', "");
        if (i == 0)
            message.activationEnv = part;
        else
            message.paths << QString::fromUtf8(part);
    }
    const QByteArray encoded = EncodeHandOver(message);
    HandOverMessage decoded;
    const HandOverDecode result = DecodeHandOver(encoded, decoded);
    if (encoded.size() > MaxHandOverBytes) {
        FUZZ_CHECK(result == HandOverDecode::Invalid);
        return;
    }
    FUZZ_CHECK(result == HandOverDecode::Complete);
    FUZZ_CHECK(SameMessage(decoded, message));
    // Every part of a message on its way is incomplete, never invalid or another message.
    for (qsizetype length = 0; length < encoded.size(); length += 1 + length / 8) {
        HandOverMessage partial;
        FUZZ_CHECK(DecodeHandOver(encoded.left(length), partial) == HandOverDecode::Incomplete);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    CheckDecode(bytes);
    CheckEncode(bytes);
    return 0;
}
