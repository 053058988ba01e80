#!/usr/bin/env python3
"""Writes the broken map files that the bad-input tests offer to the map dialog.

Every file named bad-*.bmp is broken in one way of its own; the files named
good-*.bmp are the sound maps they were made from (the tests check that these
load, so that each broken file fails for its own defect and nothing else).
Python standard library only. Run from anywhere; writes next to itself and
removes the files it no longer makes.
"""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
W, H = 400, 200


def is_border(x, y):
    """A grid of 4 x 2 white cells split by one-pixel black lines: 8 feuds."""
    return x % 100 == 99 or y == 99


def file_header(total, offset):
    return b"BM" + struct.pack("<IHHI", total, 0, 0, offset)


def info_header(width, height, bits, compression=0, image_size=0, colours=0, size=40):
    head = struct.pack("<IiiHHIIiiII", size, width, height, 1, bits, compression, image_size, 2835, 2835, colours, 0)
    return head + b"\0" * (size - len(head))


def bitmap(width, height, bits, pixels, palette=b"", compression=0, colours=0, size=40, extra=b""):
    """A whole file: headers, optional colour masks (extra), palette, pixels."""
    offset = 14 + size + len(extra) + len(palette)
    head = info_header(width, height, bits, compression, len(pixels), colours, size)
    return file_header(offset + len(pixels), offset) + head + extra + palette + pixels


BLACK_WHITE = bytes((0, 0, 0, 0, 255, 255, 255, 0))


