// The seeded generator's fixed sequence and the maths helpers.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>

#include "framework/random.h"

TEST(Random, FixedSequenceFromTheStartSeedAndRangesAlwaysAdvanceIt) {
    bb_random_Seed = 1234;
    float r = bb_random_Rnd();
    EXPECT_EQ(static_cast<uint32_t>(bb_random_Seed), 3067928073u);
    EXPECT_EQ(r, 11984094 * 5.9604645e-08f);
    bb_random_Seed = 1234;
    EXPECT_EQ(bb_random_Rnd2(5, 5), 5.0f);
    EXPECT_EQ(static_cast<uint32_t>(bb_random_Seed), 3067928073u);
    EXPECT_EQ(bb_random_Rnd3(0), 0.0f);
    EXPECT_NE(static_cast<uint32_t>(bb_random_Seed), 3067928073u);
    bb_random_Seed = 1234;
    EXPECT_NEAR(bb_random_Rnd2(10, 20), 10 + 10 * 0.7143076658248901, 1e-5);

    // Every value lies in [0, 1).
    for (int i = 0; i < 1000; ++i) {
        float v = bb_random_Rnd();
        ASSERT_TRUE(v >= 0.0f && v < 1.0f) << v;
    }
}

TEST(Maths, AbsAndMax) {
    EXPECT_EQ(bb_math_Abs(-4), 4);
    EXPECT_EQ(bb_math_Abs(INT_MIN), INT_MIN);
    EXPECT_EQ(bb_math_Abs2(-2.5f), 2.5f);
    EXPECT_TRUE(std::signbit(bb_math_Abs2(-0.0f)));
    EXPECT_EQ(bb_math_Max(3, 7), 7);
    EXPECT_EQ(bb_math_Max2(3.5f, -1), 3.5f);
}
