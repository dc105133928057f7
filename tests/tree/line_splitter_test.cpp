// Lines split where the editor splits them, with work linear in the text for every break style.

#include "tree/line_splitter.h"
#include "tree/structure_tree.h"

#include <QByteArray>
#include <QList>

#include <gtest/gtest.h>

namespace {

QList<QByteArray> Split(const QByteArray &text, qsizetype from = 0) {
    LineSplitter splitter(text, from);
    QList<QByteArray> lines;
    QByteArrayView line;
    while (splitter.next(line))
        lines << line.toByteArray();
    return lines;
}

} // namespace

TEST(LineSplitter, EveryBreakStyleAndTheirMixture) {
    using L = QList<QByteArray>;
    EXPECT_EQ(Split("a\r\nb\r\n"), (L{"a", "b"}));
    EXPECT_EQ(Split("a\nb"), (L{"a", "b"}));
    EXPECT_EQ(Split("a\rb\r"), (L{"a", "b"}));
    // A CR alone, then CR LF, then LF, then empty lines of each kind.
    EXPECT_EQ(Split("a\rb\r\nc\nd\r\r\n\n\re"), (L{"a", "b", "c", "d", "", "", "", "e"}));
    // LF CR is two breaks; a CR at the very end ends its line only.
    EXPECT_EQ(Split("a\n\rb\r"), (L{"a", "", "b"}));
    EXPECT_EQ(Split(""), L{});
    EXPECT_EQ(Split("\r\n"), L{""});
    EXPECT_EQ(Split("x"), L{"x"});
}

TEST(LineSplitter, GoesOnInAChangedTextFromALineStart) {
    const QByteArray before("one\rtwo\rthree\r");
    LineSplitter splitter(before);
    QByteArrayView line;
    ASSERT_TRUE(splitter.next(line));
    EXPECT_EQ(line, "one");
    // The text changed under the splitter: it reads on at the given offset of the new one.
    const QByteArray after("one\rTWO!\nthree\r\nfour");
    splitter.reset(after, 4);
    QList<QByteArray> rest;
    while (splitter.next(line))
        rest << line.toByteArray();
    EXPECT_EQ(rest, (QList<QByteArray>{"TWO!", "three", "four"}));
}

// A text of 200,000 lines broken by CR alone used to be searched to its end for an LF at every
// line: 200,000 times its size. The searches now look at each byte a bounded number of times.
TEST(LineSplitter, WorkIsLinearInTheTextForEveryBreakStyle) {
    for (const QByteArray &lineBreak : {QByteArray("\r"), QByteArray("\n"), QByteArray("\r\n")}) {
        SCOPED_TRACE(lineBreak.toHex().constData());
        const QByteArray text = (QByteArray("| key: value;") + lineBreak).repeated(200000);
        LineSplitter splitter(text);
        QByteArrayView line;
        int lines = 0;
        while (splitter.next(line))
            ++lines;
        EXPECT_EQ(lines, 200000);
        EXPECT_LE(splitter.bytesExamined(), 2 * text.size());
    }
}

// The tree of a text with CR-only breaks is the tree of the same text with CR LF.
TEST(LineSplitter, CrOnlyTextBuildsTheTreeOfCrLf) {
    const QByteArray crlf = "| unit: {\r\n| | health: 100;\r\n| | weapons: {\r\n| | | name: \"Gun\";\r\n"
                            "| | }\r\n| }\r\nplain\r\n| tail: 1;\r\n";
    QByteArray cr = crlf;
    cr.replace("\r\n", "\r");
    const auto build = [](const QByteArray &text) {
        StructureTreeBuilder builder;
        LineSplitter splitter(text);
        QByteArrayView line;
        for (int i = 0; splitter.next(line); ++i)
            builder.addLineUtf8(i, line);
        return builder.finish();
    };
    const StructureTree a = build(crlf);
    const StructureTree b = build(cr);
    ASSERT_EQ(a.nodeCount(), 5);
    ASSERT_EQ(b.nodeCount(), a.nodeCount());
    for (int n = 0; n < a.nodeCount(); ++n) {
        EXPECT_EQ(b.text(n), a.text(n));
        EXPECT_EQ(b.parent(n), a.parent(n));
        EXPECT_EQ(b.info(n).LineIndex, a.info(n).LineIndex);
    }
    EXPECT_EQ(b.info(4).LineIndex, 7);
}
