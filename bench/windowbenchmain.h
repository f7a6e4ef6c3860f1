// SPDX-License-Identifier: GPL-3.0-or-later
// The main() of a benchmark of windows: an offscreen application around Google Benchmark.
#pragma once

#include <QApplication>
#include <benchmark/benchmark.h>

#define NTB_WINDOW_BENCHMARK_MAIN()                                                                \
    int main(int argc, char** argv) {                                                              \
        qputenv("QT_QPA_PLATFORM", "offscreen");                                                   \
        QApplication application(argc, argv);                                                      \
        benchmark::Initialize(&argc, argv);                                                        \
        benchmark::RunSpecifiedBenchmarks();                                                       \
        benchmark::Shutdown();                                                                     \
        return 0;                                                                                  \
    }
