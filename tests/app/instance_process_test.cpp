// The program itself, started as real processes: a later start hands its file
// to the running one and ends with 0; a killed instance leaves nothing that
// stops the next start from becoming the running one.
//
// Each test gives the program its own executable folder (a link to the built
// program, so Kestrelbench.ini lands there) and its own run-time folder
// (XDG_RUNTIME_DIR), so tests and a developer's running instance never meet.
// That a file was opened shows in the converter's text beside it, which the
// running instance's Open makes and keeps while the page is open.

#include "platform/file_names.h"
#include "platform/user_runtime.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {
const QString Program = QStringLiteral(KESTREL_BUILD_DIR "/kestrelbench");
const QString Converter = QStringLiteral(KESTREL_BUILD_DIR "/grindle");

void RunQuietly(const QString &program, const QStringList &arguments) {
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(program, arguments);
    process.waitForFinished();
}

class ProgramRuns {
public:
    ProgramRuns() {
        QDir().mkpath(m_runtime.path());
        QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QString exe = m_exeDir.filePath(QStringLiteral("kestrelbench"));
        // A hard link keeps the test fast; the program finds its folder through it.
        if (!QFile::link(Program, exe) || QFileInfo(exe).isSymLink()) {
            QFile::remove(exe);
            QFile::copy(Program, exe);
        }
        m_exe = exe;
        QFile settings(m_exeDir.filePath(QStringLiteral("Kestrelbench.ini")));
        if (settings.open(QIODevice::WriteOnly))
            settings.write("[Main]\r\nGrindle=" + QFile::encodeName(Converter) + "\r\n");
    }
    ~ProgramRuns() {
        for (const auto &process : m_processes) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished(5000);
            }
        }
    }

    QString runtime() const { return m_runtime.path(); }
    QString socketPath() const {
        return LocalChannelAddress(m_runtime.path(), QStringLiteral("Kestrelbench1.2.0") + CurrentUserName());
    }
    QString data(const QString &name) const { return m_data.filePath(name); }
    // A real RBF file, made by the stand-in converter from a generated text.
    QString writeRbf(const QString &baseName) const {
        const QString text = data(baseName + QStringLiteral(".txt"));
        RunQuietly(Converter, {QStringLiteral("--generate"), QStringLiteral("30"), text});
        RunQuietly(Converter, {QStringLiteral("-q"), QStringLiteral("-i"), text});
        QFile::remove(text);
        return data(baseName + QStringLiteral(".rbf"));
    }
    // Open ran the converter on the file: its text lies beside it while the page is open.
    static bool IsOpened(const QString &rbf) {
        return QFileInfo(ChangeFileExt(rbf, QStringLiteral(".txt"))).isFile();
    }
    QStringList openedTexts() const {
        return QDir(m_data.path()).entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name);
    }

    // The environment of a start: this test's run-time folder, no display but the offscreen one.
    QProcessEnvironment environment() const {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        return environment;
    }
    QString exeDir() const { return m_exeDir.path(); }
    void writeSettings(const QByteArray &extra) const {
        QFile settings(m_exeDir.filePath(QStringLiteral("Kestrelbench.ini")));
        if (settings.open(QIODevice::WriteOnly))
            settings.write("[Main]\r\nGrindle=" + QFile::encodeName(Converter) + "\r\n" + extra);
    }

    QProcess *start(const QStringList &arguments, const QString &workingFolder = QString()) {
        return start(arguments, environment(), workingFolder);
    }
    QProcess *start(const QStringList &arguments, const QProcessEnvironment &environment,
                    const QString &workingFolder = QString()) {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment);
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        if (!workingFolder.isEmpty())
            process->setWorkingDirectory(workingFolder);
        process->start(m_exe, arguments);
        process->waitForStarted(5000);
        m_processes.push_back(std::move(process));
        return m_processes.back().get();
    }

    // Starts the running instance and waits until it listens.
    QProcess *startFirst(const QStringList &arguments = {}, const QString &workingFolder = QString()) {
        QProcess *first = start(arguments, workingFolder);
        WaitUntilListening(first, socketPath());
        return first;
    }
    // Until the process accepts a connection: a socket file alone may be left by a killed
    // instance before it. The instance drops the empty message of this probe.
    static void WaitUntilListening(QProcess *process, const QString &socket) {
        QElapsedTimer clock;
        clock.start();
        while (process->state() == QProcess::Running && clock.elapsed() < 20000) {
            QLocalSocket probe;
            probe.connectToServer(socket);
            if (probe.waitForConnected(200)) {
                probe.disconnectFromServer();
                return;
            }
            QTest::qWait(20);
        }
    }

