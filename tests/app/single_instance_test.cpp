// The single-instance channel in one process: roles, the reply after the
// handler, stale leftovers, the start race, and peers that misbehave.

#include "app/single_instance.h"
#include "platform/user_runtime.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <memory>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {
const QString Name = QStringLiteral("KestrelbenchTest");

HandOverMessage PathMessage(const QString &path) {
    HandOverMessage message;
    message.hasPath = true;
    message.path = path;
    return message;
}

// Runs body on another thread while this one keeps its event loop going, so
// blocking calls of a second instance can meet a first one served here.
template <typename Body> void RunAside(Body body, int timeoutMs = 10000) {
    std::atomic<bool> done{false};
    std::unique_ptr<QThread> thread(QThread::create([&] {
        body();
        done = true;
    }));
    thread->start();
    QElapsedTimer clock;
    clock.start();
    while (!done && clock.elapsed() < timeoutMs)
        QTest::qWait(10);
    thread->wait();
}

// A raw client writes bytes and returns its socket; the test then watches it.
QLocalSocket *RawClient(const QString &address, const QByteArray &bytes, QObject *parent) {
    auto *socket = new QLocalSocket(parent);
    socket->connectToServer(address);
    if (!socket->waitForConnected(1000))
        return socket;
    socket->write(bytes);
    socket->flush();
    return socket;
}
} // namespace

class SingleInstanceTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void firstTakesTheChannelSecondConnects();
    void channelIsTheUsersOnly();
    void handOverReturnsAfterTheHandlerRan();
    void secondWithoutArgumentStillReachesTheFirst();
    void leftoversOfAKilledInstanceDoNotBlockTheNext();
    void secondRetriesWhileTheFirstIsStillStarting();
    void secondGivesUpWhenNobodyListens();
    void secondBecomesFirstWhenTheLockIsFreedDuringTheRace();
    void aChannelThatCannotBeSetUpIsNoSecondInstance();
    void malformedPeersAreDroppedWithoutHarm_data();
    void malformedPeersAreDroppedWithoutHarm();
    void senderDoesNotHangOnASilentPeer();
    void defaultNameCarriesVersionAndUser();
};

void SingleInstanceTest::firstTakesTheChannelSecondConnects() {
    QTemporaryDir folder;
    SingleInstance first(folder.path(), Name);
    QCOMPARE(first.start(0), SingleInstance::Role::First);
    QVERIFY(first.isListening());
    SingleInstance second(folder.path(), Name);
    QCOMPARE(second.start(0), SingleInstance::Role::Second);
    QVERIFY(second.isConnected());
    QVERIFY(!second.isListening());
}

void SingleInstanceTest::channelIsTheUsersOnly() {
#ifdef Q_OS_UNIX
    QTemporaryDir folder;
    SingleInstance first(folder.path(), Name);
    QCOMPARE(first.start(0), SingleInstance::Role::First);
    struct stat info {};
    QCOMPARE(stat(QFile::encodeName(first.address()).constData(), &info), 0);
    QVERIFY(S_ISSOCK(info.st_mode));
    QCOMPARE(int(info.st_mode & (S_IRWXG | S_IRWXO)), 0);
    QCOMPARE(info.st_uid, geteuid());

    // The folder the program uses by default is the user's alone.
    QTemporaryDir cache;
    const QByteArray oldCache = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cache.path()));
    const QString runtime = PrivateRuntimeFolder();
    qputenv("XDG_CACHE_HOME", oldCache);
    QVERIFY(!runtime.isEmpty());
    QCOMPARE(stat(QFile::encodeName(runtime).constData(), &info), 0);
    QCOMPARE(int(info.st_mode & (S_IRWXG | S_IRWXO)), 0);
    QCOMPARE(info.st_uid, geteuid());
#else
    QSKIP("POSIX permissions");
#endif
}

