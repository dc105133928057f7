// Commands that arrive, through the events a conversion wait or a tree build
// lets run, for the page under that operation, and the window's close meanwhile.

#include "document/document_fixture.h"

#include "converter/converter_waits.h"
#include "document/document_controller.h"
#include "document/page.h"
#include "editor/page_editor.h"
#include "tree/page_tree.h"
#include "tree/structure_tree_model.h"
#include "ui/feedback.h"
#include "ui/hint_popup.h"

#include <QFile>
#include <QPointer>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
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

QString BusyText(const QString &rbf) {
    return rbf + QStringLiteral(" is busy, try again when it is done");
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
    void saveAllGoesOnPastABusyPage();
    void aHangingConverterCanBeLeft();
    void aHangingOpenCanBeLeft();
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
                // Each refusal is said in the status line.
                for (const char *command :
                     {"TBClose", "TBCloseAll", "TBReOpen", "TBSave", "TBSaveAll", "TBRebuildTree"}) {
                    f.window().feedback().SetStatusText(QString());
                    f.window().click(QLatin1String(command));
                    QCOMPARE(f.window().feedback().statusText(), BusyText(rbf));
                }
                QVERIFY(!f.documents().ClosePage(0));
                QVERIFY(!f.documents().SavePage(0));
                // The close waits for the conversion.
                QVERIFY(!f.window().close());
                QCOMPARE(f.window().feedback().statusText(),
                         rbf + QStringLiteral(" is busy, the window closes when it is done"));
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
                f.window().feedback().SetStatusText(QString());
                f.window().click(QStringLiteral("TBReOpen"));
                QCOMPARE(f.window().feedback().statusText(), BusyText(rbf));
                f.window().feedback().SetStatusText(QString());
                f.window().click(QStringLiteral("TBRebuildTree"));
                QCOMPARE(f.window().feedback().statusText(), BusyText(rbf));
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
    // The first build takes the tree that was built while the text loaded, at once: the rebuild
    // of the tree from the editor's lines is the build that lets events run.
    f.open(rbf);
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
    f.window().click(QStringLiteral("TBRebuildTree"));
    QVERIFY(ran);
    QTRY_VERIFY(!f.window().isVisible());
    QCOMPARE(f.pageCount(), 0);
    QVERIFY(f.dialogs().calls.isEmpty());
}

// A caret move synchronises the tree, and the caret status lets events run: the page stays.
void TestBusyDocument::synchronisationRefusesClose() {
    DocumentFixture f;
    f.open(f.writeRbf(QStringLiteral("unit")));
    PageTree *tree = f.tree(0);
    const Page *page = f.documents().page(0);
    bool ran = false;
    RunWhen([&] { return page->isBusy(); },
            [&] {
                QVERIFY(!f.documents().ClosePage(0));
                ran = true;
            });
    for (int i = 0; i < 50 && !ran; ++i) {
        f.editor(0)->setCaret(0, i % 2 == 0 ? 6 : 1);
        QTest::qWait(1);
    }
    QVERIFY(ran);
    QCOMPARE(f.pageCount(), 1);
    QCOMPARE(tree->TreeState, int(PageTree::Idle));
}

// Save All while one page waits for its converter: the others are saved, the busy one is named.
void TestBusyDocument::saveAllGoesOnPastABusyPage() {
    DocumentFixture f;
    const QString a = f.writeRbf(QStringLiteral("a"));
    const QString b = f.writeRbf(QStringLiteral("b"));
    const QString c = f.writeRbf(QStringLiteral("c"));
    f.open({a, b, c});
    for (int i = 0; i < 3; ++i) {
        f.editor(i)->setCaret(0, 0);
        f.editor(i)->replaceSelection(QStringLiteral("edited "));
    }
    const QString textA = DocumentFixture::textPathOf(a);
    DocumentFixture::setMode(textA, "wait copy");
    bool ran = false;
    RunWhen([&] { return f.converterRuns().contains(textA); },
            [&] {
                f.window().click(QStringLiteral("TBSaveAll"));
                QVERIFY(!f.editor(1)->isModified());
                QVERIFY(!f.editor(2)->isModified());
                QCOMPARE(DocumentFixture::read(c), QByteArray("edited ") + SampleText());
                QCOMPARE(f.window().feedback().statusText(), BusyText(a));
                HintPopup *hint = f.window().feedback().hintWindow();
                QVERIFY(!hint || !hint->isVisible() || hint->text() != QStringLiteral("All files saved"));
                ran = true;
                Go(textA);
            });
    QVERIFY(f.documents().SavePage(0));
    QVERIFY(ran);
    QVERIFY(!f.editor(0)->isModified());
    QVERIFY(f.dialogs().calls.isEmpty());
}