private:
    QTemporaryDir m_exeDir;
    QTemporaryDir m_runtime;
    QTemporaryDir m_data;
    QString m_exe;
    std::vector<std::unique_ptr<QProcess>> m_processes;
};

// A later start: it must end by itself, with 0, quickly.
bool EndsWithZero(QProcess *process, int ms = 10000) {
    return process->waitForFinished(ms) && process->exitStatus() == QProcess::NormalExit &&
           process->exitCode() == 0;
}
} // namespace

class InstanceProcessTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void secondStartHandsItsFileOver();
    void firstStartOpensItsOwnFile();
    void secondStartWithoutFileOpensNothing();
    void quickStartsAllArrive();
    void killedInstanceDoesNotBlockTheNextStart();
    void heldLockWithoutListenerEndsSilently();
    void namesHoldingTheSeparatorOpenAsThemselves();
    void laterStartWithoutDisplayStillHandsOver();
    void foldersOthersCouldHaveMadeAreNotUsed();
    void noPrivateFolderStillStartsTheProgram();
    void specialFilesDoNotBlockTheStart();
    void laterStartHandsEveryFileOver();
    void firstStartOpensEveryFile();
    void helpAndVersionTouchNothing();
};

void InstanceProcessTest::initTestCase() {
    QVERIFY2(QFile::exists(Program), qPrintable(Program));
    QVERIFY2(QFile::exists(Converter), qPrintable(Converter));
}

void InstanceProcessTest::secondStartHandsItsFileOver() {
    ProgramRuns runs;
    QProcess *first = runs.startFirst();
    QCOMPARE(first->state(), QProcess::Running);
    const QString odd = runs.writeRbf(QStringLiteral("Ärger ü 北 x"));
    QVERIFY(QFileInfo(odd).size() > 0);
    QVERIFY(EndsWithZero(runs.start({odd})));
    QTRY_VERIFY_WITH_TIMEOUT(ProgramRuns::IsOpened(odd), 10000);

    // A relative path means the later start's folder, not the running one's.
    const QString plain = runs.writeRbf(QStringLiteral("plain"));
    QVERIFY(EndsWithZero(runs.start({QStringLiteral("plain.rbf")}, QFileInfo(plain).path())));
    QTRY_VERIFY_WITH_TIMEOUT(ProgramRuns::IsOpened(plain), 10000);
    QCOMPARE(first->state(), QProcess::Running);
}

void InstanceProcessTest::firstStartOpensItsOwnFile() {
    ProgramRuns runs;
    const QString file = runs.writeRbf(QStringLiteral("own"));
    QProcess *first = runs.startFirst({file});
    QTRY_VERIFY_WITH_TIMEOUT(ProgramRuns::IsOpened(file), 10000);
    QCOMPARE(first->state(), QProcess::Running);
}

void InstanceProcessTest::secondStartWithoutFileOpensNothing() {
    ProgramRuns runs;
    QProcess *first = runs.startFirst();
    QVERIFY(EndsWithZero(runs.start({})));
    // A missing path ends just as silently.
    QVERIFY(EndsWithZero(runs.start({runs.data(QStringLiteral("missing.rbf"))})));
    const QString later = runs.writeRbf(QStringLiteral("later"));
    QVERIFY(EndsWithZero(runs.start({later})));
    QTRY_VERIFY_WITH_TIMEOUT(ProgramRuns::IsOpened(later), 10000);
    QCOMPARE(runs.openedTexts(), QStringList{QStringLiteral("later.txt")});
    QCOMPARE(first->state(), QProcess::Running);
}

void InstanceProcessTest::quickStartsAllArrive() {
    ProgramRuns runs;
    runs.startFirst();
    QStringList files;
    for (const char *name : {"a", "b", "c"})
        files << runs.writeRbf(QString::fromLatin1(name));
    QList<QProcess *> seconds;
    for (const QString &file : files)
        seconds << runs.start({file});
    for (QProcess *second : seconds)
        QVERIFY(EndsWithZero(second));
    QTRY_COMPARE_WITH_TIMEOUT(runs.openedTexts(), (QStringList{"a.txt", "b.txt", "c.txt"}), 10000);
}

