#include "newgame/WorldGeneration.h"

#include <cstring>

#include "engine/Events.h"
#include "engine/Lenniks.h"

namespace {

int FeudCount(const TGameState& s) { return s.QuantityFeud < MaxFeud ? s.QuantityFeud : MaxFeud; }

void SetStartingFigures(TFeud& f, int k, const TStartingConditions& start) {
    f.NameFeud = static_cast<uint8_t>(k);
    f.Len = 0;
    f.LennikAppear = 0;
    f.Grain = start.Grain;
    f.Peasant = start.Peasant;
    f.Cow = start.Cow;
    f.Horse = start.Horse;
    f.Independence = static_cast<uint8_t>(start.Independence & 0xFF);  // the low byte, as stored
    f.Fertility = 1.0;
    f.AddLennik = 0;
    f.AddGrain = 0;
    f.AddCow = 0;
    f.AddHorse = 0;
    f.NameFeudal.Clear();
    f.Gamer = 0;
    f.Senior = 0;
    f.Auth = 50;
    f.JobLennik = 10;
    f.JobVassal = 12;
    f.CallLennik = 0;
    f.CallVassal = 0;
    f.LennikInService = 0;
    f.VassalInService = 0;
    f.DismissLennik = 0;
    f.DismissVassal = 0;
    f.Level = 0;
    f.LevelSpear = 0;
    f.LevelSword = 0;
    f.LevelRiding = 0;
    f.Health = 100;
    f.Strength = 10;
    f.Endurance = 25;
    f.Morale = 0;
    f.Discipline = 0;
    f.HorseSpeed = 30;
    f.HorseStrength = 50;
    f.HorseEndurance = 300;
    f.HorseSize = 5;
    f.HorseArmourHead = 0;
    f.HorseArmourBody = 0;
    f.WeaponSpear = 3;
    f.WeaponSword = 3;
    f.Helmet = 1;
    f.Defence = 5;
    f.Shield = 2;
    f.Hand = 1;
    f.Glove = 1;
    f.Leg = 1;
    f.Victory = 0;
    f.Lose = 0;
    f.VictorySiege = 0;
    f.LoseSiege = 0;
    f.KillEnemy = 0;
    f.KillOur = 0;
    f.PrisonerEnemy = 0;
    f.PrisonerOur = 0;
    f.ArmyCommand = ArmyNone;
    f.ArmyTarget = 0;
    f.ArmyTime = 0;
    f.DipMode = 0;
    f.DipView = 0;
    // A new game starts with nobody's service counted and every army at home,
    // so that a second game in the same run plays like the first.
    f.WeekJobLennik = 0;
    f.ArmyFeud = 0;
}

}  // namespace

void BuildNeighbours(TGameState& s) {
    const int q = FeudCount(s);
    for (int a = 1; a <= q; ++a)
        for (int b = 1; b <= q; ++b) s.Feuds[a].Neighbour[b] = 0;
    for (int y = 0; y < MapHeight; ++y) {
        for (int x = 0; x < MapWidth; ++x) {
            const int a = s.Map[y][x];
            if (a < 1 || a > q) continue;
            // The outer ring of the 5 x 5 window: the cells at distance exactly 2.
            for (int dy = -2; dy <= 2; ++dy) {
                const int ry = y + dy;
                if (ry < 0 || ry >= MapHeight) continue;
                const int step = (dy == -2 || dy == 2) ? 1 : 4;
                for (int dx = -2; dx <= 2; dx += step) {
                    const int rx = x + dx;
                    if (rx < 0 || rx >= MapWidth) continue;
                    const int b = s.Map[ry][rx];
                    if (b >= 1 && b <= q) s.Feuds[a].Neighbour[b] = 1;
                }
            }
        }
    }
}

