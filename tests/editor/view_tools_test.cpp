// The editor font and the arrangement of the tree panes against the real window.

#include "editor/test_pages.h"
#include "editor/view_tools.h"
#include "support/window_fixture.h"
#include "tree/page_tree.h"
#include "ui/feedback.h"

#include <QSplitter>
#include <QTabBar>
#include <QTimer>
#include <QtTest>

class ViewToolsTest : public QObject {
    Q_OBJECT

private:
    static QString hintText(TFormMain &window) {
        HintPopup *hint = window.feedback().hintWindow();
        return hint && hint->isVisible() ? hint->text() : QString();
    }
    static int hintSeconds(TFormMain &window) { return window.feedback().TimerHideHint()->interval() / 1000; }
    // The page area of a shown window, resized so that the current page is width pixels wide.
    static void setPageWidth(Page *page, int width) {
        page->resize(width, 400);
        QCOMPARE(page->width(), width);
    }
    static int styleSize(PageEditor *editor) {
        return static_cast<int>(
            editor->SendScintilla(QsciScintillaBase::SCI_STYLEGETSIZE, QsciScintillaBase::STYLE_DEFAULT));
    }
    static QFont chosenFont() {
        QFont font(QStringLiteral("DejaVu Sans Mono"));
        font.setPointSize(17);
        font.setItalic(true);
        return font;
    }

private Q_SLOTS:
    void fontChangeKeepsEveryModifiedFlag() {
        WindowFixture f;
        f.window().show();
        Page *first = AddTextPage(f.window(), QStringLiteral("a: 1;\r\n"), QStringLiteral("/d/a.rbf"));
        Page *second = AddTextPage(f.window(), QStringLiteral("b: 2;\r\n"), QStringLiteral("/d/b.rbf"));
        first->editor()->insertAt(QStringLiteral("x"), 0, 0);
        QVERIFY(first->editor()->isModified());
        QVERIFY(!second->editor()->isModified());
        f.window().PC->setCurrentIndex(0);
        SelectPageContext(f.window().context(), f.window().PC, 0);
        ViewTools &tools = f.window().viewTools();
        bool changingInDialog = false;
        f.dialogs.onCall = [&](const DialogCall &) { changingInDialog = tools.FontChanging; };
        f.dialogs.fonts.enqueue(QVariant::fromValue(chosenFont()));
        f.window().click(QStringLiteral("TBFont"));
        QVERIFY(changingInDialog);
        QVERIFY(!tools.FontChanging);
        QVERIFY(first->editor()->isModified());
        QVERIFY(!second->editor()->isModified());
        // The context names the visible page again, not the last page walked.
        QCOMPARE(f.window().context().CurrentSheet, first);
        QCOMPARE(f.window().context().CurrentPageIndex, 0);
    }

    void tabsTreesAndEditorsTakeTheFontAlsoLaterPages() {
        WindowFixture f;
        Page *before = AddTextPage(f.window(), QStringLiteral("a: 1;\r\n"), QStringLiteral("/d/a.rbf"));
        f.dialogs.fonts.enqueue(QVariant::fromValue(chosenFont()));
        f.window().click(QStringLiteral("TBFont"));
        Page *after = AddTextPage(f.window(), QStringLiteral("b: 2;\r\n"), QStringLiteral("/d/b.rbf"));
        QCOMPARE(f.window().PC->font().pointSize(), 17);
        QCOMPARE(f.window().PC->tabBar()->font().pointSize(), 17);
        for (Page *page : {before, after}) {
            QCOMPARE(page->tree()->font().pointSize(), 17);
            QVERIFY(page->tree()->font().italic());
            QCOMPARE(page->editor()->font().pointSize(), 17);
            // The text itself, which QScintilla draws in its style font.
            QCOMPARE(styleSize(page->editor()), 17);
            QVERIFY(page->editor()->SendScintilla(QsciScintillaBase::SCI_STYLEGETITALIC,
                                                  QsciScintillaBase::STYLE_DEFAULT) != 0);
        }
    }

    void cancellingTheFontDialogChangesNothing() {
        WindowFixture f;
        Page *page = AddTextPage(f.window(), QStringLiteral("a: 1;\r\n"));
        const QFont old = f.window().PC->font();
        const int oldSize = styleSize(page->editor());
        f.window().click(QStringLiteral("TBFont")); // no answer queued: cancelled
        QCOMPARE(f.dialogs.texts(QStringLiteral("font")).size(), 1);
        QCOMPARE(f.window().PC->font(), old);
        QCOMPARE(styleSize(page->editor()), oldSize);
        QVERIFY(!page->editor()->isModified());
        QVERIFY(!f.window().viewTools().FontChanging);
    }

    void fontWithoutPagesIsForPagesOpenedLater() {
        WindowFixture f;
        f.dialogs.fonts.enqueue(QVariant::fromValue(chosenFont()));
        f.window().click(QStringLiteral("TBFont"));
        QVERIFY(f.window().context().CurrentSheet == nullptr);
        Page *page = AddTextPage(f.window(), QStringLiteral("a: 1;\r\n"));
        QCOMPARE(styleSize(page->editor()), 17);
    }

