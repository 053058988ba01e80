#include "SeatsTestMaps.h"

#include <cstring>

void ClearGrid(TGameState& s) { std::memset(s.Map, 0, sizeof s.Map); }

void GridRect(TGameState& s, int x, int y, int w, int h, int n) {
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i)
            if (i >= 0 && j >= 0 && i < MapWidth && j < MapHeight) s.Map[j][i] = static_cast<uint8_t>(n);
}

void CountGridFeuds(TGameState& s, int quantity) {
    s.QuantityFeud = static_cast<uint8_t>(quantity);
    for (int y = 0; y < MapHeight; ++y)
        for (int x = 0; x < MapWidth; ++x) {
            const int a = s.Map[y][x];
            if (a >= 1 && a <= MaxFeud) {
                s.Feuds[a].PosX = x;
                s.Feuds[a].PosY = y;
            }
        }
}

void GridStrips(TGameState& s, int n) {
    ClearGrid(s);
    int left = 0;
    for (int k = 1; k <= n; ++k) {
        const int right = k < n ? k * MapWidth / n : MapWidth;  // the border column, or the edge
        GridRect(s, left, 0, right - left, MapHeight, k);
        left = right + 1;
    }
    CountGridFeuds(s, n);
}
