#include <random>
#include <vector>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/TestSupport.h"
#include "BmpEncoder.h"
#include "core/Picture.h"

namespace {

// A picture of the given colours in runs of varying length, so that the
// run-length coder meets both runs and literal stretches. (0, 0) is the
// first colour.
Picture Pattern(int w, int h, const std::vector<Rgb>& colours) {
    Picture p(w, h);
    const size_t n = colours.size();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const size_t k = (y % 3 == 0) ? size_t(x / (1 + y % 7) + y) % n : size_t(x * 7 + y * 3 + (x * y) % 5) % n;
            p.SetPixel(x, y, colours[k]);
        }
    p.SetPixel(0, 0, colours[0]);
    return p;
}

// White and black, the two marker colours, and more up to count, each channel
// taken from what a channel of the given widths can hold exactly.
std::vector<Rgb> Colours(int count, int redBits = 8, int greenBits = 8, int blueBits = 8) {
    std::vector<Rgb> c = {Colors::White, Colors::Black, Colors::Blue, Colors::Yellow};
    std::mt19937 rng(uint32_t(count * 131 + redBits * 7 + greenBits));
    auto channel = [&](int bits) { return ExpandBits(rng() % (1u << bits), bits); };
    while (int(c.size()) < count) {
        const Rgb next{channel(redBits), channel(greenBits), channel(blueBits)};
        bool seen = false;
        for (const Rgb& o : c) seen = seen || o == next;
        if (!seen) c.push_back(next);
    }
    c.resize(size_t(count));
    return c;
}

uint32_t U32At(const QByteArray& b, int at) {
    return uint32_t(uchar(b[at])) | uint32_t(uchar(b[at + 1])) << 8 | uint32_t(uchar(b[at + 2])) << 16 |
           uint32_t(uchar(b[at + 3])) << 24;
}

struct Case {
    const char* name;
    BmpFormat format;
    std::vector<Rgb> colours;
};

std::vector<Case> Cases() {
    std::vector<Case> cases;
    auto add = [&](const char* name, BmpFormat f, std::vector<Rgb> colours) {
        cases.push_back({name, f, colours});
        if (!f.rle && f.headerSize != 12) {
            f.topDown = true;
            cases.push_back({name, f, colours});
        }
    };
    BmpFormat f;
    f.bits = 1;
    add("1 bit", f, Colours(2));
    f.bits = 4;
    add("4 bits", f, Colours(16));
    f.rle = true;
    add("4 bits RLE", f, Colours(16));
    f = BmpFormat{};
    f.bits = 8;
    add("8 bits", f, Colours(256));
    f.rle = true;
    add("8 bits RLE", f, Colours(200));
    f = BmpFormat{};
    f.bits = 16;
    add("16 bits 5-5-5", f, Colours(300, 5, 5, 5));
    f.bitfields = true;
    f.masks[0] = 0xF800;
    f.masks[1] = 0x07E0;
    f.masks[2] = 0x001F;
    add("16 bits 5-6-5", f, Colours(300, 5, 6, 5));
    f.headerSize = 108;
    add("16 bits 5-6-5, masks in a large header", f, Colours(300, 5, 6, 5));
    f.headerSize = 40;
    f.masks[0] = 0x7C00;
    f.masks[1] = 0x03E0;
    f.masks[2] = 0x001F;
    add("16 bits 5-5-5 bit fields", f, Colours(300, 5, 5, 5));
    f = BmpFormat{};
    f.paddingByte = 0xA5;
    add("24 bits", f, Colours(500));
    f.bits = 32;
    add("32 bits, fourth byte ignored", f, Colours(500));
    f.bitfields = true;
    f.masks[0] = 0xFF000000;
    f.masks[1] = 0x00FF0000;
    f.masks[2] = 0x0000FF00;
    add("32 bits, bit fields", f, Colours(500));
    f.headerSize = 124;
    add("32 bits, bit fields in the largest header", f, Colours(500));
    f = BmpFormat{};
    f.headerSize = 12;
    for (int bits : {1, 4, 8, 24}) {
        f.bits = bits;
        add("old 12-byte header", f, Colours(bits == 24 ? 500 : 1 << std::min(bits, 7)));
    }
    return cases;
}

