#pragma once
// Deterministic inputs for the core benchmarks, generated in memory.

#include <QByteArray>
#include <QStringList>

// A converted text of about lineCount lines: a heading, then nested tables of
// value lines with their closing lines, depths up to six.
QStringList GenerateConvertedText(int lineCount);

// A UCS file: byte-order mark, then lineCount lines "number TAB text" in
// UTF-16 little-endian with CR LF, some characters outside code page 1252.
QByteArray GenerateUcsFile(int lineCount);

// A settings file of sections with keysPerSection keys each, CR LF.
QByteArray GenerateIniFile(int sections, int keysPerSection);
