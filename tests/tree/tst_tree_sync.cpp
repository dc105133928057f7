// The structure tree and the editor of a page in step, and the edits made from the tree.

#include "document/document_fixture.h"

#include "document/document_controller.h"
#include "document/page.h"
#include "editor/page_editor.h"
#include "tree/page_tree.h"
#include "tree/structure_tree_model.h"
#include "tree/tree_sync.h"
#include "ui/feedback.h"
#include "ui/hint_popup.h"

#include <QAction>
#include <QApplication>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <QTest>

namespace {

// The sample text, then enough nodes after it that no line of the sample lies in the last
// screenful of the editor.
QByteArray SyncText() {
    QByteArray text = SampleText();
    text.chop(3); // the closing brace
    for (int i = 0; i < 300; ++i)
        text += "| fill" + QByteArray::number(i) + ": " + QByteArray::number(i) + ";\r\n";
    return text + "}\r\n";
}

QString HintText(TFormMain &window) {
    HintPopup *hint = window.feedback().hintWindow();
    return hint && hint->isVisible() ? hint->text() : QString();
}

void ReplaceLine(PageEditor *editor, int line, const QString &text) {
    editor->setCaret(0, line);
    editor->setSelectionLength(static_cast<int>(editor->Line(line).size()));
    editor->replaceSelection(text);
}

class SyncFixture : public DocumentFixture {
public:
    explicit SyncFixture(const QByteArray &text = SyncText()) {
        open(writeRbf(QStringLiteral("unit"), text));
        editor = DocumentFixture::editor(0);
        tree = DocumentFixture::tree(0);
        dialogs().clear();
    }
    PageEditor *editor = nullptr;
    PageTree *tree = nullptr;
    int firstVisibleLine() const {
        return static_cast<int>(editor->SendScintilla(PageEditor::SCI_GETFIRSTVISIBLELINE));
    }
};

} // namespace

class TestTreeSync : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void selectingNodeSelectsKeyAndShowsValue();
    void selectingTableHidesHint();
    void nodeSelectionPaintsEachPartOnce();
    void keyComparedWithoutCase();
    void keyNotFound();
    void editValue_data();
    void editValue();
    void editValueOfTableOrCancelled();
    void editKeyInPlace();
    void editKeyThatIsNotFound();
    void clickOnSelectedNodeThenLeavingOpensNoEdit();
    void rightClickMenu();
    void caretSelectsNodeOfItsLine();
    void rebuildSelectsCaretNodeOrFirst();
    void replaceAllAndLookupHooks();
    void collapseMovesSelectionWithoutMovingEditor();
    void fullExpand();
    void selectedNodeIsDrawnHighlighted();
    void keysAndValuesOutsideTheBasicPlane();
};

void TestTreeSync::selectingNodeSelectsKeyAndShowsValue() {
    SyncFixture f;
    f.tree->selectNode(1);
    QCOMPARE(f.editor->selectedText8(), QStringLiteral("speed"));
    QCOMPARE(f.editor->caretLine(), 3);
    QCOMPARE(f.editor->selectionStart(), f.editor->positionFromLine(3) + 4);
    // The key's line is scrolled to the top of the view.
    QCOMPARE(f.firstVisibleLine(), 3);
    QCOMPARE(HintText(f.window()), QStringLiteral("2.5"));
    const QRect rect = f.tree->nodeTextRect(1);
    const QPoint anchor(f.tree->viewport()->mapToGlobal(rect.bottomRight()).x() - 8,
                        f.tree->viewport()->mapToGlobal(rect.topLeft()).y());
    QCOMPARE(f.window().feedback().hintWindow()->requestedTopLeft(), anchor + QPoint(16, 0));
    QCOMPARE(f.window().RememberedNodePath, (QStringList{QStringLiteral("speed"), QStringLiteral("alpha")}));
    QCOMPARE(f.tree->TreeState, int(PageTree::Idle));
    QVERIFY(!f.editor->isModified());

    // A value in quotes is shown without them; a node further down scrolls too.
    f.tree->selectNode(2);
    QCOMPARE(HintText(f.window()), QStringLiteral("Main gate"));
    QCOMPARE(f.firstVisibleLine(), 4);
    f.tree->selectNode(6);
    QCOMPARE(f.firstVisibleLine(), 10);
    QCOMPARE(f.editor->selectedText8(), QStringLiteral("beta"));
}

