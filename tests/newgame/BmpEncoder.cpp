#include "BmpEncoder.h"

#include <bit>
#include <vector>

namespace {

void Put16(QByteArray& out, int at, uint32_t v) {
    out[at] = char(v & 0xFF);
    out[at + 1] = char((v >> 8) & 0xFF);
}
void Put32(QByteArray& out, int at, uint32_t v) {
    Put16(out, at, v & 0xFFFF);
    Put16(out, at + 2, v >> 16);
}
void Append16(QByteArray& out, uint32_t v) {
    out.append(char(v & 0xFF));
    out.append(char((v >> 8) & 0xFF));
}
void Append32(QByteArray& out, uint32_t v) {
    Append16(out, v & 0xFFFF);
    Append16(out, v >> 16);
}

uint32_t PackChannel(uint8_t v, uint32_t mask) {
    if (mask == 0) return 0;
    const int shift = std::countr_zero(mask);
    const int width = std::bit_width(mask >> shift);
    const uint32_t value = width >= 8 ? uint32_t(v) << (width - 8) : uint32_t(v) >> (8 - width);
    return (value << shift) & mask;
}

// One row of palette indices as run-length codes, ending with end-of-line.
void EncodeRleRow(QByteArray& out, const std::vector<int>& row, int bits) {
    const int n = int(row.size());
    int i = 0;
    while (i < n) {
        int run = 1;
        while (i + run < n && run < 255 && row[size_t(i + run)] == row[size_t(i)]) ++run;
        if (run >= 2) {
            out.append(char(run));
            out.append(char(bits == 8 ? row[size_t(i)] : (row[size_t(i)] << 4 | row[size_t(i)])));
            i += run;
            continue;
        }
        // Literal pixels up to the next run of two.
        int lit = 1;
        while (i + lit < n && lit < 255 && !(i + lit + 1 < n && row[size_t(i + lit)] == row[size_t(i + lit + 1)])) ++lit;
        if (lit < 3) {
            // Too short for absolute mode: single-pixel runs.
            for (int k = 0; k < lit; ++k) {
                out.append(char(1));
                out.append(char(bits == 8 ? row[size_t(i + k)] : row[size_t(i + k)] << 4));
            }
        } else {
            out.append(char(0));
            out.append(char(lit));
            QByteArray data;
            if (bits == 8) {
                for (int k = 0; k < lit; ++k) data.append(char(row[size_t(i + k)]));
            } else {
                for (int k = 0; k < lit; k += 2)
                    data.append(char(row[size_t(i + k)] << 4 | (k + 1 < lit ? row[size_t(i + k + 1)] : 0)));
            }
            if (data.size() % 2) data.append(char(0));
            out.append(data);
        }
        i += lit;
    }
    out.append(char(0));
    out.append(char(0));
}

}  // namespace

uint8_t ExpandBits(uint32_t value, int width) {
    if (width <= 0) return 0;
    if (width >= 8) return uint8_t(value >> (width - 8));
    uint32_t out = 0;
    for (int pos = 8 - width; pos > -width; pos -= width) out |= pos >= 0 ? value << pos : value >> -pos;
    return uint8_t(out & 0xFF);
}

QByteArray EncodeBmp(const Picture& p, const BmpFormat& f) {
    const int w = p.Width(), h = p.Height();
    const bool indexed = f.bits <= 8;

    std::vector<Rgb> palette;
    std::vector<int> index(size_t(w) * size_t(h));
    if (indexed) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const Rgb c = p.GetPixel(x, y);
                size_t k = 0;
                while (k < palette.size() && !(palette[k] == c)) ++k;
                if (k == palette.size()) palette.push_back(c);
                index[size_t(y) * size_t(w) + size_t(x)] = int(k);
            }
        // The old header has no colour count: the palette is always full.
        if (f.headerSize == 12) palette.resize(size_t(1) << f.bits, Colors::Black);
    }

    uint32_t masks[3] = {f.masks[0], f.masks[1], f.masks[2]};
    if (f.bits == 16 && !f.bitfields) {
        masks[0] = 0x7C00;
        masks[1] = 0x03E0;
        masks[2] = 0x001F;
    }
    const int compression = f.rle ? (f.bits == 8 ? 1 : 2) : (f.bitfields ? 3 : 0);

    // Pixel data, rows in file order.
    QByteArray data;
    const int stride = (w * f.bits + 31) / 32 * 4;
    for (int r = 0; r < h; ++r) {
        const int y = f.topDown ? r : h - 1 - r;
        if (f.rle) {
            std::vector<int> row(index.begin() + ptrdiff_t(y) * w, index.begin() + ptrdiff_t(y + 1) * w);
            EncodeRleRow(data, row, f.bits);
            continue;
        }
        QByteArray line(stride, char(f.paddingByte));
        if (indexed) line.fill(0);
        for (int x = 0; x < w; ++x) {
            const Rgb c = p.GetPixel(x, y);
            switch (f.bits) {
            case 1:
            case 4:
            case 8: {
                const int bit = x * f.bits;
                const int shift = 8 - f.bits - bit % 8;
                line[bit / 8] = char(uchar(line[bit / 8]) | index[size_t(y) * size_t(w) + size_t(x)] << shift);
                break;
            }
            case 16:
            case 32: {
                uint32_t v = PackChannel(c.r, masks[0]) | PackChannel(c.g, masks[1]) | PackChannel(c.b, masks[2]);
                if (f.bits == 32 && !f.bitfields) v = uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b | uint32_t(f.paddingByte) << 24;
                for (int k = 0; k < f.bits / 8; ++k) line[x * f.bits / 8 + k] = char((v >> (8 * k)) & 0xFF);
                break;
            }
            default:
                line[x * 3] = char(c.b);
                line[x * 3 + 1] = char(c.g);
                line[x * 3 + 2] = char(c.r);
            }
        }
        data.append(line);
    }
    if (f.rle) {
        data.append(char(0));
        data.append(char(1));
    }

    QByteArray out(14, '\0');
    out[0] = 'B';
    out[1] = 'M';
    if (f.headerSize == 12) {
        Append32(out, 12);
        Append16(out, uint32_t(w));
        Append16(out, uint32_t(f.topDown ? -h : h));
        Append16(out, 1);
        Append16(out, uint32_t(f.bits));
    } else {
        QByteArray info(f.headerSize, '\0');
        Put32(info, 0, uint32_t(f.headerSize));
        Put32(info, 4, uint32_t(w));
        Put32(info, 8, uint32_t(f.topDown ? -h : h));
        Put16(info, 12, 1);
        Put16(info, 14, uint32_t(f.bits));
        Put32(info, 16, uint32_t(compression));
        Put32(info, 20, uint32_t(data.size()));
        Put32(info, 24, 2835);
        Put32(info, 28, 2835);
        Put32(info, 32, uint32_t(palette.size()));
        if (f.headerSize >= 52 && f.bitfields)
            for (int k = 0; k < 3; ++k) Put32(info, 40 + 4 * k, masks[k]);
        out.append(info);
        if (f.headerSize == 40 && f.bitfields)
            for (uint32_t m : masks) Append32(out, m);
    }
    for (const Rgb& c : palette) {
        out.append(char(c.b));
        out.append(char(c.g));
        out.append(char(c.r));
        if (f.headerSize != 12) out.append(char(0));
    }
    Put32(out, 10, uint32_t(out.size()));
    out.append(data);
    Put32(out, 2, uint32_t(out.size()));
    return out;
}
