// Building the structure tree: the parent rule, icons, line indexes, and the
// navigation of the built tree against a plain reference model.

#include "tree/structure_tree.h"

#include "tree/line_grammar.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

StructureTree Build(const char *text) {
    return BuildStructureTree(QString::fromLatin1(text).split(QLatin1Char('\n')));
}

// One line per node in index order: indentation by tree depth, text, line index, images.
std::string Dump(const StructureTree &tree) {
    std::string out;
    for (int n = 0; n < tree.nodeCount(); ++n) {
        out += std::string(static_cast<size_t>(2 * tree.depth(n)), ' ');
        out += tree.text(n).toStdString() + " @" + std::to_string(tree.info(n).LineIndex) + " " +
               std::to_string(tree.imageIndex(n)) + "/" + std::to_string(tree.selectedImageIndex(n)) + "\n";
    }
    return out;
}

} // namespace

TEST(StructureTreeBuild, NoLinesOrNoMarkersGiveAnEmptyTree) {
    EXPECT_EQ(BuildStructureTree(QStringList()).nodeCount(), 0);
    const StructureTree tree = Build("{\nheading\n\n}");
    EXPECT_EQ(tree.nodeCount(), 0);
    EXPECT_EQ(tree.topLevelCount(), 0);
    EXPECT_EQ(tree.lastNodeAtOrBefore(3), -1);
    EXPECT_EQ(tree.nodeAtLine(0), -1);
}

TEST(StructureTreeBuild, NestsByMarkersAndCountsEveryLine) {
    const StructureTree tree = Build("unit\n"
                                     "{\n"
                                     "| alpha: {\n"
                                     "| | speed: 2.5;\n"
                                     "| | inner: {\n"
                                     "| | | x: 1;\n"
                                     "| | }\n"
                                     "\n"
                                     "| | label: \"g\";\n"
                                     "| }\n"
                                     "| beta: {\n"
                                     "| }\n"
                                     "}");
    EXPECT_EQ(Dump(tree), "alpha @2 0/2\n"
                          "  speed @3 3/4\n"
                          "  inner @4 0/2\n"
                          "    x @5 3/4\n"
                          "  label @8 3/4\n"
                          "beta @10 1/1\n");
    EXPECT_TRUE(tree.info(0).IsTable);
    EXPECT_FALSE(tree.info(0).IsValue);
    EXPECT_TRUE(tree.info(1).IsValue);
    EXPECT_FALSE(tree.info(1).IsTable);
}

TEST(StructureTreeBuild, ClosingLineSetsThePreviousDepth) {
    // Without the closing line's depth, "d" would fall from 3 to 2 and climb out of "a".
    EXPECT_EQ(Dump(Build("| a: {\n| | b: {\n| | | c: 1;\n| | }\n| | d: 1;")), "a @0 0/2\n"
                                                                              "  b @1 0/2\n"
                                                                              "    c @2 3/4\n"
                                                                              "  d @4 3/4\n");
}

TEST(StructureTreeBuild, DepthOneReturnsToTheTopLevel) {
    // A closing line of depth 1 leaves no current node, so a depth-2 line after it is top level.
    EXPECT_EQ(Dump(Build("| a: {\n| | x: 1;\n| }\n| | y: 1;\n| | z: 1;")), "a @0 0/2\n"
                                                                           "  x @1 3/4\n"
                                                                           "y @3 3/4\n"
                                                                           "  z @4 3/4\n");
    // Straight from depth 3 to depth 1, without closing lines.
    EXPECT_EQ(Dump(Build("| a: {\n| | b: {\n| | | c: 1;\n| d: 1;")), "a @0 0/2\n"
                                                                     "  b @1 0/2\n"
                                                                     "    c @2 3/4\n"
                                                                     "d @3 3/4\n");
}

TEST(StructureTreeBuild, FirstMarkedLineOfDepthTwoBecomesTopLevel) {
    // Its node is the current node; equal depth keeps it, so the next lines become its children,
    // and a value line with children keeps the value images.
    EXPECT_EQ(Dump(Build("header\n| | a: 1;\n| | b: 1;\n| | c: {")), "a @1 3/4\n"
                                                                     "  b @2 3/4\n"
                                                                     "  c @3 1/1\n");
}

TEST(StructureTreeBuild, RisingByTwoDescendsOneLevel) {
    EXPECT_EQ(Dump(Build("| a: {\n| | | b: 1;")), "a @0 0/2\n"
                                                  "  b @1 3/4\n");
    EXPECT_EQ(Dump(Build("| a: {\n| | x: 1;\n| | | | b: 1;")), "a @0 0/2\n"
                                                               "  x @1 3/4\n"
                                                               "    b @2 3/4\n");
}

