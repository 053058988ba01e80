// Makes the bundled maps: 400 x 200 pictures of white provinces inside black
// border lines one pixel wide, framed in black.
//
//   make_maps <maps folder> [<preview folder>]
//
// Provinces are cells around well-spread centres of different weights, seen
// through a smooth warp of the plane, so their borders wander like rivers and
// ridges. Every map is checked before it is written: exactly the wanted number
// of white areas, each large enough, all reachable through neighbours, border
// lines nowhere thicker than one pixel. A layout that fails is dropped and the
// next one tried; the layouts are numbered, so the same files come out every run.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include <QImage>

#include "BmpFile.h"
#include "MapCheck.h"
#include "Noise.h"

namespace {

using namespace assets;

constexpr int W = 400;
constexpr int H = 200;

struct Centre {
    double x, y, weight;
};

struct MapPlan {
    const char* file;
    int feuds;
    uint64_t firstLayout;
    int minArea;
    double warp;  // strength of the large-scale warp, in pixels
};

// Centres spread by best-candidate sampling: each new centre is the one of a
// few random candidates farthest from those already placed.
std::vector<Centre> PlaceCentres(Rng& rng, int count) {
    std::vector<Centre> centres;
    for (int i = 0; i < count; ++i) {
        Centre best{0, 0, 1};
        double bestDistance = -1;
        for (int c = 0; c < 24; ++c) {
            const double x = rng.Range(14, W - 14), y = rng.Range(12, H - 12);
            double nearest = 1e9;
            for (const Centre& o : centres) nearest = std::min(nearest, std::hypot(x - o.x, y - o.y));
            // Keep centres off the frame as well: the edge counts as a neighbour.
            nearest = std::min(nearest, 2.2 * std::min({x, W - x, y, H - y}));
            if (nearest > bestDistance) {
                bestDistance = nearest;
                best = Centre{x, y, 1};
            }
        }
        best.weight = rng.Range(0.78, 1.25);
        centres.push_back(best);
    }
    return centres;
}

// Cell index of every pixel (-1 on the frame).
std::vector<int> AssignCells(const std::vector<Centre>& centres, uint32_t noiseSeed, double warp) {
    std::vector<int> cell(size_t(W) * H, -1);
    for (int y = 1; y < H - 1; ++y)
        for (int x = 1; x < W - 1; ++x) {
            // A broad bend, a shorter meander and a fine ripple.
            const double wx = x + warp * Fbm(x / 58.0, y / 58.0, noiseSeed, 3) +
                              4.5 * Fbm(x / 22.0, y / 22.0, noiseSeed + 5, 2) +
                              1.6 * ValueNoise(x / 7.0, y / 7.0, noiseSeed + 7);
            const double wy = y + warp * Fbm(x / 58.0 + 31.7, y / 58.0 + 12.3, noiseSeed + 3, 3) +
                              4.5 * Fbm(x / 22.0 + 7.7, y / 22.0 + 2.9, noiseSeed + 9, 2) +
                              1.6 * ValueNoise(x / 7.0 + 5.1, y / 7.0 + 9.4, noiseSeed + 11);
            int best = 0;
            double bestDistance = 1e18;
            for (size_t i = 0; i < centres.size(); ++i) {
                const double d = std::hypot(wx - centres[i].x, wy - centres[i].y) * centres[i].weight;
                if (d < bestDistance) {
                    bestDistance = d;
                    best = int(i);
                }
            }
            cell[size_t(y) * W + size_t(x)] = best;
        }
    return cell;
}

// The warp can cut a cell into pieces. Every piece but a cell's largest goes
// to the cell it shares the longest edge with, until each cell is one piece.
void MergeStrayPieces(std::vector<int>& cell, int cells) {
    for (int round = 0; round < 8; ++round) {
        std::vector<int> piece(cell.size(), -1);
        std::vector<int> pieceCell, pieceSize;
        std::vector<int> stack;
        for (size_t start = 0; start < cell.size(); ++start) {
            if (cell[start] < 0 || piece[start] >= 0) continue;
            const int id = int(pieceCell.size());
            pieceCell.push_back(cell[start]);
            pieceSize.push_back(0);
            piece[start] = id;
            stack.assign(1, int(start));
            while (!stack.empty()) {
                const int p = stack.back();
                stack.pop_back();
                ++pieceSize[size_t(id)];
                const int px = p % W, py = p / W;
                const int nb[4] = {p - 1, p + 1, p - W, p + W};
                const bool ok[4] = {px > 0, px < W - 1, py > 0, py < H - 1};
                for (int k = 0; k < 4; ++k)
                    if (ok[k] && cell[size_t(nb[k])] == cell[start] && piece[size_t(nb[k])] < 0) {
                        piece[size_t(nb[k])] = id;
                        stack.push_back(nb[k]);
                    }
            }
        }
        std::vector<int> largest(size_t(cells), -1);
        for (size_t i = 0; i < pieceCell.size(); ++i) {
            int& l = largest[size_t(pieceCell[i])];
            if (l < 0 || pieceSize[i] > pieceSize[size_t(l)]) l = int(i);
        }
        bool changed = false;
        for (size_t i = 0; i < pieceCell.size(); ++i) {
            if (largest[size_t(pieceCell[i])] == int(i)) continue;
            std::vector<int> contact(size_t(cells), 0);
            for (size_t p = 0; p < cell.size(); ++p) {
                if (piece[p] != int(i)) continue;
                const int px = int(p) % W;
                const int nb[4] = {int(p) - 1, int(p) + 1, int(p) - W, int(p) + W};
                const bool ok[4] = {px > 0, px < W - 1, nb[2] >= 0, nb[3] < W * H};
                for (int k = 0; k < 4; ++k)
                    if (ok[k] && cell[size_t(nb[k])] >= 0 && piece[size_t(nb[k])] != int(i))
                        ++contact[size_t(cell[size_t(nb[k])])];
            }
            const int to = int(std::max_element(contact.begin(), contact.end()) - contact.begin());
            if (contact[size_t(to)] == 0) continue;
            for (size_t p = 0; p < cell.size(); ++p)
                if (piece[p] == int(i)) cell[p] = to;
            changed = true;
        }
        if (!changed) return;
    }
}

// Black where the pixel to the right or below lies in another cell: every two
// edge-sharing pixels of different cells then have a black one between them.
// Then black pixels whose white neighbours all lie in one cell are given back
// to that cell, which leaves the lines one pixel wide.
RgbGrid DrawBorders(std::vector<int> cell) {
    std::vector<bool> black(cell.size(), false);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const size_t p = size_t(y) * W + size_t(x);
            if (cell[p] < 0) {
                black[p] = true;
                continue;
            }
            if ((cell[p + 1] >= 0 && cell[p + 1] != cell[p]) || (cell[p + W] >= 0 && cell[p + W] != cell[p]))
                black[p] = true;
        }
    for (bool changed = true; changed;) {
        changed = false;
        for (int y = 1; y < H - 1; ++y)
            for (int x = 1; x < W - 1; ++x) {
                const size_t p = size_t(y) * W + size_t(x);
                if (!black[p]) continue;
                int only = -1;
                bool mixed = false;
                for (size_t q : {p - 1, p + 1, p - W, p + W}) {
                    if (black[q]) continue;
                    if (only < 0) only = cell[q];
                    else if (only != cell[q]) mixed = true;
                }
                if (only >= 0 && !mixed) {
                    black[p] = false;
                    cell[p] = only;
                    changed = true;
                }
            }
    }
    RgbGrid grid{W, H, std::vector<uint32_t>(cell.size())};
    for (size_t p = 0; p < cell.size(); ++p) grid.pixels[p] = black[p] ? kBlack : kWhite;
    return grid;
}

