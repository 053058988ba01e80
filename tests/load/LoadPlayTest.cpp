// Saved games played: every bundled map saved and read back byte for byte,
// and a game loaded in the middle of a turn going on exactly as the original.
#include <climits>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "PlayedGame.h"
#include "core/Names.h"
#include "engine/ArmyOrders.h"
#include "engine/Lenniks.h"
#include "engine/TurnCycle.h"
#include "save/SaveGame.h"
#include "ui/Diplomacy.h"

namespace {

// The independent player at `rebel` calls his lenniks, keeps none in the
// castle and attacks the king's feud while his army stands at home; the
// king's player only calls his. Returns after the week in which the king
// fell, or false when he held out.
bool BeatTheKing(TGameState& s, int rebel, Random& random, Messages& msgs) {
    TurnHooks hooks;
    const int king = s.KingFeud;
    for (int turns = 0; turns < 400; ++turns) {
        const int c = s.CurrentFeud;
        TFeud& f = s.Feuds[c];
        if (f.LennikInService != 1) CallLenniks(s);
        if (c == rebel) {
            s.ArmyToCastle = 0;
            s.SelectFeud = static_cast<uint8_t>(king);
            if (f.ArmyFeud == c && f.LennikAppear > 0) OrderArmyAttack(s);
        }
        EndTurn(s, random, msgs, hooks);
        if (s.Feuds[king].Senior == rebel) return true;
    }
    return false;
}

TEST(LoadPlayTest, EveryBundledMapSavedAndReadGivesTheSameRecord) {
    const struct {
        const char* map;
        std::vector<TSeat> seats;
        uint64_t seed;
        int weeks;
        bool beatTheKing;
        TStartingConditions start = {};
    } games[] = {
        {"two.bmp", {{1, TSeatStatus::Independent}}, 1, 9, false},
        {"two.bmp", {{1, TSeatStatus::Independent}, {2, TSeatStatus::Vassal}}, 2, 5, false},  // no king at all
        {"base.bmp", {{2, TSeatStatus::King}, {6, TSeatStatus::Independent}}, 3, 12, false},
        {"base.bmp", {{2, TSeatStatus::King}, {6, TSeatStatus::Independent}}, 4, 3, true},
        {"base.bmp", {{9, TSeatStatus::Vassal}}, 5, 15, false},
        {"twenty.bmp", {{7, TSeatStatus::King}, {14, TSeatStatus::Independent}, {3, TSeatStatus::Vassal}}, 6, 10, false},
        // The settings take any number: stocks that start below zero and stay there.
        {"base.bmp", {{4, TSeatStatus::Vassal}}, 7, 9, false, {50, -50000, -1000, -100, INT32_MIN, 300}},
    };
    auto record = std::make_unique<TSaveRecord>();
    auto again = std::make_unique<TSaveRecord>();
    for (const auto& g : games) {
        SCOPED_TRACE(::testing::Message() << g.map << " seed " << g.seed);
        auto s = std::make_unique<TGameState>();
        Random random(g.seed);
        NoteMessages msgs;
        ASSERT_TRUE(NewGameOnMap(*s, g.map, g.seats, random, msgs, g.start));
        PlayWeeks(*s, g.weeks, random, msgs);
        if (g.beatTheKing) {
            ASSERT_TRUE(BeatTheKing(*s, 6, random, msgs));
            ASSERT_EQ(s->KingFeud, 2);
        }
        EXPECT_TRUE(msgs.errors.isEmpty()) << msgs.errors.join('\n').toStdString();

        BuildSaveRecord(*s, *record);
        auto read = std::make_unique<TGameState>();
        FillNameTables(*read);
        QString reason;
        ASSERT_TRUE(ReadSaveRecord(*record, *read, &reason)) << reason.toStdString();
        BuildSaveRecord(*read, *again);
        EXPECT_TRUE(*again == *record);
        EXPECT_EQ(read->KingFeud, s->KingFeud);
        EXPECT_TRUE(SameGame(*read, *s));
        if (g.beatTheKing) {
            EXPECT_EQ((*record)[SaveKingFeudOffset], 2);  // the plain record shows no king
        }
    }
}

// Saved in the middle of a player's turn, after he called his vassals, gave
// his army an order and declared a relation; loaded into a new program; both
// games go on with the same draws for twenty weeks and stay one game.
TEST(LoadPlayTest, AGameLoadedMidTurnGoesOnAsTheOriginal) {
    auto original = std::make_unique<TGameState>();
    Random random(11);
    NoteMessages msgs;
    ASSERT_TRUE(KingWithArmyAtHome(*original, random, msgs));
    TGameState& a = *original;
    int target = 0;
    for (int n = 1; n <= a.QuantityFeud && !target; ++n)
        if (n != 2 && a.Feuds[2].Neighbour[n]) target = n;
    ASSERT_NE(target, 0);
    a.SelectFeud = static_cast<uint8_t>(target);
    ASSERT_TRUE(OrderArmyAttack(a));
    ASSERT_TRUE(SetRelation(a, RelationDeclared, target, PersEnemy));
    if (CanCallVassals(a, 2)) CallVassals(a);

    auto record = std::make_unique<TSaveRecord>();
    BuildSaveRecord(a, *record);
    auto loaded = std::make_unique<TGameState>();
    FillNameTables(*loaded);
    QString reason;
    ASSERT_TRUE(ReadSaveRecord(*record, *loaded, &reason)) << reason.toStdString();
    TGameState& b = *loaded;
    EXPECT_EQ(b.Feuds[2].ArmyCommand, ArmyAttack);
    EXPECT_EQ(b.Feuds[2].ArmyTarget, target);
    EXPECT_EQ(b.Feuds[2].DipToFeudalShow[target], PersEnemy);
    EXPECT_TRUE(SameGame(a, b));

    Random ra(2026), rb(2026);
    NoteMessages ma, mb;
    PlayWeeks(a, 20, ra, ma);
    PlayWeeks(b, 20, rb, mb);
    EXPECT_TRUE(SameGame(a, b));
    EXPECT_EQ(ma.infos, mb.infos);
    EXPECT_TRUE(ma.errors.isEmpty() && mb.errors.isEmpty());
    EXPECT_GE(ma.infos.size(), 40);  // announcements and battles: the game was played
}

}  // namespace
