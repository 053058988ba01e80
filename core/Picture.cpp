#include "core/Picture.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstring>

#include <QFile>
#include <QFileInfo>

namespace {

uint32_t U16(const uchar* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
uint32_t U32(const uchar* p) { return U16(p) | U16(p + 2) << 16; }
int32_t S32(const uchar* p) { return static_cast<int32_t>(U32(p)); }

// Widens a channel value of the given width to 8 bits by repeating its bits,
// so that the largest value becomes 255 and 0 stays 0.
uint8_t Widen(uint32_t value, int width) {
    if (width <= 0) return 0;
    if (width >= 8) return uint8_t(value >> (width - 8));
    uint32_t out = 0;
    for (int pos = 8 - width; pos > -width; pos -= width) out |= pos >= 0 ? value << pos : value >> -pos;
    return uint8_t(out);
}

// One colour channel of a 16- or 32-bit pixel.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    int width = 0;
    explicit Channel(uint32_t m = 0) : mask(m) {
        if (m == 0) return;
        shift = std::countr_zero(m);
        width = std::bit_width(m >> shift);
    }
    uint8_t Of(uint32_t pixel) const { return Widen((pixel & mask) >> shift, width); }
};

// A Windows bitmap read from bytes: every depth, run-length encoding, bit
// fields, the old 12-byte header, rows bottom-up or top-down. Every header
// value is checked before it is used, so a crafted file can neither read
// outside the bytes nor make the reader take more than the size limits allow.
class BitmapDecoder {
public:
    explicit BitmapDecoder(const QByteArray& bytes)
        : p_(reinterpret_cast<const uchar*>(bytes.constData())), size_(bytes.size()) {}

    // Empty text on success; the reason in words otherwise.
    QString Decode(int& width, int& height, std::vector<uint8_t>& pixels);

private:
    QString ReadHeaders();
    QString DecodeRows();
    // Bytes of one uncompressed row, padded to four bytes.
    int64_t RowStride() const { return ((int64_t(width_) * bits_ + 31) / 32) * 4; }
    QString DecodeRunLengths();
    void Put(int x, int row, Rgb c) {
        // row counts from the first row in the file
        if (x < 0 || x >= width_ || row < 0 || row >= height_) return;
        const int y = topDown_ ? row : height_ - 1 - row;
        uint8_t* px = &(*out_)[(size_t(y) * size_t(width_) + size_t(x)) * 3];
        px[0] = c.r;
        px[1] = c.g;
        px[2] = c.b;
    }

