// UCS string tables: decoding the file into lines, and looking a number up.

#include "ucs/string_table.h"

#include "platform/cp1252.h"

#include <gtest/gtest.h>

namespace {

// A UCS file: the byte-order mark, then the text as UTF-16 little-endian.
QByteArray Ucs(const QString &text) {
    QByteArray bytes("\xFF\xFE", 2);
    for (QChar c : text) {
        bytes.append(static_cast<char>(c.unicode() & 0xFF));
        bytes.append(static_cast<char>(c.unicode() >> 8));
    }
    return bytes;
}

QString U(const char16_t *text) {
    return QString::fromUtf16(text);
}

} // namespace

TEST(UcsDecode, ShortFiles) {
    EXPECT_EQ(DecodeUcsText(QByteArray()), QStringList());
    EXPECT_EQ(DecodeUcsText(QByteArray("\xFF", 1)), QStringList());
    EXPECT_EQ(DecodeUcsText(QByteArray("\xFF\xFE", 2)), QStringList());
    // One byte after the mark: the low byte of a last code unit.
    EXPECT_EQ(DecodeUcsText(QByteArray("\xFF\xFE\x41", 3)), QStringList{U(u"A")});
    // The mark is skipped unexamined: a file without one loses its first character.
    EXPECT_EQ(DecodeUcsText(QByteArray("1\0002\0003\0", 6)), QStringList{U(u"23")});
}

TEST(UcsDecode, OddLengthEndsWithALowByte) {
    QByteArray bytes = Ucs(U(u"12\tAB"));
    bytes.append('C');
    EXPECT_EQ(DecodeUcsText(bytes), QStringList{U(u"12\tABC")});
    // An odd last byte of 0 is a terminating code unit.
    bytes = Ucs(U(u"x"));
    bytes.append('\0');
    EXPECT_EQ(DecodeUcsText(bytes), QStringList{U(u"x")});
}

TEST(UcsDecode, TextEndsAtTheFirstZeroCodeUnit) {
    EXPECT_EQ(DecodeUcsText(Ucs(U(u"1\tA\r\n2\tB")) + QByteArray(2, '\0') + Ucs(U(u"3\tC"))),
              (QStringList{U(u"1\tA"), U(u"2\tB")}));
    EXPECT_EQ(DecodeUcsText(Ucs(QString(QChar(0)) + U(u"x"))), QStringList());
    // A zero byte that is only half of a code unit ends nothing.
    EXPECT_EQ(DecodeUcsText(Ucs(QString(QChar(0x0100)))), QStringList{U(u"?")});
}

TEST(UcsDecode, LineBreakKinds) {
    EXPECT_EQ(DecodeUcsText(Ucs(U(u"a\r\nb\nc\rd"))), (QStringList{U(u"a"), U(u"b"), U(u"c"), U(u"d")}));
    EXPECT_EQ(DecodeUcsText(Ucs(U(u"a\r\rb\n\nc\n\r"))),
              (QStringList{U(u"a"), U(u""), U(u"b"), U(u""), U(u"c"), U(u"")}));
    EXPECT_EQ(DecodeUcsText(Ucs(U(u"a\r\n"))), QStringList{U(u"a")});
    EXPECT_EQ(DecodeUcsText(Ucs(U(u"\r\n"))), QStringList{U(u"")});
    EXPECT_EQ(DecodeUcsText(Ucs(U(u"\n\n"))), (QStringList{U(u""), U(u"")}));
    EXPECT_EQ(DecodeUcsText(Ucs(U(u"last"))), QStringList{U(u"last")});
}

TEST(UcsDecode, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    // Kept: ASCII, Latin-1, the euro sign and the other Windows characters, the five C1
    // codes that stand for the undefined bytes. Replaced: other C1 codes, Cyrillic, CJK,
    // lone surrogates; a surrogate pair is one character and one "?".
    const QString in = U(u"A\u00E9\u20AC\u2122\u0178\u0081\u009D|\u0080\u0416\u4E2D\U0001F600") +
                       QChar(0xD800) + U(u"|") + QChar(0xDC00);
    const QStringList lines = DecodeUcsText(Ucs(in));
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0], U(u"A\u00E9\u20AC\u2122\u0178\u0081\u009D|?????|?"));
    // The same as converting to code page 1252 and back.
    EXPECT_EQ(lines[0], DecodeCp1252(EncodeCp1252(in)));
}