void SingleInstanceTest::handOverReturnsAfterTheHandlerRan() {
    QTemporaryDir folder;
    SingleInstance first(folder.path(), Name);
    QCOMPARE(first.start(0), SingleInstance::Role::First);
    std::atomic<bool> handled{false};
    QList<HandOverMessage> received;
    connect(&first, &SingleInstance::received, this, [&](const HandOverMessage &message) {
        received << message;
        QTest::qWait(200); // a slow handler: the sender must still wait for it
        handled = true;
    });
    const QString path = QStringLiteral("/data/Ünïcødé ↯/a b.rbf");
    bool answered = false;
    bool handledWhenAnswered = false;
    RunAside([&] {
        SingleInstance second(folder.path(), Name);
        if (second.start(0) != SingleInstance::Role::Second)
            return;
        HandOverMessage message = PathMessage(path);
        message.activationEnv = "XDG_ACTIVATION_TOKEN=t0k3n";
        answered = second.handOver(message);
        handledWhenAnswered = handled;
    });
    QVERIFY(answered);
    QVERIFY(handledWhenAnswered);
    QCOMPARE(received.size(), 1);
    QVERIFY(received.at(0).hasPath);
    QCOMPARE(received.at(0).path, path);
    QCOMPARE(received.at(0).activationEnv, QByteArray("XDG_ACTIVATION_TOKEN=t0k3n"));
}

void SingleInstanceTest::secondWithoutArgumentStillReachesTheFirst() {
    QTemporaryDir folder;
    SingleInstance first(folder.path(), Name);
    QCOMPARE(first.start(0), SingleInstance::Role::First);
    QSignalSpy spy(&first, &SingleInstance::received);
    bool answered = false;
    RunAside([&] {
        SingleInstance second(folder.path(), Name);
        answered = second.start(0) == SingleInstance::Role::Second && second.handOver(HandOverMessage());
    });
    QVERIFY(answered);
    QCOMPARE(spy.count(), 1);
    QVERIFY(!spy.at(0).at(0).value<HandOverMessage>().hasPath);
}

void SingleInstanceTest::leftoversOfAKilledInstanceDoNotBlockTheNext() {
    QTemporaryDir folder;
    // A lock whose process is gone, as a killed instance leaves it.
    QProcess gone;
    gone.start(QStringLiteral("true"));
    QVERIFY(gone.waitForFinished());
    const qint64 deadPid = gone.processId() ? gone.processId() : 999999;
    QFile lock(folder.filePath(Name + QStringLiteral(".lock")));
    QVERIFY(lock.open(QIODevice::WriteOnly));
    lock.write(QByteArray::number(deadPid) + "\nkestrelbench\n" + QSysInfo::machineHostName().toUtf8() +
               "\n");
    lock.close();
    // And its socket file.
    QFile socketFile(LocalChannelAddress(folder.path(), Name));
    QVERIFY(socketFile.open(QIODevice::WriteOnly));
    socketFile.close();

    SingleInstance next(folder.path(), Name);
    QCOMPARE(next.start(0), SingleInstance::Role::First);
    QVERIFY(next.isListening());
}

void SingleInstanceTest::secondRetriesWhileTheFirstIsStillStarting() {
    QTemporaryDir folder;
    // The first has its lock but does not listen yet.
    QLockFile lock(folder.filePath(Name + QStringLiteral(".lock")));
    QVERIFY(lock.tryLock(0));
    QLocalServer late;
    QTimer::singleShot(400, this, [&] { late.listen(LocalChannelAddress(folder.path(), Name)); });
    SingleInstance::Role role = SingleInstance::Role::First;
    bool connected = false;
    RunAside([&] {
        SingleInstance second(folder.path(), Name);
        role = second.start(2000);
        connected = second.isConnected();
    });
    // Nobody listened when it started: connected, it kept trying until the first listened.
    QCOMPARE(role, SingleInstance::Role::Second);
    QVERIFY(connected);
}

void SingleInstanceTest::secondGivesUpWhenNobodyListens() {
    QTemporaryDir folder;
    QLockFile lock(folder.filePath(Name + QStringLiteral(".lock")));
    QVERIFY(lock.tryLock(0));
    SingleInstance second(folder.path(), Name);
    QCOMPARE(second.start(300), SingleInstance::Role::Second);
    QVERIFY(!second.isConnected());
    QVERIFY(!second.handOver(PathMessage(QStringLiteral("/a.rbf")), 100));
}

void SingleInstanceTest::secondBecomesFirstWhenTheLockIsFreedDuringTheRace() {
    QTemporaryDir folder;
    QLockFile lock(folder.filePath(Name + QStringLiteral(".lock")));
    QVERIFY(lock.tryLock(0));
    QTimer::singleShot(300, this, [&] { lock.unlock(); });
    SingleInstance::Role role = SingleInstance::Role::Second;
    bool listening = false;
    RunAside([&] {
        SingleInstance next(folder.path(), Name);
        role = next.start(2000);
        listening = next.isListening();
    });
    QCOMPARE(role, SingleInstance::Role::First);
    QVERIFY(listening);
}

