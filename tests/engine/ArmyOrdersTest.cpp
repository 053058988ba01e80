#include <gtest/gtest.h>

#include "EngineWorld.h"
#include "engine/ArmyOrders.h"
#include "engine/Battle.h"
#include "engine/Lenniks.h"

namespace {

TEST(ArmyOrders, MoveAsksOnlyWhenTheSeniorsDiffer) {
    auto s = MakeWorld(5);  // 1 the king, 2..5 his vassals
    RecordedMessages msgs;
    s->CurrentFeud = 2;
    s->SelectFeud = 3;
    EXPECT_TRUE(OrderArmyMove(*s, msgs));
    EXPECT_TRUE(msgs.questions.isEmpty());
    s->Feuds[4].Senior = 2;  // one's own vassal has another senior
    s->SelectFeud = 4;
    EXPECT_TRUE(OrderArmyMove(*s, msgs));
    EXPECT_EQ(msgs.questions.size(), 1);
    EXPECT_EQ(s->Feuds[2].ArmyTarget, 4);
    s->SelectFeud = 0;  // a border pixel is no target
    EXPECT_FALSE(OrderArmyAttack(*s));
    EXPECT_EQ(s->Feuds[2].ArmyCommand, ArmyMove);
}

// The order as the army page states it, up to the last feud a map can hold.
TEST(ArmyOrders, OrderTextNamesTheTarget) {
    auto s = MakeWorld(MaxFeud);
    const struct {
        uint8_t command;
        int target;
        QString expected;
    } rows[] = {
        {ArmyMove, 3, QStringLiteral("Переместиться на феод ") + s->NamesFeud[3].Name},
        {ArmyAttack, MaxFeud, QStringLiteral("Захватить феод ") + s->NamesFeud[MaxFeud].Name},
        {ArmyNone, 4, QString()},
    };
    ASSERT_FALSE(s->NamesFeud[MaxFeud].Name.isEmpty());
    for (const auto& row : rows) {
        s->Feuds[2].ArmyCommand = row.command;
        s->Feuds[2].ArmyTarget = static_cast<uint8_t>(row.target);
        EXPECT_EQ(ArmyCommandText(*s, 2), row.expected) << row.target;
    }
}

TEST(ArmyOrders, BattleOrderByMarchTimeThenFeudNumber) {
    auto s = MakeWorld(5);
    const int cross[] = {0, 3, 1, 2, 1, 1};
    for (int f = 1; f <= 5; ++f) s->Feuds[f].CrossTime = static_cast<uint8_t>(cross[f]);
    auto order = [&](int f, uint8_t command, int from, int to) {
        s->Feuds[f].ArmyCommand = command;
        s->Feuds[f].ArmyFeud = static_cast<uint8_t>(from);
        s->Feuds[f].ArmyTarget = static_cast<uint8_t>(to);
    };
    order(5, ArmyAttack, 5, 4);  // 1 + 1
    order(4, ArmyMove, 4, 3);    // 1 + 2
    order(3, ArmyMove, 3, 4);    // 2 + 1
    order(1, ArmyAttack, 1, 2);  // 3 + 1
    order(2, ArmyNone, 2, 1);
    for (uint8_t& entry : s->BattleOrder) entry = 2;  // last week's longer list: none of it stays
    EXPECT_EQ(BuildBattleOrder(*s), 4);
    const uint8_t expected[] = {0, 5, 3, 4, 1, 0};
    for (int k = 1; k <= 5; ++k) EXPECT_EQ(s->BattleOrder[k], expected[k]) << k;
    for (int k = 6; k <= MaxFeud; ++k) EXPECT_EQ(s->BattleOrder[k], 0) << k;
    EXPECT_EQ(s->Feuds[1].ArmyTime, 4);
    EXPECT_EQ(s->Feuds[2].ArmyTime, 0);
}

TEST(ArmyOrders, AnArmyThatMovedAwayIsNotAttacked) {
    int lenniks[4] = {0, 10, 10, 10};
    auto s = MakeWorld(3, lenniks);
    for (int f = 1; f <= 3; ++f) {
        MakeServing(*s, f, 10);
        s->Feuds[f].ArmyFeud = static_cast<uint8_t>(f);
    }
    s->Feuds[1].CrossTime = 5;  // feud 1 marches longer than feud 2
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
    EXPECT_EQ(s->Feuds[1].ArmyFeud, 1);
    EXPECT_TRUE(msgs.all.isEmpty());
    EXPECT_EQ(random.NextU64(), before.NextU64());  // no battle, no draw
}

}  // namespace