TEST(StructureTreeBuild, FallingByTwoClimbsOneLevel) {
    EXPECT_EQ(Dump(Build("| a: {\n| | b: {\n| | | c: {\n| | | | d: 1;\n| | e: 2;")), "a @0 0/2\n"
                                                                                     "  b @1 0/2\n"
                                                                                     "    c @2 0/2\n"
                                                                                     "      d @3 3/4\n"
                                                                                     "    e @4 3/4\n");
}

TEST(StructureTreeBuild, TableIconsDependOnChildren) {
    const StructureTree tree = Build("| empty: {\n| }\n| full: {\n| | v: 1;\n| }\n| flag: true");
    EXPECT_EQ(Dump(tree), "empty @0 1/1\n"
                          "full @2 0/2\n"
                          "  v @3 3/4\n"
                          "flag @5 1/1\n");
}

TEST(StructureTreeBuild, AfterLineSeesEveryLineInOrder) {
    const QStringList lines = QString::fromLatin1("x\n| a: 1;\n\n| }\ny").split(QLatin1Char('\n'));
    std::vector<int> seen;
    BuildStructureTree(
        static_cast<int>(lines.size()), [&](int i) { return lines.at(i); },
        [&](int i) { seen.push_back(i); });
    EXPECT_EQ(seen, (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST(StructureTreeBuild, SetTextChangesOnlyTheText) {
    StructureTree tree = Build("| a: {\n| | b: 1;");
    tree.setText(1, QStringLiteral("renamed"));
    EXPECT_EQ(Dump(tree), "a @0 0/2\n  renamed @1 3/4\n");
}

namespace {

// The building algorithm written out plainly, node by node with child lists.
struct RefNode {
    QString text;
    int parent;
    std::vector<int> children;
    bool isValue;
    int line;
};

std::vector<RefNode> ReferenceBuild(const QStringList &lines) {
    std::vector<RefNode> nodes;
    int previousDepth = 0;
    int current = -1;
    for (int i = 0; i < lines.size(); ++i) {
        const int d = LineDepth(lines[i]);
        if (d == 0)
            continue;
        const QString key = LineKey(lines[i]);
        if (d == 1)
            current = -1;
        else if (d > previousDepth && current >= 0 && !nodes[current].children.empty())
            current = nodes[current].children.back();
        else if (d < previousDepth && current >= 0)
            current = nodes[current].parent;
        previousDepth = d;
        int added = -1;
        if (!key.isEmpty()) {
            added = static_cast<int>(nodes.size());
            nodes.push_back(RefNode{key, current, {}, IsValueLine(lines[i]), i});
            if (current >= 0)
                nodes[current].children.push_back(added);
        }
        if (current < 0)
            current = added;
    }
    return nodes;
}

QStringList RandomText(std::mt19937 &rng, int count) {
    QStringList lines;
    std::uniform_int_distribution<int> depthDist(0, 6);
    std::uniform_int_distribution<int> kindDist(0, 9);
    for (int i = 0; i < count; ++i) {
        const int depth = depthDist(rng);
        const int kind = kindDist(rng);
        QString line = kind == 9 ? QStringLiteral("  ") : QString();
        for (int d = 0; d < depth; ++d)
            line += QStringLiteral("| ");
        if (kind <= 3)
            line += QStringLiteral("k%1: %2;").arg(i).arg(kind);
        else if (kind <= 6)
            line += QStringLiteral("t%1: {").arg(i);
        else if (kind == 7)
            line += QStringLiteral("}");
        else
            line += QStringLiteral("w%1").arg(i);
        lines << line;
    }
    return lines;
}

} // namespace

TEST(StructureTreeNavigation, AgreesWithTheReferenceOnRandomTexts) {
    std::mt19937 rng(20240611);
    for (int round = 0; round < 200; ++round) {
        const QStringList lines = RandomText(rng, round % 50 + 1);
        const StructureTree tree = BuildStructureTree(lines);
        const std::vector<RefNode> ref = ReferenceBuild(lines);
        ASSERT_EQ(tree.nodeCount(), static_cast<int>(ref.size())) << round;

        std::vector<int> topLevel;
        for (int n = 0; n < tree.nodeCount(); ++n) {
            const RefNode &r = ref[static_cast<size_t>(n)];
            SCOPED_TRACE(testing::Message() << "round " << round << " node " << n);
            ASSERT_EQ(tree.text(n), r.text);
            ASSERT_EQ(tree.parent(n), r.parent);
            ASSERT_EQ(tree.info(n).LineIndex, r.line);
            ASSERT_EQ(tree.info(n).IsValue, r.isValue);
            ASSERT_EQ(tree.info(n).IsTable, !r.isValue);
            ASSERT_EQ(tree.childCount(n), static_cast<int>(r.children.size()));
            for (int c = 0; c < tree.childCount(n); ++c) {
                ASSERT_EQ(tree.child(n, c), r.children[static_cast<size_t>(c)]);
                ASSERT_EQ(tree.row(tree.child(n, c)), c);
            }
            ASSERT_EQ(tree.firstChild(n), r.children.empty() ? -1 : r.children.front());
            ASSERT_EQ(tree.lastChild(n), r.children.empty() ? -1 : r.children.back());
            if (r.parent < 0) {
                topLevel.push_back(n);
            }
            // Index order is pre-order: a first child follows its parent directly, and
            // LineIndex strictly increases.
            if (!r.children.empty()) {
                ASSERT_EQ(r.children.front(), n + 1);
            }
            if (n > 0) {
                ASSERT_LT(tree.info(n - 1).LineIndex, tree.info(n).LineIndex);
            }
        }
        ASSERT_EQ(tree.topLevelCount(), static_cast<int>(topLevel.size()));
        for (int t = 0; t < tree.topLevelCount(); ++t) {
            ASSERT_EQ(tree.topLevel(t), topLevel[static_cast<size_t>(t)]);
            ASSERT_EQ(tree.row(topLevel[static_cast<size_t>(t)]), t);
        }
        for (int n = 0; n < tree.nodeCount(); ++n) {
            const int p = tree.parent(n);
            const std::vector<int> &siblings = p < 0 ? topLevel : ref[static_cast<size_t>(p)].children;
            const auto row = static_cast<size_t>(tree.row(n));
            ASSERT_EQ(siblings[row], n);
            ASSERT_EQ(tree.nextSibling(n), row + 1 < siblings.size() ? siblings[row + 1] : -1);
        }
        for (int line = -1; line <= lines.size(); ++line) {
            int lastAtOrBefore = -1;
            int atLine = -1;
            for (int n = 0; n < tree.nodeCount(); ++n) {
                if (ref[static_cast<size_t>(n)].line <= line)
                    lastAtOrBefore = n;
                if (ref[static_cast<size_t>(n)].line == line)
                    atLine = n;
            }
            ASSERT_EQ(tree.lastNodeAtOrBefore(line), lastAtOrBefore) << "round " << round << " line " << line;
            ASSERT_EQ(tree.nodeAtLine(line), atLine) << "round " << round << " line " << line;
        }
    }
}

// The window builds from the editor's UTF-8 buffer: the same tree as from the decoded lines.
TEST(StructureTreeBuilder, Utf8LinesGiveTheTreeOfTheDecodedLines) {
    std::mt19937 rng(8);
    for (int round = 0; round < 100; ++round) {
        QStringList lines = RandomText(rng, round % 60 + 1);
        for (QString &line : lines) {
            if (rng() % 4 == 0)
                line.insert(line.indexOf(QLatin1Char(':')) + 1, QChar(0x20AC));
            if (rng() % 5 == 0)
                line.replace(QLatin1Char('k'), QChar(0xE9));
        }
        StructureTreeBuilder builder;
        for (int i = 0; i < lines.size(); ++i)
            builder.addLineUtf8(i, lines[i].toUtf8());
        const StructureTree fromUtf8 = builder.finish();
        ASSERT_EQ(Dump(fromUtf8), Dump(BuildStructureTree(lines))) << round;
    }
}

// A key that occurs many times is held once; renaming one node leaves the others alone.
TEST(StructureTreeBuilder, NodesShareTheTextOfEqualKeys) {
    for (bool utf8 : {false, true}) {
        SCOPED_TRACE(utf8);
        const QStringList lines = {QStringLiteral("| speed: 1;"), QStringLiteral("| other: 2;"),
                                   QStringLiteral("| speed: 3;")};
        StructureTreeBuilder builder;
        for (int i = 0; i < lines.size(); ++i) {
            if (utf8)
                builder.addLineUtf8(i, lines[i].toUtf8());
            else
                builder.addLine(i, lines[i]);
        }
        StructureTree tree = builder.finish();
        ASSERT_EQ(tree.nodeCount(), 3);
        EXPECT_EQ(tree.text(0).constData(), tree.text(2).constData());
        tree.setText(2, QStringLiteral("velocity"));
        EXPECT_EQ(tree.text(0), QStringLiteral("speed"));
        EXPECT_EQ(tree.text(2), QStringLiteral("velocity"));
        // The builder starts again empty.
        EXPECT_EQ(builder.finish().nodeCount(), 0);
    }
}
