#include <gtest/gtest.h>

#include "EngineWorld.h"
#include "engine/ArmyOrders.h"
#include "engine/Battle.h"
#include "engine/Lenniks.h"

namespace {

// Feuds 1..4 with 100 lenniks each; the armies stand at home.
struct BattleTest : ::testing::Test {
    int lenniks[5] = {0, 100, 100, 100, 100};
    std::unique_ptr<TGameState> s = MakeWorld(4, lenniks);
    RecordedMessages msgs;
    void SetUp() override {
        for (int f = 1; f <= 4; ++f) s->Feuds[f].ArmyFeud = static_cast<uint8_t>(f);
    }
    void Field(int f, int field, int castle = 0) {
        MakeServing(*s, f, castle, true);
        MakeServing(*s, f, field, false);
    }
    void Attack(int a, int t) {
        s->Feuds[a].ArmyCommand = ArmyAttack;
        s->Feuds[a].ArmyTarget = static_cast<uint8_t>(t);
    }
    QString Report(int a, int na, int t, int nt, bool won) const {
        return QStringLiteral("Феодал Феодал%1 (%2) атаковал феодала Феодал%3 (%4) и %5")
            .arg(a)
            .arg(na)
            .arg(t)
            .arg(nt)
            .arg(won ? QStringLiteral("победил.") : QStringLiteral("проиграл."));
    }
};

TEST_F(BattleTest, DrawOrderAndLossesOnAWin) {
    Field(1, 30);
    Field(2, 10, 5);
    Random random(11);
    Random expected = random;
    const BattleOutcome o = FightBattle(*s, random, msgs, 1, 2);
    ASSERT_TRUE(o.Won);  // 30 against 10 cannot lose
    expected.Real();
    expected.Real();
    // The defender's field army first, in slot order: the survivors retreat.
    int lostD = 0;
    const QVector<int> defenders = [&] {
        QVector<int> v;
        for (int n = 101; n <= 200; ++n) v << n;
        return v;
    }();
    int field = 0;
    for (int n : defenders) {
        // Slots 101..105 are the castle, 106..115 the field army.
        if (n < 106 || n > 115) {
            EXPECT_EQ(s->Lenniks[n].Feud, 2);
            continue;
        }
        ++field;
        const bool falls = expected.Below(100) < 10;
        lostD += falls;
        EXPECT_EQ(s->Lenniks[n].Feud, falls ? 0 : 2) << n;
        if (!falls) {
            EXPECT_EQ(s->Lenniks[n].InCastle, 1) << n;
        }
    }
    EXPECT_EQ(field, 10);
    int lostA = 0;
    for (int n = 1; n <= 30; ++n) {
        const bool falls = expected.Below(100) < 10;
        lostA += falls;
        EXPECT_EQ(s->Lenniks[n].Feud, falls ? 0 : 1) << n;
        if (!falls) {
            EXPECT_EQ(s->Lenniks[n].InCastle, 0) << n;
        }
    }
    EXPECT_EQ(random.NextU64(), expected.NextU64());
    EXPECT_EQ(o.DefendersLost, lostD);
    EXPECT_EQ(o.AttackersLost, lostA);
    EXPECT_EQ(msgs.infos, (QStringList{Report(1, 30, 2, 10, true),
                                       QStringLiteral("Потери атакующих составили %1 рыцарей, защищавшихся %2 рыцарей.")
                                           .arg(lostA)
                                           .arg(lostD)}));
    EXPECT_EQ(s->Feuds[1].ArmyFeud, 2);
    EXPECT_EQ(CountFieldArmy(*s, 2), 0);
    EXPECT_EQ(CountInCastle(*s, 2), 15 - lostD);
}

TEST_F(BattleTest, DrawOrderOnADefeatAttackerFirstAndEverybodyStays) {
    Field(1, 5);
    Field(2, 20);
    Random random(5);
    Random expected = random;
    const BattleOutcome o = FightBattle(*s, random, msgs, 1, 2);
    ASSERT_FALSE(o.Won);
    expected.Real();
    expected.Real();
    for (int n = 1; n <= 5; ++n) EXPECT_EQ(s->Lenniks[n].Feud, expected.Below(100) < 10 ? 0 : 1) << n;
    for (int n = 101; n <= 120; ++n) {
        const bool falls = expected.Below(100) < 10;
        EXPECT_EQ(s->Lenniks[n].Feud, falls ? 0 : 2) << n;
        if (!falls) {
            EXPECT_EQ(s->Lenniks[n].InCastle, 0);
        }
    }
    EXPECT_EQ(random.NextU64(), expected.NextU64());
    EXPECT_EQ(msgs.infos.value(0), Report(1, 5, 2, 20, false));
    EXPECT_EQ(s->Feuds[1].ArmyFeud, 1);
    EXPECT_EQ(s->Feuds[2].Senior, 1);
}

TEST_F(BattleTest, EmptyDefenceLosesToAnyArmyAndTheGarrisonDoesNotFight) {
    Field(1, 1);
    Field(2, 0, 40);
    for (int seed = 1; seed <= 50; ++seed) {
        EXPECT_TRUE(AttackerWins(1, 0, Random(static_cast<uint64_t>(seed)).Real(), 0.99));
    }
    Random random(2);
    const BattleOutcome o = FightBattle(*s, random, msgs, 1, 2);
    EXPECT_TRUE(o.Won);
    EXPECT_EQ(o.Defenders, 0);
    EXPECT_EQ(o.DefendersLost, 0);
    EXPECT_EQ(CountInCastle(*s, 2), 40);
}

TEST_F(BattleTest, BothArmiesEmptyTheAttackerLoses) {
    Random random(4);
    Random expected = random;
    const BattleOutcome o = FightBattle(*s, random, msgs, 1, 2);
    EXPECT_FALSE(o.Won);
    EXPECT_EQ(msgs.infos, (QStringList{Report(1, 0, 2, 0, false),
                                       QStringLiteral("Потери атакующих составили 0 рыцарей, защищавшихся 0 рыцарей.")}));
    expected.Real();
    expected.Real();
    EXPECT_EQ(random.NextU64(), expected.NextU64());  // only the two strengths were drawn
    EXPECT_EQ(s->Feuds[2].Senior, 1);
    EXPECT_EQ(s->Feuds[1].ArmyFeud, 1);
}

TEST(BattleOdds, TwoToOneAlwaysWinsHalfAlwaysLosesEqualAboutHalf) {
    int wins = 0;
    for (int seed = 1; seed <= 4000; ++seed) {
        Random random(static_cast<uint64_t>(seed));
        const double u1 = random.Real();
        const double u2 = random.Real();
        ASSERT_TRUE(AttackerWins(20, 10, u1, u2));
        ASSERT_TRUE(AttackerWins(2, 1, u1, u2));
        ASSERT_FALSE(AttackerWins(10, 20, u1, u2));
        wins += AttackerWins(50, 50, u1, u2);
    }
    EXPECT_NEAR(wins / 4000.0, 0.5, 0.03);
    EXPECT_FALSE(AttackerWins(7, 7, 0.25, 0.25));  // equal strengths: the attacker loses
}

TEST(BattleOdds, AboutOneInTenFalls) {
    int lenniks[3] = {0, 100, 100};
    long lost = 0;
    for (int seed = 1; seed <= 60; ++seed) {
        auto s = MakeWorld(2, lenniks);
        MakeServing(*s, 1, 100);
        MakeServing(*s, 2, 100);
        Random random(static_cast<uint64_t>(seed));
        RecordedMessages msgs;
        const BattleOutcome o = FightBattle(*s, random, msgs, 1, 2);
        lost += o.AttackersLost + o.DefendersLost;
        // Fallen slots are free for good; the lennik figure stays.
        EXPECT_EQ(SlotsOf(*s, 1).size() + SlotsOf(*s, 2).size(), 200 - o.AttackersLost - o.DefendersLost);
        EXPECT_EQ(s->Feuds[1].Lennik, 100);
        EXPECT_EQ(s->Feuds[1].Victory + s->Feuds[1].Lose + s->Feuds[2].KillEnemy, 0);
    }
    EXPECT_NEAR(lost / 12000.0, 0.1, 0.015);
}

TEST_F(BattleTest, WinnerHandsTheBeatenFeudToHisSenior) {
    // 1 is the king; 2 and 3 his vassals; 4 independent.
    s->Feuds[4].Senior = 0;
    Field(2, 50);
    Field(4, 50);
    Random random(8);
    // A vassal's win gives the beaten feud to the vassal's senior.
    FightBattle(*s, random, msgs, 2, 3);
    s->Feuds[3].Senior = 4;  // (say 3 had changed sides)
    Field(3, 0);
    FightBattle(*s, random, msgs, 2, 3);
    EXPECT_EQ(s->Feuds[3].Senior, 1);
    // An independent's win makes the beaten feud his own vassal.
    FightBattle(*s, random, msgs, 4, 3);
    EXPECT_EQ(s->Feuds[3].Senior, 4);
    EXPECT_EQ(s->Feuds[4].ArmyFeud, 3);
}

TEST_F(BattleTest, VassalBeatingHisSeniorMakesHimHisOwnSenior) {
    s->Feuds[3].Senior = 2;
    Field(3, 30);
    Random random(9);
    const BattleOutcome o = FightBattle(*s, random, msgs, 3, 2);
    ASSERT_TRUE(o.Won);
    EXPECT_EQ(s->Feuds[2].Senior, 2);
    // Beating the king makes him a vassal while he stays KingFeud.
    Field(2, 0);
    s->Feuds[3].Senior = 2;
    FightBattle(*s, random, msgs, 3, 1);
    EXPECT_EQ(s->Feuds[1].Senior, 2);
    EXPECT_EQ(s->KingFeud, 1);
}

TEST_F(BattleTest, TwoAttacksOnOneFeudInOneWeek) {
    s->Feuds[3].Senior = 0;
    s->Feuds[4].Senior = 0;
    Field(2, 10);
    Field(3, 40);
    Field(4, 40);
    Attack(3, 2);
    Attack(4, 2);
    s->Feuds[4].CrossTime = 3;  // 4 marches longer
    Random random(12);
    BuildBattleOrder(*s);
    CalcBattle(*s, random, msgs);
    ASSERT_EQ(msgs.infos.size(), 4);
    EXPECT_TRUE(msgs.infos[0].startsWith(QStringLiteral("Феодал Феодал3 (40) атаковал феодала Феодал2 (10) и победил.")));
    // The survivors sit in the castle: the second attacker meets nobody.
    EXPECT_EQ(msgs.infos[2], Report(4, 40, 2, 0, true));
    EXPECT_EQ(s->Feuds[2].Senior, 4);
    EXPECT_EQ(s->Feuds[3].ArmyFeud, 2);
    EXPECT_EQ(s->Feuds[4].ArmyFeud, 2);
    for (int f = 1; f <= 4; ++f) EXPECT_EQ(s->Feuds[f].LennikAppear, CountServing(*s, f));
}

TEST_F(BattleTest, AttackOnAnArmyAwayFromHomeDoesNothing) {
    Field(1, 30);
    Field(2, 10);
    s->Feuds[2].ArmyFeud = 3;
    Attack(1, 2);
    Random random(1);
    Random before = random;
    BuildBattleOrder(*s);
    CalcBattle(*s, random, msgs);
    EXPECT_TRUE(msgs.all.isEmpty());
    EXPECT_EQ(s->Feuds[2].Senior, 1);
    EXPECT_EQ(s->Feuds[1].ArmyFeud, 1);
    EXPECT_EQ(random.NextU64(), before.NextU64());
}

}  // namespace
