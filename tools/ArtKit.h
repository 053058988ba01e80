// Drawing helpers shared by the pictures of the game: colour arithmetic, the
// arms of the march (shield, coronet) and file writers.
#pragma once

#include <string>

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>

namespace assets {

// A colour with components in 0..1, for blending without rounding at each step.
struct C3 {
    double r = 0, g = 0, b = 0;
};

C3 Hex(uint32_t rgb);
C3 Mix(C3 a, C3 b, double t);
C3 Scale(C3 c, double k);
C3 Add(C3 a, C3 b);
QRgb ToRgb(C3 c);
C3 FromRgb(QRgb c);
QColor ToQColor(C3 c, int alpha = 255);

// The shield, in a box whose height is 1.2 times its width. Azure, a castle
// of three towers Or, on a chief gules three mullets argent.
void DrawArms(QPainter& p, const QRectF& box);
// A coronet of five points standing on baseY, centred on cx.
void DrawCoronet(QPainter& p, double cx, double baseY, double width);

// The heater outline in a unit-wide box (height 1.2).
QPainterPath ShieldPath();
// A five-pointed star.
QPainterPath StarPath(QPointF centre, double outer, double inner);

bool WriteJpeg(const QImage& image, const std::string& path, int quality);
bool WriteBmp(const QImage& image, const std::string& path);

}  // namespace assets
