// Checks of a bundled map picture, shared by the map generator (which refuses
// to write a map that fails them) and by the tests of the bundled maps.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace assets {

// A picture as packed 0xRRGGBB values, row-major, row 0 at the top.
struct RgbGrid {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kBlack = 0x000000;

struct MapSummary {
    bool onlyBlackAndWhite = true;
    // Maximal 4-connected white areas, numbered 1.. by their first pixel in
    // row-major order; 0 for every black pixel.
    int regions = 0;
    std::vector<int> label;
    std::vector<int> area;  // area[1..regions]
    // neighbour[a][b]: a pixel of a and a pixel of b lie exactly two apart,
    // counting the larger of the row and column differences.
    std::vector<std::vector<bool>> neighbour;
    // 2 x 2 squares of black that do not touch the picture's edge: places
    // where a border line is thicker than one pixel.
    int thickSpots = 0;
};

MapSummary SummariseMap(const RgbGrid& grid);

// True when every region can be reached from region 1 through neighbours.
bool NeighboursConnected(const MapSummary& s);

// Empty when the picture is a playable map of exactly `regions` white feuds,
// each at least minArea pixels; otherwise what is wrong, in one line.
std::string MapProblems(const RgbGrid& grid, int regions, int minArea);

}  // namespace assets
