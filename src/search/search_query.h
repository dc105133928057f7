#pragma once
// What Find in Files looks for and where: the text and its options, and the files to look in.

#include <QString>

struct SearchQuery {
    // Which part of a line a match must lie in: the line's key (the text before its first colon,
    // after the depth markers), its value (the rest) or anywhere in the line.
    enum class Where { Keys, Values, Both };

    QString text;
    bool matchCase = false;
    bool wholeWord = false;
    bool regularExpression = false;
    Where where = Where::Both;
};

struct SearchScope {
    QString folder;
    bool subfolders = true;
    // File name patterns, separated by ";" (for example "*.rbf;*.bak"); matched without regard to case.
    QString pattern = QStringLiteral("*.rbf");
};
