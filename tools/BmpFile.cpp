#include "BmpFile.h"

#include <cstdio>
#include <vector>

namespace assets {

bool WriteBmp24(const RgbGrid& grid, const std::string& path) {
    const int w = grid.width, h = grid.height;
    if (w <= 0 || h <= 0 || grid.pixels.size() != size_t(w) * size_t(h)) return false;
    const size_t stride = (size_t(w) * 3 + 3) / 4 * 4;
    const size_t dataSize = stride * size_t(h);
    std::vector<unsigned char> out(54 + dataSize, 0);
    auto put16 = [&](size_t at, uint32_t v) {
        out[at] = static_cast<unsigned char>(v & 0xFF);
        out[at + 1] = static_cast<unsigned char>((v >> 8) & 0xFF);
    };
    auto put32 = [&](size_t at, uint32_t v) {
        put16(at, v & 0xFFFF);
        put16(at + 2, v >> 16);
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, uint32_t(out.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, uint32_t(w));
    put32(22, uint32_t(h));
    put16(26, 1);
    put16(28, 24);
    put32(34, uint32_t(dataSize));
    put32(38, 2835);  // 72 dots per inch
    put32(42, 2835);
    for (int y = 0; y < h; ++y) {
        unsigned char* row = out.data() + 54 + size_t(h - 1 - y) * stride;
        for (int x = 0; x < w; ++x) {
            const uint32_t c = grid.At(x, y);
            row[x * 3] = static_cast<unsigned char>(c & 0xFF);
            row[x * 3 + 1] = static_cast<unsigned char>((c >> 8) & 0xFF);
            row[x * 3 + 2] = static_cast<unsigned char>((c >> 16) & 0xFF);
        }
    }
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace assets