    const uchar* p_;
    qint64 size_;
    int width_ = 0, height_ = 0;
    bool topDown_ = false;
    uint32_t bits_ = 0, compression_ = 0;
    qint64 dataOffset_ = 0;
    Channel red_, green_, blue_;
    Rgb palette_[256];
    std::vector<uint8_t>* out_ = nullptr;
};

QString BitmapDecoder::Decode(int& width, int& height, std::vector<uint8_t>& pixels) {
    const QString why = ReadHeaders();
    if (!why.isEmpty()) return why;
    const bool runLengths = compression_ == 1 || compression_ == 2;
    // Uncompressed rows must all be in the file before any pixel memory is taken.
    if (!runLengths && dataOffset_ + RowStride() * height_ > size_)
        return QStringLiteral("файл обрезан: данных рисунка меньше, чем указано в заголовке");
    std::vector<uint8_t> buffer(size_t(width_) * size_t(height_) * 3, 0);
    out_ = &buffer;
    const QString dataWhy = runLengths ? DecodeRunLengths() : DecodeRows();
    if (!dataWhy.isEmpty()) return dataWhy;
    width = width_;
    height = height_;
    pixels.swap(buffer);
    return QString();
}

QString BitmapDecoder::ReadHeaders() {
    const QString damaged = QStringLiteral("повреждён заголовок рисунка");
    const QString shortHeader = QStringLiteral("файл обрезан: заголовок рисунка неполон");
    if (size_ < 2 || p_[0] != 'B' || p_[1] != 'M') return QStringLiteral("файл не является рисунком BMP");
    if (size_ < 14 + 4) return shortHeader;
    const uint32_t headerSize = U32(p_ + 14);
    if (headerSize != 12 && headerSize != 16 && headerSize != 40 && headerSize != 52 && headerSize != 56 &&
        headerSize != 64 && headerSize != 108 && headerSize != 124)
        return QStringLiteral("неизвестный формат заголовка BMP (%1 байт)").arg(headerSize);
    if (size_ < 14 + qint64(headerSize)) return shortHeader;
    const bool os2 = headerSize == 16 || headerSize == 64;

    int64_t width, height;
    uint32_t planes, colorsUsed = 0;
    if (headerSize == 12) {
        width = U16(p_ + 18);
        height = static_cast<int16_t>(U16(p_ + 20));
        planes = U16(p_ + 22);
        bits_ = U16(p_ + 24);
    } else {
        width = S32(p_ + 18);
        height = S32(p_ + 22);
        planes = U16(p_ + 26);
        bits_ = U16(p_ + 28);
        if (headerSize >= 20) compression_ = U32(p_ + 30);
        if (headerSize >= 36) colorsUsed = U32(p_ + 46);
    }
    topDown_ = height < 0;
    const int64_t absHeight = topDown_ ? -height : height;
    if (width <= 0 || absHeight <= 0 || width > Picture::MaxSide || absHeight > Picture::MaxSide)
        return QStringLiteral("недопустимые размеры рисунка в заголовке (%1 × %2)").arg(width).arg(height);
    if (width * absHeight > Picture::MaxPixels)
        return QStringLiteral("рисунок слишком велик (%1 × %2)").arg(width).arg(absHeight);
    width_ = int(width);
    height_ = int(absHeight);
    if (planes != 1) return damaged + QStringLiteral(": число плоскостей %1 вместо 1").arg(planes);
    // A picture packed in another format (JPEG, PNG) declares no depth of its
    // own: name the packing, which is what we cannot read.
    const bool bitfields = (compression_ == 3 || compression_ == 6) && !os2;
    if (compression_ > 2 && !bitfields) return QStringLiteral("неподдерживаемое сжатие рисунка (%1)").arg(compression_);
    if (bits_ != 1 && bits_ != 4 && bits_ != 8 && bits_ != 16 && bits_ != 24 && bits_ != 32)
        return QStringLiteral("неподдерживаемая глубина цвета: %1 бит").arg(bits_);

    const QString depthMismatch = QStringLiteral(": %1 при глубине цвета %2 бит");
    if (compression_ == 1 && bits_ != 8) return damaged + depthMismatch.arg(QStringLiteral("сжатие RLE8")).arg(bits_);
    if (compression_ == 2 && bits_ != 4) return damaged + depthMismatch.arg(QStringLiteral("сжатие RLE4")).arg(bits_);
    if (bitfields && bits_ != 16 && bits_ != 32)
        return damaged + depthMismatch.arg(QStringLiteral("цветовые маски")).arg(bits_);
    if ((compression_ == 1 || compression_ == 2) && topDown_)
        return damaged + QStringLiteral(": сжатый рисунок записан сверху вниз");

    // Colour masks: in the header from 52 bytes on, else right after it.
    qint64 tableStart = 14 + qint64(headerSize);
    if (bitfields) {
        qint64 masksAt = 14 + 40;
        if (headerSize < 52) {
            tableStart += compression_ == 6 ? 16 : 12;
            if (tableStart > size_) return shortHeader;
        }
        red_ = Channel(U32(p_ + masksAt));
        green_ = Channel(U32(p_ + masksAt + 4));
        blue_ = Channel(U32(p_ + masksAt + 8));
        // Without a single colour bit every pixel would read black.
        if (red_.mask == 0 && green_.mask == 0 && blue_.mask == 0)
            return damaged + QStringLiteral(": все цветовые маски пусты");
    } else if (bits_ == 16) {
        red_ = Channel(0x7C00);
        green_ = Channel(0x03E0);
        blue_ = Channel(0x001F);
    } else {
        red_ = Channel(0x00FF0000);
        green_ = Channel(0x0000FF00);
        blue_ = Channel(0x000000FF);
    }

    dataOffset_ = U32(p_ + 10);
    if (dataOffset_ < tableStart) return damaged + QStringLiteral(": данные рисунка начинаются внутри заголовка");
    if (dataOffset_ > size_) return QStringLiteral("файл обрезан: нет данных рисунка");

    // The palette: as many entries as the header says, or the full table, but
    // never past the start of the pixel data. Indices past it read black.
    for (Rgb& c : palette_) c = Colors::Black;
    if (bits_ <= 8) {
        const int entry = headerSize == 12 ? 3 : 4;
        int64_t count = int64_t(1) << bits_;
        if (colorsUsed != 0 && colorsUsed < count) count = colorsUsed;
        count = std::min<int64_t>(count, (dataOffset_ - tableStart) / entry);
        if (count <= 0) return QStringLiteral("повреждён рисунок: нет палитры");
        for (int64_t i = 0; i < count; ++i) {
            const uchar* e = p_ + tableStart + i * entry;
            palette_[i] = Rgb{e[2], e[1], e[0]};
        }
    }
    return QString();
}

QString BitmapDecoder::DecodeRows() {
    const int64_t stride = RowStride();
    for (int row = 0; row < height_; ++row) {
        const uchar* line = p_ + dataOffset_ + stride * row;
        for (int x = 0; x < width_; ++x) {
            switch (bits_) {
            case 1:
            case 4:
            case 8: {
                const int bit = x * int(bits_);
                const int index = (line[bit / 8] >> (8 - int(bits_) - bit % 8)) & ((1 << bits_) - 1);
                Put(x, row, palette_[index]);
                break;
            }
            case 16: {
                const uint32_t v = U16(line + 2 * x);
                Put(x, row, Rgb{red_.Of(v), green_.Of(v), blue_.Of(v)});
                break;
            }
            case 24:
                Put(x, row, Rgb{line[3 * x + 2], line[3 * x + 1], line[3 * x]});
                break;
            default: {
                const uint32_t v = U32(line + 4 * x);
                Put(x, row, Rgb{red_.Of(v), green_.Of(v), blue_.Of(v)});
            }
            }
        }
    }
    return QString();
}

QString BitmapDecoder::DecodeRunLengths() {
    // Pixels the codes skip keep the first palette colour.
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) Put(x, y, palette_[0]);
    const bool four = bits_ == 4;
    qint64 at = dataOffset_;
    int x = 0, row = 0;
    for (;;) {
        if (at + 2 > size_) {
            // A file may end without the end-of-picture code once every row is there.
            if (row >= height_) return QString();
            return QStringLiteral("файл обрезан: сжатые данные рисунка неполны");
        }
        const int count = p_[at], value = p_[at + 1];
        at += 2;
        // Pixels past the right edge or the last row are dropped unwritten, so
        // the work stays within the picture's size however long the codes run.
        const bool inside = row < height_;
        const int room = inside ? std::max(0, width_ - x) : 0;
        if (count > 0) {
            for (int i = 0; i < std::min(count, room); ++i) {
                const int index = four ? ((i % 2 == 0) ? value >> 4 : value & 0x0F) : value;
                Put(x + i, row, palette_[index]);
            }
            x += count;
        } else if (value == 0) {  // end of line
            x = 0;
            ++row;
        } else if (value == 1) {  // end of picture
            return QString();
        } else if (value == 2) {  // move right and up
            if (at + 2 > size_) return QStringLiteral("файл обрезан: сжатые данные рисунка неполны");
            x += p_[at];
            row += p_[at + 1];
            at += 2;
        } else {  // a stretch of literal pixels, padded to an even number of bytes
            const qint64 bytes = four ? (value + 1) / 2 : value;
            if (at + bytes > size_) return QStringLiteral("файл обрезан: сжатые данные рисунка неполны");
            for (int i = 0; i < std::min(value, room); ++i) {
                const int index = four ? ((i % 2 == 0) ? p_[at + i / 2] >> 4 : p_[at + i / 2] & 0x0F) : p_[at + i];
                Put(x + i, row, palette_[index]);
            }
            x += value;
            at += bytes + (bytes % 2);
        }
        // Coordinates only grow; keep them far from overflow on endless input.
        if (x > Picture::MaxSide * 2) x = Picture::MaxSide * 2;
        if (row > Picture::MaxSide * 2) row = Picture::MaxSide * 2;
    }
}

}  // namespace

