#include "ui/MapRendering.h"

#include <algorithm>

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

QString FormatReal(double v) {
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(v, 'g', 15);
}
