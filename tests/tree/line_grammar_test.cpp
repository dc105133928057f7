// The line grammar over the worked examples of converted-text lines, and the
// blank rule that every operation trims with.

#include "tree/line_grammar.h"

#include <gtest/gtest.h>

#include <random>

namespace {

struct Expected {
    int depth;
    QString key; // LineKey
    bool isValue;
    QString splitKey;
    QString splitValue;
};

void ExpectLine(const QString &line, const Expected &e) {
    SCOPED_TRACE(("line: [" + line + "]").toStdString());
    EXPECT_EQ(LineDepth(line), e.depth);
    EXPECT_EQ(LineKey(line), e.key);
    EXPECT_EQ(IsValueLine(line), e.isValue);
    const KeyValue kv = SplitKeyValue(line);
    EXPECT_EQ(kv.key, e.splitKey);
    EXPECT_EQ(kv.value, e.splitValue);
}

QString S(const char *text) {
    return QString::fromLatin1(text);
}

} // namespace

// Examples 1, 5, 6, 13, 16: table lines, closing lines and a table line without colon.
TEST(LineGrammarExamples, TablesAndClosingLines) {
    ExpectLine(S("| alpha: {"), {1, S("alpha"), false, S("alpha"), S("")});
    ExpectLine(S("| | }"), {2, S(""), false, S(""), S("")});
    ExpectLine(S("| }"), {1, S(""), false, S(""), S("")});
    // No colon: the brace stays in the node text, and the split finds no key.
    ExpectLine(S("| | theta {"), {2, S("theta {"), false, S(""), S("theta")});
    // A value without its semicolon makes a table line.
    ExpectLine(S("| | flag: true"), {2, S("flag"), false, S("flag"), S("true")});
}

// Examples 2, 3, 4, 11, 12, 15: value lines and what the split keeps of their values.
TEST(LineGrammarExamples, ValueLines) {
    ExpectLine(S("| | speed: 2.5;"), {2, S("speed"), true, S("speed"), S("2.5")});
    ExpectLine(S("| | label: \"Main gate\";"), {2, S("label"), true, S("label"), S("Main gate")});
    ExpectLine(S("| | empty: \"\";"), {2, S("empty"), true, S("empty"), S("")});
    // A blank before the colon stays in both keys, so they still match.
    ExpectLine(S("| | name : 5;"), {2, S("name "), true, S("name "), S("5")});
    // Only the first colon splits.
    ExpectLine(S("| | path: \"c:\\dir\";"), {2, S("path"), true, S("path"), S("c:\\dir")});
    // Braces, quotes and semicolons inside the value go too.
    ExpectLine(S("| | s: \"{a;b}\";"), {2, S("s"), true, S("s"), S("ab")});
}

// Examples 8, 9, 10, 14: blanks around and between markers.
TEST(LineGrammarExamples, BlanksAroundMarkers) {
    ExpectLine(S("    | | speed: 2.5;"), {2, S("speed"), true, S("speed"), S("2.5")});
    // A second blank between markers ends the run of markers; the node text keeps a blank
    // that the split key does not, which is why tree edits of such a node find no key.
    ExpectLine(S("|  | gamma: 3;"), {1, S(" gamma"), true, S("gamma"), S("3")});
    ExpectLine(S("| |  delta: 4;"), {2, S(" delta"), true, S("delta"), S("4")});
    // Three markers and nothing else: the depth count trims the last blank away, the
    // split removes all three markers before it trims.
    ExpectLine(S("| | | "), {2, S("|"), false, S(""), S("")});
}

// Example 7: a line without markers.
TEST(LineGrammarExamples, PlainLine) {
    ExpectLine(S("  Plain words here  "), {0, S("Plain words here"), false, S(""), S("Plain words here")});
}