void TestTreeSync::nodeSelectionPaintsEachPartOnce() {
    SyncFixture f;
    f.window().show();
    QVERIFY(QTest::qWaitForWindowExposed(&f.window()));
    // Paints per widget while a node far below is selected and the events it left run.
    struct PaintCount : QObject {
        QHash<QObject *, int> paints;
        bool eventFilter(QObject *watched, QEvent *event) override {
            if (event->type() == QEvent::Paint)
                ++paints[watched];
            return false;
        }
    } count;
    QWidget *treeView = f.tree->viewport();
    QWidget *editorView = f.editor->viewport();
    QLabel *lineStatus = f.window().feedback().panel(1);
    // And what lies beneath the scroll bars and the status panels: their own moves and texts are
    // painted alone, not over the window's background and the page control's frame.
    QWidget *pageControl = f.window().findChild<QTabWidget *>(QStringLiteral("PC"));
    QVERIFY(pageControl);
    for (QWidget *widget : {treeView, editorView, static_cast<QWidget *>(lineStatus), pageControl,
                            static_cast<QWidget *>(&f.window())})
        widget->installEventFilter(&count);
    const int last = f.tree->structure().nodeCount() - 1;
    f.tree->selectNode(last);
    QTest::qWait(50);
    // Tree, editor and caret status each scrolled or changed, and each is painted once, where it
    // ends up: not after each step of the selection (scroll, caret moves, selection drawn).
    QCOMPARE(f.editor->caretLine(), f.tree->structure().info(last).LineIndex);
    QCOMPARE(count.paints.value(treeView), 1);
    QCOMPARE(count.paints.value(editorView), 1);
    QCOMPARE(count.paints.value(lineStatus), 1);
    QCOMPARE(count.paints.value(pageControl), 0);
    QCOMPARE(count.paints.value(&f.window()), 0);
}

void TestTreeSync::selectingTableHidesHint() {
    SyncFixture f;
    f.tree->selectNode(1);
    QCOMPARE(HintText(f.window()), QStringLiteral("2.5"));
    f.tree->selectNode(7);
    QCOMPARE(f.editor->selectedText8(), QStringLiteral("gamma"));
    QCOMPARE(HintText(f.window()), QString());
    QVERIFY(f.dialogs().calls.isEmpty());
}

void TestTreeSync::keyComparedWithoutCase() {
    SyncFixture f;
    ReplaceLine(f.editor, 3, QStringLiteral("| | SPEED: 2.5;"));
    f.tree->selectNode(0);
    f.tree->selectNode(1);
    QVERIFY(f.dialogs().calls.isEmpty());
    QCOMPARE(f.editor->selectedText8(), QStringLiteral("SPEED"));
}

void TestTreeSync::keyNotFound() {
    SyncFixture f;
    f.tree->selectNode(1);
    // The text changed since the build: beta's line now holds another key.
    ReplaceLine(f.editor, 10, QStringLiteral("| zeta: 7;"));
    f.tree->selectNode(0);
    const int caret = f.editor->selectionStart();
    f.tree->selectNode(6);
    QCOMPARE(f.dialogs().texts(QStringLiteral("warning")), QStringList{QStringLiteral("Key is not found!")});
    QCOMPARE(HintText(f.window()), QString());
    QCOMPARE(f.editor->selectionStart(), caret);
    QCOMPARE(f.tree->TreeState, int(PageTree::Idle));
    QCOMPARE(f.window().RememberedNodePath, QStringList{QStringLiteral("beta")});
}

void TestTreeSync::editValue_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("query");
    QTest::addColumn<QString>("result");
    QTest::addColumn<QString>("warning");
    QTest::newRow("plain value") << "| | speed: 2.5;"
                                 << "3.75"
                                 << "Input value|speed :|2.5"
                                 << "| | speed: 3.75;"
                                 << "";
    QTest::newRow("between empty quotes") << "| | speed: \"\";"
                                          << "fast"
                                          << "Input value|speed :|"
                                          << "| | speed: \"fast\";"
                                          << "";
    QTest::newRow("twice after the colon: the first") << "| | speed: \"x x\";"
                                                      << "y"
                                                      << "Input value|speed :|x x"
                                                      << "| | speed: \"y\";"
                                                      << "";
    QTest::newRow("first of two") << "| | speed: 1 1;"
                                  << "2"
                                  << "Input value|speed :|1 1"
                                  << "| | speed: 2;"
                                  << "";
    QTest::newRow("taken as typed") << "| | speed: 1;"
                                    << "\"q\";"
                                    << "Input value|speed :|1"
                                    << "| | speed: \"q\";;"
                                    << "";
    QTest::newRow("empty without quotes") << "| | speed: ;"
                                          << "5"
                                          << "Input value|speed :|"
                                          << "| | speed: ;"
                                          << "Value has been changed!";
}

