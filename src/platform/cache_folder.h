#pragma once
// Where the program keeps what it can make again (converted texts of Find in Files):
// "kestrelbench" in $XDG_CACHE_HOME, or in ~/.cache when that variable is unset or not an
// absolute path (as the XDG base directory rules say). On Windows, the application's local cache
// folder. The folder is not created here.

#include <QString>

QString CacheFolder();
