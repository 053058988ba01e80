// The week's end the game runs (one pass over the lennik table) against the
// straightforward one (a pass per step): same state, same reports, same draws.
#include <cstring>

#include <gtest/gtest.h>

#include "EngineWorld.h"
#include "core/Random.h"
#include "engine/Lenniks.h"
#include "engine/TurnCycle.h"

namespace {

std::unique_ptr<TGameState> Copy(const TGameState& from) {
    auto s = std::make_unique<TGameState>();
    std::memcpy(static_cast<void*>(s->Feuds), from.Feuds, sizeof from.Feuds);
    std::memcpy(static_cast<void*>(s->Lenniks), from.Lenniks, sizeof from.Lenniks);
    std::memcpy(s->BattleOrder, from.BattleOrder, sizeof from.BattleOrder);
    for (int i = 0; i <= MaxFeud; ++i) s->NamesFeud[i] = from.NamesFeud[i];
    s->QuantityFeud = from.QuantityFeud;
    s->KingFeud = from.KingFeud;
    s->Year = from.Year;
    s->Week = from.Week;
    return s;
}

void ExpectSame(const TGameState& a, const TGameState& b) {
    for (int f = 1; f <= MaxFeud; ++f)
        ASSERT_EQ(std::memcmp(&a.Feuds[f], &b.Feuds[f], sizeof(TFeud)), 0) << "feud " << f;
    for (int n = 1; n <= MaxLennik; ++n) {
        const TLennik& x = a.Lenniks[n];
        const TLennik& y = b.Lenniks[n];
        ASSERT_TRUE(x.Feud == y.Feud && x.Appear == y.Appear && x.InCastle == y.InCastle && x.Health == y.Health)
            << "slot " << n;
    }
    ASSERT_EQ(std::memcmp(a.BattleOrder, b.BattleOrder, sizeof a.BattleOrder), 0);
    ASSERT_EQ(a.Week, b.Week);
    ASSERT_EQ(a.Year, b.Year);
    ASSERT_EQ(a.TurnIndex, b.TurnIndex);
}

// A week of a busy world: calls, dismissals, services ending, armies in and
// out of the castle, and orders of every kind, some against feuds whose army
// is away and some against the own feud.
void StirWorld(TGameState& s, Random& dice) {
    const int q = s.QuantityFeud;
    for (int f = 1; f <= q; ++f) {
        TFeud& feud = s.Feuds[f];
        if (feud.LennikInService == 0 && dice.Below(3) != 0) feud.CallLennik = 1;
        if (feud.LennikInService == 1 && dice.Below(6) == 0) feud.DismissLennik = 1;
        feud.Auth = dice.Below(4) == 0 ? 100 : dice.Below(101);
        feud.ArmyCommand = static_cast<uint8_t>(dice.Below(3));
        feud.ArmyTarget = static_cast<uint8_t>(dice.Below(5) == 0 ? f : 1 + dice.Below(q));
        if (dice.Below(8) == 0) feud.ArmyFeud = static_cast<uint8_t>(1 + dice.Below(q));
        feud.CrossTime = static_cast<uint8_t>(1 + dice.Below(3));
        feud.Senior = static_cast<uint8_t>(dice.Below(q + 1));
        feud.JobLennik = static_cast<uint8_t>(1 + dice.Below(4));
    }
    for (int n = 1; n <= MaxLennik; ++n) {
        TLennik& l = s.Lenniks[n];
        if (l.Feud == 0 || l.Appear == 0) continue;
        if (dice.Below(4) == 0) l.InCastle = static_cast<uint8_t>(1 - l.InCastle);
    }
}

TEST(WeekEnd, OnePassGivesTheSameWeeksAsAPassPerStep) {
    for (int seed = 1; seed <= 12; ++seed) {
        Random dice(static_cast<uint64_t>(1000 + seed));
        int lenniks[MaxFeud + 1] = {};
        const int q = 2 + dice.Below(19);
        for (int f = 1; f <= q; ++f) lenniks[f] = dice.Below(4) == 0 ? 0 : dice.Below(300);
        auto plain = MakeWorld(q, lenniks);
        plain->Week = static_cast<uint8_t>(1 + dice.Below(7));
        auto linked = Copy(*plain);
        Random r1(static_cast<uint64_t>(seed));
        Random r2(static_cast<uint64_t>(seed));
        RecordedMessages m1, m2;
        for (int week = 0; week < 10; ++week) {
            Random stir = dice;
            StirWorld(*plain, dice);
            StirWorld(*linked, stir);
            NextTurnPlain(*plain, r1, m1);
            NextTurn(*linked, r2, m2);
            SCOPED_TRACE(testing::Message() << "seed " << seed << " week " << week);
            ExpectSame(*plain, *linked);
            ASSERT_EQ(m1.all, m2.all);
            Random c1 = r1, c2 = r2;
            ASSERT_EQ(c1.NextU64(), c2.NextU64());
        }
        EXPECT_FALSE(m1.all.isEmpty());
    }
}

}  // namespace
