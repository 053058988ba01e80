#include "core/GameState.h"

TGameState Game;

void ClearGameData(TGameState& s) {
    std::memset(static_cast<void*>(s.Feuds), 0, sizeof s.Feuds);
    std::memset(static_cast<void*>(s.Lenniks), 0, sizeof s.Lenniks);
    std::memset(s.Map, 0, sizeof s.Map);
    s.QuantityFeud = 0;
    s.QuantityGamer = 0;
    s.Year = 0;
    s.Week = 0;
    std::memset(s.TurnOrder, 0, sizeof s.TurnOrder);
    s.TurnIndex = 0;
    s.CurrentFeud = 0;
    s.SelectFeud = 0;
    s.KingFeud = 0;
    std::memset(s.BattleOrder, 0, sizeof s.BattleOrder);
    s.NameGamer.Clear();
    s.DipFeud = 0;
    s.CursorFeud = 0;
    s.MapX = 0;
    s.MapY = 0;
    s.ArmyToCastle = 0;
    std::memset(static_cast<void*>(s.Events), 0, sizeof s.Events);
    s.FeudSlots.Built = 0;
}

void IndexFeudSlots(TGameState& s) {
    TFeudSlots& x = s.FeudSlots;
    // A run starts at a slot of a feud 1..MaxFeud whose slot before names
    // another feud; it ends where the next slot names another.
    int32_t runs[MaxFeud + 2] = {};
    unsigned before = 0;
    for (int n = 1; n <= MaxLennik; ++n) {
        const unsigned f = s.Lenniks[n].Feud;
        if (f != before && f >= 1 && f <= MaxFeud) ++runs[f];
        before = f;
    }
    x.First[0] = 0;
    x.First[1] = 0;
    for (int f = 1; f <= MaxFeud; ++f) x.First[f + 1] = x.First[f] + runs[f];
    int32_t next[MaxFeud + 1];
    for (int f = 1; f <= MaxFeud; ++f) next[f] = x.First[f];
    before = 0;
    for (int n = 1; n <= MaxLennik; ++n) {
        const unsigned f = s.Lenniks[n].Feud;
        if (f == before) continue;
        if (before >= 1 && before <= MaxFeud) x.End[next[before]++] = n;
        if (f >= 1 && f <= MaxFeud) x.Start[next[f]] = n;
        before = f;
    }
    if (before >= 1 && before <= MaxFeud) x.End[next[before]++] = MaxLennik + 1;
    x.Built = 1;
}

void IndexFeudSlotsFromRuns(TGameState& s, const TSlotRun* runs, int count) {
    TFeudSlots& x = s.FeudSlots;
    int32_t per[MaxFeud + 2] = {};
    for (int i = 0; i < count; ++i)
        if (runs[i].Feud >= 1 && runs[i].Feud <= MaxFeud) ++per[runs[i].Feud];
    x.First[0] = 0;
    x.First[1] = 0;
    for (int f = 1; f <= MaxFeud; ++f) x.First[f + 1] = x.First[f] + per[f];
    int32_t next[MaxFeud + 1];
    for (int f = 1; f <= MaxFeud; ++f) next[f] = x.First[f];
    for (int i = 0; i < count; ++i) {
        const TSlotRun& r = runs[i];
        if (r.Feud < 1 || r.Feud > MaxFeud) continue;
        x.Start[next[r.Feud]] = r.Start;
        x.End[next[r.Feud]++] = r.End;
    }
    x.Built = 1;
}

bool FeudSlotsCover(const TGameState& s, int f) {
    const TFeudSlots& x = s.FeudSlots;
    if (x.Built == 0 || f < 1 || f > MaxFeud) return true;
    int32_t run = x.First[f];
    for (int n = 1; n <= MaxLennik; ++n) {
        if (s.Lenniks[n].Feud != f) continue;
        while (run < x.First[f + 1] && x.End[run] <= n) ++run;
        if (run >= x.First[f + 1] || x.Start[run] > n) return false;
    }
    return true;
}

void CopyGameFields(const TGameState& from, TGameState& to) {
    std::memcpy(static_cast<void*>(to.Feuds), from.Feuds, sizeof to.Feuds);
    std::memcpy(to.Map, from.Map, sizeof to.Map);
    to.QuantityFeud = from.QuantityFeud;
    to.QuantityGamer = from.QuantityGamer;
    to.Year = from.Year;
    to.Week = from.Week;
    std::memcpy(to.TurnOrder, from.TurnOrder, sizeof to.TurnOrder);
    to.TurnIndex = from.TurnIndex;
    to.CurrentFeud = from.CurrentFeud;
    to.SelectFeud = from.SelectFeud;
    to.KingFeud = from.KingFeud;
    std::memcpy(to.BattleOrder, from.BattleOrder, sizeof to.BattleOrder);
    to.NameGamer = from.NameGamer;
    to.DipFeud = from.DipFeud;
    to.CursorFeud = from.CursorFeud;
    to.MapX = from.MapX;
    to.MapY = from.MapY;
    to.ArmyToCastle = from.ArmyToCastle;
}
