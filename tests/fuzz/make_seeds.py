#!/usr/bin/env python3
"""Writes the seed corpus of the map fuzzer: small valid map bitmaps of several
colour depths and a few broken ones. Run from anywhere; writes next to itself."""
import os
import struct

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "seeds")
W, H = 400, 200


def feud_of(x, y):
    """A little map: a one-pixel black grid of 4 x 2 cells, a blue lake, a yellow dot."""
    if x % 100 == 99 or y == 99:
        return "black"
    if 20 <= x < 30 and 20 <= y < 30:
        return "blue"
    if x == 250 and y == 150:
        return "yellow"
    return "white"


COLOURS = {"black": (0, 0, 0), "white": (255, 255, 255), "blue": (0, 0, 255), "yellow": (255, 255, 0)}
PALETTE = ["black", "white", "blue", "yellow"]


def bmp(bits, pixels_bytes, palette=None, compression=0, width=W, height=H, header=40):
    pal = b""
    if palette is not None:
        for name in palette:
            r, g, b = COLOURS[name]
            pal += bytes((b, g, r, 0))
    offset = 14 + header + len(pal)
    info = struct.pack("<IiiHHIIiiII", header, width, height, 1, bits, compression, len(pixels_bytes), 2835, 2835,
                       len(palette or []), 0)
    info += b"\0" * (header - len(info))
    head = b"BM" + struct.pack("<IHHI", offset + len(pixels_bytes), 0, 0, offset)
    return head + info + pal + pixels_bytes


def rows_bottom_up():
    return [[feud_of(x, y) for x in range(W)] for y in reversed(range(H))]


def pack_indexed(bits):
    out = b""
    for row in rows_bottom_up():
        idx = [PALETTE.index(c) for c in row]
        if bits == 8:
            line = bytes(idx)
        elif bits == 4:
            line = bytes((idx[i] << 4) | idx[i + 1] for i in range(0, W, 2))
        else:
            line = bytes()
            # 1 bit: black and white only
            bitsrow = [1 if c != "black" else 0 for c in row]
            line = bytes(sum(bitsrow[i + k] << (7 - k) for k in range(8)) for i in range(0, W, 8))
        line += b"\0" * ((-len(line)) % 4)
        out += line
    return out


def rle8():
    out = b""
    for row in rows_bottom_up():
        idx = [PALETTE.index(c) for c in row]
        i = 0
        while i < W:
            j = i
            while j < W and j - i < 255 and idx[j] == idx[i]:
                j += 1
            out += bytes((j - i, idx[i]))
            i = j
        out += b"\0\0"
    return out + b"\0\1"


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


def main():
    os.makedirs(HERE, exist_ok=True)
    write("map1.bmp", bmp(1, pack_indexed(1), ["black", "white"]))
    write("map4.bmp", bmp(4, pack_indexed(4), PALETTE))
    write("map8rle.bmp", bmp(8, rle8(), PALETTE, compression=1))
    good = bmp(8, pack_indexed(8), PALETTE)
    write("map8.bmp", good)
    write("small.bmp", bmp(1, b"\0\0\0\0" * 2, ["black", "white"], width=2, height=2))
    write("truncated.bmp", good[: len(good) // 2])
    huge = bytearray(good)
    struct.pack_into("<ii", huge, 18, 0x7FFFFFFF, 0x7FFFFFFF)
    write("huge-header.bmp", bytes(huge[:2000]))
    write("not-a-bitmap.bmp", b"GIF89a this is not a bitmap at all")


if __name__ == "__main__":
    main()
