#include <gtest/gtest.h>

#include "EngineWorld.h"
#include "engine/ArmyOrders.h"
#include "engine/Battle.h"
#include "engine/Lenniks.h"

namespace {

const QString MoveQuestion = QStringLiteral("Феодал не ваш сеньор/вассал. Вы уверены, что хотите переместить войско?");

struct OrdersTest : ::testing::Test {
    std::unique_ptr<TGameState> s = MakeWorld(5);
    RecordedMessages msgs;
    void SetUp() override { s->CurrentFeud = 2; }
    void Select(int f) { s->SelectFeud = static_cast<uint8_t>(f); }
};

TEST_F(OrdersTest, MoveAsksOnlyWhenTheSeniorsDiffer) {
    Select(3);  // both vassals of the king
    EXPECT_TRUE(OrderArmyMove(*s, msgs));
    EXPECT_TRUE(msgs.questions.isEmpty());
    EXPECT_EQ(s->Feuds[2].ArmyCommand, ArmyMove);
    EXPECT_EQ(s->Feuds[2].ArmyTarget, 3);
    EXPECT_EQ(ArmyCommandText(*s, 2), QStringLiteral("Переместиться на феод ") + s->NamesFeud[3].Name);

    s->Feuds[4].Senior = 2;  // one's own vassal has another senior
    Select(4);
    msgs.answers = {false};
    EXPECT_FALSE(OrderArmyMove(*s, msgs));
    EXPECT_EQ(msgs.questions, QStringList{MoveQuestion});
    EXPECT_EQ(s->Feuds[2].ArmyTarget, 3);  // No keeps the previous order
    EXPECT_EQ(s->Feuds[2].ArmyCommand, ArmyMove);

    msgs.answers = {true};
    EXPECT_TRUE(OrderArmyMove(*s, msgs));
    EXPECT_EQ(msgs.questions.size(), 2);
    EXPECT_EQ(s->Feuds[2].ArmyTarget, 4);
}

TEST_F(OrdersTest, AttackReplacesTheOrderAndCancelKeepsTheTarget) {
    Select(1);  // a feudal may attack his own senior, without a question
    EXPECT_TRUE(OrderArmyAttack(*s));
    EXPECT_TRUE(msgs.all.isEmpty());
    EXPECT_EQ(s->Feuds[2].ArmyCommand, ArmyAttack);
    EXPECT_EQ(s->Feuds[2].ArmyTarget, 1);
    EXPECT_EQ(ArmyCommandText(*s, 2), QStringLiteral("Захватить феод ") + s->NamesFeud[1].Name);
    CancelArmyOrder(*s);
    EXPECT_EQ(s->Feuds[2].ArmyCommand, ArmyNone);
    EXPECT_EQ(s->Feuds[2].ArmyTarget, 1);
    EXPECT_EQ(ArmyCommandText(*s, 2), QString());
}

TEST_F(OrdersTest, BorderPixelIsNoTarget) {
    Select(0);
    EXPECT_FALSE(OrderArmyAttack(*s));
    EXPECT_FALSE(OrderArmyMove(*s, msgs));
    Select(9);  // off the map
    EXPECT_FALSE(OrderArmyAttack(*s));
    EXPECT_EQ(s->Feuds[2].ArmyCommand, ArmyNone);
    EXPECT_TRUE(msgs.all.isEmpty());
}

TEST_F(OrdersTest, BattleOrderByMarchTimeThenFeudNumber) {
    s->Feuds[1].CrossTime = 3;
    s->Feuds[2].CrossTime = 1;
    s->Feuds[3].CrossTime = 2;
    s->Feuds[4].CrossTime = 1;
    s->Feuds[5].CrossTime = 1;
    auto order = [&](int f, uint8_t command, int from, int to) {
        s->Feuds[f].ArmyCommand = command;
        s->Feuds[f].ArmyFeud = static_cast<uint8_t>(from);
        s->Feuds[f].ArmyTarget = static_cast<uint8_t>(to);
    };
    order(5, ArmyAttack, 5, 4);  // 2
    order(4, ArmyMove, 4, 3);    // 3
    order(3, ArmyMove, 3, 4);    // 3
    order(1, ArmyAttack, 1, 2);  // 4
    order(2, ArmyNone, 2, 1);    // no order
    EXPECT_EQ(BuildBattleOrder(*s), 4);
    EXPECT_EQ(s->Feuds[5].ArmyTime, 2);
    EXPECT_EQ(s->Feuds[4].ArmyTime, 3);
    EXPECT_EQ(s->Feuds[1].ArmyTime, 4);
    EXPECT_EQ(s->Feuds[2].ArmyTime, 0);
    const uint8_t expected[] = {0, 5, 3, 4, 1, 0, 0};
    for (int k = 1; k <= 6; ++k) EXPECT_EQ(s->BattleOrder[k], expected[k]) << k;
}

TEST_F(OrdersTest, MovesAreCarriedOutWithoutMessages) {
    s->Feuds[2].ArmyFeud = 2;
    s->Feuds[2].ArmyCommand = ArmyMove;
    s->Feuds[2].ArmyTarget = 3;
    Random random(1);
    BuildBattleOrder(*s);
    CalcBattle(*s, random, msgs);
    EXPECT_EQ(s->Feuds[2].ArmyFeud, 3);
    EXPECT_TRUE(msgs.all.isEmpty());
}

TEST(OrdersInTurn, AnArmyThatMovedAwayIsNotAttacked) {
    int lenniks[4] = {0, 10, 10, 10};
    auto s = MakeWorld(3, lenniks);
    for (int f = 1; f <= 3; ++f) {
        MakeServing(*s, f, 10);
        s->Feuds[f].ArmyFeud = static_cast<uint8_t>(f);
    }
    // Feud 2 moves to 3 before feud 1 (larger crossings) attacks it.
    s->Feuds[1].CrossTime = 5;
    s->Feuds[2].ArmyCommand = ArmyMove;
    s->Feuds[2].ArmyTarget = 3;
    s->Feuds[1].ArmyCommand = ArmyAttack;
    s->Feuds[1].ArmyTarget = 2;
    Random random(3);
    Random before = random;
    RecordedMessages msgs;
    BuildBattleOrder(*s);
    CalcBattle(*s, random, msgs);
    EXPECT_EQ(s->Feuds[2].ArmyFeud, 3);
    EXPECT_TRUE(msgs.all.isEmpty());
    EXPECT_EQ(s->Feuds[2].Senior, 1);
    EXPECT_EQ(CountFieldArmy(*s, 2), 10);
    EXPECT_EQ(random.NextU64(), before.NextU64());  // no battle, no draw
}

}  // namespace
