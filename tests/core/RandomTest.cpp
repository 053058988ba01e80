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

}  // namespace
