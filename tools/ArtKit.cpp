#include "ArtKit.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <QLinearGradient>
#include <QRadialGradient>

#include <jpeglib.h>

#include "BmpFile.h"

namespace assets {

C3 Hex(uint32_t rgb) {
    return C3{double((rgb >> 16) & 0xFF) / 255.0, double((rgb >> 8) & 0xFF) / 255.0, double(rgb & 0xFF) / 255.0};
}
C3 Mix(C3 a, C3 b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return C3{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
C3 Scale(C3 c, double k) { return C3{c.r * k, c.g * k, c.b * k}; }
C3 Add(C3 a, C3 b) { return C3{a.r + b.r, a.g + b.g, a.b + b.b}; }
static int Channel(double v) { return std::clamp(int(std::lround(v * 255.0)), 0, 255); }
QRgb ToRgb(C3 c) { return qRgb(Channel(c.r), Channel(c.g), Channel(c.b)); }
C3 FromRgb(QRgb c) { return C3{qRed(c) / 255.0, qGreen(c) / 255.0, qBlue(c) / 255.0}; }
QColor ToQColor(C3 c, int alpha) { return QColor(Channel(c.r), Channel(c.g), Channel(c.b), alpha); }

QPainterPath ShieldPath() {
    QPainterPath s;
    s.moveTo(0, 0);
    s.lineTo(1, 0);
    s.lineTo(1, 0.5);
    s.cubicTo(1, 0.86, 0.78, 1.06, 0.5, 1.2);
    s.cubicTo(0.22, 1.06, 0, 0.86, 0, 0.5);
    s.closeSubpath();
    return s;
}

QPainterPath StarPath(QPointF centre, double outer, double inner) {
    QPainterPath star;
    for (int i = 0; i < 10; ++i) {
        const double a = -M_PI / 2 + i * M_PI / 5;
        const double r = (i % 2) ? inner : outer;
        const QPointF pt(centre.x() + r * std::cos(a), centre.y() + r * std::sin(a));
        if (i == 0) star.moveTo(pt);
        else star.lineTo(pt);
    }
    star.closeSubpath();
    return star;
}

namespace {

QLinearGradient Gold(QPointF from, QPointF to) {
    QLinearGradient g(from, to);
    g.setColorAt(0.0, QColor(0xff, 0xf0, 0xb0));
    g.setColorAt(0.35, QColor(0xf0, 0xc2, 0x4a));
    g.setColorAt(0.7, QColor(0xc4, 0x8a, 0x22));
    g.setColorAt(1.0, QColor(0x8a, 0x5a, 0x12));
    return g;
}

// A tower with merlons: body from top to bottom, merlons standing on top.
void AddTower(QPainterPath& path, double left, double right, double top, double bottom, int merlons) {
    path.addRect(QRectF(left, top, right - left, bottom - top));
    const double step = (right - left) / (2 * merlons - 1);
    for (int i = 0; i < merlons; ++i)
        path.addRect(QRectF(left + 2 * i * step, top - step * 0.9, step, step * 0.9 + 0.002));
}

QPainterPath CastleCharge() {
    QPainterPath c;
    c.setFillRule(Qt::WindingFill);
    AddTower(c, 0.24, 0.76, 0.66, 0.93, 5);   // curtain wall
    AddTower(c, 0.18, 0.35, 0.47, 0.93, 3);   // left tower
    AddTower(c, 0.65, 0.82, 0.47, 0.93, 3);   // right tower
    AddTower(c, 0.41, 0.59, 0.37, 0.70, 3);   // keep
    return c.simplified();
}

QPainterPath ArchPath(double left, double right, double top, double bottom) {
    QPainterPath a;
    const double w = right - left;
    a.moveTo(left, bottom);
    a.lineTo(left, top + w / 2);
    a.arcTo(QRectF(left, top, w, w), 180, -180);
    a.lineTo(right, bottom);
    a.closeSubpath();
    return a;
}

}  // namespace

void DrawArms(QPainter& p, const QRectF& box) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(box.topLeft());
    p.scale(box.width(), box.width());
    const QPainterPath shield = ShieldPath();

    // Shadow cast on whatever lies behind.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawPath(shield.translated(0.025, 0.035));

    p.save();
    p.setClipPath(shield);
    // Field azure with a faint lozenge damask.
    QLinearGradient field(0, 0, 1, 1.2);
    field.setColorAt(0, QColor(0x3a, 0x6c, 0xc4));
    field.setColorAt(1, QColor(0x12, 0x27, 0x5e));
    p.fillRect(QRectF(0, 0, 1, 1.2), field);
    p.setPen(QPen(QColor(255, 255, 255, 22), 0.006));
    for (double d = -1.2; d < 1.2; d += 0.09) {
        p.drawLine(QPointF(d, 0), QPointF(d + 1.2, 1.2));
        p.drawLine(QPointF(d + 1.2, 0), QPointF(d, 1.2));
    }
    // Chief gules.
    QLinearGradient chief(0, 0, 0, 0.3);
    chief.setColorAt(0, QColor(0xd6, 0x34, 0x30));
    chief.setColorAt(1, QColor(0x8c, 0x14, 0x16));
    p.fillRect(QRectF(0, 0, 1, 0.29), chief);
    p.setPen(QPen(QColor(0x3a, 0x08, 0x08), 0.008));
    p.drawLine(QPointF(0, 0.29), QPointF(1, 0.29));
    // Three mullets argent.
    QLinearGradient silver(0, 0.07, 0, 0.23);
    silver.setColorAt(0, QColor(0xff, 0xff, 0xff));
    silver.setColorAt(1, QColor(0xa8, 0xb2, 0xc0));
    p.setBrush(silver);
    p.setPen(QPen(QColor(0x40, 0x10, 0x10), 0.007));
    for (double x : {0.2, 0.5, 0.8}) p.drawPath(StarPath(QPointF(x, 0.148), 0.085, 0.036));

    // The castle Or, masoned, its gate and windows showing the field.
    const QPainterPath castle = CastleCharge();
    p.setBrush(Gold(QPointF(0.2, 0.3), QPointF(0.8, 0.95)));
    p.setPen(QPen(QColor(0x4a, 0x2c, 0x06), 0.009));
    p.drawPath(castle);
    p.save();
    p.setClipPath(castle, Qt::IntersectClip);
    p.setPen(QPen(QColor(0x6a, 0x40, 0x08, 120), 0.004));
    int row = 0;
    for (double y = 0.36; y < 0.94; y += 0.038, ++row) {
        p.drawLine(QPointF(0, y), QPointF(1, y));
        for (double x = (row % 2) ? 0.03 : 0.0; x < 1; x += 0.065) p.drawLine(QPointF(x, y), QPointF(x, y + 0.038));
    }
    p.restore();
    p.setBrush(QColor(0x10, 0x22, 0x52));
    p.setPen(QPen(QColor(0x4a, 0x2c, 0x06), 0.007));
    p.drawPath(ArchPath(0.44, 0.56, 0.77, 0.93));
    for (double x : {0.245, 0.475, 0.705}) {
        const double top = x == 0.475 ? 0.45 : 0.56;
        p.drawPath(ArchPath(x, x + 0.05, top, top + 0.09));
    }

    // Light from the upper left, shade to the lower right.
    QRadialGradient light(QPointF(0.25, 0.2), 0.9);
    light.setColorAt(0, QColor(255, 255, 255, 60));
    light.setColorAt(0.5, QColor(255, 255, 255, 0));
    light.setColorAt(1, QColor(0, 0, 0, 90));
    p.fillRect(QRectF(0, 0, 1, 1.2), light);
    p.restore();

    // Bordure: a gold rim between two dark lines.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x2a, 0x18, 0x04), 0.075, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.drawPath(shield);
    p.setPen(QPen(QBrush(Gold(QPointF(0, 0), QPointF(1, 1.2))), 0.05, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.drawPath(shield);
    p.setPen(QPen(QColor(255, 250, 210, 120), 0.01, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.drawPath(shield.translated(-0.006, -0.006));
    p.restore();
}

void DrawCoronet(QPainter& p, double cx, double baseY, double width) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(cx - width / 2, baseY);
    p.scale(width, width);
    // Velvet cap behind the points.
    QLinearGradient velvet(0, -0.4, 0, 0);
    velvet.setColorAt(0, QColor(0xc0, 0x20, 0x28));
    velvet.setColorAt(1, QColor(0x5a, 0x06, 0x0c));
    p.setPen(Qt::NoPen);
    p.setBrush(velvet);
    p.save();
    p.setClipRect(QRectF(0, -1, 1, 0.9));  // the cap shows only above the band
    p.drawEllipse(QRectF(0.08, -0.42, 0.84, 0.6));
    p.restore();

    const QPen outline(QColor(0x3a, 0x22, 0x04), 0.012);
    p.setPen(outline);
    p.setBrush(Gold(QPointF(0, -0.5), QPointF(0.4, 0.05)));
    QPainterPath points;
    const double xs[5] = {0.06, 0.28, 0.5, 0.72, 0.94};
    const double hs[5] = {0.26, 0.34, 0.42, 0.34, 0.26};
    for (int i = 0; i < 5; ++i) {
        points.moveTo(xs[i] - 0.07, -0.1);
        points.lineTo(xs[i], -hs[i]);
        points.lineTo(xs[i] + 0.07, -0.1);
        points.closeSubpath();
    }
    p.drawPath(points.simplified());
    // Pearls on the points.
    QRadialGradient pearl(QPointF(-0.01, -0.01), 0.05);
    pearl.setColorAt(0, QColor(0xff, 0xff, 0xff));
    pearl.setColorAt(1, QColor(0xb8, 0xb0, 0xa0));
    for (int i = 0; i < 5; ++i) {
        p.save();
        p.translate(xs[i], -hs[i] - 0.035);
        p.setBrush(pearl);
        p.drawEllipse(QPointF(0, 0), 0.042, 0.042);
        p.restore();
    }
    // The band with its gems.
    p.setBrush(Gold(QPointF(0, -0.14), QPointF(0, 0.06)));
    p.drawRoundedRect(QRectF(0, -0.14, 1, 0.16), 0.03, 0.03);
    const QColor gems[5] = {QColor(0x20, 0x50, 0xc0), QColor(0xc0, 0x10, 0x20), QColor(0x10, 0x90, 0x50),
                            QColor(0xc0, 0x10, 0x20), QColor(0x20, 0x50, 0xc0)};
    for (int i = 0; i < 5; ++i) {
        p.setBrush(gems[i]);
        p.drawEllipse(QPointF(0.1 + i * 0.2, -0.06), i == 2 ? 0.05 : 0.036, 0.045);
        p.setBrush(QColor(255, 255, 255, 150));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(0.09 + i * 0.2, -0.075), 0.012, 0.01);
        p.setPen(outline);
    }
    p.restore();
}

bool WriteJpeg(const QImage& image, const std::string& path, int quality) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    jpeg_compress_struct c;
    jpeg_error_mgr e;
    c.err = jpeg_std_error(&e);
    jpeg_create_compress(&c);
    jpeg_stdio_dest(&c, f);
    c.image_width = JDIMENSION(rgb.width());
    c.image_height = JDIMENSION(rgb.height());
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, quality, TRUE);
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb.constScanLine(int(c.next_scanline)));
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    return std::fclose(f) == 0;
}

bool WriteBmp(const QImage& image, const std::string& path) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    RgbGrid grid{rgb.width(), rgb.height(), {}};
    grid.pixels.reserve(size_t(rgb.width()) * size_t(rgb.height()));
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x) grid.pixels.push_back(rgb.pixel(x, y) & 0xFFFFFF);
    return WriteBmp24(grid, path);
}

}  // namespace assets