void TestTreeSync::editValue() {
    QFETCH(QString, line);
    QFETCH(QString, answer);
    QFETCH(QString, query);
    QFETCH(QString, result);
    QFETCH(QString, warning);
    SyncFixture f;
    ReplaceLine(f.editor, 3, line);
    f.editor->setModified(false);
    f.tree->selectNode(1);
    f.dialogs().clear();
    f.dialogs().inputs.enqueue(answer);
    // A double click on the node, as the user does it.
    const QRect rect = f.tree->visualRect(f.tree->indexOfNode(1));
    QTest::mouseDClick(f.tree->viewport(), Qt::LeftButton, {}, rect.center());
    // The dialog comes after the double click, not from inside its handler.
    QVERIFY(f.dialogs().calls.isEmpty());
    QTRY_COMPARE(f.dialogs().texts(QStringLiteral("input")), QStringList{query});
    QCOMPARE(f.editor->Line(3), result);
    QCOMPARE(f.dialogs().texts(QStringLiteral("warning")),
             warning.isEmpty() ? QStringList() : QStringList{warning});
    QCOMPARE(f.editor->isModified(), warning.isEmpty());
    if (warning.isEmpty())
        QCOMPARE(f.page(0)->TabImage, 1);
    QCOMPARE(f.tree->TreeState, int(PageTree::Idle));
}

void TestTreeSync::editValueOfTableOrCancelled() {
    SyncFixture f;
    f.tree->selectNode(0);
    f.window().treeSync().EditNodeValue();
    QVERIFY(f.dialogs().calls.isEmpty());
    f.tree->selectNode(1);
    f.window().treeSync().PMEditValueClick();
    QCOMPARE(f.dialogs().texts(QStringLiteral("input")).size(), 1);
    QCOMPARE(f.editor->Line(3), QStringLiteral("| | speed: 2.5;"));
    QVERIFY(!f.editor->isModified());
    // A node whose line no longer has its key.
    ReplaceLine(f.editor, 3, QStringLiteral("| | rate: 2.5;"));
    f.dialogs().clear();
    f.window().treeSync().EditNodeValue();
    QCOMPARE(f.dialogs().texts(QStringLiteral("warning")), QStringList{QStringLiteral("Key is not found!")});
    QVERIFY(f.dialogs().texts(QStringLiteral("input")).isEmpty());
    QCOMPARE(f.tree->TreeState, int(PageTree::Idle));
}

void TestTreeSync::editKeyInPlace() {
    SyncFixture f;
    f.tree->selectNode(1);
    f.window().treeSync().PMEditKeyClick();
    QVERIFY(f.tree->isEditing());
    auto *line = f.tree->findChild<QLineEdit *>();
    QVERIFY(line);
    QCOMPARE(line->text(), QStringLiteral("speed"));
    line->setText(QStringLiteral("velocity"));
    QTest::keyClick(line, Qt::Key_Return);
    QTRY_VERIFY(!f.tree->isEditing());
    QTRY_COMPARE(f.editor->Line(3), QStringLiteral("| | velocity: 2.5;"));
    QCOMPARE(f.tree->structure().text(1), QStringLiteral("velocity"));
    QCOMPARE(f.tree->structure().nodeCount(), 308);
    QVERIFY(f.editor->isModified());
    QVERIFY(f.dialogs().calls.isEmpty());
    // The renamed node still finds its key.
    f.tree->selectNode(0);
    f.tree->selectNode(1);
    QCOMPARE(f.editor->selectedText8(), QStringLiteral("velocity"));
}

