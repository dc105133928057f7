#pragma once
// The key path of a line: the keys of the tables it stands in and its own key, outermost first
// ("weapons / primary / damage"), read from the depth markers as the structure tree nests them.
// Lines are fed in order, one at a time, as code page 1252 bytes without their line break.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

class KeyPathTracker {
public:
    void feed(QByteArrayView line);
    // The key path of the line fed last: empty for a line outside the tree (depth 0); for a closing
    // line, the path of the table it closes.
    QStringList path() const;

private:
    QList<QByteArray> m_keys; // the open tables' keys, and the last keyed line's own
    qsizetype m_length = 0;   // how many of them make the last line's path
    QByteArray m_key;
};

// The path as the results show it: the keys joined by " / ".
QString JoinKeyPath(const QStringList &keys);
