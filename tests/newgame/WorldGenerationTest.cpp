#include <gtest/gtest.h>

#include <memory>

#include "SeatsTestMaps.h"
#include "core/Names.h"
#include "newgame/PlayerSeats.h"
#include "newgame/WorldGeneration.h"
#include "support/TestMaps.h"

namespace {

std::unique_ptr<TGameState> NewState() {
    auto s = std::make_unique<TGameState>();
    FillNameTables(*s);
    return s;
}

TStartingConditions Start(int lennik = 100, int independence = 50) {
    TStartingConditions c;
    c.Lennik = lennik;
    c.Independence = independence;
    return c;
}

// Feud n of exactly `pixels` pixels as a row-major run starting at row y,
// each run in its own band of rows so that no two feuds come near.
void GridFeudOfArea(TGameState& s, int n, int y, int pixels) {
    for (int i = 0; i < pixels; ++i) s.Map[y + i / MapWidth][i % MapWidth] = static_cast<uint8_t>(n);
}

int SlotsOf(const TGameState& s, int feud) {
    int count = 0;
    for (int i = 1; i <= MaxLennik; ++i)
        if (s.Lenniks[i].Feud == feud) ++count;
    return count;
}

// Seats a player through the seating rules as the dialogs do.
void Seat(TGameState& s, Picture& picture, int seat, int feud, TSeatStatus status, const QString& name) {
    s.SelectFeud = 0;
    s.NameGamer.Assign(name);
    ASSERT_TRUE(PickFeud(s, picture, s.Feuds[feud].PosX, s.Feuds[feud].PosY));
    ConfirmFeud(s, picture, status);
    SeatPlayer(s, seat);
}

// A generated world of n strips with players already seated by the caller.
struct GameStart : ::testing::Test {
    std::unique_ptr<TGameState> s = NewState();
    Picture picture = BlankMap();
    Random rnd{7};

    void Generate(int n, int players, int independence = 50) {
        GridStrips(*s, n);
        picture = StripMap(n);
        GenerateWorld(*s, Start(100, independence));
        BeginSeating(*s);
        s->QuantityGamer = static_cast<uint8_t>(players);
    }
    void Finish() {
        SettleCrown(*s, rnd);
        SettleVassalsAndRelations(*s, rnd);
    }
    const TFeud& F(int k) const { return s->Feuds[k]; }
};

}  // namespace

TEST(WorldGeneration, FiefsLenniksAndCrossingTimeFollowTheArea) {
    auto s = NewState();
    const int areas[] = {25, 26, 524, 525, 1524, 1525};
    for (int n = 1; n <= 6; ++n) GridFeudOfArea(*s, n, (n - 1) * 10, areas[n - 1]);
    CountGridFeuds(*s, 6);
    GenerateWorld(*s, Start(100));

    const struct {
        int len, lennik, cross;
    } expected[] = {{0, 0, 1}, {1, 1, 1}, {499, 100, 1}, {500, 100, 2}, {1499, 100, 2}, {1500, 100, 3}};
    for (int n = 1; n <= 6; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(s->Feuds[n].Len, expected[n - 1].len);
        EXPECT_EQ(s->Feuds[n].Lennik, expected[n - 1].lennik);
        EXPECT_EQ(s->Feuds[n].CrossTime, expected[n - 1].cross);
        EXPECT_EQ(SlotsOf(*s, n), expected[n - 1].lennik);
    }
}

TEST(WorldGeneration, NegativeLennikSettingGivesNoLenniks) {
    auto s = NewState();
    GridStrips(*s, 3);
    GenerateWorld(*s, Start(-5));
    for (int k = 1; k <= 3; ++k) {
        EXPECT_GT(s->Feuds[k].Len, 0);
        EXPECT_EQ(s->Feuds[k].Lennik, 0);
    }
    EXPECT_EQ(s->Lenniks[1].Feud, 0);
}

TEST(WorldGeneration, BorderLineWidthDecidesNeighbours) {
    for (int width : {1, 2, 3}) {
        SCOPED_TRACE(width);
        auto s = NewState();
        GridRect(*s, 0, 0, 200, MapHeight, 1);
        GridRect(*s, 200 + width, 0, MapWidth - 200 - width, MapHeight, 2);
        CountGridFeuds(*s, 2);
        s->Feuds[1].Neighbour[2] = 1;  // left over from an earlier map
        s->Feuds[2].Neighbour[1] = 1;
        BuildNeighbours(*s);
        const uint8_t expected = width == 1 ? 1 : 0;
        EXPECT_EQ(s->Feuds[1].Neighbour[2], expected);
        EXPECT_EQ(s->Feuds[2].Neighbour[1], expected);
        EXPECT_EQ(s->Feuds[1].Neighbour[1], 1);
        EXPECT_EQ(s->Feuds[2].Neighbour[2], 1);
    }
}

