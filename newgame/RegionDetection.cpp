#include "newgame/RegionDetection.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <tmmintrin.h>
#define MARCHFELL_SHUFFLE 1
#endif

namespace {

constexpr int Cells = MapWidth * MapHeight;
using Pixel = Picture::Pixel;

constexpr Pixel BorderBlack = Picture::PixelOf(Colors::Black);
constexpr Pixel BorderBlue = Picture::PixelOf(Colors::Blue);
constexpr Pixel Marker = Picture::PixelOf(Colors::Yellow);

// Empties the grid and the count; false when the picture is not a map.
bool StartDetection(TGameState& s, const Picture& picture) {
    std::memset(s.Map, 0, sizeof s.Map);
    s.QuantityFeud = 0;
    return picture.Width() == MapWidth && picture.Height() == MapHeight;
}

// What the first pass needs of a row, found sixteen pixels at a time (the
// row must have one pixel before its first to be read): the run starts, bit
// x set when pixel x differs from pixel x - 1 or is the row's first; the
// number of the run within the row that holds each pixel; and against the
// row above, bit x set when pixel x equals the pixel above it.
constexpr int Words = (MapWidth + 63) / 64;
static_assert(MapWidth % 16 == 0 && MapWidth % 64 != 0);  // sixteen pixels a step; the last word partly filled
static_assert(MapWidth <= 0x7FFF);                          // run numbers fit 16-bit lanes

#if defined(__SSE2__)
inline __m128i Load(const Pixel* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }

// Four pixels against four others: each lane all ones where alike, else zero.
inline __m128i Alike4(const Pixel* a, const Pixel* b) { return _mm_cmpeq_epi32(Load(a), Load(b)); }

// Sixteen pixels against sixteen others, bit i set when pixel i is alike:
// the four comparisons narrowed to a byte a pixel, which keeps all ones or
// zero, and read as one mask.
inline unsigned Alike16(const Pixel* a, const Pixel* b) {
    const __m128i low = _mm_packs_epi32(Alike4(a, b), Alike4(a + 4, b + 4));
    const __m128i high = _mm_packs_epi32(Alike4(a + 8, b + 8), Alike4(a + 12, b + 12));
    return unsigned(_mm_movemask_epi8(_mm_packs_epi16(low, high)));
}

// For each eight run starts (bit i for pixel i), the count of starts up to
// and including each pixel, and the count of all eight in every lane.
struct StartCounts {
    alignas(16) uint16_t upTo[256][8];
    alignas(16) uint16_t all[256][8];
};
constexpr StartCounts Counts = [] {
    StartCounts c{};
    for (int b = 0; b < 256; ++b) {
        int n = 0;
        for (int i = 0; i < 8; ++i) c.upTo[b][i] = uint16_t(n += b >> i & 1);
        for (int i = 0; i < 8; ++i) c.all[b][i] = uint16_t(n);
    }
    return c;
}();
inline __m128i Lanes(const uint16_t (&v)[8]) { return _mm_load_si128(reinterpret_cast<const __m128i*>(v)); }
#endif

// The run starts of a row; with numbers, the run numbers too.
template <bool Numbers>
void RowStarts(const Pixel* row, uint64_t* starts, uint16_t* index) {
#if defined(__SSE2__)
    __m128i carry = _mm_set1_epi16(-1);  // the run number before the row: none
    unsigned first = 1;                  // the row's first pixel always starts a run
    // Each word gathered in a register and stored once.
    for (int word = 0; word < Words; ++word) {
        uint64_t bits = 0;
        for (int x = word * 64; x < std::min(word * 64 + 64, MapWidth); x += 16) {
            const unsigned begins = (Alike16(row + x, row + x - 1) ^ 0xFFFFu) | first;
            first = 0;
            bits |= uint64_t(begins) << (x % 64);
            if constexpr (Numbers) {
                for (int half = 0; half < 2; ++half) {
                    const unsigned b = begins >> (8 * half) & 0xFF;
                    _mm_storeu_si128(reinterpret_cast<__m128i*>(index + x + 8 * half),
                                     _mm_add_epi16(carry, Lanes(Counts.upTo[b])));
                    carry = _mm_add_epi16(carry, Lanes(Counts.all[b]));
                }
            }
        }
        starts[word] = bits;
    }
#else
    for (int word = 0; word < Words; ++word) starts[word] = 0;
    int number = -1;
    for (int x = 0; x < MapWidth; ++x) {
        const bool start = x == 0 || row[x] != row[x - 1];
        starts[x / 64] |= uint64_t(start) << (x % 64);
        number += start;
        if constexpr (Numbers) index[x] = uint16_t(number);
    }
#endif
}

// The set bits of a word (the processor's own count is not there to be relied on).
inline int Count(uint64_t v) {
    v -= v >> 1 & 0x5555555555555555ull;
    v = (v & 0x3333333333333333ull) + (v >> 2 & 0x3333333333333333ull);
    v = (v + (v >> 4)) & 0x0F0F0F0F0F0F0F0Full;
    return int(v * 0x0101010101010101ull >> 56);
}

// The pixels of a row like the pixels above them.
void RowSame(const Pixel* row, const Pixel* above, uint64_t* same) {
    for (int word = 0; word < Words; ++word) {
        uint64_t bits = 0;
#if defined(__SSE2__)
        for (int x = word * 64; x < std::min(word * 64 + 64, MapWidth); x += 16)
            bits |= uint64_t(Alike16(row + x, above + x)) << (x % 64);
#else
        for (int x = word * 64; x < std::min(word * 64 + 64, MapWidth); ++x)
            bits |= uint64_t(row[x] == above[x]) << (x % 64);
#endif
        same[word] = bits;
    }
}

// A feud number in each of eight bytes, for the 21 numbers a run can have.
constexpr auto Spread = [] {
    std::array<uint64_t, MaxFeud + 1> table{};
    for (int n = 0; n <= MaxFeud; ++n) table[size_t(n)] = 0x0101010101010101ull * uint64_t(n);
    return table;
}();

// Where run k of a row ends (the pixel after its last).
int RunEnd(const uint64_t* starts, int k) {
    for (int word = 0; word < Words; ++word)
        for (uint64_t b = starts[word]; b != 0; b &= b - 1)
            if (k-- < 0) return word * 64 + std::countr_zero(b);
    return MapWidth;
}

// The cells of a row of many runs from its runs' feud numbers, by each
// pixel's run number within the row.
void GatherRow(uint8_t* grid, const uint8_t* numbers, const uint16_t* index) {
    for (size_t x = 0; x < MapWidth; x += 4) {
        grid[x] = numbers[index[x]];
        grid[x + 1] = numbers[index[x + 1]];
        grid[x + 2] = numbers[index[x + 2]];
        grid[x + 3] = numbers[index[x + 3]];
    }
}

#if defined(MARCHFELL_SHUFFLE)
// The same sixteen cells a step: sixteen pixels lie in at most sixteen runs
// from the run of the first, so one byte shuffle of those runs' numbers
// places them. Reads up to fifteen numbers past the row's last run, which lie
// within the table (a pixel's run number is at most its place in the
// picture) and which no pixel picks.
[[gnu::target("ssse3")]] void GatherRowByShuffle(uint8_t* grid, const uint8_t* numbers, const uint16_t* index) {
    for (int x = 0; x < MapWidth; x += 16) {
        const __m128i from = _mm_set1_epi16(int16_t(index[x]));
        const __m128i low = _mm_sub_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(index + x)), from);
        const __m128i high = _mm_sub_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(index + x + 8)), from);
        const __m128i runs = _mm_loadu_si128(reinterpret_cast<const __m128i*>(numbers + index[x]));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(grid + x), _mm_shuffle_epi8(runs, _mm_packus_epi16(low, high)));
    }
}
// Asked at start-up, before the library's own look at the processor may have run.
const bool HasShuffle = (__builtin_cpu_init(), __builtin_cpu_supports("ssse3") != 0);
#endif

