#include <gtest/gtest.h>

#include "EngineWorld.h"
#include "core/Random.h"
#include "engine/Lenniks.h"
#include "engine/TurnCycle.h"

namespace {

TEST(KillLennik, MakesAFreshRecruitAndIgnoresSlotsOffTheTable) {
    auto s = MakeWorld(2);
    TLennik& l = s->Lenniks[7];
    l = TLennik{3, 1, 1, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9};
    KillLennik(*s, 7);
    EXPECT_EQ(l.Feud, 0);
    EXPECT_EQ(l.Appear, 0);
    EXPECT_EQ(l.InCastle, 0);
    EXPECT_EQ(l.Spear + l.Sword + l.Riding + l.Morale + l.Discipline + l.Battle, 0);
    EXPECT_EQ(l.Health, 25);
    EXPECT_EQ(l.Strength, 5);
    EXPECT_EQ(l.Endurance, 15);
    EXPECT_EQ(l.Armour, 10);

    s->Lenniks[MaxLennik].Feud = 2;
    KillLennik(*s, MaxLennik);
    EXPECT_EQ(s->Lenniks[MaxLennik].Feud, 0);
    KillLennik(*s, 0);
    KillLennik(*s, MaxLennik + 1);
    KillLennik(*s, -5);
    EXPECT_EQ(s->Lenniks[0].Health, 0);  // slot 0 is not a lennik
}

struct ServiceTest : ::testing::Test {
    int lenniks[4] = {0, 30, 20, 10};
    std::unique_ptr<TGameState> s = MakeWorld(3, lenniks);
    Random random{7};
    RecordedMessages msgs;

