// Saving and reopening pages.

#include "document/document_fixture.h"

#include "converter/wine_command.h"
#include "document/document_controller.h"
#include "document/page.h"
#include "document/page_context.h"
#include "editor/page_editor.h"
#include "tree/page_tree.h"
#include "tree/structure_tree_model.h"
#include "tree/tree_sync.h"
#include "ui/feedback.h"
#include "ui/hint_popup.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTabWidget>
#include <QTest>

namespace {

QString HintText(TFormMain &window) {
    HintPopup *hint = window.feedback().hintWindow();
    return hint && hint->isVisible() ? hint->text() : QString();
}

// Types text at the start of line 0 of a page's editor, an ordinary edit.
void Edit(PageEditor *editor, const QString &text) {
    editor->setCaret(0, 0);
    editor->replaceSelection(text);
}

} // namespace

class TestSaveDocument : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void savesThroughTheConverter();
    void saveFailures_data();
    void saveFailures();
    void saveReportsTextThatCannotBeWritten();
    void saveWithCtrlS();
    void saveAllStopsAtTheFirstFailure();
    void saveAllReportsSuccess();
    void reopenRestoresCaretAndRebuilds();
    void reopenFailures_data();
    void reopenFailures();
    void realConverterRoundTrip();
    void savesAreCheckedByConvertingBack();
    void aCheckThatCannotRunKeepsThePageModified();
    void readOnlyFilesAreNotSaved();
    void filesChangedOnDiskAskFirst();
    void wineRefusesNamesItCannotPass();
};

void TestSaveDocument::savesThroughTheConverter() {
    DocumentFixture f;
    const QString a = f.writeRbf(QStringLiteral("a"));
    const QString b = f.writeRbf(QStringLiteral("b"));
    f.open({a, b});
    const QString text = DocumentFixture::textPathOf(b);
    Edit(f.editor(1), QStringLiteral("edited "));
    QCOMPARE(f.page(1)->TabImage, 1);
    f.window().click(QStringLiteral("TBSave"));

    QVERIFY(f.dialogs().calls.isEmpty());
    QCOMPARE(DocumentFixture::read(b), QByteArray("edited ") + SampleText());
    QCOMPARE(f.converterRuns().last(), text);
    QVERIFY(!QFile::exists(text));
    QVERIFY(!f.editor(1)->isModified());
    QCOMPARE(f.page(1)->TabImage, 0);
    QCOMPARE(f.window().feedback().statusText(), b + QStringLiteral(" saved"));
    QCOMPARE(HintText(f.window()), QStringLiteral("File saved"));

    // A save from the tab menu names its page afterwards, also when it is not the active one.
    Edit(f.editor(0), QStringLiteral("x"));
    QVERIFY(f.documents().SavePage(0));
    QCOMPARE(f.window().context().CurrentSheet, f.page(0));
    QCOMPARE(f.window().PC->currentIndex(), 1);
    QVERIFY(!f.documents().SavePage(-1));
    QCOMPARE(f.window().context().CurrentSheet, nullptr);
}

void TestSaveDocument::saveFailures_data() {
    QTest::addColumn<QByteArray>("mode");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("ending"); // the last line of the details below the message
    // A converter that fails and leaves the old RBF file in place did not save.
    QTest::newRow("leaves the RBF file untouched, exit 1")
        << QByteArray("nothing")
        << "%1 was not rewritten, check it again!\nThe converter ended with exit code 1."
        << "Exit code: 1";
    QTest::newRow("leaves the RBF file untouched, exit 0")
        << QByteArray("sleep:1") << "%1 was not rewritten, check it again!"
        << "Exit code: 0";
    QTest::newRow("crashes") << QByteArray("crash")
                             << "%1 was not rewritten, check it again!\nThe converter was ended by signal 6."
                             << "Ended by signal 6";
    // A converter that wrote the RBF file (or part of it) and then failed did not save either.
    QTest::newRow("writes, then fails")
        << QByteArray("copy nothing")
        << "%1 was not rewritten, check it again!\nThe converter ended with exit code 1."
        << "Exit code: 1";
    QTest::newRow("writes, then crashes")
        << QByteArray("copy crash")
        << "%1 was not rewritten, check it again!\nThe converter was ended by signal 6."
        << "Ended by signal 6";
    QTest::newRow("writes an empty RBF file")
        << QByteArray("empty") << "%1 returned size is 0, check it again!"
        << "Exit code: 0";
}

