// Paints the pictures of the game into an assets folder:
//   pictures/startmenu.bmp  the start menu: a castle on a rise at dusk
//   pictures/author.jpg     the About-author picture: the arms of the march
//   pictures/marchfell.png  the program's icon
//
//   make_art <assets folder>
//
// Everything is drawn from shapes, gradients and seeded noise.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include "ArtKit.h"
#include "Noise.h"

namespace {

using namespace assets;

// ---------------------------------------------------------------- start menu

constexpr int MenuW = 512;
constexpr int MenuH = 335;
constexpr double SunX = 112, SunY = 146;
constexpr double HorizonY = 214;
constexpr double CastleX = -30;  // the castle stands left of the title

C3 SkyAt(double y) {
    struct Stop {
        double at;
        uint32_t rgb;
    };
    static const Stop stops[] = {{0, 0x0c0a22},   {0.28, 0x221a48}, {0.5, 0x4a2a5c}, {0.68, 0x8a3c5c},
                                 {0.82, 0xd0674a}, {0.93, 0xf2a45a}, {1.0, 0xf8cc80}};
    const double t = std::clamp(y / HorizonY, 0.0, 1.0);
    for (size_t i = 1; i < std::size(stops); ++i)
        if (t <= stops[i].at)
            return Mix(Hex(stops[i - 1].rgb), Hex(stops[i].rgb),
                       (t - stops[i - 1].at) / (stops[i].at - stops[i - 1].at));
    return Hex(stops[std::size(stops) - 1].rgb);
}

// Warm light of the setting sun reaching a point, 0..1.
double SunGlow(double x, double y) {
    const double dx = (x - SunX) / 1.6, dy = y - SunY;
    const double d = std::sqrt(dx * dx + dy * dy);
    return 0.75 * std::exp(-d / 55.0) + 0.25 * std::exp(-d / 160.0);
}

void PaintSky(QImage& img) {
    Rng rng(71);
    for (int y = 0; y < MenuH; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < MenuW; ++x) {
            C3 c = SkyAt(y);
            // Long thin clouds, lit from below near the horizon and dim above.
            const double band = std::exp(-std::pow((y - 118.0) / 50.0, 2));
            const double density =
                std::clamp((Fbm(x / 120.0, y / 7.0, 901, 5) + 0.35 * Fbm(x / 30.0, y / 4.0, 902, 3) - 0.12) * 2.4,
                           0.0, 1.0) * band;
            const C3 lit = Mix(Hex(0x5a3a6a), Hex(0xf09a70), std::clamp((y - 60.0) / 120.0, 0.0, 1.0));
            const C3 cloud = Mix(lit, Hex(0xffd0a0), SunGlow(x, y) * 0.8);
            c = Mix(c, cloud, density * 0.7);
            const double glow = SunGlow(x, y);
            c = Add(c, Scale(Hex(0xffb060), glow * 0.55));
            line[x] = ToRgb(c);
        }
    }
    // Stars in the darkest part of the sky.
    for (int i = 0; i < 90; ++i) {
        const int x = rng.Below(MenuW), y = int(std::pow(rng.Real(), 1.7) * 110);
        const double bright = (1.0 - y / 110.0) * rng.Range(0.35, 1.0);
        C3 c = Add(FromRgb(img.pixel(x, y)), Scale(Hex(0xfff4dc), bright));
        img.setPixel(x, y, ToRgb(c));
        if (bright > 0.8 && x + 1 < MenuW && y + 1 < MenuH) {
            for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
                if (x + dx < 0 || y + dy < 0) continue;
                img.setPixel(x + dx, y + dy,
                             ToRgb(Add(FromRgb(img.pixel(x + dx, y + dy)), Scale(Hex(0xfff4dc), bright * 0.3))));
            }
        }
    }
    // The sun itself, half sunk behind the far range.
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient sun(QPointF(SunX, SunY), 17);
    sun.setColorAt(0, QColor(0xff, 0xf6, 0xd8));
    sun.setColorAt(0.8, QColor(0xff, 0xd8, 0x90));
    sun.setColorAt(1, QColor(0xff, 0xc0, 0x70, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(sun);
    p.drawEllipse(QPointF(SunX, SunY), 17, 17);
}

// A range of land: everything below top(x) takes the layer's colours.
struct Layer {
    std::function<double(double)> top;
    C3 upper, lower;     // colour at the ridge and deep below it
    double depth;        // pixels over which upper turns to lower
    C3 mist;             // haze over the foot of the layer
    double mistAmount;
    double rim;          // strength of the sunlit rim on the ridge
    double grain;        // strength of the painted texture
    uint32_t seed;
};

void PaintLayer(QImage& img, const Layer& l) {
    for (int x = 0; x < MenuW; ++x) {
        const double top = l.top(x);
        for (int y = std::max(0, int(std::ceil(top))); y < MenuH; ++y) {
            const double below = y - top;
            C3 c = Mix(l.upper, l.lower, below / l.depth);
            c = Scale(c, 1.0 + l.grain * Fbm(x / 5.0, y / 3.0, l.seed, 3) + 0.5 * l.grain * Fbm(x / 40.0, y / 12.0, l.seed + 9, 2));
            c = Mix(c, l.mist, l.mistAmount * std::exp(-std::pow((y - HorizonY - 4) / 14.0, 2)));
            const double rim = l.rim * std::exp(-below / 1.6) * (0.25 + SunGlow(x, y) * 1.6);
            c = Add(c, Scale(Hex(0xffa860), rim));
            QRgb& px = reinterpret_cast<QRgb*>(img.scanLine(y))[x];
            // A soft edge: the first pixel is blended by its coverage.
            const double cover = std::clamp(y + 1 - top, 0.0, 1.0);
            px = ToRgb(Mix(FromRgb(px), c, cover));
        }
    }
}

double Ridge(double x, uint32_t seed, double scale) {
    // Sharp peaks: folded noise.
    return 1.0 - std::abs(Fbm(x / scale, 0.5, seed, 5));
}

void DrawConifer(QPainter& p, double x, double baseY, double h, const QColor& c) {
    QPainterPath tree;
    tree.setFillRule(Qt::WindingFill);
    const double w = h * 0.44;
    tree.addRect(QRectF(x - w * 0.08, baseY - h * 0.12, w * 0.16, h * 0.14));
    for (int tier = 0; tier < 3; ++tier) {
        const double bottom = baseY - h * (0.1 + 0.26 * tier);
        const double top = bottom - h * 0.5;
        const double half = w * (0.5 - 0.12 * tier);
        tree.moveTo(x - half, bottom);
        tree.lineTo(x, top);
        tree.lineTo(x + half, bottom);
        tree.closeSubpath();
    }
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(tree.simplified());
}

void DrawBanner(QPainter& p, double x, double poleTop, double poleBottom, double length, bool toLeft) {
    p.setPen(QPen(QColor(0x20, 0x14, 0x10), 1.2));
    p.drawLine(QPointF(x, poleBottom), QPointF(x, poleTop));
    const double dir = toLeft ? -1 : 1;
    QPainterPath flag;
    const double h = length * 0.42;
    flag.moveTo(x, poleTop + 0.5);
    flag.cubicTo(x + dir * length * 0.35, poleTop - 2.0, x + dir * length * 0.65, poleTop + 3.0, x + dir * length, poleTop + 1.0);
    flag.lineTo(x + dir * length * 0.82, poleTop + h * 0.55);
    flag.lineTo(x + dir * length, poleTop + h + 1.5);
    flag.cubicTo(x + dir * length * 0.65, poleTop + h + 3.0, x + dir * length * 0.35, poleTop + h - 1.5, x, poleTop + h);
    flag.closeSubpath();
    QLinearGradient cloth(QPointF(x, poleTop), QPointF(x + dir * length, poleTop + h));
    cloth.setColorAt(0, QColor(0xe0, 0x30, 0x28));
    cloth.setColorAt(0.5, QColor(0xa0, 0x14, 0x18));
    cloth.setColorAt(1, QColor(0xd0, 0x3a, 0x28));
    p.setPen(QPen(QColor(0x30, 0x06, 0x06), 0.6));
    p.setBrush(cloth);
    p.drawPath(flag);
    // A small gold star on the cloth.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf4, 0xc8, 0x50));
    p.drawPath(StarPath(QPointF(x + dir * length * 0.38, poleTop + h * 0.5), 2.2, 0.95));
}

// The castle on its rise, in dark stone, its west faces caught by the sun.
void DrawCastle(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    const QColor stone(0x24, 0x1c, 0x30), lit(0x8a, 0x50, 0x48), roof(0x2e, 0x16, 0x24);
    auto block = [&](double l, double t, double r, double b, int merlons) {
        QPainterPath path;
        path.setFillRule(Qt::WindingFill);
        path.addRect(QRectF(l, t, r - l, b - t));
        if (merlons > 0) {
            const double step = (r - l) / (2 * merlons - 1);
            for (int i = 0; i < merlons; ++i) path.addRect(QRectF(l + 2 * i * step, t - 3.5, step, 3.6));
        }
        path = path.simplified();
        p.setPen(Qt::NoPen);
        p.setBrush(stone);
        p.drawPath(path);
        // The sunlit side: a warm strip on the left face.
        QLinearGradient side(QPointF(l, 0), QPointF(l + std::min(6.0, (r - l) * 0.35), 0));
        side.setColorAt(0, lit);
        side.setColorAt(1, QColor(lit.red(), lit.green(), lit.blue(), 0));
        p.setBrush(side);
        p.drawPath(path);
        // Darker toward the ground.
        QLinearGradient foot(QPointF(0, t), QPointF(0, b));
        foot.setColorAt(0, QColor(0, 0, 0, 0));
        foot.setColorAt(1, QColor(0x08, 0x06, 0x10, 160));
        p.setBrush(foot);
        p.drawPath(path);
    };
    auto cone = [&](double l, double r, double base, double apex) {
        QPainterPath c;
        c.moveTo(l - 2, base);
        c.lineTo((l + r) / 2, apex);
        c.lineTo(r + 2, base);
        c.closeSubpath();
        QLinearGradient g(QPointF(l, 0), QPointF(r, 0));
        g.setColorAt(0, QColor(0x7a, 0x3a, 0x40));
        g.setColorAt(0.45, roof);
        g.setColorAt(1, QColor(0x18, 0x0c, 0x16));
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawPath(c);
    };
    auto window = [&](double x, double y, double w, double h) {
        QRadialGradient halo(QPointF(x + w / 2, y + h / 2), 5);
        halo.setColorAt(0, QColor(0xff, 0xc0, 0x60, 110));
        halo.setColorAt(1, QColor(0xff, 0xc0, 0x60, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(halo);
        p.drawEllipse(QPointF(x + w / 2, y + h / 2), 5, 5);
        QPainterPath a;
        a.moveTo(x, y + h);
        a.lineTo(x, y + w / 2);
        a.arcTo(QRectF(x, y, w, w), 180, -180);
        a.lineTo(x + w, y + h);
        a.closeSubpath();
        p.setBrush(QColor(0xff, 0xd4, 0x7a));
        p.drawPath(a);
    };

    // Outer towers and the curtain wall.
    block(236, 150, 332, 186, 9);
    block(222, 124, 242, 188, 3);
    block(326, 128, 346, 188, 3);
    cone(222, 242, 120.5, 96);
    cone(326, 346, 124.5, 102);
    // The keep with its tall tower and two turrets.
    block(258, 116, 310, 160, 5);
    block(276, 84, 294, 118, 0);
    cone(276, 294, 84.5, 56);
    block(256, 104, 264, 120, 0);
    block(304, 106, 312, 120, 0);
    cone(256, 264, 104.5, 92);
    cone(304, 312, 106.5, 95);

    // Gate with firelight, and lit windows.
    QPainterPath gate;
    gate.moveTo(277, 187);
    gate.lineTo(277, 175);
    gate.arcTo(QRectF(277, 169, 12, 12), 180, -180);
    gate.lineTo(289, 187);
    gate.closeSubpath();
    QLinearGradient fire(QPointF(0, 169), QPointF(0, 187));
    fire.setColorAt(0, QColor(0xff, 0xb0, 0x50));
    fire.setColorAt(1, QColor(0x90, 0x40, 0x18));
    p.setBrush(fire);
    p.drawPath(gate);
    window(230, 140, 3, 6);
    window(230, 160, 3, 6);
    window(334, 146, 3, 6);
    window(283, 94, 3.5, 8);
    window(266, 128, 3, 6);
    window(299, 130, 3, 6);
    window(248, 164, 2.5, 5);
    window(316, 166, 2.5, 5);

    DrawBanner(p, 285, 40, 57, 18, false);
    DrawBanner(p, 232, 86, 97, 11, true);
    DrawBanner(p, 336, 92, 103, 11, false);
}

void DrawTitle(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QFont title(QStringLiteral("Liberation Serif"));
    title.setPixelSize(47);
    title.setBold(true);
    title.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
    const QString text = QStringLiteral("Marchfell");
    const double width = QFontMetricsF(title).horizontalAdvance(text);
    const double cx = 390, base = 56;
    QPainterPath path;
    path.addText(QPointF(cx - width / 2, base), title, text);

    p.setPen(Qt::NoPen);
    for (int i = 4; i >= 1; --i) {
        p.setPen(QPen(QColor(0xff, 0xa0, 0x40, 14), i * 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(path);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 170));
    p.drawPath(path.translated(2, 3));
    QLinearGradient gold(QPointF(0, base - 38), QPointF(0, base + 4));
    gold.setColorAt(0, QColor(0xff, 0xf4, 0xc8));
    gold.setColorAt(0.45, QColor(0xf2, 0xc0, 0x58));
    gold.setColorAt(0.55, QColor(0xc8, 0x84, 0x28));
    gold.setColorAt(1, QColor(0xf0, 0xb8, 0x50));
    p.setBrush(gold);
    p.setPen(QPen(QColor(0x3a, 0x1c, 0x06), 1.2));
    p.drawPath(path);

    QFont sub(QStringLiteral("Liberation Serif"));
    sub.setPixelSize(16);
    sub.setLetterSpacing(QFont::AbsoluteSpacing, 5);
    const QString subText = QStringLiteral("OSTREVANE");
    const double subWidth = QFontMetricsF(sub).horizontalAdvance(subText) - 5;
    p.setFont(sub);
    p.setPen(QColor(0, 0, 0, 160));
    p.drawText(QPointF(cx - subWidth / 2 + 1, base + 25), subText);
    p.setPen(QColor(0xf0, 0xd6, 0xa0));
    p.drawText(QPointF(cx - subWidth / 2, base + 24), subText);
    // Flourishes either side of the subtitle.
    p.setPen(QPen(QColor(0xe8, 0xc0, 0x70, 200), 1.0));
    p.setBrush(QColor(0xf0, 0xc8, 0x70));
    for (double side : {-1.0, 1.0}) {
        const double inner = cx + side * (subWidth / 2 + 8), outer = cx + side * (subWidth / 2 + 40);
        p.drawLine(QPointF(inner, base + 18.5), QPointF(outer, base + 18.5));
        QPolygonF diamond;
        diamond << QPointF(outer, base + 16) << QPointF(outer + side * 3, base + 18.5) << QPointF(outer, base + 21)
                << QPointF(outer - side * 3, base + 18.5);
        p.drawPolygon(diamond);
    }
}

QImage PaintStartMenu() {
    QImage img(MenuW, MenuH, QImage::Format_RGB32);
    PaintSky(img);

    // Far range, violet in the haze, with the sun sinking behind it.
    PaintLayer(img, Layer{[](double x) { return 184 - 34 * Ridge(x, 11, 90) - 10 * std::sin(x / 70.0); },
                          Hex(0x7a5482), Hex(0x9a6a80), 40, Hex(0xe0a088), 0.55, 0.18, 0.03, 21});
    // Nearer range.
    PaintLayer(img, Layer{[](double x) { return 200 - 22 * Ridge(x + 400, 12, 60) + 6 * std::sin(x / 45.0); },
                          Hex(0x4e3458), Hex(0x6a4260), 30, Hex(0xd08c80), 0.45, 0.22, 0.04, 22});

    // The castle's rise and the valley floor.
    auto rise = [](double x) {
        const double hill = 38 * std::exp(-std::pow((x - CastleX - 284) / 82.0, 2));
        return 226 - hill + 4 * Fbm(x / 30.0, 1.5, 31, 3) + 8 * std::exp(-std::pow((x - 60) / 60.0, 2)) * -1;
    };
    PaintLayer(img, Layer{rise, Hex(0x2e2a3c), Hex(0x1a1826), 60, Hex(0xa07080), 0.25, 0.3, 0.06, 23});

    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.save();
        p.translate(CastleX, 0);
        DrawCastle(p);
        p.restore();
        // Small trees along the rise, darker than the slope.
        Rng rng(5);
        for (double x = 128; x < 420; x += rng.Range(4, 9)) {
            if (x > 196 + CastleX && x < 372 + CastleX) continue;
            const double h = rng.Range(9, 16);
            DrawConifer(p, x, rise(x) + 3, h, QColor(0x1c, 0x18, 0x28));
        }
        // The road winding up to the gate.
        QPainterPath road;
        road.moveTo(120, 336);
        road.cubicTo(210, 300, 140, 250, 205, 228);
        road.cubicTo(245, 214, 232, 200, 253, 188);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(0x8a, 0x66, 0x5c, 150), 2.2, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(road);
        p.setPen(QPen(QColor(0xc0, 0x90, 0x70, 60), 0.8, Qt::SolidLine, Qt::RoundCap));
        p.drawPath(road.translated(-0.6, -0.6));
    }

    // A lake in the valley, holding the evening sky and a path of sunlight.
    for (int y = 200; y < 270; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < 230; ++x) {
            const double dx = (x - 92) / 100.0, dy = (y - 236) / 10.0;
            const double edge = 1.0 - (dx * dx + dy * dy) + 0.35 * Fbm(x / 22.0, y / 6.0, 41, 3);
            if (edge <= 0) continue;
            const double mirror = 2 * HorizonY - y + 10;
            C3 c = Scale(Mix(SkyAt(mirror), SkyAt(mirror - 70), 0.5), 0.5);
            // The sun's path across the water, broken by ripples.
            const double ripple = 0.5 + 0.5 * Fbm(x / 16.0, y / 1.3, 43, 3);
            const double path = std::exp(-std::pow((x - SunX) / (10.0 + (y - 226) * 1.2), 2));
            c = Add(c, Scale(Hex(0xffb868), path * ripple * 0.45));
            c = Scale(c, 0.88 + 0.16 * Fbm(x / 30.0, y / 1.5, 44, 2));
            // Darker toward the shore.
            c = Scale(c, 0.55 + 0.45 * std::clamp(edge * 3, 0.0, 1.0));
            line[x] = ToRgb(Mix(FromRgb(line[x]), c, std::clamp(edge * 8, 0.0, 1.0)));
        }
    }

    // The foreground: a dark hill on the right (calm, behind the menu) and a
    // low bank on the left.
    auto front = [](double x) {
        const double right = 1.0 / (1.0 + std::exp(-(x - 330) / 34.0));
        return 262 - 98 * right + 5 * Fbm(x / 26.0, 3.5, 51, 3) + 6 * std::sin(x / 23.0) * (1 - right);
    };
    PaintLayer(img, Layer{front, Hex(0x1c1824), Hex(0x0a0a12), 50, Hex(0x000000), 0.0, 0.15, 0.05, 24});
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        Rng rng(9);
        // Tall firs on the left bank and on the shoulder of the right hill.
        for (double x = -4; x < 120; x += rng.Range(7, 14)) {
            const double h = rng.Range(22, 40);
            DrawConifer(p, x, front(x) + 4, h, QColor(0x0c, 0x0b, 0x12));
        }
        for (double x = 318; x < 398; x += rng.Range(6, 11)) {
            const double h = rng.Range(20, 34);
            DrawConifer(p, x, front(x) + 4, h, QColor(0x0c, 0x0b, 0x12));
        }
        for (double x = 404; x < 520; x += rng.Range(9, 16)) {
            const double h = rng.Range(10, 16);
            DrawConifer(p, x, front(x) + 3, h, QColor(0x0d, 0x0c, 0x14));
        }
        DrawTitle(p);
    }

    // Vignette, a calmer dark behind the menu, and a little grain.
    Rng grain(3);
    for (int y = 0; y < MenuH; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < MenuW; ++x) {
            const double dx = (x - MenuW / 2.0) / (MenuW / 2.0), dy = (y - MenuH / 2.0) / (MenuH / 2.0);
            double k = 1.0 - 0.32 * std::pow((dx * dx + dy * dy) / 2.0, 1.2);
            const double menu = std::clamp((x - 380) / 30.0, 0.0, 1.0) * std::clamp((y - 168) / 14.0, 0.0, 1.0);
            k *= 1.0 - 0.35 * menu;
            C3 c = Scale(FromRgb(line[x]), k);
            c = Add(c, Scale(C3{1, 1, 1}, (grain.Real() - 0.5) * 0.018));
            line[x] = ToRgb(c);
        }
    }
    return img;
}