void TestTreeSync::clickOnSelectedNodeThenLeavingOpensNoEdit() {
    // A click on the selected node opens its in-place edit once the double-click time has
    // passed. When the focus has gone to the editor meanwhile, the edit must not open there and
    // take the letters the user types into the editor.
    SyncFixture f;
    f.tree->setFocus();
    QTRY_VERIFY(f.tree->hasFocus());
    f.tree->selectNode(1);
    const QRect rect = f.tree->nodeTextRect(1);
    QVERIFY(rect.isValid());
    QTest::mouseClick(f.tree->viewport(), Qt::LeftButton, {}, rect.center());
    f.editor->setFocus();
    QTRY_VERIFY(f.editor->hasFocus());
    f.editor->setCursorPosition(3, 0);
    const QString before = f.editor->text();
    QTest::qWait(QApplication::doubleClickInterval() + 200);
    QVERIFY(!f.tree->isEditing());
    QVERIFY(f.editor->hasFocus());
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("xy"));
    QCOMPARE(f.editor->text(),
             QString(before).insert(f.editor->positionFromLineIndex(3, 0), QStringLiteral("xy")));
    // With the focus still in the tree, the click edits the key as before.
    f.tree->setFocus();
    QTRY_VERIFY(f.tree->hasFocus());
    QTest::mouseClick(f.tree->viewport(), Qt::LeftButton, {}, rect.center());
    QTRY_VERIFY(f.tree->isEditing());
}

void TestTreeSync::editKeyThatIsNotFound() {
    SyncFixture f;
    f.tree->selectNode(1);
    ReplaceLine(f.editor, 3, QStringLiteral("| | rate: 2.5;"));
    f.window().treeSync().PMEditKeyClick();
    auto *line = f.tree->findChild<QLineEdit *>();
    QVERIFY(line);
    line->setText(QStringLiteral("velocity"));
    QTest::keyClick(line, Qt::Key_Return);
    QTRY_COMPARE(f.dialogs().texts(QStringLiteral("warning")),
                 QStringList{QStringLiteral("Key is not found!")});
    QCOMPARE(f.editor->Line(3), QStringLiteral("| | rate: 2.5;"));
    // The node takes the new text whatever the handler did.
    QCOMPARE(f.tree->structure().text(1), QStringLiteral("velocity"));
    QCOMPARE(f.tree->TreeState, int(PageTree::Idle));
}

void TestTreeSync::rightClickMenu() {
    SyncFixture f(SampleText());
    QMenu *menu = f.window().PMTreeView;
    QAction *editKey = f.window().treeSync().PMEditKey;
    QAction *editValue = f.window().treeSync().PMEditValue;
    QAction *expand = f.window().treeSync().PMExpand;
    QCOMPARE(editKey->objectName(), QStringLiteral("PMEditKey"));
    QCOMPARE(editKey->text(), QStringLiteral("Edit Key"));
    QCOMPARE(editValue->text(), QStringLiteral("Edit Value"));
    QCOMPARE(expand->text(), QStringLiteral("Full Expand"));

    // On a leaf: the value can be edited, there is nothing to expand. No value hint.
    f.tree->selectNode(0);
    const QRect speed = f.tree->visualRect(f.tree->indexOfNode(1));
    QTest::mouseClick(f.tree->viewport(), Qt::RightButton, {}, speed.center());
    QCOMPARE(f.tree->selectedNode(), 1);
    QCOMPARE(f.editor->selectedText8(), QStringLiteral("speed"));
    QTRY_VERIFY(menu->isVisible());
    QVERIFY(editKey->isEnabled());
    QVERIFY(editValue->isEnabled());
    QVERIFY(!expand->isEnabled());
    QCOMPARE(HintText(f.window()), QString());
    QVERIFY(!f.window().feedback().HintSuppressed);
    menu->close();

    const QRect alpha = f.tree->visualRect(f.tree->indexOfNode(0));
    QTest::mouseClick(f.tree->viewport(), Qt::RightButton, {}, alpha.center());
    QTRY_VERIFY(menu->isVisible());
    QVERIFY(editKey->isEnabled());
    QVERIFY(!editValue->isEnabled());
    QVERIFY(expand->isEnabled());
    menu->close();

    // On no node: the selection empties (and with it the remembered path), all items disabled.
    f.tree->collapseAll();
    const QPoint empty(5, f.tree->viewport()->height() - 3);
    QVERIFY(!f.tree->indexAt(empty).isValid());
    QTest::mouseClick(f.tree->viewport(), Qt::RightButton, {}, empty);
    QCOMPARE(f.tree->selectedNode(), -1);
    QVERIFY(f.window().RememberedNodePath.isEmpty());
    QTRY_VERIFY(menu->isVisible());
    QVERIFY(!editKey->isEnabled());
    QVERIFY(!editValue->isEnabled());
    QVERIFY(!expand->isEnabled());
    menu->close();
}

