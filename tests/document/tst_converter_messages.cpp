// What the user reads when the real converter refuses a page: its own words
// below the described message, and the offer to go to the line it names.

#include "document/document_fixture.h"

#include "document/document_controller.h"
#include "document/page_context.h"
#include "editor/page_editor.h"
#include "tree/page_tree.h"
#include "tree/structure_tree.h"

#include <QFile>
#include <QProcess>
#include <QTabWidget>
#include <QTest>

namespace {

// "RBF file: NAME", "{", then "| value N: N;" for N from 1 to count, and "}": member N is on
// line N + 2 (counted from 1).
QByteArray LongText(const QByteArray &name, int count) {
    QByteArray text = "RBF file: " + name + "\r\n{\r\n";
    for (int i = 1; i <= count; ++i)
        text += "| value " + QByteArray::number(i) + ": " + QByteArray::number(i) + ";\r\n";
    return text + "}\r\n";
}

// Replaces line (from 0) of the editor with text, as typing would.
void ReplaceLine(PageEditor *editor, int line, const QString &text) {
    editor->setCaret(0, line);
    editor->setSelectionLength(static_cast<int>(editor->Line(line).size()));
    editor->replaceSelection(text);
}

int FirstVisibleLine(PageEditor *editor) {
    return static_cast<int>(editor->SendScintilla(PageEditor::SCI_GETFIRSTVISIBLELINE));
}

int LinesOnScreen(PageEditor *editor) {
    return static_cast<int>(editor->SendScintilla(PageEditor::SCI_LINESONSCREEN));
}

} // namespace

class TestConverterMessages : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void aRefusedSaveLeadsToTheLine();
    void noStaysWhereTheCaretWas();
    void aRefusedOpenShowsTheConverterWords();

private:
    // Converts text (beside the RBF file) with grindle and returns the RBF path.
    QString makeRbf(DocumentFixture &f, const QString &baseName, const QByteArray &text);
    QString m_grindle;
};

void TestConverterMessages::init() {
    m_grindle = qEnvironmentVariable("KESTREL_GRINDLE", WindowFixture::grindlePath());
    if (!QFile::exists(m_grindle))
        QSKIP("the stand-in converter is not built");
}

QString TestConverterMessages::makeRbf(DocumentFixture &f, const QString &baseName, const QByteArray &text) {
    const QString textPath = f.write(baseName + QStringLiteral(".txt"), text);
    if (QProcess::execute(m_grindle, {QStringLiteral("-q"), QStringLiteral("-i"), textPath}) != 0)
        return QString();
    QFile::remove(textPath);
    return f.folder() + baseName + QStringLiteral(".rbf");
}

void TestConverterMessages::aRefusedSaveLeadsToTheLine() {
    DocumentFixture f;
    f.window().ConverterPath = m_grindle;
    const QString rbf = makeRbf(f, QStringLiteral("long unit"), LongText("long unit.rbf", 300));
    const QString other = makeRbf(f, QStringLiteral("other"), LongText("other.rbf", 3));
    QVERIFY(!rbf.isEmpty() && !other.isEmpty());
    f.open({rbf, other});
    QCOMPARE(f.pageCount(), 2);
    PageEditor *editor = f.editor(0);
    // Line 250 (from 1) loses its ";"; the caret goes back to the top, and the other page is the
    // active one when the save runs (a tab-menu save).
    ReplaceLine(editor, 249, QStringLiteral("| value 248: 248"));
    editor->setCaret(0, 0);
    editor->scrollCaret();
    QCOMPARE(f.window().PC->currentIndex(), 1);
    f.dialogs().goThere.enqueue(true);
    QVERIFY(!f.documents().SavePage(0));

    QCOMPARE(f.dialogs().calls.size(), 1);
    const DialogCall call = f.dialogs().calls.first();
    QCOMPARE(call.kind, QStringLiteral("error"));
    QCOMPARE(call.text,
             QStringLiteral("%1 was not rewritten, check it again!\nThe converter ended with exit code 1.")
                 .arg(rbf));
    // grindle's own line: where, and what it expected.
    QVERIFY2(call.details.contains(
                 QStringLiteral("long unit.txt: line 250, column 17: expected \";\" at the end of the "
                                "value of \"value 248\"")),
             qPrintable(call.details));
    QVERIFY2(call.details.endsWith(QStringLiteral("\nExit code: 1")), qPrintable(call.details));
    QCOMPARE(call.question, QStringLiteral("Go to line 250 of long unit.txt?"));

    // Yes: the page, the caret on the line, the line on screen, its node selected.
    QCOMPARE(f.window().PC->currentIndex(), 0);
    QCOMPARE(f.window().context().CurrentSheet, f.page(0));
    QCOMPARE(editor->caretLine(), 249);
    QCOMPARE(editor->caretColumn(), 16);
    const int first = FirstVisibleLine(editor);
    QVERIFY2(first <= 249 && 249 < first + LinesOnScreen(editor), qPrintable(QString::number(first)));
    PageTree *tree = f.tree(0);
    QVERIFY(tree->selectedNode() >= 0);
    QCOMPARE(tree->structure().info(tree->selectedNode()).LineIndex, 249);
    QCOMPARE(tree->structure().text(tree->selectedNode()), QStringLiteral("value 248"));
    // Nothing is lost: the page stays modified, its text file stays.
    QVERIFY(editor->isModified());
    QVERIFY(QFile::exists(DocumentFixture::textPathOf(rbf)));

    // Mended, the save goes through.
    ReplaceLine(editor, 249, QStringLiteral("| value 248: 248;"));
    f.dialogs().clear();
    QVERIFY(f.documents().SavePage(0));
    QVERIFY(f.dialogs().calls.isEmpty());
}

