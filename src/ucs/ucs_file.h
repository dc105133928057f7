#pragma once
// Reading a UCS file from disk into the lines the program holds, a piece at a
// time: memory goes to the lines themselves, never to a copy of the whole file.

#include <QString>
#include <QStringList>

#include <functional>

// UCS files larger than this are refused: a string table of the game is a few
// megabytes, and a larger file would cost its size in memory at every start.
inline constexpr qint64 MaxUcsFileBytes = qint64(256) << 20; // 256 MiB
// The limit as the program names it in its messages and the readme.
inline constexpr char MaxUcsFileText[] = "256 MiB";

enum class UcsRead {
    Done,     // lines holds the file's lines
    Missing,  // missing, empty, or not a regular file (a FIFO, a device): counts as absent
    TooLarge, // over MaxUcsFileBytes: not read
    Failed    // the file could not be read
};

// Appends the lines of the UCS file at path to lines (the decoding of
// DecodeUcsText). between() runs after every piece read, so that the window can
// let events run. On any result but Done, lines is left as it was.
UcsRead ReadUcsFile(const QString &path, QStringList &lines, const std::function<void()> &between = {},
                    qint64 pieceBytes = qint64(1) << 20);

// "%s is larger than 256 MiB and is not loaded as a string table", for path.
QString UcsTooLargeMessage(const QString &path);
