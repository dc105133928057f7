#pragma once
// UCS string tables: the game's localised strings, one "number TAB text" per
// line, stored as UTF-16 little-endian after a two-byte byte-order mark.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

// The file's lines as the program holds them: code page 1252 text (see
// platform/cp1252.h), characters the code page lacks replaced by "?". The
// first two bytes are skipped unexamined; the text ends at the end of the data
// or at the first code unit 0; an odd last byte is the low byte of a last code
// unit. CR LF, a lone CR and a lone LF end a line; a break at the very end
// adds no empty line.
QStringList DecodeUcsText(const QByteArray &fileBytes);

// True when every character is an ASCII digit; true for an empty text.
bool IsAllDigits(const QString &text);

// The text after the first TAB of the first line whose key (the text before
// its first TAB) equals number exactly; found is false when no line matches.
// Lines without a TAB never match. afterLine(n) is called for every line n
// scanned without a match (the window lets events run there every 100 lines).
QString LookupNumber(const QStringList &lines, const QString &number, bool &found,
                     const std::function<void(int)> &afterLine = {});
