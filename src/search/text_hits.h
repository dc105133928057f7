#pragma once
// The hits of a search in one converted text: one per line that holds a match.

#include "search/line_matcher.h"

#include <QByteArray>
#include <QList>
#include <QString>

class LineMatcher;

struct SearchHit {
    int line = 0;    // zero-based, as the editor counts lines
    QString keyPath; // "weapons / primary / damage"
    QString text;    // the line without its line break
    QList<MatchSpan> spans;
};

struct TextHits {
    QList<SearchHit> hits; // the first maxKept hits
    int count = 0;         // every hit, kept or not
};

// Lines end at CR LF, LF or a CR alone, as in the editor. cp1252 is the text as the converter
// wrote it (code page 1252).
TextHits SearchConvertedText(const QByteArray &cp1252, const LineMatcher &matcher, int maxKept = 10000);
