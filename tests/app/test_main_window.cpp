// The main window: its components and layout, the command table (hints, images,
// no disabled button), the shell's own commands (About, Refresh, Rebuild Tree),
// activation and the fitting of the string-table list.

#include "app/command_table.h"
#include "app/context_menus.h"
#include "editor/page_editor.h"
#include "tree/page_tree.h"
#include "tree/tree_sync.h"
#include "ui/feedback.h"
#include "ui/folder_tree.h"
#include "ui/hint_popup.h"
#include "ui/icons.h"
#include "window_test_helpers.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QRegularExpression>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace {

QImage Picture(const QIcon &icon) {
    return icon.pixmap(QSize(16, 16)).toImage().convertToFormat(QImage::Format_ARGB32);
}

QStringList CommandNames() {
    QStringList names;
    for (const CommandSpec &command : CommandTable())
        names << QString::fromLatin1(command.name);
    return names;
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The status line knows no editors: the window gives it the caret of the page context's editor.
    void caretStatusShowsTheCurrentEditor() {
        WindowFixture fixture;
        GiveConverter(fixture);
        TFormMain &window = fixture.window();
        Page *page = AddPage(window, QStringLiteral("a"));
        QStringList lines;
        for (int i = 1; i <= 10; ++i)
            lines << QStringLiteral("line%1 value").arg(i);
        page->editor()->setText8(lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
        page->editor()->setCaret(3, 4);
        QLabel *line = window.feedback().panel(1);
        QLabel *column = window.feedback().panel(2);
        ClearPageContext(window.context());
        line->setText(QStringLiteral("old"));
        window.feedback().UpdateCaretStatus();
        QCOMPARE(line->text(), QStringLiteral("old"));
        QVERIFY(SelectPageContext(window.context(), window.PC, 0));
        window.feedback().UpdateCaretStatus();
        // A last empty line is not counted.
        QCOMPARE(line->text(), QStringLiteral("Ln: 5 / 10"));
        QCOMPARE(column->text(), QStringLiteral("Col: 4"));
        // The caret is the end of the selection.
        page->editor()->setSelectionStart(page->editor()->positionFromLine(1) + 2);
        page->editor()->setSelectionLength(page->editor()->positionFromLine(2) + 1 -
                                           page->editor()->selectionStart());
        window.feedback().UpdateCaretStatus();
        QCOMPARE(line->text(), QStringLiteral("Ln: 3 / 10"));
        QCOMPARE(column->text(), QStringLiteral("Col: 2"));
    }

    void windowAndComponents() {
        WindowFixture fixture;
        TFormMain &window = fixture.window();
        QCOMPARE(window.windowTitle(), QStringLiteral("Kestrelbench"));
        QCOMPARE(window.objectName(), QStringLiteral("TFormMain"));
        QCOMPARE(window.size(), QSize(900, 600));
        QCOMPARE(window.font(), QApplication::font("QMenu"));
        const QStringList names = {"PanelMain",     "CBMain",
                                   "TBMain",        "PanelSLV",
                                   "SLV",           "SPMain",
                                   "PanelEdit",     "CBEdit",
                                   "TBEditSave",    "TBEditMisc",
                                   "TBUCS",         "TBEditClose",
                                   "CBUCS",         "PC",
                                   "REReadme",      "SB",
                                   "PMRichEdit",    "PMTreeView",
                                   "PMTab",         "AE",
                                   "TimerHideHint", "TimerOpenFiles"};
        for (const QString &name : names)
            QVERIFY2(window.findChild<QObject *>(name), qPrintable(name));
        QCOMPARE(window.OD.title, QStringLiteral("Open Grindle.exe"));
        QCOMPARE(window.OD.filter, QStringLiteral("EXE file|*.exe"));
        QCOMPARE(window.ODUCS.title, QStringLiteral("Open UCS files"));
        QCOMPARE(window.ODUCS.filter, QStringLiteral("UCS file|*.ucs"));
        QCOMPARE(window.OD.directory, fixture.exeDir());
        QCOMPARE(window.ODUCS.directory, fixture.exeDir());
        QCOMPARE(window.TimerOpenFiles->interval(), 200);
        QVERIFY(!window.TimerOpenFiles->isActive());
        QVERIFY(!window.feedback().TimerHideHint()->isActive());
        QCOMPARE(window.SLV->selectionMode(), QAbstractItemView::ExtendedSelection);
        QCOMPARE(window.TabMenuPageIndex, -1);
        QVERIFY(!window.IsActivated);
        QCOMPARE(window.ExeDir, fixture.exeDir());
        QVERIFY(window.ConverterPath.isEmpty());
        QCOMPARE(window.feedback().HintAnchor, Feedback::NoAnchor);
        QVERIFY(window.context().CurrentSheet == nullptr);
    }

    void layoutWhenShown() {
        WindowFixture fixture;
        GiveConverter(fixture);
        TFormMain &window = fixture.window();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.PanelMain->width(), 188);
        QCOMPARE(window.PanelMain->x(), 0);
        QCOMPARE(window.SPMain->handleWidth(), 4);
        QCOMPARE(window.PanelEdit->x(), 188 + 4);
        QCOMPARE(window.SB->height(), 24);
        QCOMPARE(window.SB->y() + window.SB->height(), window.height());
        QVERIFY(window.SB->isSizeGripEnabled());
        QCOMPARE(window.SLV->indentation(), 19);
        QCOMPARE(window.size(), QSize(900, 600));
    }

    void centredWhenFirstShown() {
        WindowFixture fixture;
        GiveConverter(fixture);
        TFormMain &window = fixture.window();
        // Smaller than the offscreen screen, which is narrower than the window's design size.
        window.resize(600, 400);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
        QVERIFY(qAbs(window.frameGeometry().center().x() - centre.x()) <= 1);
        QVERIFY(qAbs(window.frameGeometry().center().y() - centre.y()) <= 1);
        // Only the first time.
        window.hide();
        window.move(10, 20);
        window.show();
        QCOMPARE(window.pos(), QPoint(10, 20));
    }

    void bands() {
        WindowFixture fixture;
        GiveConverter(fixture);
        TFormMain &window = fixture.window();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // The bands in their order and design widths, the page control below them.
        QList<int> x;
        for (QToolBar *bar : {window.TBEditSave, window.TBEditMisc, window.TBUCS, window.TBEditClose})
            x << bar->mapTo(window.PanelEdit, QPoint(0, 0)).x();
        QVERIFY(x[0] < x[1] && x[1] < x[2] && x[2] < x[3]);
        QCOMPARE(window.CBEdit->sizes().mid(0, 3), (QList<int>{149, 196, 288}));
        QCOMPARE(window.PC->y(), window.CBEdit->height());
        QCOMPARE(window.PC->height() + window.CBEdit->height(), window.PanelEdit->height());
        // Buttons 24 x 24 (22 high on TBEditMisc), separators 8 wide; all of them visible.
        for (const CommandSpec &command : CommandTable()) {
            auto *button = window.findChild<QToolButton *>(QString::fromLatin1(command.name));
            QVERIFY2(button, command.name);
            QVERIFY2(button->isVisible(), command.name);
            const int height = QByteArray(command.toolBar) == "TBEditMisc" ? 22 : 24;
            QCOMPARE(button->size(), QSize(24, height));
            QCOMPARE(button->parentWidget()->objectName(), QString::fromLatin1(command.toolBar));
        }
        const auto separators = window.TBMain->findChildren<QWidget *>();
        int eights = 0;
        for (QWidget *widget : separators)
            eights +=
                widget->metaObject()->className() == QByteArray("ToolSeparator") && widget->width() == 8;
        QCOMPARE(eights, 2);
    }

    void leftPanelKeepsFiftyPixelsWhenDragged() {
        WindowFixture fixture;
        GiveConverter(fixture);
        TFormMain &window = fixture.window();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QSplitterHandle *handle = window.SPMain->handle(1);
        const QPoint grip(handle->width() / 2, handle->height() / 2);
        QTest::mousePress(handle, Qt::LeftButton, Qt::NoModifier, grip);
        QTest::mouseMove(handle, grip - QPoint(170, 0));
        QTest::mouseRelease(handle, Qt::LeftButton, Qt::NoModifier, grip - QPoint(170, 0));
        QCOMPARE(window.PanelMain->width(), 50);
        QTest::mousePress(handle, Qt::LeftButton, Qt::NoModifier, grip);
        QTest::mouseMove(handle, grip + QPoint(100, 0));
        QTest::mouseRelease(handle, Qt::LeftButton, Qt::NoModifier, grip + QPoint(100, 0));
        QCOMPARE(window.PanelMain->width(), 150);
    }

    void commandTableHintsAndImages() {
        WindowFixture fixture;
        TFormMain &window = fixture.window();
        const QMap<QString, QPair<QString, int>> expected = {
            {"TBOpen", {"Open selected files (Enter)", 1}},
            {"TBRefresh", {"Refresh Directory Tree (F5)", 0}},
            {"TBAbout", {"About", 9}},
            {"TBReOpen", {"ReOpen", 8}},
            {"TBSave", {"Save (Ctrl-S)", 2}},
            {"TBSaveAll", {"Save all", 3}},
            {"TBRebuildTree", {"Rebuild Tree (F1)", 13}},
            {"TBQuickWizard", {"Quickly find a similiar tree item (F4)", 18}},
            {"TBFind", {"Find (Ctrl-F)", 11}},
            {"TBReplace", {"Replace (Ctrl-H)", 12}},
            {"TBFindInFiles", {"Find in Files (F6)", 11}},
            {"TBFont", {"Editor Font", 6}},
            {"TBArrange", {"Rearrange current page view (F2)", 15}},
            {"TBArrangeAll", {"Rearrange all page views", 16}},
            {"TBArrangeTo", {"Make all page views equal to the current page view", 17}},
            {"TBAddUCS", {"Add UCS files", 7}},
            {"TBRemoveUCS", {"Remove UCS file", 10}},
            {"TBClose", {"Close", 5}},
            {"TBCloseAll", {"Close All", 14}},
        };
        QCOMPARE(CommandNames().size(), expected.size());
        for (auto it = expected.begin(); it != expected.end(); ++it) {
            QAction *action = window.action(it.key());
            QVERIFY2(action, qPrintable(it.key()));
            auto *button = window.findChild<QToolButton *>(it.key());
            QCOMPARE(button->defaultAction(), action);
            QCOMPARE(button->toolTip(), it.value().first);
            QCOMPARE(action->property("imageIndex").toInt(), it.value().second);
            QCOMPARE(Picture(button->icon()), Picture(MainImage(it.value().second)));
        }
        // The tool bars hold their buttons in the table's order, with the separators between groups.
        auto layoutOf = [](QToolBar *bar) {
            QStringList items;
            for (QObject *child : bar->children()) {
                auto *widget = qobject_cast<QWidget *>(child);
                if (widget && bar->layout()->indexOf(widget) >= 0)
                    items << (widget->objectName().isEmpty() ? QStringLiteral("|") : widget->objectName());
            }
            return items;
        };
        QCOMPARE(layoutOf(window.TBMain), (QStringList{"TBOpen", "|", "TBRefresh", "|", "TBAbout"}));
        QCOMPARE(layoutOf(window.TBEditSave), (QStringList{"TBReOpen", "|", "TBSave", "TBSaveAll", "|",
                                                           "TBRebuildTree", "TBQuickWizard"}));
        QCOMPARE(layoutOf(window.TBEditMisc),
                 (QStringList{"TBFind", "TBReplace", "TBFindInFiles", "|", "TBFont", "TBArrange",
                              "TBArrangeAll", "TBArrangeTo"}));
        QCOMPARE(layoutOf(window.TBUCS), (QStringList{"CBUCS", "|", "TBAddUCS", "TBRemoveUCS"}));
        QCOMPARE(layoutOf(window.TBEditClose), (QStringList{"TBClose", "TBCloseAll"}));
    }

    void imageListsAreOurOwnAndDistinct() {
        QCOMPARE(ILMain().size(), 19);
        QCOMPARE(ILTreeView().size(), 5);
        QCOMPARE(ILTab().size(), 2);
        QList<QImage> seen;
        for (const QList<QIcon> *list : {&ILMain(), &ILTreeView(), &ILTab()}) {
            for (const QIcon &icon : *list) {
                const QImage image = Picture(icon);
                QCOMPARE(image.size(), QSize(16, 16));
                int opaque = 0;
                for (int y = 0; y < 16; ++y)
                    for (int x = 0; x < 16; ++x)
                        opaque += qAlpha(image.pixel(x, y)) > 128;
                QVERIFY(opaque > 20); // a picture, not an empty square
                seen << image;
            }
        }
        // The open folder of the tool bar and of the tree are the same picture; all others differ.
        int same = 0;
        for (int i = 0; i < seen.size(); ++i)
            for (int j = i + 1; j < seen.size(); ++j)
                same += seen[i] == seen[j];
        QCOMPARE(same, 1);
        QVERIFY(MainImage(19).isNull());
        QVERIFY(TreeImage(-1).isNull());
        QVERIFY(!TabImage(1).isNull());
    }

    void noToolButtonIsEverDisabled() {
        WindowFixture fixture;
        TFormMain &window = fixture.window();
        AddPage(window, QStringLiteral("a"));
        for (const QString &name : CommandNames()) {
            window.click(name);
            for (const QString &other : CommandNames())
                QVERIFY2(window.findChild<QToolButton *>(other)->isEnabled(), qPrintable(other));
        }
        window.PMTab->popup(QPoint(10, 10));
        window.PMTab->close();
        for (const QString &name : CommandNames())
            QVERIFY(window.action(name)->isEnabled());
    }

    void clickRunsTheButtonsCommand() {
        WindowFixture fixture;
        TFormMain &window = fixture.window();
        ActionSpies spies(window, CommandNames());
        window.findChild<QToolButton *>(QStringLiteral("TBSaveAll"))->click();
        window.click(QStringLiteral("TBSaveAll"));
        QCOMPARE(spies.fired(), (QStringList{"TBSaveAll", "TBSaveAll"}));
        window.click(QStringLiteral("NoSuchButton"));
        QCOMPARE(spies.fired().size(), 2);
    }

    void aboutBox() {
        WindowFixture fixture;
        fixture.window().click(QStringLiteral("TBAbout"));
        QCOMPARE(fixture.dialogs.calls.size(), 1);
        QCOMPARE(fixture.dialogs.calls[0].kind, QStringLiteral("info"));
        const QStringList lines = fixture.dialogs.calls[0].text.split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 7);
        QCOMPARE(lines[0], QStringLiteral("Kestrelbench 1.2.0"));
        QVERIFY(lines[1].isEmpty() && lines[3].isEmpty() && lines[5].isEmpty());
        QVERIFY(!lines[2].trimmed().isEmpty());
        QVERIFY(!lines[2].contains(QLatin1Char('\n')));
        QVERIFY(QRegularExpression(QStringLiteral("^\\d{4}$")).match(lines[4]).hasMatch());
        // The settings file in use: beside the program in this writable test folder.
        QCOMPARE(lines[6],
                 QStringLiteral("Settings: ") +
                     QDir::toNativeSeparators(fixture.exeDir() + QStringLiteral("Kestrelbench.ini")));
    }

    void refreshKeepsTheTreeAndConfirms() {
        QTemporaryDir data;
        QDir(data.path()).mkpath(QStringLiteral("maps/inner"));
        QFile file(data.path() + QStringLiteral("/maps/one.rbf"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        WindowFixture fixture;
        GiveConverter(fixture);
        TFormMain &window = fixture.window();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.SLV->selectPath(file.fileName());
        QVERIFY(window.SLV->waitUntilSettled());
        window.SLV->expand(window.SLV->fileModel()->index(data.path() + QStringLiteral("/maps/inner")));
        const QStringList expanded = window.SLV->expandedPaths();
        QCursor::setPos(300, 200);
        window.click(QStringLiteral("TBRefresh"));
        QVERIFY(window.SLV->isSettled());
        QCOMPARE(window.SLV->selectedPaths(), QStringList{file.fileName()});
        QCOMPARE(window.SLV->expandedPaths(), expanded);
        HintPopup *hint = window.feedback().hintWindow();
        QVERIFY(hint && hint->isVisible());
        QCOMPARE(hint->text(), QStringLiteral("Directory tree refreshed"));
        QCOMPARE(hint->requestedTopLeft(), QPoint(316, 200));
        QCOMPARE(window.feedback().TimerHideHint()->interval(), 3000);
        QVERIFY(window.feedback().TimerHideHint()->isActive());
        QCOMPARE(window.feedback().HintAnchor, Feedback::NoAnchor);
        QVERIFY(!QApplication::overrideCursor());
    }

    void rebuildTreeOnlyWithAPage() {
        WindowFixture fixture;
        TFormMain &window = fixture.window();
        window.click(QStringLiteral("TBRebuildTree"));
        QVERIFY(!window.feedback().hintWindow());
        QCOMPARE(window.feedback().HintAnchor, Feedback::NoAnchor);

        Page *page = AddPage(window, QStringLiteral("a"));
        window.treeSync().attach(page);
        page->editor()->setText8(QStringLiteral("Alpha\n| Beta 1\nGamma\n"));
        QVERIFY(SelectPageContext(window.context(), window.PC, 0));
        QCursor::setPos(100, 120);
        window.click(QStringLiteral("TBRebuildTree"));
        QAbstractItemModel *model = page->tree()->model();
        QVERIFY(model);
        QVERIFY(model->rowCount() > 0);
        QCOMPARE(page->tree()->TreeState, int(PageTree::Idle));
        QCOMPARE(window.feedback().hintWindow()->text(), QStringLiteral("Tree rebuilt"));
        QCOMPARE(window.feedback().hintWindow()->requestedTopLeft(), QPoint(116, 120));
        QCOMPARE(window.feedback().TimerHideHint()->interval(), 3000);
    }

    void activationChecksTheConverterEachTime() {
        WindowFixture fixture;
        TFormMain &window = fixture.window();
        const QString converter = fixture.writeFile(QStringLiteral("grindle"), "#!/bin/sh\n");
        fixture.dialogs.files.enqueue({converter});
        window.AEActivate();
        QVERIFY(window.IsActivated);
        QCOMPARE(window.ConverterPath, converter);
        QCOMPARE(fixture.dialogs.texts(QStringLiteral("openfile")), QStringList{"Open Grindle.exe"});
        QCOMPARE(fixture.dialogs.fileSpecs.last().directory, fixture.exeDir());
        // The converter is there: the next activation asks nothing.
        window.AEActivate();
        QCOMPARE(fixture.dialogs.calls.size(), 1);
        // It went away: asked again; cancelled: the error that ends the program.
        QFile::remove(converter);
        window.AEActivate();
        QCOMPARE(fixture.dialogs.texts(QStringLiteral("openfile")).size(), 2);
        QCOMPARE(fixture.dialogs.texts(QStringLiteral("error")).size(), 1);
    }

    void everyActivationOfTheApplicationRunsAEActivate() {
        WindowFixture fixture;
        TFormMain &window = fixture.window();
        // The offscreen platform stays active between the tests, so the change is announced here.
        Q_EMIT qApp->applicationStateChanged(Qt::ApplicationInactive);
        QVERIFY(!window.IsActivated);
        QVERIFY(fixture.dialogs.calls.isEmpty());
        Q_EMIT qApp->applicationStateChanged(Qt::ApplicationActive);
        QVERIFY(window.IsActivated);
        QCOMPARE(fixture.dialogs.texts(QStringLiteral("openfile")), QStringList{"Open Grindle.exe"});
        Q_EMIT qApp->applicationStateChanged(Qt::ApplicationActive);
        QCOMPARE(fixture.dialogs.texts(QStringLiteral("openfile")).size(), 2);
    }

    void activationIsNotReentered() {
        WindowFixture fixture;
        TFormMain &window = fixture.window();
        // The converter question activates the program again while it is open.
        int nested = 0;
        fixture.dialogs.onCall = [&](const DialogCall &call) {
            if (call.kind == QLatin1String("openfile") && nested++ == 0)
                window.AEActivate();
        };
        window.AEActivate();
        QCOMPARE(fixture.dialogs.texts(QStringLiteral("openfile")).size(), 1);
        QCOMPARE(fixture.dialogs.texts(QStringLiteral("error")).size(), 1);
    }

    void stringTableListFillsTheFreeWidthOfItsBand() {
        WindowFixture fixture;
        GiveConverter(fixture);
        TFormMain &window = fixture.window();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto checkFit = [&window] {
            QCoreApplication::processEvents();
            const int others = 8 + 24 + 24;
            QCOMPARE(window.CBUCS->width(), window.TBUCS->width() - others);
            auto *remove = window.findChild<QToolButton *>(QStringLiteral("TBRemoveUCS"));
            QVERIFY(remove->isVisible());
            QCOMPARE(remove->geometry().right(), window.TBUCS->width() - 1);
        };
        checkFit();
        // A band moved with its handle.
        QSplitterHandle *handle = window.CBEdit->handle(2);
        const QPoint grip(handle->width() / 2, handle->height() / 2);
        QTest::mousePress(handle, Qt::LeftButton, Qt::NoModifier, grip);
        QTest::mouseMove(handle, grip + QPoint(40, 0));
        QTest::mouseRelease(handle, Qt::LeftButton, Qt::NoModifier, grip + QPoint(40, 0));
        QVERIFY(window.CBEdit->sizes().at(2) < 288);
        checkFit();
        // The cool bar resized with the window.
        window.resize(1200, 600);
        checkFit();
        window.resize(760, 600);
        checkFit();
        window.FitStringTableCombo();
        checkFit();
    }

    void stringTableListShowsCapitals() {
        WindowFixture fixture;
        TFormMain &window = fixture.window();
        QVERIFY(!window.CBUCS->isEditable());
        window.CBUCS->addItem(QStringLiteral("/data/Game/english.ucs"));
        QCOMPARE(window.CBUCS->currentText(), QStringLiteral("/data/Game/english.ucs")); // the item is kept
        QStyleOptionViewItem option;
        option.initFrom(window.CBUCS->view());
        auto *delegate = qobject_cast<QStyledItemDelegate *>(window.CBUCS->itemDelegate());
        QVERIFY(delegate);
        QCOMPARE(delegate->displayText(window.CBUCS->itemText(0), QLocale()),
                 QStringLiteral("/DATA/GAME/ENGLISH.UCS"));
        // The closed list paints the capitals too: it looks like a list holding them.
        GiveConverter(fixture);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *plain = new QComboBox(window.PanelEdit);
        plain->addItem(QStringLiteral("/DATA/GAME/ENGLISH.UCS"));
        plain->setGeometry(QRect(QPoint(0, 0), window.CBUCS->size()));
        plain->show();
        QCoreApplication::processEvents();
        QCOMPARE(window.CBUCS->grab().toImage(), plain->grab().toImage());
        plain->setCurrentText(QString());
        plain->setItemText(0, QStringLiteral("/data/Game/english.ucs"));
        QVERIFY(window.CBUCS->grab().toImage() != plain->grab().toImage());
    }

    void layoutSettles() {
        // No layout loop: once shown, the window's widgets stop changing size.
        WindowFixture fixture;
        GiveConverter(fixture);
        TFormMain &window = fixture.window();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::qWait(50);
        int resizes = 0;
        struct Counter : QObject {
            int &count;
            explicit Counter(int &c) : count(c) {}
            bool eventFilter(QObject *, QEvent *event) override {
                count += event->type() == QEvent::Resize || event->type() == QEvent::LayoutRequest;
                return false;
            }
        } counter(resizes);
        qApp->installEventFilter(&counter);
        QTest::qWait(100);
        qApp->removeEventFilter(&counter);
        QCOMPARE(resizes, 0);
        QCOMPARE(window.size(), QSize(900, 600));
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
