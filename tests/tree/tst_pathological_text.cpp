// Texts that are legal but extreme: line breaks of CR alone, and lines of hundreds of thousands of
// characters. The window builds and shows them with bounded work: whole lines are not searched
// again per line, and what views measure on every paint is cut, while the program works with the
// whole key.

#include "document/document_fixture.h"

#include "app/feedback.h"
#include "document/document_controller.h"
#include "editor/page_editor.h"
#include "tree/page_tree.h"
#include "tree/structure_tree.h"
#include "tree/structure_tree_model.h"
#include "tree/tree_item_delegate.h"
#include "ui/hint_popup.h"
#include "ui/shown_text.h"

#include <QTabWidget>
#include <QTest>

namespace {

QString HintText(TFormMain &window) {
    HintPopup *hint = window.feedback().hintWindow();
    return hint && hint->isVisible() ? hint->text() : QString();
}

constexpr int kLong = 300000;

} // namespace

class TestPathologicalText : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void crOnlyTextBuildsItsTreeAndKeepsItsBreaks();
    void aVeryLongKeyIsShownCutAndUsedWhole();
    void aVeryLongValueIsShownCutInTheHint();
    void shownTextIsCutBetweenCharacters();
};

void TestPathologicalText::crOnlyTextBuildsItsTreeAndKeepsItsBreaks() {
    QByteArray crText = SampleText("\r").repeated(3000);
    DocumentFixture f;
    const QString rbf = f.writeRbf(QStringLiteral("cr only"), crText);
    f.open(rbf);
    QCOMPARE(f.pageCount(), 1);
    PageEditor *editor = f.editor(0);
    QCOMPARE(editor->LineCount(), 14 * 3000);
    const StructureTree &tree = f.tree(0)->structure();
    QCOMPARE(tree.nodeCount(), 8 * 3000);
    QCOMPARE(tree.text(7), QStringLiteral("gamma"));
    QCOMPARE(tree.info(7).LineIndex, 11);
    QCOMPARE(tree.info(8 * 3000 - 1).LineIndex, 14 * 3000 - 3);
    // A new line typed into the text takes the text's own break, a CR alone.
    editor->setCaret(0, 1);
    QTest::keyClick(editor, Qt::Key_Return);
    QVERIFY(f.documents().SavePage(0));
    const QByteArray saved = DocumentFixture::read(rbf);
    QVERIFY(!saved.contains('\n'));
    QCOMPARE(saved, QByteArray("unit\r\r") + crText.mid(5));
}

void TestPathologicalText::aVeryLongKeyIsShownCutAndUsedWhole() {
    const QByteArray key = QByteArray("k").repeated(kLong);
    const QByteArray text = "| " + key + ": 1;\r\n| short: 2;\r\n";
    DocumentFixture f;
    f.window().resize(900, 600);
    f.open(f.writeRbf(QStringLiteral("long key"), text));
    QCOMPARE(f.pageCount(), 1);
    PageTree *tree = f.tree(0);
    const StructureTree &structure = tree->structure();
    QCOMPARE(structure.text(0).size(), kLong);
    // The view is given the key cut, with an ellipsis: that is all it measures and draws.
    const QModelIndex longIndex = tree->indexOfNode(0);
    const QString shown = longIndex.data(Qt::DisplayRole).toString();
    QCOMPARE(shown.size(), ShownTextLimit + 1);
    QVERIFY(shown.endsWith(QChar(0x2026)));
    QCOMPARE(longIndex.data(Qt::EditRole).toString().size(), kLong);
    QCOMPARE(tree->indexOfNode(1).data(Qt::DisplayRole).toString(), QStringLiteral("short"));
    // The selected node's highlight box is as wide as the cut text, not as the whole key.
    const QRect box = tree->nodeTextRect(0);
    QVERIFY2(box.width() <= tree->fontMetrics().horizontalAdvance(shown) + 6,
             qPrintable(QString::number(box.width())));
    // The first node was selected: the editor selected the whole key, on the key's line.
    QCOMPARE(tree->selectedNode(), 0);
    QCOMPARE(f.editor(0)->selectedText8().size(), kLong);
    QCOMPARE(f.editor(0)->caretLine(), 0);
    // The in-place editor would cut it: not editable in place; short keys are.
    QVERIFY(!(longIndex.flags() & Qt::ItemIsEditable));
    QVERIFY(tree->indexOfNode(1).flags() & Qt::ItemIsEditable);
    // Caret moves on the line find the node by its whole key.
    f.editor(0)->setCaret(0, 1);
    QTRY_COMPARE(tree->selectedNode(), 1);
    f.editor(0)->setCaret(5, 0);
    QTRY_COMPARE(tree->selectedNode(), 0);
}

void TestPathologicalText::aVeryLongValueIsShownCutInTheHint() {
    const QByteArray value = QByteArray("v").repeated(kLong);
    const QByteArray text = "| short: 2;\r\n| big: \"" + value + "\";\r\n";
    DocumentFixture f;
    f.window().show();
    f.open(f.writeRbf(QStringLiteral("long value"), text));
    QCOMPARE(f.pageCount(), 1);
    f.tree(0)->selectNode(1);
    const QString hint = HintText(f.window());
    QVERIFY2(hint.size() <= 1001 && hint.endsWith(QChar(0x2026)), qPrintable(QString::number(hint.size())));
    QVERIFY2(hint.contains(QStringLiteral("vvvv")), qPrintable(hint.left(20)));
    QCOMPARE(f.editor(0)->selectedText8(), QStringLiteral("big"));
}

void TestPathologicalText::shownTextIsCutBetweenCharacters() {
    QCOMPARE(ShownText(QStringLiteral("abc"), 3), QStringLiteral("abc"));
    QCOMPARE(ShownText(QStringLiteral("abcd"), 3), QStringLiteral("abc") + QChar(0x2026));
    // A cut inside a surrogate pair would leave half a character: the pair goes whole.
    const QString wide = QStringLiteral("ab") + QString::fromUcs4(U"\U0001F600") + QStringLiteral("cd");
    QCOMPARE(ShownText(wide, 3), QStringLiteral("ab") + QChar(0x2026));
    QCOMPARE(ShownText(wide, 4), QStringLiteral("ab") + QString::fromUcs4(U"\U0001F600") + QChar(0x2026));
}

QTEST_MAIN(TestPathologicalText)
#include "tst_pathological_text.moc"
