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

// The colour code of pixel x of a row: four bytes read, the fourth the next
// pixel's (or, past the last pixel, a byte that is there to be read).
uint32_t CodeAt(const uint8_t* row, int x) {
    uint32_t v;
    std::memcpy(&v, row + size_t(x) * 3, 4);
    return v & ThreeBytes;
}

// A bit for every pixel of a row that ends a run: bit x is set when pixel
// x + 1 differs from pixel x, and for the row's last pixel.
constexpr int EndWords = (MapWidth + 63) / 64;
static_assert(MapWidth < 0xFFFF && MapWidth % 64 != 0);  // the last word is stored partly filled

#if defined(__SSE2__)
// Five flags at bits 0, 3, 6, 9 and 12 gathered into bits 0 to 4.
constexpr std::array<uint8_t, 0x1249 + 1> Gathered = [] {
    std::array<uint8_t, 0x1249 + 1> table{};
    for (int flags = 0; flags < 32; ++flags) {
        int spread = 0;
        for (int k = 0; k < 5; ++k) spread |= (flags >> k & 1) << (3 * k);
        table[size_t(spread)] = uint8_t(flags);
    }
    return table;
}();
#endif

void RowEnds(const uint8_t* row, uint64_t* ends) {
    // The bits gather in one word, stored as it fills.
    uint64_t word = 0;
    int filled = 0;
    auto add = [&](uint64_t bits, int count) {
        word |= bits << filled;
        filled += count;
        if (filled >= 64) {
            *ends++ = word;
            filled -= 64;
            word = filled > 0 ? bits >> (count - filled) : 0;
        }
    };
    int x = 0;
#if defined(__SSE2__)
    // Five pixels a step: fifteen bytes against the fifteen three places on,
    // a pixel the same as the next when its three bytes are. Reads end at
    // byte 3x + 18, inside the row while x + 7 <= MapWidth.
    for (; x + 7 <= MapWidth; x += 5) {
        const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + size_t(x) * 3));
        const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + size_t(x) * 3 + 3));
        const unsigned bytes = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(here, next)));
        const unsigned same = Gathered[bytes & bytes >> 1 & bytes >> 2 & 0x1249u];
        add(~same & 0x1Fu, 5);
    }
#endif
    for (; x < MapWidth; ++x)
        add(x == MapWidth - 1 || std::memcmp(row + size_t(x) * 3, row + size_t(x) * 3 + 3, 3) != 0, 1);
    if (filled > 0) *ends = word;
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
    uint64_t ends[EndWords];
    uint8_t lastRow[RowBytes + 1];  // the picture's last row, with a byte after it
    Run runs[Cells + MapHeight];
    int32_t rowStart[MapHeight];  // each row's first run, after its stop run
    int32_t rowEnd[MapHeight];
    int32_t parent[Cells];  // the areas joined so far: each label's parent, a root its own
    uint8_t feud[Cells + 1];  // feud number of label l at l + 1 (of yellow runs at 0), 0 past the 20th
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
[[gnu::noinline]] int32_t Join(int32_t* parent, int32_t a, int32_t b) {
    a = Root(parent, a);
    b = Root(parent, b);
    if (a < b) parent[b] = a;
    else parent[a] = b;
    return a < b ? a : b;
}

}  // namespace

