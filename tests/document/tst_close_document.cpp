// Closing pages, Close All and quitting the window.

#include "document/document_fixture.h"

#include "document/document_controller.h"
#include "document/page.h"
#include "document/page_context.h"
#include "editor/page_editor.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <unistd.h>

namespace {

void Edit(PageEditor *editor) {
    editor->setCaret(0, 0);
    editor->replaceSelection(QStringLiteral("edited "));
}

} // namespace

class TestCloseDocument : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void closesUnmodifiedPage();
    void closeModifiedAnsweringNo();
    void closeModifiedAnsweringYes();
    void closeModifiedWithFailingSave();
    void closeKeepsTheActivePage();
    void closeWithoutPageDoesNothing();
    void closeAllKeepsPagesThatFailToSave();
    void quitAsksUntilYes();
    void quitWithFailingPageAndNo();
    void quitWithNothingModified();
    void reportsTextThatCannotBeDeleted();
};

void TestCloseDocument::closesUnmodifiedPage() {
    DocumentFixture f;
    const QString rbf = f.writeRbf(QStringLiteral("unit"));
    f.open(rbf);
    QPointer<Page> page = f.page(0);
    f.window().click(QStringLiteral("TBClose"));
    QVERIFY(page.isNull());
    QCOMPARE(f.pageCount(), 0);
    QVERIFY(!QFile::exists(DocumentFixture::textPathOf(rbf)));
    QVERIFY(f.dialogs().calls.isEmpty());
    QCOMPARE(f.window().context().CurrentSheet, nullptr);
    QCOMPARE(f.window().context().CurrentPageIndex, -1);
    QVERIFY(!f.window().REReadme->isHidden());
    QCOMPARE(DocumentFixture::read(rbf), SampleText());
}

void TestCloseDocument::closeModifiedAnsweringNo() {
    DocumentFixture f;
    const QString rbf = f.writeRbf(QStringLiteral("unit"));
    f.open(rbf);
    Edit(f.editor(0));
    const int runs = f.converterRuns().size();
    f.dialogs().yesNo.enqueue(false);
    QVERIFY(f.documents().ClosePage(0));
    QCOMPARE(f.dialogs().texts(QStringLiteral("yesno")),
             QStringList{QStringLiteral("Save ") + rbf + QStringLiteral(" ?")});
    QCOMPARE(f.converterRuns().size(), runs);
    QCOMPARE(DocumentFixture::read(rbf), SampleText());
    QVERIFY(!QFile::exists(DocumentFixture::textPathOf(rbf)));
    QCOMPARE(f.pageCount(), 0);
}

void TestCloseDocument::closeModifiedAnsweringYes() {
    DocumentFixture f;
    const QString rbf = f.writeRbf(QStringLiteral("unit"));
    f.open(rbf);
    Edit(f.editor(0));
    f.dialogs().yesNo.enqueue(true);
    QVERIFY(f.documents().ClosePage(0));
    QCOMPARE(DocumentFixture::read(rbf), QByteArray("edited ") + SampleText());
    QVERIFY(!QFile::exists(DocumentFixture::textPathOf(rbf)));
    QCOMPARE(f.pageCount(), 0);
    QVERIFY(f.dialogs().texts(QStringLiteral("error")).isEmpty());
}

void TestCloseDocument::closeModifiedWithFailingSave() {
    DocumentFixture f;
    const QString rbf = f.writeRbf(QStringLiteral("unit"));
    f.open(rbf);
    Edit(f.editor(0));
    DocumentFixture::setMode(DocumentFixture::textPathOf(rbf), "empty");
    f.dialogs().yesNo.enqueue(true);
    QVERIFY(!f.documents().ClosePage(0));
    QCOMPARE(f.dialogs().texts(QStringLiteral("error")),
             QStringList{rbf + QStringLiteral(" returned size is 0, check it again!")});
    QCOMPARE(f.pageCount(), 1);
    QVERIFY(f.editor(0)->isModified());
    QVERIFY(QFile::exists(DocumentFixture::textPathOf(rbf)));
}

void TestCloseDocument::closeKeepsTheActivePage() {
    DocumentFixture f;
    f.open(
        {f.writeRbf(QStringLiteral("a")), f.writeRbf(QStringLiteral("b")), f.writeRbf(QStringLiteral("c"))});
    Page *a = f.page(0);
    Page *c = f.page(2);
    f.window().PC->setCurrentIndex(0);
    // Closing another page (the tab menu) leaves the active page active and current.
    QVERIFY(f.documents().ClosePage(1));
    QCOMPARE(f.window().PC->currentWidget(), a);
    QCOMPARE(f.window().context().CurrentSheet, a);
    QCOMPARE(f.window().context().CurrentPageIndex, 0);
    // Closing the active page activates the page after it.
    QVERIFY(f.documents().ClosePage(0));
    QCOMPARE(f.window().PC->currentWidget(), c);
    QCOMPARE(f.window().context().CurrentSheet, c);
    QCOMPARE(f.window().context().CurrentPageIndex, 0);
    QVERIFY(f.window().REReadme->isHidden());
}

