// Shared by the benchmark programs: keeps each benchmark's CPU time per
// iteration and prints, after Google Benchmark's own table, one line per
// measure in the form "ratio <measure> <value>".
#pragma once

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

#include <benchmark/benchmark.h>

namespace bench {

class RatioReporter : public benchmark::ConsoleReporter {
public:
    // Colours only on a terminal, as the library's own reporter does.
    RatioReporter() : ConsoleReporter(isatty(fileno(stdout)) ? OO_Defaults : OO_None) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                times_[run.benchmark_name()] = run.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
    // Prints "ratio <measure> <work / floor>" for each pair whose two
    // benchmarks both ran; a pair left out by a filter prints nothing.
    void PrintRatios(const std::vector<std::pair<std::string, std::pair<std::string, std::string>>>& measures) const {
        bool first = true;
        for (const auto& [measure, names] : measures) {
            const auto work = times_.find(names.first);
            const auto floor = times_.find(names.second);
            if (work == times_.end() || floor == times_.end() || floor->second <= 0) continue;
            if (first) std::printf("\n");
            first = false;
            std::printf("ratio %s %.2f\n", measure.c_str(), work->second / floor->second);
        }
        std::fflush(stdout);
    }

private:
    std::map<std::string, double> times_;  // CPU time: the cores are shared
};

}  // namespace bench