void TestTreeSync::caretSelectsNodeOfItsLine() {
    SyncFixture f;
    f.editor->setCaret(2, 10);
    QCOMPARE(f.tree->selectedNode(), 6);
    QCOMPARE(f.editor->LastSyncedLine, 10);
    QCOMPARE(f.window().RememberedNodePath, QStringList{QStringLiteral("beta")});
    // The tree followed without moving the editor.
    QCOMPARE(f.editor->caretColumn(), 2);
    QCOMPARE(f.editor->selectionLength(), 0);
    QCOMPARE(f.window().feedback().panel(1)->text(), QStringLiteral("Ln: 11 / 314"));
    QCOMPARE(f.window().feedback().panel(2)->text(), QStringLiteral("Col: 3"));

    // A move within the line starts no scan: a selection made meanwhile stays.
    f.tree->TreeState = PageTree::Syncing;
    f.tree->selectNode(0);
    f.tree->TreeState = PageTree::Idle;
    f.editor->setCaret(5, 10);
    QCOMPARE(f.tree->selectedNode(), 0);

    // A line without a node leaves the selection as it is.
    f.editor->setCaret(0, 9);
    QCOMPARE(f.tree->selectedNode(), 0);
    QCOMPARE(f.editor->LastSyncedLine, 9);
    // Typing through the keyboard moves the caret the same way.
    f.editor->setFocus();
    f.editor->setCaret(0, 6);
    QTest::keyClick(f.editor, Qt::Key_Down);
    QCOMPARE(f.editor->caretLine(), 7);
    QCOMPARE(f.tree->selectedNode(), 5);
    QVERIFY(f.tree->isExpanded(f.tree->indexOfNode(4)));
}

void TestTreeSync::rebuildSelectsCaretNodeOrFirst() {
    SyncFixture f;
    // Caret on a line without a node, nodes following: the first node.
    f.tree->selectNode(3);
    f.editor->setCaret(0, 1);
    QCOMPARE(f.tree->selectedNode(), 3);
    f.window().feedback().SetStatusText(QStringLiteral("kept"));
    f.window().click(QStringLiteral("TBRebuildTree"));
    QCOMPARE(f.tree->selectedNode(), 0);
    QCOMPARE(f.window().feedback().statusText(), QStringLiteral("kept"));
    QCOMPARE(HintText(f.window()), QStringLiteral("Tree rebuilt"));
    QCOMPARE(f.tree->TreeState, int(PageTree::Idle));
    QCOMPARE(f.editor->LastSyncedLine, 1);
    QVERIFY(f.tree->isEnabled());

    // Caret on a node's line: that node.
    f.editor->setCaret(0, 7);
    f.window().click(QStringLiteral("TBRebuildTree"));
    QCOMPARE(f.tree->selectedNode(), 5);

    // Caret past the last node's line: nothing.
    f.editor->setCaret(0, f.editor->LineCount() - 1);
    f.window().click(QStringLiteral("TBRebuildTree"));
    QCOMPARE(f.tree->selectedNode(), -1);
}

void TestTreeSync::replaceAllAndLookupHooks() {
    SyncFixture f;
    int lookups = 0;
    bool replacing = true;
    f.window().treeSync().LookupSelectedNumber = [&] { ++lookups; };
    f.window().treeSync().ReplaceAllRunning = [&] { return replacing; };
    f.editor->setCaret(0, 10);
    QCOMPARE(f.tree->selectedNode(), 0);
    QCOMPARE(lookups, 0);
    QCOMPARE(f.window().feedback().panel(1)->text(), QStringLiteral("Ln: 11 / 314"));
    replacing = false;
    f.editor->setCaret(1, 10);
    QCOMPARE(f.tree->selectedNode(), 6);
    QCOMPARE(lookups, 1);
    // The lookup runs on every move, also within a line.
    f.editor->setCaret(2, 10);
    QCOMPARE(lookups, 2);
    f.window().treeSync().LookupSelectedNumber = nullptr;
    f.window().treeSync().ReplaceAllRunning = nullptr;
}

