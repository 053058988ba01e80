#include "ui/MapRendering.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>

#include <QLocale>

int FeudAt(const TGameState& s, int x, int y) {
    if (x < 0 || y < 0 || x >= MapWidth || y >= MapHeight) return 0;
    const int f = s.Map[y][x];
    return IsFeud(s, f) ? f : 0;
}

bool DiplomacyMapOn(const TGameState& s) {
    const TFeud* c = FeudRecord(s, s.CurrentFeud);
    return c && c->DipMode == 1;
}

bool PoliticalColor(const TGameState& s, int i, Rgb& colour) {
    const TFeud* mover = FeudRecord(s, s.CurrentFeud);
    const TFeud* feud = FeudRecord(s, i);
    if (!mover || !feud) return false;

    // The mover's field army marks its feud, whatever else holds.
    if (mover->ArmyFeud == i) {
        colour = Colors::Navy;
        return true;
    }

    const unsigned k = s.KingFeud;
    const unsigned c = s.CurrentFeud;
    const unsigned senior = mover->Senior;
    const unsigned a = feud->Senior;
    const unsigned self = static_cast<unsigned>(i);
    bool found = false;
    auto rule = [&](bool applies, Rgb ruleColour) {
        if (!applies) return;
        colour = ruleColour;
        found = true;
    };

    // The mover's own standing decides how he sees the realm. A later rule
    // that applies overrides an earlier one. In a realm with no king every
    // feudal without a senior sees it as an independent does.
    if (c == k) {
        // The king: his vassals (and he himself) are his own.
        rule(a == c, Colors::Lime);
        rule(a == 0 && self != k, Colors::Red);
        rule(a != 0 && a != k, Colors::Maroon);
    } else if (senior == 0) {
        // An independent lord.
        rule(self == k, Colors::Red);
        rule(a == k, Colors::Maroon);
        rule(a == 0 && self != k, Colors::Yellow);
        rule(a != 0 && self != k, Colors::Purple);
    } else if (senior == k) {
        // A vassal of the king sees the realm as the king does.
        rule(a == k, Colors::Lime);
        rule(a == 0 && self != k, Colors::Red);
        rule(a != 0 && a != k, Colors::Maroon);
    } else {
        // A vassal of another lord: his lord's vassals are his own side.
        rule(self == k, Colors::Red);
        rule(a == k, Colors::Maroon);
        rule(a == 0 && self != k, Colors::Yellow);
        rule(a != 0 && self != k, Colors::Purple);
        rule(a == senior, Colors::Lime);
    }
    return found;
}

bool DiplomacyColor(const TGameState& s, int i, int dipView, Rgb& colour) {
    const TFeud* dip = FeudRecord(s, s.DipFeud);
    if (!dip || i < 1 || i > MaxFeud) return false;
    if (i == s.DipFeud) {
        colour = Colors::Aqua;
        return true;
    }
    int8_t v = 0;
    switch (dipView) {
    case DipViewToFeudalTrue: v = dip->DipToFeudalTrue[i]; break;
    case DipViewFromFeudalShow: v = dip->DipFromFeudalShow[i]; break;
    case DipViewFromFeudalTrue: v = dip->DipFromFeudalTrue[i]; break;
    default: v = dip->DipToFeudalShow[i]; break;
    }
    switch (v) {
    case PersEnemy: colour = Colors::Red; return true;
    case Enemy: colour = Colors::Maroon; return true;
    case Unknown: colour = Colors::Yellow; return true;
    case Peace: colour = Colors::Green; return true;
    case Ally: colour = Colors::Lime; return true;
    default: return false;
    }
}

void BasePictureFromGrid(const TGameState& s, Picture& out) {
    if (out.Width() != MapWidth || out.Height() != MapHeight) out.Reset(MapWidth, MapHeight);
    for (int y = 0; y < MapHeight; ++y)
        for (int x = 0; x < MapWidth; ++x) out.SetPixel(x, y, s.Map[y][x] == 0 ? Colors::Black : Colors::White);
}

void RenderColorMap(const TGameState& s, const Picture& base, int dipView, Picture& out) {
    out.CopyFrom(base);
    const bool diplomacy = DiplomacyMapOn(s);
    Rgb colour = Colors::White;
    const int count = std::min<int>(s.QuantityFeud, MaxFeud);
    for (int i = 1; i <= count; ++i) {
        Rgb next;
        if (diplomacy ? DiplomacyColor(s, i, dipView, next) : PoliticalColor(s, i, next)) colour = next;
        const TFeud& feud = s.Feuds[i];
        if (out.Contains(feud.PosX, feud.PosY)) out.SurfaceFill(feud.PosX, feud.PosY, Colors::White, colour);
    }
}

