// Closing pages, Close All and quitting the window.

#include "document/document_fixture.h"

#include "document/document_controller.h"
#include "document/page.h"
#include "document/page_context.h"
#include "editor/page_editor.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QPointer>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <functional>
#include <unistd.h>

namespace {

void Edit(PageEditor *editor) {
    editor->setCaret(0, 0);
    editor->replaceSelection(QStringLiteral("edited "));
}

// Runs action once, from inside whatever event loop is running, as soon as condition holds.
void RunWhen(std::function<bool()> condition, std::function<void()> action) {
    auto *timer = new QTimer;
    timer->setInterval(0);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, condition, action] {
        if (!condition())
            return;
        timer->stop();
        timer->deleteLater();
        action();
    });
    timer->start();
}

// Makes the next save of the page of rbf wait for its converter, and types letters into editor
// (that page's or another's) through posted key events (as a user types) while it waits; the converter ends
// once the editor shows them. Later saves of that page do not wait.
void TypeDuringNextSave(DocumentFixture &f, const QString &rbf, PageEditor *editor, const QString &letters) {
    const QString text = DocumentFixture::textPathOf(rbf);
    DocumentFixture::setMode(text, "wait copy");
    QFile::remove(text + QStringLiteral(".go"));
    const int runs = f.converterRuns().size();
    QPointer<PageEditor> target = editor;
    RunWhen([&f, runs, text] { return f.converterRuns().size() > runs && f.converterRuns().last() == text; },
            [target, letters, text] {
                for (const QChar letter : letters) {
                    const int key = Qt::Key_A + (letter.toLower().unicode() - 'a');
                    QCoreApplication::postEvent(target,
                                                new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier, letter));
                    QCoreApplication::postEvent(
                        target, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier, letter));
                }
                RunWhen([target, letters] { return !target || target->text8().contains(letters.toLatin1()); },
                        [text] {
                            QFile go(text + QStringLiteral(".go"));
                            go.open(QIODevice::WriteOnly);
                        });
            });
}

} // namespace

class TestCloseDocument : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void closesUnmodifiedPage();
    void closeModifiedAnsweringNo();
    void closeModifiedAnsweringYes();
    void closeModifiedWithFailingSave();
    void lettersTypedDuringTheCloseSaveAreAskedAbout();
    void lettersTypedDuringCloseAllAndQuitAreAskedAbout();
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

void TestCloseDocument::lettersTypedDuringTheCloseSaveAreAskedAbout() {
    const QString first = QByteArray("edited ") + SampleText();
    {
        // Yes, letters arrive during the save; Yes again saves them too.
        DocumentFixture f;
        const QString rbf = f.writeRbf(QStringLiteral("unit"));
        f.open(rbf);
        Edit(f.editor(0));
        TypeDuringNextSave(f, rbf, f.editor(0), QStringLiteral("xy"));
        f.dialogs().yesNo << true << true;
        f.window().click(QStringLiteral("TBClose"));
        QCOMPARE(f.dialogs().texts(QStringLiteral("yesno")),
                 QStringList(2, QStringLiteral("Save %1 ?").arg(rbf)));
        QCOMPARE(f.pageCount(), 0);
        QCOMPARE(QString::fromLatin1(DocumentFixture::read(rbf)), QStringLiteral("edited xy") + SampleText());
        QVERIFY(!QFile::exists(DocumentFixture::textPathOf(rbf)));
    }
    {
        // Yes, letters arrive; No now discards only them: the first save stands, the page goes.
        DocumentFixture f;
        const QString rbf = f.writeRbf(QStringLiteral("unit"));
        f.open(rbf);
        Edit(f.editor(0));
        TypeDuringNextSave(f, rbf, f.editor(0), QStringLiteral("q"));
        f.dialogs().yesNo << true << false;
        QVERIFY(f.documents().ClosePage(0)); // the tab menu's close
        QCOMPARE(f.dialogs().texts(QStringLiteral("yesno")).size(), 2);
        QCOMPARE(f.pageCount(), 0);
        QCOMPARE(QString::fromLatin1(DocumentFixture::read(rbf)), first);
        QVERIFY(!QFile::exists(DocumentFixture::textPathOf(rbf)));
    }
    {
        // The second save fails: the page with its letters stays open and modified.
        DocumentFixture f;
        const QString rbf = f.writeRbf(QStringLiteral("unit"));
        f.open(rbf);
        QPointer<PageEditor> editor = f.editor(0);
        Edit(editor);
        TypeDuringNextSave(f, rbf, editor, QStringLiteral("k"));
        f.dialogs().onCall = [&](const DialogCall &call) {
            if (call.kind == QLatin1String("yesno") && f.dialogs().texts(QStringLiteral("yesno")).size() == 2)
                DocumentFixture::setMode(DocumentFixture::textPathOf(rbf), "nothing");
        };
        f.dialogs().yesNo << true << true;
        QVERIFY(!f.documents().ClosePage(0));
        QCOMPARE(f.pageCount(), 1);
        QVERIFY(editor && editor->isModified());
        QVERIFY(editor->text8().startsWith("edited k"));
        QCOMPARE(QString::fromLatin1(DocumentFixture::read(rbf)), first);
    }
}

