#include "search/text_hits.h"

#include "platform/cp1252.h"
#include "search/key_path.h"

namespace {

// Calls take(start, end) for each line of text, in order; end excludes the line break.
template <typename Text, typename Take> void ForEachLine(const Text &text, Take take) {
    const qsizetype size = text.size();
    qsizetype start = 0;
    while (true) {
        qsizetype end = start;
        while (end < size && text[end] != '\n' && text[end] != '\r')
            ++end;
        if (!take(start, end))
            return;
        if (end >= size)
            return;
        start = end + ((text[end] == '\r' && end + 1 < size && text[end + 1] == '\n') ? 2 : 1);
    }
}

} // namespace

TextHits SearchConvertedText(const QByteArray &cp1252, const LineMatcher &matcher, int maxKept) {
    TextHits result;
    const QString text = DecodeCp1252(cp1252);
    if (!matcher.mayMatch(text))
        return result;
    int line = 0;
    ForEachLine(text, [&](qsizetype start, qsizetype end) {
        const QStringView view = QStringView(text).sliced(start, end - start);
        QList<MatchSpan> spans = matcher.matches(view);
        if (!spans.isEmpty()) {
            ++result.count;
            if (result.hits.size() < maxKept)
                result.hits.append(SearchHit{line, QString(), view.toString(), std::move(spans)});
        }
        ++line;
        return true;
    });
    if (result.hits.isEmpty())
        return result;
    // Key paths need every line before the last kept hit, but nothing after it.
    KeyPathTracker tracker;
    qsizetype next = 0;
    line = 0;
    ForEachLine(cp1252, [&](qsizetype start, qsizetype end) {
        tracker.feed(QByteArrayView(cp1252).sliced(start, end - start));
        if (result.hits.at(next).line == line) {
            result.hits[next].keyPath = JoinKeyPath(tracker.path());
            if (++next == result.hits.size())
                return false;
        }
        ++line;
        return true;
    });
    return result;
}
