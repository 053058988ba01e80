#include <gtest/gtest.h>

#include "EngineWorld.h"
#include "engine/Lenniks.h"

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

}  // namespace