void TestSaveDocument::saveFailures() {
    QFETCH(QByteArray, mode);
    QFETCH(QString, message);
    QFETCH(QString, ending);
    DocumentFixture f;
    const QString rbf = f.writeRbf(QStringLiteral("unit"));
    f.open(rbf);
    const QString text = DocumentFixture::textPathOf(rbf);
    Edit(f.editor(0), QStringLiteral("edited "));
    DocumentFixture::setMode(text, mode);
    f.window().click(QStringLiteral("TBSave"));

    QCOMPARE(f.dialogs().texts(QStringLiteral("error")), QStringList{message.arg(rbf)});
    // Below the message: what the converter said (here nothing) and how it ended; no line to go to.
    QCOMPARE(f.dialogs().calls.first().details, QStringLiteral("The converter printed nothing.\n") + ending);
    QVERIFY(f.dialogs().calls.first().question.isEmpty());
    QVERIFY(f.editor(0)->isModified());
    QCOMPARE(f.page(0)->TabImage, 1);
    QCOMPARE(DocumentFixture::read(text), QByteArray("edited ") + SampleText());
    QCOMPARE(f.window().feedback().statusText(), QStringLiteral("Saving ") + rbf);
    QCOMPARE(HintText(f.window()), QString());

    // The edits are not lost at close: the question comes, and No keeps nothing but asks.
    f.dialogs().clear();
    f.window().click(QStringLiteral("TBClose"));
    QCOMPARE(f.dialogs().texts(QStringLiteral("yesno")), QStringList{QStringLiteral("Save %1 ?").arg(rbf)});
}

void TestSaveDocument::saveReportsTextThatCannotBeWritten() {
    DocumentFixture f;
    const QString rbf = f.writeRbf(QStringLiteral("unit"));
    f.open(rbf);
    const QString text = DocumentFixture::textPathOf(rbf);
    QVERIFY(QFile::remove(text));
    QVERIFY(QDir().mkdir(text));
    Edit(f.editor(0), QStringLiteral("x"));
    const int runs = f.converterRuns().size();
    QVERIFY(!f.documents().SavePage(0));
    QCOMPARE(f.dialogs().texts(QStringLiteral("error")),
             QStringList{QStringLiteral("Unable to save: ") + text});
    QCOMPARE(f.converterRuns().size(), runs);
    QVERIFY(f.editor(0)->isModified());

    // A converter that cannot be started: the RBF path is named, the text file stays.
    QVERIFY(QDir().rmdir(text));
    f.dialogs().clear();
    f.window().ConverterPath = f.folder() + QStringLiteral("missing converter");
    QVERIFY(!f.documents().SavePage(0));
    QCOMPARE(f.dialogs().texts(QStringLiteral("error")),
             QStringList{QStringLiteral("Unable to save: ") + rbf});
    QVERIFY(QFile::exists(text));
    QVERIFY(f.editor(0)->isModified());
}

void TestSaveDocument::saveWithCtrlS() {
    DocumentFixture f;
    const QString rbf = f.writeRbf(QStringLiteral("unit"));
    f.open(rbf);
    QTRY_VERIFY(f.editor(0)->hasFocus());
    // The first key is selected after opening: typing replaces it.
    QTest::keyClick(f.editor(0), Qt::Key_Z);
    QVERIFY(f.editor(0)->isModified());
    QTest::keyClick(f.editor(0), Qt::Key_S, Qt::ControlModifier);
    QVERIFY(!f.editor(0)->isModified());
    QVERIFY(DocumentFixture::read(rbf).contains("\r\n| z: {\r\n"));
    QCOMPARE(HintText(f.window()), QStringLiteral("File saved"));
}

