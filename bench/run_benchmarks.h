#pragma once

#include <benchmark/benchmark.h>

namespace tavrin::bench {

// Runs the benchmarks named on the command line (all by default), for a main() that first sets
// up the application object its benchmarks need.
inline int runBenchmarks(int argc, char *argv[])
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace tavrin::bench
