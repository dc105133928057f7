#include "app/single_instance.h"

#include "platform/user_runtime.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QThread>
#include <QTimer>

SingleInstance::SingleInstance(const QString &folder, const QString &name, QObject *parent)
    : QObject(parent) {
    if (folder.isEmpty())
        return;
    m_address = LocalChannelAddress(folder, name);
    m_lock = std::make_unique<QLockFile>(QDir(folder).filePath(name + QStringLiteral(".lock")));
    // The first instance runs for hours: only a dead owner makes its lock stale, never its age.
    m_lock->setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::DefaultName() {
    return QStringLiteral("Kestrelbench" KESTREL_VERSION) + CurrentUserName();
}

SingleInstance::Role SingleInstance::start(int raceMs) {
    const Role role = claim(raceMs);
    if (role == Role::First && m_lockHeld)
        listen();
    return role;
}

SingleInstance::Role SingleInstance::claim(int raceMs) {
    if (!m_lock)
        return Role::First; // no private folder: nobody else can be found either
    const QDeadlineTimer deadline(raceMs);
    for (;;) {
        // tryLock removes a lock whose process is gone before it gives up.
        if (m_lock->tryLock(0)) {
            m_lockHeld = true;
            return Role::First;
        }
        // Only a lock that a live process holds means another instance.
        if (m_lock->error() != QLockFile::LockFailedError)
            return Role::First;
        m_client = std::make_unique<QLocalSocket>();
        m_client->connectToServer(m_address);
        if (m_client->waitForConnected(200))
            return Role::Second;
        m_client.reset();
        if (deadline.hasExpired())
            return Role::Second;
        QThread::msleep(50);
    }
}

bool SingleInstance::listen() {
    if (!m_lockHeld || m_server)
        return isListening();
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // We hold the lock, so a socket file here is a dead instance's.
    QLocalServer::removeServer(m_address);
    if (!m_server->listen(m_address))
        return false;
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
    return true;
}

bool SingleInstance::isListening() const {
    return m_server && m_server->isListening();
}

bool SingleInstance::isConnected() const {
    return m_client && m_client->state() == QLocalSocket::ConnectedState;
}

void SingleInstance::acceptConnections() {
    while (QLocalSocket *socket = m_server->nextPendingConnection())
        serve(socket);
}

void SingleInstance::serve(QLocalSocket *socket) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    const auto drop = [socket] {
        socket->abort();
        socket->deleteLater();
    };
    auto *timeout = new QTimer(socket);
    timeout->setSingleShot(true);
    connect(timeout, &QTimer::timeout, socket, drop);
    timeout->start(m_peerTimeoutMs);
    auto buffer = std::make_shared<QByteArray>();
    auto done = std::make_shared<bool>(false);
    const auto readMessage = [this, socket, timeout, drop, buffer, done] {
        if (*done)
            return;
        buffer->append(socket->readAll());
        HandOverMessage message;
        switch (DecodeHandOver(*buffer, message)) {
        case HandOverDecode::Incomplete:
            return;
        case HandOverDecode::Invalid:
            *done = true;
            drop();
            return;
        case HandOverDecode::Complete: {
            *done = true;
            timeout->stop();
            // A handler that lets events run may see the peer go and the socket with it.
            const QPointer<QLocalSocket> alive(socket);
            Q_EMIT received(message);
            if (!alive)
                return;
            socket->write(QByteArray(1, HandOverAck));
            socket->flush();
            socket->disconnectFromServer();
            return;
        }
        }
    };
    connect(socket, &QLocalSocket::readyRead, this, readMessage);
    if (socket->bytesAvailable() > 0)
        readMessage();
}

bool SingleInstance::handOver(const HandOverMessage &message, int timeoutMs) {
    if (!isConnected())
        return false;
    const QDeadlineTimer deadline(timeoutMs);
    m_client->write(EncodeHandOver(message));
    while (m_client->bytesToWrite() > 0) {
        if (!m_client->waitForBytesWritten(int(deadline.remainingTime())))
            return false;
    }
    while (m_client->bytesAvailable() < 1) {
        if (deadline.hasExpired() || m_client->state() != QLocalSocket::ConnectedState ||
            !m_client->waitForReadyRead(int(deadline.remainingTime())))
            break;
    }
    char reply = 0;
    const bool answered = m_client->getChar(&reply) && reply == HandOverAck;
    m_client->disconnectFromServer();
    return answered;
}
