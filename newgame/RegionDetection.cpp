#include "newgame/RegionDetection.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr int Cells = MapWidth * MapHeight;
constexpr size_t RowBytes = size_t(MapWidth) * 3;

// A pixel's colour as one number, read as the pixel's three bytes and a
// zero; only compared for equality.
constexpr bool LittleEndian = std::endian::native == std::endian::little;
constexpr uint32_t ThreeBytes = LittleEndian ? 0x00FFFFFFu : 0xFFFFFF00u;
constexpr uint32_t Code(Rgb c) { return std::bit_cast<uint32_t>(std::array<uint8_t, 4>{c.r, c.g, c.b, 0}); }

constexpr uint32_t BorderBlack = Code(Colors::Black);
constexpr uint32_t BorderBlue = Code(Colors::Blue);
constexpr uint32_t Marker = Code(Colors::Yellow);

// Empties the grid and the count; false when the picture is not a map.
bool StartDetection(TGameState& s, const Picture& picture) {
    std::memset(s.Map, 0, sizeof s.Map);
    s.QuantityFeud = 0;
    return picture.Width() == MapWidth && picture.Height() == MapHeight;
}

// The colour codes of one row, and a bit for every pixel that ends a run:
// bit x is set when pixel x + 1 differs from pixel x, and for the last pixel.
constexpr int EndWords = (MapWidth + 63) / 64;
struct RowScan {
    alignas(16) uint32_t code[MapWidth + 4];
    uint64_t ends[EndWords];
};

void ScanRow(const uint8_t* row, RowScan& scan) {
    // Four bytes read per pixel, the fourth one the next pixel's; the last
    // pixel is read on its own, as no byte of this row follows it.
    for (int x = 0; x < MapWidth - 1; ++x) {
        uint32_t v;
        std::memcpy(&v, row + size_t(x) * 3, 4);
        scan.code[x] = v & ThreeBytes;
    }
    uint8_t tail[4] = {row[RowBytes - 3], row[RowBytes - 2], row[RowBytes - 1], 0};
    std::memcpy(&scan.code[MapWidth - 1], tail, 4);
    scan.code[MapWidth] = ~scan.code[MapWidth - 1];  // the row's end ends the last run
    for (int i = 0; i < EndWords; ++i) scan.ends[i] = 0;
#if defined(__SSE2__)
    for (int x = 0; x < MapWidth; x += 4) {
        const __m128i here = _mm_load_si128(reinterpret_cast<const __m128i*>(scan.code + x));
        const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(scan.code + x + 1));
        const unsigned same = unsigned(_mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(here, next))));
        scan.ends[x / 64] |= uint64_t(~same & 0xFu) << (x % 64);
    }
#else
    for (int x = 0; x < MapWidth; ++x) scan.ends[x / 64] |= uint64_t(scan.code[x] != scan.code[x + 1]) << (x % 64);
#endif
}

// A stretch of one colour within a row: pixels x0 .. x1 - 1.
struct Run {
    uint16_t x0, x1;
    uint32_t code;
    int32_t label;  // provisional area label; YellowRun for marker pixels
};
constexpr int32_t YellowRun = -1;

// Working storage, kept between detections so that none is allocated. A row
// holds at most MapWidth runs, so the picture at most Cells, and every area
// label is first given to a run.
struct Scratch {
    RowScan row;
    Run runs[Cells];
    int32_t rowStart[MapHeight + 1];
    int32_t parent[Cells];  // the areas joined so far: each label's parent, a root its own
    uint8_t feud[Cells];    // each label's feud number, 0 past the 20th
    uint8_t gridRow[MapWidth + 8];
};
Scratch scratch;

int32_t Root(int32_t* parent, int32_t a) {
    while (parent[a] != a) {
        parent[a] = parent[parent[a]];
        a = parent[a];
    }
    return a;
}

// Joins the areas of a and b and returns the root of both; the smaller label
// stays the root, so every area's root is the label given at its first pixel.
int32_t Join(int32_t* parent, int32_t a, int32_t b) {
    a = Root(parent, a);
    b = Root(parent, b);
    if (a < b) parent[b] = a;
    else parent[a] = b;
    return a < b ? a : b;
}

}  // namespace

