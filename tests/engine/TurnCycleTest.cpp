#include <climits>
#include <cmath>

#include <gtest/gtest.h>

#include "EngineWorld.h"
#include "core/Random.h"
#include "engine/ArmyOrders.h"
#include "engine/Lenniks.h"
#include "engine/TurnCycle.h"

namespace {

TEST(Calendar, MonthsAndWeeksOfTheMonth) {
    EXPECT_EQ(TimeText(1, 1), QStringLiteral("1 год, май, 1 неделя"));
    EXPECT_EQ(TimeText(1, 4), QStringLiteral("1 год, май, 4 неделя"));
    EXPECT_EQ(TimeText(3, 5), QStringLiteral("3 год, июнь, 1 неделя"));
    EXPECT_EQ(TimeText(12, 7), QStringLiteral("12 год, июнь, 3 неделя"));
    EXPECT_EQ(TimeText(1, 9), QStringLiteral("1 год, июль, 1 неделя"));
    EXPECT_EQ(TimeText(1, 16), QStringLiteral("1 год, август, 4 неделя"));
    EXPECT_EQ(TimeText(1, 20), QStringLiteral("1 год, сентябрь, 4 неделя"));
    EXPECT_EQ(TimeText(1, 21), QStringLiteral("1 год, 1 неделя"));  // past the table: no month
}

struct YearEndTest : ::testing::Test {
    std::unique_ptr<TGameState> s = MakeWorld(3);
};

TEST_F(YearEndTest, EconomyGrowsWithTruncations) {
    TFeud& a = s->Feuds[1];
    a.Peasant = 99;
    a.Cow = 19;
    a.Horse = 39;
    a.Grain = 5;
    a.Fertility = 1.5;
    TFeud& b = s->Feuds[2];
    b.Peasant = 100;
    b.Cow = 20;
    b.Horse = 40;
    b.Grain = 0;
    YearEnd(*s);
    EXPECT_EQ(a.Peasant, 99);
    EXPECT_EQ(a.AddGrain, 148);  // trunc(99 * 1.5), from the peasants before they grew
    EXPECT_EQ(a.Grain, 153);
    EXPECT_EQ(a.AddCow, 0);
    EXPECT_EQ(a.Cow, 19);
    EXPECT_EQ(a.AddHorse, 1);
    EXPECT_EQ(a.Horse, 40);
    EXPECT_EQ(b.Peasant, 101);
    EXPECT_EQ(b.AddGrain, 100);
    EXPECT_EQ(b.AddCow, 1);
    EXPECT_EQ(b.Cow, 21);
    EXPECT_EQ(b.AddHorse, 2);
    EXPECT_EQ(b.AddLennik, 10);
}

TEST_F(YearEndTest, LennikCappedByLen) {
    s->Feuds[1].Len = 0;
    s->Feuds[1].Lennik = 0;
    s->Feuds[2].Len = 7;
    s->Feuds[2].Lennik = 3;
    s->Feuds[3].Len = 100;
    s->Feuds[3].Lennik = 3;
    YearEnd(*s);
    EXPECT_EQ(s->Feuds[1].Lennik, 0);
    EXPECT_EQ(s->Feuds[2].Lennik, 7);
    EXPECT_EQ(s->Feuds[3].Lennik, 13);
    EXPECT_EQ(s->Feuds[1].AddLennik, 10);
}

TEST_F(YearEndTest, CountsSaturateAtTheLargest32BitValue) {
    TFeud& f = s->Feuds[1];
    f.Peasant = INT_MAX - 5;
    f.Grain = INT_MAX - 1;
    f.Cow = INT_MAX;
    f.Horse = INT_MAX - 3;
    f.Lennik = INT_MAX - 2;
    f.Len = INT_MAX;
    YearEnd(*s);
    EXPECT_EQ(f.Peasant, INT_MAX);
    EXPECT_EQ(f.AddGrain, INT_MAX - 5);
    EXPECT_EQ(f.Grain, INT_MAX);
    EXPECT_EQ(f.AddCow, INT_MAX / 20);
    EXPECT_EQ(f.Cow, INT_MAX);
    EXPECT_EQ(f.Horse, INT_MAX);
    EXPECT_EQ(f.Lennik, INT_MAX);

    // A harvest too large for the count, and one that is no number at all.
    s->Feuds[2].Fertility = 1e12;
    s->Feuds[3].Fertility = std::nan("");
    YearEnd(*s);
    EXPECT_EQ(s->Feuds[2].AddGrain, INT_MAX);
    EXPECT_EQ(s->Feuds[2].Grain, INT_MAX);
    EXPECT_EQ(s->Feuds[3].AddGrain, 0);
}

TEST_F(YearEndTest, EverybodyGoesHomeAndTheFlagsClear) {
    int lenniks[4] = {0, 5, 5, 0};
    s = MakeWorld(3, lenniks);
    MakeServing(*s, 1, 2, true);
    MakeServing(*s, 2, 5);
    TFeud& f = s->Feuds[1];
    f.CallLennik = f.CallVassal = f.LennikInService = f.VassalInService = f.DismissLennik = f.DismissVassal = 1;
    f.WeekJobLennik = 4;
    YearEnd(*s);
    EXPECT_EQ(f.CallLennik + f.CallVassal + f.LennikInService + f.VassalInService + f.DismissLennik + f.DismissVassal, 0);
    EXPECT_EQ(f.WeekJobLennik, 4);  // the counter is never reset
    EXPECT_EQ(f.LennikAppear + s->Feuds[2].LennikAppear, 0);
    for (int n = 1; n <= 10; ++n) EXPECT_EQ(s->Lenniks[n].Appear, 0);
    EXPECT_EQ(s->Lenniks[1].InCastle, 1);  // the castle mark stays
}

// Records the window's steps as the cycle calls them.
struct RecordedHooks : TurnHooks {
    TGameState* s;
    QStringList steps;
    int view = -1;
    explicit RecordedHooks(TGameState* state) : s(state) {}
    int SelectedDipView() override { return view; }
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