void TestSaveDocument::saveAllStopsAtTheFirstFailure() {
    DocumentFixture f;
    const QString a = f.writeRbf(QStringLiteral("a"));
    const QString b = f.writeRbf(QStringLiteral("b"));
    const QString c = f.writeRbf(QStringLiteral("c"));
    f.open({a, b, c});
    for (int i = 0; i < 3; ++i)
        Edit(f.editor(i), QStringLiteral("edited "));
    f.window().PC->setCurrentIndex(0);
    DocumentFixture::setMode(DocumentFixture::textPathOf(b), "nothing");
    const int runs = f.converterRuns().size();
    f.window().click(QStringLiteral("TBSaveAll"));

    QCOMPARE(f.converterRuns().mid(runs),
             (QStringList{DocumentFixture::textPathOf(a), DocumentFixture::textPathOf(b)}));
    QCOMPARE(f.dialogs().texts(QStringLiteral("error")),
             QStringList{QStringLiteral(
                             "%1 was not rewritten, check it again!\nThe converter ended with exit code 1.")
                             .arg(b)});
    QVERIFY(!f.editor(0)->isModified());
    QVERIFY(f.editor(1)->isModified());
    QVERIFY(f.editor(2)->isModified());
    QVERIFY(QFile::exists(DocumentFixture::textPathOf(c)));
    QCOMPARE(HintText(f.window()), QString());
    // The context names the visible page again.
    QCOMPARE(f.window().context().CurrentSheet, f.page(0));
}

void TestSaveDocument::saveAllReportsSuccess() {
    DocumentFixture f;
    f.window().click(QStringLiteral("TBSaveAll"));
    QCOMPARE(HintText(f.window()), QString());
    f.open({f.writeRbf(QStringLiteral("a")), f.writeRbf(QStringLiteral("b"))});
    f.window().click(QStringLiteral("TBSaveAll"));
    QVERIFY(f.dialogs().calls.isEmpty());
    QCOMPARE(HintText(f.window()), QStringLiteral("All files saved"));
    QCOMPARE(f.window().context().CurrentSheet, f.page(1));
    QVERIFY(!QFile::exists(DocumentFixture::textPathOf(f.page(0)->RbfPath)));
    QVERIFY(!QFile::exists(DocumentFixture::textPathOf(f.page(1)->RbfPath)));
}

void TestSaveDocument::reopenRestoresCaretAndRebuilds() {
    DocumentFixture f;
    const QString rbf = f.writeRbf(QStringLiteral("unit"));
    f.open(rbf);
    PageEditor *editor = f.editor(0);
    // Unsaved edits are discarded without a question; the tree is built from the file again.
    Edit(editor, QStringLiteral("| lost: 1;"));
    f.treeSync().RebuildCurrentTree();
    QCOMPARE(f.tree(0)->structure().nodeCount(), 9);
    editor->setCaret(5, 10);
    f.window().feedback().SetStatusText(QStringLiteral("before"));
    f.dialogs().clear();
    f.window().click(QStringLiteral("TBReOpen"));

    QVERIFY(f.dialogs().calls.isEmpty());
    QCOMPARE(editor->bytes8(), SampleText());
    QCOMPARE(editor->caretLine(), 10);
    QCOMPARE(editor->caretColumn(), 5);
    QVERIFY(!editor->isModified());
    QCOMPARE(f.page(0)->TabImage, 0);
    QCOMPARE(f.tree(0)->structure().nodeCount(), 8);
    QCOMPARE(f.tree(0)->TreeState, int(PageTree::Idle));
    // The caret's line has a node: it is selected, and the editor did not move.
    QCOMPARE(f.tree(0)->selectedNode(), 6);
    QCOMPARE(editor->LastSyncedLine, 10);
    QCOMPARE(f.window().feedback().statusText(), rbf);
    QCOMPARE(HintText(f.window()), QStringLiteral("File is reopened"));
    QVERIFY(QFile::exists(DocumentFixture::textPathOf(rbf)));
    QCOMPARE(f.window().context().CurrentSheet, f.page(0));
    QCOMPARE(f.window().context().CurrentEditor, editor);
}

