#include "platform/cp1252.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace {

// Bytes 0x80..0x9F; the undefined ones keep their own code.
constexpr std::array<char16_t, 32> kHigh = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                            0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

int ByteOf(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (size_t i = 0; i < kHigh.size(); ++i) {
        if (kHigh[i] == c)
            return static_cast<int>(0x80 + i);
    }
    return -1;
}

// The sequence that starts with the non-ASCII byte at in[i]: its length, with its code in c, or 0
// for a stray byte or a sequence cut short by the end.
int DecodeUtf8Sequence(const unsigned char *in, qsizetype i, qsizetype size, char32_t &c) {
    const unsigned char b = in[i];
    const int length = (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
    if (length == 0 || i + length > size)
        return 0;
    c = length == 2 ? (b & 0x1F) : length == 3 ? (b & 0x0F) : (b & 0x07);
    for (int k = 1; k < length; ++k) {
        if ((in[i + k] & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (in[i + k] & 0x3F);
    }
    return length;
}

} // namespace

QString DecodeCp1252(const char *data, qsizetype size) {
    QString text(size, Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < size; ++i) {
        const auto b = static_cast<unsigned char>(data[i]);
        out[i] = (b >= 0x80 && b < 0xA0) ? QChar(kHigh[b - 0x80]) : QChar(b);
    }
    return text;
}

QString DecodeCp1252(const QByteArray &bytes) {
    return DecodeCp1252(bytes.constData(), bytes.size());
}

QByteArray EncodeCp1252(const QString &text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    const QChar *in = text.constData();
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        // A surrogate pair is one character and gets one substitute.
        if (in[i].isHighSurrogate() && i + 1 < size && in[i + 1].isLowSurrogate()) {
            bytes.append('?');
            ++i;
            continue;
        }
        const int b = ByteOf(in[i].unicode());
        bytes.append(static_cast<char>(b < 0 ? '?' : b));
    }
    return bytes;
}

void AppendCp1252AsUtf8(const char *data, qsizetype size, QByteArray &out) {
    const qsizetype start = out.size();
    // At most three UTF-8 bytes per byte (the characters of 0x80..0x9F above U+07FF).
    out.resize(start + 3 * size);
    auto *o = reinterpret_cast<unsigned char *>(out.data()) + start;
    const auto *in = reinterpret_cast<const unsigned char *>(data);
    for (qsizetype i = 0; i < size; ++i) {
        // Converted text is mostly ASCII, which stays as it is: eight bytes at a time.
        std::uint64_t word;
        while (i + 8 <= size && (std::memcpy(&word, in + i, 8), (word & 0x8080808080808080u) == 0)) {
            std::memcpy(o, in + i, 8);
            o += 8;
            i += 8;
        }
        if (i >= size)
            break;
        const unsigned char b = in[i];
        if (b < 0x80) {
            *o++ = b;
            continue;
        }
        const char16_t c = (b < 0xA0) ? kHigh[b - 0x80] : char16_t(b);
        if (c < 0x800) {
            *o++ = static_cast<unsigned char>(0xC0 | (c >> 6));
        } else {
            *o++ = static_cast<unsigned char>(0xE0 | (c >> 12));
            *o++ = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
        }
        *o++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
    }
    out.resize(reinterpret_cast<char *>(o) - out.data());
}

void AppendUtf8AsCp1252(const char *data, qsizetype size, QByteArray &out) {
    const qsizetype start = out.size();
    out.resize(start + size); // never more bytes than UTF-8 bytes
    char *o = out.data() + start;
    const auto *in = reinterpret_cast<const unsigned char *>(data);
    qsizetype i = 0;
    while (i < size) {
        const unsigned char b = in[i];
        if (b < 0x80) {
            *o++ = static_cast<char>(b);
            ++i;
            continue;
        }
        char32_t c = 0;
        const int length = DecodeUtf8Sequence(in, i, size, c);
        const bool valid = length > 0;
        if (!valid) {
            *o++ = '?';
            ++i;
            continue;
        }
        const int byte = c <= 0xFFFF ? ByteOf(static_cast<char16_t>(c)) : -1;
        *o++ = static_cast<char>(byte < 0 ? '?' : byte);
        i += length;
    }
    out.resize(o - out.data());
}

bool FitsCp1252(const QString &text) {
    for (QChar c : text) {
        if (ByteOf(c.unicode()) < 0)
            return false;
    }
    return true;
}

namespace {

// Line breaks before offset, counted as the editor counts them: CR LF is one.
int LinesBefore(const unsigned char *in, qsizetype offset) {
    int lines = 0;
    for (qsizetype i = 0; i < offset; ++i) {
        if (in[i] == '\n' || (in[i] == '\r' && (i + 1 >= offset || in[i + 1] != '\n')))
            ++lines;
    }
    return lines;
}

} // namespace

UnencodableCharacter FindFirstUnencodableUtf8(const char *data, qsizetype size) {
    UnencodableCharacter result;
    const auto *in = reinterpret_cast<const unsigned char *>(data);
    qsizetype i = 0;
    while (i < size) {
        // Mostly ASCII, which always fits: eight bytes at a time.
        std::uint64_t word;
        while (i + 8 <= size && (std::memcpy(&word, in + i, 8), (word & 0x8080808080808080u) == 0))
            i += 8;
        if (i >= size)
            break;
        const unsigned char b = in[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        char32_t c = 0;
        const int length = DecodeUtf8Sequence(in, i, size, c);
        const bool valid = length > 0;
        if (valid && c <= 0xFFFF && ByteOf(static_cast<char16_t>(c)) >= 0) {
            i += length;
            continue;
        }
        result.offset = i;
        result.length = valid ? length : 1;
        result.character = valid ? c : char32_t(0xFFFD);
        result.line = LinesBefore(in, i);
        return result;
    }
    return result;
}
