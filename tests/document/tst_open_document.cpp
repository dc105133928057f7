// Opening RBF files into pages, and the page context that follows them.

#include "document/document_fixture.h"

#include "document/document_controller.h"
#include "document/page.h"
#include "document/page_context.h"
#include "document/page_icons.h"
#include "editor/page_editor.h"
#include "tree/page_tree.h"
#include "tree/structure_tree_model.h"
#include "ui/feedback.h"
#include "ui/folder_tree.h"

#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QLabel>
#include <QSplitter>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <unistd.h>

namespace {

QString StatusText(TFormMain &window) {
    return window.feedback().statusText();
}

bool SameImage(const QIcon &a, const QIcon &b) {
    return a.pixmap(16, 16).toImage() == b.pixmap(16, 16).toImage();
}

} // namespace

class TestOpenDocument : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void opensPageWithTreeEditorAndContext();
    void skipsFilesThatAreNotExactlyRbf();
    void warnsAndActivatesWhenAlreadyOpen();
    void opensSeveralInSelectionOrder();
    void opensFromTheFolderTreeSelection();
    void reportsConverterFailures_data();
    void reportsConverterFailures();
    void rejectsLeftoverTextFile();
    void reportsConverterThatCannotStart();
    void reportsTextThatCannotBeLoaded();
    void pageContextRules();
    void typingMarksThePageModified();
    void treeWidthFollowsPageWidth();
    void editorKeepsEveryByteAndLineBreaks_data();
    void editorKeepsEveryByteAndLineBreaks();
    void editorShowsThePageControlFont();
};

void TestOpenDocument::opensPageWithTreeEditorAndContext() {
    DocumentFixture f;
    const QString rbf = f.writeRbf(QStringLiteral("unit"));
    QVERIFY(!f.window().REReadme->isHidden() || f.pageCount() == 0);
    f.open(rbf);

    QCOMPARE(f.pageCount(), 1);
    Page *page = f.page(0);
    QCOMPARE(page->RbfPath, rbf);
    QCOMPARE(f.window().PC->tabText(0), QStringLiteral("unit.rbf"));
    QCOMPARE(page->TabImage, 0);
    QVERIFY(SameImage(f.window().PC->tabIcon(0), TabImageIcon(0)));
    QVERIFY(f.window().REReadme->isHidden());
    QCOMPARE(f.converterRuns(), QStringList{rbf});
    QVERIFY(QFile::exists(DocumentFixture::textPathOf(rbf)));
    QVERIFY(f.dialogs().calls.isEmpty());

    const PageContext &ctx = f.window().context();
    QCOMPARE(ctx.CurrentSheet, page);
    QCOMPARE(ctx.CurrentPageIndex, 0);
    QCOMPARE(ctx.CurrentTree, page->tree());
    QCOMPARE(ctx.CurrentEditor, page->editor());
    QCOMPARE(ctx.CurrentRbfPath, rbf);
    QCOMPARE(ctx.CurrentTextPath, DocumentFixture::textPathOf(rbf));

    // The tree is built, its first node selected and its key selected in the editor.
    QCOMPARE(page->tree()->structure().nodeCount(), 8);
    QCOMPARE(page->tree()->TreeState, int(PageTree::Idle));
    QCOMPARE(page->tree()->selectedNode(), 0);
    QCOMPARE(page->editor()->selectedText8(), QStringLiteral("alpha"));
    QCOMPARE(page->editor()->caretLine(), 2);
    QVERIFY(!page->editor()->isModified());
    QCOMPARE(f.window().RememberedNodePath, QStringList{QStringLiteral("alpha")});
    // The build ends with the focus in the editor; the status shows the RBF path.
    QTRY_VERIFY(page->editor()->hasFocus());
    QCOMPARE(StatusText(f.window()), rbf);
    QCOMPARE(f.window().feedback().panel(1)->text(), QStringLiteral("Ln: 3 / 14"));
}

void TestOpenDocument::skipsFilesThatAreNotExactlyRbf() {
    DocumentFixture f;
    const QString a = f.writeRbf(QStringLiteral("a"));
    const QString b = f.write(QStringLiteral("b.txt"), SampleText());
    const QString c = f.write(QStringLiteral("c.RBF"), SampleText());
    const QString d = f.write(QStringLiteral("d.Rbf"), SampleText());
    f.open({a, b, c, d, f.folder()});
    QCOMPARE(f.pageCount(), 1);
    QCOMPARE(f.page(0)->RbfPath, a);
    QCOMPARE(f.converterRuns(), QStringList{a});
    QVERIFY(f.dialogs().calls.isEmpty());
}