TEST(UcsDecode, AgreesWithTheCodePageRoundTripForEveryCodeUnit) {
    QString all;
    for (int u = 1; u < 0x10000; ++u) {
        if (u == '\r' || u == '\n' || (u >= 0xD800 && u <= 0xDFFF))
            continue;
        all.append(QChar(static_cast<char16_t>(u)));
    }
    const QStringList lines = DecodeUcsText(Ucs(all));
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0], DecodeCp1252(EncodeCp1252(all)));
}

TEST(UcsLookup, IsAllDigits) {
    EXPECT_TRUE(IsAllDigits(QString()));
    EXPECT_TRUE(IsAllDigits(U(u"0123456789")));
    EXPECT_FALSE(IsAllDigits(U(u"12a")));
    EXPECT_FALSE(IsAllDigits(U(u" 12")));
    EXPECT_FALSE(IsAllDigits(U(u"1\r\n2")));
    EXPECT_FALSE(IsAllDigits(U(u"-1")));
    EXPECT_FALSE(IsAllDigits(U(u"\u0661"))); // an Arabic-Indic digit is no ASCII digit
}

TEST(UcsLookup, FirstLineWithTheExactKeyWins) {
    const QStringList lines = {U(u"heading"),    U(u"100\tFirst"),    U(u"123\tHello world"),
                               U(u"123\tLater"), U(u"200\tfile one"), U(u"200\tfile two")};
    bool found = false;
    EXPECT_EQ(LookupNumber(lines, U(u"123"), found), U(u"Hello world"));
    EXPECT_TRUE(found);
    EXPECT_EQ(LookupNumber(lines, U(u"200"), found), U(u"file one"));
    EXPECT_TRUE(found);
    for (const char16_t *miss : {u"12", u"1234", u"0123", u"", u"heading"}) {
        EXPECT_EQ(LookupNumber(lines, U(miss), found), QString());
        EXPECT_FALSE(found) << QString::fromUtf16(miss).toStdString();
    }
}

TEST(UcsLookup, OnlyTheFirstTabSeparates) {
    bool found = false;
    EXPECT_EQ(LookupNumber({U(u"123\tA\tB")}, U(u"123"), found), U(u"A\tB"));
    EXPECT_TRUE(found);
    EXPECT_EQ(LookupNumber({U(u"123\t")}, U(u"123"), found), QString());
    EXPECT_TRUE(found);
    EXPECT_EQ(LookupNumber({U(u"123"), U(u"123 \tx"), U(u"\t123\tx")}, U(u"123"), found), QString());
    EXPECT_FALSE(found);
    // A key cannot hold a TAB, so a text with one matches nothing.
    EXPECT_EQ(LookupNumber({U(u"1\t2\tx")}, U(u"1\t2"), found), QString());
    EXPECT_FALSE(found);
    // An empty key is the text before a leading TAB.
    EXPECT_EQ(LookupNumber({U(u"x"), U(u"\tempty key")}, QString(), found), U(u"empty key"));
    EXPECT_TRUE(found);
}

TEST(UcsLookup, AfterLineRunsForEveryLineScannedWithoutAMatch) {
    const QStringList lines = {U(u"1\ta"), U(u"no tab"), U(u"2\tb"), U(u"3\tc")};
    std::vector<int> seen;
    bool found = false;
    LookupNumber(lines, U(u"3"), found, [&](int n) { seen.push_back(n); });
    EXPECT_TRUE(found);
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2}));
    seen.clear();
    LookupNumber(lines, U(u"9"), found, [&](int n) { seen.push_back(n); });
    EXPECT_FALSE(found);
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3}));
}