def one_bit_rows():
    """The map in one bit a pixel, bottom row first: 0 black, 1 white."""
    out = bytearray()
    for y in reversed(range(H)):
        line = bytearray(W // 8)
        for x in range(W):
            if not is_border(x, y):
                line[x // 8] |= 0x80 >> (x % 8)
        line += b"\0" * ((-len(line)) % 4)
        out += line
    return bytes(out)


def rgb_rows(width=W, height=H):
    out = bytearray()
    for y in reversed(range(height)):
        line = bytearray()
        for x in range(width):
            line += b"\0\0\0" if is_border(x, y) else b"\xff\xff\xff"
        line += b"\0" * ((-len(line)) % 4)
        out += line
    return bytes(out)


def rgb32_rows():
    """Four bytes a pixel, blue, green, red and an unused byte."""
    out = bytearray()
    for y in reversed(range(H)):
        for x in range(W):
            out += b"\0\0\0\0" if is_border(x, y) else b"\xff\xff\xff\0"
    return bytes(out)


def rle8_rows():
    """Run-length codes of the map in eight bits: palette 0 black, 1 white."""
    out = bytearray()
    for y in reversed(range(H)):
        x = 0
        while x < W:
            colour = 0 if is_border(x, y) else 1
            run = 1
            while x + run < W and run < 255 and (0 if is_border(x + run, y) else 1) == colour:
                run += 1
            out += bytes((run, colour))
            x += run
        out += b"\0\0"
    return bytes(out + b"\0\1")


def with_field(data, offset, fmt, value):
    b = bytearray(data)
    struct.pack_into(fmt, b, offset, value)
    return bytes(b)


def png_file():
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    raw = b"".join(b"\0" + b"\xff\xff\xff" * 4 for _ in range(4))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 4, 4, 8, 2, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def gif_file():
    """A white 1 x 1 picture: two-colour table, one LZW-coded pixel."""
    return (b"GIF89a" + struct.pack("<HHBBB", 1, 1, 0x80, 0, 0) + b"\xff\xff\xff\0\0\0" +
            b"," + struct.pack("<HHHHB", 0, 0, 1, 1, 0) + b"\x02\x02\x44\x01\0" + b";")


def jpeg_file():
    """A white 8 x 8 grey picture in baseline JPEG: one block, its DC term only."""
    def segment(marker, body):
        return b"\xff" + bytes((marker,)) + struct.pack(">H", len(body) + 2) + body

    quant = segment(0xDB, b"\0" + b"\x01" * 64)
    frame = segment(0xC0, b"\x08" + struct.pack(">HH", 8, 8) + b"\x01" + b"\x01\x11\x00")
    # One code of length one in each table: DC category 10, AC end of block.
    dc = segment(0xC4, b"\x00" + b"\x01" + b"\0" * 15 + b"\x0a")
    ac = segment(0xC4, b"\x10" + b"\x01" + b"\0" * 15 + b"\x00")
    scan = segment(0xDA, b"\x01" + b"\x01\x00" + b"\x00\x3f\x00")
    # DC code 0, the difference 1016 in ten bits, AC code 0, padding ones.
    data = bytes((0b01111111, 0b00001111))
    return b"\xff\xd8" + quant + frame + dc + ac + scan + data + b"\xff\xd9"


def files():
    one_bit = bitmap(W, H, 1, one_bit_rows(), BLACK_WHITE, colours=2)
    rgb = bitmap(W, H, 24, rgb_rows())
    rle = bitmap(W, H, 8, rle8_rows(), BLACK_WHITE, compression=1, colours=2)
    masks32 = struct.pack("<III", 0x00FF0000, 0x0000FF00, 0x000000FF)
    fields = bitmap(W, H, 32, rgb32_rows(), compression=3, extra=masks32)

    out = {
        "good-1bit.bmp": one_bit,
        "good-24bit.bmp": rgb,
        "good-rle8.bmp": rle,
        "good-bitfields32.bmp": fields,

        # Not a bitmap at all, or nothing of one.
        "bad-text.bmp": "Это не рисунок, а письмо.\n".encode("utf-8"),
        "bad-empty.bmp": b"",
        "bad-signature-only.bmp": b"BM",
        "bad-zeros-after-signature.bmp": b"BM" + bytes(100),
        "bad-all-ones.bmp": b"BM" + b"\xff" * 60,
        "bad-os2-array.bmp": b"BA" + one_bit[2:],
        "bad-png-renamed.bmp": png_file(),
        "bad-gif-renamed.bmp": gif_file(),
        "bad-jpeg-renamed.bmp": jpeg_file(),

        # Headers cut short, each kind.
        "bad-file-header-cut.bmp": one_bit[:10],
        "bad-info-header-cut.bmp": one_bit[:14 + 24],
        "bad-core-header-cut.bmp": file_header(40, 26) + struct.pack("<I", 12) + struct.pack("<HH", W, H),
        "bad-v5-header-cut.bmp": (file_header(14 + 124, 14 + 124) + info_header(W, H, 24, size=124))[:14 + 70],
        "bad-masks-cut.bmp": (file_header(0, 0) + info_header(W, H, 32, compression=3) + masks32)[:14 + 40 + 6],
        "bad-header-size-unknown.bmp": with_field(one_bit, 14, "<I", 41),
        "bad-header-size-absurd.bmp": with_field(one_bit, 14, "<I", 0xFFFFFFF0),

        # Dimensions that no picture has.
        "bad-width-zero.bmp": with_field(one_bit, 18, "<i", 0),
        "bad-height-zero.bmp": with_field(one_bit, 22, "<i", 0),
        "bad-width-negative.bmp": with_field(one_bit, 18, "<i", -400),
        "bad-height-most-negative.bmp": with_field(one_bit, 22, "<i", -0x80000000),
        "bad-width-huge.bmp": with_field(one_bit, 18, "<i", 2000000000),
        "bad-too-many-pixels.bmp": with_field(with_field(one_bit, 18, "<i", 8000), 22, "<i", 8000),

        # Fields out of their range.
        "bad-planes-zero.bmp": with_field(one_bit, 26, "<H", 0),
        "bad-planes-three.bmp": with_field(one_bit, 26, "<H", 3),
        "bad-depth-0.bmp": with_field(one_bit, 28, "<H", 0),
        "bad-depth-2.bmp": with_field(one_bit, 28, "<H", 2),
        "bad-depth-7.bmp": with_field(one_bit, 28, "<H", 7),
        "bad-depth-64.bmp": with_field(one_bit, 28, "<H", 64),
        "bad-compression-unknown.bmp": with_field(one_bit, 30, "<I", 9),
        "bad-compression-jpeg.bmp": bitmap(8, 8, 0, jpeg_file(), compression=4),
        "bad-compression-png.bmp": bitmap(4, 4, 0, png_file(), compression=5),
        "bad-rle8-with-24-bits.bmp": with_field(rle, 28, "<H", 24),
        "bad-rle4-with-8-bits.bmp": with_field(rle, 30, "<I", 2),
        "bad-rle-top-down.bmp": with_field(rle, 22, "<i", -H),
        "bad-bitfields-zero-masks.bmp": fields[:54] + bytes(12) + fields[66:],
        "bad-bitfields-24-bits.bmp": with_field(fields, 28, "<H", 24),

        # Where the pixels should be, they are not.
        "bad-offset-past-end.bmp": with_field(one_bit, 10, "<I", len(one_bit) + 1000),
        "bad-offset-inside-header.bmp": with_field(one_bit, 10, "<I", 30),
        "bad-palette-count-absurd.bmp": with_field(with_field(one_bit, 46, "<I", 0x40000000), 10, "<I", 54),
        "bad-no-palette.bmp": bitmap(W, H, 4, bytes(W // 2 * H)),
        "bad-pixels-cut.bmp": rgb[: len(rgb) // 2],
        "bad-header-lies-about-size.bmp": with_field(rgb, 22, "<i", 2 * H),
        "bad-rle-cut.bmp": rle[: 14 + 40 + 8 + 3000],
        "bad-rle-literal-past-end.bmp": rle[: 14 + 40 + 8] + b"\x00\xff" + b"\x01" * 40,
    }
    return out


def main():
    made = files()
    for name, data in made.items():
        with open(os.path.join(HERE, name), "wb") as f:
            f.write(data)
    for name in os.listdir(HERE):
        if name.endswith(".bmp") and name not in made:
            os.remove(os.path.join(HERE, name))


if __name__ == "__main__":
    main()
