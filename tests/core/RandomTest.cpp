#include <climits>

#include <gtest/gtest.h>

#include "core/Random.h"

namespace {

TEST(Random, BelowStaysInRangeAndSpreadsEvenly) {
    Random r(12345);
    EXPECT_EQ(r.Below(0) + r.Below(-7), 0);
    bool upperHalf = false;
    for (int n : {1, 2, 3, 100, 1 << 30, INT_MAX})
        for (int i = 0; i < 1000; ++i) {
            const int v = r.Below(n);
            ASSERT_TRUE(v >= 0 && v < n) << n << ": " << v;
            upperHalf |= n == INT_MAX && v > INT_MAX / 2;
        }
    EXPECT_TRUE(upperHalf);
    // A die thrown 60,000 times: the spread of the faces around 10,000 each
    // (chi-square, five degrees of freedom) stays far from its tail.
    int faces[6] = {};
    for (int i = 0; i < 60000; ++i) ++faces[r.Below(6)];
    double chi = 0;
    for (int count : faces) chi += (count - 10000.0) * (count - 10000.0) / 10000.0;
    EXPECT_LT(chi, 25.0);
}

// The share of draws that fall in the lower half of a range just over
// 0.4 * 2^32, where a 32-bit draw taken modulo the range lands 1.2 times as
// often as elsewhere. The same fixed draws, mapped by Below and by a modulo:
// the check tells the two apart.
TEST(Random, BelowIsNoModuloOfA32BitDraw) {
    constexpr int range = 1717986919;  // 0.4 * 2^32, rounded up
    constexpr int draws = 100000;
    auto lowerHalf = [&](auto map) {
        Random r(2024);
        int low = 0;
        for (int i = 0; i < draws; ++i) low += map(r) < range / 2;
        return double(low) / draws;
    };
    const double below = lowerHalf([&](Random& r) { return r.Below(range); });
    const double modulo = lowerHalf([&](Random& r) { return int(uint32_t(r.NextU64()) % uint32_t(range)); });
    // Half of the draws, give or take five standard deviations (0.0016 each).
    EXPECT_NEAR(below, 0.5, 0.008);
    EXPECT_GT(modulo, 0.58);  // 0.6 expected: the check fails a modulo mapping
}

}  // namespace
