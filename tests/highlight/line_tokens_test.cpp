// What each character of a line is, over the line grammar's worked examples and over generated
// lines whose parts are known; and the fold levels of nested tables, closing lines and lines
// without markers.

#include "highlight/line_tokens.h"
#include "tree/line_grammar.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QVector>

#include <random>
#include <string>

namespace {

// One letter per byte: . plain, m marker, k key, : colon, s string, n number, b boolean, { brace.
std::string Kinds(QByteArrayView line) {
    QVector<TokenKind> kinds(line.size(), TokenKind::Number);
    ClassifyLine(line, kinds.data());
    static const char letters[] = {'.', 'm', 'k', ':', 's', 'n', 'b', '{'};
    std::string out;
    for (TokenKind kind : kinds)
        out += letters[static_cast<int>(kind)];
    return out;
}

} // namespace

TEST(LineTokens, WorkedExamplesOfTheGrammar) {
    EXPECT_EQ(Kinds("| alpha: {"), "mmkkkkk::{");
    EXPECT_EQ(Kinds("| | speed: 2.5;"), "mmmmkkkkk::nnnn");
    EXPECT_EQ(Kinds("| | label: \"Main gate\";"), "mmmmkkkkk::ssssssssssss");
    EXPECT_EQ(Kinds("| | empty: \"\";"), "mmmmkkkkk::sss");
    EXPECT_EQ(Kinds("| | }"), "mmmm{");
    EXPECT_EQ(Kinds("| }"), "mm{");
    EXPECT_EQ(Kinds("  Plain words here  "), "....................");
    EXPECT_EQ(Kinds("    | | speed: 2.5;"), "....mmmmkkkkk::nnnn");
    // A second blank ends the run of markers: what follows is the key, odd bar and all.
    EXPECT_EQ(Kinds("|  | gamma: 3;"), "mmkkkkkkkk::nn");
    EXPECT_EQ(Kinds("| |  delta: 4;"), "mmmmkkkkkk::nn");
    EXPECT_EQ(Kinds("| | name : 5;"), "mmmmkkkkk::nn");
    EXPECT_EQ(Kinds("| | path: \"c:\\dir\";"), "mmmmkkkk::sssssssss");
    EXPECT_EQ(Kinds("| | theta {"), "mmmmkkkkkk{");
    // The last blank is trimmed away before markers are counted.
    EXPECT_EQ(Kinds("| | | "), "mmmmk.");
    EXPECT_EQ(Kinds("| | s: \"{a;b}\";"), "mmmmk::ssssssss");
    // A value without its semicolon is still coloured as the value it is.
    EXPECT_EQ(Kinds("| | flag: true"), "mmmmkkkk::bbbb");
}

TEST(LineTokens, StringsRunFromTheFirstQuoteToTheLast) {
    EXPECT_EQ(Kinds("| note: \"a: say \"hi\"; go\";"), "mmkkkk::ssssssssssssssssss");
    // An unclosed string runs to the end of the value.
    EXPECT_EQ(Kinds("| n: \"abc;"), "mmk::sssss");
    // Bytes of a character outside ASCII take the style of the character.
    EXPECT_EQ(Kinds("| n: \"Caf\xc3\xa9\";"), "mmk::ssssssss");
    EXPECT_EQ(Kinds("| k\xc3\xa9y: 1;"), "mmkkkk::nn");
}

TEST(LineTokens, NumbersAndBooleansAreWholeValuesOnly) {
    for (const char *number : {"0", "12", "-9.81", "+3", ".5", "2.", "1e-05", "4.0E+3"}) {
        const std::string line = std::string("| v: ") + number + ";";
        EXPECT_EQ(Kinds(QByteArrayView(line.data(), line.size())),
                  "mmk::" + std::string(strlen(number) + 1, 'n'))
            << number;
    }
    for (const char *word : {"1.2.3", "12abc", "e5", "-", ".", "1e", "True", "truex", "nan", "0x1F"}) {
        const std::string line = std::string("| v: ") + word + ";";
        EXPECT_EQ(Kinds(QByteArrayView(line.data(), line.size())),
                  "mmk::" + std::string(strlen(word) + 1, '.'))
            << word;
    }
    EXPECT_EQ(Kinds("| v: false;"), "mmk::bbbbbb");
}

TEST(LineTokens, LinesWithoutMarkersStayPlain) {
    EXPECT_EQ(Kinds("RBF file: unit.rbf"), std::string(18, '.'));
    EXPECT_EQ(Kinds("{"), ".");
    EXPECT_EQ(Kinds("}"), ".");
    EXPECT_EQ(Kinds("|\tx: 1;"), ".......");
    EXPECT_EQ(Kinds("x | y: 2;"), ".........");
    EXPECT_EQ(Kinds(""), "");
}

