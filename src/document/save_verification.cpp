#include "document/save_verification.h"

#include "converter/file_size.h"
#include "platform/file_names.h"
#include "tree/line_grammar.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>

namespace {

// One line of text that says something: its 1-based number and its content, markers gone.
struct ContentLine {
    int number = 0;
    QByteArrayView content;
};

// Walks the lines of a text, skipping what is layout only.
class ContentReader {
public:
    explicit ContentReader(QByteArrayView text) : m_text(text) {}

    // False at the end of the text.
    bool next(ContentLine &line) {
        while (m_pos < m_text.size()) {
            qsizetype end = m_text.indexOf('\n', m_pos);
            if (end < 0)
                end = m_text.size();
            const QByteArrayView raw = m_text.sliced(m_pos, end - m_pos);
            m_pos = end + 1;
            ++m_number;
            const QByteArrayView content = WithoutMarkers(TrimBlanksUtf8(raw));
            if (content.isEmpty())
                continue;
            // The heading names the file; it is written from the name, not kept from the text.
            const bool first = !m_seenContent;
            m_seenContent = true;
            if (first && content.startsWith("RBF file:"))
                continue;
            line.number = m_number;
            line.content = content;
            return true;
        }
        return false;
    }
    int lineCount() const { return m_number; }

private:
    // The converter takes nesting from the braces: depth markers, their number and the blanks
    // around them are layout. A "|" counts as a marker when a blank or the end follows it.
    static QByteArrayView WithoutMarkers(QByteArrayView text) {
        while (!text.isEmpty() && text.front() == '|' &&
               (text.size() == 1 || static_cast<unsigned char>(text.at(1)) <= 32))
            text = TrimBlanksUtf8(text.sliced(1));
        return text;
    }

    QByteArrayView m_text;
    qsizetype m_pos = 0;
    int m_number = 0;
    bool m_seenContent = false;
};

enum class NumberKind { None, Integer, Float };

NumberKind KindOf(QByteArrayView value, double &number) {
    if (value.isEmpty() || value.front() == '"')
        return NumberKind::None;
    bool ok = false;
    number = value.toByteArray().toDouble(&ok);
    if (!ok)
        return NumberKind::None;
    for (const char c : value) {
        if (c == '.' || c == 'e' || c == 'E' || c == 'i' || c == 'I')
            return NumberKind::Float;
    }
    return NumberKind::Integer;
}

bool SameValue(QByteArrayView a, QByteArrayView b) {
    if (a == b)
        return true;
    const auto isBoolean = [](QByteArrayView v) {
        return v.compare("true", Qt::CaseInsensitive) == 0 || v.compare("false", Qt::CaseInsensitive) == 0;
    };
    if (isBoolean(a) && isBoolean(b))
        return a.compare(b, Qt::CaseInsensitive) == 0;
    double x = 0, y = 0;
    const NumberKind kind = KindOf(a, x);
    if (kind == NumberKind::None || KindOf(b, y) != kind)
        return false;
    return x == y && std::signbit(x) == std::signbit(y);
}

// Key and value of a content line: the key before the first ":", the value after it without the
// closing ";", both trimmed. A line without ":" ("{", "}") is compared whole.
bool SameContent(QByteArrayView a, QByteArrayView b) {
    const qsizetype colonA = a.indexOf(':');
    const qsizetype colonB = b.indexOf(':');
    if (colonA < 0 || colonB < 0)
        return colonA < 0 && colonB < 0 && a == b;
    if (TrimBlanksUtf8(a.first(colonA)) != TrimBlanksUtf8(b.first(colonB)))
        return false;
    const auto valueOf = [](QByteArrayView rest) {
        rest = TrimBlanksUtf8(rest);
        if (rest.endsWith(';'))
            rest = TrimBlanksUtf8(rest.chopped(1));
        return rest;
    };
    const QByteArrayView restA = TrimBlanksUtf8(a.sliced(colonA + 1));
    const QByteArrayView restB = TrimBlanksUtf8(b.sliced(colonB + 1));
    // A value line and a table line never match, whatever their text.
    if (restA.endsWith(';') != restB.endsWith(';'))
        return false;
    return SameValue(valueOf(restA), valueOf(restB));
}

QByteArray ReadAll(const QString &path, bool &ok) {
    QFile file(path);
    ok = file.open(QIODevice::ReadOnly);
    return ok ? file.readAll() : QByteArray();
}

} // namespace

int FirstDifferingLine(QByteArrayView saved, QByteArrayView reconverted) {
    ContentReader left(saved);
    ContentReader right(reconverted);
    ContentLine a, b;
    for (;;) {
        const bool hasA = left.next(a);
        const bool hasB = right.next(b);
        if (!hasA && !hasB)
            return 0;
        if (!hasA)
            return left.lineCount() + 1;
        if (!hasB || !SameContent(a.content, b.content))
            return a.number;
    }
}

SaveVerification VerifySavedFile(const QString &converterPath, const QString &rbfPath,
                                 const QString &savedTextPath) {
    SaveVerification result;
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/kestrelbench-verify-XXXXXX"));
    if (!dir.isValid()) {
        result.problem = QStringLiteral("no temporary folder: %1").arg(dir.errorString());
        return result;
    }
    const QString copy = dir.filePath(ExtractFileName(rbfPath));
    if (!QFile::copy(rbfPath, copy)) {
        result.problem = QStringLiteral("%1 could not be copied").arg(rbfPath);
        return result;
    }
    result.run = RunConverterProcess(converterPath, copy);
    if (!result.run.succeeded()) {
        result.problem = result.run.endText();
        return result;
    }
    const QString converted = ChangeFileExt(copy, QStringLiteral(".txt"));
    bool readSaved = false;
    bool readConverted = false;
    const QByteArray savedText = ReadAll(savedTextPath, readSaved);
    const QByteArray convertedText =
        GetFileSizeOrZero(converted) > 0 ? ReadAll(converted, readConverted) : QByteArray();
    if (!readSaved || !readConverted) {
        result.problem = QStringLiteral("the converter wrote no text");
        return result;
    }
    result.line = FirstDifferingLine(savedText, convertedText);
    result.outcome = result.line == 0 ? SaveVerification::Outcome::Same : SaveVerification::Outcome::Differs;
    return result;
}
