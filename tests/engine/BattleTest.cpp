#include <gtest/gtest.h>

#include "EngineWorld.h"
#include "engine/ArmyOrders.h"
#include "engine/Battle.h"
#include "engine/Lenniks.h"

namespace {

// Feuds 1..4 with 100 lenniks each in slots 1..100, 101..200, ...; 1 is the
// king and the others his vassals; every army stands at home.
struct BattleTest : ::testing::Test {
    int lenniks[5] = {0, 100, 100, 100, 100};
    std::unique_ptr<TGameState> s = MakeWorld(4, lenniks);
    RecordedMessages msgs;
    Random random{11};
    void SetUp() override {
        for (int f = 1; f <= 4; ++f) s->Feuds[f].ArmyFeud = static_cast<uint8_t>(f);
    }
    void Field(int f, int field, int castle = 0) {
        MakeServing(*s, f, castle, true);
        MakeServing(*s, f, field, false);
    }
    BattleOutcome Fight(int a, int t) { return FightBattle(*s, random, msgs, a, t); }
    static QString Report(int a, int na, int t, int nt, bool won) {
        return QStringLiteral("Феодал Феодал%1 (%2) атаковал феодала Феодал%3 (%4) и %5")
            .arg(a)
            .arg(na)
            .arg(t)
            .arg(nt)
            .arg(won ? QStringLiteral("победил.") : QStringLiteral("проиграл."));
    }
    // Replays the loss draws of slots first..last of feud f; returns the fallen.
    int ExpectLosses(Random& expected, int first, int last, int f, int survivorInCastle) {
        int lost = 0;
        for (int n = first; n <= last; ++n) {
            const bool falls = expected.Below(100) < 10;
            lost += falls;
            EXPECT_EQ(s->Lenniks[n].Feud, falls ? 0 : f) << n;
            EXPECT_EQ(s->Lenniks[n].InCastle, falls ? 0 : survivorInCastle) << n;
        }
        return lost;
    }
};

TEST_F(BattleTest, OnAWinTheDefenderDrawsFirstAndRetreatsIntoTheCastle) {
    Field(1, 30);
    Field(2, 10, 5);  // slots 101..105 in the castle, 106..115 in the field
    Random expected = random;
    const BattleOutcome o = Fight(1, 2);
    ASSERT_TRUE(o.Won);  // 30 against 10 cannot lose
    expected.Real();
    expected.Real();
    const int lostD = ExpectLosses(expected, 106, 115, 2, 1);
    const int lostA = ExpectLosses(expected, 1, 30, 1, 0);
    EXPECT_EQ(random.NextU64(), expected.NextU64());
    for (int n = 101; n <= 105; ++n) EXPECT_EQ(s->Lenniks[n].Feud, 2);  // the garrison does not fight
    EXPECT_EQ(msgs.infos, (QStringList{Report(1, 30, 2, 10, true),
                                       QStringLiteral("Потери атакующих составили %1 рыцарей, защищавшихся %2 рыцарей.")
                                           .arg(lostA)
                                           .arg(lostD)}));
    EXPECT_EQ(o.AttackersLost * 100 + o.DefendersLost, lostA * 100 + lostD);
    EXPECT_EQ(s->Feuds[1].ArmyFeud, 2);
    EXPECT_EQ(s->Feuds[1].Lennik, 100);  // losses leave the figure alone
}

TEST_F(BattleTest, OnADefeatTheAttackerDrawsFirstAndEverybodyStays) {
    Field(1, 5);
    Field(2, 20);
    Random expected = random;
    ASSERT_FALSE(Fight(1, 2).Won);
    expected.Real();
    expected.Real();
    ExpectLosses(expected, 1, 5, 1, 0);
    ExpectLosses(expected, 101, 120, 2, 0);
    EXPECT_EQ(random.NextU64(), expected.NextU64());
    EXPECT_EQ(msgs.infos.value(0), Report(1, 5, 2, 20, false));
    EXPECT_EQ(s->Feuds[1].ArmyFeud, 1);
    EXPECT_EQ(s->Feuds[2].Senior, 1);
}

TEST_F(BattleTest, EmptyArmies) {
    Field(2, 0, 40);
    Random expected = random;
    EXPECT_FALSE(Fight(1, 2).Won);  // nobody against nobody: the attacker loses
    EXPECT_EQ(msgs.infos, (QStringList{Report(1, 0, 2, 0, false),
                                       QStringLiteral("Потери атакующих составили 0 рыцарей, защищавшихся 0 рыцарей.")}));
    expected.Real();
    expected.Real();
    EXPECT_EQ(random.NextU64(), expected.NextU64());
    Field(1, 1);
    EXPECT_TRUE(Fight(1, 2).Won);  // anybody against nobody wins
    EXPECT_EQ(CountInCastle(*s, 2), 40);
}

TEST(BattleOdds, TwoToOneAlwaysWinsHalfAlwaysLosesEqualAboutHalf) {
    int wins = 0;
    for (int seed = 1; seed <= 4000; ++seed) {
        Random random(static_cast<uint64_t>(seed));
        const double u1 = random.Real();
        const double u2 = random.Real();
        ASSERT_TRUE(AttackerWins(20, 10, u1, u2));
        ASSERT_FALSE(AttackerWins(10, 20, u1, u2));
        wins += AttackerWins(50, 50, u1, u2);
    }
    EXPECT_NEAR(wins / 4000.0, 0.5, 0.03);
    EXPECT_FALSE(AttackerWins(7, 7, 0.25, 0.25));  // equal strengths: the attacker loses
}

TEST_F(BattleTest, TheBeatenFeudPassesToTheWinnersSenior) {
    s->Feuds[4].Senior = 0;
    s->Feuds[3].Senior = 4;
    Field(2, 50);
    Fight(2, 3);  // a vassal of the king wins: 3 goes to the king
    EXPECT_EQ(s->Feuds[3].Senior, 1);
    Field(4, 50);
    Fight(4, 3);  // an independent wins: 3 becomes his own vassal
    EXPECT_EQ(s->Feuds[3].Senior, 4);
    Field(3, 100);
    Fight(3, 4);  // a vassal beats his own senior, who becomes his own senior
    EXPECT_EQ(s->Feuds[4].Senior, 4);
    Fight(3, 1);  // the beaten king gets a senior and stays the king
    EXPECT_EQ(s->Feuds[1].Senior, 4);
    EXPECT_EQ(s->KingFeud, 1);
    EXPECT_EQ(msgs.infos.filter(QStringLiteral("победил.")).size(), 4);
}

TEST_F(BattleTest, TwoAttacksOnOneFeudInOneWeek) {
    s->Feuds[3].Senior = 0;
    s->Feuds[4].Senior = 0;
    Field(2, 10);
    Field(3, 40);
    Field(4, 40);
    for (int a : {3, 4}) {
        s->Feuds[a].ArmyCommand = ArmyAttack;
        s->Feuds[a].ArmyTarget = 2;
    }
    s->Feuds[4].CrossTime = 3;  // 4 marches longer
    BuildBattleOrder(*s);
    CalcBattle(*s, random, msgs);
    ASSERT_EQ(msgs.infos.size(), 4);
    EXPECT_EQ(msgs.infos[0], Report(3, 40, 2, 10, true));
    EXPECT_EQ(msgs.infos[2], Report(4, 40, 2, 0, true));  // the survivors sit in the castle
    EXPECT_EQ(s->Feuds[2].Senior, 4);
    EXPECT_EQ(s->Feuds[3].ArmyFeud, 2);
    EXPECT_EQ(s->Feuds[4].ArmyFeud, 2);
    for (int f = 1; f <= 4; ++f) EXPECT_EQ(s->Feuds[f].LennikAppear, CountServing(*s, f));
}

}  // namespace