void TestOpenDocument::warnsAndActivatesWhenAlreadyOpen() {
    DocumentFixture f;
    const QString a = f.writeRbf(QStringLiteral("a"));
    const QString b = f.writeRbf(QStringLiteral("b"));
    f.open({a, b});
    QCOMPARE(f.window().PC->currentIndex(), 1);
    f.dialogs().clear();
    const QString otherCase = f.folder() + QStringLiteral("A.rbf");
    f.open(otherCase);
    QCOMPARE(f.dialogs().texts(QStringLiteral("warning")),
             QStringList{otherCase + QStringLiteral(" is already opened!")});
    QCOMPARE(f.pageCount(), 2);
    QCOMPARE(f.window().PC->currentIndex(), 0);
    QCOMPARE(f.converterRuns().size(), 2);
}

void TestOpenDocument::opensSeveralInSelectionOrder() {
    DocumentFixture f;
    const QString c = f.writeRbf(QStringLiteral("c"));
    const QString a = f.writeRbf(QStringLiteral("a"));
    const QString b = f.writeRbf(QStringLiteral("b"));
    f.open({c, a, b});
    QCOMPARE(f.pageCount(), 3);
    QCOMPARE(f.page(0)->RbfPath, c);
    QCOMPARE(f.page(1)->RbfPath, a);
    QCOMPARE(f.page(2)->RbfPath, b);
    QCOMPARE(f.window().PC->currentIndex(), 2);
    QCOMPARE(f.window().context().CurrentSheet, f.page(2));
    QCOMPARE(f.window().context().CurrentPageIndex, 2);
}

void TestOpenDocument::opensFromTheFolderTreeSelection() {
    DocumentFixture f;
    const QString a = f.writeRbf(QStringLiteral("a"));
    const QString b = f.writeRbf(QStringLiteral("b"));
    FolderTree *slv = f.window().SLV;
    // The model loads folders in a thread: select once the folder's rows are there.
    slv->fileModel()->index(f.folder());
    QTRY_VERIFY(slv->fileModel()->index(a).isValid() && slv->fileModel()->index(b).isValid());
    QTRY_COMPARE((slv->selectPaths({a, b}), slv->selectedPaths().size()), 2);
    f.window().click(QStringLiteral("TBOpen"));
    QCOMPARE(f.pageCount(), 2);
    QStringList opened{f.page(0)->RbfPath, f.page(1)->RbfPath};
    opened.sort();
    QCOMPARE(opened, (QStringList{a, b}));
}

void TestOpenDocument::reportsConverterFailures_data() {
    QTest::addColumn<QByteArray>("mode");
    QTest::addColumn<QString>("ending");
    // How the converter ended follows the described message on a line of its own.
    QTest::newRow("writes nothing") << QByteArray("nothing") << "\nThe converter ended with exit code 1.";
    QTest::newRow("writes an empty text") << QByteArray("empty") << QString();
    QTest::newRow("crashes") << QByteArray("crash") << "\nThe converter was ended by signal 6.";
    // A text that the converter wrote before it failed may be cut short: no page is made of it.
    QTest::newRow("writes, then fails")
        << QByteArray("copy nothing") << "\nThe converter ended with exit code 1.";
    QTest::newRow("writes, then crashes")
        << QByteArray("copy crash") << "\nThe converter was ended by signal 6.";
}

void TestOpenDocument::reportsConverterFailures() {
    QFETCH(QByteArray, mode);
    QFETCH(QString, ending);
    DocumentFixture f;
    const QString rbf = f.writeRbf(QStringLiteral("unit"));
    DocumentFixture::setMode(rbf, mode);
    f.open(rbf);
    QCOMPARE(f.dialogs().texts(QStringLiteral("error")),
             QStringList{QStringLiteral("Unable to open: ") + rbf + ending});
    QCOMPARE(f.pageCount(), 0);
    QVERIFY(!f.window().REReadme->isHidden());
    QCOMPARE(StatusText(f.window()), QString());
    QCOMPARE(f.window().context().CurrentSheet, nullptr);
}

