// The program itself, started as real processes: a later start hands its file
// to the running one and ends with 0; a killed instance leaves nothing that
// stops the next start from becoming the running one.
//
// Each test gives the program its own executable folder (a link to the built
// program, so Kestrelbench.ini lands there) and its own run-time folder
// (XDG_RUNTIME_DIR), so tests and a developer's running instance never meet.

#include "platform/user_runtime.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {
const QString Program = QStringLiteral(KESTREL_BUILD_DIR "/kestrelbench");
const QString Converter = QStringLiteral(KESTREL_BUILD_DIR "/grindle");

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
    QString writeData(const QString &name) const {
        QFile file(data(name));
        if (file.open(QIODevice::WriteOnly))
            file.write("not converted in this test");
        return data(name);
    }

    QProcess *start(const QStringList &arguments, const QString &workingFolder = QString()) {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("KESTREL_TEST_OPEN_LOG"),
                           m_exeDir.filePath(QStringLiteral("open.log")));
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
    QProcess *startFirst(const QStringList &arguments = {}) {
        QProcess *first = start(arguments);
        QElapsedTimer clock;
        clock.start();
        while (!QFileInfo(socketPath()).exists() && first->state() == QProcess::Running &&
               clock.elapsed() < 10000)
            QTest::qWait(20);
        return first;
    }

    // The folder-tree selection at each click of Open in the running instance.
    QList<QStringList> opened() const {
        QFile file(m_exeDir.filePath(QStringLiteral("open.log")));
        QList<QStringList> clicks;
        if (!file.open(QIODevice::ReadOnly))
            return clicks;
        while (!file.atEnd()) {
            const QString line = QString::fromUtf8(file.readLine()).chopped(1);
            clicks << (line.isEmpty() ? QStringList() : line.split(QLatin1Char('\t')));
        }
        return clicks;
    }
    QStringList allOpened() const {
        QStringList all;
        for (const QStringList &click : opened())
            all << click;
        all.sort();
        return all;
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
    void secondStartWithoutFileOpensNothing();
    void quickStartsAllArrive();
    void killedInstanceDoesNotBlockTheNextStart();
    void heldLockWithoutListenerEndsSilently();
};

void InstanceProcessTest::initTestCase() {
    QVERIFY2(QFile::exists(Program), qPrintable(Program));
}

void InstanceProcessTest::secondStartHandsItsFileOver() {
    ProgramRuns runs;
    QProcess *first = runs.startFirst();
    QCOMPARE(first->state(), QProcess::Running);
    const QString odd = runs.writeData(QStringLiteral("Ärger ü 北 x.rbf"));
    QVERIFY(EndsWithZero(runs.start({odd})));
    QTRY_COMPARE_WITH_TIMEOUT(runs.opened().size(), 1, 10000);
    QCOMPARE(runs.opened().at(0), QStringList{odd});

    // A relative path means the later start's folder, not the running one's.
    const QString plain = runs.writeData(QStringLiteral("plain.rbf"));
    QVERIFY(EndsWithZero(runs.start({QStringLiteral("plain.rbf")}, QFileInfo(plain).path())));
    QTRY_COMPARE_WITH_TIMEOUT(runs.opened().size(), 2, 10000);
    QCOMPARE(runs.opened().at(1), QStringList{plain});
    QCOMPARE(first->state(), QProcess::Running);
}

void InstanceProcessTest::secondStartWithoutFileOpensNothing() {
    ProgramRuns runs;
    QProcess *first = runs.startFirst();
    QVERIFY(EndsWithZero(runs.start({})));
    // A missing path ends just as silently.
    QVERIFY(EndsWithZero(runs.start({runs.data(QStringLiteral("missing.rbf"))})));
    const QString later = runs.writeData(QStringLiteral("later.rbf"));
    QVERIFY(EndsWithZero(runs.start({later})));
    QTRY_VERIFY_WITH_TIMEOUT(!runs.opened().isEmpty(), 10000);
    QCOMPARE(runs.allOpened(), QStringList{later});
    QCOMPARE(first->state(), QProcess::Running);
}

void InstanceProcessTest::quickStartsAllArrive() {
    ProgramRuns runs;
    runs.startFirst();
    QStringList files;
    QList<QProcess *> seconds;
    for (const char *name : {"a.rbf", "b.rbf", "c.rbf"}) {
        files << runs.writeData(QString::fromLatin1(name));
        seconds << runs.start({files.last()});
    }
    for (QProcess *second : seconds)
        QVERIFY(EndsWithZero(second));
    QTRY_COMPARE_WITH_TIMEOUT(runs.allOpened().size(), 3, 10000);
    QCOMPARE(runs.allOpened(), files);
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
    const QString file = runs.writeData(QStringLiteral("after crash.rbf"));
    QVERIFY(EndsWithZero(runs.start({file})));
    QTRY_COMPARE_WITH_TIMEOUT(runs.allOpened(), QStringList{file}, 10000);
    QCOMPARE(next->state(), QProcess::Running);
}

void InstanceProcessTest::heldLockWithoutListenerEndsSilently() {
    ProgramRuns runs;
    // A live process holds the lock but never listens (an instance hung while starting).
    QLockFile lock(runs.socketPath() + QStringLiteral(".lock"));
    QVERIFY(lock.tryLock(0));
    QElapsedTimer clock;
    clock.start();
    QProcess *start = runs.start({runs.writeData(QStringLiteral("x.rbf"))});
    QVERIFY(EndsWithZero(start));
    // It waited for the starting instance a while, then gave up without becoming one.
    QVERIFY(clock.elapsed() >= 1500);
    QVERIFY(!QFileInfo::exists(runs.socketPath()));
}

QTEST_MAIN(InstanceProcessTest)
#include "instance_process_test.moc"