void InstanceProcessTest::killedInstanceDoesNotBlockTheNextStart() {
    ProgramRuns runs;
    QProcess *killed = runs.startFirst();
    QVERIFY(QFileInfo::exists(runs.socketPath()));
    killed->kill(); // SIGKILL: no clean-up at all
    QVERIFY(killed->waitForFinished(5000));
    QVERIFY(QFileInfo::exists(runs.socketPath()));
    QVERIFY(QFileInfo::exists(runs.socketPath() + QStringLiteral(".lock")));

    QProcess *next = runs.startFirst();
    // It is the running instance now: it stays, and takes hand-overs.
    QVERIFY(!next->waitForFinished(1000));
    const QString file = runs.writeRbf(QStringLiteral("after crash"));
    QVERIFY(EndsWithZero(runs.start({file})));
    QTRY_VERIFY_WITH_TIMEOUT(ProgramRuns::IsOpened(file), 10000);
    QCOMPARE(next->state(), QProcess::Running);
}

void InstanceProcessTest::heldLockWithoutListenerEndsSilently() {
    ProgramRuns runs;
    // A live process holds the lock but never listens (an instance hung while starting).
    QLockFile lock(runs.socketPath() + QStringLiteral(".lock"));
    QVERIFY(lock.tryLock(0));
    const QString file = runs.writeRbf(QStringLiteral("x"));
    QVERIFY(EndsWithZero(runs.start({file})));
    // It gave up without becoming the running instance (that it waits a while first for an
    // instance still starting is single_instance_test's).
    QVERIFY(!QFileInfo::exists(runs.socketPath()));
    QVERIFY(!ProgramRuns::IsOpened(file));
}

void InstanceProcessTest::namesHoldingTheSeparatorOpenAsThemselves() {
    ProgramRuns runs;
    // The running instance's own folder holds a file named like the part after "||".
    QTemporaryDir own;
    const QString decoy = own.filePath(QStringLiteral("unit.rbf"));
    QVERIFY(QFile::copy(runs.writeRbf(QStringLiteral("decoy")), decoy));
    QProcess *first = runs.startFirst({}, own.path());
    const QString odd = runs.writeRbf(QStringLiteral("v||unit"));
    QVERIFY(QFileInfo(odd).size() > 0);
    QVERIFY(EndsWithZero(runs.start({odd})));
    QTRY_VERIFY_WITH_TIMEOUT(ProgramRuns::IsOpened(odd), 10000);
    QVERIFY(!ProgramRuns::IsOpened(decoy));
    QCOMPARE(first->state(), QProcess::Running);
}

void InstanceProcessTest::laterStartWithoutDisplayStillHandsOver() {
    ProgramRuns runs;
    QProcess *first = runs.startFirst();
    QCOMPARE(first->state(), QProcess::Running);
    // A terminal without a display: no X, no Wayland, no platform chosen.
    QProcessEnvironment bare = runs.environment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        bare.remove(QString::fromLatin1(name));
    const QString file = runs.writeRbf(QStringLiteral("from a terminal"));
    QProcess *later = runs.start({file}, bare);
    QVERIFY(EndsWithZero(later));
    QTRY_VERIFY_WITH_TIMEOUT(ProgramRuns::IsOpened(file), 10000);
    QCOMPARE(first->state(), QProcess::Running);

    // With no instance running, the start needs a display and fails as Qt does.
    first->kill();
    QVERIFY(first->waitForFinished(5000));
    QProcess *alone = runs.start({}, bare);
    QVERIFY(alone->waitForFinished(20000));
    QVERIFY(alone->exitStatus() == QProcess::CrashExit || alone->exitCode() != 0);
}

namespace {
// A folder of the given mode, made as another user would have made it first.
void MakeOpenFolder(const QString &path, QFile::Permissions permissions) {
    QDir().mkpath(path);
    QFile::setPermissions(path, permissions);
}
const QFile::Permissions AllMayWrite = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                       QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                       QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
} // namespace

