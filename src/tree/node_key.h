#pragma once
// Where a tree node's key and value stand in the node's line, for the edits and
// the editor moves that start from the tree.

#include <QString>

// True when a key equals a node's text: compared without regard to letter case.
bool KeyEqualsNodeText(const QString &key, const QString &nodeText);

// The zero-based column of the line's key when that key equals the node's
// text and occurs in the line as written (an exact search for the first
// occurrence); -1 otherwise. A key that equals the text only once depth
// markers are removed from it does not occur as written and gives -1.
int NodeKeyColumn(const QString &line, const QString &nodeText);

// The zero-based column where an old value stands in its line, searched from
// the line's first colon onwards. An empty old value is found between the
// first pair of double quotes at or after the colon. -1 when not found.
int ValueColumn(const QString &line, const QString &oldValue);
