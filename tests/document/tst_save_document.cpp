// Saving and reopening pages.

#include "document/document_fixture.h"

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
    // A converter that fails and leaves the old RBF file in place did not save.
    QTest::newRow("leaves the RBF file untouched, exit 1")
        << QByteArray("nothing") << "%1 was not rewritten, check it again!";
    QTest::newRow("leaves the RBF file untouched, exit 0")
        << QByteArray("sleep:1") << "%1 was not rewritten, check it again!";
    QTest::newRow("crashes") << QByteArray("crash") << "%1 was not rewritten, check it again!";
    QTest::newRow("writes an empty RBF file")
        << QByteArray("empty") << "%1 returned size is 0, check it again!";
}

void TestSaveDocument::saveFailures() {
    QFETCH(QByteArray, mode);
    QFETCH(QString, message);
    DocumentFixture f;
    const QString rbf = f.writeRbf(QStringLiteral("unit"));
    f.open(rbf);
    const QString text = DocumentFixture::textPathOf(rbf);
    Edit(f.editor(0), QStringLiteral("edited "));
    DocumentFixture::setMode(text, mode);
    f.window().click(QStringLiteral("TBSave"));

    QCOMPARE(f.dialogs().texts(QStringLiteral("error")), QStringList{message.arg(rbf)});
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
             QStringList{QStringLiteral("%1 was not rewritten, check it again!").arg(b)});
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

void TestSaveDocument::reopenFailures_data() {
    QTest::addColumn<QByteArray>("mode");
    QTest::addColumn<bool>("removeText");
    QTest::newRow("no text file") << QByteArray("nothing") << true;
    QTest::newRow("empty text file") << QByteArray("empty") << false;
    QTest::newRow("text file left from before") << QByteArray("nothing") << false;
}

void TestSaveDocument::reopenFailures() {
    QFETCH(QByteArray, mode);
    QFETCH(bool, removeText);
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
             QStringList{QStringLiteral("Unable to open: ") + rbf});
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
    QCOMPARE(f.dialogs().texts(QStringLiteral("error")),
             QStringList{QStringLiteral("%1 was not rewritten, check it again!").arg(rbf)});
    QCOMPARE(DocumentFixture::read(rbf), saved);
    QVERIFY(f.editor(0)->isModified());
    QVERIFY(QFile::exists(DocumentFixture::textPathOf(rbf)));
}

QTEST_MAIN(TestSaveDocument)
#include "tst_save_document.moc"
