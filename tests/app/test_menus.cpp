// The three context menus: their items, images and enabled rules, the editor
// menu's actions on the current editor, the tab menu's index and hooks.

#include "app/context_menus.h"
#include "editor/page_editor.h"
#include "tree/page_tree.h"
#include "tree/structure_tree.h"
#include "tree/tree_sync.h"
#include "ui/feedback.h"
#include "ui/icons.h"
#include "window_test_helpers.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QTabBar>
#include <QTest>

namespace {

// Item names and captions in order; "-" for a separator.
QStringList Items(const QMenu *menu) {
    QStringList items;
    for (QAction *action : menu->actions())
        items << (action->isSeparator() ? QStringLiteral("-")
                                        : action->objectName() + QLatin1Char('=') + action->text());
    return items;
}

QImage Picture(const QIcon &icon) {
    return icon.pixmap(QSize(16, 16)).toImage().convertToFormat(QImage::Format_ARGB32);
}

// Opens the menu as the program does and closes it again; its popup handler has run.
void OpenAndClose(TFormMain &window, QMenu *menu) {
    window.PopupAtCursor(menu);
    QVERIFY(menu->isVisible());
    menu->close();
}

bool Enabled(TFormMain &window, const char *name) {
    return window.action(QString::fromLatin1(name))->isEnabled();
}

} // namespace

