#pragma once
// The grammar of one line of converted text: depth markers "| ", key, value,
// tables. Pure functions over single lines; no state and no errors.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

// A blank is any character whose code is 32 or below; nothing else.
// QString::trimmed() uses Unicode white space, which is a different rule.
bool IsBlankChar(QChar c);
QString TrimBlanks(const QString &text);

int LineDepth(const QString &line);
QString LineKey(const QString &line);
bool IsValueLine(const QString &line);

// The same three functions over a line held as UTF-8 bytes (the editor's buffer), for the tree
// build, which reads a million lines without making a string of each. Every character the rules
// look at is ASCII, and in UTF-8 no byte of a longer character is ASCII, so the results are those
// of the functions above for the decoded line. LineKeyUtf8 gives the key's UTF-8 bytes in key
// (reusing its storage); decoded, they are LineKey of the decoded line.
int LineDepthUtf8(QByteArrayView line);
void LineKeyUtf8(QByteArrayView line, QByteArray &key);
bool IsValueLineUtf8(QByteArrayView line);
// TrimBlanks over bytes: the same rule (a byte of 32 or below), so it serves code page 1252 too.
QByteArrayView TrimBlanksUtf8(QByteArrayView text);

struct KeyValue {
    QString key;
    QString value;
};
KeyValue SplitKeyValue(const QString &line);

// The line at a zero-based index of an editor's line list; empty outside it.
QString GetEditorLine(const QStringList &lines, int index);
