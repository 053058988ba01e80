// The maps that ship with the game, loaded the way the game loads them.
#include <gtest/gtest.h>

#include <memory>

#include "AssetGrid.h"
#include "core/DataPath.h"
#include "core/GameState.h"
#include "newgame/RegionDetection.h"

namespace {

struct BundledMap {
    const char* path;
    int feuds;
};

void PrintTo(const BundledMap& m, std::ostream* os) { *os << m.path; }

class BundledMapsTest : public ::testing::TestWithParam<BundledMap> {};

TEST_P(BundledMapsTest, IsAPlayableMapOfItsFeuds) {
    const BundledMap m = GetParam();
    Picture p;
    QString error;
    ASSERT_TRUE(p.Load(DataFilePath(QString::fromLatin1(m.path)), &error)) << error.toStdString();
    ASSERT_EQ(p.Width(), 400);
    ASSERT_EQ(p.Height(), 200);
    const assets::RgbGrid grid = GridOf(p);
    // Feuds hold lenniks in proportion to their area: none may be tiny.
    EXPECT_EQ(assets::MapProblems(grid, m.feuds, 2000), "");

    // Every feud borders another one, so every feud can be attacked and can attack.
    const auto s = assets::SummariseMap(grid);
    for (int a = 1; a <= s.regions; ++a) {
        bool any = false;
        for (int b = 1; b <= s.regions; ++b) any = any || s.neighbour[size_t(a)][size_t(b)];
        EXPECT_TRUE(any) << "feud " << a;
    }
}

// The game's own detection finds the same feuds, numbered the same way, each
// anchored at its last pixel.
TEST_P(BundledMapsTest, RegionDetectionFindsEveryFeud) {
    const BundledMap m = GetParam();
    Picture p;
    ASSERT_TRUE(p.Load(DataFilePath(QString::fromLatin1(m.path))));
    const auto s = assets::SummariseMap(GridOf(p));
    auto state = std::make_unique<TGameState>();
    InitializeMap(*state, p);
    ASSERT_EQ(state->QuantityFeud, m.feuds);
    std::vector<int> lastX(size_t(m.feuds) + 1, -1), lastY(size_t(m.feuds) + 1, -1);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 400; ++x) {
            const int n = s.label[size_t(y) * 400 + size_t(x)];
            ASSERT_EQ(state->Map[y][x], n) << x << "," << y;
            if (n > 0) {
                lastX[size_t(n)] = x;
                lastY[size_t(n)] = y;
            }
        }
    for (int n = 1; n <= m.feuds; ++n) {
        EXPECT_EQ(state->Feuds[n].PosX, lastX[size_t(n)]) << "feud " << n;
        EXPECT_EQ(state->Feuds[n].PosY, lastY[size_t(n)]) << "feud " << n;
    }
}

INSTANTIATE_TEST_SUITE_P(Maps, BundledMapsTest,
                         ::testing::Values(BundledMap{"maps/base.bmp", 12}, BundledMap{"maps/twenty.bmp", 20},
                                           BundledMap{"maps/two.bmp", 2}),
                         [](const auto& info) {
                             const std::string path = info.param.path;
                             return path.substr(5, path.size() - 9);
                         });

}  // namespace
