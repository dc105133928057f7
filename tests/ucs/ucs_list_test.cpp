// The UCS list and the number lookup against the real window.

#include "app/feedback.h"
#include "editor/find_dialog.h"
#include "editor/find_replace.h"
#include "editor/test_pages.h"
#include "support/window_fixture.h"
#include "ucs/ucs_list.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QTimer>
#include <QtTest>

namespace {

// A UCS file: the byte-order mark, then the text as UTF-16 little-endian.
QByteArray ucs(const QString &text) {
    QByteArray bytes("\xFF\xFE", 2);
    for (QChar c : text) {
        bytes.append(static_cast<char>(c.unicode() & 0xFF));
        bytes.append(static_cast<char>(c.unicode() >> 8));
    }
    return bytes;
}

QStringList entries(const QComboBox *list) {
    QStringList result;
    for (int i = 0; i < list->count(); ++i)
        result << list->itemText(i);
    return result;
}

} // namespace

class UcsListTest : public QObject {
    Q_OBJECT

private:
    static QString hintText(TFormMain &window) {
        HintPopup *hint = window.feedback().hintWindow();
        return hint && hint->isVisible() ? hint->text() : QString();
    }
    static int hintSeconds(TFormMain &window) {
        QTimer *timer = window.feedback().TimerHideHint();
        return timer->isActive() ? timer->interval() / 1000 : 0;
    }
    // Lists the files through the add command, as the user does.
    static void addFiles(WindowFixture &f, const QStringList &paths) {
        f.dialogs.files.enqueue(paths);
        f.window().click(QStringLiteral("TBAddUCS"));
    }
    // Selects text of the current page's editor and runs the lookup of that selection.
    static void selectAndLookUp(TFormMain &window, int start, int length) {
        PageEditor *editor = window.context().CurrentEditor;
        editor->setSelectionStart(start);
        editor->setSelectionLength(length);
        window.ucsList().LookupSelectedNumber();
    }

private Q_SLOTS:
    void firstMatchingKeyShowsItsText() {
        WindowFixture f;
        addFiles(f, {f.writeFile(QStringLiteral("a.ucs"),
                                 ucs(QStringLiteral("100\tFirst\r\n123\tHello world\r\n")))});
        QCOMPARE(f.window().StringTableLines, (QStringList{"100\tFirst", "123\tHello world"}));
        AddTextPage(f.window(), QStringLiteral("x: 123;\r\ny: 1234;\r\nz: 0123;\r\n"));
        selectAndLookUp(f.window(), 3, 3);
        QCOMPARE(hintText(f.window()), QStringLiteral("Hello world"));
        QCOMPARE(hintSeconds(f.window()), 0);
        QCOMPARE(f.window().feedback().HintAnchor, Feedback::NoAnchor);
        for (const auto &[start, length] : {std::pair{3, 2}, std::pair{12, 4}, std::pair{21, 4}}) {
            selectAndLookUp(f.window(), start, length);
            QCOMPARE(hintText(f.window()), QStringLiteral("No match!"));
            QCOMPARE(hintSeconds(f.window()), 3);
        }
    }

    void onlyTheFirstTabSeparatesKeyAndText() {
        WindowFixture f;
        addFiles(f, {f.writeFile(QStringLiteral("a.ucs"), ucs(QStringLiteral("7\r\n123\tA\tB\r\n5\t\r\n")))});
        AddTextPage(f.window(), QStringLiteral("123 5 7"));
        selectAndLookUp(f.window(), 0, 3);
        QCOMPARE(hintText(f.window()), QStringLiteral("A\tB"));
        // An empty text matches and hides the popup.
        selectAndLookUp(f.window(), 4, 1);
        QVERIFY(f.window().feedback().hintWindow() == nullptr);
        // A line without a TAB never matches.
        selectAndLookUp(f.window(), 6, 1);
        QCOMPARE(hintText(f.window()), QStringLiteral("No match!"));
    }

    void theFileListedFirstWins() {
        WindowFixture f;
        addFiles(f, {f.writeFile(QStringLiteral("first.ucs"), ucs(QStringLiteral("200\tfrom first"))),
                     f.writeFile(QStringLiteral("second.ucs"), ucs(QStringLiteral("200\tfrom second\r\n")))});
        AddTextPage(f.window(), QStringLiteral("200"));
        selectAndLookUp(f.window(), 0, 3);
        QCOMPARE(hintText(f.window()), QStringLiteral("from first"));
    }

