#include "ucs/string_table.h"
#include "ucs/ucs_steps.h"

#include <gtest/gtest.h>

#include <random>

namespace {

QByteArray unitsToFile(const std::u16string &units, bool oddByte = false) {
    QByteArray bytes("\xFF\xFE", 2);
    for (char16_t u : units) {
        bytes.append(static_cast<char>(u & 0xFF));
        bytes.append(static_cast<char>(u >> 8));
    }
    if (oddByte)
        bytes.append('x');
    return bytes;
}

void expectSameLines(const QByteArray &bytes) {
    const QStringList whole = DecodeUcsText(bytes);
    for (qsizetype step : {2, 4, 6, 10, 64, 1 << 20}) {
        int pieces = 0;
        const QStringList inSteps = DecodeUcsTextInSteps(
            bytes, [&] { ++pieces; }, step);
        EXPECT_EQ(inSteps, whole) << "step " << step << " of " << bytes.toHex().constData();
    }
}

} // namespace

TEST(UcsSteps, LineBreaksOfEveryKindAcrossPieces) {
    expectSameLines(unitsToFile(u"1\tone\r\n2\ttwo\r\n"));
    expectSameLines(unitsToFile(u"a\rb\nc\r\n\r\nd\n\ne\r\r\n"));
    expectSameLines(unitsToFile(u"\n\n\nlast without break"));
    expectSameLines(unitsToFile(u"12\tx", true));
    expectSameLines(QByteArray("\xFF\xFE", 2));
    expectSameLines(QByteArray("\xFF", 1));
    expectSameLines(QByteArray());
}

TEST(UcsSteps, TheTextEndsAtTheFirstZeroUnit) {
    const QByteArray bytes = unitsToFile(std::u16string(u"1\ta\r\n2\tb") + u'\0' + u"\r\n3\tc\r\n");
    expectSameLines(bytes);
    EXPECT_EQ(DecodeUcsTextInSteps(bytes, {}, 4), (QStringList{"1\ta", "2\tb"}));
}

TEST(UcsSteps, PausesBetweenPieces) {
    std::u16string text;
    for (int i = 0; i < 100; ++i)
        text += u"123\tline\r\n";
    int pieces = 0;
    const QStringList lines = DecodeUcsTextInSteps(
        unitsToFile(text), [&] { ++pieces; }, 100);
    EXPECT_EQ(lines.size(), 100);
    // 2,000 bytes of text in pieces of at least 100 bytes (ten units: one line and a bit).
    EXPECT_GE(pieces, 9);
    EXPECT_LE(pieces, 20);
}

TEST(UcsSteps, RandomTextsDecodeAsInOneGo) {
    std::mt19937 random(1234);
    const char16_t alphabet[] = {u'1',      u'\t',     u'\r',     u'\n',     u'a',
                                 u'\x00e9', u'\x20ac', u'\xD83D', u'\xDE00', u'\x4E00'};
    for (int round = 0; round < 300; ++round) {
        std::u16string text;
        const int length = static_cast<int>(random() % 60);
        for (int i = 0; i < length; ++i)
            text += alphabet[random() % std::size(alphabet)];
        if (random() % 10 == 0)
            text.insert(text.begin() + static_cast<long>(random() % (text.size() + 1)), u'\0');
        expectSameLines(unitsToFile(text, random() % 4 == 0));
    }
}