TEST(WorldGeneration, NeighboursByDistanceTwoIncludingDiagonalsAndSelf) {
    auto s = NewState();
    GridRect(*s, 10, 10, 1, 1, 1);    // a lone pixel
    GridRect(*s, 12, 12, 1, 1, 2);    // two away diagonally from feud 1
    GridRect(*s, 15, 12, 1, 1, 3);    // three away from feud 2
    GridRect(*s, 50, 50, 2, 2, 4);    // four pixels, none two apart
    GridRect(*s, 80, 80, 3, 1, 5);    // three in a row: the ends are two apart
    GridRect(*s, 398, 198, 2, 2, 6);  // in the corner: the ring leaves the grid
    CountGridFeuds(*s, 6);
    BuildNeighbours(*s);
    EXPECT_EQ(s->Feuds[1].Neighbour[2], 1);
    EXPECT_EQ(s->Feuds[2].Neighbour[1], 1);
    EXPECT_EQ(s->Feuds[2].Neighbour[3], 0);
    EXPECT_EQ(s->Feuds[1].Neighbour[1], 0);
    EXPECT_EQ(s->Feuds[4].Neighbour[4], 0);
    EXPECT_EQ(s->Feuds[5].Neighbour[5], 1);
    EXPECT_EQ(s->Feuds[6].Neighbour[6], 0);
    for (int a = 1; a <= 6; ++a)
        for (int b = 1; b <= 6; ++b) EXPECT_EQ(s->Feuds[a].Neighbour[b], s->Feuds[b].Neighbour[a]) << a << "," << b;
}

TEST(WorldGeneration, StartingFiguresOfEveryFeud) {
    auto s = NewState();
    GridStrips(*s, 4);
    TFeud& f = s->Feuds[3];
    f.NameFeudal.Assign(QStringLiteral("Старый"));
    f.Gamer = 1;
    f.Senior = 2;
    f.LennikInService = 1;
    f.Victory = 9;
    f.ArmyCommand = ArmyAttack;
    f.DipMode = 1;
    f.WeekJobLennik = 6;   // left by an earlier game
    f.ArmyFeud = 2;
    f.PastureCow = 1.5;    // nothing assigns these
    s->Feuds[5].Grain = 777;  // beyond this map's feuds

    TStartingConditions c;
    c.Lennik = 30;
    c.Grain = 111;
    c.Peasant = 222;
    c.Cow = 333;
    c.Horse = 444;
    c.Independence = 300;  // kept as its low byte
    GenerateWorld(*s, c);

    EXPECT_EQ(f.NameFeud, 3);
    EXPECT_EQ(f.Grain, 111);
    EXPECT_EQ(f.Peasant, 222);
    EXPECT_EQ(f.Cow, 333);
    EXPECT_EQ(f.Horse, 444);
    EXPECT_EQ(f.Independence, 44);
    EXPECT_EQ(f.Fertility, 1.0);
    EXPECT_TRUE(f.NameFeudal.IsEmpty());
    EXPECT_EQ(f.Gamer, 0);
    EXPECT_EQ(f.Senior, 0);
    EXPECT_EQ(f.Auth, 50);
    EXPECT_EQ(f.JobLennik, 10);
    EXPECT_EQ(f.JobVassal, 12);
    EXPECT_EQ(f.LennikInService, 0);
    EXPECT_EQ(f.LennikAppear, 0);
    EXPECT_EQ(f.Health, 100);
    EXPECT_EQ(f.Strength, 10);
    EXPECT_EQ(f.Endurance, 25);
    EXPECT_EQ(f.HorseSpeed, 30);
    EXPECT_EQ(f.HorseStrength, 50);
    EXPECT_EQ(f.HorseEndurance, 300);
    EXPECT_EQ(f.HorseSize, 5);
    EXPECT_EQ(f.WeaponSpear, 3);
    EXPECT_EQ(f.WeaponSword, 3);
    EXPECT_EQ(f.Helmet, 1);
    EXPECT_EQ(f.Defence, 5);
    EXPECT_EQ(f.Shield, 2);
    EXPECT_EQ(f.Hand + f.Glove + f.Leg, 3);
    EXPECT_EQ(f.Victory, 0);
    EXPECT_EQ(f.ArmyCommand, ArmyNone);
    EXPECT_EQ(f.DipMode, 0);
    EXPECT_EQ(f.WeekJobLennik, 0);
    EXPECT_EQ(f.ArmyFeud, 0);
    EXPECT_EQ(f.PastureCow, 1.5);
    EXPECT_EQ(f.Lennik, 30);
    EXPECT_EQ(s->Feuds[5].Grain, 777);
}