    void noLookupForOtherSelections() {
        WindowFixture f;
        addFiles(f, {f.writeFile(QStringLiteral("a.ucs"), ucs(QStringLiteral("12\tdozen\r\n1\tone\r\n")))});
        AddTextPage(f.window(), QStringLiteral("12a\r\n1\r\n2\r\n"));
        f.window().feedback().ShowHintPopup(QStringLiteral("shown before"), true, 0);
        selectAndLookUp(f.window(), 0, 3); // 12a
        selectAndLookUp(f.window(), 5, 4); // 1, a line break, 2
        QCOMPARE(hintText(f.window()), QStringLiteral("shown before"));
        // Collapsing the selection to a caret hides the popup.
        selectAndLookUp(f.window(), 5, 0);
        QVERIFY(f.window().feedback().hintWindow() == nullptr);
    }

    void noLookupWithoutTablesOrDuringAFind() {
        WindowFixture f;
        AddTextPage(f.window(), QStringLiteral("12 12"));
        f.window().feedback().ShowHintPopup(QStringLiteral("shown before"), true, 0);
        selectAndLookUp(f.window(), 0, 2);
        QCOMPARE(hintText(f.window()), QStringLiteral("shown before"));

        addFiles(f, {f.writeFile(QStringLiteral("a.ucs"), ucs(QStringLiteral("12\tdozen")))});
        FindReplace &fr = f.window().findReplace();
        QStringList seen;
        connect(f.window().context().CurrentEditor, &PageEditor::selectionMoved, this, [&] {
            f.window().ucsList().LookupSelectedNumber();
            seen << hintText(f.window());
        });
        fr.FindD->setFindText(QStringLiteral("12"));
        fr.FindDFind();
        QCOMPARE(f.window().context().CurrentEditor->selectedText8(), QStringLiteral("12"));
        QVERIFY(!seen.isEmpty());
        QVERIFY(!seen.contains(QStringLiteral("dozen")));
        // Outside a find the same selection is looked up.
        f.window().ucsList().LookupSelectedNumber();
        QCOMPARE(hintText(f.window()), QStringLiteral("dozen"));
    }

    void waitIsShownBelowTheMouseWhileTheScanRuns() {
        WindowFixture f;
        QString table;
        for (int i = 0; i < 300; ++i)
            table += QStringLiteral("%1\ttext %1\r\n").arg(1000 + i);
        addFiles(f, {f.writeFile(QStringLiteral("a.ucs"), ucs(table))});
        PageEditor *editor = AddTextPage(f.window(), QStringLiteral("999 1250"))->editor();
        QCursor::setPos(QPoint(300, 200));
        QString during;
        QPoint placedAt;
        QTimer::singleShot(0, this, [&] {
            during = hintText(f.window());
            placedAt = f.window().feedback().hintWindow()->requestedTopLeft();
            // The selection moves while the scan lets events run: later lines compare with the new one.
            editor->setSelectionStart(4);
            editor->setSelectionLength(4);
        });
        selectAndLookUp(f.window(), 0, 3);
        QCOMPARE(during, QStringLiteral("Wait..."));
        QCOMPARE(placedAt, QCursor::pos() + QPoint(16, 16));
        QCOMPARE(hintText(f.window()), QStringLiteral("text 1250"));
    }

    void aMissingFileIsDroppedSilently() {
        WindowFixture f;
        const QString first = f.writeFile(QStringLiteral("first.ucs"), ucs(QStringLiteral("1\tone")));
        const QString second = f.writeFile(QStringLiteral("second.ucs"), ucs(QStringLiteral("2\ttwo")));
        addFiles(f, {first, second});
        QCOMPARE(f.window().CBUCS->toolTip(), QStringLiteral("UCS files list:\r\n") + first.toUpper() +
                                                  QStringLiteral("\r\n") + second.toUpper());
        f.window().CBUCS->setCurrentIndex(1);
        QVERIFY(QFile::remove(first));
        f.window().ucsList().ReloadStringTables();
        QCOMPARE(entries(f.window().CBUCS), QStringList{second.toUpper()});
        QCOMPARE(f.window().CBUCS->currentIndex(), 0);
        QCOMPARE(f.window().CBUCS->toolTip(), QStringLiteral("UCS files list:\r\n") + second.toUpper());
        QCOMPARE(f.window().StringTableLines, QStringList{QStringLiteral("2\ttwo")});
        QVERIFY(f.dialogs.calls.size() == 1); // the open dialog only
    }

    void anUnreadableFileIsReportedAndDropped() {
        WindowFixture f;
        const QString bad = f.writeFile(QStringLiteral("Bad.ucs"), ucs(QStringLiteral("1\tone")));
        const QString good = f.writeFile(QStringLiteral("good.ucs"), ucs(QStringLiteral("2\ttwo")));
        f.window().ucsList().ReadFile = [bad](const QString &path, QStringList &lines) {
            return path == bad ? UcsRead::Failed : ReadUcsFile(path, lines);
        };
        addFiles(f, {bad, good});
        QCOMPARE(f.dialogs.texts(QStringLiteral("error")),
                 QStringList{QStringLiteral("Unable to load: ") + bad.toUpper()});
        QCOMPARE(entries(f.window().CBUCS), QStringList{good.toUpper()});
        QCOMPARE(f.window().StringTableLines, QStringList{QStringLiteral("2\ttwo")});
    }

