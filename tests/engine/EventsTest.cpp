// What the week's end notes in each feudal's event list, in both ways of
// running it, with the figures of the battle reports.
#include <cstring>
#include <functional>

#include <gtest/gtest.h>

#include "EngineWorld.h"
#include "core/Random.h"
#include "engine/Battle.h"
#include "engine/Events.h"
#include "engine/TurnCycle.h"

namespace {

// "feud kind from>to figures flag senior-before>senior"; a battle's losses,
// which the draws decide, are checked against its reports instead.
QString Describe(int f, const TEvent& e) {
    static const char* const kinds[] = {"", "battle", "move", "passed", "answered", "home", "won", "lost", "year"};
    QStringList figures;
    for (int k = 0; k < 5; ++k)
        figures << (e.Kind == EventBattle && (k == 2 || k == 3) ? QStringLiteral("?") : QString::number(e.Figures[k]));
    return QStringLiteral("%1 %2 %3>%4 %5 %6 %7>%8")
        .arg(f).arg(kinds[e.Kind]).arg(e.Feud).arg(e.Target).arg(figures.join(','))
        .arg(e.Flag).arg(e.SeniorBefore).arg(e.Senior);
}

void Field(TGameState& s, int f, int field, int castle = 0) {
    MakeServing(s, f, castle, true);
    MakeServing(s, f, field, false);
    s.Feuds[f].LennikInService = 1;
}
void Order(TGameState& s, int f, uint8_t command, int target) {
    s.Feuds[f].ArmyCommand = command;
    s.Feuds[f].ArmyTarget = static_cast<uint8_t>(target);
}

// Feuds 1..4 with 100 lenniks each, 1 the king and the others his vassals,
// every army at home, in week 3 of the first year.
TEST(Events, EachKindWithTheFiguresOfTheWeeksEnd) {
    using S = TGameState;
    const struct {
        const char* name;
        std::function<void(S&)> setup;
        QStringList expected;  // every feud's events, feud by feud
    } rows[] = {
        {"won attack", [](S& s) { Field(s, 1, 30), Field(s, 2, 10), Order(s, 1, ArmyAttack, 2); },
         {"1 battle 1>2 30,10,?,?,0 1 1>1", "2 battle 1>2 30,10,?,?,0 1 1>1"}},
        {"lost attack", [](S& s) { Field(s, 3, 5), Field(s, 4, 20), Order(s, 3, ArmyAttack, 4); },
         {"3 battle 3>4 5,20,?,?,0 0 1>0", "4 battle 3>4 5,20,?,?,0 0 1>0"}},
        {"attack by an army whose service ended this week",
         [](S& s) { Field(s, 2, 10), Field(s, 3, 6), s.Feuds[2].WeekJobLennik = 9, Order(s, 2, ArmyAttack, 3); },
         {"2 home 2>2 10,0,0,0,0 1 0>0", "2 battle 2>3 0,6,?,?,0 0 1>0", "3 battle 2>3 0,6,?,?,0 0 1>0"}},
        {"attack on an army away", [](S& s) { Field(s, 2, 10), s.Feuds[3].ArmyFeud = 4, Order(s, 2, ArmyAttack, 3); },
         {"2 passed 2>3 0,0,0,0,0 0 0>0"}},
        {"move", [](S& s) { Field(s, 2, 10), Order(s, 2, ArmyMove, 3); }, {"2 move 2>3 0,0,0,0,0 0 0>0"}},
        {"calls answered by all and by none",
         [](S& s) { s.Feuds[4].CallLennik = s.Feuds[3].CallLennik = 1, s.Feuds[4].Auth = 100, s.Feuds[3].Auth = 0; },
         {"3 answered 3>3 0,0,0,0,0 0 0>0", "4 answered 4>4 100,0,0,0,0 0 0>0"}},
        {"service over, the garrison too", [](S& s) { Field(s, 3, 8, 4), s.Feuds[3].WeekJobLennik = 9; },
         {"3 home 3>3 12,0,0,0,0 1 0>0"}},
        {"service over with nobody serving sends nobody home",
         [](S& s) { s.Feuds[3].LennikInService = 1, s.Feuds[3].WeekJobLennik = 9; }, {}},
        {"dismissal", [](S& s) { Field(s, 2, 7), s.Feuds[2].DismissLennik = 1; }, {"2 home 2>2 7,0,0,0,0 2 0>0"}},
        {"call and dismissal in one week: who answers goes home at once, and so does who served",
         [](S& s) { Field(s, 2, 7, 3), s.Feuds[2].CallLennik = s.Feuds[2].DismissLennik = 1; },
         {"2 answered 2>2 0,0,0,0,0 0 0>0"}},
        {"independent takes the king's vassal",
         [](S& s) { s.Feuds[4].Senior = 0, Field(s, 4, 50), Field(s, 3, 5), Order(s, 4, ArmyAttack, 3); },
         {"1 lost 4>3 0,0,0,0,0 0 1>4", "3 battle 4>3 50,5,?,?,0 1 1>4", "4 battle 4>3 50,5,?,?,0 1 1>4"}},
        {"vassal wins his senior a vassal",
         [](S& s) { s.Feuds[4].Senior = 0, Field(s, 2, 50), Order(s, 2, ArmyAttack, 4); },
         {"1 won 2>4 0,0,0,0,0 0 0>1", "2 battle 2>4 50,0,?,?,0 1 0>1", "4 battle 2>4 50,0,?,?,0 1 0>1"}},
        {"independent beats the king, who loses no vassal in himself",
         [](S& s) { s.Feuds[4].Senior = 0, Field(s, 4, 50), Field(s, 1, 5), Order(s, 4, ArmyAttack, 1); },
         {"1 battle 4>1 50,5,?,?,0 1 1>4", "4 battle 4>1 50,5,?,?,0 1 1>4"}},
        {"vassal beats his senior",
         [](S& s) { s.Feuds[3].Senior = 4, Field(s, 3, 50), Field(s, 4, 5), Order(s, 3, ArmyAttack, 4); },
         {"1 lost 3>4 0,0,0,0,0 0 1>4", "3 battle 3>4 50,5,?,?,0 1 1>4", "4 battle 3>4 50,5,?,?,0 1 1>4"}},
        {"year's end", [](S& s) { s.Week = 7, Field(s, 1, 20), s.Feuds[2].Lennik = 995; /* of 1000 fiefs */ },
         {"1 home 1>1 20,0,0,0,0 3 0>0", "1 year 1>1 1000,5,2,10,10 0 0>0", "2 year 2>2 1000,5,2,10,5 0 0>0",
          "3 year 3>3 1000,5,2,10,10 0 0>0", "4 year 4>4 1000,5,2,10,10 0 0>0"}},
    };
    for (const auto& row : rows) {
        std::unique_ptr<S> plain;  // the slots and the source the pass per step left
        Random plainRandom;
        for (auto weekEnd : {NextTurnPlain, NextTurn}) {
            SCOPED_TRACE(testing::Message() << row.name << (weekEnd == NextTurn ? ", one walk" : ", pass per step"));
            int lenniks[5] = {0, 100, 100, 100, 100};
            auto s = MakeWorld(4, lenniks);
            s->Week = 3;
            for (int f = 1; f <= 4; ++f) s->Feuds[f].ArmyFeud = static_cast<uint8_t>(f);
            row.setup(*s);
            const int week = s->Week;
            Random random(5);
            RecordedMessages msgs;
            weekEnd(*s, random, msgs);
            if (!plain) {
                plain = std::make_unique<S>(*s);
                plainRandom = random;
            } else {  // the one walk leaves the same slots, with the same draws made
                EXPECT_EQ(std::memcmp(s->Lenniks, plain->Lenniks, sizeof s->Lenniks), 0);
                EXPECT_TRUE(random == plainRandom);
            }
            QStringList got;
            for (int f = 1; f <= 4; ++f)
                for (int i = 0; i < EventCount(*s, f); ++i) {
                    const TEvent& e = EventAt(*s, f, i);
                    got << Describe(f, e);
                    EXPECT_EQ(e.Year * 10 + e.Week, 10 + week);  // the week that ended
                    const BattleOutcome o{e.Figures[0], e.Figures[1], e.Flag == 1, e.Figures[2], e.Figures[3]};
                    if (e.Kind == EventBattle) {  // the figures of the two report boxes
                        EXPECT_TRUE(msgs.infos.contains(BattleReportText(*s, e.Feud, e.Target, o)) &&
                                    msgs.infos.contains(LossReportText(o)));
                    }
                }
            EXPECT_EQ(got.join(" | ").toStdString(), row.expected.join(" | ").toStdString());
        }
    }
}

TEST(Events, AFullListDropsTheOldestAndAHumanTurnEmptiesHis) {
    auto s = MakeWorld(2);
    s->Feuds[2].Gamer = 1;
    for (int k = 0; k < MaxEvent + 3; ++k) {
        TEvent e = MakeEvent(EventMove, 1 + k % 2, 1);
        e.Figures[0] = k;
        RecordEvent(*s, 1, e);
        RecordEvent(*s, 2, e);
    }
    EXPECT_EQ(EventCount(*s, 1), MaxEvent);
    for (int i = 0; i < MaxEvent; ++i) EXPECT_EQ(EventAt(*s, 1, i).Figures[0], i + 3) << i;  // oldest first, past the wrap
    Random random(1);
    RecordedMessages msgs;
    TurnHooks hooks;
    ASSERT_EQ(EndTurn(*s, random, msgs, hooks), 2);
    EXPECT_EQ(EventCount(*s, 2), 0);  // shown at his turn
    EXPECT_EQ(EventCount(*s, 1), MaxEvent);  // the computer's stay for a test to read
}

}  // namespace
