// Reading text: what grindle writes, what people edit by hand, and what is wrong with bad text.
#include "text_reader.h"
#include "text_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace grindle;

namespace {

Value read(std::string_view text) {
    Value root;
    const std::string problem = readText(text, root);
    EXPECT_EQ(problem, "") << text;
    return root;
}

// The same text read from a file in pieces of `piece` bytes, as a conversion reads it.
std::string problemReadInPieces(const std::string &text, std::size_t piece) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("grindle-text-pieces-" + std::to_string(static_cast<long>(getpid())) + ".txt");
    std::ofstream(path, std::ios::binary) << text;
    InputFile file;
    EXPECT_EQ(file.open(path), "");
    Value root;
    TreeBuilder builder(root);
    const std::string problem = readText(file, builder, piece);
    std::filesystem::remove(path);
    return problem;
}

Value sampleTree() {
    Value root;
    root.members.push_back({"name", Value::makeString("Marine")});
    Value weapons;
    Value primary;
    primary.members.push_back({"damage", Value::makeInt(12)});
    primary.members.push_back({"max range", Value::makeFloat(4.5f)});
    weapons.members.push_back({"primary", primary});
    weapons.members.push_back({"empty", Value::makeTable()});
    root.members.push_back({"weapons", weapons});
    root.members.push_back({"visible", Value::makeBool(true)});
    return root;
}

} // namespace

TEST(TextReader, ReadsWhatTheWriterWrites) {
    const Value tree = sampleTree();
    const std::string text = writeText(tree, "unit.rbf");
    EXPECT_EQ(text, "RBF file: unit.rbf\r\n{\r\n| name: \"Marine\";\r\n| weapons: {\r\n| | primary: {\r\n"
                    "| | | damage: 12;\r\n| | | max range: 4.5;\r\n| | }\r\n| | empty: {\r\n| | }\r\n| }\r\n"
                    "| visible: true;\r\n}\r\n");
    EXPECT_EQ(read(text), tree);
}

TEST(TextReader, AcceptsHandEditedLayouts) {
    const Value tree = sampleTree();
    // LF only, no heading, no markers, tabs and extra blanks everywhere, blank lines.
    EXPECT_EQ(read("{\nname:\"Marine\";\n  weapons :{\n\tprimary: {\ndamage :  12 ;\n  max range:4.5;\n}\n"
                   "empty: {\n}\n}\n\n visible : true ;\n}"),
              tree);
    // Markers with extra blanks between them, CR LF, a trailing blank line.
    EXPECT_EQ(
        read(
            "RBF file: other name.rbf\r\n  {\r\n|  name: \"Marine\";\r\n|   weapons: {\r\n| |  primary: {\r\n"
            "| | |   damage: 12;\r\n|\t| | max range: 4.50;\r\n| |   }\r\n| | empty: {\r\n| | }\r\n"
            "|    }\r\n| visible: TRUE;\r\n}\r\n\r\n"),
        tree);
}

TEST(TextReader, KeysKeepInnerBlanksAndBarsThatAreNoMarkers) {
    const Value root = read("{\n| |x: 1;\n| | a  b : 2;\n| ||: 3;\n}\n");
    ASSERT_EQ(root.members.size(), 3u);
    EXPECT_EQ(root.members[0].key, "|x");
    EXPECT_EQ(root.members[1].key, "a  b");
    EXPECT_EQ(root.members[2].key, "||");
}

