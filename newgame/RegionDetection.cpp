#include "newgame/RegionDetection.h"

#include <cstring>
#include <vector>

namespace {

constexpr int Cells = MapWidth * MapHeight;

uint32_t Code(Rgb c) { return uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | uint32_t(c.b); }

const uint32_t BorderBlack = Code(Colors::Black);
const uint32_t BorderBlue = Code(Colors::Blue);
const uint32_t Marker = Code(Colors::Yellow);

// Empties the grid and the count; false when the picture is not a map.
bool StartDetection(TGameState& s, const Picture& picture) {
    std::memset(s.Map, 0, sizeof s.Map);
    s.QuantityFeud = 0;
    return picture.Width() == MapWidth && picture.Height() == MapHeight;
}

}  // namespace

void InitializeMap(TGameState& s, Picture& picture) {
    if (!StartDetection(s, picture)) return;
    uint8_t* grid = &s.Map[0][0];

    std::vector<uint32_t> colour(Cells);
    for (int y = 0; y < MapHeight; ++y)
        for (int x = 0; x < MapWidth; ++x) colour[size_t(y * MapWidth + x)] = Code(picture.GetPixel(x, y));

    // Every cell is pushed at most once: it is labelled as it is pushed.
    std::vector<int32_t> stack(Cells);
    for (int start = 0; start < Cells; ++start) {
        const uint32_t c = colour[size_t(start)];
        if (grid[start] != 0 || c == BorderBlack || c == BorderBlue) continue;
        if (s.QuantityFeud == MaxFeud) {
            // A 21st region: the map is refused, and no record past the 20th exists.
            s.QuantityFeud = MaxFeud + 1;
            break;
        }
        const uint8_t n = ++s.QuantityFeud;
        int top = 0;
        stack[size_t(top++)] = start;
        grid[start] = n;
        while (top > 0) {
            const int at = stack[size_t(--top)];
            const int x = at % MapWidth;
            auto visit = [&](int next) {
                if (grid[next] == 0 && colour[size_t(next)] == c) {
                    grid[next] = n;
                    stack[size_t(top++)] = next;
                }
            };
            if (x > 0) visit(at - 1);
            if (x < MapWidth - 1) visit(at + 1);
            if (at >= MapWidth) visit(at - MapWidth);
            if (at < Cells - MapWidth) visit(at + MapWidth);
        }
        // The first feud's marker scan also takes every yellow pixel the file
        // already had, wherever it lies.
        if (n == 1)
            for (int i = 0; i < Cells; ++i)
                if (grid[i] == 0 && colour[size_t(i)] == Marker) grid[i] = 1;
    }

    // The anchor of each feud is its last pixel in row-major order; the
    // picture ends as the marker scans leave it, every feud pixel blue.
    for (int y = 0; y < MapHeight; ++y)
        for (int x = 0; x < MapWidth; ++x) {
            const uint8_t n = s.Map[y][x];
            if (n == 0) continue;
            s.Feuds[n].PosX = x;
            s.Feuds[n].PosY = y;
            picture.SetPixel(x, y, Colors::Blue);
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