// ---------------------------------------------------------------- the arms

void DrawSword(QPainter& p, QPointF hilt, QPointF tip, double scale) {
    const double dx = tip.x() - hilt.x(), dy = tip.y() - hilt.y();
    const double len = std::hypot(dx, dy);
    p.save();
    p.translate(hilt);
    p.rotate(std::atan2(dy, dx) * 180 / M_PI);
    // Along +x from the guard to the tip.
    const double w = 9 * scale;
    QPainterPath blade;
    blade.moveTo(0, -w / 2);
    blade.lineTo(len - w * 2.2, -w / 2);
    blade.lineTo(len, 0);
    blade.lineTo(len - w * 2.2, w / 2);
    blade.lineTo(0, w / 2);
    blade.closeSubpath();
    QLinearGradient steel(QPointF(0, -w / 2), QPointF(0, w / 2));
    steel.setColorAt(0, QColor(0xf4, 0xf6, 0xfa));
    steel.setColorAt(0.5, QColor(0xa8, 0xb0, 0xbc));
    steel.setColorAt(1, QColor(0x60, 0x68, 0x74));
    p.setPen(QPen(QColor(0x30, 0x34, 0x3c), 1.2 * scale));
    p.setBrush(steel);
    p.drawPath(blade);
    p.setPen(QPen(QColor(0x70, 0x78, 0x84), 1.0 * scale));
    p.drawLine(QPointF(4 * scale, 0), QPointF(len * 0.7, 0));
    // Guard, grip and pommel.
    QLinearGradient gold(QPointF(0, -30 * scale), QPointF(0, 30 * scale));
    gold.setColorAt(0, QColor(0xff, 0xe8, 0xa0));
    gold.setColorAt(0.5, QColor(0xd0, 0x98, 0x30));
    gold.setColorAt(1, QColor(0x80, 0x52, 0x10));
    p.setPen(QPen(QColor(0x3a, 0x22, 0x04), 1.2 * scale));
    p.setBrush(gold);
    p.drawRoundedRect(QRectF(-5 * scale, -28 * scale, 10 * scale, 56 * scale), 4 * scale, 4 * scale);
    p.setBrush(QColor(0x5a, 0x2e, 0x18));
    p.drawRoundedRect(QRectF(-36 * scale, -5 * scale, 31 * scale, 10 * scale), 3 * scale, 3 * scale);
    p.setPen(QPen(QColor(0x2a, 0x14, 0x08, 160), 1.0 * scale));
    for (double x = -33; x < -6; x += 5) p.drawLine(QPointF(x * scale, -5 * scale), QPointF((x + 3) * scale, 5 * scale));
    p.setPen(QPen(QColor(0x3a, 0x22, 0x04), 1.2 * scale));
    p.setBrush(gold);
    p.drawEllipse(QPointF(-42 * scale, 0), 8 * scale, 8 * scale);
    p.restore();
}