void TestCloseDocument::closeWithoutPageDoesNothing() {
    DocumentFixture f;
    f.window().click(QStringLiteral("TBClose"));
    f.open(f.writeRbf(QStringLiteral("a")));
    // The tab menu off any tab: the index is -1, nothing closes and no page is current.
    QVERIFY(!f.documents().ClosePage(-1));
    QCOMPARE(f.pageCount(), 1);
    QCOMPARE(f.window().context().CurrentSheet, nullptr);
    f.window().click(QStringLiteral("TBClose"));
    QCOMPARE(f.pageCount(), 1);
}

void TestCloseDocument::closeAllKeepsPagesThatFailToSave() {
    DocumentFixture f;
    const QString a = f.writeRbf(QStringLiteral("a"));
    const QString b = f.writeRbf(QStringLiteral("b"));
    const QString c = f.writeRbf(QStringLiteral("c"));
    const QString d = f.writeRbf(QStringLiteral("d"));
    f.open({a, b, c, d});
    Edit(f.editor(1));
    Edit(f.editor(3));
    DocumentFixture::setMode(DocumentFixture::textPathOf(b), "nothing");
    DocumentFixture::setMode(DocumentFixture::textPathOf(d), "nothing");
    f.dialogs().yesNo << true << true;
    f.window().click(QStringLiteral("TBCloseAll"));
    QCOMPARE(f.pageCount(), 2);
    QCOMPARE(f.page(0)->RbfPath, b);
    QCOMPARE(f.page(1)->RbfPath, d);
    QCOMPARE(f.dialogs().texts(QStringLiteral("yesno")).size(), 2);
    QCOMPARE(f.dialogs().texts(QStringLiteral("error")).size(), 2);
    QVERIFY(!QFile::exists(DocumentFixture::textPathOf(a)));
    QVERIFY(QFile::exists(DocumentFixture::textPathOf(b)));
    QVERIFY(QFile::exists(DocumentFixture::textPathOf(d)));
}

void TestCloseDocument::quitAsksUntilYes() {
    DocumentFixture f;
    const QString a = f.writeRbf(QStringLiteral("a"));
    const QString b = f.writeRbf(QStringLiteral("b"));
    const QString c = f.writeRbf(QStringLiteral("c"));
    f.open({a, b, c});
    Edit(f.editor(0));
    Edit(f.editor(1));
    Edit(f.editor(2));
    DocumentFixture::setMode(DocumentFixture::textPathOf(a), "nothing");
    DocumentFixture::setMode(DocumentFixture::textPathOf(b), "nothing");
    DocumentFixture::setMode(DocumentFixture::textPathOf(c), "nothing");
    // Save a? yes (fails), quit? no; save b? yes (fails), quit? yes; save c? yes (fails), not asked again.
    f.dialogs().yesNo << true << false << true << true << true;
    QVERIFY(f.window().close());
    QCOMPARE(f.dialogs().texts(QStringLiteral("yesno")),
             (QStringList{QStringLiteral("Save %1 ?").arg(a), QStringLiteral("Quit any way?"),
                          QStringLiteral("Save %1 ?").arg(b), QStringLiteral("Quit any way?"),
                          QStringLiteral("Save %1 ?").arg(c)}));
    QVERIFY(!f.window().isVisible());
    // Pages that stayed open keep their text files.
    QVERIFY(QFile::exists(DocumentFixture::textPathOf(a)));
    QVERIFY(QFile::exists(DocumentFixture::textPathOf(c)));
}

void TestCloseDocument::quitWithFailingPageAndNo() {
    DocumentFixture f;
    const QString a = f.writeRbf(QStringLiteral("a"));
    const QString b = f.writeRbf(QStringLiteral("b"));
    f.open({a, b});
    Edit(f.editor(0));
    DocumentFixture::setMode(DocumentFixture::textPathOf(a), "nothing");
    f.dialogs().yesNo << true << false;
    QVERIFY(!f.window().close());
    QCOMPARE(f.dialogs().texts(QStringLiteral("yesno")),
             (QStringList{QStringLiteral("Save %1 ?").arg(a), QStringLiteral("Quit any way?")}));
    QVERIFY(f.window().isVisible());
    QCOMPARE(f.pageCount(), 1);
    QCOMPARE(f.page(0)->RbfPath, a);
    QVERIFY(f.editor(0)->isModified());
}

void TestCloseDocument::quitWithNothingModified() {
    DocumentFixture f;
    const QString a = f.writeRbf(QStringLiteral("a"));
    f.open(a);
    QVERIFY(f.window().close());
    QVERIFY(f.dialogs().calls.isEmpty());
    QCOMPARE(f.pageCount(), 0);
    QVERIFY(!QFile::exists(DocumentFixture::textPathOf(a)));
}

void TestCloseDocument::reportsTextThatCannotBeDeleted() {
    if (geteuid() == 0)
        QSKIP("folder permissions do not stop the super-user from deleting");
    DocumentFixture f;
    const QString rbf = f.writeRbf(QStringLiteral("unit"));
    f.open(rbf);
    const QString text = DocumentFixture::textPathOf(rbf);
    QFile::setPermissions(f.folder(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QVERIFY(f.documents().ClosePage(0));
    QFile::setPermissions(f.folder(),
                          QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::WriteOwner);
    QCOMPARE(f.dialogs().texts(QStringLiteral("error")),
             QStringList{text + QStringLiteral(" cannot be deleted!")});
    QVERIFY(QFile::exists(text));
}

QTEST_MAIN(TestCloseDocument)
#include "tst_close_document.moc"