void TestCloseDocument::lettersTypedDuringCloseAllAndQuitAreAskedAbout() {
    {
        // Close All: letters typed into the page being saved and into a later, unmodified page.
        DocumentFixture f;
        const QString a = f.writeRbf(QStringLiteral("a"));
        const QString b = f.writeRbf(QStringLiteral("b"));
        f.open({a, b});
        Edit(f.editor(0));
        PageEditor *second = f.editor(1);
        TypeDuringNextSave(f, a, f.editor(0), QStringLiteral("m"));
        RunWhen([&] { return f.editor(0) && f.editor(0)->text8().contains("edited m"); },
                [second] {
                    QCoreApplication::postEvent(second, new QKeyEvent(QEvent::KeyPress, Qt::Key_Z,
                                                                      Qt::NoModifier, QStringLiteral("z")));
                });
        f.dialogs().yesNo << true << true << true;
        f.window().click(QStringLiteral("TBCloseAll"));
        QCOMPARE(f.dialogs().texts(QStringLiteral("yesno")),
                 (QStringList{QStringLiteral("Save %1 ?").arg(a), QStringLiteral("Save %1 ?").arg(a),
                              QStringLiteral("Save %1 ?").arg(b)}));
        QCOMPARE(f.pageCount(), 0);
        QVERIFY(DocumentFixture::read(a).startsWith("edited m"));
        // The tree had selected a key in b: the letter went in there.
        QVERIFY(DocumentFixture::read(b).contains("z"));
    }
    {
        // The window's close: the program may not end before the letters are saved or refused.
        DocumentFixture f;
        const QString a = f.writeRbf(QStringLiteral("a"));
        f.open(a);
        Edit(f.editor(0));
        TypeDuringNextSave(f, a, f.editor(0), QStringLiteral("w"));
        f.dialogs().yesNo << true << true;
        QVERIFY(f.window().close());
        QCOMPARE(f.dialogs().texts(QStringLiteral("yesno")),
                 QStringList(2, QStringLiteral("Save %1 ?").arg(a)));
        QVERIFY(DocumentFixture::read(a).startsWith("edited w"));
        QVERIFY(!QFile::exists(DocumentFixture::textPathOf(a)));
    }
    {
        // "Quit any way?" lets a page stay as it was; letters typed into it during a later page's
        // save are offered again. Its save fails again: they are in its text file on disk.
        DocumentFixture f;
        const QString a = f.writeRbf(QStringLiteral("a"));
        const QString b = f.writeRbf(QStringLiteral("b"));
        f.open({a, b});
        Edit(f.editor(0));
        Edit(f.editor(1));
        DocumentFixture::setMode(DocumentFixture::textPathOf(a), "nothing");
        TypeDuringNextSave(f, b, f.editor(0), QStringLiteral("x"));
        f.dialogs().yesNo << true << true << true << true;
        QVERIFY(f.window().close());
        QCOMPARE(f.dialogs().texts(QStringLiteral("yesno")),
                 (QStringList{QStringLiteral("Save %1 ?").arg(a), QStringLiteral("Quit any way?"),
                              QStringLiteral("Save %1 ?").arg(b), QStringLiteral("Save %1 ?").arg(a)}));
        QVERIFY(DocumentFixture::read(DocumentFixture::textPathOf(a)).startsWith("edited x"));
        QVERIFY(DocumentFixture::read(b).startsWith("edited "));
    }
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
