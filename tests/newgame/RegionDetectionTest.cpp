#include <algorithm>
#include <cstring>
#include <memory>
#include <random>

#include <gtest/gtest.h>

#include "support/WorstMap.h"
#include "newgame/RegionDetection.h"
#include "support/TestMaps.h"

namespace {

std::unique_ptr<TGameState> NewState() { return std::make_unique<TGameState>(); }

constexpr Rgb Grey{128, 128, 128};
constexpr Rgb Teal{0, 128, 128};

// Runs both methods (the plain one on a copy, as it paints its markers) and
// checks they agree in every result: count, grid and anchors.
void ExpectSameResults(const Picture& map, const char* what) {
    auto fast = NewState();
    auto plain = NewState();
    Picture b;
    b.CopyFrom(map);
    InitializeMap(*fast, map);
    InitializeMapByRescan(*plain, b);
    ASSERT_EQ(fast->QuantityFeud, plain->QuantityFeud) << what;
    ASSERT_EQ(std::memcmp(fast->Map, plain->Map, sizeof fast->Map), 0) << what;
    for (int n = 1; n <= std::min<int>(fast->QuantityFeud, MaxFeud); ++n) {
        EXPECT_EQ(fast->Feuds[n].PosX, plain->Feuds[n].PosX) << what << " feud " << n;
        EXPECT_EQ(fast->Feuds[n].PosY, plain->Feuds[n].PosY) << what << " feud " << n;
    }
}

void Detect(TGameState& s, const Picture& map) { InitializeMap(s, map); }

TEST(RegionDetection, TwoColoursSplitByALineNumberedFromTheTopLeft) {
    Picture map = BlankMap(Teal);
    FillRect(map, 201, 0, 199, 200, Grey);
    VerticalLine(map, 200);
    map.SetPixel(0, 0, Colors::Black);  // the first non-border pixel is (1, 0)
    auto s = NewState();
    Detect(*s, map);
    ASSERT_EQ(s->QuantityFeud, 2);
    EXPECT_EQ(s->Map[0][0], 0);
    EXPECT_EQ(s->Map[0][1], 1);
    EXPECT_EQ(s->Map[100][200], 0);
    EXPECT_EQ(s->Map[199][399], 2);
    // The anchor is the feud's last pixel in row-major order.
    EXPECT_EQ(s->Feuds[1].PosX, 199);
    EXPECT_EQ(s->Feuds[1].PosY, 199);
    EXPECT_EQ(s->Feuds[2].PosX, 399);
    EXPECT_EQ(s->Feuds[2].PosY, 199);
    ExpectSameResults(map, "two colours");
}

TEST(RegionDetection, SevenWhiteAreasNumberedByTheirFirstPixel) {
    Picture map = BlankMap();
    // Top band split at x = 300, middle band split at x = 100 and x = 250,
    // bottom band whole but holding a closed box.
    HorizontalLine(map, 50);
    FillRect(map, 300, 0, 1, 50, Colors::Black);
    HorizontalLine(map, 120);
    FillRect(map, 100, 51, 1, 69, Colors::Black);
    FillRect(map, 250, 51, 1, 69, Colors::Black);
    FillRect(map, 200, 140, 60, 1, Colors::Black);
    FillRect(map, 200, 180, 60, 1, Colors::Black);
    FillRect(map, 200, 140, 1, 41, Colors::Black);
    FillRect(map, 259, 140, 1, 41, Colors::Black);
    auto s = NewState();
    Detect(*s, map);
    ASSERT_EQ(s->QuantityFeud, 7);
    const struct {
        int x, y, feud, anchorX, anchorY;
    } areas[] = {{10, 10, 1, 299, 49},    {350, 10, 2, 399, 49},   {50, 80, 3, 99, 119},
                 {150, 80, 4, 249, 119},  {300, 80, 5, 399, 119},  {10, 190, 6, 399, 199},
                 {230, 160, 7, 258, 179}};
    for (const auto& a : areas) {
        EXPECT_EQ(s->Map[a.y][a.x], a.feud) << a.x << "," << a.y;
        EXPECT_EQ(s->Feuds[a.feud].PosX, a.anchorX) << "feud " << a.feud;
        EXPECT_EQ(s->Feuds[a.feud].PosY, a.anchorY) << "feud " << a.feud;
    }
    EXPECT_EQ(s->Map[160][200], 0);
    ExpectSameResults(map, "seven areas");
}

TEST(RegionDetection, CornerTouchingAreasOfOneColourAreSeparateFeuds) {
    Picture map = BlankMap(Colors::Black);
    FillRect(map, 10, 10, 20, 20, Colors::White);
    FillRect(map, 30, 30, 20, 20, Colors::White);  // meets the first only at a corner
    auto s = NewState();
    Detect(*s, map);
    ASSERT_EQ(s->QuantityFeud, 2);
    EXPECT_EQ(s->Map[29][29], 1);
    EXPECT_EQ(s->Map[30][30], 2);
    EXPECT_EQ(s->Feuds[1].PosX, 29);
    EXPECT_EQ(s->Feuds[2].PosY, 49);
    ExpectSameResults(map, "corner");
}

TEST(RegionDetection, TwoSeparateAreasOfOneColourAndOneWholeArea) {
    auto s = NewState();
    Detect(*s, BlankMap(Grey));
    EXPECT_EQ(s->QuantityFeud, 1);
    Detect(*s, StripMap(2));
    EXPECT_EQ(s->QuantityFeud, 2);
    // All border: nothing at all, and the grid from the last map is gone.
    Detect(*s, BlankMap(Colors::Black));
    EXPECT_EQ(s->QuantityFeud, 0);
    EXPECT_EQ(s->Map[0][0], 0);
    EXPECT_EQ(s->Map[199][399], 0);
}

TEST(RegionDetection, BlueIsBorderAndYellowAnywhereJoinsTheFirstFeud) {
    Picture map = StripMap(3);
    FillRect(map, 20, 20, 10, 10, Colors::Blue);         // a hole inside feud 1
    FillRect(map, 380, 195, 5, 5, Colors::Yellow);       // a yellow patch in feud 3
    map.SetPixel(200, 0, Colors::Yellow);                // and one alone in feud 2
    auto s = NewState();
    Detect(*s, map);
    ASSERT_EQ(s->QuantityFeud, 3);
    EXPECT_EQ(s->Map[25][25], 0);
    EXPECT_EQ(s->Map[19][25], 1);
    EXPECT_EQ(s->Map[197][382], 1);
    EXPECT_EQ(s->Map[0][200], 1);
    EXPECT_EQ(s->Map[1][200], 2);
    // The yellow patch is now feud 1's last pixel.
    EXPECT_EQ(s->Feuds[1].PosX, 384);
    EXPECT_EQ(s->Feuds[1].PosY, 199);
    ExpectSameResults(map, "blue and yellow");

    // A yellow first pixel: feud 1 is every yellow pixel and nothing else.
    Picture yellowFirst = StripMap(2);
    yellowFirst.SetPixel(0, 0, Colors::Yellow);
    yellowFirst.SetPixel(399, 199, Colors::Yellow);
    Detect(*s, yellowFirst);
    ASSERT_EQ(s->QuantityFeud, 3);
    EXPECT_EQ(s->Map[0][0], 1);
    EXPECT_EQ(s->Map[199][399], 1);
    EXPECT_EQ(s->Map[0][1], 2);
    EXPECT_EQ(s->Map[0][399], 3);
    EXPECT_EQ(s->Map[199][398], 3);
    ExpectSameResults(yellowFirst, "yellow first");
}

TEST(RegionDetection, StopsAtTheTwentyFirstRegionWithoutTouchingMore) {
    auto s = NewState();
    // A pattern over the memory right after the last feud record, as long as
    // a 21st record would be, so that a stray write to any of its fields shows.
    uint8_t* const after = reinterpret_cast<uint8_t*>(&s->Feuds[MaxFeud] + 1);
    constexpr size_t span = sizeof(TFeud);
    static_assert(sizeof(s->Lenniks) > span);
    std::memset(after, 0xA5, span);
    const auto untouched = [&] {
        for (size_t i = 0; i < span; ++i)
            if (after[i] != 0xA5) return false;
        return true;
    };
    Picture map = StripMap(20);
    Detect(*s, map);
    EXPECT_EQ(s->QuantityFeud, 20);
    EXPECT_EQ(s->Feuds[20].PosX, 399);
    EXPECT_TRUE(untouched());

    Picture more = StripMap(21);
    Detect(*s, more);
    EXPECT_EQ(s->QuantityFeud, 21);
    EXPECT_EQ(s->Map[0][399], 0);  // the 21st strip stays outside every feud
    EXPECT_EQ(s->Map[0][370], 20);
    for (int y = 0; y < MapHeight; ++y)
        for (int x = 0; x < MapWidth; ++x) ASSERT_LE(s->Map[y][x], 20);
    EXPECT_TRUE(untouched());
    ExpectSameResults(more, "21 strips");
}

TEST(RegionDetection, FastMethodAgreesWithRescanOnVariedMaps) {
    // The maps that ship with the game.
    const std::vector<Picture> bundled = BundledMapPictures();
    ASSERT_GE(bundled.size(), 3u);
    for (const Picture& map : bundled) ExpectSameResults(map, "bundled map");
    std::mt19937 rng(20240611);
    auto pick = [&](int n) { return int(rng() % uint32_t(n)); };
    const Rgb palette[] = {Colors::White, Colors::Black, Colors::Blue, Colors::Yellow, Colors::Red, Grey, Teal};
    for (int round = 0; round < 40; ++round) {
        Picture map = BlankMap(palette[pick(7)]);
        // Rectangles of few colours: from a handful of regions to far more than 20.
        const int rects = 1 + pick(round < 20 ? 12 : 60);
        for (int i = 0; i < rects; ++i)
            FillRect(map, pick(400), pick(200), 1 + pick(150), 1 + pick(80), palette[pick(7)]);
        // Lines, and single yellow and blue pixels anywhere.
        if (pick(2)) VerticalLine(map, pick(400), 1 + pick(2));
        if (pick(2)) HorizontalLine(map, pick(200), 1 + pick(2));
        for (int i = pick(6); i > 0; --i) map.SetPixel(pick(400), pick(200), Colors::Yellow);
        for (int i = pick(6); i > 0; --i) map.SetPixel(pick(400), pick(200), Colors::Blue);
        ExpectSameResults(map, "random rectangles");
    }
    // Checkerboards: every square touches its neighbours only at corners.
    for (int cell : {13, 40, 67}) {
        Picture board = BlankMap(Colors::Black);
        for (int y = 0; y < 200; y += cell)
            for (int x = 0; x < 400; x += cell)
                if ((x / cell + y / cell) % 2 == 0) FillRect(board, x, y, cell, cell, Colors::White);
        ExpectSameResults(board, "checkerboard");
    }
    // Noise: thousands of regions, stopped at the 21st.
    Picture noise = BlankMap();
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 400; ++x) noise.SetPixel(x, y, palette[pick(7)]);
    ExpectSameResults(noise, "noise");
}