void DrawBorders(const TGameState& s, Picture& out) {
    const int w = std::min(out.Width(), MapWidth);
    const int h = std::min(out.Height(), MapHeight);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (s.Map[y][x] == 0) out.SetPixel(x, y, Colors::Black);
}

void DrawOutline(const TGameState& s, int f, Picture& out) {
    if (f < 1 || f > MaxFeud) return;
    const int w = std::min(out.Width(), MapWidth);
    const int h = std::min(out.Height(), MapHeight);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (s.Map[y][x] != 0) continue;
            bool touches = false;
            // The eight neighbours that lie inside the grid.
            for (int dy = -1; dy <= 1 && !touches; ++dy) {
                const int ny = y + dy;
                if (ny < 0 || ny >= MapHeight) continue;
                for (int dx = -1; dx <= 1; ++dx) {
                    const int nx = x + dx;
                    if ((dx == 0 && dy == 0) || nx < 0 || nx >= MapWidth) continue;
                    if (s.Map[ny][nx] == f) {
                        touches = true;
                        break;
                    }
                }
            }
            if (touches) out.SetPixel(x, y, Colors::White);
        }
    }
}

// ---------------------------------------------------------------- found once per game

TMapPaint::TMapPaint() = default;

bool TMapPaint::Prepare(const TGameState& s, const Picture& base) {
    ready_ = false;
    lastStamp_ = 0;  // no picture has it
    if (base.Width() != MapWidth || base.Height() != MapHeight) return false;
    base_.CopyFrom(base);
    baseStamp_ = base.Stamp();
    quantity_ = s.QuantityFeud;
    std::memcpy(map_, s.Map, sizeof map_);
    const int count = std::min<int>(s.QuantityFeud, MaxFeud);
    for (int i = 0; i <= MaxFeud; ++i) {
        anchorX_[i] = i >= 1 && i <= count ? s.Feuds[i].PosX : 0;
        anchorY_[i] = i >= 1 && i <= count ? s.Feuds[i].PosY : 0;
        anchorArea_[i] = 0;
    }

    // The white areas the anchors lie in, numbered in feud order. A fill from
    // an anchor already inside a numbered area reaches that same area.
    std::memset(area_, 0, sizeof area_);
    const Picture::Pixel* const pixels = base_.Bits();
    auto white = [&](int at) { return pixels[at] == Picture::PixelOf(Colors::White); };
    int areas = 0;
    for (int i = 1; i <= count; ++i) {
        const int x = anchorX_[i], y = anchorY_[i];
        if (!base_.Contains(x, y)) continue;
        const int seed = y * MapWidth + x;
        if (area_[seed] != 0) {
            anchorArea_[i] = area_[seed];
            continue;
        }
        if (!white(seed)) continue;
        const uint8_t a = uint8_t(++areas);
        anchorArea_[i] = a;
        int top = 0;
        stack_[top++] = seed;
        area_[seed] = a;
        while (top > 0) {
            const int at = stack_[--top];
            const int ax = at % MapWidth;
            auto visit = [&](int next) {
                if (area_[next] == 0 && white(next)) {
                    area_[next] = a;
                    stack_[top++] = next;
                }
            };
            if (ax > 0) visit(at - 1);
            if (ax < MapWidth - 1) visit(at + 1);
            if (at >= MapWidth) visit(at - MapWidth);
            if (at < Cells - MapWidth) visit(at + MapWidth);
        }
    }

    // Each row as stretches of one kind, and the border cells as runs.
    int stretches = 0;
    borderRuns_ = 0;
    for (int y = 0; y < MapHeight; ++y) {
        rowStretches_[y] = stretches;
        const uint8_t* areaRow = area_ + y * MapWidth;
        auto kind = [&](int x) { return map_[y][x] == 0 ? BorderStretch : areaRow[x]; };
        for (int x = 0; x < MapWidth;) {
            const uint8_t k = kind(x);
            int end = x + 1;
            while (end < MapWidth && kind(end) == k) ++end;
            stretch_[stretches++] = Stretch{uint16_t(end), k};
            x = end;
        }
        for (int x = 0; x < MapWidth;) {
            int end = x + 1;
            while (end < MapWidth && (map_[y][end] == 0) == (map_[y][x] == 0)) ++end;
            if (map_[y][x] == 0) border_[borderRuns_++] = Run{uint16_t(x), uint16_t(end), uint8_t(y)};
            x = end;
        }
    }
    rowStretches_[MapHeight] = stretches;

    // The runs of each white area, area by area and row by row.
    int32_t runsOf[MaxFeud + 2] = {};
    for (int k = 0; k < stretches; ++k)
        if (stretch_[k].kind != BaseStretch && stretch_[k].kind != BorderStretch) ++runsOf[stretch_[k].kind];
    areaRuns_[0] = areaRuns_[1] = 0;
    for (int a = 1; a <= MaxFeud; ++a) areaRuns_[a + 1] = areaRuns_[a] + runsOf[a];
    int32_t next[MaxFeud + 1];
    std::copy(areaRuns_, areaRuns_ + MaxFeud + 1, next);
    for (int y = 0; y < MapHeight; ++y) {
        int x = 0;
        for (int k = rowStretches_[y]; k < rowStretches_[y + 1]; ++k) {
            const Stretch stretch = stretch_[k];
            if (stretch.kind != BaseStretch && stretch.kind != BorderStretch)
                areaRun_[next[stretch.kind]++] = Run{uint16_t(x), stretch.end, uint8_t(y)};
            x = stretch.end;
        }
    }

    // Each border cell is in the outline of every feud among its eight neighbours.
    std::memset(outline_, 0, sizeof outline_);
    for (int y = 0; y < MapHeight; ++y)
        for (int x = 0; x < MapWidth; ++x) {
            if (map_[y][x] != 0) continue;
            const int cell = y * MapWidth + x;
            for (int ny = std::max(y - 1, 0); ny <= std::min(y + 1, MapHeight - 1); ++ny)
                for (int nx = std::max(x - 1, 0); nx <= std::min(x + 1, MapWidth - 1); ++nx) {
                    const int g = map_[ny][nx];
                    if (g >= 1 && g <= MaxFeud) outline_[g][cell / 64] |= uint64_t(1) << (cell % 64);
                }
        }
    for (int f = 0; f <= MaxFeud; ++f) {
        int first = 0, past = OutlineWords;
        while (first < past && outline_[f][first] == 0) ++first;
        while (past > first && outline_[f][past - 1] == 0) --past;
        outlineWords_[f][0] = first;
        outlineWords_[f][1] = past;
    }
    ready_ = true;
    return true;
}