TEST(WorldGeneration, LennikSlotsContiguousInFeudOrder) {
    auto s = NewState();
    GridRect(*s, 0, 0, 100, 10, 1);  // 1000 pixels
    GridRect(*s, 0, 20, 5, 5, 2);    // 25 pixels: no lenniks
    GridRect(*s, 0, 40, 100, 10, 3);
    CountGridFeuds(*s, 3);
    GenerateWorld(*s, Start(40));

    for (int i = 1; i <= 80; ++i) {
        const TLennik& l = s->Lenniks[i];
        ASSERT_EQ(l.Feud, i <= 40 ? 1 : 3) << i;
        EXPECT_EQ(l.Appear + l.InCastle + l.Spear + l.Sword + l.Riding + l.Morale + l.Discipline + l.Battle, 0);
        EXPECT_EQ(l.Health, 25);
        EXPECT_EQ(l.Strength, 5);
        EXPECT_EQ(l.Endurance, 15);
        EXPECT_EQ(l.Armour, 10);
    }
    EXPECT_EQ(s->Lenniks[81].Feud, 0);
    EXPECT_EQ(SlotsOf(*s, 2), 0);
}

TEST(WorldGeneration, SecondGameKeepsNoLennikOfTheFirst) {
    auto s = NewState();
    GridStrips(*s, 5);
    GenerateWorld(*s, Start(100));
    ASSERT_EQ(s->Lenniks[500].Feud, 5);
    for (int i = 1; i <= 500; ++i) {
        s->Lenniks[i].Appear = 1;
        s->Lenniks[i].Battle = 3;
    }

    GridStrips(*s, 2);
    GenerateWorld(*s, Start(10));
    EXPECT_EQ(SlotsOf(*s, 1), 10);
    EXPECT_EQ(SlotsOf(*s, 2), 10);
    for (int i = 1; i <= 20; ++i) {
        EXPECT_EQ(s->Lenniks[i].Appear, 0);
        EXPECT_EQ(s->Lenniks[i].Battle, 0);
    }
    for (int i = 21; i <= 500; ++i) ASSERT_EQ(s->Lenniks[i].Feud, 0) << i;
}

TEST_F(GameStart, TurnOrderIsPlayersInSeatOrderThenComputers) {
    Generate(5, 2);
    Seat(*s, picture, 1, 4, TSeatStatus::King, QStringLiteral("Анна"));
    Seat(*s, picture, 2, 2, TSeatStatus::Vassal, QStringLiteral("Борис"));
    Finish();
    const uint8_t expected[] = {4, 2, 1, 3, 5};
    for (int i = 1; i <= 5; ++i) EXPECT_EQ(s->TurnOrder[i], expected[i - 1]) << i;
    EXPECT_EQ(F(4).Gamer, 1);
    EXPECT_EQ(F(2).Gamer, 1);
    EXPECT_EQ(F(1).Gamer + F(3).Gamer + F(5).Gamer, 0);
    EXPECT_EQ(s->KingFeud, 4);
    EXPECT_EQ(F(2).Senior, 4);
    EXPECT_EQ(s->Year, 1);
    EXPECT_EQ(s->Week, 1);
    EXPECT_EQ(s->TurnIndex, 0);
}

TEST_F(GameStart, KingIsDrawnAmongComputerFeudsWhenNobodyTookTheCrown) {
    bool drawn[6] = {};
    for (uint64_t seed = 1; seed <= 60; ++seed) {
        Generate(5, 1);
        Seat(*s, picture, 1, 2, TSeatStatus::Vassal, QStringLiteral("Вассал"));
        rnd.Seed(seed);
        Random same(seed);
        const int computers[] = {1, 3, 4, 5};
        const int expected = computers[same.Below(4)];
        Finish();
        ASSERT_EQ(s->KingFeud, expected);
        drawn[expected] = true;
        EXPECT_EQ(F(expected).Senior, expected);
        EXPECT_EQ(F(2).Senior, expected);  // the player's pending vassalage
        EXPECT_EQ(F(2).Gamer, 1);
    }
    EXPECT_TRUE(drawn[1] && drawn[3] && drawn[4] && drawn[5]);
}

