#include "platform/cache_folder.h"

#include "platform/state_folder.h"

QString CacheFolder() {
    return ProgramFolderIn("XDG_CACHE_HOME", QStringLiteral(".cache"), QStandardPaths::GenericCacheLocation);
}