bool Picture::Load(const QString& path, QString* error) {
    auto fail = [&](const QString& why) {
        if (error) *error = why;
        return false;
    };
    const QFileInfo info(path);
    if (!info.exists()) return fail(QStringLiteral("файл не найден"));
    if (info.isDir()) return fail(QStringLiteral("это папка, а не файл"));
    // A pipe or a device could keep the reader waiting for ever, or feed it
    // without end: only a plain file is read.
    if (!info.isFile()) return fail(QStringLiteral("это не обычный файл"));
    if (info.size() > MaxFileBytes) return fail(QStringLiteral("файл слишком велик для карты"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (file.error() == QFileDevice::PermissionsError || !info.isReadable())
            return fail(QStringLiteral("нет прав на чтение файла"));
        return fail(QStringLiteral("не удалось открыть файл: %1").arg(file.errorString()));
    }
    const QByteArray bytes = file.read(MaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return fail(QStringLiteral("ошибка чтения файла: %1").arg(file.errorString()));
    if (bytes.size() > MaxFileBytes) return fail(QStringLiteral("файл слишком велик для карты"));
    return LoadFromData(bytes, error);
}

bool Picture::LoadFromData(const QByteArray& bytes, QString* error) {
    BitmapDecoder decoder(bytes);
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;
    const QString why = decoder.Decode(width, height, pixels);
    if (!why.isEmpty()) {
        if (error) *error = why;
        return false;
    }
    width_ = width;
    height_ = height;
    pixels_.swap(pixels);
    stamp_ = 0;
    return true;
}

void Picture::FromImage(const QImage& source) {
    // Non-premultiplied 32-bit keeps every colour channel as the file stores it.
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    Reset(image.width(), image.height(), Colors::Black);
    for (int y = 0; y < height_; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < width_; ++x)
            SetPixel(x, y, Rgb{uint8_t(qRed(line[x])), uint8_t(qGreen(line[x])), uint8_t(qBlue(line[x]))});
    }
}

void Picture::Reset(int width, int height, Rgb fill) {
    stamp_ = 0;
    width_ = width > 0 ? width : 0;
    height_ = height > 0 ? height : 0;
    pixels_.assign(static_cast<size_t>(width_) * static_cast<size_t>(height_) * 3, 0);
    for (size_t i = 0; i < pixels_.size(); i += 3) {
        pixels_[i] = fill.r;
        pixels_[i + 1] = fill.g;
        pixels_[i + 2] = fill.b;
    }
}

void Picture::CopyFrom(const Picture& source) {
    if (this == &source) return;
    stamp_ = 0;
    width_ = source.width_;
    height_ = source.height_;
    pixels_.assign(source.pixels_.begin(), source.pixels_.end());
}

void Picture::SurfaceFill(int x, int y, Rgb c, Rgb n) {
    if (!Contains(x, y) || c == n || !(GetPixel(x, y) == c)) return;
    stamp_ = 0;
    fillStack_.clear();
    fillStack_.push_back(y * width_ + x);
    while (!fillStack_.empty()) {
        const int32_t at = fillStack_.back();
        fillStack_.pop_back();
        const int sy = at / width_;
        const int sx = at % width_;
        if (!(GetPixel(sx, sy) == c)) continue;
        int left = sx, right = sx;
        while (left > 0 && GetPixel(left - 1, sy) == c) --left;
        while (right < width_ - 1 && GetPixel(right + 1, sy) == c) ++right;
        for (int i = left; i <= right; ++i) SetPixel(i, sy, n);
        for (int ny : {sy - 1, sy + 1}) {
            if (ny < 0 || ny >= height_) continue;
            bool inRun = false;
            for (int i = left; i <= right; ++i) {
                const bool match = GetPixel(i, ny) == c;
                if (match && !inRun) fillStack_.push_back(ny * width_ + i);
                inRun = match;
            }
        }
    }
}

void Picture::FillRun(int x, int y, int length, Rgb c) {
    if (y < 0 || y >= height_ || length <= 0) return;
    const int from = std::max(x, 0);
    const int to = int(std::min<int64_t>(int64_t(x) + length, width_));
    if (from >= to) return;
    stamp_ = 0;
    uint8_t* p = &pixels_[Index(from, y)];
    size_t n = size_t(to - from);
    if (n >= 16) {
        // Sixteen pixels at a time from one prepared stretch.
        uint8_t pattern[48];
        for (int i = 0; i < 48; i += 3) {
            pattern[i] = c.r;
            pattern[i + 1] = c.g;
            pattern[i + 2] = c.b;
        }
        for (; n >= 16; n -= 16, p += 48) std::memcpy(p, pattern, 48);
    }
    for (; n > 0; --n, p += 3) {
        p[0] = c.r;
        p[1] = c.g;
        p[2] = c.b;
    }
}

uint64_t Picture::Stamp() const {
    static std::atomic<uint64_t> last{0};
    if (stamp_ == 0) stamp_ = last.fetch_add(1, std::memory_order_relaxed) + 1;
    return stamp_;
}

QImage Picture::ToImage() const {
    QImage image(width_, height_, QImage::Format_RGB888);
    for (int y = 0; y < height_; ++y)
        std::memcpy(image.scanLine(y), &pixels_[Index(0, y)], static_cast<size_t>(width_) * 3);
    return image;
}