bool TMapPaint::PreparedFor(const TGameState& s, const Picture& base) const {
    if (!ready_ || base.Stamp() != baseStamp_ || s.QuantityFeud != quantity_) return false;
    const int count = std::min<int>(s.QuantityFeud, MaxFeud);
    for (int i = 1; i <= count; ++i)
        if (s.Feuds[i].PosX != anchorX_[i] || s.Feuds[i].PosY != anchorY_[i]) return false;
    return std::memcmp(s.Map, map_, sizeof map_) == 0;
}

// ---------------------------------------------------------------- the repaint with it

namespace {

using Pixel = Picture::Pixel;

// Pixels from to to - 1 of a row take the colour, sixteen bytes a store, the
// last store running up to three pixels past the end: allowed where the
// pixels after are written later, not past the picture's end.
inline void FillPast(Pixel* row, size_t from, size_t to, Pixel colour) {
    const Pixel four[4] = {colour, colour, colour, colour};
    for (; from < to; from += 4) std::memcpy(row + from, four, sizeof four);
}

// The cells set in bits (words first .. past - 1, bit y * MapWidth + x) take the colour.
void PaintCells(const uint64_t* bits, int first, int past, Pixel colour, Pixel* out) {
    for (int word = first; word < past; ++word)
        for (uint64_t b = bits[word]; b != 0; b &= b - 1) out[word * 64 + std::countr_zero(b)] = colour;
}

}  // namespace

