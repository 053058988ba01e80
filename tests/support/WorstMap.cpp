#include "support/WorstMap.h"

namespace {

constexpr int Width = 400;
constexpr int Height = 200;
constexpr int Band = 20;

// Twenty colours, none of them black, pure blue or pure yellow.
Rgb RegionColour(int region) {
    return Rgb{uint8_t(20 + 11 * region), uint8_t(230 - 9 * region), uint8_t(70 + 7 * region)};
}

}  // namespace

Picture WorstCaseMap() {
    Picture p(Width, Height);
    for (int band = 0; band < Height / Band; ++band) {
        const int y0 = band * Band;
        const Rgb upper = RegionColour(2 * band);
        const Rgb lower = RegionColour(2 * band + 1);
        for (int dy = 0; dy < Band; ++dy) {
            for (int x = 0; x < Width; ++x) {
                bool isUpper;
                if (dy < 2) isUpper = true;                 // the upper spine
                else if (dy >= Band - 2) isUpper = false;  // the lower spine
                else if (x >= Width - 2) isUpper = true;   // teeth cut off at the right hang from here
                else if (x < 2) isUpper = false;           // and those cut off at the left stand on this
                else isUpper = (x + dy) % 4 < 2;           // diagonal teeth, two pixels wide
                p.SetPixel(x, y0 + dy, isUpper ? upper : lower);
            }
        }
        // Markers on the outer spine rows only: they split no region.
        for (int x = 7 + band * 3; x < Width - 2; x += 53) p.SetPixel(x, y0, Colors::Yellow);
        for (int x = 29 + band * 5; x < Width - 2; x += 61) p.SetPixel(x, y0, Colors::Blue);
        for (int x = 13 + band; x < Width; x += 47) p.SetPixel(x, y0 + Band - 1, Colors::Blue);
    }
    return p;
}