// The converter writes a wrong RBF file (line 4 comes back different): the save is not taken.
void TestSaveDocument::savesAreCheckedByConvertingBack() {
    DocumentFixture f;
    const QString rbf = f.writeRbf(QStringLiteral("unit"));
    f.open(rbf);
    const QString text = DocumentFixture::textPathOf(rbf);
    Edit(f.editor(0), QStringLiteral("edited "));
    DocumentFixture::setMode(text, "copy change:4");
    f.window().click(QStringLiteral("TBSave"));

    QCOMPARE(f.dialogs().texts(QStringLiteral("error")),
             QStringList{QStringLiteral("%1: line 4 differs after conversion").arg(rbf)});
    QVERIFY(f.editor(0)->isModified());
    QCOMPARE(f.page(0)->TabImage, 1);
    QCOMPARE(DocumentFixture::read(text), QByteArray("edited ") + SampleText());
    QCOMPARE(HintText(f.window()), QString());
    // The check converted a copy in a folder of its own, which is gone again; nothing was
    // converted beside the user's file but the save itself.
    const QStringList checks = f.checkRuns();
    QCOMPARE(checks.size(), 1);
    QVERIFY(checks.first().endsWith(QStringLiteral("/unit.rbf")));
    QVERIFY(!QFileInfo::exists(QFileInfo(checks.first()).path()));
    QCOMPARE(QDir(f.folder()).entryList({QStringLiteral("unit*")}, QDir::Files | QDir::Hidden),
             (QStringList{QStringLiteral("unit.rbf"), QStringLiteral("unit.txt"),
                          QStringLiteral("unit.txt.mode")}));

    // A save that converts back to the same content passes.
    f.dialogs().clear();
    DocumentFixture::setMode(text, "copy");
    f.window().click(QStringLiteral("TBSave"));
    QVERIFY(f.dialogs().calls.isEmpty());
    QVERIFY(!f.editor(0)->isModified());
    QCOMPARE(f.checkRuns().size(), 2);

    // VerifySave=0 in the settings turns the check off: even a wrong file is taken.
    f.window().documents().VerifySave = false;
    Edit(f.editor(0), QStringLiteral("more "));
    DocumentFixture::setMode(text, "copy change:4");
    f.window().click(QStringLiteral("TBSave"));
    QVERIFY(f.dialogs().calls.isEmpty());
    QVERIFY(!f.editor(0)->isModified());
    QCOMPARE(f.checkRuns().size(), 2);
}

void TestSaveDocument::aCheckThatCannotRunKeepsThePageModified() {
    DocumentFixture f;
    const QString rbf = f.writeRbf(QStringLiteral("unit"));
    f.open(rbf);
    const QString text = DocumentFixture::textPathOf(rbf);
    Edit(f.editor(0), QStringLiteral("edited "));
    DocumentFixture::setMode(text, "copy");
    // The copy has no mode file of its own: the converter fails on it.
    qputenv("DOC_CONVERTER_MODE", "nothing");
    f.window().click(QStringLiteral("TBSave"));
    qunsetenv("DOC_CONVERTER_MODE");
    QCOMPARE(
        f.dialogs().texts(QStringLiteral("error")),
        QStringList{QStringLiteral("%1 could not be converted back to check the save: The converter ended "
                                   "with exit code 1.")
                        .arg(rbf)});
    QVERIFY(f.editor(0)->isModified());
    QVERIFY(QFile::exists(text));
}