// Working storage, kept between detections so that none is allocated. A row
// holds at most MapWidth runs, so the picture at most Cells. Runs are
// numbered in row-major order from 0; a run's number is the label of its area.
// Rows of more runs than this are linked through their pixels' run numbers;
// rows of fewer, through the pieces that the run starts of both rows cut them into.
constexpr int32_t ManyRuns = 32;
struct Scratch {
    uint64_t starts[MapHeight][Words];  // each row's run starts
    uint64_t same[Words];
    uint64_t touches[Words];  // the first touch of each run
    uint64_t repeats[Words];  // and the others
    uint16_t index[MapHeight][MapWidth];  // each pixel's run number within its row, where found
    bool numbered[MapHeight];             // the row's numbers found
    int32_t runs[MapHeight];              // each row's count of runs
    Pixel firstRow[MapWidth + 1];       // the picture's first row, with a pixel before it
    // Each run's parent in the areas joined so far: an earlier run, or the
    // run itself while it is a root.
    int32_t link[Cells + 3];            // three more for the four-a-store count below
    uint8_t feud[Cells];                // each run's feud number, 0 past the 20th and for borders
    int32_t rowStart[MapHeight];        // each row's first run
};
Scratch scratch;

int32_t Root(int32_t* link, int32_t a) {
    while (link[a] != a) {
        link[a] = link[link[a]];
        a = link[a];
    }
    return a;
}

