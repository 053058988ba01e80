// Long play: a 20-feud game played for 500 weeks by the computer and two
// scripted humans who give random but legal orders. After every week the
// game's invariants must hold.
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "core/DataPath.h"
#include "core/GameState.h"
#include "core/Messages.h"
#include "core/Names.h"
#include "core/Picture.h"
#include "core/Random.h"
#include "engine/ArmyOrders.h"
#include "engine/Lenniks.h"
#include "engine/TurnCycle.h"
#include "newgame/RegionDetection.h"
#include "newgame/WorldGeneration.h"
#include "ui/Diplomacy.h"

namespace {

// Answers the move question at random and counts what the game says.
struct ScriptMessages : Messages {
    explicit ScriptMessages(Random& r) : random(r) {}
    Random& random;
    int infos = 0, errors = 0, questions = 0;
    void Info(const QString&) override { ++infos; }
    void Error(const QString&) override { ++errors; }
    bool Confirm(const QString&) override {
        ++questions;
        return random.Below(2) == 0;
    }
};

struct SoakTest : ::testing::Test {
    std::unique_ptr<TGameState> game = std::make_unique<TGameState>();
    TGameState& s = *game;
    std::vector<bool> everFree = std::vector<bool>(MaxLennik + 1, false);
    TFeud before[MaxFeud + 1] = {};  // the feuds as the last check saw them

    // A 20-feud world from the bundled map with two players seated.
    void NewGame(Random& random) {
        FillNameTables(s);
        Picture picture;
        ASSERT_TRUE(picture.Load(DataFilePath(QStringLiteral("maps/twenty.bmp"))));
        InitializeMap(s, picture);
        ASSERT_EQ(s.QuantityFeud, 20);
        GenerateWorld(s, TStartingConditions{});
        BeginSeating(s);
        const int seats[2] = {7, 14};
        for (int i = 0; i < 2; ++i) {
            s.NameGamer.Assign(QStringLiteral("Игрок %1").arg(i + 1));
            s.SelectFeud = static_cast<uint8_t>(seats[i]);
            s.Feuds[seats[i]].NameFeudal.Assign(s.NameGamer);
            s.Feuds[seats[i]].Senior = i == 0 ? SeniorOfUnknownKing : 0;
            SeatPlayer(s, i + 1);
        }
        s.QuantityGamer = 2;
        SettleCrown(s, random);
        SettleVassalsAndRelations(s, random);
    }

    // What a player might do in his turn: any command the window would offer.
    void PlayHumanTurn(Random& random, Messages& msgs) {
        const int c = s.CurrentFeud;
        TFeud& f = s.Feuds[c];
        if (f.LennikInService != 1 && random.Below(3) > 0) CallLenniks(s);
        else if (f.LennikAppear > 0 && f.LennikInService == 1 && random.Below(10) == 0) DismissLenniks(s);
        if (CanCallVassals(s, c) && random.Below(4) == 0) CallVassals(s);
        // The garrison track bar, when the army stands at home.
        if (f.ArmyFeud == c && f.LennikAppear > 0) s.ArmyToCastle = random.Below(f.LennikAppear + 1);
        // An order against a feud bordering the army, when a field army exists.
        const int army = f.ArmyFeud;
        if (f.LennikAppear > s.ArmyToCastle && IsFeud(s, army)) {
            const int target = 1 + random.Below(s.QuantityFeud);
            if (target != army && s.Feuds[army].Neighbour[target] == 1) {
                s.SelectFeud = static_cast<uint8_t>(target);
                const int what = random.Below(3);
                if (what == 0) OrderArmyMove(s, msgs);
                else if (what == 1 && !(target == c && army == c)) OrderArmyAttack(s);
                else if (f.ArmyCommand != 0) CancelArmyOrder(s);
            }
        }
        // Relations towards anybody but himself.
        const int other = 1 + random.Below(s.QuantityFeud);
        if (other != c) {
            static const int8_t codes[] = {PersEnemy, Enemy, Unknown, Peace, Ally};
            SetRelation(s, random.Below(2) ? RelationDeclared : RelationTrue, other, codes[random.Below(5)]);
        }
    }

    void CheckInvariants(int week) {
        SCOPED_TRACE(::testing::Message() << "after week " << week);
        int serving[MaxFeud + 1] = {};
        for (int k = 1; k <= MaxLennik; ++k) {
            const TLennik& l = s.Lenniks[k];
            if (l.Feud == 0) {
                everFree[k] = true;
                continue;
            }
            ASSERT_FALSE(everFree[k]) << "slot " << k << " came back";
            ASSERT_GE(l.Feud, 1);
            ASSERT_LE(l.Feud, s.QuantityFeud) << "slot " << k;
            if (l.Appear == 1) ++serving[l.Feud];
        }
        const bool yearEnded = week > 0 && s.Week == 1;
        for (int n = 1; n <= s.QuantityFeud; ++n) {
            const TFeud& f = s.Feuds[n];
            ASSERT_GE(f.Lennik, 0) << n;
            ASSERT_LE(f.Lennik, f.Len) << n;
            ASSERT_TRUE(f.Senior == 0 || (f.Senior >= 1 && f.Senior <= s.QuantityFeud)) << n << " " << int(f.Senior);
            ASSERT_EQ(f.LennikAppear, serving[n]) << "feud " << n;
            // The economy moves only at the year's end, whatever the battles:
            // grain by last year's peasants (every fertility is 1), peasants
            // by a hundredth, cows and horses by a twentieth.
            if (week == 0) {
                ASSERT_EQ(f.Fertility, 1.0) << n;
            }
            const TFeud& b = before[n];
            if (week > 0) {
                ASSERT_EQ(f.Grain, yearEnded ? b.Grain + b.Peasant : b.Grain) << "feud " << n;
                ASSERT_EQ(f.Peasant, yearEnded ? b.Peasant + b.Peasant / 100 : b.Peasant) << "feud " << n;
                ASSERT_EQ(f.Cow, yearEnded ? b.Cow + b.Cow / 20 : b.Cow) << "feud " << n;
                ASSERT_EQ(f.Horse, yearEnded ? b.Horse + b.Horse / 20 : b.Horse) << "feud " << n;
            }
            before[n] = f;
        }
        ASSERT_GE(s.Week, 1);
        ASSERT_LE(s.Week, 7);
    }
};

TEST_F(SoakTest, FiveHundredWeeksKeepTheInvariants) {
    Random random(20261208);
    NewGame(random);
    ScriptMessages msgs(random);
    TurnHooks hooks;
    int human = EndTurn(s, random, msgs, hooks);
    ASSERT_TRUE(human == 7 || human == 14);
    CheckInvariants(0);
    int weeks = 0;
    int lastWeek = s.Week;
    int32_t lastYear = s.Year;
    while (weeks < 500) {
        PlayHumanTurn(random, msgs);
        human = EndTurn(s, random, msgs, hooks);
        ASSERT_TRUE(human == 7 || human == 14);
        if (s.Week != lastWeek || s.Year != lastYear) {
            ++weeks;
            ASSERT_EQ(s.Week, lastWeek == 7 ? 1 : lastWeek + 1);
            lastWeek = s.Week;
            lastYear = s.Year;
            CheckInvariants(weeks);
            if (HasFatalFailure()) return;
        }
    }
    EXPECT_GE(s.Year, 72);
    // The game really was played: battles were reported and questions asked.
    EXPECT_GT(msgs.infos, 1000 + 40);  // two announcements a week, and battle reports
    EXPECT_GT(msgs.questions, 0);
    EXPECT_EQ(msgs.errors, 0);
}

}  // namespace
