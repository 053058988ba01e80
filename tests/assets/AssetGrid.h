// Pictures of the tests turned into the grid the map checks read.
#pragma once

#include "MapCheck.h"
#include "core/Picture.h"

inline assets::RgbGrid GridOf(const Picture& p) {
    assets::RgbGrid g{p.Width(), p.Height(), {}};
    g.pixels.reserve(size_t(p.Width()) * size_t(p.Height()));
    for (int y = 0; y < p.Height(); ++y)
        for (int x = 0; x < p.Width(); ++x) {
            const Rgb c = p.GetPixel(x, y);
            g.pixels.push_back(uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b);
        }
    return g;
}
