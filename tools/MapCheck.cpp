#include "MapCheck.h"

#include <algorithm>

namespace assets {

MapSummary SummariseMap(const RgbGrid& grid) {
    MapSummary s;
    const int w = grid.width, h = grid.height;
    const size_t n = size_t(w) * size_t(h);
    s.label.assign(n, 0);
    s.area.assign(1, 0);
    if (grid.pixels.size() != n) {
        s.onlyBlackAndWhite = false;
        return s;
    }
    std::vector<int> stack;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint32_t c = grid.At(x, y);
            if (c != kWhite && c != kBlack) s.onlyBlackAndWhite = false;
            const size_t at = size_t(y) * size_t(w) + size_t(x);
            if (c != kWhite || s.label[at] != 0) continue;
            const int id = ++s.regions;
            int count = 0;
            s.label[at] = id;
            stack.assign(1, int(at));
            while (!stack.empty()) {
                const int p = stack.back();
                stack.pop_back();
                ++count;
                const int px = p % w, py = p / w;
                const int nx[4] = {px - 1, px + 1, px, px};
                const int ny[4] = {py, py, py - 1, py + 1};
                for (int k = 0; k < 4; ++k) {
                    if (nx[k] < 0 || ny[k] < 0 || nx[k] >= w || ny[k] >= h) continue;
                    const size_t q = size_t(ny[k]) * size_t(w) + size_t(nx[k]);
                    if (s.label[q] == 0 && grid.pixels[q] == kWhite) {
                        s.label[q] = id;
                        stack.push_back(int(q));
                    }
                }
            }
            s.area.push_back(count);
        }

    s.neighbour.assign(size_t(s.regions) + 1, std::vector<bool>(size_t(s.regions) + 1, false));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int a = s.label[size_t(y) * size_t(w) + size_t(x)];
            if (a == 0) continue;
            for (int dy = -2; dy <= 2; ++dy)
                for (int dx = -2; dx <= 2; ++dx) {
                    if (std::max(std::abs(dx), std::abs(dy)) != 2) continue;
                    const int qx = x + dx, qy = y + dy;
                    if (qx < 0 || qy < 0 || qx >= w || qy >= h) continue;
                    const int b = s.label[size_t(qy) * size_t(w) + size_t(qx)];
                    if (b != 0 && b != a) s.neighbour[size_t(a)][size_t(b)] = true;
                }
        }

    for (int y = 1; y + 2 < h; ++y)
        for (int x = 1; x + 2 < w; ++x)
            if (grid.At(x, y) == kBlack && grid.At(x + 1, y) == kBlack && grid.At(x, y + 1) == kBlack &&
                grid.At(x + 1, y + 1) == kBlack)
                ++s.thickSpots;
    return s;
}

bool NeighboursConnected(const MapSummary& s) {
    if (s.regions == 0) return false;
    std::vector<bool> seen(size_t(s.regions) + 1, false);
    std::vector<int> todo{1};
    seen[1] = true;
    int reached = 1;
    while (!todo.empty()) {
        const int a = todo.back();
        todo.pop_back();
        for (int b = 1; b <= s.regions; ++b)
            if (s.neighbour[size_t(a)][size_t(b)] && !seen[size_t(b)]) {
                seen[size_t(b)] = true;
                ++reached;
                todo.push_back(b);
            }
    }
    return reached == s.regions;
}

std::string MapProblems(const RgbGrid& grid, int regions, int minArea) {
    if (grid.width != 400 || grid.height != 200) return "the picture is not 400 x 200";
    const MapSummary s = SummariseMap(grid);
    if (!s.onlyBlackAndWhite) return "a pixel is neither pure black nor pure white";
    if (s.regions != regions)
        return "found " + std::to_string(s.regions) + " white areas, wanted " + std::to_string(regions);
    for (int r = 1; r <= s.regions; ++r)
        if (s.area[size_t(r)] < minArea)
            return "area " + std::to_string(r) + " has only " + std::to_string(s.area[size_t(r)]) + " pixels";
    if (!NeighboursConnected(s)) return "some feuds cannot reach the others through neighbours";
    if (s.thickSpots != 0) return std::to_string(s.thickSpots) + " places where a border is thicker than one pixel";
    return {};
}

}  // namespace assets
