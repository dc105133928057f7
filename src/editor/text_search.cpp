#include "editor/text_search.h"

#include <QChar>
#include <QList>

#include <algorithm>
#include <functional>

namespace {

// A byte that is no part of a valid sequence stands for a character of its own.
constexpr char32_t kStrayByte = 0xDC00;

inline bool isContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

// The character at pos and the offset after it.
char32_t decodeAt(const char *data, qsizetype length, qsizetype pos, qsizetype &next) {
    const auto b0 = static_cast<unsigned char>(data[pos]);
    if (b0 < 0x80) {
        next = pos + 1;
        return b0;
    }
    int extra = 0;
    char32_t c = 0;
    if (b0 >= 0xF0 && b0 < 0xF8) {
        extra = 3;
        c = b0 & 0x07;
    } else if (b0 >= 0xE0) {
        extra = 2;
        c = b0 & 0x0F;
    } else if (b0 >= 0xC0) {
        extra = 1;
        c = b0 & 0x1F;
    }
    if (extra == 0 || pos + extra >= length) {
        next = pos + 1;
        return kStrayByte + b0;
    }
    for (int i = 1; i <= extra; ++i) {
        const auto b = static_cast<unsigned char>(data[pos + i]);
        if (!isContinuation(b)) {
            next = pos + 1;
            return kStrayByte + b0;
        }
        c = (c << 6) | (b & 0x3F);
    }
    next = pos + 1 + extra;
    return c;
}

// The character that ends just before pos (pos > 0).
char32_t decodeBefore(const char *data, qsizetype length, qsizetype pos) {
    qsizetype start = pos - 1;
    while (start > 0 && pos - start < 4 && isContinuation(static_cast<unsigned char>(data[start])))
        --start;
    qsizetype next = 0;
    const char32_t c = decodeAt(data, length, start, next);
    if (next == pos)
        return c;
    return kStrayByte + static_cast<unsigned char>(data[pos - 1]);
}

inline char32_t fold(char32_t c) {
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    return QChar::toCaseFolded(c);
}

} // namespace

bool TextSearch::isWordChar(char32_t c) {
    if (c < 0x80)
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
    return QChar::isLetterOrNumber(c);
}

TextSearch::TextSearch(const QString &needle, bool matchCase, bool wholeWord)
    : m_utf8(needle.toUtf8()), m_matchCase(matchCase), m_wholeWord(wholeWord) {
    const QList<uint> chars = needle.toUcs4();
    m_folded.reserve(static_cast<size_t>(chars.size()));
    for (uint c : chars)
        m_folded.push_back(matchCase ? c : fold(c));
    if (!m_folded.empty()) {
        for (int b = 0; b < 0x80; ++b)
            m_firstByte[b] = fold(static_cast<char32_t>(b)) == m_folded.front();
        // Any other character may fold to the first one: checked in full from its lead byte.
        for (int b = 0xC0; b < 0x100; ++b)
            m_firstByte[b] = true;
    }
}

qsizetype TextSearch::matchAt(const char *data, qsizetype length, qsizetype pos) const {
    for (char32_t wanted : m_folded) {
        if (pos >= length)
            return -1;
        qsizetype next = 0;
        if (fold(decodeAt(data, length, pos, next)) != wanted)
            return -1;
        pos = next;
    }
    return pos;
}

bool TextSearch::isWholeWord(const char *data, qsizetype length, qsizetype start, qsizetype end) const {
    if (start > 0 && isWordChar(decodeBefore(data, length, start)))
        return false;
    qsizetype next = 0;
    return end >= length || !isWordChar(decodeAt(data, length, end, next));
}

TextSearch::Match TextSearch::find(const char *data, qsizetype length, qsizetype from) const {
    Match match;
    if (m_folded.empty() || from < 0)
        return match;
    if (m_matchCase) {
        // Exact: the needle's bytes, which can only match at character boundaries.
        const std::boyer_moore_horspool_searcher searcher(m_utf8.cbegin(), m_utf8.cend());
        const char *end = data + length;
        for (const char *at = data + from; at < end;) {
            const char *hit = std::search(at, end, searcher);
            if (hit == end)
                break;
            const qsizetype start = hit - data;
            const qsizetype stop = start + m_utf8.size();
            if (!m_wholeWord || isWholeWord(data, length, start, stop)) {
                match.start = start;
                match.end = stop;
                return match;
            }
            at = hit + 1;
        }
        return match;
    }
    for (qsizetype pos = from; pos < length; ++pos) {
        if (!m_firstByte[static_cast<unsigned char>(data[pos])])
            continue;
        const qsizetype stop = matchAt(data, length, pos);
        if (stop < 0)
            continue;
        if (m_wholeWord && !isWholeWord(data, length, pos, stop))
            continue;
        match.start = pos;
        match.end = stop;
        return match;
    }
    return match;
}

QByteArray TextSearch::replaceAll(const char *data, qsizetype length, const QString &replacement,
                                  qsizetype *count) const {
    const QByteArray with = replacement.toUtf8();
    QByteArray result;
    qsizetype replaced = 0;
    qsizetype pos = 0;
    for (Match m = find(data, length, 0); m.found(); m = find(data, length, pos)) {
        if (replaced == 0)
            result.reserve(length + (with.size() > m_utf8.size() ? length / 8 : 0));
        result.append(data + pos, m.start - pos);
        result.append(with);
        pos = m.end;
        ++replaced;
    }
    if (replaced == 0)
        result = QByteArray(data, length);
    else
        result.append(data + pos, length - pos);
    if (count)
        *count = replaced;
    return result;
}
