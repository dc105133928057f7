#pragma once
// Finds the matches of a search query in one line of converted text.
//
// Plain text is compared exactly or, without match case, by Unicode case folding; a regular
// expression is Perl-like (QRegularExpression), its empty matches count for nothing. With whole
// word a match counts only when neither the character before it nor the one after it is a word
// character, the rule of the editor's own find. With keys or values the match must lie wholly in
// that part of the line, and a regular expression sees only that part (so "^12" finds values that
// begin with 12).

#include "search/search_query.h"

#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QStringView>

struct MatchSpan {
    int start = 0; // column in the line, in characters
    int length = 0;
    bool operator==(const MatchSpan &other) const { return start == other.start && length == other.length; }
};

// The key and the value of a line as character ranges of the line itself, so that a match can be
// marked where it stands: the key runs from after the leading blanks and depth markers to the
// first colon, the value from after that colon to the end. A line without a colon has an empty key
// and all of it after the markers is its value (the line grammar's split says the same).
struct LinePart {
    qsizetype begin = 0;
    qsizetype end = 0;
};
LinePart KeyPartOf(QStringView line);
LinePart ValuePartOf(QStringView line);

class LineMatcher {
public:
    explicit LineMatcher(const SearchQuery &query);

    // Why the query cannot be searched for (no text, a faulty regular expression); empty when it can.
    QString problem() const { return m_problem; }
    // False only when no line of text can hold a match: a quick test of a whole text.
    bool mayMatch(QStringView text) const;
    // The matches in one line (without its line break), left to right, not overlapping.
    QList<MatchSpan> matches(QStringView line) const;

private:
    void matchPart(QStringView line, LinePart part, QList<MatchSpan> &out) const;
    bool wholeWordAt(QStringView line, qsizetype start, qsizetype end) const;

    SearchQuery m_query;
    QRegularExpression m_regex;
    QString m_problem;
};
