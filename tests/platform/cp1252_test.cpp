// Code page 1252: every byte survives a decode and an encode; everything else becomes "?".

#include "platform/cp1252.h"

#include <gtest/gtest.h>

TEST(Cp1252, EveryByteRoundTrips) {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    const QString text = DecodeCp1252(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(EncodeCp1252(text), all);
    EXPECT_TRUE(FitsCp1252(text));
    // Each byte decodes to a distinct character, so nothing collapses into another byte.
    for (int a = 0; a < 256; ++a) {
        for (int b = a + 1; b < 256; ++b)
            ASSERT_NE(text.at(a), text.at(b)) << a << " " << b;
    }
}

TEST(Cp1252, DecodesTheWindowsCharacters) {
    const QString text = DecodeCp1252(QByteArray("\x80\x8A\x99\x9F\xA0\xE9\x00", 7));
    EXPECT_EQ(text, QString::fromUtf16(u"\u20AC\u0160\u2122\u0178\u00A0\u00E9") + QChar(0));
}

TEST(Cp1252, UndefinedBytesKeepTheirOwnCode) {
    for (unsigned char b : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
        SCOPED_TRACE(b);
        const QByteArray byte(1, static_cast<char>(b));
        EXPECT_EQ(DecodeCp1252(byte), QString(QChar(b)));
        EXPECT_EQ(EncodeCp1252(QString(QChar(b))), byte);
    }
}

TEST(Cp1252, CharactersOutsideBecomeQuestionMarks) {
    // U+0080 and U+009F are C1 controls that the code page does not hold (its bytes 0x80 and
    // 0x9F are the euro sign and Y with diaeresis).
    EXPECT_EQ(EncodeCp1252(QString::fromUtf16(u"a\u0080b\u009Fc\u0100\u4E2D")), QByteArray("a?b?c??"));
    EXPECT_FALSE(FitsCp1252(QString(QChar(0x0100))));
    // A surrogate pair is one character and gets one "?"; a lone surrogate gets one too.
    EXPECT_EQ(EncodeCp1252(QString::fromUtf16(u"x\U0001F600y")), QByteArray("x?y"));
    EXPECT_EQ(EncodeCp1252(QString(QChar(0xD800)) + QLatin1Char('z')), QByteArray("?z"));
    EXPECT_EQ(EncodeCp1252(QString(QChar(0xDC00)) + QChar(0xD800)), QByteArray("??"));
}

// The editor's load and save convert between file bytes and its UTF-8 buffer directly; they must
// give exactly what the conversions through a QString give.
TEST(Cp1252Utf8, EveryByteGivesTheUtf8OfItsCharacterAndComesBack) {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    all = all.repeated(3);
    QByteArray utf8("kept ");
    AppendCp1252AsUtf8(all.constData(), all.size(), utf8);
    EXPECT_EQ(utf8, "kept " + DecodeCp1252(all).toUtf8());
    QByteArray back("kept ");
    AppendUtf8AsCp1252(utf8.constData() + 5, utf8.size() - 5, back);
    EXPECT_EQ(back, "kept " + all);
}

TEST(Cp1252Utf8, CharactersOutsideAndBrokenSequencesBecomeQuestionMarks) {
    const QString text = QStringLiteral("a") + QChar(0x0416) + QChar(0x4E2D) + QStringLiteral("b") +
                         QString::fromUcs4(U"\U0001F600") + QChar(0x20AC);
    const QByteArray utf8 = text.toUtf8();
    QByteArray bytes;
    AppendUtf8AsCp1252(utf8.constData(), utf8.size(), bytes);
    EXPECT_EQ(bytes, EncodeCp1252(text));
    EXPECT_EQ(bytes, QByteArray("a??b?\x80"));
    // A lone continuation byte, a sequence cut short by the end, a lead byte before ASCII.
    const QByteArray broken("x\x80y\xC3", 4);
    bytes.clear();
    AppendUtf8AsCp1252(broken.constData(), broken.size(), bytes);
    EXPECT_EQ(bytes, QByteArray("x?y?"));
    bytes.clear();
    AppendUtf8AsCp1252("\xE2\x82z", 3, bytes); // a three-byte lead and one continuation: two strays
    EXPECT_EQ(bytes, QByteArray("??z"));
}

// Before a save, the first character that would become "?" is named with its line.
TEST(Cp1252Unencodable, FindsTheFirstCharacterWithItsLineInEveryBreakStyle) {
    EXPECT_FALSE(FindFirstUnencodableUtf8("", 0).found());
    // Every character of the code page fits, the Windows ones and the five undefined bytes too.
    QByteArray all;
    for (int b = 1; b < 256; ++b)
        all.append(static_cast<char>(b));
    const QByteArray fits = DecodeCp1252(all).toUtf8().repeated(3);
    EXPECT_FALSE(FindFirstUnencodableUtf8(fits.constData(), fits.size()).found());

    const QString text = QStringLiteral("a: 1;\r\nb\u00E9\u20AC\rc\nline 3 \u0416 x \u4E2D\r\n");
    const QByteArray utf8 = text.toUtf8();
    const UnencodableCharacter first = FindFirstUnencodableUtf8(utf8.constData(), utf8.size());
    ASSERT_TRUE(first.found());
    EXPECT_EQ(first.character, char32_t(0x0416));
    EXPECT_EQ(first.line, 3); // CR LF, a CR alone and an LF before it
    EXPECT_EQ(first.offset, utf8.indexOf("\xD0\x96"));
    EXPECT_EQ(first.length, 2);

    // A character outside the Basic Multilingual Plane, after more than eight ASCII bytes.
    const QByteArray wide = QString::fromUcs4(U"0123456789abcdef\n\n\U0001F600!").toUtf8();
    const UnencodableCharacter emoji = FindFirstUnencodableUtf8(wide.constData(), wide.size());
    EXPECT_EQ(emoji.character, char32_t(0x1F600));
    EXPECT_EQ(emoji.line, 2);
    EXPECT_EQ(emoji.offset, 18);
    EXPECT_EQ(emoji.length, 4);

    // C1 controls the code page does not hold, and a stray byte.
    const QByteArray c1 = QString(QChar(0x0080)).toUtf8();
    EXPECT_EQ(FindFirstUnencodableUtf8(c1.constData(), c1.size()).character, char32_t(0x0080));
    const UnencodableCharacter stray = FindFirstUnencodableUtf8("ab\xC3", 3);
    EXPECT_EQ(stray.offset, 2);
    EXPECT_EQ(stray.character, char32_t(0xFFFD));
}