    void aFileOverTheSizeLimitIsRefusedByName() {
        WindowFixture f;
        const QString huge = f.dataDir() + QStringLiteral("Huge.ucs");
        QFile file(huge);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(MaxUcsFileBytes + 1)); // sparse
        file.close();
        const QString good = f.writeFile(QStringLiteral("good.ucs"), ucs(QStringLiteral("2\ttwo")));
        addFiles(f, {huge, good});
        QCOMPARE(f.dialogs.texts(QStringLiteral("error")), QStringList{UcsTooLargeMessage(huge.toUpper())});
        QVERIFY(f.dialogs.texts(QStringLiteral("error")).at(0).contains(QStringLiteral("HUGE.UCS")));
        QCOMPARE(entries(f.window().CBUCS), QStringList{good.toUpper()});
        QCOMPARE(f.window().StringTableLines, QStringList{QStringLiteral("2\ttwo")});
    }

    void theListStaysAsItIsWhileItLoads() {
        WindowFixture f;
        const QString a = f.writeFile(QStringLiteral("a.ucs"), ucs(QStringLiteral("1\tone")));
        const QString b = f.writeFile(QStringLiteral("b.ucs"), ucs(QStringLiteral("2\ttwo")));
        addFiles(f, {a});
        AddTextPage(f.window(), QStringLiteral("1"));
        UcsList &ucsList = f.window().ucsList();
        const auto read = ucsList.ReadFile;
        int openDialogs = 0;
        ucsList.ReadFile = [&](const QString &path, QStringList &lines) {
            // Commands and lookups that arrive while the reload lets events run.
            f.dialogs.files.enqueue({b});
            f.window().click(QStringLiteral("TBAddUCS"));
            f.window().click(QStringLiteral("TBRemoveUCS"));
            openDialogs = static_cast<int>(f.dialogs.texts(QStringLiteral("openfiles")).size());
            selectAndLookUp(f.window(), 0, 1);
            return read(path, lines);
        };
        ucsList.ReloadStringTables();
        QCOMPARE(openDialogs, 1); // the first add only
        QCOMPARE(entries(f.window().CBUCS), QStringList{a.toUpper()});
        QCOMPARE(f.window().StringTableLines, QStringList{QStringLiteral("1\tone")});
        QCOMPARE(hintText(f.window()), QString());
    }

    void pathsKeepTheirLetterCaseForTheFileSystem() {
        WindowFixture f;
        const QString path = f.writeFile(QStringLiteral("Mixed Case ä.ucs"), ucs(QStringLiteral("5\tfive")));
        addFiles(f, {path});
        QCOMPARE(f.window().CBUCS->itemText(0), path.toUpper());
        QCOMPARE(UcsList::EntryPath(f.window().CBUCS, 0), path);
        QCOMPARE(f.window().CBUCS->itemData(0, Qt::UserRole).toString(), path);
        // Still loadable at the next reload (the upper-case text names no file here).
        f.window().ucsList().ReloadStringTables();
        QCOMPARE(f.window().StringTableLines, QStringList{QStringLiteral("5\tfive")});
    }

    void duplicatesInAnotherLetterCaseAreNotAdded() {
        WindowFixture f;
        const QString path = f.writeFile(QStringLiteral("strings.ucs"), ucs(QStringLiteral("1\tone")));
        const QString other = f.writeFile(QStringLiteral("other.ucs"), ucs(QStringLiteral("2\ttwo")));
        addFiles(f, {path});
        const QString shouted = ExtractFilePath(path) + QStringLiteral("STRINGS.UCS");
        // Also a path chosen twice in one go: entries added earlier in the same step count.
        addFiles(f, {shouted, other, other});
        QCOMPARE(f.dialogs.texts(QStringLiteral("info")),
                 (QStringList{shouted + QStringLiteral(" is already loaded!"),
                              other + QStringLiteral(" is already loaded!")}));
        QCOMPARE(entries(f.window().CBUCS), (QStringList{path.toUpper(), other.toUpper()}));
        QCOMPARE(f.window().StringTableLines, (QStringList{"1\tone", "2\ttwo"}));
    }

    void theOpenDialogStartsAtTheSelectedEntry() {
        WindowFixture f;
        f.window().click(QStringLiteral("TBAddUCS"));
        QCOMPARE(f.dialogs.fileSpecs.last().title, QStringLiteral("Open UCS files"));
        QCOMPARE(f.dialogs.fileSpecs.last().filter, QStringLiteral("UCS file|*.ucs"));
        QCOMPARE(f.dialogs.fileSpecs.last().directory, f.exeDir());
        QDir(f.dataDir()).mkdir(QStringLiteral("Sub"));
        const QString nested = f.writeFile(QStringLiteral("Sub/n.ucs"), ucs(QStringLiteral("1\tone")));
        addFiles(f, {nested});
        f.window().click(QStringLiteral("TBAddUCS"));
        QCOMPARE(f.dialogs.fileSpecs.last().directory, f.dataDir() + QStringLiteral("Sub/"));
        f.window().CBUCS->setCurrentIndex(-1);
        f.window().click(QStringLiteral("TBAddUCS"));
        QCOMPARE(f.dialogs.fileSpecs.last().directory, QString());
    }

    void cancellingTheAddReloadsNothing() {
        WindowFixture f;
        f.window().show();
        f.window().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f.window()));
        addFiles(f, {f.writeFile(QStringLiteral("a.ucs"), ucs(QStringLiteral("1\tone"))),
                     f.writeFile(QStringLiteral("b.ucs"), ucs(QStringLiteral("2\ttwo")))});
        // A reload in the active window opens the list.
        QVERIFY(f.window().CBUCS->view()->isVisible());
        f.window().CBUCS->hidePopup();
        f.window().CBUCS->setCurrentIndex(1);
        f.window().StringTableLines << QStringLiteral("marker");
        f.window().click(QStringLiteral("TBAddUCS")); // cancelled
        QCOMPARE(f.window().CBUCS->currentIndex(), 1);
        QCOMPARE(f.window().StringTableLines.last(), QStringLiteral("marker"));
        QVERIFY(!f.window().CBUCS->view()->isVisible());
    }

    void removingTheLastEntry() {
        WindowFixture f;
        addFiles(f, {f.writeFile(QStringLiteral("a.ucs"), ucs(QStringLiteral("1\tone")))});
        f.window().click(QStringLiteral("TBRemoveUCS"));
        QCOMPARE(f.window().CBUCS->count(), 0);
        QCOMPARE(f.window().CBUCS->toolTip(), QStringLiteral("UCS files list:"));
        QVERIFY(f.window().StringTableLines.isEmpty());
        QCOMPARE(hintText(f.window()), QStringLiteral("UCS file is removed"));
        QCOMPARE(hintSeconds(f.window()), 3);
        // Nothing selected: nothing to remove.
        f.window().feedback().ShowHintPopup(QString(), true, 0);
        f.window().click(QStringLiteral("TBRemoveUCS"));
        QVERIFY(f.window().feedback().hintWindow() == nullptr);
    }

    void removingTheSelectedEntryReloadsTheRest() {
        WindowFixture f;
        const QString a = f.writeFile(QStringLiteral("a.ucs"), ucs(QStringLiteral("1\tone")));
        const QString b = f.writeFile(QStringLiteral("b.ucs"), ucs(QStringLiteral("2\ttwo")));
        addFiles(f, {a, b});
        f.window().CBUCS->setCurrentIndex(0);
        f.window().click(QStringLiteral("TBRemoveUCS"));
        QCOMPARE(entries(f.window().CBUCS), QStringList{b.toUpper()});
        QCOMPARE(f.window().CBUCS->currentIndex(), 0);
        QCOMPARE(f.window().StringTableLines, QStringList{QStringLiteral("2\ttwo")});
    }

    void filesBeginOnALineOfTheirOwn() {
        WindowFixture f;
        const QString bomOnly = f.writeFile(QStringLiteral("bom.ucs"), QByteArray("\xFF\xFE", 2));
        const QString empty = f.writeFile(QStringLiteral("empty.ucs"), QByteArray());
        addFiles(f, {f.writeFile(QStringLiteral("a.ucs"), ucs(QStringLiteral("1\tone\r\n2\ttwo"))), bomOnly,
                     empty, f.writeFile(QStringLiteral("b.ucs"), ucs(QStringLiteral("3\tthree\r\n")))});
        QCOMPARE(f.window().StringTableLines, (QStringList{"1\tone", "2\ttwo", "3\tthree"}));
        // The two-byte file loads and is listed; the empty one is dropped without a message.
        QCOMPARE(f.window().CBUCS->count(), 3);
        QVERIFY(f.window().CBUCS->toolTip().contains(bomOnly.toUpper()));
        QVERIFY(!f.window().CBUCS->toolTip().contains(empty.toUpper()));
        QCOMPARE(f.dialogs.calls.size(), 1);
    }
};

QTEST_MAIN(UcsListTest)
#include "ucs_list_test.moc"
