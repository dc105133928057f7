// Commands that arrive, through the events a conversion wait or a tree build
// lets run, for the page under that operation, and the window's close meanwhile.

#include "document/document_fixture.h"

#include "document/document_controller.h"
#include "document/page.h"
#include "editor/page_editor.h"
#include "tree/page_tree.h"
#include "tree/structure_tree_model.h"
#include "ui/feedback.h"

#include <QFile>
#include <QPointer>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <functional>

namespace {

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

void Go(const QString &input) {
    QFile file(input + QStringLiteral(".go"));
    QVERIFY(file.open(QIODevice::WriteOnly));
}

QByteArray LongText(int lines) {
    QByteArray text = "unit\n{\n";
    for (int i = 0; i < lines; ++i)
        text += "| key" + QByteArray::number(i) + ": " + QByteArray::number(i) + ";\n";
    return text + "}\n";
}

} // namespace

class TestBusyDocument : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void saveWaitRefusesPageCommandsAndDefersQuit();
    void editsDuringSaveWaitKeepThePageModified();
    void openWaitOpensOnceAndDefersQuit();
    void reopenWaitRefusesPageCommands();
    void buildRefusesPageCommandsAndDefersQuit();
    void synchronisationRefusesClose();
};

void TestBusyDocument::saveWaitRefusesPageCommandsAndDefersQuit() {
    DocumentFixture f;
    const QString rbf = f.writeRbf(QStringLiteral("unit"));
    const QString text = DocumentFixture::textPathOf(rbf);
    f.open(rbf);
    QPointer<Page> page = f.page(0);
    f.editor(0)->setCaret(0, 0);
    f.editor(0)->replaceSelection(QStringLiteral("edited "));
    DocumentFixture::setMode(text, "wait copy");
    const int runs = f.converterRuns().size();
    bool ran = false;
    RunWhen([&] { return f.converterRuns().size() > runs; },
            [&] {
                f.window().click(QStringLiteral("TBClose"));
                f.window().click(QStringLiteral("TBCloseAll"));
                f.window().click(QStringLiteral("TBReOpen"));
                f.window().click(QStringLiteral("TBSave"));
                f.window().click(QStringLiteral("TBSaveAll"));
                f.window().click(QStringLiteral("TBRebuildTree"));
                QVERIFY(!f.documents().ClosePage(0));
                QVERIFY(!f.documents().SavePage(0));
                // The close waits for the conversion.
                QVERIFY(!f.window().close());
                QVERIFY(f.window().isVisible());
                QVERIFY(f.documents().closePending());
                QVERIFY(page);
                ran = true;
                Go(text);
            });
    QVERIFY(f.documents().SavePage(0));
    QVERIFY(ran);
    QCOMPARE(f.converterRuns().size(), runs + 1);
    QVERIFY(f.dialogs().texts(QStringLiteral("error")).isEmpty());
    QCOMPARE(DocumentFixture::read(rbf), QByteArray("edited ") + SampleText());
    // Once the wait is over the window closes: nothing is modified any more, so no question.
    QTRY_VERIFY(!f.window().isVisible());
    QVERIFY(f.dialogs().texts(QStringLiteral("yesno")).isEmpty());
    QVERIFY(page.isNull());
    QVERIFY(!QFile::exists(text));
}

void TestBusyDocument::editsDuringSaveWaitKeepThePageModified() {
    DocumentFixture f;
    const QString rbf = f.writeRbf(QStringLiteral("unit"));
    const QString text = DocumentFixture::textPathOf(rbf);
    f.open(rbf);
    PageEditor *editor = f.editor(0);
    editor->setCaret(0, 0);
    editor->replaceSelection(QStringLiteral("first "));
    DocumentFixture::setMode(text, "wait copy");
    const int runs = f.converterRuns().size();
    RunWhen([&] { return f.converterRuns().size() > runs; },
            [&] {
                editor->setCaret(0, 0);
                editor->replaceSelection(QStringLiteral("second "));
                Go(text);
            });
    QVERIFY(f.documents().SavePage(0));
    QCOMPARE(DocumentFixture::read(rbf), QByteArray("first ") + SampleText());
    // The later edit is not in the RBF file: the page stays modified, and closing asks.
    QVERIFY(editor->isModified());
    QCOMPARE(f.page(0)->TabImage, 1);
    f.dialogs().yesNo.enqueue(false);
    QVERIFY(f.documents().ClosePage(0));
    QCOMPARE(f.dialogs().texts(QStringLiteral("yesno")).size(), 1);
}

