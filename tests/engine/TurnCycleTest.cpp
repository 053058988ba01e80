#include <climits>
#include <cmath>
#include <iterator>

#include <gtest/gtest.h>

#include "EngineWorld.h"
#include "core/Random.h"
#include "engine/Lenniks.h"
#include "engine/TurnCycle.h"

namespace {

TEST(Calendar, MonthsAndWeeksOfTheMonth) {
    EXPECT_EQ(TimeText(1, 1), QStringLiteral("1 год, май, 1 неделя"));
    EXPECT_EQ(TimeText(3, 5), QStringLiteral("3 год, июнь, 1 неделя"));
    EXPECT_EQ(TimeText(12, 7), QStringLiteral("12 год, июнь, 3 неделя"));
    EXPECT_EQ(TimeText(1, 20), QStringLiteral("1 год, сентябрь, 4 неделя"));
    EXPECT_EQ(TimeText(1, 21), QStringLiteral("1 год, 1 неделя"));  // past the table: no month
}

TEST(YearEnd, EconomyGrowsWithTruncationsAndLenniksCappedByLen) {
    auto s = MakeWorld(3);
    TFeud& a = s->Feuds[1];
    TFeud& b = s->Feuds[2];
    a.Peasant = 99, a.Cow = 19, a.Horse = 39, a.Grain = 5, a.Fertility = 1.5, a.Len = 0, a.Lennik = 0;
    b.Peasant = 100, b.Cow = 20, b.Horse = 40, b.Grain = 0, b.Len = 7, b.Lennik = 3;
    uint8_t* const flags[] = {&a.CallLennik, &a.CallVassal, &a.LennikInService,
                              &a.VassalInService, &a.DismissLennik, &a.DismissVassal};
    for (uint8_t* flag : flags) *flag = 1;
    YearEnd(*s);
    for (size_t i = 0; i < std::size(flags); ++i) EXPECT_EQ(*flags[i], 0) << i;  // every call and service over
    EXPECT_EQ(a.Peasant, 99);
    EXPECT_EQ(a.AddGrain, 148);  // trunc(99 * 1.5), from the peasants before they grew
    EXPECT_EQ(a.Grain, 153);
    EXPECT_EQ(a.AddCow, 0);
    EXPECT_EQ(a.AddHorse, 1);
    EXPECT_EQ(a.Horse, 40);
    EXPECT_EQ(a.Lennik, 0);
    EXPECT_EQ(b.Peasant, 101);
    EXPECT_EQ(b.AddCow, 1);
    EXPECT_EQ(b.Cow, 21);
    EXPECT_EQ(b.Lennik, 7);
    EXPECT_EQ(s->Feuds[3].Lennik, 10);
    EXPECT_EQ(b.AddLennik, 10);
}

TEST(YearEnd, CountsSaturateAtTheLargest32BitValue) {
    auto s = MakeWorld(3);
    TFeud& f = s->Feuds[1];
    f.Peasant = INT_MAX - 5, f.Grain = INT_MAX - 1, f.Cow = INT_MAX, f.Horse = INT_MAX - 3;
    f.Lennik = INT_MAX - 2, f.Len = INT_MAX;
    s->Feuds[2].Fertility = 1e12;
    s->Feuds[3].Fertility = std::nan("");
    YearEnd(*s);
    EXPECT_EQ(f.Peasant, INT_MAX);
    EXPECT_EQ(f.Grain, INT_MAX);
    EXPECT_EQ(f.AddCow, INT_MAX / 20);
    EXPECT_EQ(f.Cow, INT_MAX);
    EXPECT_EQ(f.Horse, INT_MAX);
    EXPECT_EQ(f.Lennik, INT_MAX);
    EXPECT_EQ(s->Feuds[2].AddGrain, INT_MAX);  // a harvest too large for the count
    EXPECT_EQ(s->Feuds[3].AddGrain, 0);        // and one that is no number at all

    // The calendar holds at the largest year.
    s->Year = INT_MAX;
    s->Week = 7;
    Random random(1);
    RecordedMessages msgs;
    NextTurn(*s, random, msgs);
    EXPECT_EQ(s->Year, INT_MAX);
    EXPECT_EQ(s->Week, 1);
}

// Records the window's steps as the cycle calls them.
struct RecordedHooks : TurnHooks {
    TGameState* s;
    QStringList steps;
    explicit RecordedHooks(TGameState* state) : s(state) {}
    int SelectedDipView() override { return 2; }
    void BetweenTurns() override { steps << QStringLiteral("between %1").arg(s->CurrentFeud); }
    void TurnPrepared() override { steps << QStringLiteral("prepared %1").arg(s->CurrentFeud); }
    void ComputerMoved() override { steps << QStringLiteral("moved %1").arg(s->CurrentFeud); }
    void HumanTurnBegins() override { steps << QStringLiteral("human %1").arg(s->CurrentFeud); }
};

struct CycleTest : ::testing::Test {
    int lenniks[5] = {0, 20, 20, 20, 20};
    std::unique_ptr<TGameState> s = MakeWorld(4, lenniks);
    Random random{21};
    RecordedMessages msgs;
    RecordedHooks hooks{s.get()};
    int EndTurnNow() { return EndTurn(*s, random, msgs, hooks); }
};

TEST_F(CycleTest, OneEndOfTurnPlaysTheComputerAndTheWeeksEnd) {
    // The human on feud 3 sits second in the order, after a computer feudal.
    const uint8_t order[] = {0, 1, 3, 2, 4};
    std::copy(order, order + 5, s->TurnOrder);
    s->Feuds[3].Gamer = 1;
    EXPECT_EQ(EndTurnNow(), 3);  // the game's start: nobody's turn ends, the first feud moves
    EXPECT_EQ(s->Feuds[3].DipView, 0);
    EXPECT_EQ(hooks.steps, (QStringList{"between 1", "prepared 1", "moved 1", "between 3", "prepared 3", "human 3"}));
    EXPECT_EQ(msgs.all, QStringList{QStringLiteral("Ходит феодал ") + GetFullNameFeudal(*s, 3) + QStringLiteral(".")});
    hooks.steps.clear();
    msgs.Clear();
    s->Feuds[2].ArmyCommand = ArmyAttack;  // a stale order is cleared at the turn's start
    s->Feuds[2].ArmyTarget = 1;

    EXPECT_EQ(EndTurnNow(), 3);
    EXPECT_EQ(hooks.steps, (QStringList{"between 2", "prepared 2", "moved 2", "between 4", "prepared 4", "moved 4",
                                        "between 1", "prepared 1", "moved 1", "between 3", "prepared 3", "human 3"}));
    EXPECT_EQ(s->Week, 2);
    EXPECT_EQ(s->TurnIndex, 2);
    EXPECT_EQ(s->DipFeud, 3);
    for (int f : {1, 2, 4}) EXPECT_EQ(s->Feuds[f].LennikInService, 1) << f;
    EXPECT_EQ(s->Feuds[3].LennikInService, 0);  // the human decides for himself
    EXPECT_EQ(s->Feuds[2].ArmyCommand, ArmyNone);
    EXPECT_EQ(s->Feuds[3].DipView, 2);
    EXPECT_EQ(msgs.all, QStringList{AnnouncementText(*s, 3)});
}

TEST_F(CycleTest, WithoutAHumanOneCallPlaysOneWeek) {
    EXPECT_EQ(EndTurnNow(), 0);
    EXPECT_EQ(s->Week, 2);
    EXPECT_EQ(s->TurnIndex, 0);
    EXPECT_EQ(EndTurnNow(), 0);
    EXPECT_EQ(s->Week, 3);
    s->QuantityFeud = 0;  // an empty map still closes its week, with no draws
    const Random before = random;
    EXPECT_EQ(EndTurnNow(), 0);
    EXPECT_EQ(s->Week * 10 + s->TurnIndex, 40);
    EXPECT_TRUE(random == before);
    EXPECT_TRUE(msgs.all.isEmpty());
}

}  // namespace
