#include "EngineWorld.h"

#include <QVector>

#include "engine/Lenniks.h"

std::unique_ptr<TGameState> MakeWorld(int n, const int* lenniks, int len) {
    auto s = std::make_unique<TGameState>();
    BuildWorld(*s, n, lenniks, len);
    return s;
}

void BuildWorld(TGameState& state, int n, const int* lenniks, int len) {
    TGameState* s = &state;
    ClearGameData(*s);
    FillNameTables(*s);
    s->QuantityFeud = static_cast<uint8_t>(n);
    s->QuantityGamer = 0;
    int slot = 0;
    for (int k = 1; k <= n; ++k) {
        TFeud& f = s->Feuds[k];
        f.NameFeud = static_cast<uint8_t>(k);
        f.Len = len;
        f.Lennik = lenniks ? lenniks[k] : 0;
        f.Grain = 1000;
        f.Peasant = 1000;
        f.Cow = 100;
        f.Horse = 50;
        f.Fertility = 1.0;
        f.CrossTime = static_cast<uint8_t>((len + 500) / 1000 + 1);
        f.Auth = 50;
        f.JobLennik = 10;
        f.JobVassal = 12;
        f.Senior = 1;
        f.NameFeudal.Assign(QStringLiteral("Феодал%1").arg(k));
        for (int j = 1; j <= n; ++j) f.Neighbour[j] = (j == k || j == k - 1 || j == k + 1) ? 1 : 0;
        s->TurnOrder[k] = static_cast<uint8_t>(k);
        for (int i = 0; i < f.Lennik; ++i) {
            ++slot;
            KillLennik(*s, slot);
            s->Lenniks[slot].Feud = static_cast<uint8_t>(k);
        }
    }
    IndexFeudSlots(*s);  // as world generation leaves it
    s->KingFeud = 1;
    s->Year = 1;
    s->Week = 1;
    s->TurnIndex = 0;
}

QVector<int> SlotsOf(const TGameState& s, int f) {
    QVector<int> found;
    for (int n = 1; n <= MaxLennik; ++n)
        if (s.Lenniks[n].Feud == f) found << n;
    return found;
}

void MakeServing(TGameState& s, int f, int count, bool inCastle) {
    for (int n = 1; n <= MaxLennik && count > 0; ++n) {
        TLennik& l = s.Lenniks[n];
        if (l.Feud != f || l.Appear == 1) continue;
        l.Appear = 1;
        l.InCastle = inCastle ? 1 : 0;
        --count;
    }
    RecountLennikAppear(s);
}
