#include <cstring>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "EngineWorld.h"
#include "core/Random.h"
#include "engine/Lenniks.h"
#include "engine/TurnCycle.h"

namespace {

TEST(KillLennik, MakesAFreshRecruitAndIgnoresSlotsOffTheTable) {
    auto s = MakeWorld(2);
    TLennik& l = s->Lenniks[MaxLennik];
    l = TLennik{3, 1, 1, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9};
    KillLennik(*s, MaxLennik);
    EXPECT_EQ(l.Feud + l.Appear + l.InCastle + l.Spear + l.Sword + l.Riding + l.Morale + l.Discipline + l.Battle, 0);
    EXPECT_EQ(QVector<int>({l.Health, l.Strength, l.Endurance, l.Armour}), QVector<int>({25, 5, 15, 10}));
    // Slot 0 is not a lennik, and the records on either side of the table
    // (the feuds before it, the map grid after it) are no slots either.
    s->Lenniks[0] = TLennik{7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7};
    std::memset(s->Map, 0xA5, sizeof s->Map);
    auto bytes = [](const void* p, size_t n) { return std::string(static_cast<const char*>(p), n); };
    const std::string feuds = bytes(s->Feuds, sizeof s->Feuds);
    const std::string slot0 = bytes(&s->Lenniks[0], sizeof(TLennik));
    const std::string map = bytes(s->Map, sizeof s->Map);
    for (int n : {0, -1, MaxLennik + 1, MaxLennik + 2}) KillLennik(*s, n);
    EXPECT_TRUE(bytes(&s->Lenniks[0], sizeof(TLennik)) == slot0);
    EXPECT_TRUE(bytes(s->Feuds, sizeof s->Feuds) == feuds);
    EXPECT_TRUE(bytes(s->Map, sizeof s->Map) == map);
}

struct ServiceTest : ::testing::Test {
    int lenniks[4] = {0, 30, 20, 10};
    std::unique_ptr<TGameState> s = MakeWorld(3, lenniks);
    Random random{7};
    RecordedMessages msgs;
    void Order(int f, void (*command)(TGameState&)) {
        s->CurrentFeud = static_cast<uint8_t>(f);
        command(*s);
    }
    void WeekEnd(int weeks = 1) {
        while (weeks-- > 0) NextTurnPlain(*s, random, msgs);
    }
};

TEST_F(ServiceTest, OneDrawPerSlotOfACallingFeudInSlotOrder) {
    // The draws the 20 slots of feud 2 will make; the authority is set to
    // one of them between 20 and 80, so that slot meets the threshold exactly
    // and stays home (a lennik answers when the draw is below the authority).
    const QVector<int> owned = SlotsOf(*s, 2);
    QVector<int> draws;
    Random replay = random;
    for (int i = 0; i < owned.size(); ++i) draws << replay.Below(100);
    int threshold = 0;
    for (int d : draws)
        if (threshold == 0 && d >= 20 && d <= 80) threshold = d;
    s->Feuds[2].Auth = threshold;
    for (int n : owned) s->Lenniks[n].InCastle = 1;  // an answer puts him in the field
    Order(2, CallLenniks);
    for (auto weekEnd : {NextTurnPlain, NextTurn}) {
        SCOPED_TRACE(weekEnd == NextTurn ? "one walk" : "pass per step");
        auto copy = std::make_unique<TGameState>(*s);
        Random used = random;
        weekEnd(*copy, used, msgs);
        int serving = 0;
        for (int i = 0; i < owned.size(); ++i) {
            const bool answers = draws[i] < threshold;
            EXPECT_EQ(copy->Lenniks[owned[i]].Appear, answers ? 1 : 0) << i;
            EXPECT_EQ(copy->Lenniks[owned[i]].InCastle, answers ? 0 : 1) << i;
            serving += answers;
        }
        EXPECT_TRUE(serving > 0 && serving < owned.size());  // both ways are seen
        EXPECT_TRUE(used == replay);  // nobody else drew
        EXPECT_EQ(copy->Feuds[2].LennikAppear, serving);
        EXPECT_EQ(copy->Feuds[2].CallLennik * 10 + copy->Feuds[2].LennikInService, 1);
        EXPECT_EQ(copy->Feuds[2].ArmyFeud, 2);
    }
}

TEST_F(ServiceTest, AuthorityZeroNobodyHundredEverybodyFiftyHalf) {
    s->Feuds[1].Auth = 0;
    s->Feuds[2].Auth = 100;
    for (int f = 1; f <= 2; ++f) Order(f, CallLenniks);
    // A source whose draws for the 30 slots of feud 1 include a 0: even
    // that lennik stays home.
    uint64_t zeroSeed = 1;
    for (;; ++zeroSeed) {
        Random r(zeroSeed);
        bool zero = false;
        for (int i = 0; i < 30; ++i) zero |= r.Below(100) == 0;
        if (zero) break;
    }
    for (auto weekEnd : {NextTurnPlain, NextTurn}) {
        SCOPED_TRACE(weekEnd == NextTurn ? "one walk" : "pass per step");
        auto copy = std::make_unique<TGameState>(*s);
        Random r(zeroSeed);
        weekEnd(*copy, r, msgs);
        EXPECT_EQ(copy->Feuds[1].LennikAppear, 0);
        EXPECT_EQ(copy->Feuds[1].LennikInService, 1);  // in service with nobody serving
        EXPECT_EQ(copy->Feuds[2].LennikAppear, 20);
    }

    long total = 0;
    for (int seed = 1; seed <= 200; ++seed) {
        Random r(static_cast<uint64_t>(seed));
        for (int n : SlotsOf(*s, 3)) s->Lenniks[n].Appear = 0;
        s->Feuds[3].CallLennik = 1;
        ServiceUpdate(*s, r);
        total += s->Feuds[3].LennikAppear;
    }
    EXPECT_NEAR(total / 2000.0, 0.5, 0.03);
}

TEST_F(ServiceTest, FirstYearsCallServesToTheYearsEndNextYearsEndsAfterFourWeeks) {
    s->Feuds[1].Auth = 100;
    Order(1, CallLenniks);
    WeekEnd(6);  // the week of the call is not counted
    EXPECT_EQ(s->Feuds[1].WeekJobLennik, 5);
    EXPECT_EQ(s->Feuds[1].LennikAppear, 30);
    WeekEnd();  // the end of week 7 closes the year and sends everybody home
    EXPECT_EQ(s->Feuds[1].WeekJobLennik, 6);
    EXPECT_EQ(s->Year, 2);
    EXPECT_EQ(s->Feuds[1].LennikAppear + s->Feuds[1].LennikInService, 0);

    Order(1, CallLenniks);
    WeekEnd(4);
    EXPECT_EQ(s->Feuds[1].LennikAppear, 30);
    WeekEnd();  // the counter reaches 10
    EXPECT_EQ(s->Feuds[1].LennikAppear, 0);
    EXPECT_EQ(s->Feuds[1].LennikInService, 1);  // no new call before the year's end

    WeekEnd(2);  // the counter is past 10 now: later calls last the year
    Order(1, CallLenniks);
    WeekEnd(6);
    EXPECT_EQ(s->Feuds[1].LennikAppear, 30);
}

// The worked example of the guide's "Срок службы и возвращение домой", week
// by week: feud 1 calls in the first week of three years running and never
// dismisses; feud 2 calls in the first week of the first year and dismisses
// in its third. Each row: the week that ended, then for each feud the counter
// of weeks served and whether his lenniks serve afterwards.
TEST_F(ServiceTest, TheGuidesWorkedExampleOfTheServiceCounter) {
    s->Feuds[1].Auth = 100;
    s->Feuds[2].Auth = 100;
    const struct {
        int year, week;
        int counter1;
        bool serving1;
        int counter2;
        bool serving2;
    } rows[] = {
        {1, 1, 0, true, 0, true},     {1, 2, 1, true, 1, true},     {1, 3, 2, true, 1, false},
        {1, 4, 3, true, 2, false},    {1, 5, 4, true, 3, false},    {1, 6, 5, true, 4, false},
        {1, 7, 6, false, 5, false},   {2, 1, 6, true, 5, false},    {2, 2, 7, true, 5, false},
        {2, 3, 8, true, 5, false},    {2, 4, 9, true, 5, false},    {2, 5, 10, false, 5, false},
        {2, 6, 11, false, 5, false},  {2, 7, 12, false, 5, false},  {3, 1, 12, true, 5, false},
        {3, 2, 13, true, 5, false},   {3, 7, 18, false, 5, false},
    };
    auto playWeek = [this] {
        if (s->Week == 1) Order(1, CallLenniks);
        if (s->Year == 1 && s->Week == 1) Order(2, CallLenniks);
        if (s->Year == 1 && s->Week == 3) Order(2, DismissLenniks);
        WeekEnd();
    };
    for (const auto& row : rows) {
        while (s->Year * 10 + s->Week < row.year * 10 + row.week) playWeek();
        SCOPED_TRACE(testing::Message() << "year " << row.year << ", week " << row.week);
        playWeek();
        EXPECT_EQ(s->Feuds[1].WeekJobLennik, row.counter1);
        EXPECT_EQ(s->Feuds[1].LennikAppear > 0, row.serving1);
        EXPECT_EQ(s->Feuds[2].WeekJobLennik, row.counter2);
        EXPECT_EQ(s->Feuds[2].LennikAppear > 0, row.serving2);
    }
}

TEST_F(ServiceTest, DismissalSendsEverybodyHomeAndThatWeekIsNotCounted) {
    s->Feuds[3].Auth = 100;
    Order(3, CallLenniks);
    WeekEnd(2);
    Order(3, DismissLenniks);
    WeekEnd();
    EXPECT_EQ(s->Feuds[3].WeekJobLennik, 1);
    EXPECT_EQ(s->Feuds[3].LennikAppear + s->Feuds[3].DismissLennik, 0);
    EXPECT_EQ(s->Feuds[3].LennikInService, 1);
}

TEST_F(ServiceTest, GarrisonSplitInSlotOrder) {
    MakeServing(*s, 1, 10);
    const QVector<int> owned = SlotsOf(*s, 1);
    for (int toCastle : {0, 10, 4}) {
        s->ArmyToCastle = toCastle;
        DistributeGarrison(*s, 1, msgs);
        for (int i = 0; i < 10; ++i) EXPECT_EQ(s->Lenniks[owned[i]].InCastle, i < toCastle ? 1 : 0) << toCastle;
    }
    EXPECT_TRUE(msgs.errors.isEmpty());
    s->ArmyToCastle = 12;  // two more than serve
    DistributeGarrison(*s, 1, msgs);
    EXPECT_EQ(CountInCastle(*s, 1), 10);
    EXPECT_EQ(msgs.errors, QStringList{QStringLiteral("Ошибка программы. Остались нераспределенные в замок ленники.")});
}

// A table as no world generation lays it out: feuds in runs of every length,
// free slots and slots of feuds off the map between them, flags other than 0
// and 1; indexed or not, and with slots freed since it was indexed.
std::unique_ptr<TGameState> RandomTable(Random& dice, bool indexed) {
    int lenniks[MaxFeud + 1] = {};
    const int q = 1 + dice.Below(MaxFeud);
    for (int f = 1; f <= q; ++f) lenniks[f] = dice.Below(3000);
    auto s = MakeWorld(q, lenniks);
    if (dice.Below(3) != 0)
        for (int n = 1; n <= MaxLennik;) {
            const int kind = dice.Below(8);
            const int feud = kind == 0 ? 0 : kind == 1 ? 1 + dice.Below(255) : 1 + dice.Below(MaxFeud);
            for (int run = 1 + dice.Below(kind < 4 ? 3 : 500); run > 0 && n <= MaxLennik; --run, ++n) {
                KillLennik(*s, n);
                s->Lenniks[n].Feud = static_cast<uint8_t>(feud);
            }
        }
    if (indexed)
        IndexFeudSlots(*s);
    else
        s->FeudSlots.Built = 0;
    for (int n = 1; n <= MaxLennik; ++n) {
        TLennik& l = s->Lenniks[n];
        if (dice.Below(20) == 0) KillLennik(*s, n);
        const int flags = dice.Below(12);
        l.Appear = static_cast<uint8_t>(flags < 4 ? 0 : flags < 11 ? 1 : 2);
        l.InCastle = static_cast<uint8_t>(dice.Below(3) == 0 ? 1 : dice.Below(20) == 0 ? 3 : 0);
    }
    return s;
}

// Each feud's own walk through the index of the feuds' slots gives what the
// plain pass over the whole table gives, feud after feud on one table: the
// counts, and the garrison's split with what is left of ArmyToCastle, the
// slots it leaves and the message when lenniks are missing.
TEST(FeudSlots, EachFeudsOwnWalkEqualsThePassOverTheWholeTable) {
    using S = TGameState;
    const struct {
        const char* name;
        std::function<int(S&, int, Messages&)> own, plain;
    } rows[] = {
        {"serving", [](S& s, int f, Messages&) { return CountServing(s, f); },
         [](S& s, int f, Messages&) { return CountServingPlain(s, f); }},
        {"in the castle", [](S& s, int f, Messages&) { return CountInCastle(s, f); },
         [](S& s, int f, Messages&) { return CountInCastlePlain(s, f); }},
        {"garrison",
         [](S& s, int f, Messages& m) {
             DistributeGarrison(s, f, m);
             return s.ArmyToCastle;
         },
         [](S& s, int f, Messages& m) {
             DistributeGarrisonPlain(s, f, m);
             return s.ArmyToCastle;
         }},
    };
    Random dice(2024);
    int nonzero = 0;
    for (int table = 0; table < 8; ++table) {
        const auto world = RandomTable(dice, table != 3);
        for (const auto& row : rows) {
            auto own = std::make_unique<S>(*world);
            auto plain = std::make_unique<S>(*world);
            RecordedMessages ownMsgs, plainMsgs;
            for (int f : {0, 1, 2, 3, 5, 8, 13, 17, 19, 20, 21, 100, 255, 256, -1}) {
                SCOPED_TRACE(testing::Message() << row.name << ", table " << table << ", feud " << f);
                const int32_t toCastle = dice.Below(4) == 0 ? dice.Below(3) - 1 : dice.Below(2500);
                own->ArmyToCastle = plain->ArmyToCastle = toCastle;
                const int got = row.own(*own, f, ownMsgs);
                ASSERT_EQ(got, row.plain(*plain, f, plainMsgs));
                nonzero += got != 0;
                ASSERT_EQ(std::memcmp(own->Lenniks, plain->Lenniks, sizeof own->Lenniks), 0);
                ASSERT_EQ(ownMsgs.all, plainMsgs.all);
            }
        }
    }
    EXPECT_GT(nonzero, 100);
}

TEST(VassalCall, OfferedToASeniorWithVassalsOnceAYear) {
    auto s = MakeWorld(4);  // 1 the king, 2..4 his vassals
    s->Feuds[3].Senior = 0;
    s->Feuds[4].Senior = 2;
    EXPECT_TRUE(CanCallVassals(*s, 1));
    EXPECT_TRUE(CanCallVassals(*s, 2));
    EXPECT_FALSE(CanCallVassals(*s, 3));  // independent without vassals
    s->Feuds[3].Senior = 3;               // being his own senior makes nobody a vassal
    EXPECT_FALSE(CanCallVassals(*s, 3));

    s->CurrentFeud = 1;
    CallVassals(*s);
    EXPECT_FALSE(CanCallVassals(*s, 1));
    EXPECT_EQ(CalledByLine(*s, 2), QStringLiteral("Вас призвал ") + GetFullNameFeudal(*s, 1));
    EXPECT_EQ(CalledByLine(*s, 1), QString());  // the king is not called by himself
    EXPECT_EQ(CalledByLine(*s, 4), QString());
    s->CurrentFeud = 3;  // a baron beaten by his own vassal is his own senior
    CallVassals(*s);
    EXPECT_EQ(CalledByLine(*s, 3), QString());
    YearEnd(*s);
    EXPECT_TRUE(CanCallVassals(*s, 1));
    EXPECT_EQ(CalledByLine(*s, 2), QString());
}

}  // namespace