class TestMenus : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void itemsCaptionsAndImages() {
        WindowFixture fixture;
        TFormMain &window = fixture.window();
        QCOMPARE(
            Items(window.PMRichEdit),
            (QStringList{"PMUndo=Undo", "-", "PMCut=Cut", "PMCopy=Copy", "PMPaste=Paste", "-", "PMFind=Find",
                         "PMReplace=Replace", "-", "PMRebuildTree=Rebuild Tree", "-", "PMHighlight=Highlight",
                         "PMFolding=Folding", "PMLineNumbers=Line Numbers", "PMFoldAll=Fold All",
                         "PMUnfoldAll=Unfold All", "-", "PMSave=Save", "PMRestoreBackup=Restore backup..."}));
        QCOMPARE(Items(window.PMTreeView),
                 (QStringList{"PMEditKey=Edit Key", "PMEditValue=Edit Value", "-", "PMExpand=Full Expand"}));
        QCOMPARE(Items(window.PMTab),
                 (QStringList{"PMTabClose=Close", "PMTabCloseAll=Close All", "-", "PMTabSave=Save",
                              "PMTabSaveAll=Save All", "-", "PMTabRestoreBackup=Restore backup..."}));
        const QMap<QString, int> images = {{"PMFind", 11},   {"PMReplace", 12},  {"PMRebuildTree", 13},
                                           {"PMSave", 2},    {"PMTabClose", 5},  {"PMTabCloseAll", 14},
                                           {"PMTabSave", 2}, {"PMTabSaveAll", 3}};
        for (QMenu *menu : {window.PMRichEdit, window.PMTreeView, window.PMTab}) {
            for (QAction *action : menu->actions()) {
                if (action->isSeparator())
                    continue;
                QCOMPARE(window.action(action->objectName()), action);
                if (images.contains(action->objectName()))
                    QCOMPARE(Picture(action->icon()), Picture(MainImage(images.value(action->objectName()))));
                else
                    QVERIFY2(action->icon().isNull(), qPrintable(action->objectName()));
            }
        }
    }

    void menuItemsRunTheirButtons() {
        WindowFixture fixture;
        TFormMain &window = fixture.window();
        ActionSpies spies(window,
                          {"TBFind", "TBReplace", "TBRebuildTree", "TBSave", "TBCloseAll", "TBSaveAll"});
        for (const char *item :
             {"PMFind", "PMReplace", "PMRebuildTree", "PMSave", "PMTabCloseAll", "PMTabSaveAll"})
            window.click(QString::fromLatin1(item));
        QCOMPARE(spies.fired(),
                 (QStringList{"TBCloseAll", "TBFind", "TBRebuildTree", "TBReplace", "TBSave", "TBSaveAll"}));
    }

    void editorMenuStatesAndActions() {
        WindowFixture fixture;
        TFormMain &window = fixture.window();
        // No page: nothing to undo, cut or copy; Paste is always enabled.
        OpenAndClose(window, window.PMRichEdit);
        QVERIFY(!Enabled(window, "PMUndo") && !Enabled(window, "PMCut") && !Enabled(window, "PMCopy"));
        QVERIFY(Enabled(window, "PMPaste") && Enabled(window, "PMFind") && Enabled(window, "PMReplace") &&
                Enabled(window, "PMRebuildTree") && Enabled(window, "PMSave"));

        Page *page = AddPage(window, QStringLiteral("a"));
        QVERIFY(SelectPageContext(window.context(), window.PC, 0));
        PageEditor *editor = page->editor();
        editor->setText8(QStringLiteral("Name Value\n"));
        QApplication::clipboard()->clear();
        OpenAndClose(window, window.PMRichEdit);
        QVERIFY(!Enabled(window, "PMUndo") && !Enabled(window, "PMCut") && !Enabled(window, "PMCopy"));
        QVERIFY(Enabled(window, "PMPaste"));

        editor->setSelectionStart(5);
        editor->setSelectionLength(5);
        OpenAndClose(window, window.PMRichEdit);
        QVERIFY(Enabled(window, "PMCut") && Enabled(window, "PMCopy") && !Enabled(window, "PMUndo"));
        window.click(QStringLiteral("PMCopy"));
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("Value"));
        window.click(QStringLiteral("PMCut"));
        QCOMPARE(editor->text8(), QStringLiteral("Name \n"));
        OpenAndClose(window, window.PMRichEdit);
        QVERIFY(Enabled(window, "PMUndo"));
        QVERIFY(!Enabled(window, "PMCut"));
        window.click(QStringLiteral("PMPaste"));
        window.click(QStringLiteral("PMPaste"));
        QCOMPARE(editor->text8(), QStringLiteral("Name ValueValue\n"));
        window.click(QStringLiteral("PMUndo"));
        QCOMPARE(editor->text8(), QStringLiteral("Name Value\n"));
    }

    void editorMenuHidesTheHint() {
        WindowFixture fixture;
        TFormMain &window = fixture.window();
        window.feedback().HintAnchor = QPoint(40, 50);
        window.feedback().ShowHintPopup(QStringLiteral("value"), false, 0);
        QVERIFY(window.feedback().hintWindow());
        QCOMPARE(window.feedback().HintAnchor, QPoint(40, 50));
        window.PopupAtCursor(window.PMRichEdit);
        QVERIFY(window.PMRichEdit->isVisible());
        QVERIFY(!window.feedback().hintWindow());
        QCOMPARE(window.feedback().HintAnchor, Feedback::NoAnchor);
        window.PMRichEdit->close();
    }

    void treeMenuStates() {
        WindowFixture fixture;
        TFormMain &window = fixture.window();
        auto check = [&window](bool key, bool value, bool expand) {
            OpenAndClose(window, window.PMTreeView);
            QCOMPARE(Enabled(window, "PMEditKey"), key);
            QCOMPARE(Enabled(window, "PMEditValue"), value);
            QCOMPARE(Enabled(window, "PMExpand"), expand);
        };
        check(false, false, false); // no page
        Page *page = AddPage(window, QStringLiteral("a"));
        window.treeSync().attach(page);
        page->editor()->setText8(QStringLiteral("{\n| name: 1;\n| cost: {\n| | gas: 0;\n| }\n}\n"));
        QVERIFY(SelectPageContext(window.context(), window.PC, 0));
        window.click(QStringLiteral("TBRebuildTree"));
        const StructureTree &tree = page->tree()->structure();
        int parent = -1;
        int leaf = -1;
        for (int node = 0; node < tree.nodeCount(); ++node)
            (tree.hasChildren(node) ? parent : leaf) = node;
        QVERIFY(parent >= 0 && leaf >= 0);
        page->tree()->selectNode(parent);
        check(true, false, true); // a node with children
        page->tree()->selectNode(leaf);
        check(true, true, false); // a leaf
    }

    void tabMenuStatesFollowThePageControl() {
        WindowFixture fixture;
        TFormMain &window = fixture.window();
        auto check = [&window](bool one, bool all) {
            OpenAndClose(window, window.PMTab);
            QCOMPARE(Enabled(window, "PMTabClose"), one);
            QCOMPARE(Enabled(window, "PMTabSave"), one);
            QCOMPARE(Enabled(window, "PMTabCloseAll"), all);
            QCOMPARE(Enabled(window, "PMTabSaveAll"), all);
        };
        check(false, false);
        AddPage(window, QStringLiteral("a"));
        check(true, false);
        AddPage(window, QStringLiteral("b"));
        check(true, true);
        window.PC->setCurrentIndex(1);
        check(true, true);
    }

    void rightClickOnTheTabRow() {
        WindowFixture fixture;
        GiveConverter(fixture);
        TFormMain &window = fixture.window();
        AddPage(window, QStringLiteral("first"));
        AddPage(window, QStringLiteral("second"));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTabBar *bar = window.PC->tabBar();
        QList<int> closed;
        QList<int> saved;
        window.hooks.ClosePage = [&closed](int index) { closed << index; };
        window.hooks.SavePage = [&saved](int index) { saved << index; };

        // On the second tab while the first is active: the menu acts on the second; nothing else changes.
        QCOMPARE(window.PC->currentIndex(), 0);
        QTest::mousePress(bar, Qt::RightButton, Qt::NoModifier, bar->tabRect(1).center());
        QCOMPARE(window.TabMenuPageIndex, 1);
        QVERIFY(window.PMTab->isVisible());
        QCOMPARE(window.PC->currentIndex(), 0);
        window.PMTab->close();
        window.click(QStringLiteral("PMTabClose"));
        window.click(QStringLiteral("PMTabSave"));
        QCOMPARE(closed, QList<int>{1});
        QCOMPARE(saved, QList<int>{1});

        // Beside the tabs: index -1; Close and Save stay enabled and pass -1 on.
        const QPoint beside(window.PC->width() - 5, bar->geometry().center().y());
        QVERIFY(bar->tabAt(bar->mapFrom(window.PC, beside)) < 0);
        QTest::mousePress(window.PC, Qt::RightButton, Qt::NoModifier, beside);
        QCOMPARE(window.TabMenuPageIndex, -1);
        QVERIFY(window.PMTab->isVisible());
        QVERIFY(Enabled(window, "PMTabClose") && Enabled(window, "PMTabSave"));
        window.PMTab->close();
        window.click(QStringLiteral("PMTabClose"));
        QCOMPARE(closed, (QList<int>{1, -1}));

        // The left button and presses below the tab row open nothing.
        window.TabMenuPageIndex = 7;
        QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(1).center());
        QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(1).center());
        QCOMPARE(window.PC->currentIndex(), 1);
        QTest::mousePress(window.PC, Qt::RightButton, Qt::NoModifier, QPoint(20, window.PC->height() - 20));
        QCOMPARE(window.TabMenuPageIndex, 7);
        QVERIFY(!window.PMTab->isVisible());
    }

    void tabMenuCloseReachesTheDocuments() {
        WindowFixture fixture;
        TFormMain &window = fixture.window();
        Page *first = AddPage(window, QStringLiteral("a"));
        AddPage(window, QStringLiteral("b"));
        window.TabMenuPageIndex = -1;
        window.click(QStringLiteral("PMTabClose"));
        QCOMPARE(window.PC->count(), 2);
        window.TabMenuPageIndex = 1;
        window.click(QStringLiteral("PMTabClose"));
        QCOMPARE(window.PC->count(), 1);
        QCOMPARE(window.PC->widget(0), first);
        QVERIFY(fixture.dialogs.calls.isEmpty());
    }

    void popupAtCursorWithoutAMenuDoesNothing() {
        WindowFixture fixture;
        fixture.window().PopupAtCursor(nullptr);
        QCursor::setPos(123, 145);
        fixture.window().PopupAtCursor(fixture.window().PMTab);
        QCOMPARE(fixture.window().PMTab->pos(), QPoint(123, 145));
        fixture.window().PMTab->close();
    }
};

QTEST_MAIN(TestMenus)
#include "test_menus.moc"
