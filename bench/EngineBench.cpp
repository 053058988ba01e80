// The week's end on the fullest world the game allows: 20 feuds, all 80,000
// lennik slots occupied, every feud calling its lenniks and every feud
// attacking its neighbour. Beside it, the floor of that work: one plain read
// pass over the lennik table and a loop making as many draws from the same
// random source as the week's end makes. And the round of the week after:
// each feud's turn in turn order as the rules alone play it, prepared and
// ended with part of its force sent into the castle. After the table the
// program prints "ratio week_end/floor <value>" and "ratio round/week_end
// <value>" from the CPU times of the same run.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

#include <benchmark/benchmark.h>

#include "BenchRatio.h"

#include "core/GameState.h"
#include "core/Messages.h"
#include "core/Random.h"
#include "engine/ArmyOrders.h"
#include "engine/Lenniks.h"
#include "engine/TurnCycle.h"

namespace {

constexpr uint64_t Seed = 2024;

struct SilentMessages : Messages {
    void Info(const QString&) override {}
    void Error(const QString&) override {}
    bool Confirm(const QString&) override { return true; }
};

std::unique_ptr<TGameState> world;  // the week before its end
std::unique_ptr<TGameState> after;  // and the week after, its lenniks serving
std::unique_ptr<TGameState> work;   // what each run spoils
int64_t weekEndDraws = 0;           // draws one week's end makes on this world

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
        s.TurnOrder[f] = static_cast<uint8_t>(f);
        for (int i = 0; i < perFeud; ++i) {
            KillLennik(s, ++slot);
            s.Lenniks[slot].Feud = static_cast<uint8_t>(f);
        }
    }
    IndexFeudSlots(s);  // as world generation leaves it
}

void Copy(const TGameState& from, TGameState& to) {
    CopyGameFields(from, to);
    std::memcpy(static_cast<void*>(to.Lenniks), from.Lenniks, sizeof from.Lenniks);
}

void Restore(const TGameState& from = *world) { Copy(from, *work); }

// The week after the world's end: half the lenniks answered the call and the
// battles were fought. A week's end only frees slots, so the world's index
// of the feuds' slots, which work keeps, still holds every slot of each feud.
void BuildWeekAfter() {
    work->FeudSlots = world->FeudSlots;
    Restore();
    Random random(Seed);
    SilentMessages msgs;
    NextTurn(*work, random, msgs);
    after = std::make_unique<TGameState>();
    Copy(*work, *after);
}

// Every 64-bit output the week's end takes from the source: a copy seeded
// alike is stepped until it stands where the used one stopped.
int64_t CountDraws() {
    Restore();
    Random used(Seed);
    SilentMessages msgs;
    NextTurn(*work, used, msgs);
    Random fresh(Seed);
    int64_t count = 0;
    while (!(fresh == used) && count < 100 * int64_t{MaxLennik}) {
        fresh.NextU64();
        ++count;
    }
    return count;
}

int ReadPassOnce(const TGameState& s) {
    int serving = 0;
    for (int n = 1; n <= MaxLennik; ++n) {
        const TLennik& l = s.Lenniks[n];
        serving += l.Feud != 0 && l.Appear == 1;
    }
    return serving;
}

// Each run starts from the same world with the source seeded alike, the
// restoring untimed, so every measure sees the table in the same state.
template <typename Work>
void Timed(benchmark::State& state, Work work) {
    Random random(Seed);
    for (auto _ : state) {
        state.PauseTiming();
        Restore();
        random.Seed(Seed);
        state.ResumeTiming();
        work(random);
        benchmark::ClobberMemory();
    }
}

void ReadPass(benchmark::State& state) {
    Timed(state, [](Random&) { benchmark::DoNotOptimize(ReadPassOnce(*work)); });
}

void Floor(benchmark::State& state) {
    Timed(state, [](Random& random) {
        int serving = ReadPassOnce(*work);
        int sum = 0;
        for (int64_t k = 0; k < weekEndDraws; ++k) sum += random.Below(100);
        benchmark::DoNotOptimize(serving);
        benchmark::DoNotOptimize(sum);
    });
    state.counters["draws"] = static_cast<double>(weekEndDraws);
}

// The turns of a round, each prepared and ended by the rules alone: the
// computer's move, and a third of the serving lenniks into the castle.
void Round(benchmark::State& state) {
    SilentMessages msgs;
    int64_t kept = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Restore(*after);
        state.ResumeTiming();
        TGameState& s = *work;
        for (int i = 1; i <= MapFeuds(s); ++i) {
            s.CurrentFeud = s.TurnOrder[i];
            PrepareTurn(s);
            ComputerMove(s);
            s.ArmyToCastle = s.Feuds[s.CurrentFeud].LennikAppear / 3;
            EndOutgoingTurn(s, -1, msgs);
        }
        kept += s.ArmyToCastle;
        benchmark::ClobberMemory();
    }
    benchmark::DoNotOptimize(kept);
}

template <void (*WeekEnd)(TGameState&, Random&, Messages&)>
void WeekEndRun(benchmark::State& state) {
    SilentMessages msgs;
    Timed(state, [&](Random& random) { WeekEnd(*work, random, msgs); });
}

BENCHMARK(ReadPass)->Name("read_pass")->Unit(benchmark::kMicrosecond);
BENCHMARK(Floor)->Name("floor")->Unit(benchmark::kMicrosecond);
BENCHMARK(WeekEndRun<NextTurn>)->Name("week_end")->Unit(benchmark::kMicrosecond);
BENCHMARK(WeekEndRun<NextTurnPlain>)->Name("week_end_pass_per_step")->Unit(benchmark::kMicrosecond);
BENCHMARK(Round)->Name("round")->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    BuildWorld();
    weekEndDraws = CountDraws();
    BuildWeekAfter();
    return bench::RunWithRatios(argc, argv,
                                {{"week_end/floor", "week_end", "floor"}, {"round/week_end", "round", "week_end"}});
}
