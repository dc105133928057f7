#pragma once
// One running instance per user: the first start takes a lock file and listens
// on a local channel; a later start finds the lock taken, connects and hands
// its argument over.
//
// Both live in a folder only the user can enter, named "Kestrelbench1.2.0"
// plus the user's name; the server also restricts the socket to the user. A
// lock left by a killed instance is stale (its process is gone) and is taken
// over, and the old socket file is removed before listening.

#include "app/hand_over_message.h"

#include <QLockFile>
#include <QObject>
#include <memory>

class QLocalServer;
class QLocalSocket;

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // folder: a private folder for the lock and the socket (PrivateRuntimeFolder());
    // empty when there is none, and then the lock cannot be taken.
    // name: the channel's name (DefaultName()).
    SingleInstance(const QString &folder, const QString &name, QObject *parent = nullptr);
    ~SingleInstance() override;

    static QString DefaultName();

    enum class Role { First, Second };
    // Takes the lock and listens (First), or connects to the running instance
    // (Second). A lock held by an instance that is still starting (not yet
    // listening) is retried for raceMs; after that, or when the lock cannot
    // be taken at all, the result is Second without a connection.
    Role start(int raceMs = 2000);

    bool isListening() const;
    bool isConnected() const;
    QString address() const { return m_address; }

    // Second instance: sends the message and waits for the running instance's
    // reply, at most timeoutMs. False when nobody answered.
    bool handOver(const HandOverMessage &message, int timeoutMs = 5000);

    // A peer that has not sent a whole message within this time is dropped.
    void setPeerTimeout(int ms) { m_peerTimeoutMs = ms; }

Q_SIGNALS:
    // A complete message arrived. The reply goes out when the connected slots have returned.
    void received(const HandOverMessage &message);

private:
    bool listen();
    void acceptConnections();
    void serve(QLocalSocket *socket);

    QString m_address;
    std::unique_ptr<QLockFile> m_lock; // none without a private folder
    QLocalServer *m_server = nullptr;
    std::unique_ptr<QLocalSocket> m_client;
    int m_peerTimeoutMs = 5000;
};
