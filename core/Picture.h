// A picture as a 24-bit RGB pixel buffer: the map and the marks painted on it.
// Colours are compared for exact equality, never by nearness.
#pragma once

#include <cstdint>
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
    // Largest side, pixel count and file size a picture may have; anything
    // larger is refused before any pixel memory is taken.
    static constexpr int MaxSide = 8192;
    static constexpr int64_t MaxPixels = int64_t(4096) * 4096;
    static constexpr qint64 MaxFileBytes = 64 * 1024 * 1024;

    Picture() = default;
    Picture(int width, int height, Rgb fill = Colors::White) { Reset(width, height, fill); }

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

    Rgb GetPixel(int x, int y) const {
        const uint8_t* p = &pixels_[Index(x, y)];
        return Rgb{p[0], p[1], p[2]};
    }
    void SetPixel(int x, int y, Rgb c) {
        stamp_ = 0;
        uint8_t* p = &pixels_[Index(x, y)];
        p[0] = c.r;
        p[1] = c.g;
        p[2] = c.b;
    }

    // Pixels x .. x + length - 1 of row y take colour c; the part of the run
    // that lies outside the picture is left out.
    void FillRun(int x, int y, int length, Rgb c);

    // If the seed has colour c, every pixel of colour c connected to it through
    // edge-sharing neighbours (never diagonals) takes colour n. Otherwise, or
    // when n = c, nothing changes. Works with an explicit stack.
    void SurfaceFill(int x, int y, Rgb c, Rgb n);

    // An independent copy of source; reuses this picture's memory when it can.
    void CopyFrom(const Picture& source);

    // The picture as an image for showing at one screen pixel per picture pixel.
    QImage ToImage() const;
    // Takes the pixels of any image exactly.
    void FromImage(const QImage& image);

    const uint8_t* Bits() const { return pixels_.data(); }

    // A number naming the present pixels: two calls return the same number
    // only if no pixel of this picture changed between them (loading, a fill,
    // a copy into it, a single pixel). Work derived from a picture can keep
    // the number and tell cheaply whether it still holds.
    uint64_t Stamp() const;

private:
    size_t Index(int x, int y) const {
        return (static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x)) * 3;
    }

    int width_ = 0;
    int height_ = 0;
    std::vector<uint8_t> pixels_;
    mutable uint64_t stamp_ = 0;  // 0 until asked for after a change
    std::vector<int32_t> fillStack_;  // kept between fills, so repaints allocate nothing
};