void TestSaveDocument::readOnlyFilesAreNotSaved() {
    DocumentFixture f;
    const QString rbf = f.writeRbf(QStringLiteral("unit"));
    f.open(rbf);
    const QString text = DocumentFixture::textPathOf(rbf);
    Edit(f.editor(0), QStringLiteral("edited "));
    QVERIFY(QFile::setPermissions(rbf, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    const int runs = f.converterRuns().size();
    f.window().click(QStringLiteral("TBSave"));
    QCOMPARE(f.dialogs().texts(QStringLiteral("error")),
             QStringList{QStringLiteral("%1 is read-only").arg(rbf)});
    QCOMPARE(f.converterRuns().size(), runs);
    QVERIFY(f.editor(0)->isModified());
    QCOMPARE(DocumentFixture::read(rbf), SampleText());
    QCOMPARE(DocumentFixture::read(text), SampleText()); // not even the text was written
    QCOMPARE(QFileInfo(rbf).permissions() & QFile::WriteOwner, QFile::Permissions());

    // Writable again, it saves.
    QVERIFY(QFile::setPermissions(rbf, QFile::ReadOwner | QFile::WriteOwner));
    f.dialogs().clear();
    f.window().click(QStringLiteral("TBSave"));
    QVERIFY(f.dialogs().calls.isEmpty());
    QCOMPARE(DocumentFixture::read(rbf), QByteArray("edited ") + SampleText());
}

void TestSaveDocument::filesChangedOnDiskAskFirst() {
    DocumentFixture f;
    const QString rbf = f.writeRbf(QStringLiteral("unit"));
    f.open(rbf);
    const QString text = DocumentFixture::textPathOf(rbf);
    Edit(f.editor(0), QStringLiteral("edited "));
    // Our own save changes the file: no word about it, then or later.
    f.window().click(QStringLiteral("TBSave"));
    QVERIFY(f.dialogs().calls.isEmpty());
    QTest::qWait(300);
    QCOMPARE(f.window().feedback().statusText(), rbf + QStringLiteral(" saved"));

    // Another program rewrites the file, keeping its size.
    QByteArray other = DocumentFixture::read(rbf);
    other[0] = 'E';
    f.write(QStringLiteral("unit.rbf"), other);
    QTRY_COMPARE(f.window().feedback().statusText(), rbf + QStringLiteral(" has changed on disk"));

    Edit(f.editor(0), QStringLiteral("again "));
    const int runs = f.converterRuns().size();
    const QString question =
        QStringLiteral("%1 has changed on disk since it was opened. Save anyway?").arg(rbf);
    f.dialogs().yesNo.enqueue(false);
    f.window().click(QStringLiteral("TBSave"));
    QCOMPARE(f.dialogs().texts(QStringLiteral("yesno")), QStringList{question});
    QCOMPARE(f.converterRuns().size(), runs);
    QCOMPARE(DocumentFixture::read(rbf), other);
    QVERIFY(f.editor(0)->isModified());

    // Yes saves over it; the next save has nothing to ask.
    f.dialogs().clear();
    f.dialogs().yesNo.enqueue(true);
    f.window().click(QStringLiteral("TBSave"));
    QCOMPARE(f.dialogs().texts(QStringLiteral("yesno")), QStringList{question});
    QVERIFY(!f.editor(0)->isModified());
    QCOMPARE(DocumentFixture::read(rbf), QByteArray("again edited ") + SampleText());
    f.dialogs().clear();
    Edit(f.editor(0), QStringLiteral("x"));
    f.window().click(QStringLiteral("TBSave"));
    QVERIFY(f.dialogs().calls.isEmpty());

    // A file deleted meanwhile counts as changed too.
    QFile::remove(rbf);
    Edit(f.editor(0), QStringLiteral("y"));
    f.window().click(QStringLiteral("TBSave"));
    QCOMPARE(f.dialogs().texts(QStringLiteral("yesno")), QStringList{question});
    QVERIFY(f.editor(0)->isModified());
}

// Through wine a backslash is a folder separator: "back\\slash.rbf" would be "back/slash.rbf".
void TestSaveDocument::wineRefusesNamesItCannotPass() {
    DocumentFixture f;
    const QString rbf = f.writeRbf(QStringLiteral("back\\slash"));
    f.open(rbf);
    QCOMPARE(f.pageCount(), 1);
    const QString text = DocumentFixture::textPathOf(rbf);
    Edit(f.editor(0), QStringLiteral("edited "));
    // A Windows converter, and a wine that leaves a trace when it runs.
    const QString exe = f.write(QStringLiteral("Grindle.exe"), "MZ");
    const QString trace = f.folder() + QStringLiteral("wine ran");
    const QString wine =
        f.write(QStringLiteral("wine"), "#!/bin/sh\ntouch '" + QFile::encodeName(trace) + "'\n");
    QFile::setPermissions(wine, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("KESTREL_WINE", QFile::encodeName(wine));
    f.window().ConverterPath = exe;
    const QString refusal = WineRefusal(exe, rbf);
    QVERIFY(refusal.startsWith(rbf));

    f.window().click(QStringLiteral("TBSave"));
    f.window().click(QStringLiteral("TBReOpen"));
    const QString quoted = f.writeRbf(QStringLiteral("say \"hi\""));
    f.open(quoted);
    qunsetenv("KESTREL_WINE");
    QCOMPARE(f.dialogs().texts(QStringLiteral("error")),
             (QStringList{refusal, refusal, WineRefusal(exe, quoted)}));
    QVERIFY(!QFile::exists(trace));
    QCOMPARE(f.pageCount(), 1);
    QVERIFY(f.editor(0)->isModified());
    QCOMPARE(DocumentFixture::read(text), SampleText());
    QCOMPARE(DocumentFixture::read(rbf), SampleText());
}

void TestSaveDocument::reopenFailures_data() {
    QTest::addColumn<QByteArray>("mode");
    QTest::addColumn<bool>("removeText");
    QTest::addColumn<QString>("ending");
    const QString exit1 = QStringLiteral("\nThe converter ended with exit code 1.");
    QTest::newRow("no text file") << QByteArray("nothing") << true << exit1;
    QTest::newRow("empty text file") << QByteArray("empty") << false << QString();
    QTest::newRow("text file left from before") << QByteArray("nothing") << false << exit1;
    QTest::newRow("text written, then a failure") << QByteArray("copy nothing") << false << exit1;
}

void TestSaveDocument::reopenFailures() {
    QFETCH(QByteArray, mode);
    QFETCH(bool, removeText);
    QFETCH(QString, ending);
    DocumentFixture f;
    const QString rbf = f.writeRbf(QStringLiteral("unit"));
    f.open(rbf);
    const QString text = DocumentFixture::textPathOf(rbf);
    Edit(f.editor(0), QStringLiteral("kept "));
    if (removeText)
        QFile::remove(text);
    DocumentFixture::setMode(rbf, mode);
    f.window().click(QStringLiteral("TBReOpen"));
    QCOMPARE(f.dialogs().texts(QStringLiteral("error")),
             QStringList{QStringLiteral("Unable to open: ") + rbf + ending});
    QCOMPARE(f.editor(0)->bytes8(), QByteArray("kept ") + SampleText());
    QVERIFY(f.editor(0)->isModified());

    // A converter that cannot be started: the text path is named and the hint hidden.
    f.dialogs().clear();
    f.window().ConverterPath = f.folder() + QStringLiteral("missing converter");
    f.window().click(QStringLiteral("TBReOpen"));
    QCOMPARE(f.dialogs().texts(QStringLiteral("error")),
             QStringList{QStringLiteral("Unable to create: ") + text});
    QCOMPARE(HintText(f.window()), QString());
    QCOMPARE(f.editor(0)->bytes8(), QByteArray("kept ") + SampleText());
}

// With the stand-in converter of the project, when it has been built: a value edited from the
// tree is saved, and a text it refuses leaves the RBF file as it was and the page modified.
void TestSaveDocument::realConverterRoundTrip() {
    const QString grindle = qEnvironmentVariable("KESTREL_GRINDLE", WindowFixture::grindlePath());
    if (!QFile::exists(grindle))
        QSKIP("the stand-in converter is not built");
    DocumentFixture f;
    f.window().ConverterPath = grindle;
    const QByteArray text =
        "RBF file: real.rbf\r\n{\r\n| name: \"Marine\";\r\n| speed: 2.5;\r\n| weapons: {\r\n"
        "| | primary: {\r\n| | | damage: 12;\r\n| | }\r\n| }\r\n}\r\n";
    const QString textPath = f.write(QStringLiteral("real.txt"), text);
    const QString rbf = f.folder() + QStringLiteral("real.rbf");
    QVERIFY(QProcess::execute(grindle, {QStringLiteral("-q"), QStringLiteral("-i"), textPath}) == 0);
    QVERIFY(QFile::remove(textPath));
    const QByteArray original = DocumentFixture::read(rbf);
    QVERIFY(!original.isEmpty());

    f.open(rbf);
    QCOMPARE(f.pageCount(), 1);
    QCOMPARE(f.editor(0)->bytes8(), text);
    QCOMPARE(f.tree(0)->structure().nodeCount(), 5);
    f.tree(0)->selectNode(1);
    f.dialogs().inputs.enqueue(QStringLiteral("3.75"));
    f.treeSync().EditNodeValue();
    f.window().click(QStringLiteral("TBSave"));
    QVERIFY(f.dialogs().texts(QStringLiteral("error")).isEmpty());
    QVERIFY(!f.editor(0)->isModified());
    const QByteArray saved = DocumentFixture::read(rbf);
    QVERIFY(saved != original);

    // A value the converter refuses: it keeps the RBF file, so nothing was saved.
    f.tree(0)->selectNode(0);
    f.tree(0)->selectNode(1);
    f.dialogs().inputs.enqueue(QStringLiteral("3.75 and more"));
    f.treeSync().EditNodeValue();
    f.window().click(QStringLiteral("TBSave"));
    QCOMPARE(
        f.dialogs().texts(QStringLiteral("error")),
        QStringList{QStringLiteral("%1 was not rewritten, check it again!\nThe converter ended with exit "
                                   "code 1.")
                        .arg(rbf)});
    QCOMPARE(DocumentFixture::read(rbf), saved);
    QVERIFY(f.editor(0)->isModified());
    QVERIFY(QFile::exists(DocumentFixture::textPathOf(rbf)));
}

QTEST_MAIN(TestSaveDocument)
#include "tst_save_document.moc"
