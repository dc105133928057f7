#include "highlight/line_tokens.h"

#include "tree/line_grammar.h"

#include <QByteArray>

#include <algorithm>

namespace {

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

qsizetype DigitsFrom(const char *s, qsizetype i, qsizetype end) {
    while (i < end && IsDigit(s[i]))
        ++i;
    return i;
}

// An integer or a float as the converter writes them: sign, digits, a fraction, an exponent.
bool IsNumber(const char *s, qsizetype begin, qsizetype end) {
    qsizetype i = begin;
    if (i < end && (s[i] == '-' || s[i] == '+'))
        ++i;
    const qsizetype whole = DigitsFrom(s, i, end);
    qsizetype digits = whole - i;
    i = whole;
    if (i < end && s[i] == '.') {
        const qsizetype fraction = DigitsFrom(s, i + 1, end);
        digits += fraction - i - 1;
        i = fraction;
    }
    if (digits == 0)
        return false;
    if (i < end && (s[i] == 'e' || s[i] == 'E')) {
        qsizetype e = i + 1;
        if (e < end && (s[e] == '-' || s[e] == '+'))
            ++e;
        const qsizetype exponent = DigitsFrom(s, e, end);
        if (exponent == e)
            return false;
        i = exponent;
    }
    return i == end;
}

bool IsBoolean(QByteArrayView word) {
    return word == "true" || word == "false";
}

void MarkBraces(const char *s, qsizetype begin, qsizetype end, TokenKind *kinds) {
    for (qsizetype i = begin; i < end; ++i) {
        if (s[i] == '{' || s[i] == '}')
            kinds[i] = TokenKind::Brace;
    }
}

// The value of a line between its colon and its end (the closing ";" excluded).
void ClassifyValue(const char *s, qsizetype begin, qsizetype end, TokenKind *kinds) {
    while (begin < end && IsBlank(s[begin]))
        ++begin;
    while (end > begin && IsBlank(s[end - 1]))
        --end;
    const QByteArrayView value(s + begin, end - begin);
    const qsizetype first = value.indexOf('"');
    if (first >= 0) {
        // Quotes inside a string are the converter's own: the string runs to the last one.
        const qsizetype last = value.lastIndexOf('"');
        const qsizetype stringBegin = begin + first;
        const qsizetype stringEnd = last > first ? begin + last + 1 : end;
        MarkBraces(s, begin, stringBegin, kinds);
        std::fill(kinds + stringBegin, kinds + stringEnd, TokenKind::String);
        MarkBraces(s, stringEnd, end, kinds);
        return;
    }
    if (IsNumber(s, begin, end))
        std::fill(kinds + begin, kinds + end, TokenKind::Number);
    else if (IsBoolean(value))
        std::fill(kinds + begin, kinds + end, TokenKind::Boolean);
    else
        MarkBraces(s, begin, end, kinds);
}

} // namespace

void ClassifyLine(QByteArrayView line, TokenKind *kinds) {
    const char *s = line.data();
    qsizetype begin = 0;
    qsizetype end = line.size();
    std::fill(kinds, kinds + end, TokenKind::Plain);
    while (begin < end && IsBlank(s[begin]))
        ++begin;
    while (end > begin && IsBlank(s[end - 1]))
        --end;
    // The markers as the grammar counts them, on the trimmed line.
    qsizetype at = begin;
    while (end - at >= 2 && s[at] == '|' && s[at + 1] == ' ') {
        kinds[at] = kinds[at + 1] = TokenKind::Marker;
        at += 2;
    }
    if (at == begin)
        return; // a line outside the tree
    const qsizetype valueEnd = s[end - 1] == ';' ? end - 1 : end;
    const qsizetype colon = QByteArrayView(s + at, end - at).indexOf(':');
    if (colon < 0) {
        // No value: the key runs to the first brace ("| | theta {", "| }").
        qsizetype key = at;
        while (key < valueEnd && s[key] != '{' && s[key] != '}')
            ++key;
        std::fill(kinds + at, kinds + key, TokenKind::Key);
        MarkBraces(s, key, valueEnd, kinds);
        return;
    }
    std::fill(kinds + at, kinds + at + colon, TokenKind::Key);
    const qsizetype afterColon = at + colon + 1;
    ClassifyValue(s, afterColon, valueEnd, kinds);
    // Every change of style is one more piece of text that the editor measures and draws, so the
    // blanks after the colon go with the colon and the closing ";" with the value before it:
    // neither shows a colour of its own.
    qsizetype blanks = afterColon;
    while (blanks < valueEnd && IsBlank(s[blanks]))
        ++blanks;
    std::fill(kinds + at + colon, kinds + blanks, TokenKind::Colon);
    if (valueEnd < end)
        kinds[valueEnd] = kinds[valueEnd - 1];
}

LineFold FoldOfLine(QByteArrayView line, int levelBefore) {
    const int depth = LineDepthUtf8(line);
    if (depth == 0)
        return {levelBefore, false, levelBefore};
    if (IsValueLineUtf8(line))
        return {depth, false, depth};
    // Reused between calls: lines are folded one after another by the thousand.
    thread_local QByteArray key;
    LineKeyUtf8(line, key);
    if (key.isEmpty())
        return {depth + 1, false, depth}; // the closing line is the last line of its table
    return {depth, true, depth + 1};
}
