// A small Windows bitmap writer for tests: every depth, run-length encoding,
// bit fields, bottom-up and top-down rows, the old 12-byte header.
#pragma once

#include <cstdint>

#include <QByteArray>

#include "core/Picture.h"

struct BmpFormat {
    int bits = 24;             // 1, 4, 8, 16, 24 or 32
    bool rle = false;          // RLE8 for 8 bits, RLE4 for 4 bits
    bool topDown = false;
    bool bitfields = false;    // 16 and 32 bits: masks below
    uint32_t masks[3] = {0, 0, 0};
    int headerSize = 40;       // 12, 40, 108 or 124
    uint8_t paddingByte = 0;   // what fills the unused bytes (32-bit fourth byte, row padding)
};

// Expands a channel of width bits to 8 bits the way the reader does: the
// bits are repeated, so the largest value becomes 255.
uint8_t ExpandBits(uint32_t value, int width);

// The file bytes. Palette pictures take the picture's colours in order of
// appearance; there must be no more than the depth can index. With bit fields
// (or 16 bits without them, 5-5-5) each channel keeps its top bits only.
QByteArray EncodeBmp(const Picture& p, const BmpFormat& f);