// Every kind of refusal names the line and the column (both from 1) and says what was expected
// there instead, in one line.
TEST(TextReader, ErrorsNameLineColumnAndWhatWasExpected) {
    const struct {
        const char *text;
        const char *expected;
    } cases[] = {
        {"", "line 1, column 1: expected \"{\", found the end of the text"},
        {"RBF file: a\n", "line 1, column 12: expected \"{\", found the end of the text"},
        {"RBF file: a\nRBF file: b\n{\n}\n",
         "line 2, column 1: expected the heading \"RBF file: NAME\" or \"{\", found \"RBF file: b\""},
        {"  hello\n{\n}\n",
         "line 1, column 3: expected the heading \"RBF file: NAME\" or \"{\", found \"hello\""},
        {"x\r\n", "line 1, column 1: expected the heading \"RBF file: NAME\" or \"{\", found \"x\""},
        {"{\n| a: 1\n}\n", "line 2, column 7: expected \";\" at the end of the value of \"a\""},
        {"{\r\n| | a: 1 \r\n}\r\n", "line 2, column 9: expected \";\" at the end of the value of \"a\""},
        {"{\n| a:\n}\n",
         "line 2, column 5: expected a value and \";\" after \":\" of \"a\", found the end of the line"},
        {"{\n| a 1;\n}\n", "line 2, column 3: expected \"key: value;\", \"key: {\" or \"}\", found \"a 1;\""},
        {"{\n| : 1;\n}\n", "line 2, column 3: expected a key before \":\", found none"},
        {"{\n| a\tb: 1;\n}\n", "line 2, column 4: expected a key without control characters, found \"a?b\""},
        {"{\n| a: ;\n}\n", "line 2, column 6: expected a value before \";\""},
        {"{\n| a: Marine;\n}\n",
         "line 2, column 6: expected a number, true, false or a \"string\", found \"Marine\""},
        {"{\n| a: \"x;\n}\n", "line 2, column 6: expected '\"' at the end of the string, found \"\"x\""},
        {"{\n| a: \"x\ry\";\n}\n",
         "line 2, column 6: expected a string without line breaks, found \"\"x?y\"\""},
        {"{\n| a: 3000000000;\n}\n",
         "line 2, column 6: expected an integer within the 32-bit range, found \"3000000000\""},
        {"{\n| a: 1e39;\n}\n", "line 2, column 6: expected a float within the 32-bit range, found \"1e39\""},
        {"{\n| a:  nan ;\n}\n", "line 2, column 7: expected a number, found NaN (not supported)"},
        {"{\n\n| a: {\n| | b: 1;\n",
         "line 3, column 6: expected \"}\" to close table \"a\", found the end of the text"},
        {" {\n| a: 1;\n",
         "line 1, column 2: expected \"}\" to close the \"{\" here, found the end of the text"},
        {"{\n}\n| a: 1;\n",
         "line 3, column 1: expected nothing after the closing \"}\" of the file, found \"| a: 1;\""},
        {"{\n| a: 1;\n}\n}\n",
         "line 4, column 1: expected nothing after the closing \"}\" of the file, found \"}\""},
    };
    for (const auto &c : cases) {
        Value root;
        EXPECT_EQ(readText(c.text, root), c.expected) << "text: " << c.text;
        // Lines split across pieces, CR and LF in different ones, are counted and measured alike.
        for (const std::size_t piece : {1, 3})
            EXPECT_EQ(problemReadInPieces(c.text, piece), c.expected)
                << "text: " << c.text << ", piece " << piece;
    }
}

TEST(TextReader, NestingIsBounded) {
    std::string text = "{\n";
    for (int i = 0; i < kMaxDepth; ++i)
        text += "a: {\n";
    std::string closing;
    for (int i = 0; i < kMaxDepth; ++i)
        closing += "}\n";
    Value root;
    EXPECT_EQ(readText(text + closing + "}\n", root), "");
    // One level more, and a depth far beyond any stack.
    EXPECT_EQ(readText(text + "b: {\n}\n" + closing + "}\n", root),
              "line 258, column 1: expected at most 256 nested tables, found table \"b\" one level deeper");
    std::string bomb = "{\n";
    for (int i = 0; i < 1000000; ++i)
        bomb += "a:{\n";
    EXPECT_EQ(readText(bomb, root).rfind("line 258, column 1: expected at most 256 nested tables", 0), 0u);
}

// Markers, colons and control characters are looked for several bytes at a time: wherever in a
// word the first of them stands, the key and the column must be those that the rules give.
TEST(TextReader, KeysEndWhereTheRulesSayAtEveryPositionInAWord) {
    for (std::size_t depth = 0; depth <= 9; ++depth) {
        const std::string markers = [depth] {
            std::string m;
            for (std::size_t i = 0; i < depth; ++i)
                m += "| ";
            return m;
        }();
        for (std::size_t size = 1; size <= 19; ++size) {
            const std::string plain(size, 'k');
            Value root = read("{\n" + markers + plain + ": 1;\n" + markers + "|" + plain + ": 2;\n}\n");
            ASSERT_EQ(root.members.size(), 2u);
            EXPECT_EQ(root.members[0].key, plain) << depth;
            EXPECT_EQ(root.members[1].key, "|" + plain) << depth;
            for (std::size_t at = 1; at + 1 < size; ++at) {
                for (const char control : {'\x01', '\t', '\x1F'}) {
                    std::string key = plain;
                    key[at] = control;
                    Value ignored;
                    const std::string problem = readText("{\n" + markers + key + ": 1;\n}\n", ignored);
                    const std::string column = std::to_string(markers.size() + at + 1);
                    EXPECT_EQ(
                        problem.rfind("line 2, column " + column + ": expected a key without control", 0), 0u)
                        << depth << " " << size << " " << at << ": " << problem;
                }
            }
            // A ':' further on, and blanks after the key, which are not part of it.
            root = read("{\n" + markers + plain + " \t: \"a:b\";\n}\n");
            EXPECT_EQ(root.members.at(0).key, plain);
        }
    }
}