void TestConverterMessages::noStaysWhereTheCaretWas() {
    DocumentFixture f;
    f.window().ConverterPath = m_grindle;
    const QString rbf = makeRbf(f, QStringLiteral("unit"), LongText("unit.rbf", 20));
    QVERIFY(!rbf.isEmpty());
    f.open(rbf);
    PageEditor *editor = f.editor(0);
    ReplaceLine(editor, 9, QStringLiteral("| value 8: not a number;"));
    editor->setCaret(2, 3);
    f.window().click(QStringLiteral("TBSave"));
    const DialogCall call = f.dialogs().calls.value(0);
    QCOMPARE(call.question, QStringLiteral("Go to line 10 of unit.txt?"));
    QVERIFY2(call.details.contains(
                 QStringLiteral("unit.txt: line 10, column 12: expected a number, true, false or a "
                                "\"string\", found \"not a number\"")),
             qPrintable(call.details));
    QCOMPARE(editor->caretLine(), 3);
    QCOMPARE(editor->caretColumn(), 2);
    QVERIFY(editor->isModified());
}

void TestConverterMessages::aRefusedOpenShowsTheConverterWords() {
    DocumentFixture f;
    f.window().ConverterPath = m_grindle;
    const QString rbf = f.write(QStringLiteral("broken.rbf"), "this is no RBF file");
    f.open(rbf);
    QCOMPARE(f.pageCount(), 0);
    const DialogCall call = f.dialogs().calls.value(0);
    QCOMPARE(call.kind, QStringLiteral("error"));
    QCOMPARE(call.text, QStringLiteral("Unable to open: %1\nThe converter ended with exit code 1.").arg(rbf));
    QVERIFY2(call.details.contains(QStringLiteral("broken.rbf: offset ")), qPrintable(call.details));
    QVERIFY(call.question.isEmpty()); // an open has no text to go to

    // The same for a reopen of an RBF file that was damaged after it was opened.
    const QString good = makeRbf(f, QStringLiteral("good"), LongText("good.rbf", 3));
    f.open(good);
    QCOMPARE(f.pageCount(), 1);
    f.write(QStringLiteral("good.rbf"), "KRBF but no more");
    f.dialogs().clear();
    f.window().click(QStringLiteral("TBReOpen"));
    const DialogCall reopen = f.dialogs().calls.value(0);
    QCOMPARE(reopen.text,
             QStringLiteral("Unable to open: %1\nThe converter ended with exit code 1.").arg(good));
    QVERIFY2(reopen.details.contains(QStringLiteral("good.rbf: offset ")), qPrintable(reopen.details));
    QCOMPARE(f.editor(0)->LineCount(), 6); // the page keeps its text
}

QTEST_MAIN(TestConverterMessages)
#include "tst_converter_messages.moc"
