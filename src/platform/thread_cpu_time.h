#pragma once
// The processor time the calling thread has used, in nanoseconds: unlike the wall clock it does not
// run on while the thread waits for a processor, so a bound on it holds on a busy machine too.

#include <QtGlobal>

qint64 ThreadCpuTimeNs();
