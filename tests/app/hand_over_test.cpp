// The running instance's side of the hand-over against the real window: the
// queue, the idle step, the 200 ms timer and its batches, bringing the window
// or its modal box to the front, and the first instance's command-line file.

#include "app/hand_over.h"
#include "app/hand_over_message.h"
#include "app/open_files_queue.h"
#include "document/page.h"
#include "support/window_fixture.h"
#include "ui/feedback.h"
#include "ui/folder_tree.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QProcess>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

namespace {
HandOverMessage PathMessage(const QString &path) {
    HandOverMessage message;
    message.paths = QStringList{path};
    return message;
}

// What TBOpen was asked to open: the folder tree's selection at each click.
struct OpenWatch {
    explicit OpenWatch(TFormMain &window) : window(window) {
        QObject::connect(window.action(QStringLiteral("TBOpen")), &QAction::triggered,
                         window.action("TBOpen"), [this] {
                             QStringList selected = this->window.SLV->selectedPaths();
                             selected.sort();
                             clicks << selected;
                             if (during)
                                 during();
                         });
    }
    TFormMain &window;
    QList<QStringList> clicks;
    std::function<void()> during;
};

// A real RBF file in folder, made by the stand-in converter from a generated text.
QString WriteRbf(const QString &folder, const QString &baseName) {
    const QString text = QDir(folder).filePath(baseName + QStringLiteral(".txt"));
    for (const QStringList &arguments :
         {QStringList{"--generate", "30", text}, QStringList{"-q", "-i", text}}) {
        QProcess process;
        process.setStandardOutputFile(QProcess::nullDevice());
        process.start(WindowFixture::grindlePath(), arguments);
        process.waitForFinished();
    }
    QFile::remove(text);
    return QDir(folder).filePath(baseName + QStringLiteral(".rbf"));
}

QStringList OpenPages(const TFormMain &window) {
    QStringList paths;
    for (int i = 0; i < window.PC->count(); ++i) {
        if (const auto *page = qobject_cast<const Page *>(window.PC->widget(i)))
            paths << page->RbfPath;
    }
    return paths;
}

QByteArray ConverterSettings() {
    return "[Main]\r\nGrindle=" + QFile::encodeName(WindowFixture::grindlePath()) + "\r\n";
}

QStringList Sorted(QStringList list) {
    list.sort();
    return list;
}
} // namespace

class HandOverTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { WriteOpenFilesQueue(QString()); }
    void cleanup() { WriteOpenFilesQueue(QString()); }
    void threeQuickHandOversOpenInOneBatch();
    void missingPathsFoldersAndEmptyEntriesAreSkipped();
    void waitsUntilTheApplicationWasActivated();
    void waitsWhileAModalBoxIsOpenAndRaisesIt();
    void waitsWhileTheWindowIsDisabled();
    void handOverWithoutPathOpensNothingAndRaisesTheWindow();
    void handOverDuringABatchOpensInTheNext();
    void minimisedWindowIsRestoredForTheBatch();
    void onlyTheDesktopActivationTokenIsTakenFromAPeer();
    void handedOverFilesOpenAsPages();
    void namesHoldingTheSeparatorOpenAsThemselves();
    void relativePathsAreIgnored();
    void aWindowThatCannotBeReachedSaysSo();
    void commandLineFileOpensOnceTheWindowShows();
    void commandLineFileOpensWithTheConverterFromTheSettings();
    void commandLineOpensEveryExistingFile();
    void commandLineFilesOpenAsPages();
    void oneHandOverCarriesSeveralFiles();
};

