#pragma once
// The files a search looks in: those of a folder (and of its subfolders, when asked) whose names
// match one of the scope's patterns, without regard to case, sorted by path. Links to folders are
// not followed, so a link loop cannot make the walk endless. Runs on a worker: a folder such as
// the root of the file system takes minutes; stop, when set, ends the walk early.

#include "search/search_query.h"

#include <QStringList>

#include <atomic>

QStringList ListSearchFiles(const SearchScope &scope, const std::atomic<bool> *stop = nullptr);
