#pragma once
// Plain-text search and replace-all over the editor's UTF-8 buffer.
//
// The editor keeps its text as UTF-8 in one buffer (QScintilla); scanning that
// buffer directly runs at memory speed, where the widget's own search (and any
// copy of the text into a QString) costs a multiple of it on big texts. Every
// code point of the buffer is one character of the 8-bit text.
//
// Without match case two characters are equal when their Unicode case folds
// are. With whole word an occurrence counts only when neither the character
// before it nor the one after it is a word character (letter, digit or "_").

#include <QByteArray>
#include <QString>

#include <vector>

class TextSearch {
public:
    struct Match {
        qsizetype start = -1; // byte offset of the occurrence, -1 when none
        qsizetype end = -1;   // byte offset just after it
        bool found() const { return start >= 0; }
    };

    TextSearch(const QString &needle, bool matchCase, bool wholeWord);

    // The first occurrence that starts at or after byte offset from (a character boundary).
    Match find(const char *data, qsizetype length, qsizetype from) const;

    // The text with every occurrence replaced, taken from left to right without overlap;
    // replaced text is not searched again. An empty search text replaces nothing.
    QByteArray replaceAll(const char *data, qsizetype length, const QString &replacement,
                          qsizetype *count = nullptr) const;

    static bool isWordChar(char32_t c);

private:
    qsizetype matchAt(const char *data, qsizetype length, qsizetype pos) const;
    bool isWholeWord(const char *data, qsizetype length, qsizetype start, qsizetype end) const;

    QByteArray m_utf8;
    std::vector<char32_t> m_folded; // the search text's characters, case-folded without match case
    bool m_matchCase;
    bool m_wholeWord;
    bool m_firstByte[256] = {}; // bytes that can begin an occurrence without match case
};
