// The save record built from the fullest world, beside one copy of as many
// bytes as the record holds. The field-by-field builder is timed too, for
// comparison.
#include <cstring>
#include <memory>

#include <benchmark/benchmark.h>

#include "BenchRatio.h"
#include "core/GameState.h"
#include "save/SaveGame.h"

namespace {

std::unique_ptr<TGameState> world;
std::unique_ptr<TSaveRecord> source;  // what the copy reads
std::unique_ptr<TSaveRecord> record;

// Every feud record and lennik slot in use, every field different.
void BuildWorld() {
    world = std::make_unique<TGameState>();
    TGameState& s = *world;
    ClearGameData(s);
    s.QuantityFeud = MaxFeud;
    s.Year = 12;
    s.Week = 5;
    s.CurrentFeud = 3;
    for (int f = 1; f <= MaxFeud; ++f) {
        TFeud& feud = s.Feuds[f];
        feud.NameFeud = uint8_t(f);
        feud.Len = 4000 + f;
        feud.Lennik = 3000 + f;
        feud.Grain = 100000 * f;
        feud.Fertility = 1.5 + f;
        feud.PosX = 19 * f;
        feud.PosY = 9 * f;
        feud.NameFeudal.Assign(QStringLiteral("Феодал номер %1").arg(f));
        feud.Senior = uint8_t(f == 1 ? 1 : f / 2);
        feud.Victory = f;
        for (int j = 1; j <= MaxFeud; ++j) {
            feud.DipToFeudalShow[j] = int8_t(j % 5 - 2);
            feud.Neighbour[j] = uint8_t(j % 2);
        }
        s.TurnOrder[f] = uint8_t(MaxFeud + 1 - f);
    }
    for (int y = 0; y < MapHeight; ++y)
        for (int x = 0; x < MapWidth; ++x) s.Map[y][x] = uint8_t((x / 20 + y / 40) % (MaxFeud + 1));
    for (int k = 1; k <= MaxLennik; ++k) {
        TLennik& l = s.Lenniks[k];
        l.Feud = uint8_t(k % MaxFeud + 1);
        l.Appear = uint8_t(k % 2);
        l.InCastle = uint8_t(k % 3 == 0);
        l.Spear = k;
        l.Health = 25 + k % 50;
        l.Battle = k % 7;
    }
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

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    BuildWorld();
    source = std::make_unique<TSaveRecord>();
    record = std::make_unique<TSaveRecord>();
    BuildSaveRecord(*world, *source);
    benchmark::RegisterBenchmark("copy", Copy)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("save_record", SaveRecord<BuildSaveRecord>)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("save_record_by_fields", SaveRecord<BuildSaveRecordByFields>)
        ->Unit(benchmark::kMicrosecond);
    bench::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios({{"save_record/copy", {"save_record", "copy"}}});
    benchmark::Shutdown();
    return 0;
}