// Generated lines made of known parts: blanks, markers, key, colon, value, semicolon, blanks.
TEST(LineTokens, GeneratedLinesAgreeWithTheirPartsAndWithTheGrammar) {
    std::mt19937 random(20261209);
    const auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const char *keyChars = "abcXYZ_09 .-\xc3\xa9";
    struct Value {
        const char *text;
        char kind;
    };
    const Value values[] = {{"\"text\"", 's'}, {"\"\"", 's'},   {"\"a \"b\" c\"", 's'},
                            {"42", 'n'},       {"-0.125", 'n'}, {"3e7", 'n'},
                            {"true", 'b'},     {"false", 'b'},  {"word", '.'},
                            {"art\\x", '.'},   {"{", '{'}};
    for (int i = 0; i < 5000; ++i) {
        std::string line, want;
        const int lead = pick(3);
        line += std::string(lead, pick(2) ? ' ' : '\t');
        want += std::string(lead, '.');
        const int depth = 1 + pick(5);
        for (int d = 0; d < depth; ++d) {
            line += "| ";
            want += "mm";
        }
        std::string key;
        const int keyLength = 1 + pick(8);
        while (static_cast<int>(key.size()) < keyLength) {
            const int c = pick(static_cast<int>(strlen(keyChars)) - 1);
            if (static_cast<unsigned char>(keyChars[c]) == 0xc3)
                key += "\xc3\xa9";
            else if (static_cast<unsigned char>(keyChars[c]) != 0xa9)
                key += keyChars[c];
        }
        if (key[0] == ' ')
            key[0] = 'k'; // a blank there would make another marker of "| "
        line += key + ":";
        want += std::string(key.size(), 'k') + ":";
        const Value &value = values[pick(static_cast<int>(std::size(values)))];
        line += " ";
        want += ":";
        line += value.text;
        want += std::string(strlen(value.text), value.kind);
        const bool isValue = value.kind != '{';
        if (isValue) {
            line += ";";
            want += value.kind;
        }
        const int trail = pick(3);
        line += std::string(trail, ' ');
        want += std::string(trail, '.');
        const QByteArrayView view(line.data(), static_cast<qsizetype>(line.size()));
        ASSERT_EQ(Kinds(view), want) << "[" << line << "]";
        ASSERT_EQ(LineDepthUtf8(view), depth) << line;
        const LineFold fold = FoldOfLine(view, 7);
        ASSERT_EQ(fold.level, depth) << line;
        ASSERT_EQ(fold.header, !isValue) << line;
        ASSERT_EQ(fold.levelAfter, isValue ? depth : depth + 1) << line;
    }
}

namespace {

struct Fold {
    int level;
    bool header;
    bool operator==(const Fold &o) const { return level == o.level && header == o.header; }
};

std::vector<Fold> FoldText(const std::vector<const char *> &lines) {
    std::vector<Fold> folds;
    int before = 0;
    for (const char *line : lines) {
        const LineFold fold = FoldOfLine(line, before);
        before = fold.levelAfter;
        folds.push_back({fold.level, fold.header});
    }
    return folds;
}

} // namespace

TEST(LineFolds, NestedTablesFoldWithTheirClosingLines) {
    const std::vector<Fold> folds = FoldText({
        "RBF file: unit.rbf", // 0
        "{",                  // 1
        "| a: 1;",            // 2
        "| t: {",             // 3 opens a fold
        "| | b: 2;",          // 4
        "| | u: {",           // 5 opens a fold inside it
        "| | | c: \"x\";",    // 6
        "| | }",              // 7 closes u: folds away with c
        "| | d: 3;",          // 8
        "| }",                // 9 closes t
        "| z: true;",         // 10
        "}",                  // 11
    });
    const std::vector<Fold> want = {{0, false}, {0, false}, {1, false}, {1, true},  {2, false}, {2, true},
                                    {3, false}, {3, false}, {2, false}, {2, false}, {1, false}, {1, false}};
    EXPECT_EQ(folds, want);
}

TEST(LineFolds, UnmarkedLinesStayInsideTheTableAroundThem) {
    const std::vector<Fold> folds = FoldText({
        "| t: {",       // 0
        "",             // 1 right after a table line: one of its members
        "| | b;",       // 2
        "   ",          // 3 between members
        "| | }",        // 4 closing line without marker before it... a closing line of depth 2
        "| }",          // 5
        "note",         // 6 after the last closing line: the level of the top tables' members
        "| flag: true", // 7 a table line by the grammar, though it has no members
        "| | | ",       // 8 three bars: depth 2, its key is a bar: a table line
    });
    const std::vector<Fold> want = {{1, true},  {2, false}, {2, false}, {2, false}, {3, false},
                                    {2, false}, {1, false}, {1, true},  {2, true}};
    EXPECT_EQ(folds, want);
}
