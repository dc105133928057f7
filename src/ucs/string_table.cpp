#include "ucs/string_table.h"

#include "platform/cp1252.h"

#include <bitset>
#include <utility>

namespace {

// The characters that have a byte in code page 1252, taken from the code page's own
// decoding, so that decoding here equals a round trip through EncodeCp1252 and
// DecodeCp1252 (the five undefined bytes included).
const std::bitset<0x10000> &Cp1252Characters() {
    static const std::bitset<0x10000> characters = [] {
        std::bitset<0x10000> set;
        QByteArray all(256, '\0');
        for (int b = 0; b < 256; ++b)
            all[b] = static_cast<char>(b);
        for (QChar c : DecodeCp1252(all))
            set.set(c.unicode());
        return set;
    }();
    return characters;
}

bool IsHighSurrogate(char16_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}

bool IsLowSurrogate(char16_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}

} // namespace

UcsDecoder::UcsDecoder() : m_inCodePage(Cp1252Characters()) {}

void UcsDecoder::feed(const char *data, qsizetype size) {
    // In bounded steps: the buffer of a step is all that is held besides the lines.
    constexpr qsizetype kStep = qsizetype(1) << 20;
    for (qsizetype at = 0; at < size && !m_ended; at += kStep)
        feedStep(data + at, qMin(kStep, size - at));
}

void UcsDecoder::feedStep(const char *data, qsizetype size) {
    const auto *bytes = reinterpret_cast<const unsigned char *>(data);
    qsizetype at = 0;
    while (m_markLeft > 0 && at < size) {
        --m_markLeft;
        ++at;
    }
    if (m_ended || at >= size)
        return;
    // The units of this piece, decoded into one buffer; lines are cut out of it as they end.
    // A unit gives at most one character, plus one for a high surrogate left by the last piece.
    QString buffer((size - at) / 2 + 3, Qt::Uninitialized);
    QChar *out = buffer.data();
    qsizetype length = 0;
    qsizetype lineStart = 0;
    const auto unit = [&](char16_t u) {
        if (m_pendingHigh != 0) {
            const bool pair = IsLowSurrogate(u);
            m_pendingHigh = 0;
            out[length++] = QLatin1Char('?'); // one character outside the code page, one substitute
            if (pair)
                return;
        }
        if (u == 0) {
            m_ended = true;
            return;
        }
        if (u == '\n' || u == '\r') {
            if (!(u == '\n' && m_afterCr))
                endLine(QStringView(out + lineStart, length - lineStart));
            else
                m_line.append(QStringView(out + lineStart, length - lineStart));
            m_afterCr = u == '\r';
            lineStart = length;
            return;
        }
        m_afterCr = false;
        if (IsHighSurrogate(u)) {
            m_pendingHigh = u;
            return;
        }
        out[length++] = QChar(u >= 0x80 && !m_inCodePage[u] ? char16_t('?') : u);
    };
    if (m_oddByte >= 0 && at < size) {
        unit(static_cast<char16_t>(m_oddByte | (bytes[at] << 8)));
        m_oddByte = -1;
        ++at;
    }
    for (; at + 1 < size && !m_ended; at += 2)
        unit(static_cast<char16_t>(bytes[at] | (bytes[at + 1] << 8)));
    if (at < size && !m_ended)
        m_oddByte = bytes[at];
    m_line.append(QStringView(out + lineStart, length - lineStart));
}

void UcsDecoder::endLine(QStringView rest) {
    if (m_line.isEmpty()) {
        m_lines.append(rest.toString());
    } else {
        m_line.append(rest);
        m_lines.append(std::exchange(m_line, QString()));
    }
}

void UcsDecoder::finish() {
    if (!m_ended && m_oddByte >= 0) {
        // An odd last byte is the low byte of a last code unit whose high byte is 0.
        const char pair[2] = {static_cast<char>(m_oddByte), '\0'};
        m_oddByte = -1;
        feedStep(pair, 2);
    }
    if (m_pendingHigh != 0) {
        m_pendingHigh = 0;
        m_line.append(QLatin1Char('?'));
    }
    m_ended = true;
    // A break at the very end adds no empty line.
    if (!m_line.isEmpty())
        m_lines.append(std::exchange(m_line, QString()));
}

QStringList UcsDecoder::takeLines() {
    return std::exchange(m_lines, QStringList());
}

QStringList DecodeUcsText(const QByteArray &fileBytes) {
    UcsDecoder decoder;
    decoder.feed(fileBytes.constData(), fileBytes.size());
    decoder.finish();
    return decoder.takeLines();
}

bool IsAllDigits(const QString &text) {
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

QString LookupNumber(const QStringList &lines, const QString &number, bool &found,
                     const std::function<void(int)> &afterLine) {
    found = false;
    // A key is the text before the first TAB, so it never holds one itself; a number
    // without a TAB matches exactly the lines that start with it followed by a TAB.
    const bool canMatch = !number.contains(QLatin1Char('\t'));
    const qsizetype keyLength = number.size();
    for (int n = 0; n < lines.size(); ++n) {
        const QString &line = lines.at(n);
        if (canMatch && line.size() > keyLength && line.at(keyLength) == QLatin1Char('\t') &&
            QStringView(line).left(keyLength) == number) {
            found = true;
            return line.mid(keyLength + 1);
        }
        if (afterLine)
            afterLine(n);
    }
    return QString();
}