void DrawLaurel(QPainter& p, QPointF centre, double radius, double fromDeg, double toDeg, bool mirrored) {
    const int leaves = 13;
    auto at = [&](double deg) {
        const double a = deg * M_PI / 180;
        const double x = centre.x() + (mirrored ? -1 : 1) * radius * std::cos(a);
        return QPointF(x, centre.y() + radius * std::sin(a));
    };
    QPainterPath stem;
    stem.moveTo(at(fromDeg));
    for (int i = 1; i <= 40; ++i) stem.lineTo(at(fromDeg + (toDeg - fromDeg) * i / 40.0));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x4a, 0x3a, 0x14), 3.0, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(stem);
    for (int i = 0; i < leaves; ++i) {
        const double t = (i + 0.5) / leaves;
        const double deg = fromDeg + (toDeg - fromDeg) * t;
        const QPointF a = at(deg), b = at(deg + 0.5 * (toDeg > fromDeg ? 1 : -1));
        const double tangent = std::atan2(b.y() - a.y(), b.x() - a.x()) * 180 / M_PI;
        const double size = 1.0 - 0.45 * t;
        for (int side : {-1, 1}) {
            p.save();
            p.translate(a);
            p.rotate(tangent + side * 38);
            QLinearGradient leaf(QPointF(0, -6), QPointF(0, 6));
            leaf.setColorAt(0, QColor(0x8a, 0xb0, 0x4e));
            leaf.setColorAt(1, QColor(0x2e, 0x58, 0x20));
            p.setBrush(leaf);
            p.setPen(QPen(QColor(0x1e, 0x34, 0x10), 1.0));
            QPainterPath l;
            l.moveTo(0, 0);
            l.quadTo(QPointF(13 * size, -7.5 * size), QPointF(28 * size, 0));
            l.quadTo(QPointF(13 * size, 7.5 * size), QPointF(0, 0));
            p.drawPath(l);
            p.restore();
        }
    }
}

