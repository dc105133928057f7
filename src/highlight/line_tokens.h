#pragma once
// What each character of a converted-text line is, for colouring, and how deep the line folds.
// Built on the line grammar: a line that the grammar does not mark (depth 0) stays plain.
// Pure functions over one line of UTF-8 bytes (every character they look at is ASCII).

#include <QByteArrayView>

// The kinds double as the editor's style numbers.
enum class TokenKind : char {
    Plain = 0,
    Marker = 1,  // a depth marker "| "
    Key = 2,     // the key before the first colon
    Colon = 3,   // that colon
    String = 4,  // from the first double quote of the value to its last
    Number = 5,  // an integer or a float as the whole value
    Boolean = 6, // true or false as the whole value
    Brace = 7,   // "{" or "}" outside a string
};
constexpr int TokenKindCount = 8;

// Writes one kind per byte of line into kinds (line.size() entries).
void ClassifyLine(QByteArrayView line, TokenKind *kinds);

// The fold of a line. A table line opens a fold: its members, one marker deeper, and the line
// that closes it fold under it. A line without markers takes the level of what surrounds it.
struct LineFold {
    int level = 0;       // 0 for the lines outside every table
    bool header = false; // a table line: what follows at a deeper level folds under it
    int levelAfter = 0;  // the level of an unmarked line that follows this one
};
// levelBefore is the previous line's levelAfter (0 for the first line).
LineFold FoldOfLine(QByteArrayView line, int levelBefore);
