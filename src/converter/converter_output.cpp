#include "converter/converter_output.h"

#include "platform/cp1252.h"

#include <QRegularExpression>
#include <QStringDecoder>

void CapturedStream::append(const QByteArray &bytes) {
    constexpr qsizetype Half = Limit / 2;
    if (dropped == 0 && data.size() + bytes.size() <= Limit) {
        data.append(bytes);
        return;
    }
    if (dropped == 0) {
        // The first time the limit is passed: the first half stays, the rest becomes the end.
        data.append(bytes);
        tail = data.mid(Half);
        data.truncate(Half);
    } else {
        tail.append(bytes);
    }
    if (tail.size() > Half) {
        dropped += tail.size() - Half;
        tail.remove(0, tail.size() - Half);
    }
}

QStringList CapturedStream::lines() const {
    if (dropped == 0)
        return OutputLines(data);
    // Pieces of lines at the cuts are left out: the start ends with its last whole line, the end
    // begins with its first whole line.
    const qsizetype startEnd = data.lastIndexOf('\n');
    const qsizetype endStart = tail.indexOf('\n');
    QStringList result = OutputLines(data.left(startEnd + 1));
    result
        << QStringLiteral("[%1 bytes left out]").arg(dropped + (data.size() - startEnd - 1) + (endStart + 1));
    result << OutputLines(tail.mid(endStart + 1));
    return result;
}

QStringList OutputLines(const QByteArray &bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = DecodeCp1252(bytes);
    QStringList lines = text.split(QLatin1Char('\n'));
    // The break after the last line ends it; it starts no empty line.
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QString &line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        for (QChar &c : line) {
            if (c.unicode() < 32 && c != QLatin1Char('\t'))
                c = QChar::ReplacementCharacter;
        }
    }
    return lines;
}

bool IsWineDiagnostic(const QString &line) {
    static const QRegularExpression pattern(
        QStringLiteral("^[0-9a-fA-F]+:(?:[0-9a-fA-F]+:)?(?:fixme|err|warn|trace):[A-Za-z0-9_]*:"));
    return pattern.match(line).hasMatch();
}

QStringList WithoutWineDiagnostics(const QStringList &lines) {
    QStringList kept;
    for (const QString &line : lines) {
        if (!IsWineDiagnostic(line))
            kept << line;
    }
    return kept;
}

QStringList LastLines(const QStringList &lines, int count) {
    return lines.mid(qMax(0, static_cast<int>(lines.size()) - qMax(0, count)));
}

namespace {

// N, or 0 for a number that is no line (0, or too large to be one).
int LineNumber(const QString &digits) {
    bool ok = false;
    const int n = digits.toInt(&ok);
    return ok && n > 0 ? n : 0;
}

NamedLine FromMatch(const QRegularExpressionMatch &match) {
    return NamedLine{LineNumber(match.captured(1)),
                     match.captured(2).isEmpty() ? 0 : LineNumber(match.captured(2))};
}

} // namespace

NamedLine FindNamedLine(const QStringList &lines, const QString &fileName) {
    const QString file = QRegularExpression::escape(fileName);
    // The file's name stands at the start, after a blank, a quote or a folder separator.
    const QString before = QStringLiteral("(?:^|[\\s\"'/\\\\])");
    const QRegularExpression colonForm(before + file + QStringLiteral(":(\\d+):(?:(\\d+):)?"),
                                       QRegularExpression::CaseInsensitiveOption);
    const QRegularExpression parenForm(before + file + QStringLiteral("\\((\\d+)(?:,\\s*(\\d+))?\\)"),
                                       QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression lineForm(QStringLiteral("\\bline\\s+(\\d+)(?:,\\s*column\\s+(\\d+))?\\b"),
                                             QRegularExpression::CaseInsensitiveOption);
    // From the end: a converter that gives up says why last (warnings before it may name lines too).
    for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
        for (const QRegularExpression *form : {&colonForm, &parenForm, &lineForm}) {
            if (fileName.isEmpty() && form != &lineForm)
                continue;
            const NamedLine named = FromMatch(form->match(*line));
            if (named.line > 0)
                return named;
        }
    }
    return NamedLine{};
}
