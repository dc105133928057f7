// The tree built on a worker from pieces of a text is the tree the window builds from the whole
// text, wherever the pieces end.

#include "tree/line_splitter.h"
#include "tree/structure_tree.h"
#include "tree/tree_build_ahead.h"

#include <QByteArray>

#include <gtest/gtest.h>

namespace {

StructureTree BuildWhole(const QByteArray &text) {
    StructureTreeBuilder builder;
    LineSplitter splitter(text);
    QByteArrayView line;
    for (int i = 0; splitter.next(line); ++i)
        builder.addLineUtf8(i, line);
    return builder.finish();
}

void ExpectSameTree(const StructureTree &got, const StructureTree &want, const std::string &where) {
    ASSERT_EQ(got.nodeCount(), want.nodeCount()) << where;
    for (int n = 0; n < want.nodeCount(); ++n) {
        ASSERT_EQ(got.text(n), want.text(n)) << where << " node " << n;
        ASSERT_EQ(got.parent(n), want.parent(n)) << where << " node " << n;
        ASSERT_EQ(got.info(n).LineIndex, want.info(n).LineIndex) << where << " node " << n;
        ASSERT_EQ(got.info(n).IsValue, want.info(n).IsValue) << where << " node " << n;
        ASSERT_EQ(got.info(n).IsTable, want.info(n).IsTable) << where << " node " << n;
    }
}

} // namespace

TEST(TreeBuildAhead, PiecesEndingAnywhereBuildTheTreeOfTheWholeText) {
    const QByteArray lines[] = {"| unit: {",
                                "| | health: 100;",
                                "| | name: \"Caf\xC3\xA9\";",
                                "| | weapons: {",
                                "| | | range: 1.5;",
                                "| | }",
                                "plain",
                                "| }",
                                "| tail: 1;"};
    for (const QByteArray &brk : {QByteArray("\r\n"), QByteArray("\n"), QByteArray("\r")}) {
        QByteArray text;
        for (const QByteArray &line : lines)
            text += line + brk;
        // Mixed breaks, empty lines, and a last line without a break.
        for (const QByteArray &whole :
             {text, text + "\r\n\r| last: 2;", text + "\n\r\n| | x: \"" + QByteArray(3000, 'y') + "\";"}) {
            const StructureTree want = BuildWhole(whole);
            ASSERT_GE(want.nodeCount(), 6);
            for (const int step : {1, 2, 3, 5, 17, 1000, 100000}) {
                TreeBuildAhead ahead;
                for (qsizetype at = 0; at < whole.size(); at += step)
                    ahead.add(whole.mid(at, step));
                const StructureTree got = ahead.finish();
                ExpectSameTree(got, want, "piece size " + std::to_string(step));
                int lineCount = 0;
                LineSplitter counting(whole);
                for (QByteArrayView line; counting.next(line);)
                    ++lineCount;
                EXPECT_EQ(ahead.linesBuilt(), lineCount);
            }
        }
    }
}
