// The save record built from the fullest world, beside one copy of as many
// bytes as the record holds. The field-by-field builder is timed too, for
// comparison. The autosave of a turn (the record built and written, flushed
// to the disk) is timed the same way, and its wall time printed apart.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "BenchRatio.h"
#include "core/GameState.h"
#include "save/AutoSave.h"
#include "save/SaveGame.h"

namespace {

std::unique_ptr<TGameState> world;
std::unique_ptr<TSaveRecord> source;  // what the copy reads
std::unique_ptr<TSaveRecord> record;

// Every byte of the feud records, the grid and the lennik slots set.
void BuildWorld() {
    world = std::make_unique<TGameState>();
    TGameState& s = *world;
    ClearGameData(s);
    std::mt19937 rng(12);
    auto fill = [&](void* p, size_t n) {
        for (size_t i = 0; i < n; ++i) static_cast<uint8_t*>(p)[i] = uint8_t(rng());
    };
    fill(s.Feuds, sizeof s.Feuds);
    fill(s.Map, sizeof s.Map);
    fill(s.Lenniks, sizeof s.Lenniks);
    fill(s.TurnOrder, sizeof s.TurnOrder);
    s.QuantityFeud = MaxFeud;
    s.Year = 12;
    s.Week = 5;
}

void Copy(benchmark::State& st) {
    for (auto _ : st) {
        std::memcpy(record->data(), source->data(), SaveRecordSize);
        benchmark::ClobberMemory();
    }
}

template <void (*Build)(const TGameState&, TSaveRecord&)>
void SaveRecord(benchmark::State& st) {
    for (auto _ : st) {
        Build(*world, *record);
        benchmark::ClobberMemory();
    }
}

// ---- the autosave: into a scratch home, a year later each time so that every
// one is written.
void AutoSave(benchmark::State& st) {
    for (auto _ : st) {
        ++world->Year;
        const QString failed = AutoSaveTurn(*world);
        if (!failed.isEmpty()) {
            st.SkipWithError(failed.toStdString().c_str());
            break;
        }
    }
}

// What the player waits for at a turn's start: the median wall time of one
// autosave, the flush to the disk included.
void PrintAutoSaveWallTime() {
    constexpr int runs = 9;
    double ms[runs];
    for (double& t : ms) {
        ++world->Year;
        const auto start = std::chrono::steady_clock::now();
        if (!AutoSaveTurn(*world).isEmpty()) return;
        t = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    }
    std::sort(ms, ms + runs);
    std::printf("autosave wall time %.1f ms (the median of %d, the flush to disk included)\n", ms[runs / 2], runs);
}

}  // namespace

int main(int argc, char** argv) {
    const QTemporaryDir home;  // the autosaves go to its Marchfell/SaveGame
    if (!home.isValid()) return 1;
    qputenv("HOME", home.path().toLocal8Bit());
    BuildWorld();
    source = std::make_unique<TSaveRecord>();
    record = std::make_unique<TSaveRecord>();
    BuildSaveRecord(*world, *source);
    const auto us = benchmark::kMicrosecond;
    benchmark::RegisterBenchmark("copy", Copy)->Unit(us);
    benchmark::RegisterBenchmark("save_record", SaveRecord<BuildSaveRecord>)->Unit(us);
    benchmark::RegisterBenchmark("save_record_by_fields", SaveRecord<BuildSaveRecordByFields>)->Unit(us);
    benchmark::RegisterBenchmark("autosave", AutoSave)->Unit(us);
    const int result = bench::RunWithRatios(argc, argv,
                                            {{"save_record/copy", "save_record", "copy"},
                                             {"autosave/copy", "autosave", "copy"}});
    PrintAutoSaveWallTime();
    return result;
}

// ---- loading: the reader on a record in memory (decode, check, replace the
// game) beside the one copy of the record's bytes above. Self-contained: it
// makes its own game, the fullest the bundled twenty-feud map allows, and
// registers itself and its ratio.

#include <cstdlib>

#include "core/DataPath.h"
#include "core/Picture.h"
#include "engine/Lenniks.h"
#include "engine/TurnCycle.h"
#include "newgame/RegionDetection.h"
#include "newgame/WorldGeneration.h"

namespace {

struct LoadBench {
    std::unique_ptr<TGameState> game = std::make_unique<TGameState>();
    std::unique_ptr<TSaveRecord> saved = std::make_unique<TSaveRecord>();

    // Twenty feuds with every fief held by a lennik, half of them serving;
    // one player, at his turn.
    LoadBench() {
        TGameState& s = *game;
        Picture map;
        if (!map.Load(DataFilePath(QStringLiteral("maps/twenty.bmp")))) std::abort();
        InitializeMap(s, map);
        TStartingConditions start;
        start.Lennik = MaxLennik;
        GenerateWorld(s, start);
        Random random(1);
        BeginSeating(s);
        s.SelectFeud = 1;
        s.Feuds[1].NameFeudal.Assign(QStringLiteral("Игрок"));
        SeatPlayer(s, 1);
        s.QuantityGamer = 1;
        SettleCrown(s, random);
        SettleVassalsAndRelations(s, random);
        struct : Messages {
            void Info(const QString&) override {}
            void Error(const QString&) override {}
            bool Confirm(const QString&) override { return true; }
        } quiet;
        TurnHooks hooks;
        EndTurn(s, random, quiet, hooks);
        CallLenniks(s);
        EndTurn(s, random, quiet, hooks);
        BuildSaveRecord(s, *saved);
    }
};

void Load(benchmark::State& st) {
    static LoadBench bench;
    auto target = std::make_unique<TGameState>();
    for (auto _ : st) {
        if (!ReadSaveRecord(*bench.saved, *target, nullptr)) st.SkipWithError("the record was refused");
        benchmark::ClobberMemory();
    }
}

// The loader's check of the neighbours against the grid, alone.
void Neighbours(benchmark::State& st) {
    static LoadBench bench;
    uint8_t table[MaxFeud + 1][MaxFeud + 1];
    for (auto _ : st) {
        NeighboursOfGrid(*bench.game, table);
        benchmark::DoNotOptimize(table);
    }
}

const bool loadRegistered = [] {
    benchmark::RegisterBenchmark("load", Load)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("neighbours", Neighbours)->Unit(benchmark::kMicrosecond);
    bench::MoreMeasures().push_back({"load/copy", "load", "copy"});
    return true;
}();

}  // namespace