TEST(RegionDetection, AnAreaJoinedBelowKeepsTheNumberOfItsFirstPixel) {
    // A U of grey: its arms meet only at the bottom, and a white box starts
    // between them in the top row, before the right arm's first pixel.
    Picture map = BlankMap(Colors::Black);
    FillRect(map, 0, 0, 4, 150, Grey);
    FillRect(map, 300, 0, 4, 150, Grey);
    FillRect(map, 0, 150, 304, 4, Grey);
    FillRect(map, 100, 0, 20, 20, Colors::White);
    auto s = NewState();
    Detect(*s, map);
    ASSERT_EQ(s->QuantityFeud, 2);
    EXPECT_EQ(s->Map[0][0], 1);
    EXPECT_EQ(s->Map[0][100], 2);
    EXPECT_EQ(s->Map[0][300], 1);
    EXPECT_EQ(s->Feuds[1].PosX, 303);
    EXPECT_EQ(s->Feuds[1].PosY, 153);
    ExpectSameResults(map, "U");

    // Twenty boxes between the arms: the last box is the 21st region, met
    // before the U is known to be one area; it stays out of the grid.
    for (int i = 1; i < 20; ++i) FillRect(map, 100 + 10 * i, 40, 5, 5, Colors::White);
    Detect(*s, map);
    ASSERT_EQ(s->QuantityFeud, 21);
    EXPECT_EQ(s->Map[0][300], 1);
    EXPECT_EQ(s->Map[40][280], 20);
    EXPECT_EQ(s->Map[40][290], 0);
    ExpectSameResults(map, "U and boxes");
}

