// Region detection on the bundled 20-feud map and on a hard map of winding,
// interleaved regions, each beside two floors on the same picture: one plain
// pass reading every pixel a call at a time, and the memory itself, every
// byte of the picture summed as 64-bit words. The plain rescan is timed too,
// for comparison.
#include <cstdio>
#include <cstring>
#include <memory>

#include <benchmark/benchmark.h>

#include "BenchRatio.h"
#include "support/WorstMap.h"
#include "core/GameState.h"
#include "newgame/RegionDetection.h"

namespace {

Picture twenty;  // the bundled map
Picture worst;   // the hard one
std::unique_ptr<TGameState> state;

// One plain pass reading every pixel, one call a pixel: counts the border
// pixels (black or pure blue).
void ReadPass(benchmark::State& st, const Picture* map) {
    for (auto _ : st) {
        int border = 0;
        for (int y = 0; y < map->Height(); ++y)
            for (int x = 0; x < map->Width(); ++x) {
                const Rgb c = map->GetPixel(x, y);
                border += (c == Colors::Black) | (c == Colors::Blue);
            }
        benchmark::DoNotOptimize(border);
        benchmark::ClobberMemory();
    }
}

// The least memory work detection must do: every byte of the picture read,
// summed as 64-bit words.
void MemoryPass(benchmark::State& st, const Picture* map) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(map->Bits());
    const size_t words = size_t(map->Width()) * size_t(map->Height()) * sizeof(Picture::Pixel) / 8;
    for (auto _ : st) {
        uint64_t sum = 0;
        for (size_t i = 0; i < words; ++i) {
            uint64_t w;
            std::memcpy(&w, bytes + 8 * i, 8);
            sum += w;
        }
        benchmark::DoNotOptimize(sum);
        benchmark::ClobberMemory();
    }
}

// The plain rescan paints the picture it works on, so each of its runs
// starts from a fresh copy; the detection the game uses only reads it.
void Detection(benchmark::State& st, const Picture* map) {
    for (auto _ : st) {
        InitializeMap(*state, *map);
        benchmark::DoNotOptimize(state->QuantityFeud);
        benchmark::ClobberMemory();
    }
}

void DetectionByRescan(benchmark::State& st, const Picture* map) {
    Picture work;
    for (auto _ : st) {
        st.PauseTiming();
        work.CopyFrom(*map);
        st.ResumeTiming();
        InitializeMapByRescan(*state, work);
        benchmark::DoNotOptimize(state->QuantityFeud);
        benchmark::ClobberMemory();
    }
}

// Both maps must be what the measures claim: 20 feuds each. That both
// methods agree on them is for the tests to show.
bool MapsAreSound() {
    for (const Picture* map : {&twenty, &worst}) {
        InitializeMap(*state, *map);
        if (state->QuantityFeud != 20) return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    state = std::make_unique<TGameState>();
    QString error;
    if (!twenty.Load(QStringLiteral(MARCHFELL_BENCH_MAPS "/twenty.bmp"), &error)) {
        std::fprintf(stderr, "cannot read twenty.bmp: %s\n", qPrintable(error));
        return 1;
    }
    worst = WorstCaseMap();
    if (!MapsAreSound()) {
        std::fprintf(stderr, "the maps do not hold 20 feuds each\n");
        return 1;
    }
    const auto us = benchmark::kMicrosecond;
    benchmark::RegisterBenchmark("memory", MemoryPass, &twenty)->Unit(us);
    benchmark::RegisterBenchmark("read_pass", ReadPass, &twenty)->Unit(us);
    benchmark::RegisterBenchmark("detection", Detection, &twenty)->Unit(us);
    benchmark::RegisterBenchmark("detection_rescan", DetectionByRescan, &twenty)->Unit(us);
    benchmark::RegisterBenchmark("worst/memory", MemoryPass, &worst)->Unit(us);
    benchmark::RegisterBenchmark("worst/read_pass", ReadPass, &worst)->Unit(us);
    benchmark::RegisterBenchmark("worst/detection", Detection, &worst)->Unit(us);
    benchmark::RegisterBenchmark("worst/detection_rescan", DetectionByRescan, &worst)->Unit(us);
    return bench::RunWithRatios(argc, argv, {{"detection/pass", "detection", "read_pass"},
                                             {"detection_worst/pass", "worst/detection", "worst/read_pass"},
                                             {"detection/memory", "detection", "memory"},
                                             {"detection_worst/memory", "worst/detection", "worst/memory"}});
}