// Example 17 and the rest of the index range.
TEST(LineGrammarExamples, EditorLineOutsideTheRangeIsEmpty) {
    const QStringList lines = {S("first"), S("second")};
    EXPECT_EQ(GetEditorLine(lines, -1), QString());
    EXPECT_EQ(GetEditorLine(lines, 2), QString());
    EXPECT_EQ(GetEditorLine(lines, 0), S("first"));
    EXPECT_EQ(GetEditorLine(lines, 1), S("second"));
    EXPECT_EQ(GetEditorLine(QStringList(), 0), QString());
}

TEST(LineGrammar, MarkerNeedsABlankAfterTheBar) {
    EXPECT_EQ(LineDepth(S("|\tx: 1;")), 0);
    EXPECT_EQ(LineDepth(S("||x")), 0);
    EXPECT_EQ(LineDepth(S("| |x")), 1);
    EXPECT_EQ(LineDepth(S("|")), 0);
    EXPECT_EQ(LineDepth(S("| ")), 0); // trimmed to a bare bar
    EXPECT_EQ(LineDepth(S("")), 0);
    EXPECT_EQ(LineDepth(S("x | y")), 0); // markers count only at the start
}

TEST(LineGrammar, MarkersAreRemovedAnywhereWithoutRescanning) {
    // Removing "| " from "||  x" leaves "| x": the pieces that come together are not looked at again.
    EXPECT_EQ(LineKey(S("||  x")), S("| x"));
    EXPECT_EQ(LineKey(S("| a| b: 1;")), S("ab"));
    EXPECT_EQ(SplitKeyValue(S("| a| b: c| d;")).key, S("ab"));
    EXPECT_EQ(SplitKeyValue(S("| a| b: c| d;")).value, S("cd"));
}

TEST(LineGrammar, KeyIsCutAtColonThenAtBrace) {
    EXPECT_EQ(LineKey(S("| a}b: c")), S("a"));
    EXPECT_EQ(LineKey(S("| ab: c}")), S("ab"));
    EXPECT_EQ(LineKey(S("| :x;")), S(""));
}

TEST(LineGrammar, ValueLineLooksAtTheLastCharacterAfterTrimming) {
    EXPECT_TRUE(IsValueLine(S("x;  \t")));
    EXPECT_TRUE(IsValueLine(S(";")));
    EXPECT_FALSE(IsValueLine(S("")));
    EXPECT_FALSE(IsValueLine(S(" \t ")));
    EXPECT_FALSE(IsValueLine(S("x; y")));
}

// The blank rule: code 32 and below, nothing else.
TEST(BlankRule, ControlCharactersAreBlanks) {
    for (ushort code = 0; code <= 32; ++code) {
        SCOPED_TRACE(code);
        EXPECT_TRUE(IsBlankChar(QChar(code)));
        const QString pad(1, QChar(code));
        EXPECT_EQ(LineDepth(pad + S("| | a: 1;") + pad), 2);
        EXPECT_TRUE(IsValueLine(S("a: 1;") + pad));
        EXPECT_EQ(TrimBlanks(pad + S("x") + pad), S("x"));
    }
    EXPECT_EQ(TrimBlanks(S("\t\x01 \x1f")), QString());
}

TEST(BlankRule, CharactersFrom127OnAreNeverBlanks) {
    // U+00A0 (no-break space, byte 0xA0) and U+0085 are white space to Qt, not to the grammar.
    for (ushort code :
         {ushort(127), ushort(0x80), ushort(0x85), ushort(0xA0), ushort(0xFF), ushort(0x2003)}) {
        SCOPED_TRACE(code);
        const QChar c(code);
        EXPECT_FALSE(IsBlankChar(c));
        EXPECT_EQ(LineDepth(QString(c) + S("| a: 1;")), 0);
        EXPECT_FALSE(IsValueLine(S("a: 1;") + c));
        EXPECT_EQ(TrimBlanks(QString(c) + S("x")), QString(c) + S("x"));
    }
    const QString nbsp = QString(QChar(0xA0)) + S("x") + QChar(0x85);
    EXPECT_NE(TrimBlanks(nbsp), nbsp.trimmed());
    EXPECT_EQ(LineKey(S("| ") + nbsp), nbsp);
    EXPECT_EQ(SplitKeyValue(S("| k:") + nbsp).value, nbsp);
}