TEST(BitmapLoad, EveryDepthAndLayoutReadsBackItsExactColours) {
    for (const Case& c : Cases()) {
        for (const auto& [w, h] : {std::pair{13, 7}, std::pair{400, 200}}) {
            SCOPED_TRACE(testing::Message() << c.name << (c.format.topDown ? ", top-down" : "") << ", " << w << "x" << h);
            const Picture source = Pattern(w, h, c.colours);
            Picture read;
            QString error;
            ASSERT_TRUE(read.LoadFromData(EncodeBmp(source, c.format), &error)) << error.toStdString();
            ASSERT_EQ(read.Width(), w);
            ASSERT_EQ(read.Height(), h);
            EXPECT_EQ(read.GetPixel(0, 0), Colors::White);
            int wrong = 0;
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    if (!(read.GetPixel(x, y) == source.GetPixel(x, y)) && wrong++ < 3) {
                        const Rgb a = read.GetPixel(x, y), e = source.GetPixel(x, y);
                        ADD_FAILURE() << "pixel " << x << "," << y << " reads " << int(a.r) << "," << int(a.g) << ","
                                      << int(a.b) << " instead of " << int(e.r) << "," << int(e.g) << "," << int(e.b);
                    }
            EXPECT_EQ(wrong, 0);
        }
    }
}

// Sets a little-endian field of a bitmap's bytes.
void Poke32(QByteArray& b, int at, uint32_t v) {
    for (int k = 0; k < 4; ++k) b[at + k] = char((v >> (8 * k)) & 0xFF);
}
void Poke16(QByteArray& b, int at, uint32_t v) {
    b[at] = char(v & 0xFF);
    b[at + 1] = char((v >> 8) & 0xFF);
}

// Loading must fail with a reason, and leave the earlier picture as it was.
void ExpectRefused(const QByteArray& bytes, const char* reasonPart, const char* what) {
    Picture p(3, 2, Colors::Navy);
    QString error;
    EXPECT_FALSE(p.LoadFromData(bytes, &error)) << what;
    EXPECT_TRUE(error.contains(QString::fromUtf8(reasonPart))) << what << ": " << error.toStdString();
    EXPECT_EQ(p.Width(), 3) << what;
    EXPECT_EQ(p.GetPixel(2, 1), Colors::Navy) << what;
}

TEST(BitmapLoad, BrokenFilesAreRefusedWithAReason) {
    const Picture map = Pattern(400, 200, Colours(200));
    BmpFormat rle8;
    rle8.bits = 8;
    rle8.rle = true;
    const QByteArray plain = EncodeBmp(map, BmpFormat{});
    const QByteArray packed = EncodeBmp(map, rle8);

    ExpectRefused(QByteArray(), "не является рисунком BMP", "empty");
    ExpectRefused(QByteArray("hello, this is text"), "не является рисунком BMP", "text");
    ExpectRefused(plain.left(2), "обрезан", "signature only");
    ExpectRefused(plain.left(30), "обрезан", "header cut");
    ExpectRefused(plain.left(plain.size() - 100), "обрезан", "pixels cut");
    ExpectRefused(packed.left(packed.size() / 2), "обрезан", "run-length codes cut");
    const int codes = int(U32At(packed, 10));
    ExpectRefused(packed.left(codes) + QByteArray::fromHex("0002"), "обрезан", "cut before a move's two bytes");
    ExpectRefused(packed.left(codes) + QByteArray::fromHex("00050102"), "обрезан", "cut inside literal pixels");

    QByteArray b = plain;
    Poke32(b, 18, 1000000000);
    ExpectRefused(b, "недопустимые размеры", "a billion wide");
    b = plain;
    Poke32(b, 22, 0x80000000u);
    ExpectRefused(b, "недопустимые размеры", "most negative height");
    b = plain;
    Poke32(b, 18, 0);
    ExpectRefused(b, "недопустимые размеры", "zero wide");
    b = packed;
    Poke32(b, 18, 4096);
    Poke32(b, 22, 4097);
    ExpectRefused(b, "слишком велик", "more pixels than allowed");
    b = plain;
    Poke16(b, 28, 2);
    ExpectRefused(b, "глубина цвета", "two bits");
    b = plain;
    Poke16(b, 26, 0);
    ExpectRefused(b, "повреждён", "no planes");
    b = plain;
    Poke32(b, 14, 99);
    ExpectRefused(b, "формат заголовка", "header size");
    b = plain;
    Poke32(b, 30, 4);
    ExpectRefused(b, "сжатие", "embedded JPEG");
    b = plain;
    Poke32(b, 10, uint32_t(plain.size() + 10));
    ExpectRefused(b, "нет данных", "data past the end");
    b = packed;
    Poke32(b, 22, uint32_t(-200));
    ExpectRefused(b, "повреждён", "top-down run-length");
    b = EncodeBmp(Pattern(4, 4, Colours(16)), BmpFormat{.bits = 4});
    Poke32(b, 10, 54);  // the pixels start where the palette should be
    ExpectRefused(b, "палитры", "no palette");
}