void InstanceProcessTest::foldersOthersCouldHaveMadeAreNotUsed() {
#ifdef Q_OS_UNIX
    ProgramRuns runs;
    QTemporaryDir scratch;
    // Without a run-time folder, the temporary folder's fixed names were used; another user
    // could create them first, open to all.
    const QString tmp = scratch.filePath(QStringLiteral("tmp"));
    MakeOpenFolder(tmp + QStringLiteral("/Kestrelbench-") + QString::number(geteuid()), AllMayWrite);
    MakeOpenFolder(tmp + QStringLiteral("/runtime-") + CurrentUserName(), AllMayWrite);
    const QString cache = scratch.filePath(QStringLiteral("cache"));
    for (const bool runtimeSet : {false, true}) {
        QProcessEnvironment environment = runs.environment();
        environment.insert(QStringLiteral("TMPDIR"), tmp);
        environment.insert(QStringLiteral("XDG_CACHE_HOME"), cache);
        if (runtimeSet) {
            // A run-time folder that others may enter is no private folder either.
            const QString shared = scratch.filePath(QStringLiteral("shared-runtime"));
            MakeOpenFolder(shared, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                       QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
            environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), shared);
        } else {
            environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        }
        QProcess *first = runs.start({}, environment);
        const QString socket = cache + QStringLiteral("/kestrelbench/Kestrelbench1.2.0") + CurrentUserName();
        ProgramRuns::WaitUntilListening(first, socket);
        QVERIFY2(first->state() == QProcess::Running, runtimeSet ? "runtime set" : "runtime unset");
        QVERIFY(IsPrivateFolder(cache + QStringLiteral("/kestrelbench")));
        // The folder in the cache serves as the channel's: a later start hands over.
        const QString file = runs.writeRbf(runtimeSet ? QStringLiteral("b") : QStringLiteral("a"));
        QVERIFY(EndsWithZero(runs.start({file}, environment)));
        QTRY_VERIFY_WITH_TIMEOUT(ProgramRuns::IsOpened(file), 10000);
        first->kill();
        QVERIFY(first->waitForFinished(5000));
    }
#else
    QSKIP("POSIX permissions");
#endif
}

void InstanceProcessTest::noPrivateFolderStillStartsTheProgram() {
#ifdef Q_OS_UNIX
    ProgramRuns runs;
    QTemporaryDir scratch;
    // The cache's folder was made first, open to all: there is no private folder at all.
    const QString cache = scratch.filePath(QStringLiteral("cache"));
    MakeOpenFolder(cache + QStringLiteral("/kestrelbench"), AllMayWrite);
    MakeOpenFolder(scratch.filePath(QStringLiteral("tmp/Kestrelbench-")) + QString::number(geteuid()),
                   AllMayWrite);
    QProcessEnvironment environment = runs.environment();
    environment.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), cache);
    environment.insert(QStringLiteral("TMPDIR"), scratch.filePath(QStringLiteral("tmp")));
    const QString file = runs.writeRbf(QStringLiteral("own"));
    // It starts as the running instance (its own file opens) instead of ending at once.
    QProcess *first = runs.start({file}, environment);
    QTRY_VERIFY_WITH_TIMEOUT(ProgramRuns::IsOpened(file), 10000);
    QCOMPARE(first->state(), QProcess::Running);
    // Nothing was made in the folder others can write to.
    QVERIFY(QDir(cache + QStringLiteral("/kestrelbench")).isEmpty());
#else
    QSKIP("POSIX permissions");
#endif
}

void InstanceProcessTest::specialFilesDoNotBlockTheStart() {
#ifdef Q_OS_UNIX
    ProgramRuns runs;
    // The readme's place and a listed string table are FIFOs: opening one for reading or
    // writing waits for the other end, and the start would never finish.
    const QString readme = runs.exeDir() + QStringLiteral("/Readme.rtf");
    const QString table = runs.data(QStringLiteral("strings.ucs"));
    QCOMPARE(mkfifo(QFile::encodeName(readme).constData(), 0600), 0);
    QCOMPARE(mkfifo(QFile::encodeName(table).constData(), 0600), 0);
    runs.writeSettings("UCSPath=" + QFile::encodeName(table) + "||/dev/zero||\r\n");
    QProcess *first = runs.startFirst();
    const QString file = runs.writeRbf(QStringLiteral("after the start"));
    QVERIFY(EndsWithZero(runs.start({file})));
    // Opened: the window got through its creation and runs its event loop.
    QTRY_VERIFY_WITH_TIMEOUT(ProgramRuns::IsOpened(file), 10000);
    QCOMPARE(first->state(), QProcess::Running);
    // The FIFO is still a FIFO: nothing was written over it.
    struct stat info {};
    QCOMPARE(stat(QFile::encodeName(readme).constData(), &info), 0);
    QVERIFY(S_ISFIFO(info.st_mode));
#else
    QSKIP("FIFOs");
#endif
}

