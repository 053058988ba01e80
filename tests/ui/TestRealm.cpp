#include "TestRealm.h"

#include "core/Names.h"
#include "support/TestMaps.h"

namespace {
constexpr int Columns[] = {100, 200, 300};
constexpr int RowLine = 100;

int CellOf(int x, int y) {
    if (y == RowLine) return 0;
    int column = 0;
    for (int line : Columns) {
        if (x == line) return 0;
        if (x > line) ++column;
    }
    return (y < RowLine ? 1 : 5) + column;
}
}  // namespace

QPoint Inside(int f) {
    const int column = (f - 1) % 4;
    const int row = (f - 1) / 4;
    return QPoint(50 + column * 100, 50 + row * 100);
}

void BuildRealm(TGameState& s, int mover) {
    ClearGameData(s);
    FillNameTables(s);
    for (int y = 0; y < MapHeight; ++y)
        for (int x = 0; x < MapWidth; ++x) {
            const int f = CellOf(x, y);
            s.Map[y][x] = static_cast<uint8_t>(f);
            if (f) {  // the anchor is the cell's last pixel in row-major order
                s.Feuds[f].PosX = x;
                s.Feuds[f].PosY = y;
            }
        }
    s.QuantityFeud = 8;
    const uint8_t seniors[9] = {0, 1, 1, 1, 0, 4, 4, 2, 0};
    for (int f = 1; f <= 8; ++f) {
        TFeud& feud = s.Feuds[f];
        feud.NameFeud = static_cast<uint8_t>(f);
        feud.Senior = seniors[f];
        feud.NameFeudal.Assign(QStringLiteral("Феодал%1").arg(f));
        feud.Fertility = 1.0;
        feud.Neighbour[f] = 1;
        const int column = (f - 1) % 4, row = (f - 1) / 4;
        if (column > 0) feud.Neighbour[f - 1] = 1;
        if (column < 3) feud.Neighbour[f + 1] = 1;
        feud.Neighbour[row == 0 ? f + 4 : f - 4] = 1;
    }
    s.KingFeud = 1;
    s.CurrentFeud = static_cast<uint8_t>(mover);
    s.DipFeud = static_cast<uint8_t>(mover);
}

Picture RealmPicture() {
    Picture p = BlankMap();
    for (int x : Columns) VerticalLine(p, x);
    HorizontalLine(p, RowLine);
    return p;
}
