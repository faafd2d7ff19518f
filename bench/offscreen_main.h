#pragma once
// The benchmarks' main: windows need a QApplication, on the offscreen platform.
#include <QApplication>
#include <benchmark/benchmark.h>

#define ZVC_OFFSCREEN_BENCHMARK_MAIN()                                          \
    int main(int argc, char** argv) {                                            \
        qputenv("QT_QPA_PLATFORM", "offscreen");                                \
        QApplication app(argc, argv);                                            \
        QApplication::setQuitOnLastWindowClosed(false);                          \
        benchmark::Initialize(&argc, argv);                                      \
        if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;        \
        benchmark::RunSpecifiedBenchmarks();                                     \
        benchmark::Shutdown();                                                   \
        return 0;                                                                \
    }