void HandOverTest::threeQuickHandOversOpenInOneBatch() {
    WindowFixture fixture;
    TFormMain &window = fixture.window();
    window.IsActivated = true;
    OpenWatch watch(window);
    const QString a = fixture.writeFile(QStringLiteral("a.rbf"), "A");
    const QString b = fixture.writeFile(QStringLiteral("b ü.rbf"), "B");
    const QString c = fixture.writeFile(QStringLiteral("c.rbf"), "C");
    for (const QString &path : {a, b, c})
        window.handOver().receive(PathMessage(path));
    QCOMPARE(ReadOpenFilesQueue(), a + "||" + b + "||" + c + "||");
    // The timer is started by the idle step, not by the message itself.
    QVERIFY(!window.TimerOpenFiles->isActive());
    QTRY_VERIFY(window.TimerOpenFiles->isActive() || !watch.clicks.isEmpty());
    QCOMPARE(window.TimerOpenFiles->interval(), 200);
    QTRY_COMPARE(watch.clicks.size(), 1);
    QCOMPARE(watch.clicks.at(0), Sorted({a, b, c}));
    // The batch took the queue, stopped the timer and cleared the selection.
    QCOMPARE(ReadOpenFilesQueue(), QString());
    QVERIFY(!window.TimerOpenFiles->isActive());
    QVERIFY(window.SLV->selectedPaths().isEmpty());
    QVERIFY(!window.handOver().OpenFilesBusy);
    QTest::qWait(500);
    QCOMPARE(watch.clicks.size(), 1);
}

void HandOverTest::missingPathsFoldersAndEmptyEntriesAreSkipped() {
    WindowFixture fixture;
    TFormMain &window = fixture.window();
    window.IsActivated = true;
    OpenWatch watch(window);
    const QString a = fixture.writeFile(QStringLiteral("a.rbf"), "A");
    const QString text = fixture.writeFile(QStringLiteral("notes.txt"), "T");
    QDir(fixture.dataDir()).mkdir(QStringLiteral("folder.rbf"));
    for (const QString &path :
         {fixture.dataDir() + "missing.rbf", fixture.dataDir() + "folder.rbf", QString(), a, text})
        window.handOver().receive(PathMessage(path));
    QTRY_COMPARE(watch.clicks.size(), 1);
    // A file that is not .rbf is passed to Open, which decides about it.
    QCOMPARE(watch.clicks.at(0), Sorted({a, text}));

    // A batch of nothing but missing paths still clicks Open, with nothing selected.
    window.handOver().receive(PathMessage(fixture.dataDir() + "gone.rbf"));
    QTRY_COMPARE(watch.clicks.size(), 2);
    QCOMPARE(watch.clicks.at(1), QStringList());
}

void HandOverTest::waitsUntilTheApplicationWasActivated() {
    WindowFixture fixture;
    TFormMain &window = fixture.window();
    OpenWatch watch(window);
    const QString a = fixture.writeFile(QStringLiteral("a.rbf"), "A");
    window.handOver().receive(PathMessage(a));
    QTest::qWait(600);
    QVERIFY(watch.clicks.isEmpty());
    QVERIFY(window.TimerOpenFiles->isActive());
    QCOMPARE(ReadOpenFilesQueue(), a + "||");
    window.IsActivated = true;
    QTRY_COMPARE(watch.clicks.size(), 1);
    QCOMPARE(watch.clicks.at(0), QStringList{a});
}

void HandOverTest::waitsWhileAModalBoxIsOpenAndRaisesIt() {
    WindowFixture fixture;
    TFormMain &window = fixture.window();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.IsActivated = true;
    OpenWatch watch(window);
    const QString a = fixture.writeFile(QStringLiteral("a.rbf"), "A");

    QMessageBox box(QMessageBox::Warning, QStringLiteral("Warning"), QStringLiteral("busy"), QMessageBox::Ok,
                    &window);
    box.setWindowModality(Qt::ApplicationModal);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QCOMPARE(QApplication::activeModalWidget(), &box);
    QWidget other;
    other.show();
    other.activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), &other);

    window.handOver().receive(PathMessage(a));
    QTRY_COMPARE(QApplication::activeWindow(), &box);
    QVERIFY(!window.handOver().MainWindowEnabled());
    QTest::qWait(600);
    QVERIFY(watch.clicks.isEmpty());
    QVERIFY(window.TimerOpenFiles->isActive());

    box.close();
    QTRY_COMPARE(watch.clicks.size(), 1);
    QCOMPARE(watch.clicks.at(0), QStringList{a});
}