void InstanceProcessTest::laterStartHandsEveryFileOver() {
    ProgramRuns runs;
    QProcess *first = runs.startFirst();
    // One relative to the later start's folder, one holding the queue's separator, one missing.
    const QString plain = runs.writeRbf(QStringLiteral("plain"));
    const QString odd = runs.writeRbf(QStringLiteral("v||unit"));
    const QString other = runs.writeRbf(QStringLiteral("Ärger"));
    QVERIFY(EndsWithZero(
        runs.start({QStringLiteral("plain.rbf"), odd, runs.data(QStringLiteral("gone.rbf")), other},
                   QFileInfo(plain).path())));
    QTRY_COMPARE_WITH_TIMEOUT(runs.openedTexts(),
                              (QStringList{QStringLiteral("plain.txt"), QStringLiteral("v||unit.txt"),
                                           QStringLiteral("Ärger.txt")}),
                              10000);
    QCOMPARE(first->state(), QProcess::Running);
}

void InstanceProcessTest::firstStartOpensEveryFile() {
    ProgramRuns runs;
    const QString a = runs.writeRbf(QStringLiteral("a"));
    const QString b = runs.writeRbf(QStringLiteral("b c"));
    QProcess *first = runs.startFirst({a, QStringLiteral("--"), b});
    QTRY_COMPARE_WITH_TIMEOUT(runs.openedTexts(),
                              (QStringList{QStringLiteral("a.txt"), QStringLiteral("b c.txt")}), 10000);
    QCOMPARE(first->state(), QProcess::Running);
}

void InstanceProcessTest::helpAndVersionTouchNothing() {
    ProgramRuns runs;
    const QStringList exeBefore = QDir(runs.exeDir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    const auto finish = [](QProcess *process) {
        process->setReadChannel(QProcess::StandardOutput);
        return process->waitForFinished(10000) && process->exitStatus() == QProcess::NormalExit;
    };
    // No instance runs: neither the lock, the channel, nor the readme beside the program appear.
    for (const char *option : {"--help", "-h"}) {
        QProcess *help = runs.start({QString::fromLatin1(option)});
        QVERIFY(finish(help));
        QCOMPARE(help->exitCode(), 0);
        QVERIFY(help->readAllStandardOutput().contains("Usage: kestrelbench"));
    }
    QVERIFY(QDir(runs.runtime()).isEmpty());
    QCOMPARE(QDir(runs.exeDir()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), exeBefore);

    // An instance runs: the files named beside --version are not handed to it.
    QProcess *first = runs.startFirst();
    const QString file = runs.writeRbf(QStringLiteral("not for you"));
    QProcess *version = runs.start({file, QStringLiteral("--version")});
    QVERIFY(finish(version));
    QCOMPARE(version->exitCode(), 0);
    QCOMPARE(version->readAllStandardOutput(), QByteArray("Kestrelbench " KESTREL_VERSION "\n"));
    // A mistyped option is no file either: it is named and the start ends with 2.
    QProcess *typo = runs.start({QStringLiteral("--verison"), file});
    QVERIFY(finish(typo));
    QCOMPARE(typo->exitCode(), 2);
    // A real hand-over after them opens only its own file.
    const QString later = runs.writeRbf(QStringLiteral("later"));
    QVERIFY(EndsWithZero(runs.start({later})));
    QTRY_VERIFY_WITH_TIMEOUT(ProgramRuns::IsOpened(later), 10000);
    QCOMPARE(runs.openedTexts(), QStringList{QStringLiteral("later.txt")});
    QCOMPARE(first->state(), QProcess::Running);
}

QTEST_MAIN(InstanceProcessTest)
#include "instance_process_test.moc"
