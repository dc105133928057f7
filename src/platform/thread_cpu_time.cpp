#include "platform/thread_cpu_time.h"

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <time.h>
#endif

qint64 ThreadCpuTimeNs() {
#ifdef Q_OS_WIN
    FILETIME creation, exit, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &creation, &exit, &kernel, &user))
        return 0;
    const auto ticks = [](const FILETIME &t) {
        return (static_cast<qint64>(t.dwHighDateTime) << 32) | static_cast<qint64>(t.dwLowDateTime);
    };
    return (ticks(kernel) + ticks(user)) * 100; // 100-ns units
#else
    timespec now{};
    if (clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now) != 0)
        return 0;
    return static_cast<qint64>(now.tv_sec) * 1000000000 + now.tv_nsec;
#endif
}
