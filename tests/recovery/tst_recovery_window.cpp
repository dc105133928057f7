// Recovery files and backups in the real window: what is written while a page is modified and
// when it goes, the questions that offer edits back, leftover text files, backups.

#include "document/document_fixture.h"

#include "document/busy_state.h"
#include "document/document_controller.h"
#include "document/page.h"
#include "editor/page_editor.h"
#include "recovery/recovery_controller.h"
#include "tree/page_tree.h"
#include "tree/structure_tree_model.h"
#include "ui/feedback.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTest>

namespace {

void Edit(PageEditor *editor, const QString &text) {
    editor->setCaret(0, 0);
    editor->replaceSelection(text);
}

QString StateFolderOf(DocumentFixture &f) {
    return f.fixture.stateHome() + QStringLiteral("/kestrelbench");
}

// A recovery file for rbfPath as a session that ended without saving leaves it.
QString LeaveRecoveryFile(DocumentFixture &f, const QString &rbfPath, const QByteArray &text,
                          qint64 rbfSize) {
    RecoveryRecord record;
    record.rbfPath = rbfPath;
    record.rbfSize = rbfSize;
    record.rbfModified = QFileInfo(rbfPath).lastModified().toUTC();
    record.written = QDateTime::currentDateTimeUtc().addSecs(-60);
    record.text = text;
    const RecoveryFolder folder(StateFolderOf(f) + QStringLiteral("/recovery"));
    folder.prepare(nullptr);
    const QString file = folder.newFilePath(rbfPath, record.written);
    WriteRecoveryFile8(file, record, nullptr);
    return file;
}

QByteArray TextOf(const QString &recoveryFile) {
    RecoveryRecord record;
    return ReadRecoveryFile(recoveryFile, record, true, nullptr) ? record.text : QByteArray("(unreadable)");
}

QStringList Discarded(DocumentFixture &f) {
    return QDir(StateFolderOf(f) + QStringLiteral("/recovery/discarded")).entryList(QDir::Files);
}

const QByteArray Recovered = "unit\r\n{\r\n| recovered: {\r\n| | kept: 1;\r\n| }\r\n}\r\n";

// The window's recovery, whose timers do not fire within a test: only what the test does writes.
RecoveryController &WithTimersAtAMinute(DocumentFixture &f) {
    RecoveryController &recovery = f.window().recovery();
    recovery.PauseMs = 60 * 1000;
    recovery.LongestMs = 60 * 1000;
    return recovery;
}

} // namespace

class TestRecoveryWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void modifiedPagesAreWrittenUntilSavedOrDeclined();
    void typingThatNeverPausesIsStillWritten();
    void aWriteThatFindsThePageBusyIsMadeWhenTheOperationEnds();
    void aWritePutOffByACloseIsDroppedWithTheDeclinedEdits();
    void editsAreOfferedBackWhenTheirFileOpens();
    void theStartOffersEditsOfFilesThatExist();
    void leftoverTextFilesAreOfferedNotOverwritten();
    void backupsRotateAndOneCanBeRestored();
    void aFolderThatCannotBeWrittenIsSaidOnce();
};

void TestRecoveryWindow::modifiedPagesAreWrittenUntilSavedOrDeclined() {
    DocumentFixture f;
    RecoveryController &recovery = f.window().recovery();
    recovery.PauseMs = 20;
    const QString a = f.writeRbf(QStringLiteral("a"));
    const QString b = f.writeRbf(QStringLiteral("b"));
    f.open({a, b});

    Edit(f.editor(0), QString::fromUtf8("M\xc3\xa4rz \xe2\x82\xac "));
    QTRY_VERIFY(!recovery.recoveryFileOf(f.page(0)).isEmpty());
    recovery.waitForWrites();
    const QString fileA = recovery.recoveryFileOf(f.page(0));
    QCOMPARE(TextOf(fileA), f.editor(0)->bytes8());
    QVERIFY(!(QFile::permissions(fileA) & (QFile::ReadGroup | QFile::ReadOther)));
    QVERIFY(recovery.recoveryFileOf(f.page(1)).isEmpty());

    // Saved: the file goes.
    QVERIFY(f.documents().SavePage(0));
    recovery.waitForWrites();
    QVERIFY(!QFile::exists(fileA));

    // A failed save keeps it; closing and declining the save removes it.
    Edit(f.editor(1), QStringLiteral("lost? "));
    QTRY_VERIFY(!recovery.recoveryFileOf(f.page(1)).isEmpty());
    recovery.waitForWrites();
    const QString fileB = recovery.recoveryFileOf(f.page(1));
    DocumentFixture::setMode(DocumentFixture::textPathOf(b), "nothing");
    QVERIFY(!f.documents().SavePage(1));
    recovery.waitForWrites();
    QCOMPARE(TextOf(fileB), QByteArray("lost? ") + SampleText());
    f.dialogs().yesNo.enqueue(false);
    QVERIFY(f.documents().ClosePage(1));
    recovery.waitForWrites();
    QVERIFY(!QFile::exists(fileB));
    QVERIFY(Discarded(f).isEmpty());
}