bool SavePreview(const RgbGrid& grid, const std::string& path) {
    const MapSummary s = SummariseMap(grid);
    QImage image(W, H, QImage::Format_RGB32);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const int r = s.label[size_t(y) * W + size_t(x)];
            // Tints let the eye tell the provinces apart; the map itself stays white.
            image.setPixel(x, y, r == 0 ? 0u : QColor::fromHsv((r * 67) % 360, 70, 255).rgb());
        }
    return image.scaled(W * 2, H * 2).save(QString::fromStdString(path));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <maps folder> [<preview folder>]\n", argv[0]);
        return 2;
    }
    const std::string out = argv[1];
    const std::string preview = argc > 2 ? argv[2] : "";
    const MapPlan plans[] = {
        {"base", 12, 1200, 2400, 16},
        {"twenty", 20, 2000, 2000, 12},
        {"two", 2, 200, 20000, 20},
    };
    for (const MapPlan& plan : plans) {
        bool written = false;
        for (uint64_t layout = plan.firstLayout; layout < plan.firstLayout + 400 && !written; ++layout) {
            Rng rng(layout * 7919u + 17);
            const std::vector<Centre> centres = PlaceCentres(rng, plan.feuds);
            std::vector<int> cell = AssignCells(centres, uint32_t(rng.Next()), plan.warp);
            MergeStrayPieces(cell, plan.feuds);
            const RgbGrid grid = DrawBorders(cell);
            const std::string problem = MapProblems(grid, plan.feuds, plan.minArea);
            if (!problem.empty()) {
                std::printf("%s: layout %llu dropped: %s\n", plan.file, static_cast<unsigned long long>(layout),
                            problem.c_str());
                continue;
            }
            const MapSummary s = SummariseMap(grid);
            const int smallest = *std::min_element(s.area.begin() + 1, s.area.end());
            const int largest = *std::max_element(s.area.begin() + 1, s.area.end());
            const std::string path = out + "/" + plan.file + ".bmp";
            if (!WriteBmp24(grid, path)) {
                std::fprintf(stderr, "cannot write %s\n", path.c_str());
                return 1;
            }
            std::printf("%s: layout %llu, %d feuds of %d..%d pixels\n", path.c_str(),
                        static_cast<unsigned long long>(layout), s.regions, smallest, largest);
            if (!preview.empty()) SavePreview(grid, preview + "/" + plan.file + ".png");
            written = true;
        }
        if (!written) {
            std::fprintf(stderr, "%s: no layout passed the checks\n", plan.file);
            return 1;
        }
    }
    return 0;
}
