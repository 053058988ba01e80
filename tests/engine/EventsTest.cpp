// What the week's end notes in each feudal's event list, in both ways of
// running it, with the figures of the battle reports.
#include <functional>

#include <gtest/gtest.h>

#include "EngineWorld.h"
#include "core/Random.h"
#include "engine/Battle.h"
#include "engine/Events.h"
#include "engine/TurnCycle.h"

namespace {

// One event as "feud kind figures", the figures of a battle's losses left out
// (they are checked against the reports).
QString Describe(int f, const TEvent& e) {
    const QString who = QStringLiteral("%1 ").arg(f);
    const QString pair = QStringLiteral(" %1>%2").arg(e.Feud).arg(e.Target);
    const int32_t* n = e.Figures;
    switch (e.Kind) {
    case EventBattle:
        return who + QStringLiteral("battle") + pair + QStringLiteral(" %1:%2 ").arg(n[0]).arg(n[1]) +
               (e.Flag ? QStringLiteral("won %1>%2").arg(e.SeniorBefore).arg(e.Senior) : QStringLiteral("lost"));
    case EventMove: return who + QStringLiteral("move") + pair;
    case EventAttackPassed: return who + QStringLiteral("passed") + pair;
    case EventLenniksAnswered: return who + QStringLiteral("answered %1").arg(n[0]);
    case EventLenniksHome:
        return who + QStringLiteral("home %1 ").arg(n[0]) +
               QStringList{"?", "service", "dismissed", "year"}.value(e.Flag, QStringLiteral("?"));
    case EventVassalWon: return who + QStringLiteral("vassal won") + pair;
    case EventVassalLost: return who + QStringLiteral("vassal lost") + pair + QStringLiteral(" to %1").arg(e.Senior);
    case EventYearEnd: return who + QStringLiteral("year %1 %2 %3 %4 %5").arg(n[0]).arg(n[1]).arg(n[2]).arg(n[3]).arg(n[4]);
    default: return who + QStringLiteral("?");
    }
}

struct Row {
    const char* name;
    std::function<void(TGameState&)> setup;
    QStringList expected;  // every feud's events, feud by feud
};

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
    const Row rows[] = {
        {"a won attack",
         [](TGameState& s) {
             Field(s, 1, 30);
             Field(s, 2, 10);
             Order(s, 1, ArmyAttack, 2);
         },
         {"1 battle 1>2 30:10 won 1>1", "2 battle 1>2 30:10 won 1>1"}},
        {"a lost attack",
         [](TGameState& s) {
             Field(s, 3, 5);
             Field(s, 4, 20);
             Order(s, 3, ArmyAttack, 4);
         },
         {"3 battle 3>4 5:20 lost", "4 battle 3>4 5:20 lost"}},
        {"an attack with an army whose service ended this week",
         [](TGameState& s) {
             Field(s, 2, 10);
             Field(s, 3, 6);
             s.Feuds[2].WeekJobLennik = 9;
             Order(s, 2, ArmyAttack, 3);
         },
         {"2 home 10 service", "2 battle 2>3 0:6 lost", "3 battle 2>3 0:6 lost"}},
        {"an attack on a feud whose army is away",
         [](TGameState& s) {
             Field(s, 2, 10);
             s.Feuds[3].ArmyFeud = 4;
             Order(s, 2, ArmyAttack, 3);
         },
         {"2 passed 2>3"}},
        {"a move", [](TGameState& s) { Field(s, 2, 10), Order(s, 2, ArmyMove, 3); }, {"2 move 2>3"}},
        {"a call answered",
         [](TGameState& s) {
             s.Feuds[4].CallLennik = 1;
             s.Feuds[4].Auth = 100;
             s.Feuds[3].CallLennik = 1;
             s.Feuds[3].Auth = 0;
         },
         {"3 answered 0", "4 answered 100"}},
        {"service over, the garrison too",
         [](TGameState& s) {
             Field(s, 3, 8, 4);
             s.Feuds[3].WeekJobLennik = 9;
         },
         {"3 home 12 service"}},
        {"a dismissal",
         [](TGameState& s) {
             Field(s, 2, 7);
             s.Feuds[2].DismissLennik = 1;
         },
         {"2 home 7 dismissed"}},
        {"an independent takes the king's vassal",
         [](TGameState& s) {
             s.Feuds[4].Senior = 0;
             Field(s, 4, 50);
             Field(s, 3, 5);
             Order(s, 4, ArmyAttack, 3);
         },
         {"1 vassal lost 4>3 to 4", "3 battle 4>3 50:5 won 1>4", "4 battle 4>3 50:5 won 1>4"}},
        {"a vassal wins his senior a vassal",
         [](TGameState& s) {
             s.Feuds[4].Senior = 0;
             Field(s, 2, 50);
             Order(s, 2, ArmyAttack, 4);
         },
         {"1 vassal won 2>4", "2 battle 2>4 50:0 won 0>1", "4 battle 2>4 50:0 won 0>1"}},
        {"a vassal beats his senior",
         [](TGameState& s) {
             s.Feuds[3].Senior = 4;
             Field(s, 3, 50);
             Field(s, 4, 5);
             Order(s, 3, ArmyAttack, 4);
         },
         {"1 vassal lost 3>4 to 4", "3 battle 3>4 50:5 won 1>4", "4 battle 3>4 50:5 won 1>4"}},
        {"the year's end",
         [](TGameState& s) {
             s.Week = 7;
             Field(s, 1, 20);
             s.Feuds[2].Lennik = 995;  // the fiefs hold 1000
         },
         {"1 home 20 year", "1 year 1000 5 2 10 10", "2 year 1000 5 2 10 5", "3 year 1000 5 2 10 10",
          "4 year 1000 5 2 10 10"}},
    };
    for (const Row& row : rows) {
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
            QStringList got;
            for (int f = 1; f <= 4; ++f)
                for (int i = 0; i < EventCount(*s, f); ++i) {
                    const TEvent& e = EventAt(*s, f, i);
                    got << Describe(f, e);
                    EXPECT_EQ(e.Year * 10 + e.Week, 10 + week);  // the week that ended
                    if (e.Kind != EventBattle) continue;
                    // The figures of the two report boxes.
                    BattleOutcome o{e.Figures[0], e.Figures[1], e.Flag == 1, e.Figures[2], e.Figures[3]};
                    EXPECT_TRUE(msgs.infos.contains(BattleReportText(*s, e.Feud, e.Target, o)));
                    EXPECT_TRUE(msgs.infos.contains(LossReportText(o)));
                }
            EXPECT_EQ(got.join(QStringLiteral(" | ")).toStdString(), row.expected.join(QStringLiteral(" | ")).toStdString());
        }
    }
}

