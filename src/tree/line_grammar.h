#pragma once
// The grammar of one line of converted text: depth markers "| ", key, value,
// tables. Pure functions over single lines; no state and no errors.

#include <QString>
#include <QStringList>

// A blank is any character whose code is 32 or below; nothing else.
// QString::trimmed() uses Unicode white space, which is a different rule.
bool IsBlankChar(QChar c);
QString TrimBlanks(const QString &text);

int LineDepth(const QString &line);
QString LineKey(const QString &line);
bool IsValueLine(const QString &line);

struct KeyValue {
    QString key;
    QString value;
};
KeyValue SplitKeyValue(const QString &line);

// The line at a zero-based index of an editor's line list; empty outside it.
QString GetEditorLine(const QStringList &lines, int index);