void TestBusyDocument::openWaitOpensOnceAndDefersQuit() {
    DocumentFixture f;
    const QString a = f.writeRbf(QStringLiteral("a"));
    const QString b = f.writeRbf(QStringLiteral("b"));
    f.open(a);
    DocumentFixture::setMode(b, "wait copy");
    bool ran = false;
    RunWhen([&] { return f.converterRuns().contains(b); },
            [&] {
                // The same file again: its conversion is already under way.
                f.open(b);
                // Another page is not under the operation and closes.
                QVERIFY(f.documents().ClosePage(0));
                QVERIFY(!f.window().close());
                ran = true;
                Go(b);
            });
    f.open(b);
    QVERIFY(ran);
    QCOMPARE(f.converterRuns().count(b), 1);
    QVERIFY(f.dialogs().calls.isEmpty());
    QTRY_VERIFY(!f.window().isVisible());
    QCOMPARE(f.pageCount(), 0);
    QVERIFY(!QFile::exists(DocumentFixture::textPathOf(b)));
}

void TestBusyDocument::reopenWaitRefusesPageCommands() {
    DocumentFixture f;
    const QString rbf = f.writeRbf(QStringLiteral("unit"));
    f.open(rbf);
    DocumentFixture::setMode(rbf, "wait copy");
    const int runs = f.converterRuns().size();
    bool ran = false;
    RunWhen([&] { return f.converterRuns().size() > runs; },
            [&] {
                QVERIFY(!f.documents().ClosePage(0));
                QVERIFY(!f.documents().SavePage(0));
                f.window().click(QStringLiteral("TBReOpen"));
                f.window().click(QStringLiteral("TBRebuildTree"));
                ran = true;
                Go(rbf);
            });
    f.window().click(QStringLiteral("TBReOpen"));
    QVERIFY(ran);
    QCOMPARE(f.converterRuns().size(), runs + 1);
    QCOMPARE(f.pageCount(), 1);
    QCOMPARE(f.tree(0)->structure().nodeCount(), 8);
    QVERIFY(f.dialogs().calls.isEmpty());
}

void TestBusyDocument::buildRefusesPageCommandsAndDefersQuit() {
    DocumentFixture f;
    const QString rbf = f.writeRbf(QStringLiteral("long"), LongText(3000));
    bool ran = false;
    RunWhen([&] { return f.pageCount() == 1 && !f.tree(0)->isEnabled(); },
            [&] {
                QCOMPARE(f.window().feedback().statusText(), QStringLiteral("Wait..."));
                const int runs = f.converterRuns().size();
                QVERIFY(!f.documents().ClosePage(0));
                QVERIFY(!f.documents().SavePage(0));
                f.window().click(QStringLiteral("TBReOpen"));
                f.window().click(QStringLiteral("TBRebuildTree"));
                f.window().click(QStringLiteral("TBCloseAll"));
                QCOMPARE(f.converterRuns().size(), runs);
                QVERIFY(!f.window().close());
                ran = true;
            });
    f.open(rbf);
    QVERIFY(ran);
    QTRY_VERIFY(!f.window().isVisible());
    QCOMPARE(f.pageCount(), 0);
    QVERIFY(f.dialogs().calls.isEmpty());
}

// A node selection moves the caret, and the caret status lets events run: the page stays.
void TestBusyDocument::synchronisationRefusesClose() {
    DocumentFixture f;
    f.open(f.writeRbf(QStringLiteral("unit")));
    PageTree *tree = f.tree(0);
    bool ran = false;
    RunWhen([&] { return tree->TreeState == PageTree::Syncing; },
            [&] {
                QVERIFY(!f.documents().ClosePage(0));
                ran = true;
            });
    for (int i = 0; i < 50 && !ran; ++i) {
        tree->selectNode(i % 2 == 0 ? 6 : 1);
        QTest::qWait(1);
    }
    QVERIFY(ran);
    QCOMPARE(f.pageCount(), 1);
    QCOMPARE(tree->TreeState, int(PageTree::Idle));
}

QTEST_MAIN(TestBusyDocument)
#include "tst_busy_document.moc"