// A ribbon whose middle hangs lowest, with the motto written along it.
void DrawRibbon(QPainter& p, double cx, double y, double width, double sag, double h, const QString& motto) {
    auto centre = [&](double t) { return QPointF(cx + (t - 0.5) * width, y - sag * std::pow(2 * t - 1, 2)); };
    auto normal = [&](double t) {
        const double slope = -sag * 4 * (2 * t - 1) / width;  // dy/dx
        const double n = std::hypot(1.0, slope);
        return QPointF(-slope / n, 1.0 / n);
    };
    // Tails folded behind each end.
    for (int side : {0, 1}) {
        const double t = side ? 1.0 : 0.0, dir = side ? 1 : -1;
        const QPointF c = centre(t), n = normal(t);
        QPainterPath tail;
        const QPointF top = c - n * (h / 2) + QPointF(-dir * 8, 14), bottom = c + n * (h / 2) + QPointF(-dir * 8, 14);
        tail.moveTo(top);
        tail.lineTo(top + QPointF(dir * 44, 4));
        tail.lineTo((top + bottom) / 2 + QPointF(dir * 30, 4));
        tail.lineTo(bottom + QPointF(dir * 44, 4));
        tail.lineTo(bottom);
        tail.closeSubpath();
        p.setBrush(QColor(0xb8, 0x9c, 0x66));
        p.setPen(QPen(QColor(0x4a, 0x32, 0x12), 1.4));
        p.drawPath(tail);
        // The fold: a dark triangle joining tail and band.
        QPainterPath fold;
        fold.moveTo(c - n * (h / 2));
        fold.lineTo(top);
        fold.lineTo(c + n * (h / 2) + QPointF(-dir * 8, 14) * 0.5);
        fold.closeSubpath();
        p.setBrush(QColor(0x6a, 0x50, 0x2a));
        p.drawPath(fold);
    }
    QPainterPath band;
    const int steps = 60;
    for (int i = 0; i <= steps; ++i) {
        const double t = double(i) / steps;
        const QPointF pt = centre(t) - normal(t) * (h / 2);
        if (i == 0) band.moveTo(pt);
        else band.lineTo(pt);
    }
    for (int i = steps; i >= 0; --i) {
        const double t = double(i) / steps;
        band.lineTo(centre(t) + normal(t) * (h / 2));
    }
    band.closeSubpath();
    QLinearGradient cloth(QPointF(0, y - sag - h / 2), QPointF(0, y + h / 2));
    cloth.setColorAt(0, QColor(0xfa, 0xf0, 0xd6));
    cloth.setColorAt(1, QColor(0xd8, 0xc0, 0x8e));
    p.setBrush(cloth);
    p.setPen(QPen(QColor(0x4a, 0x32, 0x12), 1.6));
    p.drawPath(band);

    QFont font(QStringLiteral("Liberation Serif"));
    font.setPixelSize(int(h * 0.58));
    font.setBold(true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 2);
    const QFontMetricsF fm(font);
    double total = 0;
    for (const QChar ch : motto) total += fm.horizontalAdvance(ch);
    p.setFont(font);
    p.setPen(QColor(0x8a, 0x10, 0x14));
    double advance = 0;
    for (const QChar ch : motto) {
        const double w = fm.horizontalAdvance(ch);
        const double t = 0.5 + (advance + w / 2 - total / 2) / width;
        const QPointF c = centre(t);
        const double angle = std::atan2(-sag * 4 * (2 * t - 1) / width, 1.0) * 180 / M_PI;
        p.save();
        p.translate(c);
        p.rotate(angle);
        p.drawText(QPointF(-w / 2, fm.ascent() * 0.36), QString(ch));
        p.restore();
        advance += w;
    }
}

