// Reading text: what grindle writes, what people edit by hand, and what is wrong with bad text.
#include "text_reader.h"
#include "text_writer.h"

#include <gtest/gtest.h>

using namespace grindle;

namespace {

Value read(std::string_view text) {
    Value root;
    const std::string problem = readText(text, root);
    EXPECT_EQ(problem, "") << text;
    return root;
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

TEST(TextReader, ErrorsNameTheLine) {
    const struct {
        const char *text;
        const char *expected;
    } cases[] = {
        {"", "line 1: the text has no \"{\""},
        {"RBF file: a\nRBF file: b\n{\n}\n", "line 2: expected the heading"},
        {"hello\n{\n}\n", "line 1: expected the heading"},
        {"{\n| a: 1\n}\n", "line 2: missing \";\""},
        {"{\n| a 1;\n}\n", "line 2: expected \"key: value;\""},
        {"{\n| : 1;\n}\n", "line 2: empty key"},
        {"{\n| a\tb: 1;\n}\n", "line 2: control character in key"},
        {"{\n| a: ;\n}\n", "line 2: missing value"},
        {"{\n| a: Marine;\n}\n", "line 2: not a number"},
        {"{\n| a: \"x;\n}\n", "line 2: string without closing"},
        {"{\n\n| a: {\n| | b: 1;\n", "line 3: table \"a\" is never closed"},
        {"x\r\n", "line 1: expected the heading"},
        {"{\n| a: 1;\n", "line 1: the \"{\" here is never closed"},
        {"{\n}\n| a: 1;\n", "line 3: text after the closing \"}\""},
        {"{\n| a: 1;\n}\n}\n", "line 4: text after the closing \"}\""},
    };
    for (const auto &c : cases) {
        Value root;
        const std::string problem = readText(c.text, root);
        EXPECT_EQ(problem.rfind(c.expected, 0), 0u) << "text: " << c.text << "\nproblem: " << problem;
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
    EXPECT_NE(readText(text + "b: {\n}\n" + closing + "}\n", root).find("nested deeper"), std::string::npos);
    std::string bomb = "{\n";
    for (int i = 0; i < 1000000; ++i)
        bomb += "a:{\n";
    EXPECT_NE(readText(bomb, root).find("line 258: tables nested deeper"), std::string::npos);
}
