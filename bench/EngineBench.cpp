// The week's end on the fullest world the game allows: 20 feuds, all 80,000
// lennik slots occupied, every feud calling its lenniks and every feud
// attacking its neighbour. Printed beside one plain read pass over the lennik
// table, with the ratio, for the week's end the game runs (one pass over the
// table) and for the straightforward one (a pass per step).
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include "core/GameState.h"
#include "core/Messages.h"
#include "core/Random.h"
#include "engine/ArmyOrders.h"
#include "engine/Lenniks.h"
#include "engine/TurnCycle.h"

namespace {

struct SilentMessages : Messages {
    void Info(const QString&) override {}
    void Error(const QString&) override {}
    bool Confirm(const QString&) override { return true; }
};

std::unique_ptr<TGameState> world;  // the week before its end
std::unique_ptr<TGameState> work;   // what each run spoils

void BuildWorld() {
    world = std::make_unique<TGameState>();
    work = std::make_unique<TGameState>();
    TGameState& s = *world;
    ClearGameData(s);
    s.QuantityFeud = MaxFeud;
    s.Year = 1;
    s.Week = 3;
    s.KingFeud = 1;
    const int perFeud = MaxLennik / MaxFeud;
    int slot = 0;
    for (int f = 1; f <= MaxFeud; ++f) {
        TFeud& feud = s.Feuds[f];
        feud.NameFeud = static_cast<uint8_t>(f);
        feud.Len = perFeud;
        feud.Lennik = perFeud;
        feud.CrossTime = static_cast<uint8_t>((perFeud + 500) / 1000 + 1);
        feud.Auth = 50;
        feud.JobLennik = 10;
        feud.Senior = f == 1 ? 1 : (f % 3 == 0 ? 0 : 1);
        feud.NameFeudal.Assign(QStringLiteral("Феодал"));
        feud.CallLennik = 1;
        feud.ArmyFeud = static_cast<uint8_t>(f);
        feud.ArmyCommand = ArmyAttack;
        feud.ArmyTarget = static_cast<uint8_t>(f % MaxFeud + 1);
        for (int j = 1; j <= MaxFeud; ++j) feud.Neighbour[j] = 1;
        for (int i = 0; i < perFeud; ++i) {
            KillLennik(s, ++slot);
            s.Lenniks[slot].Feud = static_cast<uint8_t>(f);
        }
    }
}

void Restore() {
    std::memcpy(static_cast<void*>(work->Feuds), world->Feuds, sizeof world->Feuds);
    std::memcpy(static_cast<void*>(work->Lenniks), world->Lenniks, sizeof world->Lenniks);
    work->QuantityFeud = world->QuantityFeud;
    work->Year = world->Year;
    work->Week = world->Week;
    work->KingFeud = world->KingFeud;
}

void ReadPass(benchmark::State& state) {
    Restore();
    for (auto _ : state) {
        int serving = 0;
        for (int n = 1; n <= MaxLennik; ++n) {
            const TLennik& l = work->Lenniks[n];
            serving += l.Feud != 0 && l.Appear == 1;
        }
        benchmark::DoNotOptimize(serving);
        benchmark::ClobberMemory();
    }
}

template <void (*WeekEnd)(TGameState&, Random&, Messages&)>
void WeekEndRun(benchmark::State& state) {
    Random random(2024);
    SilentMessages msgs;
    for (auto _ : state) {
        state.PauseTiming();
        Restore();
        random.Seed(2024);
        state.ResumeTiming();
        WeekEnd(*work, random, msgs);
        benchmark::ClobberMemory();
    }
}

BENCHMARK(ReadPass)->Name("read_pass")->Unit(benchmark::kMicrosecond);
BENCHMARK(WeekEndRun<NextTurn>)->Name("week_end")->Unit(benchmark::kMicrosecond);
BENCHMARK(WeekEndRun<NextTurnPlain>)->Name("week_end_pass_per_step")->Unit(benchmark::kMicrosecond);

// Keeps each run's time per iteration for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                times[run.benchmark_name()] = run.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;  // CPU microseconds: the cores are shared
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    BuildWorld();
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto read = reporter.times.find("read_pass");
    if (read == reporter.times.end() || read->second <= 0) return 0;
    std::printf("\nCPU time per run\n");
    std::printf("%-24s %10.1f us\n", "read_pass", read->second);
    for (const char* name : {"week_end", "week_end_pass_per_step"}) {
        const auto t = reporter.times.find(name);
        if (t == reporter.times.end()) continue;
        std::printf("%-24s %10.1f us   ratio to one read pass: %.1f\n", name, t->second, t->second / read->second);
    }
    benchmark::Shutdown();
    return 0;
}