namespace {

// The operations as literal sequences of whole-string steps, to compare against.
QString ReferenceLineKey(const QString &line) {
    QString text = TrimBlanks(line);
    text.remove(QStringLiteral("| "));
    text.truncate(text.indexOf(QLatin1Char(':')) >= 0 ? text.indexOf(QLatin1Char(':')) : text.size());
    text.truncate(text.indexOf(QLatin1Char('}')) >= 0 ? text.indexOf(QLatin1Char('}')) : text.size());
    return text;
}

int ReferenceLineDepth(const QString &line) {
    QString text = TrimBlanks(line);
    int depth = 0;
    while (text.startsWith(QStringLiteral("| "))) {
        ++depth;
        text.remove(0, 2);
    }
    return depth;
}

} // namespace

TEST(LineGrammar, AgreesWithTheStepByStepDefinitionOnRandomLines) {
    const QString alphabet = QStringLiteral("| | :}{;\"a\t");
    std::mt19937 rng(99);
    std::uniform_int_distribution<int> length(0, 14);
    std::uniform_int_distribution<int> pick(0, static_cast<int>(alphabet.size()) - 1);
    for (int round = 0; round < 20000; ++round) {
        QString line;
        for (int n = length(rng); n > 0; --n)
            line += alphabet.at(pick(rng));
        ASSERT_EQ(LineKey(line), ReferenceLineKey(line)) << line.toStdString();
        ASSERT_EQ(LineDepth(line), ReferenceLineDepth(line)) << line.toStdString();
        ASSERT_EQ(IsValueLine(line), TrimBlanks(line).endsWith(QLatin1Char(';'))) << line.toStdString();
    }
}

// The UTF-8 forms read the editor's buffer: on any line they give what the QString forms give
// for the decoded line, characters outside ASCII (and blanks among them) included.
TEST(LineGrammarUtf8, AgreesWithTheStringFormsOnRandomLines) {
    const QString alphabet = QStringLiteral("| | :}{;\"a\t") + QChar(0xE9) + QChar(0x20AC) + QChar(0xA0) +
                             QChar(0x85) + QChar(0x7C) + QChar(0x1F) + QChar(0);
    std::mt19937 rng(4711);
    std::uniform_int_distribution<int> length(0, 16);
    std::uniform_int_distribution<int> pick(0, static_cast<int>(alphabet.size()) - 1);
    QByteArray key("left over from the line before");
    for (int round = 0; round < 20000; ++round) {
        QString line;
        for (int n = length(rng); n > 0; --n)
            line += alphabet.at(pick(rng));
        const QByteArray utf8 = line.toUtf8();
        ASSERT_EQ(LineDepthUtf8(utf8), LineDepth(line)) << utf8.toStdString();
        ASSERT_EQ(IsValueLineUtf8(utf8), IsValueLine(line)) << utf8.toStdString();
        LineKeyUtf8(utf8, key);
        ASSERT_EQ(QString::fromUtf8(key), LineKey(line)) << utf8.toStdString();
    }
}

TEST(LineGrammarUtf8, WorkedExamples) {
    QByteArray key;
    LineKeyUtf8("  | | Caf\xC3\xA9 | x: {", key);
    EXPECT_EQ(QString::fromUtf8(key), QString::fromUtf8("Caf\xC3\xA9 x"));
    EXPECT_EQ(LineDepthUtf8("  | | Caf\xC3\xA9: 1;\r"), 2);
    EXPECT_TRUE(IsValueLineUtf8("| a: \xE2\x82\xAC;  "));
    EXPECT_FALSE(IsValueLineUtf8("| a: ;\xC2\xA0")); // U+00A0 is no blank
    LineKeyUtf8("| | }", key);
    EXPECT_TRUE(key.isEmpty());
}
