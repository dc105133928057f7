// Whole files through both forms: the samples shipped with the program and generated texts.
#include "file_io.h"
#include "generator.h"
#include "rbf_reader.h"
#include "rbf_writer.h"
#include "text_reader.h"
#include "text_writer.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;
using namespace grindle;

namespace {

// text -> rbf -> text must give the same bytes, and rbf -> text -> rbf too.
void expectRoundTrips(const std::string &text, const std::string &rbfName) {
    Value fromText;
    ASSERT_EQ(readText(text, fromText), "");
    const std::string rbf = writeRbf(fromText);
    Value fromRbf;
    ASSERT_EQ(readRbf(rbf, fromRbf), "");
    EXPECT_EQ(fromRbf, fromText);
    const std::string textAgain = writeText(fromRbf, rbfName);
    EXPECT_TRUE(textAgain == text) << "text differs after a round trip through RBF";
    Value reread;
    ASSERT_EQ(readText(textAgain, reread), "");
    EXPECT_TRUE(writeRbf(reread) == rbf) << "RBF differs after a round trip through text";
}

int maxDepth(const Value &table) {
    int deepest = 0;
    for (const Member &m : table.members) {
        if (m.value.type == ValueType::Table)
            deepest = std::max(deepest, 1 + maxDepth(m.value));
    }
    return deepest;
}

void countTypes(const Value &table, int (&counts)[6]) {
    for (const Member &m : table.members) {
        ++counts[static_cast<int>(m.value.type)];
        if (m.value.type == ValueType::Table)
            countTypes(m.value, counts);
    }
}

} // namespace

TEST(RoundTrip, Samples) {
    int seen = 0;
    for (const auto &entry : fs::directory_iterator(fs::path(KESTREL_SOURCE_DIR) / "samples")) {
        if (entry.path().extension() != ".txt")
            continue;
        SCOPED_TRACE(entry.path().string());
        std::string text;
        ASSERT_EQ(readWholeFile(entry.path(), text), "");
        fs::path rbf = entry.path().filename();
        expectRoundTrips(text, rbf.replace_extension(".rbf").string());
        ++seen;
    }
    EXPECT_GE(seen, 3);
}

TEST(RoundTrip, GeneratedText) {
    const std::string text = generateText(30000, "big.rbf");
    const auto lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    EXPECT_NEAR(static_cast<double>(lines), 30000.0, 10.0);
    EXPECT_NEAR(static_cast<double>(text.size()) / static_cast<double>(lines), 20.0, 4.0);
    expectRoundTrips(text, "big.rbf");
}

TEST(RoundTrip, GeneratorIsDeterministicAndVaried) {
    EXPECT_EQ(generateText(5000, "a.rbf"), generateText(5000, "a.rbf"));
    const Value tree = generateTree(5000);
    int counts[6] = {};
    countTypes(tree, counts);
    for (ValueType t :
         {ValueType::Bool, ValueType::Int, ValueType::Float, ValueType::String, ValueType::Table})
        EXPECT_GT(counts[static_cast<int>(t)], 0) << "type " << static_cast<int>(t);
    int shallowest = 100;
    int deepest = 0;
    for (const Member &top : tree.members) {
        ASSERT_EQ(top.value.type, ValueType::Table);
        shallowest = std::min(shallowest, 1 + maxDepth(top.value));
        deepest = std::max(deepest, 1 + maxDepth(top.value));
    }
    EXPECT_EQ(shallowest, 2);
    EXPECT_EQ(deepest, 5);
}

// Markers are copied in blocks: at every depth the line must still carry exactly one "| " per level,
// in a tree as deep as the readers take and in a deeper one built by hand.
TEST(RoundTrip, EveryDepthHasItsMarkers) {
    const auto markers = [](int depth) {
        std::string m;
        for (int i = 0; i < depth; ++i)
            m += "| ";
        return m;
    };
    std::string text = "RBF file: deep.rbf\r\n{\r\n";
    for (int depth = 1; depth <= kMaxDepth; ++depth)
        text += markers(depth) + "n: " + std::to_string(depth) + ";\r\n" + markers(depth) + "t: {\r\n";
    for (int depth = kMaxDepth; depth >= 1; --depth)
        text += markers(depth + 1) + "s: \"x\";\r\n" + markers(depth) + "}\r\n";
    expectRoundTrips(text + "}\r\n", "deep.rbf");

    Value root = Value::makeTable();
    Value *table = &root;
    for (int depth = 1; depth <= 300; ++depth) {
        table->members.push_back({"t", Value::makeTable()});
        table = &table->members.back().value;
    }
    table->members.push_back({"n", Value::makeInt(1)});
    EXPECT_NE(writeText(root, "deep.rbf").find("\n" + markers(301) + "n: 1;\r\n" + markers(300) + "}\r\n"),
              std::string::npos);
}