void HandOverTest::waitsWhileTheWindowIsDisabled() {
    WindowFixture fixture;
    TFormMain &window = fixture.window();
    window.IsActivated = true;
    OpenWatch watch(window);
    const QString a = fixture.writeFile(QStringLiteral("a.rbf"), "A");
    window.setEnabled(false);
    window.handOver().receive(PathMessage(a));
    QTest::qWait(600);
    QVERIFY(watch.clicks.isEmpty());
    window.setEnabled(true);
    QTRY_COMPARE(watch.clicks.size(), 1);
}

void HandOverTest::handOverWithoutPathOpensNothingAndRaisesTheWindow() {
    WindowFixture fixture;
    TFormMain &window = fixture.window();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.IsActivated = true;
    OpenWatch watch(window);
    QWidget other;
    other.show();
    other.activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), &other);

    window.handOver().receive(HandOverMessage());
    QTRY_COMPARE(QApplication::activeWindow(), &window);
    QCOMPARE(ReadOpenFilesQueue(), QString());
    // The timer polls on; an empty queue opens nothing.
    QTRY_VERIFY(window.TimerOpenFiles->isActive());
    QTest::qWait(500);
    QVERIFY(watch.clicks.isEmpty());
    QVERIFY(window.TimerOpenFiles->isActive());
}

void HandOverTest::handOverDuringABatchOpensInTheNext() {
    WindowFixture fixture;
    TFormMain &window = fixture.window();
    window.IsActivated = true;
    OpenWatch watch(window);
    const QString a = fixture.writeFile(QStringLiteral("a.rbf"), "A");
    const QString b = fixture.writeFile(QStringLiteral("b.rbf"), "B");
    const QString d = fixture.writeFile(QStringLiteral("d.rbf"), "D");
    int depth = 0;
    int deepest = 0;
    watch.during = [&] {
        ++depth;
        deepest = qMax(deepest, depth);
        if (watch.clicks.size() == 1) {
            // Open pumps events while the converter runs; a hand-over comes meanwhile.
            window.handOver().receive(PathMessage(d));
            QTest::qWait(700);
            QVERIFY(window.handOver().OpenFilesBusy);
        }
        --depth;
    };
    window.handOver().receive(PathMessage(a));
    window.handOver().receive(PathMessage(b));
    QTRY_COMPARE(watch.clicks.size(), 2);
    QCOMPARE(watch.clicks.at(0), Sorted({a, b}));
    QCOMPARE(watch.clicks.at(1), QStringList{d});
    QCOMPARE(deepest, 1);
}

void HandOverTest::minimisedWindowIsRestoredForTheBatch() {
    WindowFixture fixture;
    TFormMain &window = fixture.window();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.IsActivated = true;
    OpenWatch watch(window);
    const QString a = fixture.writeFile(QStringLiteral("a.rbf"), "A");
    window.handOver().receive(PathMessage(a));
    window.showMinimized();
    QTRY_VERIFY(window.isMinimized());
    QTRY_COMPARE(watch.clicks.size(), 1);
    QVERIFY(!window.isMinimized());
}

void HandOverTest::onlyTheDesktopActivationTokenIsTakenFromAPeer() {
    WindowFixture fixture;
    TFormMain &window = fixture.window();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QByteArray path = qgetenv("PATH");
    HandOverMessage message;
    message.activationEnv = "XDG_ACTIVATION_TOKEN=tok-1";
    window.handOver().receive(message);
    QCOMPARE(qgetenv("XDG_ACTIVATION_TOKEN"), QByteArray("tok-1"));
    message.activationEnv = "PATH=/evil";
    window.handOver().receive(message);
    QCOMPARE(qgetenv("PATH"), path);
    qunsetenv("XDG_ACTIVATION_TOKEN");
}

