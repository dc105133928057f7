#pragma once
// The main of a Google Benchmark program that needs widgets: the offscreen platform unless one is
// chosen, a QApplication, the benchmarks, then TEARDOWN while the application still exists (for
// windows kept across benchmarks).

#include <functional>

int RunGuiBenchmarks(int argc, char **argv, const std::function<void()> &teardown = {});