void InitializeMap(TGameState& s, Picture& picture) {
    // The second pass writes every cell of the grid; it is emptied here only
    // when there is no second pass.
    s.QuantityFeud = 0;
    if (picture.Width() != MapWidth || picture.Height() != MapHeight) {
        StartDetection(s, picture);
        return;
    }
    Scratch& w = scratch;
    const uint8_t* bits = picture.Bits();

    // First pass: cut each row into runs of one colour and join every run to
    // the runs of its colour it touches in the row above. Black and pure blue
    // are border; yellow runs stay apart, as they all go to feud 1.
    // Each row's runs follow a stop run, so that the walks along the row
    // above need no count: its stop run lies past every pixel.
    Run* const run = w.runs;
    int32_t* const parent = w.parent;
    constexpr Run Stop{0xFFFF, 0xFFFF, 0, 0};
    Run* out = run;           // where the next run goes
    const Run* above = run;   // the walk's place in the row above
    int labels = 0;
    for (int y = 0; y < MapHeight; ++y) {
        // Every row but the last has the next row's bytes after it.
        const uint8_t* row = bits + size_t(y) * RowBytes;
        if (y == MapHeight - 1) row = static_cast<const uint8_t*>(std::memcpy(w.lastRow, row, RowBytes));
        RowEnds(row, w.ends);
        *out++ = Stop;
        Run* const rowFirst = out;
        int x = 0;
        for (int word = 0; word < EndWords; ++word)
        for (uint64_t ends = w.ends[word]; ends != 0; ends &= ends - 1) {
            const int end = word * 64 + std::countr_zero(ends) + 1;
            const uint32_t code = CodeAt(row, x);
            if (code != BorderBlack && code != BorderBlue) {
                int32_t label = YellowRun;
                if (code != Marker) {
                    label = -2;  // none yet
                    // The runs above that this one touches; the walk stops on
                    // the last of them if it reaches the next run too. Above
                    // the top row there is only the top row's own stop run.
                    while (above->x1 <= x) ++above;
                    for (; above->x0 < end; ++above) {
                        if (above->code == code) {
                            if (label < 0) label = above->label;
                            else if (above->label != label) label = Join(parent, label, above->label);
                        }
                        if (above->x1 > end) break;
                    }
                    if (label < 0) {
                        label = labels++;
                        parent[label] = label;
                    }
                }
                *out++ = Run{uint16_t(x), uint16_t(end), code, label};
            }
            x = end;
        }
        w.rowStart[y] = int32_t(rowFirst - run);
        w.rowEnd[y] = int32_t(out - run);
        above = rowFirst;
    }
    const int runs = int(out - run);
    if (labels == 0 && runs == MapHeight) {  // stop runs only: no feud at all
        StartDetection(s, picture);
        return;
    }
    // Number the areas by their first pixel: an area's root is the label of
    // its first run, and labels were given in row-major order. A yellow first
    // pixel makes the yellow pixels feud 1 on their own; otherwise they join
    // the first area.
    int first = 0;
    while (w.rowStart[first] == w.rowEnd[first]) ++first;
    const bool yellowFirst = w.runs[w.rowStart[first]].label == YellowRun;
    int count = yellowFirst ? 1 : 0;
    for (int32_t l = 0; l < labels; ++l) {
        if (w.parent[l] == l) {
            ++count;
            w.feud[l + 1] = count <= MaxFeud ? uint8_t(count) : 0;
        } else {
            w.feud[l + 1] = w.feud[Root(w.parent, l) + 1];
        }
    }
    w.feud[YellowRun + 1] = 1;
    s.QuantityFeud = uint8_t(count > MaxFeud ? MaxFeud + 1 : count);

    // Second pass, over the runs: the grid, the anchors (each feud's last
    // pixel) and the marker scans' blue over every pixel given to a feud.
    // Areas past the 20th keep their colours and stay out of the grid.
    int last[MaxFeud + 1] = {};  // the last run of each feud
    for (int y = 0; y < MapHeight; ++y) {
        // Short runs and gaps are written with one eight-byte store that may
        // run past their end, into cells written next: the rest of the row,
        // or the row below, which is written after this one. Only where the
        // store would pass the grid's last row's end are they written bytewise.
        uint8_t* const grid = reinterpret_cast<uint8_t*>(s.Map) + size_t(y) * MapWidth;  // the grid's bytes
        const bool rowBelow = y + 1 < MapHeight;
        auto put = [&](int from, int to, uint8_t n) {
            if (to - from <= 8 && (rowBelow || from + 8 <= MapWidth)) {
                const uint64_t v = 0x0101010101010101ull * n;
                std::memcpy(grid + from, &v, 8);
            } else {
                std::memset(grid + from, n, size_t(to - from));
            }
        };
        int filled = 0;  // cells before this are final
        int paintFrom = 0, paintTo = 0;  // touching runs are painted in one stretch
        for (int r = w.rowStart[y]; r < w.rowEnd[y]; ++r) {
            const Run& run = w.runs[r];
            const int n = w.feud[run.label + 1];
            if (n == 0) continue;
            if (run.x0 != filled) put(filled, run.x0, 0);
            put(run.x0, run.x1, uint8_t(n));
            filled = run.x1;
            last[n] = r;
            if (run.x0 != paintTo) {
                picture.FillRun(paintFrom, y, paintTo - paintFrom, Colors::Blue);
                paintFrom = run.x0;
            }
            paintTo = run.x1;
        }
        picture.FillRun(paintFrom, y, paintTo - paintFrom, Colors::Blue);
        if (filled < MapWidth) std::memset(grid + filled, 0, size_t(MapWidth - filled));
    }
    const int feuds = std::min(count, MaxFeud);
    for (int n = 1; n <= feuds; ++n) {
        const Run& run = w.runs[last[n]];
        s.Feuds[n].PosX = run.x1 - 1;
        s.Feuds[n].PosY = int32_t(std::upper_bound(w.rowStart, w.rowStart + MapHeight, last[n]) - w.rowStart - 1);
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