    // Human players on the given feuds, seated in that order, then the computer.
    void Seat(std::initializer_list<int> humans) {
        int k = 0;
        for (int f : humans) {
            s->Feuds[f].Gamer = 1;
            s->TurnOrder[++k] = static_cast<uint8_t>(f);
        }
        for (int f = 1; f <= 4; ++f)
            if (s->Feuds[f].Gamer == 0) s->TurnOrder[++k] = static_cast<uint8_t>(f);
        s->QuantityGamer = static_cast<uint8_t>(humans.size());
    }
    int EndTurnNow() { return EndTurn(*s, random, msgs, hooks); }
};

TEST_F(CycleTest, FirstTurnGoesToTheFirstSeatWithoutEndingAnybodysTurn) {
    Seat({3});
    s->ArmyToCastle = 50;  // would raise the garrison error for an outgoing feud
    EXPECT_EQ(EndTurnNow(), 3);
    EXPECT_EQ(s->TurnIndex, 1);
    EXPECT_EQ(s->CurrentFeud, 3);
    EXPECT_EQ(s->DipFeud, 3);
    EXPECT_EQ(s->Week, 1);
    EXPECT_EQ(msgs.all, QStringList{QStringLiteral("Ходит феодал ") + GetFullNameFeudal(*s, 3) + QStringLiteral(".")});
    EXPECT_EQ(hooks.steps, (QStringList{"between 3", "prepared 3", "human 3"}));
    EXPECT_EQ(s->ArmyToCastle, 0);
}

TEST_F(CycleTest, OneEndOfTurnPlaysTheComputerAndTheWeeksEnd) {
    // The human sits second in the order, after a computer feudal.
    Seat({3});
    s->TurnOrder[1] = 1;
    s->TurnOrder[2] = 3;
    s->TurnOrder[3] = 2;
    s->TurnOrder[4] = 4;
    s->TurnIndex = 2;
    s->CurrentFeud = 3;
    s->Feuds[2].ArmyCommand = ArmyAttack;  // a computer's stale order is cleared
    s->Feuds[2].ArmyTarget = 1;
    hooks.view = 2;
    EXPECT_EQ(EndTurnNow(), 3);
    EXPECT_EQ(hooks.steps, (QStringList{"between 2", "prepared 2", "moved 2", "between 4", "prepared 4", "moved 4",
                                        "between 1", "prepared 1", "moved 1", "between 3", "prepared 3", "human 3"}));
    EXPECT_EQ(s->Week, 2);
    EXPECT_EQ(s->TurnIndex, 2);
    // Feuds 2 and 4 called at the week's end; feud 1 called after it, for the next one.
    EXPECT_EQ(s->Feuds[2].LennikInService, 1);
    EXPECT_EQ(s->Feuds[4].LennikInService, 1);
    EXPECT_EQ(s->Feuds[1].LennikInService, 0);
    EXPECT_EQ(s->Feuds[1].CallLennik, 1);
    EXPECT_EQ(s->Feuds[3].CallLennik, 0);  // the human decides for himself
    EXPECT_EQ(s->Feuds[2].ArmyCommand, ArmyNone);
    EXPECT_EQ(s->Feuds[3].DipView, 2);  // stored for the human who ended his turn
    EXPECT_EQ(s->Feuds[2].DipView, 2);  // the window shows each feudal his own view back
    EXPECT_EQ(msgs.all.size(), 1);
}

TEST_F(CycleTest, TwoHumansFollowEachOtherWithinTheWeek) {
    Seat({2, 4});
    EXPECT_EQ(EndTurnNow(), 2);
    msgs.Clear();
    EXPECT_EQ(EndTurnNow(), 4);
    EXPECT_EQ(s->Week, 1);
    EXPECT_EQ(msgs.all, QStringList{AnnouncementText(*s, 4)});
    EXPECT_EQ(EndTurnNow(), 2);
    EXPECT_EQ(s->Week, 2);
    EXPECT_EQ(s->Feuds[1].LennikInService, 1);
    EXPECT_EQ(s->Feuds[3].LennikInService, 1);
}

TEST_F(CycleTest, GarrisonErrorAtTheEndOfAHumansTurnComesBeforeTheNextAnnouncement) {
    Seat({2, 4});
    EndTurnNow();
    MakeServing(*s, 2, 3);
    s->ArmyToCastle = 5;
    msgs.Clear();
    EXPECT_EQ(EndTurnNow(), 4);
    EXPECT_EQ(msgs.all, (QStringList{QStringLiteral("Ошибка программы. Остались нераспределенные в замок ленники."),
                                     AnnouncementText(*s, 4)}));
    EXPECT_EQ(CountInCastle(*s, 2), 3);
}

TEST_F(CycleTest, PreparationClearsTheOrderAndCountsTheCastle) {
    Seat({1});
    MakeServing(*s, 1, 4, true);
    MakeServing(*s, 1, 6);
    s->Feuds[1].ArmyCommand = ArmyMove;
    s->Feuds[1].ArmyTarget = 2;
    s->Feuds[1].ArmyTime = 9;
    EndTurnNow();
    EXPECT_EQ(s->ArmyToCastle, 4);
    EXPECT_EQ(s->Feuds[1].ArmyCommand, 0);
    EXPECT_EQ(s->Feuds[1].ArmyTarget, 0);
    EXPECT_EQ(s->Feuds[1].ArmyTime, 0);
}

TEST_F(CycleTest, OrdersOfTheWeekAreCarriedOutAtItsEnd) {
    Seat({1});
    EndTurnNow();
    MakeServing(*s, 1, 20);
    s->Feuds[1].ArmyFeud = 1;
    s->SelectFeud = 2;
    ASSERT_TRUE(OrderArmyMove(*s, msgs));
    s->ArmyToCastle = 0;
    msgs.Clear();
    EndTurnNow();
    EXPECT_EQ(s->Feuds[1].ArmyFeud, 2);
    EXPECT_EQ(s->Feuds[1].ArmyCommand, 0);  // cleared at the next turn
    EXPECT_EQ(s->Feuds[2].ArmyTime, 0);
}

TEST_F(CycleTest, YearRollsOverAfterTheSeventhWeek) {
    Seat({1});
    s->Feuds[1].Peasant = 300;
    EndTurnNow();
    for (int week = 1; week <= 6; ++week) EndTurnNow();
    EXPECT_EQ(s->Week, 7);
    EXPECT_EQ(s->Year, 1);
    EXPECT_EQ(s->Feuds[1].AddGrain, 0);
    EndTurnNow();
    EXPECT_EQ(s->Week, 1);
    EXPECT_EQ(s->Year, 2);
    EXPECT_EQ(s->Feuds[1].AddLennik, 10);
    EXPECT_EQ(s->Feuds[1].AddGrain, 300);
    EXPECT_EQ(s->Feuds[1].Peasant, 303);
    EXPECT_EQ(s->Feuds[2].AddCow, 5);
    // All lenniks went home; the computer feudals, who move after the human,
    // call again in the new year.
    EXPECT_EQ(s->Feuds[2].LennikAppear, 0);
    EXPECT_EQ(s->Feuds[2].LennikInService, 0);
    EndTurnNow();
    EXPECT_EQ(s->Feuds[2].LennikInService, 1);
}

TEST_F(CycleTest, WithoutAHumanOneCallPlaysOneWeek) {
    EXPECT_EQ(EndTurnNow(), 0);
    EXPECT_EQ(s->Week, 2);
    EXPECT_EQ(s->TurnIndex, 0);
    EXPECT_EQ(EndTurnNow(), 0);
    EXPECT_EQ(s->Week, 3);
    for (int f = 1; f <= 4; ++f) EXPECT_EQ(s->Feuds[f].LennikInService, 1);
    s->QuantityFeud = 0;  // and an empty map does not hang
    EXPECT_EQ(EndTurnNow(), 0);
}

}  // namespace