QImage PaintAuthor() {
    const int w = 594, h = 626;
    QImage img(w, h, QImage::Format_RGB32);
    // Parchment: warm ground, stains and fibres, burnt toward the edges.
    Rng rng(17);
    for (int y = 0; y < h; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x) {
            C3 c = Hex(0xecdcb4);
            const double stain = Fbm(x / 90.0, y / 90.0, 61, 5);
            c = Mix(c, Hex(0xc8a46c), std::clamp(stain * 0.9 + 0.15, 0.0, 0.6));
            c = Scale(c, 1.0 + 0.05 * Fbm(x / 3.0, y / 40.0, 62, 2) + 0.03 * (rng.Real() - 0.5));
            const double dx = (x - w / 2.0) / (w / 2.0), dy = (y - h / 2.0) / (h / 2.0);
            const double edge = std::max(std::abs(dx), std::abs(dy)) + 0.08 * Fbm(x / 20.0, y / 20.0, 63, 3);
            c = Mix(c, Hex(0x7a5428), std::pow(std::clamp((edge - 0.72) / 0.3, 0.0, 1.0), 1.6));
            line[x] = ToRgb(c);
        }
    }
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    // A double ruled frame.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x6a, 0x44, 0x1a, 200), 3));
    p.drawRect(QRectF(26, 26, w - 52, h - 52));
    p.setPen(QPen(QColor(0x6a, 0x44, 0x1a, 160), 1.2));
    p.drawRect(QRectF(34, 34, w - 68, h - 68));
    for (auto [x, y] : {std::pair{34.0, 34.0}, {w - 34.0, 34.0}, {34.0, h - 34.0}, {w - 34.0, h - 34.0}}) {
        p.setBrush(QColor(0x8a, 0x10, 0x14));
        p.drawPath(StarPath(QPointF(x, y), 9, 3.8));
    }

    const double shieldW = 250, shieldX = (w - shieldW) / 2, shieldY = 168;
    DrawSword(p, QPointF(shieldX - 34, shieldY - 14), QPointF(shieldX + shieldW + 58, shieldY + 340), 1.0);
    DrawSword(p, QPointF(shieldX + shieldW + 34, shieldY - 14), QPointF(shieldX - 58, shieldY + 340), 1.0);
    DrawLaurel(p, QPointF(w / 2.0, shieldY + 140), 176, 200, 75, false);
    DrawLaurel(p, QPointF(w / 2.0, shieldY + 140), 176, 200, 75, true);
    DrawArms(p, QRectF(shieldX, shieldY, shieldW, shieldW * 1.2));
    DrawCoronet(p, w / 2.0, shieldY - 6, 196);
    DrawRibbon(p, w / 2.0, 540, 400, 26, 44, QStringLiteral("ВЕРА И ВЕРНОСТЬ"));
    p.end();
    return img;
}

QImage PaintIcon() {
    QImage img(256, 256, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const double shieldW = 150;
    DrawArms(p, QRectF((256 - shieldW) / 2 - 2, 61, shieldW, shieldW * 1.2));
    DrawCoronet(p, 126, 66, 120);
    p.end();
    return img;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <assets folder>\n", argv[0]);
        return 2;
    }
    const std::string pictures = std::string(argv[1]) + "/pictures/";
    bool ok = true;
    ok = WriteBmp(PaintStartMenu(), pictures + "startmenu.bmp") && ok;
    ok = WriteJpeg(PaintAuthor(), pictures + "author.jpg", 90) && ok;
    ok = PaintIcon().save(QString::fromStdString(pictures + "marchfell.png"), "PNG") && ok;
    if (!ok) {
        std::fprintf(stderr, "could not write every picture into %s\n", pictures.c_str());
        return 1;
    }
    std::printf("pictures written into %s\n", pictures.c_str());
    return 0;
}
