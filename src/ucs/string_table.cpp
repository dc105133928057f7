#include "ucs/string_table.h"

#include "platform/cp1252.h"

#include <bitset>

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

QStringList DecodeUcsText(const QByteArray &fileBytes) {
    const auto *bytes = reinterpret_cast<const unsigned char *>(fileBytes.constData());
    const qsizetype size = fileBytes.size();
    const qsizetype unitCount = size > 2 ? (size - 2 + 1) / 2 : 0;
    auto unitAt = [bytes, size](qsizetype k) -> char16_t {
        const qsizetype at = 2 + 2 * k;
        const unsigned high = at + 1 < size ? bytes[at + 1] : 0u; // an odd last byte stands alone
        return static_cast<char16_t>(bytes[at] | (high << 8));
    };

    // One pass: convert into a single buffer and cut the lines out of it as they end.
    const std::bitset<0x10000> &inCodePage = Cp1252Characters();
    QString text(unitCount, Qt::Uninitialized);
    QChar *out = text.data();
    qsizetype length = 0;
    QStringList lines;
    lines.reserve(unitCount / 32);
    qsizetype lineStart = 0;
    bool afterCr = false; // the previous unit was a CR, so an LF now only completes that break
    for (qsizetype k = 0; k < unitCount; ++k) {
        const char16_t u = unitAt(k);
        if (u == 0)
            break;
        if (u == '\n' || u == '\r') {
            if (!(u == '\n' && afterCr))
                lines.append(QString(out + lineStart, length - lineStart));
            afterCr = u == '\r';
            lineStart = length;
            continue;
        }
        afterCr = false;
        char16_t c = u;
        if (IsHighSurrogate(u) && k + 1 < unitCount && IsLowSurrogate(unitAt(k + 1))) {
            c = '?'; // one character outside the code page, one substitute
            ++k;
        } else if (u >= 0x80 && !inCodePage[u]) {
            c = '?';
        }
        out[length++] = QChar(c);
    }
    if (length > lineStart)
        lines.append(QString(out + lineStart, length - lineStart));
    return lines;
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