TEST(BitmapLoad, RunLengthSkipsEdgesAndMissingEndAreHandled) {
    // 4 x 2, palette red and green. Move right 2 and up 1, two green pixels, end.
    const Picture two = Pattern(4, 2, {Colors::Red, Colors::Lime});
    BmpFormat rle8;
    rle8.bits = 8;
    rle8.rle = true;
    QByteArray b = EncodeBmp(two, rle8);
    const int data = int(U32At(b, 10));
    b.truncate(data);
    b.append(QByteArray::fromHex("00020201" "0201" "0001"));
    Picture p;
    ASSERT_TRUE(p.LoadFromData(b));
    // The file's first row is the bottom row; skipped pixels take the first palette colour.
    EXPECT_EQ(p.GetPixel(0, 1), Colors::Red);
    EXPECT_EQ(p.GetPixel(3, 1), Colors::Red);
    EXPECT_EQ(p.GetPixel(1, 0), Colors::Red);
    EXPECT_EQ(p.GetPixel(2, 0), Colors::Lime);
    EXPECT_EQ(p.GetPixel(3, 0), Colors::Lime);

    // A run far past the right edge and rows past the top are dropped; a
    // file that ends after its last row without the end code still reads.
    b.truncate(data);
    b.append(QByteArray::fromHex("ff01" "0000" "0000" "ff01" "0000"));
    ASSERT_TRUE(p.LoadFromData(b));
    EXPECT_EQ(p.GetPixel(3, 1), Colors::Lime);
    EXPECT_EQ(p.GetPixel(0, 0), Colors::Red);

    // Palette indices past the colours the file lists read black.
    b.truncate(data);
    b.append(QByteArray::fromHex("04c8" "0001"));
    ASSERT_TRUE(p.LoadFromData(b));
    EXPECT_EQ(p.GetPixel(0, 1), Colors::Black);
}

TEST(BitmapLoad, DamagedBytesNeverBreakTheReader) {
    // Random damage to valid files of every kind: the reader either refuses
    // or returns a picture within the limits (the sanitizer build watches the rest).
    std::mt19937 rng(7);
    for (const Case& c : Cases()) {
        const QByteArray good = EncodeBmp(Pattern(21, 9, c.colours), c.format);
        for (int round = 0; round < 60; ++round) {
            QByteArray b = good;
            const int hits = 1 + int(rng() % 6);
            for (int i = 0; i < hits; ++i) {
                // Mostly the headers, sometimes anywhere.
                const int span = (rng() % 3 == 0) ? int(b.size()) : std::min<int>(int(b.size()), 70);
                b[int(rng() % uint32_t(span))] = char(rng() & 0xFF);
            }
            if (rng() % 4 == 0) b.truncate(int(rng() % uint32_t(b.size())));
            Picture p;
            if (p.LoadFromData(b)) {
                EXPECT_GT(p.Width(), 0);
                EXPECT_LE(int64_t(p.Width()) * p.Height(), Picture::MaxPixels);
            }
        }
    }
}

TEST(BitmapLoad, FilesThatCannotBeReadAreRefusedWithAReason) {
    QTemporaryDir dir;
    Picture p(3, 2, Colors::Navy);
    QString error;
    EXPECT_FALSE(p.Load(dir.filePath(QStringLiteral("absent.bmp")), &error));
    EXPECT_EQ(error, QStringLiteral("файл не найден"));
    EXPECT_FALSE(p.Load(dir.path(), &error));
    EXPECT_EQ(error, QStringLiteral("это папка, а не файл"));
    const QString locked = dir.filePath(QStringLiteral("locked.bmp"));
    QFile f(locked);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(EncodeBmp(Pattern(4, 4, Colours(4)), BmpFormat{}));
    f.close();
    ASSERT_TRUE(p.Load(locked, &error));
    EXPECT_EQ(p.Width(), 4);
    if (ReadPermissionsApply()) {  // the superuser reads any file, Windows keeps no such bits
        QFile::setPermissions(locked, QFileDevice::Permissions());
        EXPECT_FALSE(p.Load(locked, &error));
        EXPECT_EQ(error, QStringLiteral("нет прав на чтение файла"));
    }
}

}  // namespace