// A text file left beside the RBF file from before (a failed save, or a session that ended
// without closing) is not this conversion's output: it is moved aside and offered before the
// converter runs, and nothing the converter left is taken for the output of a later run.
void TestOpenDocument::rejectsLeftoverTextFile() {
    DocumentFixture f;
    const QString rbf = f.writeRbf(QStringLiteral("unit"));
    const QByteArray leftover = "| edits: \"kept\";\r\n";
    const QString text = f.write(QStringLiteral("unit.txt"), leftover);
    DocumentFixture::setMode(rbf, "nothing");
    // Someone's edits perhaps: offered, and declined, kept among the discarded recovery files.
    f.open(rbf);
    QCOMPARE(f.dialogs().texts(QStringLiteral("yesno")).size(), 1);
    QCOMPARE(f.dialogs().texts(QStringLiteral("error")),
             QStringList{QStringLiteral("Unable to open: ") + rbf +
                         QStringLiteral("\nThe converter ended with exit code 1.")});
    QCOMPARE(f.pageCount(), 0);
    QVERIFY(!QFile::exists(text));
    const QDir discarded(f.fixture.stateHome() + QStringLiteral("/kestrelbench/recovery/discarded"));
    QCOMPARE(discarded.entryList(QDir::Files).size(), 1);
    QVERIFY(
        DocumentFixture::read(discarded.filePath(discarded.entryList(QDir::Files).at(0))).endsWith(leftover));

    // The text of a run that failed is not taken for the output of the next run that fails.
    DocumentFixture::setMode(rbf, "copy nothing");
    f.dialogs().clear();
    f.open(rbf);
    QCOMPARE(DocumentFixture::read(text), SampleText());
    DocumentFixture::setMode(rbf, "nothing");
    f.dialogs().clear();
    f.open(rbf);
    QCOMPARE(f.dialogs().texts(QStringLiteral("error")).size(), 1);
    QCOMPARE(f.pageCount(), 0);

    // A converter that rewrites it now is believed, also with the same bytes.
    DocumentFixture::setMode(rbf, "sleep:20 same");
    f.dialogs().clear();
    f.open(rbf);
    QVERIFY(f.dialogs().calls.isEmpty());
    QCOMPARE(f.pageCount(), 1);
    QCOMPARE(f.editor(0)->bytes8(), SampleText());
}

void TestOpenDocument::reportsConverterThatCannotStart() {
    DocumentFixture f;
    const QString rbf = f.writeRbf(QStringLiteral("unit"));
    f.window().ConverterPath = f.folder() + QStringLiteral("no such converter");
    f.open(rbf);
    const QString text = DocumentFixture::textPathOf(rbf);
    QCOMPARE(f.dialogs().texts(QStringLiteral("error")),
             QStringList{QStringLiteral("Unable to create: ") + text});
    QCOMPARE(StatusText(f.window()), QStringLiteral("Creating ") + text);
    QCOMPARE(f.pageCount(), 0);
}

