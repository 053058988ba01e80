// Shared by the benchmark programs: runs the registered benchmarks and prints,
// after Google Benchmark's own table, one line per measure in the form
// "ratio <measure> <value>", from the CPU time per iteration (the cores are
// shared), the median when the benchmarks are repeated.
#pragma once

#include <algorithm>
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
                times[run.run_name.function_name].push_back(run.GetAdjustedCPUTime());
        ConsoleReporter::ReportRuns(runs);
    }
    // The median over the repetitions; 0 when the measure did not run.
    double Median(const std::string& name) const {
        const auto t = times.find(name);
        if (t == times.end() || t->second.empty()) return 0;
        std::vector<double> v = t->second;
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    }
    std::map<std::string, std::vector<double>> times;
};

// Measures that a benchmark kept apart from the program's main adds for
// itself, as it registers its benchmarks; printed after main's own.
inline std::vector<Measure>& MoreMeasures() {
    static std::vector<Measure> more;
    return more;
}

// The program's main after its benchmarks are registered. A measure whose
// benchmarks a filter left out prints nothing. Repetitions run in a random
// interleaved order unless the command line says otherwise, so that a load
// that comes and goes on shared cores weighs on the work and its floor alike.
inline int RunWithRatios(int argc, char** argv, std::vector<Measure> measures) {
    measures.insert(measures.end(), MoreMeasures().begin(), MoreMeasures().end());
    static char interleave[] = "--benchmark_enable_random_interleaving=true";
    std::vector<char*> args(argv, argv + argc);
    args.insert(args.begin() + (argc > 0 ? 1 : 0), interleave);  // the command line's own flag comes later and wins
    argc = int(args.size());
    args.push_back(nullptr);
    argv = args.data();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const char* gap = "\n";
    for (const Measure& m : measures) {
        const double work = reporter.Median(m.work);
        const double floor = reporter.Median(m.floor);
        if (work <= 0 || floor <= 0) continue;
        std::printf("%sratio %s %.2f\n", gap, m.name.c_str(), work / floor);
        gap = "";
    }
    std::fflush(stdout);
    benchmark::Shutdown();
    return 0;
}

}  // namespace bench