void TestRecoveryWindow::typingThatNeverPausesIsStillWritten() {
    DocumentFixture f;
    RecoveryController &recovery = f.window().recovery();
    recovery.PauseMs = 60 * 1000;
    recovery.LongestMs = 50;
    f.open(f.writeRbf(QStringLiteral("a")));
    QString file;
    // Keys 5 ms apart for up to 20 s (a loaded machine stretches every step of the typing).
    QElapsedTimer typing;
    typing.start();
    while (file.isEmpty() && typing.elapsed() < 20000) {
        Edit(f.editor(0), QStringLiteral("k"));
        QTest::qWait(5);
        file = recovery.recoveryFileOf(f.page(0));
    }
    QVERIFY2(!file.isEmpty(), "nothing written while the typing went on");
    recovery.waitForWrites();
    QVERIFY(TextOf(file).endsWith("k" + SampleText()));
}

// Operations that hold a page (a caret sync, a tree update) let events run, so the write's timer
// often fires inside one. The write is then made as soon as that operation ends, from a posted
// call, not on a later timer that could land inside the next one again for as long as the typing
// goes on: posted events alone (no timer runs in sendPostedEvents) bring it.
void TestRecoveryWindow::aWriteThatFindsThePageBusyIsMadeWhenTheOperationEnds() {
    DocumentFixture f;
    RecoveryController &recovery = WithTimersAtAMinute(f);
    f.open(f.writeRbf(QStringLiteral("a")));
    Edit(f.editor(0), QStringLiteral("k"));
    auto *busy = f.window().findChild<BusyState *>();
    QVERIFY(busy);
    {
        const BusyGuard guard(*busy, f.page(0));
        recovery.WritePage(f.page(0));
        QVERIFY(recovery.recoveryFileOf(f.page(0)).isEmpty());
    }
    QCoreApplication::sendPostedEvents();
    const QString file = recovery.recoveryFileOf(f.page(0));
    QVERIFY(!file.isEmpty());
    recovery.waitForWrites();
    QVERIFY(TextOf(file).endsWith("k" + SampleText()));
}

// The write's timer fires while the close asks "Save ?" (the page is held then). Declined, the
// edits go with the page: the write put off must not bring them back as a recovery file, which
// the next open of the file would offer to restore. Another page stays open: entering it lets
// events run before the closed page is deleted.
void TestRecoveryWindow::aWritePutOffByACloseIsDroppedWithTheDeclinedEdits() {
    DocumentFixture f;
    RecoveryController &recovery = WithTimersAtAMinute(f);
    const QString a = f.writeRbf(QStringLiteral("a"));
    f.open({f.writeRbf(QStringLiteral("b")), a});
    f.window().PC->setCurrentIndex(1);
    Edit(f.editor(1), QStringLiteral("declined "));
    const QPointer<Page> page = f.page(1);
    f.dialogs().onCall = [&](const DialogCall &) {
        if (page)
            recovery.WritePage(page);
    };
    f.dialogs().yesNo.enqueue(false);
    QVERIFY(f.documents().ClosePage(1));
    f.dialogs().onCall = nullptr;
    QVERIFY(!page);
    // Past the retry timer as well.
    QTest::qWait(400);
    recovery.waitForWrites();
    QVERIFY(recovery.folder().entries(a).isEmpty());
    QVERIFY(Discarded(f).isEmpty());
    f.open(a);
    QCOMPARE(f.dialogs().texts(QStringLiteral("yesno")).size(), 1);
}

