#include "tree/line_grammar.h"

namespace {
const QString kMarker = QStringLiteral("| ");
}

bool IsBlankChar(QChar c) {
    return c.unicode() <= 32;
}

QString TrimBlanks(const QString &text) {
    int begin = 0;
    int end = text.size();
    while (begin < end && IsBlankChar(text.at(begin)))
        ++begin;
    while (end > begin && IsBlankChar(text.at(end - 1)))
        --end;
    if (begin == 0 && end == text.size())
        return text;
    return text.mid(begin, end - begin);
}

namespace {

// The rules over a range of characters, for QString (QChar) and for UTF-8 bytes (char).
unsigned Code(QChar c) {
    return c.unicode();
}
unsigned Code(char c) {
    return static_cast<unsigned char>(c);
}

template <typename C> bool IsBlank(C c) {
    return Code(c) <= 32;
}

// The trimmed range [begin, end) of a line.
template <typename C> void Trim(const C *in, qsizetype size, qsizetype &begin, qsizetype &end) {
    begin = 0;
    end = size;
    while (begin < end && IsBlank(in[begin]))
        ++begin;
    while (end > begin && IsBlank(in[end - 1]))
        --end;
}

template <typename C> int DepthOf(const C *in, qsizetype size) {
    // Counted in place on the trimmed range, without copying the line.
    qsizetype begin, end;
    Trim(in, size, begin, end);
    int depth = 0;
    while (end - begin >= 2 && Code(in[begin]) == '|' && Code(in[begin + 1]) == ' ') {
        ++depth;
        begin += 2;
    }
    return depth;
}

// The part of the line that holds the key, markers included: [begin, cut).
template <typename C> void KeyRange(const C *in, qsizetype size, qsizetype &begin, qsizetype &cut) {
    // One pass instead of trim, remove, cut, cut (the tree calls this for every line).
    // Neither ':' nor '}' can be part of a marker, so cutting the marker-free text at the
    // first ':' and then at the first '}' is cutting the line at whichever comes first,
    // and removing the markers before that point gives the same as removing them all.
    qsizetype end;
    Trim(in, size, begin, end);
    cut = begin;
    while (cut < end && Code(in[cut]) != ':' && Code(in[cut]) != '}')
        ++cut;
}

// Copies [begin, cut) without its markers to out and returns the number of characters written.
template <typename C> qsizetype CopyKey(const C *in, qsizetype begin, qsizetype cut, C *out) {
    qsizetype length = 0;
    for (qsizetype i = begin; i < cut; ++i) {
        // "| " left to right without overlap; the pieces that come together are not looked at again.
        if (Code(in[i]) == '|' && i + 1 < cut && Code(in[i + 1]) == ' ') {
            ++i;
            continue;
        }
        out[length++] = in[i];
    }
    return length;
}

template <typename C> bool IsValueOf(const C *in, qsizetype size) {
    qsizetype end = size;
    while (end > 0 && IsBlank(in[end - 1]))
        --end;
    return end > 0 && Code(in[end - 1]) == ';';
}

} // namespace

int LineDepth(const QString &line) {
    return DepthOf(line.constData(), line.size());
}

QString LineKey(const QString &line) {
    qsizetype begin, cut;
    KeyRange(line.constData(), line.size(), begin, cut);
    QString key(cut - begin, Qt::Uninitialized);
    key.truncate(CopyKey(line.constData(), begin, cut, key.data()));
    return key;
}

bool IsValueLine(const QString &line) {
    return IsValueOf(line.constData(), line.size());
}

QByteArrayView TrimBlanksUtf8(QByteArrayView text) {
    qsizetype begin, end;
    Trim(text.data(), text.size(), begin, end);
    return text.sliced(begin, end - begin);
}

int LineDepthUtf8(QByteArrayView line) {
    return DepthOf(line.data(), line.size());
}

void LineKeyUtf8(QByteArrayView line, QByteArray &key) {
    qsizetype begin, cut;
    KeyRange(line.data(), line.size(), begin, cut);
    key.resize(cut - begin);
    key.truncate(CopyKey(line.data(), begin, cut, key.data()));
}

bool IsValueLineUtf8(QByteArrayView line) {
    return IsValueOf(line.data(), line.size());
}

KeyValue SplitKeyValue(const QString &line) {
    QString text = line;
    text.remove(kMarker);
    text.remove(QLatin1Char('{'));
    text.remove(QLatin1Char('}'));
    text = TrimBlanks(text);
    KeyValue result;
    const int colon = text.indexOf(QLatin1Char(':'));
    if (colon >= 0) {
        result.key = text.left(colon);
        result.value = TrimBlanks(text.mid(colon + 1));
    } else {
        result.value = text;
    }
    result.value.remove(QLatin1Char('"'));
    result.value.remove(QLatin1Char(';'));
    return result;
}

QString GetEditorLine(const QStringList &lines, int index) {
    if (index < 0 || index >= lines.size())
        return QString();
    return lines.at(index);
}