void HandOverTest::handedOverFilesOpenAsPages() {
    WindowFixture fixture({}, ConverterSettings());
    TFormMain &window = fixture.window();
    window.IsActivated = true;
    const QString a = WriteRbf(fixture.dataDir(), QStringLiteral("first"));
    const QString b = WriteRbf(fixture.dataDir(), QStringLiteral("zweite Ä"));
    window.handOver().receive(PathMessage(a));
    window.handOver().receive(PathMessage(b));
    QTRY_COMPARE_WITH_TIMEOUT(OpenPages(window).size(), 2, 10000);
    QCOMPARE(Sorted(OpenPages(window)), Sorted({a, b}));
    QVERIFY(QFile::exists(fixture.dataDir() + "first.txt"));
    QVERIFY(QFile::exists(fixture.dataDir() + "zweite Ä.txt"));
    QVERIFY(fixture.dialogs.calls.isEmpty());
}

void HandOverTest::namesHoldingTheSeparatorOpenAsThemselves() {
    WindowFixture fixture;
    TFormMain &window = fixture.window();
    window.IsActivated = true;
    OpenWatch watch(window);
    const QString odd = fixture.writeFile(QStringLiteral("v||unit.rbf"), "V");
    const QString broken = fixture.writeFile(QStringLiteral("a\nb||.rbf"), "B");
    fixture.writeFile(QStringLiteral("unit.rbf"), "U");
    window.handOver().receive(PathMessage(odd));
    window.handOver().receive(PathMessage(broken));
    // The outward form of the queue is as described, whatever the names hold.
    QCOMPARE(ReadOpenFilesQueue(), odd + "||" + broken + "||");
    QTRY_COMPARE(watch.clicks.size(), 1);
    QCOMPARE(watch.clicks.at(0), Sorted({odd, broken}));
}

void HandOverTest::relativePathsAreIgnored() {
    WindowFixture fixture;
    TFormMain &window = fixture.window();
    window.IsActivated = true;
    OpenWatch watch(window);
    const QString absolute = fixture.writeFile(QStringLiteral("b.rbf"), "B");
    fixture.writeFile(QStringLiteral("a.rbf"), "A");
    // A relative name means the sender's folder, which this instance does not know: it would
    // open a file of its own folder that happens to have the name.
    const QString previous = QDir::currentPath();
    QDir::setCurrent(fixture.dataDir());
    window.handOver().receive(PathMessage(QStringLiteral("a.rbf")));
    window.handOver().receive(PathMessage(QStringLiteral("./a.rbf")));
    window.handOver().receive(PathMessage(absolute));
    QTRY_COMPARE(watch.clicks.size(), 1);
    QDir::setCurrent(previous);
    QCOMPARE(watch.clicks.at(0), QStringList{absolute});
}

void HandOverTest::aWindowThatCannotBeReachedSaysSo() {
    TFormMain::Options options;
    ScriptedDialogs dialogs;
    QTemporaryDir exeDir;
    options.exeDir = exeDir.path();
    options.dialogs = &dialogs;
    options.handOverUnavailable = true;
    TFormMain window(options);
    QCOMPARE(window.feedback().statusText(), TFormMain::HandOverUnavailableText());
    QVERIFY(TFormMain::HandOverUnavailableText().contains(QStringLiteral("cannot be handed over")));
    options.handOverUnavailable = false;
    TFormMain reachable(options);
    QVERIFY(reachable.feedback().statusText().isEmpty());
}

void HandOverTest::commandLineFileOpensOnceTheWindowShows() {
    QTemporaryDir data;
    const QString file = data.filePath(QStringLiteral("start.rbf"));
    QFile(file).open(QIODevice::WriteOnly);
    // Relative to the current folder, as a shell passes it.
    const QString previous = QDir::currentPath();
    QDir::setCurrent(data.path());
    WindowFixture fixture({QStringLiteral("kestrelbench"), QStringLiteral("start.rbf")});
    QDir::setCurrent(previous);
    TFormMain &window = fixture.window();
    // Created, not shown: nothing is opened yet, the status line says what is coming.
    OpenWatch watch(window);
    bool exposedAtOpen = false;
    watch.during = [&window, &exposedAtOpen] {
        exposedAtOpen = window.windowHandle() && window.windowHandle()->isExposed();
    };
    QCoreApplication::processEvents();
    QVERIFY(watch.clicks.isEmpty());
    QCOMPARE(window.feedback().statusText(),
             QStringLiteral("Opening %1").arg(QDir::toNativeSeparators(file)));
    window.show();
    QTRY_COMPARE(watch.clicks.size(), 1);
    QVERIFY(exposedAtOpen);
    // The selection that Open acted on is left as it was.
    QCOMPARE(watch.clicks.at(0), QStringList{file});
    QCOMPARE(window.SLV->selectedPaths(), QStringList{file});
    QVERIFY(!window.TimerOpenFiles->isActive());
}