TEST(RegionDetection, FastMethodAgreesWithRescanOnWindingShapes) {
    // Twenty regions of interleaved diagonal teeth, yellow and blue pixels on them.
    const Picture teeth = WorstCaseMap();
    auto s = NewState();
    Detect(*s, teeth);
    EXPECT_EQ(s->QuantityFeud, 20);
    ExpectSameResults(teeth, "interleaved teeth");

    // Random walks, one pixel wide, wandering with some stubbornness: long
    // winding areas that cross, touch at corners and join far from their start.
    std::mt19937 rng(991);
    auto pick = [&](int n) { return int(rng() % uint32_t(n)); };
    const Rgb palette[] = {Colors::White, Grey, Teal, Colors::Red, Colors::Yellow, Colors::Blue, Colors::Black};
    const int dx[] = {1, 0, -1, 0}, dy[] = {0, 1, 0, -1};
    for (int round = 0; round < 30; ++round) {
        Picture map = BlankMap(palette[4 + pick(3)]);
        for (int walk = 1 + pick(round < 15 ? 8 : 30); walk > 0; --walk) {
            const Rgb c = palette[pick(7)];
            int x = pick(400), y = pick(200), dir = pick(4);
            for (int step = 200 + pick(3000); step > 0; --step) {
                map.SetPixel(x, y, c);
                if (pick(8) == 0) dir = (dir + 1 + 2 * pick(2)) % 4;
                x = std::clamp(x + dx[dir], 0, 399);
                y = std::clamp(y + dy[dir], 0, 199);
            }
        }
        ExpectSameResults(map, "random walks");
    }
}

}  // namespace