void TestRecoveryWindow::editsAreOfferedBackWhenTheirFileOpens() {
    DocumentFixture f;
    const QString a = f.writeRbf(QStringLiteral("a"));
    const QString b = f.writeRbf(QStringLiteral("b"));
    const QString fileA = LeaveRecoveryFile(f, a, Recovered, QFileInfo(a).size());
    LeaveRecoveryFile(f, b, Recovered, QFileInfo(b).size() + 1);

    f.dialogs().yesNo.enqueue(true);
    f.open(a);
    QCOMPARE(f.dialogs().texts(QStringLiteral("yesno")).size(), 1);
    const QString question = f.dialogs().texts(QStringLiteral("yesno")).at(0);
    QVERIFY2(question.startsWith(QStringLiteral("Unsaved changes to %1 from ").arg(a)), qPrintable(question));
    QVERIFY(question.endsWith(QStringLiteral(" were found. Restore them?")));
    QVERIFY(f.converterRuns().isEmpty());
    QCOMPARE(f.editor(0)->bytes8(), Recovered);
    QVERIFY(f.editor(0)->isModified());
    QCOMPARE(f.page(0)->TabImage, 1);
    const StructureTreeModel *model = f.tree(0)->treeModel();
    QCOMPARE(model->rowCount(), 1);
    QVERIFY(model->data(model->index(0, 0)).toString().startsWith(QStringLiteral("recovered")));
    // The page keeps its text in that same file until it is saved.
    QCOMPARE(f.window().recovery().recoveryFileOf(f.page(0)), fileA);
    QVERIFY(f.documents().SavePage(0));
    f.window().recovery().waitForWrites();
    QVERIFY(!QFile::exists(fileA));

    // No: the edits wait among the discarded ones, and the file opens as it is on disk.
    f.dialogs().clear();
    f.open(b);
    const QString questionB = f.dialogs().texts(QStringLiteral("yesno")).value(0);
    QVERIFY2(questionB.endsWith(QStringLiteral("Restore them?\nThe file has changed on disk since.")),
             qPrintable(questionB));
    QCOMPARE(f.editor(1)->bytes8(), SampleText());
    QVERIFY(!f.editor(1)->isModified());
    QCOMPARE(Discarded(f).size(), 1);
    QCOMPARE(TextOf(StateFolderOf(f) + QStringLiteral("/recovery/discarded/") + Discarded(f).at(0)),
             Recovered);
}

void TestRecoveryWindow::theStartOffersEditsOfFilesThatExist() {
    DocumentFixture f;
    const QString a = f.writeRbf(QStringLiteral("a"));
    const QString gone = f.folder() + QStringLiteral("gone.rbf");
    LeaveRecoveryFile(f, a, Recovered, QFileInfo(a).size());
    const QString kept = LeaveRecoveryFile(f, gone, Recovered, 10);
    f.dialogs().yesNo.enqueue(true);
    f.window().recovery().OfferAtStart();
    QCOMPARE(f.dialogs().texts(QStringLiteral("yesno")).size(), 1);
    QCOMPARE(f.pageCount(), 1);
    QCOMPARE(f.page(0)->RbfPath, a);
    QCOMPARE(f.editor(0)->bytes8(), Recovered);
    // Edits of a file that is not there wait for it; nothing is thrown away.
    QVERIFY(QFile::exists(kept));
}

void TestRecoveryWindow::leftoverTextFilesAreOfferedNotOverwritten() {
    DocumentFixture f;
    const QString a = f.writeRbf(QStringLiteral("a"));
    const QString b = f.writeRbf(QStringLiteral("b"));
    f.write(QStringLiteral("a.txt"), Recovered);
    f.write(QStringLiteral("b.txt"), Recovered);

    f.dialogs().yesNo.enqueue(false);
    f.open(a);
    QCOMPARE(f.dialogs().texts(QStringLiteral("yesno")).size(), 1);
    QCOMPARE(f.editor(0)->bytes8(), SampleText());
    QCOMPARE(Discarded(f).size(), 1);
    QCOMPARE(TextOf(StateFolderOf(f) + QStringLiteral("/recovery/discarded/") + Discarded(f).at(0)),
             Recovered);

    f.dialogs().yesNo.enqueue(true);
    f.open(b);
    QCOMPARE(f.editor(1)->bytes8(), Recovered);
    QVERIFY(f.editor(1)->isModified());

    // A text file this session wrote itself (a failed save's) is no one else's: reopening
    // converts over it without a question.
    f.dialogs().clear();
    Edit(f.editor(0), QStringLiteral("mine "));
    DocumentFixture::setMode(DocumentFixture::textPathOf(a), "nothing");
    QVERIFY(!f.documents().SavePage(0));
    f.dialogs().clear();
    f.window().PC->setCurrentIndex(0);
    SelectPageContext(f.window().context(), f.window().PC, 0);
    f.window().click(QStringLiteral("TBReOpen"));
    QVERIFY(f.dialogs().texts(QStringLiteral("yesno")).isEmpty());
    QCOMPARE(f.editor(0)->bytes8(), SampleText());
}

