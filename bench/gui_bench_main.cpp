#include "gui_bench_main.h"

#include <QApplication>
#include <benchmark/benchmark.h>

int RunGuiBenchmarks(int argc, char **argv, const std::function<void()> &teardown) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (teardown)
        teardown();
    return 0;
}
