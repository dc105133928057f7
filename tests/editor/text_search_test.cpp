#include "editor/text_search.h"

#include <gtest/gtest.h>

namespace {

// Character offsets of the occurrences, for readable expectations on ASCII texts.
qsizetype findIn(const QString &text, const QString &needle, bool matchCase, bool wholeWord,
                 qsizetype from = 0) {
    const QByteArray utf8 = text.toUtf8();
    return TextSearch(needle, matchCase, wholeWord).find(utf8.constData(), utf8.size(), from).start;
}

QString replaced(const QString &text, const QString &needle, const QString &with, bool matchCase,
                 qsizetype *count = nullptr) {
    const QByteArray utf8 = text.toUtf8();
    return QString::fromUtf8(
        TextSearch(needle, matchCase, false).replaceAll(utf8.constData(), utf8.size(), with, count));
}

} // namespace

TEST(TextSearch, FindsForwardFromTheStartOffset) {
    EXPECT_EQ(findIn("aaaa", "aa", true, false, 0), 0);
    EXPECT_EQ(findIn("aaaa", "aa", true, false, 1), 1);
    EXPECT_EQ(findIn("aaaa", "aa", true, false, 2), 2);
    EXPECT_EQ(findIn("aaaa", "aa", true, false, 3), -1);
    EXPECT_EQ(findIn("aaaa", "aa", false, false, 3), -1);
    EXPECT_EQ(findIn("abc", "abcd", false, false), -1);
    EXPECT_EQ(findIn("", "a", false, false), -1);
    EXPECT_EQ(findIn("abc", "", false, false), -1);
}

TEST(TextSearch, MatchCase) {
    EXPECT_EQ(findIn("x abc", "ABC", false, false), 2);
    EXPECT_EQ(findIn("x abc", "ABC", true, false), -1);
    EXPECT_EQ(findIn("x abc ABC", "ABC", true, false), 6);
    EXPECT_EQ(findIn("x aBc", "AbC", false, false), 2);
}

TEST(TextSearch, FoldsLettersOutsideAscii) {
    // Code page 1252 letters: Latin-1 pairs, and pairs whose UTF-8 lead bytes differ.
    EXPECT_EQ(findIn(QString::fromUtf8("-äbc"), QString::fromUtf8("ÄBC"), false, false), 1);
    EXPECT_EQ(findIn(QString::fromUtf8("-š"), QString::fromUtf8("Š"), false, false), 1);
    EXPECT_EQ(findIn(QString::fromUtf8("-Ÿes"), QString::fromUtf8("ÿES"), false, false), 1);
    EXPECT_EQ(findIn(QString::fromUtf8("-Ÿes"), QString::fromUtf8("ÿES"), true, false), -1);
    // Not letters of the same fold.
    EXPECT_EQ(findIn(QString::fromUtf8("àb"), QString::fromUtf8("áb"), false, false), -1);
}

TEST(TextSearch, OffsetsAreBytesOfTheBuffer) {
    const QByteArray utf8 = QString::fromUtf8("€é abc").toUtf8();
    const TextSearch::Match m =
        TextSearch(QStringLiteral("ABC"), false, false).find(utf8.constData(), utf8.size(), 0);
    EXPECT_EQ(m.start, 6); // € is 3 bytes, é 2, the blank 1
    EXPECT_EQ(m.end, 9);
}

TEST(TextSearch, WholeWord) {
    EXPECT_EQ(findIn("concatenate", "cat", false, true), -1);
    EXPECT_EQ(findIn("concatenate cat", "cat", false, true), 12);
    EXPECT_EQ(findIn("cat", "cat", true, true), 0);
    EXPECT_EQ(findIn("(cat)", "CAT", false, true), 1);
    EXPECT_EQ(findIn("cat_1 cat1 cats 1cat cat", "cat", true, true), 21);
    EXPECT_EQ(findIn(QString::fromUtf8("écat cat"), "cat", false, true), 6);
    EXPECT_EQ(findIn(QString::fromUtf8("caté cat"), "cat", true, true), 6);
    EXPECT_EQ(findIn("a\tcat\r\n", "cat", true, true), 2);
}

TEST(TextSearch, StrayBytesAreCharactersOfTheirOwn) {
    const QByteArray bytes("\xC3"
                           "a\x80"
                           "abc\xE2\x82",
                           8);
    const TextSearch::Match m =
        TextSearch(QStringLiteral("ABC"), false, true).find(bytes.constData(), bytes.size(), 0);
    EXPECT_EQ(m.start, 3);
    EXPECT_EQ(m.end, 6);
    EXPECT_FALSE(
        TextSearch(QStringLiteral("x"), false, false).find(bytes.constData(), bytes.size(), 0).found());
}

TEST(TextSearch, ReplaceAllGoesLeftToRightWithoutSearchingInsertedText) {
    qsizetype count = -1;
    EXPECT_EQ(replaced("ab a", "a", "ab", true, &count), "abb ab");
    EXPECT_EQ(count, 2);
    EXPECT_EQ(replaced("aa", "a", "aa", true), "aaaa");
    EXPECT_EQ(replaced("aaa", "aa", "b", true), "ba");
    EXPECT_EQ(replaced("A a", "a", "ab", true), "A ab");
    EXPECT_EQ(replaced("A a", "a", "ab", false), "ab ab");
    EXPECT_EQ(replaced(QString::fromUtf8("ÄÖ äö"), QString::fromUtf8("äö"), "x", false), "x x");
    EXPECT_EQ(replaced("line1\r\nline2\r\n", "\r\n", "\n", true), "line1\nline2\n");
}

TEST(TextSearch, ReplaceAllWithoutOccurrenceKeepsTheText) {
    qsizetype count = -1;
    EXPECT_EQ(replaced("abc", "x", "y", false, &count), "abc");
    EXPECT_EQ(count, 0);
    EXPECT_EQ(replaced("abc", "", "y", false, &count), "abc");
    EXPECT_EQ(count, 0);
    EXPECT_EQ(replaced("", "a", "y", false), "");
}
