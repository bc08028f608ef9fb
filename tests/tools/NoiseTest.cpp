#include <gtest/gtest.h>

#include "filters/Noise.h"

TEST(NextNoise, FirstValuesFromTheStartingState) {
    ResetNoise();
    EXPECT_EQ(FilterState.NoiseState, 1u);
    const int expected[] = {2049, 129, 2185, 16385, 19457};
    for (int value : expected) EXPECT_EQ(NextNoise(), value);
}

TEST(NextNoise, StateKeepsBit31ClearAndValuesStayIn15Bits) {
    ResetNoise();
    for (int i = 0; i < 100000; ++i) {
        const int v = NextNoise();
        ASSERT_GE(v, 0);
        ASSERT_LE(v, 32767);
        ASSERT_EQ(FilterState.NoiseState & 0x80000000u, 0u);
        ASSERT_NE(FilterState.NoiseState, 0u);  // an all-zero register would stay zero for ever
    }
}

TEST(NextNoise, LeftShiftIsCutTo32BitsAndBit31Cleared) {
    // t = 0x00110001; t << 11 overflows into bit 31 (0x88000800 in 32 bits).
    FilterState.NoiseState = 0x00100001u;
    EXPECT_EQ(NextNoise(), 0x0801);
    EXPECT_EQ(FilterState.NoiseState, 0x08110801u);
    ResetNoise();
    EXPECT_EQ(NextNoise(), 2049);
}

TEST(NextNoise, LookingAheadLandsWhereThatManyStepsDo) {
    for (std::uint32_t start : {1u, 0x00100001u, 0x7FFFFFFFu, 0x2468ACE1u}) {
        std::uint32_t walked = start;
        std::uint64_t done = 0;
        for (std::uint64_t steps : {0ull, 1ull, 2ull, 31ull, 1000ull, 123457ull}) {
            while (done < steps) {
                StepNoise(walked);
                ++done;
            }
            EXPECT_EQ(NoiseAhead(start, steps), walked) << start << " + " << steps;
        }
    }
    EXPECT_EQ(NoiseAhead(NoiseAhead(0x13579BDu, 300), 700), NoiseAhead(0x13579BDu, 1000));
}