void HandOverTest::commandLineFileOpensWithTheConverterFromTheSettings() {
    QTemporaryDir data;
    const QString file = WriteRbf(data.path(), QStringLiteral("start"));
    WindowFixture fixture({QStringLiteral("kestrelbench"), file}, ConverterSettings());
    fixture.window().show();
    QTRY_COMPARE(OpenPages(fixture.window()), QStringList{file});
    QVERIFY(QFile::exists(data.filePath(QStringLiteral("start.txt"))));
    QVERIFY(fixture.dialogs.calls.isEmpty());
}

void HandOverTest::commandLineOpensEveryExistingFile() {
    QTemporaryDir data;
    const QString first = data.filePath(QStringLiteral("first.rbf"));
    const QString odd = data.filePath(QStringLiteral("v||unit.rbf"));
    for (const QString &file : {first, odd})
        QFile(file).open(QIODevice::WriteOnly);
    const QString missing = data.filePath(QStringLiteral("missing.rbf"));
    // Folders, missing paths and the end of options are passed over; the rest is opened.
    WindowFixture fixture(
        {QStringLiteral("kestrelbench"), data.path(), missing, first, QStringLiteral("--"), odd});
    QCOMPARE(fixture.window().feedback().statusText(),
             QStringLiteral("Opening %1 and 1 more").arg(QDir::toNativeSeparators(first)));
    fixture.window().show();
    QTRY_COMPARE(Sorted(fixture.window().SLV->selectedPaths()), Sorted({first, odd}));
    QVERIFY(!fixture.window().TimerOpenFiles->isActive());
    // Nothing that exists: nothing is selected, nothing opened, nothing announced.
    for (const QStringList &arguments : {QStringList{QStringLiteral("kestrelbench"), data.path()},
                                         QStringList{QStringLiteral("kestrelbench"), missing}}) {
        WindowFixture none(arguments);
        none.window().show();
        QVERIFY(QTest::qWaitForWindowExposed(&none.window()));
        QTest::qWait(50);
        QVERIFY2(none.window().SLV->selectedPaths().isEmpty(), qPrintable(arguments.join(' ')));
        QVERIFY(none.window().feedback().statusText().isEmpty());
    }
}

void HandOverTest::commandLineFilesOpenAsPages() {
    QTemporaryDir data;
    const QString a = WriteRbf(data.path(), QStringLiteral("b first"));
    const QString b = WriteRbf(data.path(), QStringLiteral("a second"));
    WindowFixture fixture({QStringLiteral("kestrelbench"), a, b}, ConverterSettings());
    fixture.window().show();
    QTRY_COMPARE(Sorted(OpenPages(fixture.window())), Sorted({a, b}));
    QVERIFY(fixture.dialogs.calls.isEmpty());
}

void HandOverTest::oneHandOverCarriesSeveralFiles() {
    WindowFixture fixture;
    TFormMain &window = fixture.window();
    window.IsActivated = true;
    OpenWatch watch(window);
    const QString a = fixture.writeFile(QStringLiteral("a.rbf"), "A");
    const QString b = fixture.writeFile(QStringLiteral("b||c.rbf"), "B");
    HandOverMessage message;
    message.paths = QStringList{a, QStringLiteral("relative.rbf"), b};
    window.handOver().receive(message);
    // The relative one is dropped; the others queue in their order, each as itself.
    QCOMPARE(ReadOpenFilesQueue(), a + "||" + b + "||");
    QTRY_COMPARE(watch.clicks.size(), 1);
    QCOMPARE(watch.clicks.at(0), Sorted({a, b}));
}

QTEST_MAIN(HandOverTest)
#include "hand_over_test.moc"
