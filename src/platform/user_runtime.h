#pragma once
// Where a program keeps per-user run-time files (locks, sockets) that no other
// user may reach, and how a local socket in that folder is addressed.

#include <QString>

// The name of the user running the process; the user id in decimal when the
// system knows no name for it.
QString CurrentUserName();

// A folder that only the current user can enter. POSIX: $XDG_RUNTIME_DIR when
// it is a real folder of this user with mode 0700; else "kestrelbench" in the
// user's cache folder ($XDG_CACHE_HOME, or ~/.cache), created with mode 0700
// when missing and used only when it is a real folder of this user with mode
// 0700 afterwards. Never a fixed name in the shared temporary folder, which
// another user could create first. Empty when no such folder can be had.
QString PrivateRuntimeFolder();

// True when path is a real folder (not a symbolic link) owned by the current
// user with mode 0700. Always true on systems without POSIX permissions.
bool IsPrivateFolder(const QString &path);

// The address for QLocalServer/QLocalSocket of a channel named name in folder:
// a socket file inside the folder on POSIX systems, a named pipe on Windows.
QString LocalChannelAddress(const QString &folder, const QString &name);
