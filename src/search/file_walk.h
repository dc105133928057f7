#pragma once
// The files a search looks in: those of a folder (and of its subfolders, when asked) whose names
// match one of the scope's patterns, without regard to case, sorted by path. Links to folders are
// not followed, so a link loop cannot make the walk endless.

#include "search/search_query.h"

#include <QStringList>

QStringList ListSearchFiles(const SearchScope &scope);