TEST(Events, AFullListDropsTheOldestAndATurnShownEmptiesIt) {
    auto s = MakeWorld(2);
    for (int k = 0; k < MaxEvent + 3; ++k) {
        TEvent e = MakeEvent(EventAttackPassed, 1, 2);
        e.Figures[0] = k;
        RecordEvent(*s, 1, e);
    }
    RecordEvent(*s, 3, MakeEvent(EventMove, 3, 1));  // no such feud on the map
    ASSERT_EQ(EventCount(*s, 1), MaxEvent);
    EXPECT_EQ(EventAt(*s, 1, 0).Figures[0], 3);
    EXPECT_EQ(EventAt(*s, 1, MaxEvent - 1).Figures[0], MaxEvent + 2);
    EXPECT_EQ(EventCount(*s, 3), 0);

    // A human's list is emptied once his turn has begun; a computer's is kept.
    s->Feuds[2].Gamer = 1;
    RecordEvent(*s, 2, MakeEvent(EventMove, 2, 1));
    Random random(1);
    RecordedMessages msgs;
    TurnHooks hooks;
    EXPECT_EQ(EndTurn(*s, random, msgs, hooks), 2);
    EXPECT_EQ(EventCount(*s, 2), 0);
    EXPECT_EQ(EventCount(*s, 1), MaxEvent);
}

}  // namespace
