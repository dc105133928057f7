#include "search/line_matcher.h"

#include "editor/text_search.h"
#include "tree/line_grammar.h"

namespace {

// Past the blanks and depth markers at the start of a line.
qsizetype AfterMarkers(QStringView line) {
    qsizetype at = 0;
    while (at < line.size() && IsBlankChar(line.at(at)))
        ++at;
    while (at + 1 < line.size() && line.at(at) == QLatin1Char('|') && line.at(at + 1) == QLatin1Char(' '))
        at += 2;
    return at;
}

char32_t CodePointBefore(QStringView line, qsizetype at) {
    const QChar c = line.at(at - 1);
    if (c.isLowSurrogate() && at >= 2 && line.at(at - 2).isHighSurrogate())
        return QChar::surrogateToUcs4(line.at(at - 2), c);
    return c.unicode();
}

char32_t CodePointAt(QStringView line, qsizetype at) {
    const QChar c = line.at(at);
    if (c.isHighSurrogate() && at + 1 < line.size() && line.at(at + 1).isLowSurrogate())
        return QChar::surrogateToUcs4(c, line.at(at + 1));
    return c.unicode();
}

} // namespace

LinePart KeyPartOf(QStringView line) {
    const qsizetype begin = AfterMarkers(line);
    const qsizetype colon = line.indexOf(QLatin1Char(':'), begin);
    return colon < 0 ? LinePart{begin, begin} : LinePart{begin, colon};
}

LinePart ValuePartOf(QStringView line) {
    const qsizetype begin = AfterMarkers(line);
    const qsizetype colon = line.indexOf(QLatin1Char(':'), begin);
    return LinePart{colon < 0 ? begin : colon + 1, line.size()};
}

LineMatcher::LineMatcher(const SearchQuery &query) : m_query(query) {
    if (query.text.isEmpty()) {
        m_problem = QStringLiteral("There is no text to find.");
        return;
    }
    if (query.regularExpression) {
        m_regex.setPattern(query.text);
        if (!query.matchCase)
            m_regex.setPatternOptions(QRegularExpression::CaseInsensitiveOption);
        if (!m_regex.isValid())
            m_problem = QStringLiteral("The regular expression is not valid: %1 (at character %2).")
                            .arg(m_regex.errorString())
                            .arg(m_regex.patternErrorOffset() + 1);
        else
            m_regex.optimize();
    }
}

bool LineMatcher::mayMatch(QStringView text) const {
    if (!m_problem.isEmpty())
        return false;
    if (m_query.regularExpression)
        return true;
    return text.contains(m_query.text, m_query.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive);
}

QList<MatchSpan> LineMatcher::matches(QStringView line) const {
    QList<MatchSpan> out;
    if (!m_problem.isEmpty())
        return out;
    switch (m_query.where) {
    case SearchQuery::Where::Keys:
        matchPart(line, KeyPartOf(line), out);
        break;
    case SearchQuery::Where::Values:
        matchPart(line, ValuePartOf(line), out);
        break;
    case SearchQuery::Where::Both:
        matchPart(line, LinePart{0, line.size()}, out);
        break;
    }
    return out;
}

bool LineMatcher::wholeWordAt(QStringView line, qsizetype start, qsizetype end) const {
    if (!m_query.wholeWord)
        return true;
    if (start > 0 && TextSearch::isWordChar(CodePointBefore(line, start)))
        return false;
    return end >= line.size() || !TextSearch::isWordChar(CodePointAt(line, end));
}

void LineMatcher::matchPart(QStringView line, LinePart part, QList<MatchSpan> &out) const {
    if (part.end <= part.begin)
        return;
    const QStringView subject = line.sliced(part.begin, part.end - part.begin);
    if (m_query.regularExpression) {
        QRegularExpressionMatchIterator it = m_regex.globalMatch(subject);
        while (it.hasNext()) {
            const QRegularExpressionMatch match = it.next();
            const qsizetype start = part.begin + match.capturedStart();
            const qsizetype length = match.capturedLength();
            if (length > 0 && wholeWordAt(line, start, start + length))
                out.append(MatchSpan{int(start), int(length)});
        }
        return;
    }
    const Qt::CaseSensitivity cs = m_query.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const qsizetype length = m_query.text.size();
    qsizetype from = 0;
    while (from <= subject.size() - length) {
        const qsizetype at = subject.indexOf(m_query.text, from, cs);
        if (at < 0)
            break;
        const qsizetype start = part.begin + at;
        if (wholeWordAt(line, start, start + length)) {
            out.append(MatchSpan{int(start), int(length)});
            from = at + length;
        } else {
            from = at + 1;
        }
    }
}