void SingleInstanceTest::aChannelThatCannotBeSetUpIsNoSecondInstance() {
    // No private folder: the start runs as the first instance, without a channel.
    SingleInstance instance(QString(), Name);
    QCOMPARE(instance.start(), SingleInstance::Role::First);
    QVERIFY(!instance.isConnected());
    QVERIFY(!instance.handOverAvailable());
    QVERIFY(!instance.handOver(HandOverMessage(), 100));
#ifdef Q_OS_UNIX
    // A folder where the lock file cannot be written (unless this user writes anyway).
    QTemporaryDir folder;
    QVERIFY(QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner));
    QFile probe(folder.filePath(QStringLiteral("probe")));
    const bool writable = probe.open(QIODevice::WriteOnly);
    probe.remove();
    if (!writable) {
        SingleInstance locked(folder.path(), Name);
        QCOMPARE(locked.start(0), SingleInstance::Role::First);
        QVERIFY(!locked.handOverAvailable());
    }
    QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
#endif
    // A normal folder: the first instance is reachable.
    QTemporaryDir usable;
    SingleInstance first(usable.path(), Name);
    QCOMPARE(first.start(0), SingleInstance::Role::First);
    QVERIFY(first.handOverAvailable());
}

void SingleInstanceTest::malformedPeersAreDroppedWithoutHarm_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("silent") << QByteArray();
    QTest::newRow("no zero byte") << QByteArray("\1\1/data/a.rbf");
    QTest::newRow("path but no token end") << QByteArray("\1\1/data/a.rbf\0", 14);
    QTest::newRow("bare path of the Windows program") << QByteArray("/data/a.rbf\0", 12);
    QTest::newRow("over 64 KiB") << QByteArray("\1\1", 2) + QByteArray(MaxHandOverBytes + 10, 'x');
}

void SingleInstanceTest::malformedPeersAreDroppedWithoutHarm() {
    QFETCH(QByteArray, bytes);
    QTemporaryDir folder;
    SingleInstance first(folder.path(), Name);
    first.setPeerTimeout(300);
    QCOMPARE(first.start(0), SingleInstance::Role::First);
    QSignalSpy spy(&first, &SingleInstance::received);
    QLocalSocket *bad = RawClient(first.address(), bytes, this);
    QCOMPARE(bad->state(), QLocalSocket::ConnectedState);
    // The running instance closes the connection without an answer.
    QTRY_COMPARE_WITH_TIMEOUT(bad->state(), QLocalSocket::UnconnectedState, 3000);
    QCOMPARE(bad->readAll(), QByteArray());
    QCOMPARE(spy.count(), 0);
    delete bad;

    // And still serves the next start.
    QLocalSocket *good =
        RawClient(first.address(), EncodeHandOver(PathMessage(QStringLiteral("/b.rbf"))), this);
    QTRY_COMPARE(spy.count(), 1);
    QTRY_COMPARE(good->bytesAvailable(), qint64(1));
    QCOMPARE(good->read(1), QByteArray(1, HandOverAck));
    delete good;
}

void SingleInstanceTest::senderDoesNotHangOnASilentPeer() {
    QTemporaryDir folder;
    // A "running instance" that accepts but never answers.
    QLockFile lock(folder.filePath(Name + QStringLiteral(".lock")));
    QVERIFY(lock.tryLock(0));
    QLocalServer silent;
    QVERIFY(silent.listen(LocalChannelAddress(folder.path(), Name)));
    SingleInstance second(folder.path(), Name);
    QCOMPARE(second.start(0), SingleInstance::Role::Second);
    // It gives up when its time is over (a sender that hung would end the test by its timeout).
    QVERIFY(!second.handOver(PathMessage(QStringLiteral("/a.rbf")), 300));
}

void SingleInstanceTest::defaultNameCarriesVersionAndUser() {
    QCOMPARE(SingleInstance::DefaultName(), QStringLiteral("Kestrelbench1.2.0") + CurrentUserName());
    QVERIFY(!CurrentUserName().isEmpty());
}

QTEST_MAIN(SingleInstanceTest)
#include "single_instance_test.moc"
