// The page context follows the page that shows: a tab clicked while the focus is outside the
// pages makes its page current, and the page commands act on it.

#include "document/document_fixture.h"

#include "document/document_controller.h"
#include "document/page.h"
#include "document/page_context.h"
#include "editor/page_editor.h"
#include "ui/feedback.h"
#include "ui/folder_tree.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

namespace {

void Edit(PageEditor *editor, const QString &text) {
    editor->setCaret(0, 0);
    editor->replaceSelection(text);
}

void ClickTab(TFormMain &window, int index) {
    QTabBar *bar = window.PC->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(index).center());
}

} // namespace

class TestPageContext : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void tabClickedFromTheFolderTreeBecomesCurrent();
    void commandsActOnTheVisiblePage();
    void closingTheActiveLastPageActivatesTheFirst();
};

void TestPageContext::tabClickedFromTheFolderTreeBecomesCurrent() {
    DocumentFixture f;
    const QString a = f.writeRbf(QStringLiteral("a"));
    const QString b = f.writeRbf(QStringLiteral("b"));
    f.open({a, b});
    QCOMPARE(f.window().context().CurrentSheet, f.page(1));
    f.window().SLV->setFocus();
    QCOMPARE(QApplication::focusWidget(), f.window().SLV);
    ClickTab(f.window(), 0);
    QCOMPARE(f.window().PC->currentIndex(), 0);
    // The tab bar takes no focus from the tree: only the visible page can move the context.
    QVERIFY(!f.page(0)->isAncestorOf(QApplication::focusWidget()));
    PageContext &context = f.window().context();
    QCOMPARE(context.CurrentSheet, f.page(0));
    QCOMPARE(context.CurrentPageIndex, 0);
    QCOMPARE(context.CurrentEditor, f.editor(0));
    QCOMPARE(context.CurrentTree, f.tree(0));
    QCOMPARE(context.CurrentRbfPath, a);
    QCOMPARE(context.CurrentTextPath, DocumentFixture::textPathOf(a));
    // The status line names the page that shows.
    QCOMPARE(f.window().feedback().statusText(), a);
    // Also when the active page changes by the program (an already open file).
    f.documents().IsAlreadyOpen(b);
    QCOMPARE(context.CurrentSheet, f.page(1));
}

void TestPageContext::commandsActOnTheVisiblePage() {
    DocumentFixture f;
    const QString a = f.writeRbf(QStringLiteral("a"));
    const QString b = f.writeRbf(QStringLiteral("b"));
    f.open({a, b});
    QPointer<Page> pageA = f.page(0);
    QPointer<Page> pageB = f.page(1);
    Edit(pageA->editor(), QStringLiteral("edited a "));
    Edit(pageB->editor(), QStringLiteral("edited b "));
    f.window().SLV->setFocus();
    ClickTab(f.window(), 0);
    // ReOpen reloads the page that shows; the hidden page keeps its edits.
    f.window().click(QStringLiteral("TBReOpen"));
    QVERIFY(!pageA->editor()->isModified());
    QVERIFY(!pageA->editor()->text8().startsWith(QStringLiteral("edited a")));
    QVERIFY(pageB->editor()->text8().startsWith(QStringLiteral("edited b ")));
    QVERIFY(pageB->editor()->isModified());
    // Save writes the page that shows.
    f.window().SLV->setFocus();
    ClickTab(f.window(), 1);
    f.window().click(QStringLiteral("TBSave"));
    QVERIFY(!pageB->editor()->isModified());
    QVERIFY(DocumentFixture::read(b).startsWith("edited b "));
    QCOMPARE(DocumentFixture::read(a), SampleText());
    // Close closes the page that shows.
    f.window().SLV->setFocus();
    ClickTab(f.window(), 0);
    f.window().click(QStringLiteral("TBClose"));
    QVERIFY(pageA.isNull());
    QVERIFY(!pageB.isNull());
    QVERIFY(f.dialogs().calls.isEmpty());
}

void TestPageContext::closingTheActiveLastPageActivatesTheFirst() {
    DocumentFixture f;
    f.open(
        {f.writeRbf(QStringLiteral("a")), f.writeRbf(QStringLiteral("b")), f.writeRbf(QStringLiteral("c"))});
    Page *a = f.page(0);
    Page *b = f.page(1);
    QCOMPARE(f.window().PC->currentIndex(), 2);
    f.window().click(QStringLiteral("TBClose"));
    QCOMPARE(f.window().PC->currentWidget(), a);
    QCOMPARE(f.window().context().CurrentSheet, a);
    // Closing an active page that is not the last still activates the page after it.
    f.window().PC->setCurrentIndex(0);
    f.window().click(QStringLiteral("TBClose"));
    QCOMPARE(f.window().PC->currentWidget(), b);
    QCOMPARE(f.window().context().CurrentSheet, b);
}

QTEST_MAIN(TestPageContext)
#include "tst_page_context.moc"