void InitializeMap(TGameState& s, Picture& picture) {
    if (!StartDetection(s, picture)) return;
    Scratch& w = scratch;
    const uint8_t* bits = picture.Bits();

    // First pass: cut each row into runs of one colour and join every run to
    // the runs of its colour it touches in the row above. Black and pure blue
    // are border; yellow runs stay apart, as they all go to feud 1.
    int runs = 0;
    int labels = 0;
    for (int y = 0; y < MapHeight; ++y) {
        ScanRow(bits + size_t(y) * RowBytes, w.row);
        w.rowStart[y] = runs;
        int above = y > 0 ? w.rowStart[y - 1] : 0;
        const int aboveEnd = runs;
        int x = 0;
        for (int word = 0; word < EndWords; ++word)
        for (uint64_t ends = w.row.ends[word]; ends != 0; ends &= ends - 1) {
            const int end = word * 64 + std::countr_zero(ends) + 1;
            const uint32_t code = w.row.code[x];
            if (code != BorderBlack && code != BorderBlue) {
                int32_t label = YellowRun;
                if (code != Marker) {
                    label = -2;  // none yet
                    while (above < aboveEnd && w.runs[above].x1 <= x) ++above;
                    for (int a = above; a < aboveEnd && w.runs[a].x0 < end; ++a) {
                        if (w.runs[a].code != code) continue;
                        const int32_t other = w.runs[a].label;
                        if (label < 0) label = other;
                        else if (other != label) label = Join(w.parent, label, other);
                    }
                    if (label < 0) {
                        label = labels++;
                        w.parent[label] = label;
                    }
                }
                w.runs[runs++] = Run{uint16_t(x), uint16_t(end), code, label};
            }
            x = end;
        }
    }
    w.rowStart[MapHeight] = runs;
    if (runs == 0) return;

    // Number the areas by their first pixel: an area's root is the label of
    // its first run, and labels were given in row-major order. A yellow first
    // pixel makes the yellow pixels feud 1 on their own; otherwise they join
    // the first area.
    const bool yellowFirst = w.runs[0].label == YellowRun;
    int count = yellowFirst ? 1 : 0;
    for (int32_t l = 0; l < labels; ++l) {
        if (w.parent[l] == l) {
            ++count;
            w.feud[l] = count <= MaxFeud ? uint8_t(count) : 0;
        } else {
            w.feud[l] = w.feud[Root(w.parent, l)];
        }
    }
    s.QuantityFeud = uint8_t(count > MaxFeud ? MaxFeud + 1 : count);

    // Second pass, over the runs: the grid, the anchors (each feud's last
    // pixel) and the marker scans' blue over every pixel given to a feud.
    // Areas past the 20th keep their colours and stay out of the grid.
    int last[MaxFeud + 1] = {};  // the last run of each feud
    for (int y = 0; y < MapHeight; ++y) {
        // The row of the grid is built in w.gridRow with eight-byte stores that
        // may run past a run's end; the next run or gap writes over the excess.
        uint8_t* const cells = w.gridRow;
        int filled = 0;  // cells before this are final
        int paintFrom = 0, paintTo = 0;  // touching runs are painted in one stretch
        for (int r = w.rowStart[y]; r < w.rowStart[y + 1]; ++r) {
            const Run& run = w.runs[r];
            const int n = run.label == YellowRun ? 1 : w.feud[run.label];
            if (n == 0) continue;
            for (int x = filled; x < run.x0; x += 8) std::memset(cells + x, 0, 8);
            const uint64_t fill = 0x0101010101010101ull * uint64_t(n);
            for (int x = run.x0; x < run.x1; x += 8) std::memcpy(cells + x, &fill, 8);
            filled = run.x1;
            last[n] = r;
            if (run.x0 != paintTo) {
                picture.FillRun(paintFrom, y, paintTo - paintFrom, Colors::Blue);
                paintFrom = run.x0;
            }
            paintTo = run.x1;
        }
        picture.FillRun(paintFrom, y, paintTo - paintFrom, Colors::Blue);
        std::memset(cells + filled, 0, size_t(MapWidth - filled));
        std::memcpy(s.Map[y], cells, MapWidth);
    }
    const int feuds = std::min(count, MaxFeud);
    for (int n = 1; n <= feuds; ++n) {
        const Run& run = w.runs[last[n]];
        s.Feuds[n].PosX = run.x1 - 1;
        s.Feuds[n].PosY = int32_t(std::upper_bound(w.rowStart, w.rowStart + MapHeight + 1, last[n]) - w.rowStart - 1);
    }
}

void InitializeMapByRescan(TGameState& s, Picture& picture) {
    if (!StartDetection(s, picture)) return;
    for (int y = 0; y < MapHeight; ++y)
        for (int x = 0; x < MapWidth; ++x) {
            const Rgb c = picture.GetPixel(x, y);
            if (c == Colors::Black || c == Colors::Blue) continue;
            if (s.QuantityFeud == MaxFeud) {
                s.QuantityFeud = MaxFeud + 1;
                return;
            }
            const uint8_t n = ++s.QuantityFeud;
            picture.SurfaceFill(x, y, c, Colors::Yellow);
            for (int yy = 0; yy < MapHeight; ++yy)
                for (int xx = 0; xx < MapWidth; ++xx) {
                    if (!(picture.GetPixel(xx, yy) == Colors::Yellow)) continue;
                    picture.SetPixel(xx, yy, Colors::Blue);
                    s.Map[yy][xx] = n;
                    s.Feuds[n].PosX = xx;
                    s.Feuds[n].PosY = yy;
                }
        }
}
