#pragma once
// The message a second start sends to the running instance, and its bytes on
// the local channel.
//
// Layout: one version byte (2); the number of paths, 32 bits big-endian; each
// path in UTF-8 followed by a zero byte; then the desktop's activation token as
// "NAME=value" (or nothing) and a zero byte. The receiver answers with one
// byte, HandOverAck, after its handler has run. A path never holds a zero byte,
// so every other character of a name ("||", line breaks) arrives as it was.
//
// UTF-8 rather than code page 1252: both ends are this program of the same
// version (the channel's name carries it), and file names on Linux are UTF-8
// that 1252 cannot hold (Cyrillic, CJK, ...); such a path must still open.

#include <QByteArray>
#include <QString>
#include <QStringList>

struct HandOverMessage {
    QStringList paths;        // the second start's files, absolute, in the order given
    QByteArray activationEnv; // "XDG_ACTIVATION_TOKEN=..." or "DESKTOP_STARTUP_ID=...", or empty
};

constexpr char HandOverVersion = 2;
constexpr char HandOverAck = 6;
// Longer messages are dropped unread; a whole command line is shorter (Linux
// allows about 2 MB for all arguments and the environment together).
constexpr qsizetype MaxHandOverBytes = 4 * 1024 * 1024;

QByteArray EncodeHandOver(const HandOverMessage &message);

enum class HandOverDecode {
    Incomplete, // more bytes may still come
    Complete,   // message holds the result
    Invalid     // not a message of this version, or too long: drop the connection
};
HandOverDecode DecodeHandOver(const QByteArray &bytes, HandOverMessage &message);