    void Call(int f) {
        s->CurrentFeud = static_cast<uint8_t>(f);
        CallLenniks(*s);
    }
    void Dismiss(int f) {
        s->CurrentFeud = static_cast<uint8_t>(f);
        DismissLenniks(*s);
    }
    // One week's end that only the service update matters to.
    void WeekEnd() { NextTurnPlain(*s, random, msgs); }
};

TEST_F(ServiceTest, EachSlotOfACallingFeudDrawsOnceInSlotOrder) {
    s->Feuds[2].Auth = 60;
    s->Lenniks[35].InCastle = 1;  // an answer puts him in the field
    Call(2);
    Random expected = random;
    ServiceUpdate(*s, random);
    const QVector<int> owned = SlotsOf(*s, 2);
    int serving = 0;
    for (int n : owned) {
        const bool answers = expected.Below(100) < 60;
        EXPECT_EQ(s->Lenniks[n].Appear, answers ? 1 : 0) << n;
        if (answers) {
            EXPECT_EQ(s->Lenniks[n].InCastle, 0) << n;
        }
        serving += answers;
    }
    EXPECT_EQ(random.NextU64(), expected.NextU64());  // nobody else drew
    EXPECT_EQ(s->Feuds[2].LennikAppear, serving);
    EXPECT_EQ(s->Feuds[2].CallLennik, 0);
    EXPECT_EQ(s->Feuds[2].LennikInService, 1);
    EXPECT_EQ(s->Feuds[2].ArmyFeud, 2);
    EXPECT_EQ(s->Feuds[1].LennikAppear, 0);
    EXPECT_EQ(s->Feuds[1].LennikInService, 0);
}

TEST_F(ServiceTest, AuthorityZeroNobodyHundredEverybody) {
    s->Feuds[1].Auth = 0;
    s->Feuds[2].Auth = 100;
    s->Feuds[3].Auth = 250;
    Call(1);
    Call(2);
    Call(3);
    ServiceUpdate(*s, random);
    EXPECT_EQ(s->Feuds[1].LennikAppear, 0);
    EXPECT_EQ(s->Feuds[1].LennikInService, 1);  // in service with nobody serving
    EXPECT_EQ(s->Feuds[2].LennikAppear, 20);
    EXPECT_EQ(s->Feuds[3].LennikAppear, 10);
}

TEST(ServiceChance, AboutHalfAnswerAtAuthorityFifty) {
    int lenniks[2] = {0, 1000};
    auto s = MakeWorld(1, lenniks);
    long total = 0;
    for (int seed = 1; seed <= 40; ++seed) {
        Random random(static_cast<uint64_t>(seed));
        for (int n = 1; n <= 1000; ++n) s->Lenniks[n].Appear = 0;
        s->Feuds[1].CallLennik = 1;
        ServiceUpdate(*s, random);
        total += s->Feuds[1].LennikAppear;
    }
    EXPECT_NEAR(total / 40000.0, 0.5, 0.02);
}

TEST_F(ServiceTest, CallInFirstWeekServesToTheYearsEndAndNextYearsCallEndsAfterFourWeeks) {
    s->Feuds[1].Auth = 100;
    s->Feuds[2].Auth = 100;
    Call(1);
    WeekEnd();  // week 1: the call is answered, the week is not counted
    EXPECT_EQ(s->Feuds[1].WeekJobLennik, 0);
    EXPECT_EQ(s->Feuds[1].LennikAppear, 30);
    for (int week = 2; week <= 6; ++week) WeekEnd();
    EXPECT_EQ(s->Week, 7);
    EXPECT_EQ(s->Feuds[1].WeekJobLennik, 5);
    EXPECT_EQ(s->Feuds[1].LennikAppear, 30);
    WeekEnd();  // the end of week 7 closes the year
    EXPECT_EQ(s->Feuds[1].WeekJobLennik, 6);
    EXPECT_EQ(s->Year, 2);
    EXPECT_EQ(s->Feuds[1].LennikAppear, 0);
    EXPECT_EQ(s->Feuds[1].LennikInService, 0);
    for (int n : SlotsOf(*s, 1)) ASSERT_EQ(s->Lenniks[n].Appear, 0);

    // Next year the counter goes on from 6: the service ends when it reaches 10.
    Call(1);
    WeekEnd();
    EXPECT_EQ(s->Feuds[1].LennikAppear, 30);
    for (int weeks = 1; weeks <= 3; ++weeks) {
        WeekEnd();
        EXPECT_EQ(s->Feuds[1].LennikAppear, 30) << weeks;
    }
    WeekEnd();  // the fourth week of service
    EXPECT_EQ(s->Feuds[1].WeekJobLennik, 10);
    EXPECT_EQ(s->Feuds[1].LennikAppear, 0);
    EXPECT_EQ(s->Feuds[1].LennikInService, 1);  // no new call before the year's end
    WeekEnd();
    EXPECT_EQ(s->Feuds[1].WeekJobLennik, 11);

    // A later call runs until the year's end.
    WeekEnd();  // year 3 begins
    EXPECT_EQ(s->Year, 3);
    Call(1);
    for (int week = 1; week <= 6; ++week) {
        WeekEnd();
        EXPECT_EQ(s->Feuds[1].LennikAppear, 30) << week;
    }
}

TEST_F(ServiceTest, DismissalSendsEverybodyHomeAndStopsTheCounter) {
    s->Feuds[3].Auth = 100;
    Call(3);
    WeekEnd();
    WeekEnd();
    EXPECT_EQ(s->Feuds[3].WeekJobLennik, 1);
    EXPECT_EQ(s->Feuds[3].LennikAppear, 10);
    Dismiss(3);
    EXPECT_EQ(s->Feuds[3].DismissLennik, 1);
    WeekEnd();
    EXPECT_EQ(s->Feuds[3].WeekJobLennik, 1);  // not counted in the week of the dismissal
    EXPECT_EQ(s->Feuds[3].LennikAppear, 0);
    EXPECT_EQ(s->Feuds[3].DismissLennik, 0);
    EXPECT_EQ(s->Feuds[3].LennikInService, 1);
    WeekEnd();
    EXPECT_EQ(s->Feuds[3].WeekJobLennik, 2);
}

TEST_F(ServiceTest, DismissalInTheWeekOfTheCallWins) {
    s->Feuds[2].Auth = 100;
    Call(2);
    Dismiss(2);
    Random before = random;
    ServiceUpdate(*s, random);
    EXPECT_EQ(s->Feuds[2].LennikAppear, 0);
    for (int n = 0; n < 20; ++n) before.Below(100);  // the draws were still made
    EXPECT_EQ(random.NextU64(), before.NextU64());
}

TEST_F(ServiceTest, GarrisonSplitByTrackBar) {
    MakeServing(*s, 1, 10);
    const QVector<int> owned = SlotsOf(*s, 1);
    s->CurrentFeud = 1;

    s->ArmyToCastle = 0;  // everybody marches
    DistributeGarrison(*s, 1, msgs);
    EXPECT_EQ(CountFieldArmy(*s, 1), 10);

    s->ArmyToCastle = 10;  // the maximum: everybody stays home
    DistributeGarrison(*s, 1, msgs);
    EXPECT_EQ(CountInCastle(*s, 1), 10);
    EXPECT_EQ(s->ArmyToCastle, 0);

    s->ArmyToCastle = 4;  // the first four in slot order stay
    DistributeGarrison(*s, 1, msgs);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(s->Lenniks[owned[i]].InCastle, i < 4 ? 1 : 0) << i;
    for (int i = 10; i < owned.size(); ++i) EXPECT_EQ(s->Lenniks[owned[i]].InCastle, 0);  // at home: untouched
    EXPECT_TRUE(msgs.errors.isEmpty());

    s->ArmyToCastle = 12;  // two more than serve
    DistributeGarrison(*s, 1, msgs);
    EXPECT_EQ(CountInCastle(*s, 1), 10);
    EXPECT_EQ(s->ArmyToCastle, 2);
    EXPECT_EQ(msgs.errors, QStringList{QStringLiteral("Ошибка программы. Остались нераспределенные в замок ленники.")});
}

TEST(VassalCall, OfferedToASeniorWithVassalsOnceAYear) {
    auto s = MakeWorld(4);
    s->Feuds[1].Senior = 1;  // the king
    s->Feuds[2].Senior = 1;
    s->Feuds[3].Senior = 0;  // independent, no vassals
    s->Feuds[4].Senior = 2;  // vassal of 2
    EXPECT_TRUE(CanCallVassals(*s, 1));
    EXPECT_TRUE(CanCallVassals(*s, 2));
    EXPECT_FALSE(CanCallVassals(*s, 3));
    EXPECT_FALSE(CanCallVassals(*s, 4));
    s->Feuds[2].Senior = 0;
    s->Feuds[4].Senior = 0;
    s->Feuds[3].Senior = 3;  // being his own senior makes nobody a vassal
    EXPECT_FALSE(CanCallVassals(*s, 1));
    EXPECT_FALSE(CanCallVassals(*s, 3));

    s->Feuds[4].Senior = 1;
    s->CurrentFeud = 1;
    CallVassals(*s);
    EXPECT_EQ(s->Feuds[1].CallVassal, 1);
    EXPECT_FALSE(CanCallVassals(*s, 1));
    EXPECT_EQ(CalledByLine(*s, 4), QStringLiteral("Вас призвал ") + GetFullNameFeudal(*s, 1));
    EXPECT_TRUE(CalledByLine(*s, 1).isEmpty());  // the king is his own senior and calls nobody but his vassals
    EXPECT_TRUE(CalledByLine(*s, 3).isEmpty());
    EXPECT_TRUE(CalledByLine(*s, 2).isEmpty());  // independent

    YearEnd(*s);
    EXPECT_EQ(s->Feuds[1].CallVassal, 0);
    EXPECT_TRUE(CanCallVassals(*s, 1));
    EXPECT_TRUE(CalledByLine(*s, 4).isEmpty());
}

}  // namespace
