// The week's end the game runs (one pass over the lennik table) against the
// straightforward one (a pass per step): same state, same reports, same draws.
#include <cstring>

#include <gtest/gtest.h>

#include "EngineWorld.h"
#include "core/Random.h"
#include "engine/ArmyOrders.h"
#include "engine/Events.h"
#include "engine/Lenniks.h"
#include "engine/TurnCycle.h"

namespace {

std::unique_ptr<TGameState> Copy(const TGameState& from) {
    auto s = std::make_unique<TGameState>();
    std::memcpy(static_cast<void*>(s->Feuds), from.Feuds, sizeof from.Feuds);
    std::memcpy(static_cast<void*>(s->Lenniks), from.Lenniks, sizeof from.Lenniks);
    std::memcpy(s->BattleOrder, from.BattleOrder, sizeof from.BattleOrder);
    std::memcpy(static_cast<void*>(s->Events), from.Events, sizeof from.Events);
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
    for (int n = 0; n <= MaxLennik; ++n) {
        const TLennik& x = a.Lenniks[n];
        const TLennik& y = b.Lenniks[n];
        ASSERT_TRUE(x.Feud == y.Feud && x.Appear == y.Appear && x.InCastle == y.InCastle && x.Spear == y.Spear &&
                    x.Health == y.Health && x.Strength == y.Strength && x.Endurance == y.Endurance &&
                    x.Armour == y.Armour && x.Battle == y.Battle)
            << "slot " << n;
    }
    ASSERT_EQ(std::memcmp(a.BattleOrder, b.BattleOrder, sizeof a.BattleOrder), 0);
    for (int f = 0; f <= MaxFeud; ++f)
        ASSERT_EQ(std::memcmp(&a.Events[f], &b.Events[f], sizeof(TEventList)), 0) << "events of feud " << f;
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

// Both week's ends: at the end of the seventh week the battles are fought
// with the armies in the field, then the year's end sends everybody home;
// no march time outlives the week's end.
TEST(WeekEnd, TheSeventhWeeksBattlesComeBeforeEverybodyGoesHome) {
    int lenniks[4] = {0, 50, 50, 50};
    auto world = MakeWorld(3, lenniks);
    world->Week = 7;
    MakeServing(*world, 1, 40);
    MakeServing(*world, 2, 10);
    for (int f = 1; f <= 3; ++f) {
        world->Feuds[f].LennikInService = 1;
        world->Feuds[f].ArmyFeud = static_cast<uint8_t>(f);
        world->Feuds[f].ArmyTarget = 2;
    }
    world->Feuds[1].ArmyCommand = ArmyAttack;
    world->Feuds[3].ArmyCommand = ArmyMove;
    for (auto weekEnd : {NextTurnPlain, NextTurn}) {
        SCOPED_TRACE(weekEnd == NextTurn ? "one walk" : "pass per step");
        auto s = Copy(*world);
        Random random(4);
        RecordedMessages msgs;
        weekEnd(*s, random, msgs);
        ASSERT_EQ(msgs.infos.size(), 2);
        EXPECT_EQ(msgs.infos[0], QStringLiteral("Феодал Феодал1 (40) атаковал феодала Феодал2 (10) и победил."));
        EXPECT_EQ(s->Year * 10 + s->Week, 21);
        EXPECT_EQ(s->Feuds[1].ArmyFeud * 10 + s->Feuds[3].ArmyFeud, 22);
        for (int f = 1; f <= 3; ++f) {
            EXPECT_EQ(s->Feuds[f].ArmyTime, 0) << f;
            EXPECT_EQ(s->Feuds[f].LennikAppear + s->Feuds[f].LennikInService, 0) << f;
        }
        EXPECT_EQ(CountServing(*s, 1) + CountServing(*s, 2), 0);
    }
}

// Slots as no world generation lays them out: feuds interleaved in short
// runs, free slots between them, slots naming feuds off the map, and flags
// with values other than 0 and 1.
void ScatterSlots(TGameState& s, Random& dice) {
    const int q = s.QuantityFeud;
    int n = 1 + dice.Below(50);
    while (n <= MaxLennik) {
        const int kind = dice.Below(10);
        const int feud = kind == 0 ? 0 : kind == 1 ? q + 1 + dice.Below(255 - q) : 1 + dice.Below(q > 0 ? q : 1);
        for (int run = 1 + dice.Below(kind < 5 ? 3 : 400); run > 0 && n <= MaxLennik; --run, ++n) {
            TLennik& l = s.Lenniks[n];
            KillLennik(s, n);
            l.Feud = static_cast<uint8_t>(feud);
            const int flags = dice.Below(12);
            l.Appear = static_cast<uint8_t>(flags < 5 ? 0 : flags < 11 ? 1 : 2);
            l.InCastle = static_cast<uint8_t>(dice.Below(3) == 0 ? 1 : dice.Below(20) == 0 ? 3 : 0);
        }
        n += dice.Below(4) == 0 ? dice.Below(30) : 0;
    }
    IndexFeudSlots(s);
    RecountLennikAppear(s);
}

// Runs both week's ends side by side for some weeks on copies of one world,
// stirred alike before each week; every week's state, reports and the random
// source must agree, and so must every feudal's events. Returns the number
// of reports; kinds, when given, collects the kinds of event noted.
int ExpectSameWeeks(TGameState& start, Random& dice, uint64_t seed, int weeks, unsigned* kinds = nullptr) {
    auto plain = Copy(start);
    auto walked = Copy(start);
    Random r1(seed);
    Random r2(seed);
    RecordedMessages m1, m2;
    for (int week = 0; week < weeks; ++week) {
        Random stir = dice;
        StirWorld(*plain, dice);
        StirWorld(*walked, stir);
        NextTurnPlain(*plain, r1, m1);
        NextTurn(*walked, r2, m2);
        SCOPED_TRACE(testing::Message() << "seed " << seed << " week " << week);
        ExpectSame(*plain, *walked);
        EXPECT_EQ(m1.all, m2.all);
        EXPECT_TRUE(r1 == r2);
        if (testing::Test::HasFailure()) break;
        for (int f = 1; kinds && f <= MaxFeud; ++f)
            for (int i = 0; i < EventCount(*plain, f); ++i) *kinds |= 1u << EventAt(*plain, f, i).Kind;
    }
    return static_cast<int>(m1.all.size());
}

TEST(WeekEnd, OneWalkGivesTheSameWeeksAsAPassPerStep) {
    int reports = 0;
    unsigned kinds = 0;
    for (int seed = 1; seed <= 24 && !HasFailure(); ++seed) {
        Random dice(static_cast<uint64_t>(1000 + seed));
        int lenniks[MaxFeud + 1] = {};
        const int q = 2 + dice.Below(19);
        for (int f = 1; f <= q; ++f) lenniks[f] = dice.Below(4) == 0 ? 0 : dice.Below(seed % 4 == 0 ? 4000 : 300);
        auto world = MakeWorld(q, lenniks);
        world->Week = static_cast<uint8_t>(1 + dice.Below(7));
        if (seed % 3 == 0) ScatterSlots(*world, dice);
        reports += ExpectSameWeeks(*world, dice, static_cast<uint64_t>(seed), 10, &kinds);
    }
    EXPECT_GT(reports, 100);  // battles were fought
    EXPECT_EQ(kinds, ((1u << (EventYearEnd + 1)) - 1) & ~1u);  // and every kind of event noted
}

TEST(WeekEnd, OneWalkOnHandMadeWorlds) {
    Random dice(77);
    // A full table of twenty feuds at the end of the year; then the same
    // table with its slots interleaved.
    int full[MaxFeud + 1] = {};
    for (int f = 1; f <= MaxFeud; ++f) full[f] = MaxLennik / MaxFeud;
    auto world = MakeWorld(MaxFeud, full);
    world->Week = 7;
    EXPECT_GT(ExpectSameWeeks(*world, dice, 5, 3), 0);
    ScatterSlots(*world, dice);
    EXPECT_GT(ExpectSameWeeks(*world, dice, 6, 3), 0);
    // One feud alone; a map without feuds, whose slots name feuds it lacks.
    int one[2] = {0, 500};
    world = MakeWorld(1, one);
    ExpectSameWeeks(*world, dice, 7, 3);
    world->QuantityFeud = 0;
    ExpectSameWeeks(*world, dice, 8, 2);
}

}  // namespace
