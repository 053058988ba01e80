// A picture as a buffer of 32-bit pixels laid out as QImage::Format_RGB32
// keeps them, so that the window shows it without converting a pixel: the map
// and the marks painted on it. Colours are compared for exact equality, never
// by nearness.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include <QImage>
#include <QString>

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    friend constexpr bool operator==(Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; }
};

namespace Colors {
constexpr Rgb White{255, 255, 255};
constexpr Rgb Black{0, 0, 0};
constexpr Rgb Red{255, 0, 0};
constexpr Rgb Maroon{128, 0, 0};
constexpr Rgb Yellow{255, 255, 0};
constexpr Rgb Green{0, 128, 0};
constexpr Rgb Lime{0, 255, 0};
constexpr Rgb Aqua{0, 255, 255};
constexpr Rgb Navy{0, 0, 128};
constexpr Rgb Purple{128, 0, 128};
constexpr Rgb Blue{0, 0, 255};
}  // namespace Colors

class Picture {
public:
    // One pixel in memory: 0xFFRRGGBB in a 32-bit word, the opaque top byte
    // included, so that two pixels are the same colour exactly when their
    // words are equal.
    using Pixel = uint32_t;
    static constexpr Pixel PixelOf(Rgb c) {
        return 0xFF000000u | uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | uint32_t(c.b);
    }
    static constexpr Rgb RgbOf(Pixel p) { return Rgb{uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)}; }
    // count pixels from first take value, sixteen bytes a store, the last
    // store moved back to end at the last pixel (no loop over a short tail).
    static void FillPixels(Pixel* first, size_t count, Pixel value) {
        if (count < 4) {
            for (size_t i = 0; i < count; ++i) first[i] = value;
            return;
        }
        const Pixel four[4] = {value, value, value, value};
        for (size_t i = 0; i + 4 < count; i += 4) std::memcpy(first + i, four, sizeof four);
        std::memcpy(first + count - 4, four, sizeof four);
    }

    // Largest side, pixel count and file size a picture may have; anything
    // larger is refused before any pixel memory is taken.
    static constexpr int MaxSide = 8192;
    static constexpr int64_t MaxPixels = int64_t(4096) * 4096;
    static constexpr qint64 MaxFileBytes = 64 * 1024 * 1024;

    Picture() = default;
    Picture(int width, int height, Rgb fill = Colors::White) { Reset(width, height, fill); }
    // A copy shares the pixels until either picture changes, and keeps the
    // stamp: the pixels are the same.
    Picture(const Picture& other);
    Picture& operator=(const Picture& other);
    // A move hands the pixels and their stamp over; the picture moved from is
    // left empty, and asked for its stamp it gives a new one.
    Picture(Picture&& other) noexcept;
    Picture& operator=(Picture&& other) noexcept;

    // Reads a Windows bitmap of any colour depth (1, 4, 8, 16, 24 or 32 bits,
    // run-length encoded too). On failure the picture is left unchanged and
    // *error (when given) holds the reason in words for the player.
    bool Load(const QString& path, QString* error = nullptr);
    // The same from bytes already in memory.
    bool LoadFromData(const QByteArray& bytes, QString* error = nullptr);

    void Reset(int width, int height, Rgb fill = Colors::White);
    bool IsEmpty() const { return width_ == 0 || height_ == 0; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

    Rgb GetPixel(int x, int y) const { return RgbOf(data_[Index(x, y)]); }
    void SetPixel(int x, int y, Rgb c) { WritableBits()[Index(x, y)] = PixelOf(c); }

    // Pixels x .. x + length - 1 of row y take colour c; the part of the run
    // that lies outside the picture is left out.
    void FillRun(int x, int y, int length, Rgb c);

    // If the seed has colour c, every pixel of colour c connected to it through
    // edge-sharing neighbours (never diagonals) takes colour n. Otherwise, or
    // when n = c, nothing changes. Works with an explicit stack.
    void SurfaceFill(int x, int y, Rgb c, Rgb n);

    // An independent copy of source; reuses this picture's memory when it can.
    void CopyFrom(const Picture& source);
    // True when both pictures have the same size and every pixel alike.
    bool SamePixels(const Picture& other) const;

    // The picture as an image for showing at one screen pixel per picture
    // pixel: the pixel buffer itself, shared and not converted. A later
    // change of the picture leaves the image as it was.
    QImage ToImage() const {
        shared_ = true;
        return image_;
    }
    // Takes the pixels of any image exactly.
    void FromImage(const QImage& image);

    // The pixels, Width() to a row and the rows one after another with no gap
    // between them: pixel (x, y) at y * Width() + x.
    const Pixel* Bits() const { return data_; }
    const Pixel* Row(int y) const { return data_ + size_t(y) * size_t(width_); }
    // The same for writing: the picture counts as changed. Holds while no
    // other member but Bits, Row, GetPixel and the sizes is called and no
    // image of the picture is taken. Every pixel written must be PixelOf a colour.
    Pixel* WritableBits() {
        stamp_ = 0;
        if (shared_) Unshare();
        return data_;
    }
    // The picture takes the size width x height with its pixels unspecified,
    // for the caller to write every one of them through the pointer returned
    // (as from WritableBits). Keeps its memory when the size stays.
    Pixel* Resize(int width, int height);

    // A number naming the present pixels: two calls return the same number
    // only if no pixel of this picture changed between them (loading, a fill,
    // a copy into it, a single pixel). Work derived from a picture can keep
    // the number and tell cheaply whether it still holds.
    uint64_t Stamp() const;

private:
    size_t Index(int x, int y) const { return static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x); }
    // Takes the pixels for this picture alone, copying them if an image or
    // another picture shares them.
    void Unshare();
    // Room for width x height pixels of unspecified colour, this picture's
    // own memory kept when it fits and no image shares it.
    void Allocate(int width, int height);

    int width_ = 0;
    int height_ = 0;
    QImage image_;               // Format_RGB32, Width() pixels to a row with no padding; null when empty
    Pixel* data_ = nullptr;      // image_'s pixels
    mutable uint64_t stamp_ = 0;  // 0 until asked for after a change
    mutable bool shared_ = false;  // an image or another picture may share the pixels
    std::vector<int32_t> fillStack_;  // kept between fills, so repaints allocate nothing
};
