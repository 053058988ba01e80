#include "core/Picture.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cstring>
#include <utility>

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

    // Empty text on success; the reason in words otherwise. The image is
    // Format_RGB32, every pixel opaque.
    QString Decode(QImage& image);

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
        out_[size_t(y) * size_t(width_) + size_t(x)] = Picture::PixelOf(c);
    }

    const uchar* p_;
    qint64 size_;
    int width_ = 0, height_ = 0;
    bool topDown_ = false;
    uint32_t bits_ = 0, compression_ = 0;
    qint64 dataOffset_ = 0;
    Channel red_, green_, blue_;
    Rgb palette_[256];
    Picture::Pixel* out_ = nullptr;
};

QString BitmapDecoder::Decode(QImage& image) {
    const QString why = ReadHeaders();
    if (!why.isEmpty()) return why;
    const bool runLengths = compression_ == 1 || compression_ == 2;
    // Uncompressed rows must all be in the file before any pixel memory is taken.
    if (!runLengths && dataOffset_ + RowStride() * height_ > size_)
        return QStringLiteral("файл обрезан: данных рисунка меньше, чем указано в заголовке");
    QImage buffer(width_, height_, QImage::Format_RGB32);
    if (buffer.isNull()) return QStringLiteral("недостаточно памяти для рисунка");
    // Rows of 32-bit pixels are never padded.
    out_ = reinterpret_cast<Picture::Pixel*>(buffer.bits());
    buffer.fill(Picture::PixelOf(Colors::Black));
    const QString dataWhy = runLengths ? DecodeRunLengths() : DecodeRows();
    if (!dataWhy.isEmpty()) return dataWhy;
    image.swap(buffer);
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

Picture::Picture(const Picture& other)
    : width_(other.width_),
      height_(other.height_),
      image_(other.image_),
      data_(other.data_),
      stamp_(other.stamp_),
      shared_(true) {
    other.shared_ = true;
}

Picture& Picture::operator=(const Picture& other) {
    if (this == &other) return *this;
    width_ = other.width_;
    height_ = other.height_;
    image_ = other.image_;
    data_ = other.data_;
    stamp_ = other.stamp_;
    shared_ = true;
    other.shared_ = true;
    return *this;
}

Picture::Picture(Picture&& other) noexcept
    : width_(std::exchange(other.width_, 0)),
      height_(std::exchange(other.height_, 0)),
      image_(std::move(other.image_)),
      data_(std::exchange(other.data_, nullptr)),
      stamp_(std::exchange(other.stamp_, 0)),
      shared_(std::exchange(other.shared_, false)),
      fillStack_(std::move(other.fillStack_)) {
    other.image_ = QImage();
}

Picture& Picture::operator=(Picture&& other) noexcept {
    if (this == &other) return *this;
    width_ = std::exchange(other.width_, 0);
    height_ = std::exchange(other.height_, 0);
    image_ = std::move(other.image_);
    other.image_ = QImage();
    data_ = std::exchange(other.data_, nullptr);
    stamp_ = std::exchange(other.stamp_, 0);
    shared_ = std::exchange(other.shared_, false);
    fillStack_.swap(other.fillStack_);
    return *this;
}

bool Picture::LoadFromData(const QByteArray& bytes, QString* error) {
    BitmapDecoder decoder(bytes);
    QImage image;
    const QString why = decoder.Decode(image);
    if (!why.isEmpty()) {
        if (error) *error = why;
        return false;
    }
    width_ = image.width();
    height_ = image.height();
    image_.swap(image);
    data_ = reinterpret_cast<Pixel*>(image_.bits());
    stamp_ = 0;
    shared_ = false;
    return true;
}

void Picture::FromImage(const QImage& source) {
    // Non-premultiplied 32-bit keeps every colour channel as the file stores it.
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    Allocate(image.width(), image.height());
    for (int y = 0; y < height_; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        Pixel* out = data_ + size_t(y) * size_t(width_);
        for (int x = 0; x < width_; ++x) out[x] = line[x] | 0xFF000000u;
    }
}

void Picture::Allocate(int width, int height) {
    stamp_ = 0;
    width = width > 0 ? width : 0;
    height = height > 0 ? height : 0;
    if (width == 0 || height == 0) {
        width = height = 0;
        image_ = QImage();
    } else if (width != width_ || height != height_ || image_.isNull() || !image_.isDetached()) {
        image_ = QImage(width, height, QImage::Format_RGB32);
        if (image_.isNull()) width = height = 0;  // no memory for it
    }
    width_ = width;
    height_ = height;
    data_ = reinterpret_cast<Pixel*>(image_.bits());
    shared_ = false;
}

Picture::Pixel* Picture::Resize(int width, int height) {
    Allocate(width, height);
    return data_;
}

void Picture::Unshare() {
    // Taking the bits parts this picture from any image that shares them.
    data_ = reinterpret_cast<Pixel*>(image_.bits());
    shared_ = false;
}

void Picture::Reset(int width, int height, Rgb fill) {
    Allocate(width, height);
    FillPixels(data_, size_t(width_) * size_t(height_), PixelOf(fill));
}

void Picture::CopyFrom(const Picture& source) {
    if (this == &source) return;
    Allocate(source.width_, source.height_);
    if (width_ == source.width_ && height_ == source.height_)
        std::copy_n(source.data_, size_t(width_) * size_t(height_), data_);
}

bool Picture::SamePixels(const Picture& other) const {
    return width_ == other.width_ && height_ == other.height_ &&
           std::equal(data_, data_ + size_t(width_) * size_t(height_), other.data_);
}

void Picture::SurfaceFill(int x, int y, Rgb c, Rgb n) {
    if (!Contains(x, y) || c == n || !(GetPixel(x, y) == c)) return;
    Pixel* const p = WritableBits();
    const Pixel from = PixelOf(c), to = PixelOf(n);
    const int w = width_;
    fillStack_.clear();
    fillStack_.push_back(y * w + x);
    while (!fillStack_.empty()) {
        const int32_t at = fillStack_.back();
        fillStack_.pop_back();
        if (p[at] != from) continue;
        const int sy = at / w;
        Pixel* const row = p + size_t(sy) * size_t(w);
        int left = at % w, right = left;
        while (left > 0 && row[left - 1] == from) --left;
        while (right < w - 1 && row[right + 1] == from) ++right;
        FillPixels(row + left, size_t(right + 1 - left), to);
        for (int ny : {sy - 1, sy + 1}) {
            if (ny < 0 || ny >= height_) continue;
            const Pixel* const next = p + size_t(ny) * size_t(w);
            bool inRun = false;
            for (int i = left; i <= right; ++i) {
                const bool match = next[i] == from;
                if (match && !inRun) fillStack_.push_back(ny * w + i);
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
    Pixel* const row = WritableBits() + size_t(y) * size_t(width_);
    FillPixels(row + from, size_t(to - from), PixelOf(c));
}

uint64_t Picture::Stamp() const {
    static std::atomic<uint64_t> last{0};
    if (stamp_ == 0) stamp_ = last.fetch_add(1, std::memory_order_relaxed) + 1;
    return stamp_;
}
