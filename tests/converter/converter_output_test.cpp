// What of a converter's output is kept and shown: the 64 KiB cap, the lines in
// any encoding, wine's noise, and the line a refusal names.

#include "converter/converter_output.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

TEST(CapturedStream, KeepsStartAndEndOfALongOutputAndCountsTheRest) {
    constexpr qsizetype Half = CapturedStream::Limit / 2;
    CapturedStream stream;
    stream.append(QByteArray(40000, 'a'));
    stream.append(QByteArray(CapturedStream::Limit - 40000, 'b'));
    EXPECT_EQ(stream.data.size(), CapturedStream::Limit); // up to the limit everything is kept
    EXPECT_EQ(stream.dropped, 0);
    // Past it, the first and the last half of the limit stay; what lies between is counted.
    stream.append("c");
    stream.append(QByteArray(100000, 'd'));
    stream.append("end of the output");
    EXPECT_EQ(stream.data, QByteArray(Half, 'a'));
    EXPECT_EQ(stream.tail.size(), Half);
    EXPECT_TRUE(stream.tail.endsWith("d" + QByteArray("end of the output")));
    EXPECT_EQ(stream.dropped, CapturedStream::Limit + 1 + 100000 + 17 - 2 * Half);
}

TEST(CapturedStream, LinesSayWhatWasLeftOut) {
    CapturedStream stream;
    QByteArray all;
    for (int i = 1; i <= 20000; ++i)
        all += "output line " + QByteArray::number(i) + "\n";
    // Pieces of any size, as a pipe delivers them.
    for (qsizetype at = 0; at < all.size(); at += 4093)
        stream.append(all.mid(at, 4093));
    EXPECT_EQ(stream.data.size() + stream.tail.size() + stream.dropped, all.size());
    const QStringList lines = stream.lines();
    EXPECT_EQ(lines.first(), QStringLiteral("output line 1"));
    EXPECT_EQ(lines.last(), QStringLiteral("output line 20000"));
    // Only whole lines on either side of the gap, and the gap says what it holds.
    const qsizetype gap = lines.indexOf(QRegularExpression(QStringLiteral("^\\[\\d+ bytes left out\\]$")));
    ASSERT_GT(gap, 0);
    const int before = lines.at(gap - 1).mid(12).toInt();
    const int after = lines.at(gap + 1).mid(12).toInt();
    EXPECT_EQ(lines.at(gap - 1), QStringLiteral("output line %1").arg(before));
    EXPECT_EQ(lines.at(gap + 1), QStringLiteral("output line %1").arg(after));
    qsizetype leftOut = 0;
    for (int i = before + 1; i < after; ++i)
        leftOut += QByteArray("output line " + QByteArray::number(i) + "\n").size();
    EXPECT_EQ(lines.at(gap), QStringLiteral("[%1 bytes left out]").arg(leftOut));
}

TEST(OutputLines, BreaksEncodingsAndControlCharacters) {
    // LF and CR LF end lines; a last line without a break counts; empty lines inside stay.
    EXPECT_EQ(OutputLines("one\r\ntwo\n\nlast"),
              (QStringList{QStringLiteral("one"), QStringLiteral("two"), QString(), QStringLiteral("last")}));
    EXPECT_EQ(OutputLines("one\n"), QStringList{QStringLiteral("one")});
    EXPECT_TRUE(OutputLines(QByteArray()).isEmpty());
    // UTF-8 is read as UTF-8; bytes that are no UTF-8 are read as code page 1252, every one kept.
    EXPECT_EQ(OutputLines("Gr\xC3\xB6\xC3\x9F"
                          "e \xE2\x9C\x93\n"),
              QStringList{QStringLiteral("Größe ✓")});
    EXPECT_EQ(OutputLines("caf\xE9 \x80 \x81\n"), QStringList{QStringLiteral("café € \u0081")});
    // A control character cannot break the line it stands in or the box that shows it.
    EXPECT_EQ(OutputLines("a\rb\x1B[1mc\td\n"), QStringList{QStringLiteral("a\uFFFDb\uFFFD[1mc\td")});
}

TEST(WineDiagnostics, OnlyWinesOwnChannelsAreDropped) {
    const QStringList lines{
        QStringLiteral("0024:fixme:ntdll:NtQuerySystemInformation info_class SYSTEM_PERFORMANCE_INFORMATION"),
        QStringLiteral("0108:err:winediag:nodrv_CreateWindow Application tried to create a window"),
        QStringLiteral("00ac:0024:warn:seh:dispatch_exception unhandled exception"),
        QStringLiteral("0030:trace:file:CreateFileW L\"Z:\\\\a.txt\""),
        QStringLiteral("grindle: Z:\\data\\unit.txt:7:3: expected \";\""),
        QStringLiteral("err: the converter's own words"),
        QStringLiteral("fixme: later"),
        QStringLiteral("12:00: fixme:ntdll: a time, not a thread"),
    };
    EXPECT_EQ(WithoutWineDiagnostics(lines), lines.mid(4));
}

TEST(LastLines, TakesTheEnd) {
    const QStringList lines{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")};
    EXPECT_EQ(LastLines(lines, 2), lines.mid(1));
    EXPECT_EQ(LastLines(lines, 20), lines);
    EXPECT_TRUE(LastLines(lines, 0).isEmpty());
}

TEST(FindNamedLine, TheFormsOfALineNumber) {
    const QString name = QStringLiteral("unit.txt");
    const auto find = [&name](const QString &line) {
        const NamedLine named = FindNamedLine({line}, name);
        return std::make_pair(named.line, named.column);
    };
    using P = std::pair<int, int>;
    EXPECT_EQ(find(QStringLiteral("grindle: /d/unit.txt: line 7: missing \";\"")), P(7, 0));
    EXPECT_EQ(find(QStringLiteral("Line 12, column 4: expected \"}\"")), P(12, 4));
    EXPECT_EQ(find(QStringLiteral("grindle: /My Data/unit.txt:7:12: expected \";\"")), P(7, 12));
    EXPECT_EQ(find(QStringLiteral("/My Data/UNIT.TXT:9: error")), P(9, 0));
    EXPECT_EQ(find(QStringLiteral("Z:\\My Data\\unit.txt(31): error C2: bad value")), P(31, 0));
    EXPECT_EQ(find(QStringLiteral("unit.txt(31,5): bad value")), P(31, 5));
    // Other files, other numbers and words that only contain "line" name no line of the text.
    EXPECT_EQ(find(QStringLiteral("settings.ini:3: unknown key")), P(0, 0));
    EXPECT_EQ(find(QStringLiteral("myunit.txt:3: bad")), P(0, 0));
    EXPECT_EQ(find(QStringLiteral("offset 1200: file ends inside a value")), P(0, 0));
    EXPECT_EQ(find(QStringLiteral("deadline 5 passed; baseline 3")), P(0, 0));
    EXPECT_EQ(find(QStringLiteral("line 0: nothing")), P(0, 0));
    EXPECT_EQ(find(QStringLiteral("line 99999999999: too far")), P(0, 0));
    // The last message that names one counts (a converter says last why it gave up); within a
    // line, the file's own forms come first.
    EXPECT_EQ(FindNamedLine({QStringLiteral("unit.txt:4: warning: odd"), QStringLiteral("line 9: refused"),
                             QStringLiteral("done")},
                            name)
                  .line,
              9);
    EXPECT_EQ(FindNamedLine({QStringLiteral("line 3 of unit.txt(12): refused")}, name).line, 12);
}
