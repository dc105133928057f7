#pragma once
// Where a program keeps per-user run-time files (locks, sockets) that no other
// user may reach, and how a local socket in that folder is addressed.

#include <QString>

// The name of the user running the process; the user id in decimal when the
// system knows no name for it.
QString CurrentUserName();

// A folder that only the current user can enter, created when missing: the
// desktop's run-time folder, else "Kestrelbench-<uid>" in the temporary
// folder. Empty when no such folder can be had (e.g. one that exists but
// belongs to someone else).
QString PrivateRuntimeFolder();

// The address for QLocalServer/QLocalSocket of a channel named name in folder:
// a socket file inside the folder on POSIX systems, a named pipe on Windows.
QString LocalChannelAddress(const QString &folder, const QString &name);