void TestTreeSync::collapseMovesSelectionWithoutMovingEditor() {
    SyncFixture f;
    f.tree->selectNode(5);
    QCOMPARE(f.editor->caretLine(), 7);
    const int caret = f.editor->selectionStart();
    f.tree->collapse(f.tree->indexOfNode(0));
    QCOMPARE(f.tree->selectedNode(), 0);
    QCOMPARE(f.editor->selectionStart(), caret);
    QCOMPARE(f.tree->TreeState, int(PageTree::Idle));
    QCOMPARE(f.window().RememberedNodePath, QStringList{QStringLiteral("alpha")});
}

void TestTreeSync::fullExpand() {
    SyncFixture f;
    f.tree->collapseAll();
    f.tree->TreeState = PageTree::Syncing;
    f.tree->selectNode(0);
    f.tree->TreeState = PageTree::Idle;
    f.window().treeSync().PMExpandClick();
    QVERIFY(f.tree->isExpanded(f.tree->indexOfNode(0)));
    QVERIFY(f.tree->isExpanded(f.tree->indexOfNode(4)));
    QVERIFY(!f.tree->isExpanded(f.tree->indexOfNode(7)));
}

void TestTreeSync::selectedNodeIsDrawnHighlighted() {
    SyncFixture f;
    f.tree->selectNode(6);
    // The editor has the focus: the selection still shows in the highlight colour, text white.
    QTRY_VERIFY(f.editor->hasFocus());
    const QRect text = f.tree->nodeTextRect(6);
    const QColor highlight = f.tree->palette().color(QPalette::Active, QPalette::Highlight);
    QImage image = f.tree->viewport()->grab().toImage();
    QCOMPARE(image.pixelColor(text.right() - 1, text.top() + 1), highlight);
    // Only the text: the branch area left of the node is not filled.
    QVERIFY(image.pixelColor(1, text.center().y()) != highlight);
    bool white = false;
    for (int x = text.left(); x < text.right() && !white; ++x) {
        for (int y = text.top(); y < text.bottom() && !white; ++y)
            white = qMin(qMin(image.pixelColor(x, y).red(), image.pixelColor(x, y).green()),
                         image.pixelColor(x, y).blue()) > 230;
    }
    QVERIFY(white);
    // During an in-place edit the box under the editor is white.
    f.window().treeSync().PMEditKeyClick();
    QVERIFY(f.tree->isEditing());
    image = f.tree->viewport()->grab().toImage();
    QCOMPARE(image.pixelColor(text.right() - 1, text.bottom() - 1), QColor(Qt::white));
}

// A character outside the Basic Multilingual Plane is one character of the editor's text (two
// UTF-16 units of a QString): the key selected, and the value replaced, are exactly theirs.
void TestTreeSync::keysAndValuesOutsideTheBasicPlane() {
    SyncFixture f;
    // Typed into the editor (a code page 1252 file cannot hold them), then the tree rebuilt.
    ReplaceLine(f.editor, 3, QString::fromUcs4(U"| | k\U0001F600y: v\U0001D11Ew;"));
    QVERIFY(f.window().treeSync().RebuildCurrentTree());
    QCOMPARE(f.tree->structure().text(1), QString::fromUcs4(U"k\U0001F600y"));
    f.tree->selectNode(0);
    f.tree->selectNode(1);
    QCOMPARE(f.editor->selectedText8(), QString::fromUcs4(U"k\U0001F600y"));
    f.dialogs().clear();
    f.dialogs().inputs.enqueue(QString::fromUcs4(U"\U0001F600!"));
    f.window().treeSync().EditNodeValue();
    QCOMPARE(f.dialogs().texts(QStringLiteral("input")).size(), 1);
    QCOMPARE(f.editor->Line(3), QString::fromUcs4(U"| | k\U0001F600y: \U0001F600!;"));
    QVERIFY(f.dialogs().texts(QStringLiteral("warning")).isEmpty());
}

QTEST_MAIN(TestTreeSync)
#include "tst_tree_sync.moc"