void RepaintMap(const TGameState& s, const TMapPaint& paint, int dipView, int f, Picture& out) {
    // Each area takes the colour of the first feud, in feud order, whose
    // anchor lies in it and whose colour is not white: a white fill changes
    // nothing, and once filled the area is white no more. Areas no fill
    // reaches stay white, as the base has them.
    const Pixel white = Picture::PixelOf(Colors::White);
    Pixel colourOf[TMapPaint::BorderStretch + 1];
    for (Pixel& c : colourOf) c = white;
    colourOf[TMapPaint::BorderStretch] = Picture::PixelOf(Colors::Black);
    bool painted[MaxFeud + 1] = {};
    const bool diplomacy = DiplomacyMapOn(s);
    Rgb colour = Colors::White;
    const int count = std::min<int>(s.QuantityFeud, MaxFeud);
    for (int i = 1; i <= count; ++i) {
        Rgb next;
        if (diplomacy ? DiplomacyColor(s, i, dipView, next) : PoliticalColor(s, i, next)) colour = next;
        const int a = paint.anchorArea_[i];
        if (a != 0 && !painted[a] && !(colour == Colors::White)) {
            colourOf[a] = Picture::PixelOf(colour);
            painted[a] = true;
        }
    }

    if (out.Stamp() == paint.lastStamp_) {
        // The picture as the last repaint left it (or a copy of it): the last
        // outline back to the borders' black, and the areas whose colour
        // changed, run by run.
        Pixel* const pixels = out.WritableBits();
        if (const int last = paint.lastOutline_; last != 0)
            PaintCells(paint.outline_[last], paint.outlineWords_[last][0], paint.outlineWords_[last][1],
                       colourOf[TMapPaint::BorderStretch], pixels);
        for (int a = 1; a <= MaxFeud; ++a) {
            if (colourOf[a] == paint.lastColour_[a]) continue;
            for (int r = paint.areaRuns_[a]; r < paint.areaRuns_[a + 1]; ++r) {
                const TMapPaint::Run run = paint.areaRun_[r];
                Picture::FillPixels(pixels + size_t(run.y) * MapWidth + run.x0, size_t(run.x1 - run.x0), colourOf[a]);
            }
        }
    } else {
        paint.RepaintWhole(colourOf, out);
    }
    // The outline over its borders.
    Pixel* const pixels = out.WritableBits();
    const bool outlined = f >= 1 && f <= MaxFeud;
    if (outlined) PaintCells(paint.outline_[f], paint.outlineWords_[f][0], paint.outlineWords_[f][1], white, pixels);
    paint.lastOutline_ = outlined ? f : 0;
    std::copy(colourOf, colourOf + MaxFeud + 1, paint.lastColour_);
    paint.lastStamp_ = out.Stamp();
}

void TMapPaint::RepaintWhole(const Picture::Pixel* colourOf, Picture& out) const {
    // Row by row, stretch by stretch, every pixel written once: the colours
    // and the borders. The stores may run past a stretch into the ones after
    // it, written next, but never past the last row's end.
    Pixel* const pixels = out.Resize(MapWidth, MapHeight);
    const Pixel* const base = base_.Bits();
    for (int y = 0; y < MapHeight; ++y) {
        Pixel* const row = pixels + size_t(y) * MapWidth;
        const bool last = y == MapHeight - 1;
        size_t x = 0;
        for (int k = rowStretches_[y]; k < rowStretches_[y + 1]; ++k) {
            const TMapPaint::Stretch stretch = stretch_[k];
            if (stretch.kind == TMapPaint::BaseStretch)
                std::memcpy(row + x, base + size_t(y) * MapWidth + x, (stretch.end - x) * sizeof(Pixel));
            else if (!last)
                FillPast(row, x, stretch.end, colourOf[stretch.kind]);
            else
                Picture::FillPixels(row + x, stretch.end - x, colourOf[stretch.kind]);
            x = stretch.end;
        }
    }
}

void DrawBorders(const TMapPaint& paint, Picture& out) {
    if (out.Width() != MapWidth || out.Height() != MapHeight) return;
    Pixel* const pixels = out.WritableBits();
    for (int r = 0; r < paint.borderRuns_; ++r) {
        const TMapPaint::Run& run = paint.border_[r];
        Picture::FillPixels(pixels + size_t(run.y) * MapWidth + run.x0, size_t(run.x1 - run.x0),
                            Picture::PixelOf(Colors::Black));
    }
}

void DrawOutline(const TMapPaint& paint, int f, Picture& out) {
    if (f < 1 || f > MaxFeud || out.Width() != MapWidth || out.Height() != MapHeight) return;
    PaintCells(paint.outline_[f], paint.outlineWords_[f][0], paint.outlineWords_[f][1],
               Picture::PixelOf(Colors::White), out.WritableBits());
}

QString FormatRealPlain(double v) {
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(v, 'g', 15);
}

QString FormatReal(double v) {
    // The figures of a feud are small non-negative reals: written as printf's
    // "%.15g" does, which is the same form, with the user's decimal separator
    // put in. Anything else (a sign, an exponent, no number at all, digits
    // other than 0-9) goes the locale's own way.
    char digits[32];
    const auto [end, failed] = std::to_chars(digits, digits + sizeof digits, v, std::chars_format::general, 15);
    const QLocale locale;
    const auto other = [](char c) { return c != '.' && (c < '0' || c > '9'); };
    if (failed != std::errc() || !(v >= 0) || std::find_if(digits, end, other) != end ||
        locale.zeroDigit() != QLatin1String("0"))
        return FormatRealPlain(v);
    QString text = QString::fromLatin1(digits, end - digits);
    if (const qsizetype dot = text.indexOf(QLatin1Char('.')); dot >= 0) text.replace(dot, 1, locale.decimalPoint());
    return text;
}
