#pragma once

// The main function of a benchmark program: Google Benchmark inside a Qt application object,
// on the offscreen platform where windows are involved.
#include <benchmark/benchmark.h>

#define QUILLET_BENCHMARK_MAIN(Application)                                                        \
    int main(int argc, char** argv)                                                                \
    {                                                                                              \
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))                                        \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                               \
        Application app(argc, argv);                                                               \
        benchmark::Initialize(&argc, argv);                                                        \
        benchmark::RunSpecifiedBenchmarks();                                                       \
        benchmark::Shutdown();                                                                     \
        return 0;                                                                                  \
    }
