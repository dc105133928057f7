#include "ucs/string_table.h"

namespace {

// Whether a UTF-16 code unit below the surrogates has a byte in code page 1252.
// The five bytes the code page leaves undefined stand for U+0081, U+008D,
// U+008F, U+0090 and U+009D (platform/cp1252.h), so those survive too.
bool InCp1252(char16_t u) {
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return true;
    switch (u) {
    case 0x0081:
    case 0x008D:
    case 0x008F:
    case 0x0090:
    case 0x009D:
    case 0x20AC:
    case 0x201A:
    case 0x0192:
    case 0x201E:
    case 0x2026:
    case 0x2020:
    case 0x2021:
    case 0x02C6:
    case 0x2030:
    case 0x0160:
    case 0x2039:
    case 0x0152:
    case 0x017D:
    case 0x2018:
    case 0x2019:
    case 0x201C:
    case 0x201D:
    case 0x2022:
    case 0x2013:
    case 0x2014:
    case 0x02DC:
    case 0x2122:
    case 0x0161:
    case 0x203A:
    case 0x0153:
    case 0x017E:
    case 0x0178:
        return true;
    default:
        return false;
    }
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
        } else if (!InCp1252(u)) {
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
