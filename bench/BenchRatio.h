// Shared by the benchmark programs: runs the registered benchmarks and prints,
// after Google Benchmark's own table, one line per measure in the form
// "ratio <measure> <value>", from the CPU time per iteration (the cores are shared).
#pragma once

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <unistd.h>

#include <benchmark/benchmark.h>

namespace bench {

struct Measure {
    std::string name, work, floor;  // the ratio's name, and the benchmarks it divides
};

class RatioReporter : public benchmark::ConsoleReporter {
public:
    // Colours only on a terminal, as the library's own reporter does.
    RatioReporter() : ConsoleReporter(isatty(fileno(stdout)) ? OO_Defaults : OO_None) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                times[run.benchmark_name()] = run.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

// The program's main after its benchmarks are registered. A measure whose
// benchmarks a filter left out prints nothing.
inline int RunWithRatios(int argc, char** argv, const std::vector<Measure>& measures) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const char* gap = "\n";
    for (const Measure& m : measures) {
        const auto work = reporter.times.find(m.work);
        const auto floor = reporter.times.find(m.floor);
        if (work == reporter.times.end() || floor == reporter.times.end() || floor->second <= 0) continue;
        std::printf("%sratio %s %.2f\n", gap, m.name.c_str(), work->second / floor->second);
        gap = "";
    }
    std::fflush(stdout);
    benchmark::Shutdown();
    return 0;
}

}  // namespace bench