// A converter that never ends: once it has run for the patience time, the status bar offers to
// stop waiting. Stopping ends the converter and keeps the page and its files; a close asked for
// meanwhile then goes ahead.
void TestBusyDocument::aHangingConverterCanBeLeft() {
    ConverterWaits &waits = ConverterWaits::instance();
    const int patience = waits.patienceMs();
    waits.setPatienceMs(200);
    DocumentFixture f;
    const QString rbf = f.writeRbf(QStringLiteral("unit"));
    const QString text = DocumentFixture::textPathOf(rbf);
    f.open(rbf);
    f.editor(0)->setCaret(0, 0);
    f.editor(0)->replaceSelection(QStringLiteral("edited "));
    DocumentFixture::setMode(text, "sleep:100000 copy");
    auto *stop = f.window().findChild<QToolButton *>(QStringLiteral("TBStopWaiting"));
    QVERIFY(stop);
    QVERIFY(!stop->isVisible());
    bool ran = false;
    RunWhen([&] { return stop->isVisible(); },
            [&] {
                QVERIFY(!f.window().close());
                QVERIFY(f.window().isVisible());
                ran = true;
                QTest::mouseClick(stop, Qt::LeftButton);
            });
    QVERIFY(!f.documents().SavePage(0));
    QVERIFY(ran);
    QCOMPARE(
        f.dialogs().texts(QStringLiteral("error")),
        QStringList{
            QStringLiteral("%1 was not rewritten, check it again!\nThe converter was stopped.").arg(rbf)});
    QVERIFY(!stop->isVisible());
    QVERIFY(f.editor(0)->isModified());
    QCOMPARE(DocumentFixture::read(rbf), SampleText());
    QCOMPARE(DocumentFixture::read(text), QByteArray("edited ") + SampleText());
    // The close that waited runs now and asks about the modified page (No: the default answer).
    QTRY_VERIFY(!f.window().isVisible());
    QCOMPARE(f.dialogs().texts(QStringLiteral("yesno")), QStringList{QStringLiteral("Save %1 ?").arg(rbf)});
    waits.setPatienceMs(patience);
}

void TestBusyDocument::aHangingOpenCanBeLeft() {
    ConverterWaits &waits = ConverterWaits::instance();
    const int patience = waits.patienceMs();
    waits.setPatienceMs(200);
    DocumentFixture f;
    const QString rbf = f.writeRbf(QStringLiteral("unit"));
    DocumentFixture::setMode(rbf, "sleep:100000 copy");
    auto *stop = f.window().findChild<QToolButton *>(QStringLiteral("TBStopWaiting"));
    QVERIFY(stop);
    RunWhen([&] { return stop->isVisible(); }, [&] { QTest::mouseClick(stop, Qt::LeftButton); });
    f.open(rbf);
    QCOMPARE(f.pageCount(), 0);
    QVERIFY(f.dialogs().calls.isEmpty());
    QCOMPARE(f.window().feedback().statusText(),
             rbf + QStringLiteral(" was not opened: The converter was stopped."));
    QCOMPARE(DocumentFixture::read(rbf), SampleText());
    QVERIFY(!QFile::exists(DocumentFixture::textPathOf(rbf)));
    QVERIFY(!stop->isVisible());
    // The same file opens once its converter behaves.
    DocumentFixture::setMode(rbf, "copy");
    f.open(rbf);
    QCOMPARE(f.pageCount(), 1);
    waits.setPatienceMs(patience);
}

QTEST_MAIN(TestBusyDocument)
#include "tst_busy_document.moc"