// Joins the areas of a and b; the earlier run stays the root, so every
// area's root is its first run in row-major order.
[[gnu::noinline]] void Join(int32_t* link, int32_t a, int32_t b) {
    a = Root(link, a);
    b = Root(link, b);
    if (a < b) link[b] = a;
    else link[a] = b;
}

}  // namespace

void InitializeMap(TGameState& s, const Picture& picture) {
    s.QuantityFeud = 0;
    if (picture.Width() != MapWidth || picture.Height() != MapHeight) {
        StartDetection(s, picture);
        return;
    }
    Scratch& w = scratch;
    const Pixel* const bits = picture.Bits();
    int32_t* const link = w.link;

    // First pass: cut each row into runs of one colour and link every run to
    // the runs of its colour it touches in the row above. A run touches a run
    // of its colour above where its pixels equal the pixels above them: each
    // stretch of such pixels within the run lies under one run above. Border
    // and marker runs are linked too, among themselves; the second pass
    // tells them apart by colour.
    int32_t next = 0;  // the number of the next run
    // Every row but the first has the row before's last pixel before it.
    std::copy_n(bits, MapWidth, w.firstRow + 1);
    auto rowAt = [&](int y) { return y == 0 ? w.firstRow + 1 : bits + size_t(y) * MapWidth; };
    auto numbered = [&](int y) {
        if (!w.numbered[y]) RowStarts<true>(rowAt(y), w.starts[y], w.index[y]);
        w.numbered[y] = true;
        return w.index[y];
    };
    for (int y = 0; y < MapHeight; ++y) {
        const Pixel* const row = rowAt(y);
        const uint64_t* const starts = w.starts[y];
        // A row below a row of many runs is numbered as its starts are
        // found, as it most likely has many too.
        w.numbered[y] = y > 0 && w.runs[y - 1] > ManyRuns;
        if (w.numbered[y]) RowStarts<true>(row, w.starts[y], w.index[y]);
        else RowStarts<false>(row, w.starts[y], nullptr);
        int32_t runs = 0;
        for (int word = 0; word < Words; ++word) runs += Count(starts[word]);
        w.runs[y] = runs;

        // The row's runs are roots until they touch a run above.
        w.rowStart[y] = next;
#if defined(__SSE2__)
        __m128i four = _mm_add_epi32(_mm_set1_epi32(next), _mm_set_epi32(3, 2, 1, 0));
        for (int32_t r = 0; r < runs; r += 4, four = _mm_add_epi32(four, _mm_set1_epi32(4)))
            _mm_storeu_si128(reinterpret_cast<__m128i*>(link + next + r), four);
#else
        for (int32_t r = 0; r < runs; ++r) link[next + r] = next + r;
#endif
        next += runs;
        if (y == 0) continue;

        const Pixel* const above = rowAt(y - 1);
        const int32_t base = w.rowStart[y], baseAbove = w.rowStart[y - 1];
        // A run links to the parent of the run above it touches, an earlier
        // run of the same area, which keeps the chains to the roots short.
        auto touch = [&](int32_t run, int32_t runAbove) {
            const int32_t up = link[runAbove];
            const int32_t parent = link[run];
            if (parent == run) link[run] = up;  // its first touch
            else if (parent != up) Join(link, run, up);
        };
        if (runs + w.runs[y - 1] <= 2 * ManyRuns) {
            // Few runs: the row cut where a run starts in either row, each
            // piece under one run and above one run, alike or not.
            const uint64_t* const startsAbove = w.starts[y - 1];
            int32_t run = base - 1, runAbove = baseAbove - 1;
            for (int word = 0; word < Words; ++word)
                for (uint64_t cuts = starts[word] | startsAbove[word]; cuts != 0; cuts &= cuts - 1) {
                    const int bit = std::countr_zero(cuts);
                    run += int32_t(starts[word] >> bit & 1);
                    runAbove += int32_t(startsAbove[word] >> bit & 1);
                    const int x = word * 64 + bit;
                    if (row[x] == above[x]) touch(run, runAbove);
                }
            continue;
        }
        // Many runs: a touch is a pixel like the pixel above, where the pixel
        // before is not, or that starts a run; it lies in its run and in the
        // run above it that it touches, found by the pixels' run numbers.
        const uint16_t* const index = numbered(y);
        const uint16_t* const indexAbove = numbered(y - 1);
        RowSame(row, above, w.same);
        // A touch repeats when an earlier touch lies in its run: a carry
        // made at each touch runs up the row until a run starts.
        uint64_t carry = 0, flow = 0;
        for (int word = 0; word < Words; ++word) {
            const uint64_t same = w.same[word], begins = starts[word];
            const uint64_t touches = same & (~(same << 1 | carry) | begins);
            carry = same >> 63;
            const uint64_t runsOn = touches | ~begins;
            uint64_t sum;
            const bool out = __builtin_add_overflow(runsOn, touches, &sum);
            flow = uint64_t(__builtin_add_overflow(sum, flow, &sum) | out);
            const uint64_t repeats = touches & (sum ^ runsOn ^ touches) & ~begins;
            w.touches[word] = touches & ~repeats;
            w.repeats[word] = repeats;
        }
        // A run's first touch sets its parent; the others join another parent.
        int32_t* const links = link + base;
        const int32_t* const linksAbove = link + baseAbove;
        const uint16_t* runOf = index;
        const uint16_t* runAboveOf = indexAbove;
        for (int word = 0; word < Words; ++word, runOf += 64, runAboveOf += 64)
            for (uint64_t touches = w.touches[word]; touches != 0; touches &= touches - 1) {
                const size_t bit = size_t(std::countr_zero(touches));
                links[runOf[bit]] = linksAbove[runAboveOf[bit]];
            }
        for (int word = 0; word < Words; ++word)
            for (uint64_t repeats = w.repeats[word]; repeats != 0; repeats &= repeats - 1) {
                const size_t x = size_t(word) * 64 + size_t(std::countr_zero(repeats));
                const int32_t run = base + index[x], up = linksAbove[indexAbove[x]];
                if (link[run] != up) Join(link, run, up);
            }
    }

    // Second pass, over the runs in row-major order: each area numbered by
    // its first run, the grid and the anchors (each feud's last pixel). A
    // run's parent comes before it, so is numbered already. Black and pure
    // blue are border. Yellow is feud 1: on its own when the first pixel that
    // is not border is yellow, otherwise joining the first area. Areas past
    // the 20th stay out of the grid.
    const Pixel* first = bits;
    const Pixel* const end = bits + Cells;
    while (first != end && (*first == BorderBlack || *first == BorderBlue)) ++first;
    int feuds = first != end && *first == Marker ? 1 : 0;
    int32_t last[MaxFeud + 1] = {};  // the last run of each feud
    uint8_t* const feud = w.feud;
    // A root's colour tells border and marker runs from the areas: runs of
    // one colour only are linked.
    auto number = [&](uint32_t run, Pixel code) -> uint8_t {
        const uint32_t parent = uint32_t(link[run]);
        uint8_t n;
        if (parent != run) [[likely]] n = feud[parent];
        else if (code == BorderBlack || code == BorderBlue) n = 0;
        else if (code == Marker) n = 1;
        else n = uint8_t(++feuds <= MaxFeud ? feuds : 0);
        feud[run] = n;
        last[n] = int32_t(run);
        return n;
    };
    for (int y = 0; y < MapHeight; ++y) {
        const Pixel* const row = bits + size_t(y) * MapWidth;
        uint8_t* const grid = reinterpret_cast<uint8_t*>(s.Map) + size_t(y) * MapWidth;  // the grid's bytes
        const uint16_t* const index = w.index[y];
        const uint32_t first = uint32_t(w.rowStart[y]);
        const size_t runs = size_t(w.runs[y]);
        if (runs > ManyRuns && w.numbered[y]) {
            // Many short runs: each numbered in turn (a root's colour read at
            // its first pixel), then every cell of the row from its run's number.
            const int32_t* const links = link + first;
            uint8_t* const numbers = feud + first;
            for (size_t k = 0; k < runs; ++k) {
                const int32_t run = int32_t(first + k), parent = links[k];
                if (parent == run) [[unlikely]] {
                    number(uint32_t(run), row[std::lower_bound(index, index + MapWidth, uint16_t(k)) - index]);
                } else {
                    const uint8_t n = feud[parent];
                    numbers[k] = n;
                    last[n] = run;
                }
            }
#if defined(MARCHFELL_SHUFFLE)
            if (HasShuffle) {
                GatherRowByShuffle(grid, numbers, index);
                continue;
            }
#endif
            GatherRow(grid, numbers, index);
            continue;
        }
        // Few long runs: each written eight cells a store, the last store
        // running past the run's end into cells written next: the rest of the
        // row, or the row below, which is written after this one. The grid's
        // last row is written exactly.
        const bool exact = y == MapHeight - 1;
        uint32_t run = first;
        size_t x = 0;
        for (size_t word = 0; word < Words; ++word) {
            // A run ends where the next starts, the row's last at its end.
            uint64_t ends = w.starts[y][word] >> 1 | (word + 1 < Words ? w.starts[y][word + 1] << 63 : 0);
            if (word == (MapWidth - 1) / 64) ends |= uint64_t(1) << ((MapWidth - 1) % 64);
            for (; ends != 0; ends &= ends - 1, ++run) {
                const size_t stop = word * 64 + size_t(std::countr_zero(ends)) + 1;
                const uint8_t n = number(run, row[x]);
                if (!exact) {
                    const uint64_t v[2] = {Spread[n], Spread[n]};
                    std::memcpy(grid + x, v, 8);
                    for (size_t c = x + 8; c < stop; c += 16) std::memcpy(grid + c, v, 16);
                } else {
                    std::memset(grid + x, n, stop - x);
                }
                x = stop;
            }
        }
    }

    s.QuantityFeud = uint8_t(feuds > MaxFeud ? MaxFeud + 1 : feuds);
    for (int n = 1; n <= std::min(feuds, MaxFeud); ++n) {
        // The anchor is the last pixel of the feud's last run.
        const int y = int(std::upper_bound(w.rowStart, w.rowStart + MapHeight, last[n]) - w.rowStart - 1);
        s.Feuds[n].PosX = RunEnd(w.starts[y], last[n] - w.rowStart[y]) - 1;
        s.Feuds[n].PosY = y;
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