    void arrangeGivesTheDefaultWidth_data() {
        QTest::addColumn<int>("pageWidth");
        QTest::addColumn<int>("treeWidth");
        QTest::newRow("1200") << 1200 << 300;
        QTest::newRow("600") << 600 << 200;
        QTest::newRow("899") << 899 << 299;
    }
    void arrangeGivesTheDefaultWidth() {
        QFETCH(int, pageWidth);
        QFETCH(int, treeWidth);
        WindowFixture f;
        f.window().resize(1600, 700);
        f.window().show();
        Page *page = AddTextPage(f.window(), QStringLiteral("a: 1;\r\n"));
        QCoreApplication::processEvents();
        setPageWidth(page, pageWidth);
        page->setTreeWidth(50);
        f.window().click(QStringLiteral("TBArrange"));
        QCOMPARE(page->treeWidth(), treeWidth);
        QCOMPARE(hintText(f.window()), QStringLiteral("View rearranged"));
    }

    void f2SetsADraggedTreeBackNearTheMouse() {
        WindowFixture f;
        f.window().resize(1400, 700);
        f.window().show();
        Page *page = AddTextPage(f.window(), QStringLiteral("a: 1;\r\n"));
        QCoreApplication::processEvents();
        setPageWidth(page, 1000);
        page->setTreeWidth(450);
        QCOMPARE(page->treeWidth(), 450);
        QCursor::setPos(QPoint(200, 150));
        QTest::keyClick(page->editor(), Qt::Key_F2);
        QCOMPARE(page->treeWidth(), 300);
        QCOMPARE(hintText(f.window()), QStringLiteral("View rearranged"));
        QCOMPARE(hintSeconds(f.window()), 3);
        QCOMPARE(f.window().feedback().hintWindow()->requestedTopLeft(), QCursor::pos() + QPoint(16, 0));
        QCOMPARE(f.window().feedback().HintAnchor, Feedback::NoAnchor);
    }

    void arrangeToMakesAllEqualToTheCurrentPage() {
        WindowFixture f;
        f.window().resize(1400, 700);
        f.window().show();
        QList<Page *> pages;
        for (const char *name : {"/d/a.rbf", "/d/b.rbf", "/d/c.rbf"})
            pages << AddTextPage(f.window(), QStringLiteral("a: 1;\r\n"), QString::fromLatin1(name));
        const int widths[] = {120, 300, 250};
        for (int i = 0; i < 3; ++i) {
            f.window().PC->setCurrentIndex(i);
            QCoreApplication::processEvents();
            pages[i]->setTreeWidth(widths[i]);
            QCOMPARE(pages[i]->treeWidth(), widths[i]);
        }
        f.window().PC->setCurrentIndex(1);
        SelectPageContext(f.window().context(), f.window().PC, 1);
        f.window().click(QStringLiteral("TBArrangeTo"));
        QCOMPARE(f.window().context().CurrentSheet, pages[1]);
        QCOMPARE(hintText(f.window()), QStringLiteral("All views are set"));
        QCOMPARE(hintSeconds(f.window()), 3);
        for (int i = 0; i < 3; ++i) {
            f.window().PC->setCurrentIndex(i);
            QCoreApplication::processEvents();
            QCOMPARE(pages[i]->treeWidth(), 300);
        }
    }

    void arrangeAllGivesEachPageItsDefault() {
        WindowFixture f;
        f.window().resize(1400, 700);
        f.window().show();
        Page *first = AddTextPage(f.window(), QStringLiteral("a: 1;\r\n"), QStringLiteral("/d/a.rbf"));
        Page *second = AddTextPage(f.window(), QStringLiteral("b: 1;\r\n"), QStringLiteral("/d/b.rbf"));
        QCoreApplication::processEvents();
        setPageWidth(second, 600);
        f.window().PC->setCurrentIndex(0);
        QCoreApplication::processEvents();
        setPageWidth(first, 1200);
        first->setTreeWidth(40);
        second->setTreeWidth(40);
        f.window().click(QStringLiteral("TBArrangeAll"));
        QCOMPARE(first->treeWidth(), 300);
        QCOMPARE(second->treeWidth(), 200);
        QCOMPARE(f.window().context().CurrentSheet, first);
        QCOMPARE(hintText(f.window()), QStringLiteral("All views rearranged"));
    }

    void withoutPagesOnlyArrangeAllHidesThePopup() {
        WindowFixture f;
        f.window().show();
        f.window().click(QStringLiteral("TBArrange"));
        f.window().click(QStringLiteral("TBArrangeTo"));
        QVERIFY(f.window().feedback().hintWindow() == nullptr);
        f.window().feedback().ShowHintPopup(QStringLiteral("shown before"), true, 0);
        f.window().click(QStringLiteral("TBArrange"));
        f.window().click(QStringLiteral("TBArrangeTo"));
        QCOMPARE(hintText(f.window()), QStringLiteral("shown before"));
        f.window().click(QStringLiteral("TBArrangeAll"));
        QVERIFY(f.window().feedback().hintWindow() == nullptr);
    }
};

QTEST_MAIN(ViewToolsTest)
#include "view_tools_test.moc"
