// The editor tools in pages opened through the converter, where the documents' handlers run:
// the number lookup as the second half of the caret synchronisation, the tree kept still during
// a replace-all, F3 in a new page, and the font change with the tab marks.

#include "document/document_fixture.h"

#include "document/document_controller.h"
#include "document/page.h"
#include "document/page_context.h"
#include "editor/find_dialog.h"
#include "editor/find_replace.h"
#include "editor/page_editor.h"
#include "editor/replace_dialog.h"
#include "editor/view_tools.h"
#include "tree/page_tree.h"
#include "ui/feedback.h"
#include "ui/hint_popup.h"

#include <QComboBox>
#include <QPushButton>
#include <QTest>

namespace {

QByteArray Ucs(const QString &text) {
    QByteArray bytes("\xFF\xFE", 2);
    bytes.append(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    return bytes;
}

// Nodes: unit (line 2), id (3), name (4), speed (5), other (7), count (8).
const QByteArray kText =
    "root\r\n{\r\n| unit: {\r\n| | id: 123;\r\n| | name: \"Kestrel\";\r\n| | speed: 4;\r\n| }\r\n"
    "| other: {\r\n| | count: 123;\r\n| }\r\n}\r\n";

QString HintText(TFormMain &window) {
    HintPopup *hint = window.feedback().hintWindow();
    return hint && hint->isVisible() ? hint->text() : QString();
}

class PagesFixture : public DocumentFixture {
public:
    PagesFixture() {
        fixture.dialogs.files.enqueue({fixture.writeFile(
            QStringLiteral("strings.ucs"), Ucs(QStringLiteral("4\tfour\r\n123\tHello world\r\n")))});
        window().click(QStringLiteral("TBAddUCS"));
        window().CBUCS->hidePopup();
        open(writeRbf(QStringLiteral("unit"), kText));
        dialogs().clear();
    }
    void select(int start, int length) {
        PageEditor *e = editor(0);
        e->setSelectionStart(start);
        e->setSelectionLength(length);
    }
    int positionOf(const QString &text) { return static_cast<int>(editor(0)->text8().indexOf(text)); }
};

} // namespace

class ToolsInPagesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void selectingANumberLooksItUp() {
        PagesFixture f;
        f.select(f.positionOf(QStringLiteral("123")), 3);
        // After the caret move is handled, not inside it.
        QTRY_COMPARE(HintText(f.window()), QStringLiteral("Hello world"));
        // The tree followed the caret first.
        QCOMPARE(f.tree(0)->selectedNode(), 1);
        f.select(f.positionOf(QStringLiteral("123")), 2);
        QTRY_COMPARE(HintText(f.window()), QStringLiteral("No match!"));
        f.select(f.positionOf(QStringLiteral("Kestrel")), 0);
        QTRY_COMPARE(HintText(f.window()), QString());
    }

    void aFindOfANumberStartsNoLookup() {
        PagesFixture f;
        FindReplace &fr = f.window().findReplace();
        f.select(0, 0);
        fr.FindD->setFindText(QStringLiteral("123"));
        fr.FindDFind();
        QCOMPARE(f.editor(0)->selectedText8(), QStringLiteral("123"));
        QCOMPARE(f.tree(0)->selectedNode(), 1);
        QTest::qWait(20); // a lookup would run by now
        QVERIFY(HintText(f.window()) != QStringLiteral("Hello world"));
        // F3 in the page: the next occurrence, on the line of another node, again without lookup.
        QTest::keyClick(f.editor(0), Qt::Key_F3);
        QCOMPARE(f.editor(0)->caretLine(), 8);
        QCOMPARE(f.tree(0)->selectedNode(), 5);
        QTest::qWait(20);
        QVERIFY(HintText(f.window()) != QStringLiteral("Hello world"));
    }

    void replaceAllLeavesTheTreeWhereItWas() {
        PagesFixture f;
        FindReplace &fr = f.window().findReplace();
        f.editor(0)->setCaret(2, 8);
        QCOMPARE(f.tree(0)->selectedNode(), 5);
        f.tree(0)->selectNode(0);
        f.editor(0)->setCaret(2, 8);
        fr.RD->setFindText(QStringLiteral("123"));
        fr.RD->setReplaceText(QStringLiteral("77"));
        QTest::mouseClick(fr.RD->findChild<QPushButton *>(QStringLiteral("ReplaceAll")), Qt::LeftButton);
        QCOMPARE(f.editor(0)->Line(8), QStringLiteral("| | count: 77;"));
        QCOMPARE(f.editor(0)->caretLine(), 8);
        QCOMPARE(f.editor(0)->caretColumn(), 2);
        // The rewrite moved the caret to the start and back: the tree stayed at its node.
        QCOMPARE(f.tree(0)->selectedNode(), 0);
        QCOMPARE(f.page(0)->TabImage, 1);
    }

    void fontChangeKeepsTheTabMarks() {
        PagesFixture f;
        f.open(f.writeRbf(QStringLiteral("second"), kText));
        f.window().PC->setCurrentIndex(0);
        SelectPageContext(f.window().context(), f.window().PC, 0);
        QTest::keyClicks(f.editor(0), QStringLiteral("x"));
        QCOMPARE(f.page(0)->TabImage, 1);
        QCOMPARE(f.page(1)->TabImage, 0);
        bool handlerStood = false;
        f.dialogs().onCall = [&](const DialogCall &) {
            handlerStood = f.documents().FontChanging && f.documents().FontChanging();
        };
        QFont font(QStringLiteral("DejaVu Sans Mono"));
        font.setPointSize(15);
        f.dialogs().fonts.enqueue(QVariant::fromValue(font));
        f.window().click(QStringLiteral("TBFont"));
        QVERIFY(handlerStood);
        QVERIFY(!f.documents().FontChanging());
        QVERIFY(f.editor(0)->isModified());
        QVERIFY(!f.editor(1)->isModified());
        QCOMPARE(f.page(0)->TabImage, 1);
        QCOMPARE(f.page(1)->TabImage, 0);
        QCOMPARE(f.window().context().CurrentSheet, f.page(0));
        // A page opened afterwards takes the font for its text.
        f.open(f.writeRbf(QStringLiteral("third"), kText));
        QCOMPARE(f.editor(2)->SendScintilla(PageEditor::SCI_STYLEGETSIZE, PageEditor::STYLE_DEFAULT), 15);
        QCOMPARE(f.tree(2)->font().pointSize(), 15);
    }
};

QTEST_MAIN(ToolsInPagesTest)
#include "tools_in_pages_test.moc"
