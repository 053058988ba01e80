#include "support/TestMaps.h"

#include <QDir>
#include <QFile>

#include "core/DataPath.h"

Picture BlankMap(Rgb fill) { return Picture(400, 200, fill); }

void VerticalLine(Picture& p, int x, int width, Rgb c) {
    for (int i = x; i < x + width; ++i)
        for (int y = 0; y < p.Height(); ++y)
            if (p.Contains(i, y)) p.SetPixel(i, y, c);
}

void HorizontalLine(Picture& p, int y, int width, Rgb c) {
    for (int j = y; j < y + width; ++j)
        for (int x = 0; x < p.Width(); ++x)
            if (p.Contains(x, j)) p.SetPixel(x, j, c);
}

void FillRect(Picture& p, int x, int y, int w, int h, Rgb c) {
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i)
            if (p.Contains(i, j)) p.SetPixel(i, j, c);
}

std::vector<Picture> BundledMapPictures() {
    std::vector<Picture> maps;
    const QDir folder(DataFilePath(QStringLiteral("maps")));
    for (const QString& name : folder.entryList({QStringLiteral("*.bmp")}, QDir::Files, QDir::Name)) {
        Picture p;
        if (p.Load(folder.filePath(name))) maps.push_back(std::move(p));
    }
    return maps;
}

Picture StripMap(int n) {
    Picture p = BlankMap();
    for (int k = 1; k < n; ++k) VerticalLine(p, k * 400 / n);
    return p;
}

bool SaveBmp24(const Picture& p, const QString& path) {
    const int stride = (p.Width() * 3 + 3) / 4 * 4;
    const int dataSize = stride * p.Height();
    QByteArray out(54 + dataSize, '\0');
    auto put16 = [&](int at, uint32_t v) {
        out[at] = char(v & 0xFF);
        out[at + 1] = char((v >> 8) & 0xFF);
    };
    auto put32 = [&](int at, uint32_t v) {
        put16(at, v & 0xFFFF);
        put16(at + 2, v >> 16);
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, uint32_t(out.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, uint32_t(p.Width()));
    put32(22, uint32_t(p.Height()));
    put16(26, 1);
    put16(28, 24);
    put32(34, uint32_t(dataSize));
    for (int y = 0; y < p.Height(); ++y) {
        char* row = out.data() + 54 + (p.Height() - 1 - y) * stride;
        for (int x = 0; x < p.Width(); ++x) {
            const Rgb c = p.GetPixel(x, y);
            row[x * 3] = char(c.b);
            row[x * 3 + 1] = char(c.g);
            row[x * 3 + 2] = char(c.r);
        }
    }
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(out) == out.size();
}
