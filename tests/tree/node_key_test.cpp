#include "tree/node_key.h"

#include <gtest/gtest.h>

namespace {

TEST(NodeKeyColumn, FindsTheKeyOfItsNode) {
    EXPECT_EQ(NodeKeyColumn(QStringLiteral("| | speed: 2.5;"), QStringLiteral("speed")), 4);
    EXPECT_EQ(NodeKeyColumn(QStringLiteral("    | alpha: {"), QStringLiteral("alpha")), 6);
    // Letter case does not matter for the comparison; the column comes from an exact search.
    EXPECT_EQ(NodeKeyColumn(QStringLiteral("| | Speed: 2.5;"), QStringLiteral("speed")), 4);
    // A blank before the colon belongs to both.
    EXPECT_EQ(NodeKeyColumn(QStringLiteral("| | name : 5;"), QStringLiteral("name ")), 4);
}

TEST(NodeKeyColumn, RejectsLinesWhoseKeyDiffers) {
    EXPECT_EQ(NodeKeyColumn(QStringLiteral("| | speed: 2.5;"), QStringLiteral("label")), -1);
    // The node's text kept a blank that the key does not have.
    EXPECT_EQ(NodeKeyColumn(QStringLiteral("| |  delta: 4;"), QStringLiteral(" delta")), -1);
    // No colon: the key is empty.
    EXPECT_EQ(NodeKeyColumn(QStringLiteral("| | theta {"), QStringLiteral("theta {")), -1);
    // Beyond the last line the line is empty.
    EXPECT_EQ(NodeKeyColumn(QString(), QStringLiteral("speed")), -1);
    // An empty key is found nowhere, even for a node renamed to nothing.
    EXPECT_EQ(NodeKeyColumn(QStringLiteral("| | : 5;"), QString()), -1);
}

// A depth marker inside the key: the key equals the node's text once markers are removed,
// but it does not stand in the line as written.
TEST(NodeKeyColumn, RejectsKeysThatDoNotOccurAsWritten) {
    EXPECT_EQ(NodeKeyColumn(QStringLiteral("| | ab| cd: 1;"), QStringLiteral("abcd")), -1);
}

TEST(ValueColumn, SearchesFromTheFirstColon) {
    EXPECT_EQ(ValueColumn(QStringLiteral("| | speed: 2.5;"), QStringLiteral("2.5")), 11);
    // The value also occurs in the key: only the part from the colon on counts.
    EXPECT_EQ(ValueColumn(QStringLiteral("| | a1: a1;"), QStringLiteral("a1")), 8);
    // Twice after the colon: the first occurrence.
    EXPECT_EQ(ValueColumn(QStringLiteral("| | s: \"x x\";"), QStringLiteral("x")), 8);
    EXPECT_EQ(ValueColumn(QStringLiteral("| | speed: 3;"), QStringLiteral("2.5")), -1);
    EXPECT_EQ(ValueColumn(QStringLiteral("| | speed 2.5;"), QStringLiteral("2.5")), -1);
}

TEST(ValueColumn, EmptyValueGoesBetweenTheQuotes) {
    EXPECT_EQ(ValueColumn(QStringLiteral("| | empty: \"\";"), QString()), 12);
    // An empty value not written as a pair of quotes is not found.
    EXPECT_EQ(ValueColumn(QStringLiteral("| | empty: ;"), QString()), -1);
    // Quotes before the colon do not count.
    EXPECT_EQ(ValueColumn(QStringLiteral("| | \"\"k: ;"), QString()), -1);
}

} // namespace
