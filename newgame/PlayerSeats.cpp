#include "newgame/PlayerSeats.h"

#include "core/Cp1251.h"
#include "core/Names.h"

namespace {

bool NameCharacterAllowed(char16_t c) {
    if (c < 0x20 || c == 0x7F) return false;  // C1 controls are outside the code page anyway
    return FitsCp1251(c);
}

// The feud of pixel (x, y), 0 for a border pixel or a point off the map.
int FeudAt(const TGameState& s, int x, int y) {
    if (x < 0 || y < 0 || x >= MapWidth || y >= MapHeight) return 0;
    const int a = s.Map[y][x];
    return IsFeud(s, a) ? a : 0;
}

// Flood-fills the area of the present colour of (x, y) with colour.
void Repaint(Picture& picture, int x, int y, Rgb colour) {
    if (!picture.Contains(x, y)) return;
    picture.SurfaceFill(x, y, picture.GetPixel(x, y), colour);
}

QString StatusPrefix(TSeatStatus status) {
    switch (status) {
        case TSeatStatus::King:
            return QStringLiteral("Король ");
        case TSeatStatus::Vassal:
            return QStringLiteral("Вассал короля ");
        case TSeatStatus::Independent:
            break;
    }
    return QStringLiteral("Независимый барон ");
}

}  // namespace

QString FilterNameGamer(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (QChar ch : text)
        if (NameCharacterAllowed(ch.unicode())) out.append(ch);
    return out;
}

QString CheckNameGamer(const TGameState& s, const QString& name) {
    if (name.isEmpty()) return QStringLiteral("Имя не может быть пустым.");
    // Compared as it would be stored, so that no two stored names are equal.
    TNameFeudal typed;
    typed.Assign(name);
    const int q = s.QuantityFeud < MaxFeud ? s.QuantityFeud : MaxFeud;
    for (int k = 1; k <= q; ++k)
        if (s.Feuds[k].NameFeudal == typed) return QStringLiteral("Имя уже существует.");
    return QString();
}

TFeudHoverInfo FeudHoverInfo(const TGameState& s, int x, int y, TSeatStatus checked) {
    TFeudHoverInfo info;
    const int a = FeudAt(s, x, y);
    if (a == 0) {
        info.Name = QStringLiteral("Граница");
        return info;
    }
    const TFeud& f = s.Feuds[a];
    info.Name = FeudName(s, a);
    info.LennikMax = QString::number(f.Len);
    if (f.NameFeudal.IsEmpty())
        info.Feudal = QStringLiteral("Нет");
    else if (a == s.SelectFeud)
        info.Feudal = StatusPrefix(checked) + f.NameFeudal.ToQString();
    else {
        // An earlier player's seat shows the status he chose.
        TSeatStatus status = TSeatStatus::Vassal;
        if (a == s.KingFeud)
            status = TSeatStatus::King;
        else if (f.Senior == 0)
            status = TSeatStatus::Independent;
        info.Feudal = StatusPrefix(status) + f.NameFeudal.ToQString();
    }
    return info;
}

bool PickFeud(TGameState& s, Picture& picture, int x, int y) {
    const int a = FeudAt(s, x, y);
    if (a == 0 || !s.Feuds[a].NameFeudal.IsEmpty()) return false;
    Repaint(picture, x, y, Colors::Red);
    const int previous = IsFeud(s, s.SelectFeud) ? s.SelectFeud : 0;
    if (previous != 0) s.Feuds[previous].NameFeudal.Clear();
    s.SelectFeud = static_cast<uint8_t>(a);
    s.Feuds[a].NameFeudal.Assign(s.NameGamer);
    if (previous != 0) Repaint(picture, s.Feuds[previous].PosX, s.Feuds[previous].PosY, Colors::White);
    return true;
}

void ConfirmFeud(TGameState& s, Picture& picture, TSeatStatus status) {
    const int a = s.SelectFeud;
    if (!IsFeud(s, a)) return;
    TFeud& f = s.Feuds[a];
    if (picture.Contains(f.PosX, f.PosY)) picture.SurfaceFill(f.PosX, f.PosY, Colors::Red, Colors::Purple);
    switch (status) {
        case TSeatStatus::Vassal:
            f.Senior = SeniorOfUnknownKing;
            break;
        case TSeatStatus::King:
            s.KingFeud = static_cast<uint8_t>(a);
            f.Senior = static_cast<uint8_t>(a);
            break;
        case TSeatStatus::Independent:
            f.Senior = 0;
            break;
    }
}
