#include "core/Picture.h"
#include <cstring>

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace {

uint32_t U16(const uchar* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
uint32_t U32(const uchar* p) { return U16(p) | U16(p + 2) << 16; }
int32_t S32(const uchar* p) { return static_cast<int32_t>(U32(p)); }

// Checks the headers of a Windows bitmap before the image reader sees it, so
// that a crafted header can neither make it take huge memory nor pass a
// truncated file off as a picture. Returns an empty text when the file looks sound.
QString CheckBitmapHeader(const QByteArray& bytes) {
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
    const qint64 size = bytes.size();
    if (size < 2 || p[0] != 'B' || p[1] != 'M')
        return QStringLiteral("файл не является рисунком BMP");
    if (size < 14 + 12) return QStringLiteral("файл обрезан: заголовок рисунка неполон");
    const uint32_t dataOffset = U32(p + 10);
    const uint32_t headerSize = U32(p + 14);
    if (headerSize != 12 && headerSize != 16 && headerSize != 40 && headerSize != 52 &&
        headerSize != 56 && headerSize != 64 && headerSize != 108 && headerSize != 124)
        return QStringLiteral("неизвестный формат заголовка BMP (%1 байт)").arg(headerSize);
    if (size < 14 + qint64(headerSize)) return QStringLiteral("файл обрезан: заголовок рисунка неполон");

    int64_t width, height;
    uint32_t planes, bits, compression = 0;
    if (headerSize == 12) {
        width = U16(p + 18);
        height = static_cast<int16_t>(U16(p + 20));
        planes = U16(p + 22);
        bits = U16(p + 24);
    } else {
        width = S32(p + 18);
        height = S32(p + 22);
        planes = U16(p + 26);
        bits = U16(p + 28);
        if (headerSize >= 20) compression = U32(p + 30);
    }
    const int64_t absHeight = height < 0 ? -height : height;
    if (width <= 0 || absHeight <= 0 || width > Picture::MaxSide || absHeight > Picture::MaxSide)
        return QStringLiteral("недопустимые размеры рисунка в заголовке (%1 × %2)").arg(width).arg(height);
    if (planes != 1) return QStringLiteral("повреждён заголовок рисунка");
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return QStringLiteral("неподдерживаемая глубина цвета: %1 бит").arg(bits);
    const bool rle = compression == 1 || compression == 2;
    if (compression == 1 && bits != 8) return QStringLiteral("повреждён заголовок рисунка");
    if (compression == 2 && bits != 4) return QStringLiteral("повреждён заголовок рисунка");
    if (compression != 0 && !rle && compression != 3 && compression != 6)
        return QStringLiteral("неподдерживаемое сжатие рисунка (%1)").arg(compression);
    if (rle && height < 0) return QStringLiteral("повреждён заголовок рисунка");
    if (dataOffset < 14 + headerSize || dataOffset > size)
        return QStringLiteral("файл обрезан: нет данных рисунка");
    if (!rle) {
        const int64_t stride = ((width * bits + 31) / 32) * 4;
        if (int64_t(dataOffset) + stride * absHeight > size)
            return QStringLiteral("файл обрезан: данных рисунка меньше, чем указано в заголовке");
    }
    return QString();
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
    const QString why = CheckBitmapHeader(bytes);
    if (!why.isEmpty()) {
        if (error) *error = why;
        return false;
    }
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    reader.setAllocationLimit(256);  // megabytes; the header check keeps real pictures far below
    QImage image;
    if (!reader.read(&image) || image.isNull()) {
        if (error) *error = QStringLiteral("файл повреждён: %1").arg(reader.errorString());
        return false;
    }
    FromImage(image);
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
    width_ = source.width_;
    height_ = source.height_;
    pixels_.assign(source.pixels_.begin(), source.pixels_.end());
}

void Picture::SurfaceFill(int x, int y, Rgb c, Rgb n) {
    if (!Contains(x, y) || c == n || !(GetPixel(x, y) == c)) return;
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

QImage Picture::ToImage() const {
    QImage image(width_, height_, QImage::Format_RGB888);
    for (int y = 0; y < height_; ++y)
        std::memcpy(image.scanLine(y), &pixels_[Index(0, y)], static_cast<size_t>(width_) * 3);
    return image;
}
