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

int LineDepth(const QString &line) {
    // Counted in place on the trimmed range, without copying the line.
    int begin = 0;
    int end = line.size();
    while (begin < end && IsBlankChar(line.at(begin)))
        ++begin;
    while (end > begin && IsBlankChar(line.at(end - 1)))
        --end;
    int depth = 0;
    while (end - begin >= 2 && line.at(begin) == QLatin1Char('|') && line.at(begin + 1) == QLatin1Char(' ')) {
        ++depth;
        begin += 2;
    }
    return depth;
}

QString LineKey(const QString &line) {
    // One pass instead of trim, remove, cut, cut (the tree calls this for every line).
    // Neither ':' nor '}' can be part of a marker, so cutting the marker-free text at the
    // first ':' and then at the first '}' is cutting the line at whichever comes first,
    // and removing the markers before that point gives the same as removing them all.
    qsizetype begin = 0;
    qsizetype end = line.size();
    while (begin < end && IsBlankChar(line.at(begin)))
        ++begin;
    while (end > begin && IsBlankChar(line.at(end - 1)))
        --end;
    const QChar *in = line.constData();
    qsizetype cut = begin;
    while (cut < end && in[cut] != QLatin1Char(':') && in[cut] != QLatin1Char('}'))
        ++cut;
    QString key(cut - begin, Qt::Uninitialized);
    QChar *out = key.data();
    qsizetype length = 0;
    for (qsizetype i = begin; i < cut; ++i) {
        // "| " left to right without overlap; the pieces that come together are not looked at again.
        if (in[i] == QLatin1Char('|') && i + 1 < cut && in[i + 1] == QLatin1Char(' ')) {
            ++i;
            continue;
        }
        out[length++] = in[i];
    }
    key.truncate(length);
    return key;
}

bool IsValueLine(const QString &line) {
    int end = line.size();
    while (end > 0 && IsBlankChar(line.at(end - 1)))
        --end;
    return end > 0 && line.at(end - 1) == QLatin1Char(';');
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
