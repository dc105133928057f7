// The tree build reads the editor's buffer directly: its lines must be the editor's lines, split
// where the editor splits them, and an edit that arrives while the build lets events run must be
// read as the text then is. The caret's node is brought into view in the middle of the tree.

#include "document/document_fixture.h"

#include "editor/page_editor.h"
#include "tree/page_tree.h"
#include "tree/structure_tree.h"

#include <QScrollBar>
#include <QTest>
#include <QTimer>

namespace {

// Node by node: depth, text, line, kind.
QStringList Dump(const StructureTree &tree) {
    QStringList out;
    for (int n = 0; n < tree.nodeCount(); ++n)
        out << QStringLiteral("%1%2 @%3 %4")
                   .arg(QString(2 * tree.depth(n), QLatin1Char(' ')), tree.text(n))
                   .arg(tree.info(n).LineIndex)
                   .arg(tree.info(n).IsValue ? QStringLiteral("value") : QStringLiteral("table"));
    return out;
}

// The tree of the editor's first count lines (all by default) as the editor gives them, one at a time.
QStringList ExpectedDump(PageEditor *editor, int count = -1) {
    QStringList lines;
    for (int i = 0; i < (count < 0 ? editor->LineCount() : count); ++i)
        lines << editor->Line(i);
    return Dump(BuildStructureTree(lines));
}

} // namespace

class TestTreeRebuild : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readsTheLinesTheEditorHas();
    void readsAnEditMadeWhileEventsRun();
    void showsTheCaretsNodeInTheMiddle();
};

void TestTreeRebuild::readsTheLinesTheEditorHas() {
    // Every kind of line break (a lone CR too), keys outside ASCII, a NUL, blank lines, and no
    // break after the last line.
    static const char text[] = "unit\r\n{\r\n| caf\xe9: {\r\n| | \x80uro: 1;\n| | sp\xe4t: \"\";\r| | }\r\n"
                               "\r\n| next: 2;\n\n| nul: \"a\0b\";\r\n| gamma: {\r| | deep: x\r\n| }";
    DocumentFixture f;
    f.open(f.writeRbf(QStringLiteral("breaks"), QByteArray(text, sizeof text - 1)));
    QCOMPARE(f.pageCount(), 1);
    PageEditor *editor = f.editor(0);
    QCOMPARE(editor->LineCount(), 13);
    const QStringList built = Dump(f.tree(0)->structure());
    QCOMPARE(built, ExpectedDump(editor));
    QCOMPARE(built.size(), 7);
    QCOMPARE(f.tree(0)->structure().text(1), QString(QChar(0x20AC)) + QStringLiteral("uro"));
}

void TestTreeRebuild::readsAnEditMadeWhileEventsRun() {
    QByteArray text;
    for (int i = 0; i < 3000; ++i)
        text += "| t" + QByteArray::number(i) + ": {\r\n| | v: " + QByteArray::number(i) + ";\r\n| }\r\n";
    DocumentFixture f;
    f.open(f.writeRbf(QStringLiteral("long"), text));
    PageEditor *editor = f.editor(0);
    PageTree *tree = f.tree(0);
    // As soon as the rebuild lets events run, two lines go in at the top of the text. The build
    // reads as many lines as the text had when it began.
    const int lineCount = editor->LineCount();
    bool edited = false;
    auto *timer = new QTimer(this);
    timer->setInterval(0);
    connect(timer, &QTimer::timeout, this, [&] {
        if (tree->isEnabled() || edited)
            return;
        edited = true;
        editor->setCaret(0, 0);
        editor->replaceSelection(QStringLiteral("| added: {\r\n| | new: 1;\r\n"));
    });
    timer->start();
    f.window().click(QStringLiteral("TBRebuildTree"));
    timer->stop();
    QVERIFY(edited);
    QCOMPARE(editor->LineCount(), lineCount + 2);
    QCOMPARE(Dump(tree->structure()), ExpectedDump(editor, lineCount));
    QCOMPARE(tree->structure().text(0), QStringLiteral("added"));
}

void TestTreeRebuild::showsTheCaretsNodeInTheMiddle() {
    QByteArray text;
    for (int i = 0; i < 2000; ++i)
        text += "| key" + QByteArray::number(i) + ": " + QByteArray::number(i) + ";\r\n";
    DocumentFixture f;
    f.open(f.writeRbf(QStringLiteral("flat"), text));
    PageEditor *editor = f.editor(0);
    PageTree *tree = f.tree(0);
    QTest::qWait(10);
    // A jump far down: the node comes into view in the middle, not at the edge.
    editor->setCaret(0, 1500);
    QCOMPARE(tree->selectedNode(), 1500);
    const QRect viewport = tree->viewport()->rect();
    const QRect node = tree->visualRect(tree->indexOfNode(1500));
    QVERIFY(viewport.contains(node));
    QVERIFY2(qAbs(node.center().y() - viewport.center().y()) <= node.height(),
             qPrintable(QStringLiteral("node at %1 of %2").arg(node.center().y()).arg(viewport.height())));
    // Walking on line by line leaves the tree where it is while the node is in view.
    const int scrolled = tree->verticalScrollBar()->value();
    for (int line = 1501; line < 1505; ++line) {
        editor->setCaret(0, line);
        QCOMPARE(tree->selectedNode(), line);
    }
    QCOMPARE(tree->verticalScrollBar()->value(), scrolled);
}

QTEST_MAIN(TestTreeRebuild)
#include "tst_tree_rebuild.moc"
