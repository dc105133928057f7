#pragma once
// One running instance per user: the first start takes a lock file and listens
// on a local channel; a later start finds the lock taken, connects and hands
// its argument over.
//
// Both live in a folder only the user can enter, named "Kestrelbench1.2.0"
// plus the user's name; the server also restricts the socket to the user. A
// lock left by a killed instance is stale (its process is gone) and is taken
// over, and the old socket file is removed before listening. When no such
// folder can be had, the start runs as the first instance without a channel.

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
    // (Second): claim() and then, for First, listen().
    Role start(int raceMs = 2000);

    // Takes the lock (First) or connects to the running instance (Second),
    // without listening yet, so that it can run before the GUI exists. A lock
    // held by an instance that is still starting (not yet listening) is retried
    // for raceMs; after that the result is Second without a connection. A channel
    // that cannot be set up at all (no private folder, a lock file that cannot
    // be written) is no sign of another instance: the result is First, and
    // handOverAvailable() is false.
    Role claim(int raceMs = 2000);
    // First instance: listens for later starts; false when it cannot.
    bool listen();
    // First instance: later starts can reach this one (it holds the lock and listens).
    bool handOverAvailable() const { return m_lockHeld && isListening(); }

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
    void acceptConnections();
    void serve(QLocalSocket *socket);

    QString m_address;
    std::unique_ptr<QLockFile> m_lock; // none without a private folder
    QLocalServer *m_server = nullptr;
    std::unique_ptr<QLocalSocket> m_client;
    bool m_lockHeld = false;
    int m_peerTimeoutMs = 5000;
};