void GenerateWorld(TGameState& s, const TStartingConditions& start) {
    const int q = FeudCount(s);
    BuildNeighbours(s);

    for (int k = 1; k <= q; ++k) SetStartingFigures(s.Feuds[k], k, start);
    ClearAllEvents(s);  // nothing has happened in the new game yet

    int32_t area[MaxFeud + 1] = {};
    for (int y = 0; y < MapHeight; ++y)
        for (int x = 0; x < MapWidth; ++x) {
            const int a = s.Map[y][x];
            if (a >= 1 && a <= q) ++area[a];
        }
    for (int k = 1; k <= q; ++k) {
        TFeud& f = s.Feuds[k];
        if (area[k] <= 25) {
            f.Len = 0;
            f.Lennik = 0;
        } else {
            f.Len = area[k] - 25;
            // A negative setting gives no lenniks rather than a negative count.
            f.Lennik = start.Lennik < 0 ? 0 : (start.Lennik < f.Len ? start.Lennik : f.Len);
        }
        f.CrossTime = static_cast<uint8_t>(static_cast<int>((f.Len + 500.0) / 1000.0) + 1);
    }

    std::memset(s.Lenniks, 0, sizeof s.Lenniks);
    int32_t n = 0;
    for (int k = 1; k <= q; ++k)
        for (int32_t i = 0; i < s.Feuds[k].Lennik && n < MaxLennik; ++i) {
            ++n;
            KillLennik(s, n);
            s.Lenniks[n].Feud = static_cast<uint8_t>(k);
        }
    IndexFeudSlots(s);
}

void BeginSeating(TGameState& s) {
    s.KingFeud = 0;
    s.SelectFeud = 0;
}

void SeatPlayer(TGameState& s, int seat) {
    if (seat < 1 || seat > MaxFeud || !IsFeud(s, s.SelectFeud)) return;
    s.Feuds[s.SelectFeud].Gamer = 1;
    s.TurnOrder[seat] = s.SelectFeud;
}

void SettleCrown(TGameState& s, Random& rnd) {
    const int q = FeudCount(s);
    int computers = 0;
    int at = s.QuantityGamer;
    for (int k = 1; k <= q; ++k)
        if (s.Feuds[k].Gamer == 0) {
            ++computers;
            if (at < MaxFeud) s.TurnOrder[++at] = static_cast<uint8_t>(k);
        }

    if (s.KingFeud == 0 && computers > 0) {
        int pick = rnd.Below(computers);
        for (int k = 1; k <= q; ++k)
            if (s.Feuds[k].Gamer == 0 && pick-- == 0) {
                s.KingFeud = static_cast<uint8_t>(k);
                s.Feuds[k].Senior = static_cast<uint8_t>(k);
                break;
            }
    }

    // With no king at all these players end independent.
    for (int k = 1; k <= q; ++k)
        if (s.Feuds[k].Senior == SeniorOfUnknownKing) s.Feuds[k].Senior = s.KingFeud;
}

void SettleVassalsAndRelations(TGameState& s, Random& rnd) {
    const int q = FeudCount(s);
    for (int k = 1; k <= q; ++k) {
        TFeud& f = s.Feuds[k];
        if (f.Gamer != 0) continue;
        if (k != s.KingFeud) f.Senior = rnd.Below(100) < f.Independence ? 0 : s.KingFeud;
        f.NameFeudal.Assign(s.NamesFeudal[k]);
    }

    // The king's party is the king with his vassals; everybody else stands alone.
    auto inParty = [&s](int k) { return s.KingFeud != 0 && s.Feuds[k].Senior == s.KingFeud; };
    for (int k = 1; k <= q; ++k) {
        TFeud& f = s.Feuds[k];
        const bool partyRow = inParty(k);
        for (int j = 1; j <= q; ++j) {
            const bool partyColumn = inParty(j);
            int8_t v;
            if (partyRow)
                v = partyColumn ? Ally : PersEnemy;
            else
                v = partyColumn ? Enemy : Unknown;
            f.DipToFeudalShow[j] = v;
            f.DipToFeudalTrue[j] = v;
            f.DipFromFeudalShow[j] = v;
            f.DipFromFeudalTrue[j] = v;
        }
    }

    s.Week = 1;
    s.Year = 1;
    s.TurnIndex = 0;
}