void TestOpenDocument::reportsTextThatCannotBeLoaded() {
    if (geteuid() == 0)
        QSKIP("file permissions do not stop the super-user from reading");
    DocumentFixture f;
    const QString rbf = f.writeRbf(QStringLiteral("unit"));
    const QString text = DocumentFixture::textPathOf(rbf);
    DocumentFixture::setMode(rbf, "copy unreadable");
    f.open(rbf);
    QFile::setPermissions(text, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QCOMPARE(f.dialogs().texts(QStringLiteral("error")),
             QStringList{QStringLiteral("Unable to load: ") + text});
    QCOMPARE(f.pageCount(), 0);
    QCOMPARE(StatusText(f.window()), QString());
}

void TestOpenDocument::pageContextRules() {
    DocumentFixture f;
    PageContext &ctx = f.window().context();
    SelectActivePageContext(ctx, f.window().PC);
    QCOMPARE(ctx.CurrentSheet, nullptr);
    QCOMPARE(ctx.CurrentPageIndex, -1);

    f.open({f.writeRbf(QStringLiteral("a")), f.writeRbf(QStringLiteral("b"))});
    QCOMPARE(ctx.CurrentPageIndex, 1);
    for (int index : {-1, 2}) {
        QVERIFY(!SelectPageContext(ctx, f.window().PC, index));
        QCOMPARE(ctx.CurrentSheet, nullptr);
        QCOMPARE(ctx.CurrentPageIndex, -1);
        QCOMPARE(ctx.CurrentTree, nullptr);
        QCOMPARE(ctx.CurrentEditor, nullptr);
        QVERIFY(ctx.CurrentRbfPath.isEmpty());
        QVERIFY(ctx.CurrentTextPath.isEmpty());
    }
    SelectActivePageContext(ctx, f.window().PC);
    QCOMPARE(ctx.CurrentSheet, f.page(1));

    // The focus entering the other page makes it current, hides the hint and shows its path.
    f.window().PC->setCurrentIndex(0);
    f.editor(0)->setFocus();
    QTRY_COMPARE(ctx.CurrentSheet, f.page(0));
    QCOMPARE(ctx.CurrentTextPath, DocumentFixture::textPathOf(f.page(0)->RbfPath));
    QCOMPARE(StatusText(f.window()), f.page(0)->RbfPath);
    QCOMPARE(f.window().feedback().hintWindow(), nullptr);

    // Moving between tree and editor of one page does not enter it again.
    f.window().feedback().SetStatusText(QStringLiteral("kept"));
    f.tree(0)->setFocus();
    QTRY_VERIFY(f.tree(0)->hasFocus());
    QCOMPARE(StatusText(f.window()), QStringLiteral("kept"));
}

void TestOpenDocument::typingMarksThePageModified() {
    DocumentFixture f;
    f.open(f.writeRbf(QStringLiteral("unit")));
    PageEditor *editor = f.editor(0);
    QTRY_VERIFY(editor->hasFocus());
    QCOMPARE(f.page(0)->TabImage, 0);
    QTest::keyClick(editor, Qt::Key_X);
    QVERIFY(editor->isModified());
    QCOMPARE(f.page(0)->TabImage, 1);
    QVERIFY(SameImage(f.window().PC->tabIcon(0), TabImageIcon(1)));
    QCOMPARE(f.window().PC->tabText(0), QStringLiteral("unit.rbf"));
    // Undoing back to the loaded text clears the mark again.
    editor->undo();
    QVERIFY(!editor->isModified());
    QCOMPARE(f.page(0)->TabImage, 0);
}

void TestOpenDocument::treeWidthFollowsPageWidth() {
    DocumentFixture f;
    f.open(f.writeRbf(QStringLiteral("unit")));
    Page *page = f.page(0);
    QCOMPARE(page->treeWidth(), qMin(300, page->width() / 3));
    QVERIFY(page->treeWidth() > 0);
    const struct {
        int width;
        int tree;
    } cases[] = {{1200, 300}, {600, 200}, {899, 299}};
    for (const auto &c : cases) {
        Page sized(QStringLiteral("x.rbf"));
        sized.resize(c.width, 300);
        QCOMPARE(sized.defaultTreeWidth(), c.tree);
    }
}

void TestOpenDocument::editorKeepsEveryByteAndLineBreaks_data() {
    QTest::addColumn<QByteArray>("bytes");
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all += static_cast<char>(i);
    QTest::newRow("CR LF") << SampleText("\r\n");
    QTest::newRow("LF") << SampleText("\n");
    QTest::newRow("every byte, NUL included") << (QByteArray("| a: \"") + all + "\";\r\n| b: 1;\r\n");
    QTest::newRow("a very long line") << (QByteArray("| long: \"") + QByteArray(300000, '\xe9') + "\";\n");
    QTest::newRow("no break at the end") << QByteArray("| a: 1;\r\n| b: 2;");
    // The editor takes a large file in pieces: breaks of every kind and characters
    // outside ASCII stand at their edges, and a line longer than a piece ends with a CR LF whose
    // LF is the first byte of the second piece.
    QByteArray mixed;
    const QByteArray breaks[3] = {"\r\n", "\n", "\r"};
    for (int i = 0; mixed.size() < 5 * PageEditor::LoadPieceBytes / 2; ++i)
        mixed += "| k" + QByteArray::number(i) + ": \"\xe9\x80\";" + breaks[i % 3];
    QTest::newRow("several pieces") << mixed;
    const int piece = static_cast<int>(PageEditor::LoadPieceBytes);
    QByteArray longLine = "| long: \"" + QByteArray(piece - 12, 'x') + "\";\r\n| b: 1;\r\n";
    QTest::newRow("CR LF across two pieces") << longLine;
}

// Opening, editing nothing and saving gives the converter the text file byte for byte.
void TestOpenDocument::editorKeepsEveryByteAndLineBreaks() {
    QFETCH(QByteArray, bytes);
    DocumentFixture f;
    const QString rbf = f.writeRbf(QStringLiteral("bytes"), bytes);
    f.open(rbf);
    QCOMPARE(f.pageCount(), 1);
    QCOMPARE(f.editor(0)->bytes8(), bytes);
    DocumentFixture::setMode(DocumentFixture::textPathOf(rbf), "sleep:20 copy");
    QVERIFY(f.documents().SavePage(0));
    QCOMPARE(DocumentFixture::read(rbf), bytes);
}

void TestOpenDocument::editorShowsThePageControlFont() {
    DocumentFixture f;
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setPointSize(17);
    f.window().PC->setFont(font);
    f.open(f.writeRbf(QStringLiteral("unit")));
    PageEditor *editor = f.editor(0);
    QCOMPARE(editor->SendScintilla(PageEditor::SCI_STYLEGETSIZE, 32UL), 17L);
    // Later changes of the page control's font reach the open editors.
    font.setPointSize(11);
    font.setBold(true);
    f.window().PC->setFont(font);
    QCOMPARE(editor->SendScintilla(PageEditor::SCI_STYLEGETSIZE, 32UL), 11L);
    QCOMPARE(editor->SendScintilla(PageEditor::SCI_STYLEGETBOLD, 32UL), 1L);
    // Every style takes it, not only the default one.
    QCOMPARE(editor->SendScintilla(PageEditor::SCI_STYLEGETSIZE, 0UL), 11L);
}

QTEST_MAIN(TestOpenDocument)
#include "tst_open_document.moc"