TEST_F(GameStart, IndependenceSettingDecidesComputerSeniors) {
    Generate(6, 1, 0);
    Seat(*s, picture, 1, 3, TSeatStatus::Independent, QStringLiteral("Один"));
    Finish();
    ASSERT_NE(s->KingFeud, 0);
    ASSERT_NE(s->KingFeud, 3);
    EXPECT_EQ(F(3).Senior, 0);
    for (int k : {1, 2, 4, 5, 6})
        EXPECT_EQ(F(k).Senior, s->KingFeud) << k;

    Generate(6, 1, 100);
    Seat(*s, picture, 1, 3, TSeatStatus::Vassal, QStringLiteral("Один"));
    Finish();
    const int king = s->KingFeud;
    EXPECT_EQ(F(3).Senior, king);
    for (int k : {1, 2, 4, 5, 6})
        EXPECT_EQ(F(k).Senior, k == king ? king : 0) << k;
}

TEST_F(GameStart, IndependenceDrawsFollowFeudOrderAndSkipTheKing) {
    Generate(8, 1, 50);
    Seat(*s, picture, 1, 5, TSeatStatus::King, QStringLiteral("Король"));
    SettleCrown(*s, rnd);
    rnd.Seed(99);
    Random same(99);
    SettleVassalsAndRelations(*s, rnd);
    for (int k : {1, 2, 3, 4, 6, 7, 8}) EXPECT_EQ(F(k).Senior, same.Below(100) < 50 ? 0 : 5) << k;
}

TEST_F(GameStart, EveryFeudSeatedAndNoCrownMeansNoKing) {
    Generate(3, 3);
    Seat(*s, picture, 1, 1, TSeatStatus::Vassal, QStringLiteral("Первый"));
    Seat(*s, picture, 2, 2, TSeatStatus::Independent, QStringLiteral("Второй"));
    Seat(*s, picture, 3, 3, TSeatStatus::Vassal, QStringLiteral("Третий"));
    Finish();
    EXPECT_EQ(s->KingFeud, 0);
    for (int k = 1; k <= 3; ++k) {
        EXPECT_EQ(F(k).Senior, 0) << k;
        for (int j = 1; j <= 3; ++j) {
            EXPECT_EQ(F(k).DipToFeudalShow[j], Unknown);
            EXPECT_EQ(F(k).DipToFeudalTrue[j], Unknown);
            EXPECT_EQ(F(k).DipFromFeudalShow[j], Unknown);
            EXPECT_EQ(F(k).DipFromFeudalTrue[j], Unknown);
        }
    }
    const uint8_t expected[] = {1, 2, 3};
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(s->TurnOrder[i], expected[i - 1]);
}

TEST_F(GameStart, StartingRelationsSplitTheKingsPartyFromTheIndependents) {
    Generate(4, 3);
    Seat(*s, picture, 1, 1, TSeatStatus::King, QStringLiteral("Король"));
    Seat(*s, picture, 2, 2, TSeatStatus::Vassal, QStringLiteral("Вассал"));
    Seat(*s, picture, 3, 3, TSeatStatus::Independent, QStringLiteral("Сам"));
    s->Feuds[4].Independence = 100;
    Finish();
    ASSERT_EQ(F(4).Senior, 0);
    // Rows: king 1, vassal 2, independents 3 and 4.
    const int8_t expected[5][5] = {{},
                                   {0, Ally, Ally, PersEnemy, PersEnemy},
                                   {0, Ally, Ally, PersEnemy, PersEnemy},
                                   {0, Enemy, Enemy, Unknown, Unknown},
                                   {0, Enemy, Enemy, Unknown, Unknown}};
    for (int k = 1; k <= 4; ++k)
        for (int j = 1; j <= 4; ++j) {
            SCOPED_TRACE(testing::Message() << k << "," << j);
            EXPECT_EQ(F(k).DipToFeudalShow[j], expected[k][j]);
            EXPECT_EQ(F(k).DipToFeudalTrue[j], expected[k][j]);
            EXPECT_EQ(F(k).DipFromFeudalShow[j], expected[k][j]);
            EXPECT_EQ(F(k).DipFromFeudalTrue[j], expected[k][j]);
        }
}

TEST_F(GameStart, ComputerFeudalsTakeTheirNamesAfterTheSeats) {
    s->NamesFeudal[3] = QStringLiteral("Бартоломей-Вильгельм Длинноименный");  // longer than 25
    s->NamesFeudal[4].clear();
    Generate(4, 1);
    Seat(*s, picture, 1, 2, TSeatStatus::Vassal, s->NamesFeudal[1]);  // a computer's name is free to take
    Finish();
    EXPECT_EQ(F(1).NameFeudal.ToQString(), s->NamesFeudal[1]);
    EXPECT_EQ(F(2).NameFeudal.ToQString(), s->NamesFeudal[1]);
    EXPECT_EQ(F(3).NameFeudal.ToQString(), s->NamesFeudal[3].left(25));
    EXPECT_TRUE(F(4).NameFeudal.IsEmpty());
}
