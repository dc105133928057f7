// libFuzzer target: any bytes as a UCS string table.
// - Decoding piecewise equals decoding whole: the file fed to the streaming
//   decoder in pieces of any sizes gives the lines of the whole; and a file cut after a line break
//   and decoded as two files (each with its mark) gives the same lines, in
//   order, as the whole file; a zero code unit in the first part ends both.
// - The two bytes of the mark are not looked at.
// - The lines equal a plain reading of the format: UTF-16 LE up to the first
//   zero unit, CR LF, CR and LF end lines, a break at the end adds no line,
//   each character outside code page 1252 (a surrogate pair counts as one)
//   becomes "?".
// - The lines written back as a table read back as themselves.
#include "fuzz_check.h"
#include "platform/cp1252.h"
#include "ucs/string_table.h"

#include <cstdint>

namespace {

const QByteArray kMark("\xFF\xFE", 2);

// The code units after the mark, up to the first zero unit; an odd last byte is a unit's low byte.
QString Units(const QByteArray &file) {
    QString units;
    for (qsizetype at = 2; at < file.size(); at += 2) {
        const auto low = static_cast<unsigned char>(file.at(at));
        const auto high = at + 1 < file.size() ? static_cast<unsigned char>(file.at(at + 1)) : 0u;
        const auto unit = static_cast<char16_t>(low | (high << 8));
        if (unit == 0)
            break;
        units.append(QChar(unit));
    }
    return units;
}

QStringList RuleLines(const QByteArray &file) {
    QString text = Units(file);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.last().isEmpty())
        lines.removeLast();
    for (QString &line : lines) {
        QString mapped;
        for (qsizetype i = 0; i < line.size(); ++i) {
            const QChar c = line.at(i);
            if (c.isHighSurrogate() && i + 1 < line.size() && line.at(i + 1).isLowSurrogate()) {
                mapped.append(QLatin1Char('?'));
                ++i;
            } else {
                mapped.append(FitsCp1252(QString(c)) ? c : QLatin1Char('?'));
            }
        }
        line = mapped;
    }
    return lines;
}

QByteArray Table(const QStringList &lines) {
    QByteArray bytes = kMark;
    for (const QString &line : lines) {
        for (QChar c : line + QLatin1String("\r\n")) {
            bytes.append(static_cast<char>(c.unicode() & 0xFF));
            bytes.append(static_cast<char>(c.unicode() >> 8));
        }
    }
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size < 1)
        return 0;
    // First byte: where to cut, as a share of the file; the rest is the file.
    const int cutShare = data[0];
    const QByteArray file(reinterpret_cast<const char *>(data + 1), static_cast<qsizetype>(size - 1));

    const QStringList whole = DecodeUcsText(file);
    FUZZ_CHECK(whole == RuleLines(file));
    for (const QString &line : whole) {
        FUZZ_CHECK(!line.contains(QLatin1Char('\r')) && !line.contains(QLatin1Char('\n')));
        FUZZ_CHECK(!line.contains(QChar(0)));
        FUZZ_CHECK(FitsCp1252(line));
    }
    // The streaming decoder, fed in pieces of 1 to 17 bytes chosen by the first byte.
    UcsDecoder decoder;
    QStringList streamed;
    for (qsizetype at = 0, i = 0; at < file.size() && !decoder.ended(); ++i) {
        const qsizetype piece = qMin<qsizetype>(1 + ((cutShare >> (i % 4)) + i) % 17, file.size() - at);
        decoder.feed(file.constData() + at, piece);
        streamed += decoder.takeLines();
        at += piece;
    }
    decoder.finish();
    streamed += decoder.takeLines();
    FUZZ_CHECK(streamed == whole);

    if (file.size() >= 2) {
        QByteArray marked = file;
        marked[0] = '\xFF';
        marked[1] = '\xFE';
        FUZZ_CHECK(DecodeUcsText(marked) == whole);
        FUZZ_CHECK(DecodeUcsText(Table(whole)) == whole);
    }

    // Cut after the first line break at or after the chosen unit (CR LF stays whole).
    const qsizetype units = file.size() > 2 ? (file.size() - 1) / 2 : 0;
    auto unitAt = [&file](qsizetype k) {
        const qsizetype at = 2 + 2 * k;
        const auto high = at + 1 < file.size() ? static_cast<unsigned char>(file.at(at + 1)) : 0u;
        return static_cast<char16_t>(static_cast<unsigned char>(file.at(at)) | (high << 8));
    };
    qsizetype cut = units * cutShare / 256;
    while (cut < units && unitAt(cut) != u'\n' && unitAt(cut) != u'\r')
        ++cut;
    if (cut >= units)
        return 0;
    if (unitAt(cut) == u'\r' && cut + 1 < units && unitAt(cut + 1) == u'\n')
        ++cut;
    ++cut;
    const QByteArray first = file.left(2 + 2 * cut);
    const QByteArray second = kMark + file.mid(2 + 2 * cut);
    bool zeroInFirst = false;
    for (qsizetype k = 0; k < cut; ++k)
        zeroInFirst = zeroInFirst || unitAt(k) == 0;
    QStringList pieces = DecodeUcsText(first);
    if (!zeroInFirst)
        pieces += DecodeUcsText(second);
    FUZZ_CHECK(pieces == whole);
    return 0;
}
