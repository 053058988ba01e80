// The checks the map generator relies on before it writes a map: if they
// miscount, a broken map could be shipped.
#include <gtest/gtest.h>

#include "AssetGrid.h"
#include "support/TestMaps.h"

namespace {

using assets::MapProblems;
using assets::SummariseMap;

TEST(MapCheckTest, CornerTouchingAreasAreTwoAndNumberedByFirstPixel) {
    Picture p(6, 6, Colors::White);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            if ((x < 3) != (y < 3)) p.SetPixel(x, y, Colors::Black);
    const auto s = SummariseMap(GridOf(p));
    EXPECT_EQ(s.regions, 2);
    EXPECT_EQ(s.label[0], 1);
    EXPECT_EQ(s.label[5 * 6 + 5], 2);
    EXPECT_EQ(s.area[1], 9);
    EXPECT_EQ(s.area[2], 9);
    // Each 3 x 3 black quarter holds one 2 x 2 square clear of the picture's edge.
    EXPECT_EQ(s.thickSpots, 2);
}

TEST(MapCheckTest, OnePixelLineKeepsNeighboursTwoPixelsSeparate) {
    Picture thin = BlankMap();
    VerticalLine(thin, 200);
    const auto a = SummariseMap(GridOf(thin));
    ASSERT_EQ(a.regions, 2);
    EXPECT_TRUE(a.neighbour[1][2]);
    EXPECT_TRUE(a.neighbour[2][1]);
    EXPECT_TRUE(assets::NeighboursConnected(a));
    EXPECT_EQ(a.thickSpots, 0);

    Picture thick = BlankMap();
    VerticalLine(thick, 200, 2);
    const auto b = SummariseMap(GridOf(thick));
    ASSERT_EQ(b.regions, 2);
    EXPECT_FALSE(b.neighbour[1][2]);
    EXPECT_FALSE(assets::NeighboursConnected(b));
    EXPECT_EQ(b.thickSpots, 197);  // rows 0 and 199 are the edge
}

TEST(MapCheckTest, ProblemsNameWhatIsWrong) {
    Picture strips = StripMap(4);  // four strips of about 100 x 200
    EXPECT_EQ(MapProblems(GridOf(strips), 4, 2000), "");
    EXPECT_NE(MapProblems(GridOf(strips), 5, 2000), "");
    EXPECT_NE(MapProblems(GridOf(strips), 4, 30000), "");

    Picture grey = strips;
    grey.SetPixel(10, 10, Rgb{254, 254, 254});
    EXPECT_NE(MapProblems(GridOf(grey), 4, 2000), "");

    Picture small = StripMap(2);
    small.Reset(300, 200);
    EXPECT_NE(MapProblems(GridOf(small), 1, 1), "");

    Picture walled = StripMap(3);
    FillRect(walled, 150, 50, 2, 2, Colors::Black);  // a blot inside a feud
    EXPECT_NE(MapProblems(GridOf(walled), 3, 2000), "");
}

TEST(MapCheckTest, EnclosedIslandIsItsOwnArea) {
    Picture p = BlankMap();
    FillRect(p, 100, 50, 20, 1, Colors::Black);
    FillRect(p, 100, 70, 20, 1, Colors::Black);
    FillRect(p, 100, 50, 1, 21, Colors::Black);
    FillRect(p, 119, 50, 1, 21, Colors::Black);
    const auto s = SummariseMap(GridOf(p));
    ASSERT_EQ(s.regions, 2);
    EXPECT_EQ(s.area[2], 18 * 19);
    EXPECT_TRUE(s.neighbour[1][2]);
}

}  // namespace
