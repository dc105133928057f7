// libFuzzer target: the bytes a second start sends to the running instance.
// Decoding any bytes never crashes; a message that decodes is complete only at
// its end (the receiver decodes each time more bytes arrive), and it comes
// back unchanged through encode and decode. The input also serves as a message
// to encode: whatever a second start can send decodes to itself.
#include "app/hand_over_message.h"
#include "fuzz_check.h"

#include <cstdint>

namespace {

bool SameMessage(const HandOverMessage &a, const HandOverMessage &b) {
    return a.hasPath == b.hasPath && a.path == b.path && a.activationEnv == b.activationEnv;
}

void CheckDecode(const QByteArray &bytes) {
    HandOverMessage message;
    const HandOverDecode result = DecodeHandOver(bytes, message);
    if (result != HandOverDecode::Complete)
        return;
    FUZZ_CHECK(message.hasPath || message.path.isEmpty());
    FUZZ_CHECK(!message.activationEnv.contains('\0'));
    // By the layout, the message ends at the second zero byte after its two header bytes.
    const qsizetype end = bytes.indexOf('\0', bytes.indexOf('\0', 2) + 1) + 1;
    FUZZ_CHECK(end > 2);
    for (qsizetype length = 0; length < bytes.size(); length += 1 + length / 8) {
        HandOverMessage partial;
        const HandOverDecode early = DecodeHandOver(bytes.left(length), partial);
        if (length < end) {
            FUZZ_CHECK(early == HandOverDecode::Incomplete);
        } else {
            FUZZ_CHECK(early == HandOverDecode::Complete && SameMessage(partial, message));
        }
    }
    // Bytes that are no UTF-8 come back as U+FFFD, three bytes each: the message may outgrow the limit.
    const QByteArray encoded = EncodeHandOver(message);
    if (encoded.size() > MaxHandOverBytes)
        return;
    HandOverMessage again;
    FUZZ_CHECK(DecodeHandOver(encoded, again) == HandOverDecode::Complete);
    FUZZ_CHECK(SameMessage(again, message));
}

void CheckEncode(const QByteArray &bytes) {
    // First byte: whether a path follows; then the path up to a 0x01 byte, then the token.
    if (bytes.isEmpty())
        return;
    HandOverMessage message;
    message.hasPath = (bytes.at(0) & 1) != 0;
    const QByteArray rest = bytes.mid(1);
    const qsizetype split = rest.indexOf('\x01');
    QByteArray path = split >= 0 ? rest.left(split) : rest;
    QByteArray token = split >= 0 ? rest.mid(split + 1) : QByteArray();
    // No file name and no environment variable can hold a zero byte.
    path.replace('\0', "");
    token.replace('\0', "");
    if (message.hasPath)
        message.path = QString::fromUtf8(path);
    message.activationEnv = token;
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