void TestRecoveryWindow::backupsRotateAndOneCanBeRestored() {
    DocumentFixture f;
    RecoveryController &recovery = f.window().recovery();
    recovery.Backups = 2;
    const QString a = f.writeRbf(QStringLiteral("a"));
    f.open(a);
    QList<QByteArray> versions{DocumentFixture::read(a)};
    for (const char *edit : {"one ", "two ", "three "}) {
        Edit(f.editor(0), QString::fromLatin1(edit));
        QVERIFY(f.documents().SavePage(0));
        versions << DocumentFixture::read(a);
    }
    QList<BackupEntry> backups = recovery.backups().entries(a);
    QCOMPARE(backups.size(), 2);
    QCOMPARE(DocumentFixture::read(backups.at(0).file), versions.at(2));
    QCOMPARE(DocumentFixture::read(backups.at(1).file), versions.at(1));

    // The editor menu's command: the older one comes back into the page, which is then modified.
    f.dialogs().choices.enqueue(1);
    f.window().action(QStringLiteral("PMRestoreBackup"))->trigger();
    const QStringList listed = f.dialogs().texts(QStringLiteral("choose")).value(0).split(QLatin1Char('\n'));
    QCOMPARE(listed.size(), 3);
    QVERIFY2(listed.at(2).endsWith(QStringLiteral("%1 bytes").arg(versions.at(1).size())),
             qPrintable(listed.at(2)));
    QCOMPARE(f.editor(0)->bytes8(), versions.at(1));
    QVERIFY(f.editor(0)->isModified());
    QCOMPARE(DocumentFixture::read(backups.at(1).file), versions.at(1));
    QCOMPARE(DocumentFixture::read(a), versions.at(3));
    // The tab menu offers the backups of the tab that was clicked; cancelling changes nothing.
    f.window().TabMenuPageIndex = 0;
    f.window().action(QStringLiteral("PMTabRestoreBackup"))->trigger();
    QCOMPARE(f.dialogs().texts(QStringLiteral("choose")).size(), 2);
    QCOMPARE(f.editor(0)->bytes8(), versions.at(1));

    // A backup that cannot be made is said in the status line; the save goes on.
    QDir(recovery.backups().root()).removeRecursively();
    QFile(recovery.backups().root()).open(QIODevice::WriteOnly);
    QVERIFY(f.documents().SavePage(0));
    QCOMPARE(DocumentFixture::read(a), versions.at(1));
    QVERIFY(f.window().feedback().statusText().contains(QStringLiteral("no backup of %1").arg(a)));
}

void TestRecoveryWindow::aFolderThatCannotBeWrittenIsSaidOnce() {
    DocumentFixture f;
    RecoveryController &recovery = f.window().recovery();
    recovery.PauseMs = 10;
    QDir().mkpath(StateFolderOf(f));
    QFile(StateFolderOf(f) + QStringLiteral("/recovery")).open(QIODevice::WriteOnly);
    f.open(f.writeRbf(QStringLiteral("a")));
    Edit(f.editor(0), QStringLiteral("x"));
    QTRY_VERIFY(f.window().feedback().statusText().contains(QStringLiteral("cannot be kept for recovery")));
    f.window().feedback().SetStatusText(QStringLiteral("later"));
    for (int i = 0; i < 3; ++i) {
        Edit(f.editor(0), QStringLiteral("y"));
        QTest::qWait(50);
        recovery.waitForWrites();
    }
    QCOMPARE(f.window().feedback().statusText(), QStringLiteral("later"));
    QVERIFY(f.dialogs().calls.isEmpty());
    QVERIFY(f.editor(0)->isModified());
}

QTEST_MAIN(TestRecoveryWindow)
#include "tst_recovery_window.moc"
