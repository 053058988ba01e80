// The repaint that a hover click or a relation command triggers (the colour
// map, the borders and the outline) on the bundled 20-feud map, into the
// buffer the window shows, beside two floors: one plain pass writing every
// pixel a call at a time, and memset of that buffer. The repaint the game
// makes works from what it found once per game (the check that it still holds
// included); the plain one, three full passes and twenty flood fills, is
// timed too, and so is the preparation made once per game.
#include <cstdio>
#include <cstring>
#include <memory>

#include <benchmark/benchmark.h>

#include "BenchRatio.h"
#include "core/GameState.h"
#include "newgame/RegionDetection.h"
#include "ui/MapRendering.h"

namespace {

Picture base;
std::unique_ptr<TGameState> world;
std::unique_ptr<TMapPaint> paint;

// A realm on the bundled map: feud 1 the king, a few lords with vassals of
// their own, some independents; relations of every kind.
bool BuildWorld() {
    world = std::make_unique<TGameState>();
    TGameState& s = *world;
    QString error;
    if (!base.Load(QStringLiteral(MARCHFELL_BENCH_MAPS "/twenty.bmp"), &error)) {
        std::fprintf(stderr, "cannot read twenty.bmp: %s\n", qPrintable(error));
        return false;
    }
    Picture work;
    work.CopyFrom(base);
    ClearGameData(s);
    InitializeMap(s, work);
    if (s.QuantityFeud != 20) return false;
    s.KingFeud = 1;
    for (int f = 1; f <= 20; ++f) {
        TFeud& feud = s.Feuds[f];
        feud.Senior = uint8_t(f == 1 ? 1 : f % 4 == 0 ? 0 : f <= 8 ? 1 : f % 4 + 1);
        feud.ArmyFeud = uint8_t(f);
        for (int j = 1; j <= 20; ++j)
            feud.DipToFeudalShow[j] = feud.DipToFeudalTrue[j] = feud.DipFromFeudalShow[j] =
                feud.DipFromFeudalTrue[j] = int8_t((f + j) % 5 - 2);
    }
    s.Feuds[6].ArmyFeud = 9;
    return true;
}

// One pass writing every pixel of the picture.
void WritePass(benchmark::State& st) {
    Picture out;
    out.CopyFrom(base);
    Rgb colour = Colors::Navy;
    for (auto _ : st) {
        for (int y = 0; y < MapHeight; ++y)
            for (int x = 0; x < MapWidth; ++x) out.SetPixel(x, y, colour);
        benchmark::DoNotOptimize(out.Bits());
        benchmark::ClobberMemory();
        colour.b ^= 1;
    }
}

// The least memory work of the repaint: memset of the buffer the window shows.
void MemoryPass(benchmark::State& st) {
    Picture out(MapWidth, MapHeight);
    int value = 0;
    for (auto _ : st) {
        std::memset(out.WritableBits(), value ^= 1, size_t(MapWidth) * MapHeight * sizeof(Picture::Pixel));
        benchmark::DoNotOptimize(out.Bits());
        benchmark::ClobberMemory();
    }
}

// Each run is another mover's view or another relation view, the way a
// player's clicks change what the next repaint shows.
void NextView(TGameState& s, int step, int& mover, int& view) {
    mover = 1 + step % 20;
    s.CurrentFeud = uint8_t(mover);
    s.DipFeud = uint8_t(1 + (step * 7) % 20);
    s.Feuds[mover].DipMode = uint8_t(step % 2);
    view = (step / 2) % 4;
}

void Repaint(benchmark::State& st) {
    TGameState& s = *world;
    Picture out;
    int step = 0, mover = 0, view = 0;
    for (auto _ : st) {
        NextView(s, step++, mover, view);
        if (!paint->PreparedFor(s, base)) paint->Prepare(s, base);
        RepaintMap(s, *paint, view, mover, out);
        benchmark::DoNotOptimize(out.Bits());
        benchmark::ClobberMemory();
    }
}

void RepaintPlain(benchmark::State& st) {
    TGameState& s = *world;
    Picture out;
    int step = 0, mover = 0, view = 0;
    for (auto _ : st) {
        NextView(s, step++, mover, view);
        RenderColorMap(s, base, view, out);
        DrawBorders(s, out);
        DrawOutline(s, mover, out);
        benchmark::DoNotOptimize(out.Bits());
        benchmark::ClobberMemory();
    }
}

void Prepare(benchmark::State& st) {
    for (auto _ : st) {
        paint->Prepare(*world, base);
        benchmark::ClobberMemory();
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (!BuildWorld()) return 1;
    paint = std::make_unique<TMapPaint>();
    const auto us = benchmark::kMicrosecond;
    benchmark::RegisterBenchmark("memory", MemoryPass)->Unit(us);
    benchmark::RegisterBenchmark("write_pass", WritePass)->Unit(us);
    benchmark::RegisterBenchmark("repaint", Repaint)->Unit(us);
    benchmark::RegisterBenchmark("repaint_plain", RepaintPlain)->Unit(us);
    benchmark::RegisterBenchmark("prepare_once_per_game", Prepare)->Unit(us);
    return bench::RunWithRatios(argc, argv, {{"repaint/pass", "repaint", "write_pass"}, {"repaint/memory", "repaint", "memory"}});
}
