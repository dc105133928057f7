#pragma once
// The message a second start sends to the running instance, and its bytes on
// the local channel.
//
// Layout: one version byte (1), one flags byte (bit 0: a path follows), the
// path in UTF-8 and a zero byte, then the desktop's activation token as
// "NAME=value" (or nothing) and a zero byte. The receiver answers with one
// byte, HandOverAck, after its handler has run.
//
// UTF-8 rather than code page 1252: both ends are this program of the same
// version (the channel's name carries it), and file names on Linux are UTF-8
// that 1252 cannot hold (Cyrillic, CJK, ...); such a path must still open.

#include <QByteArray>
#include <QString>

struct HandOverMessage {
    bool hasPath = false;     // the second start had an argument 1
    QString path;             // absolute path of argument 1
    QByteArray activationEnv; // "XDG_ACTIVATION_TOKEN=..." or "DESKTOP_STARTUP_ID=...", or empty
};

constexpr char HandOverVersion = 1;
constexpr char HandOverAck = 6;
// Longer messages are dropped unread; a path is far shorter.
constexpr qsizetype MaxHandOverBytes = 64 * 1024;

QByteArray EncodeHandOver(const HandOverMessage &message);

enum class HandOverDecode {
    Incomplete, // more bytes may still come
    Complete,   // message holds the result
    Invalid     // not a message of this version, or too long: drop the connection
};
HandOverDecode DecodeHandOver(const QByteArray &bytes, HandOverMessage &message);
