#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "support/FilterTestSupport.h"
#include "filters/FilterEngine.h"
#include "filters/Median.h"
#include "filters/NoiseFilters.h"
#include "platform/FilterPump.h"
#include "shell/ProgramState.h"
#include "filters/Noise.h"

namespace {

class NoiseFilters : public ::testing::Test {
protected:
    void SetUp() override { ResetProgramState(); }
    void TearDown() override {
        platform::SetFilterMessagePump({});
        ResetProgramState();
    }
    // The generator's state after count more draws, without disturbing it.
    static std::uint32_t StateAfter(int count) {
        const std::uint32_t saved = FilterState.NoiseState;
        for (int i = 0; i < count; ++i) NextNoise();
        const std::uint32_t state = FilterState.NoiseState;
        FilterState.NoiseState = saved;
        return state;
    }
};

TEST(MedianNetwork, FifthSmallestOfEveryZeroOneInputAndOfRandomOnes) {
    // A min/max network that is right on every 0/1 input is right on every input.
    for (int bits = 0; bits < 512; ++bits) {
        int a[9];
        int ones = 0;
        for (int i = 0; i < 9; ++i) ones += a[i] = (bits >> i) & 1;
        ASSERT_EQ(MedianOf9(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8]), ones >= 5 ? 1 : 0) << bits;
    }
    std::mt19937 random(3);
    for (int n = 0; n < 20000; ++n) {
        int a[9];
        for (int& v : a) v = static_cast<int>(random() % 7);
        int sorted[9];
        std::copy(a, a + 9, sorted);
        std::sort(sorted, sorted + 9);
        ASSERT_EQ(MedianOf9(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8]), sorted[4]);
    }
}

TEST_F(NoiseFilters, DespeckleRemovesSpecksAndKeepsTheFrame) {
    auto src = MakeBuffer(9, 9, {10, 20, 30});
    SetPixel(*src, 2, 2, {200, 0, 99});
    auto dst = CopyOf(*src);
    ASSERT_EQ(Despeckle(src.get(), dst.get()), 1);
    EXPECT_EQ(PixelAt(*dst, 2, 2), (Rgb{10, 20, 30}));

    // A 2 x 2 block goes too; a 3 x 3 block loses only its corners.
    auto block = MakeBuffer(10, 10);
    for (int y = 1; y <= 2; ++y) {
        for (int x = 1; x <= 2; ++x) SetPixel(*block, x, y, {255, 255, 255});
    }
    for (int y = 5; y <= 7; ++y) {
        for (int x = 5; x <= 7; ++x) SetPixel(*block, x, y, {255, 255, 255});
    }
    auto out = CopyOf(*block);
    ASSERT_EQ(Despeckle(block.get(), out.get()), 1);
    for (int y = 1; y <= 2; ++y) {
        for (int x = 1; x <= 2; ++x) EXPECT_EQ(PixelAt(*out, x, y).r, 0) << x << "," << y;
    }
    for (int y = 5; y <= 7; ++y) {
        for (int x = 5; x <= 7; ++x) {
            const bool corner = (x == 5 || x == 7) && (y == 5 || y == 7);
            EXPECT_EQ(PixelAt(*out, x, y).r, corner ? 0 : 255) << x << "," << y;
        }
    }
}

TEST_F(NoiseFilters, DespeckleMatchesMedianAtEveryInsidePixel) {
    std::uint32_t seed = 40;
    for (auto [w, h] : {std::pair{3, 3}, {4, 3}, {3, 5}, {8, 8}, {37, 11}, {400, 301}}) {
        auto src = RandomBuffer(w, h, seed++);
        auto before = RandomBuffer(w, h, seed++);
        auto fast = CopyOf(*before);
        auto slow = CopyOf(*before);
        ASSERT_EQ(Despeckle(src.get(), fast.get()), 1);
        for (int y = 1; y <= h - 2; ++y) {
            for (int x = 1; x <= w - 2; ++x) Median3x3At(src->Bits(), slow->Bits(), w, h, src->Stride(), x, y);
        }
        ASSERT_TRUE(SameBytes(*fast, *slow)) << w << "x" << h;
        // The outermost rows and columns keep what the target had.
        for (int x = 0; x < w; ++x) {
            EXPECT_EQ(PixelAt(*fast, x, 0), PixelAt(*before, x, 0));
            EXPECT_EQ(PixelAt(*fast, x, h - 1), PixelAt(*before, x, h - 1));
        }
        for (int y = 0; y < h; ++y) {
            EXPECT_EQ(PixelAt(*fast, 0, y), PixelAt(*before, 0, y));
            EXPECT_EQ(PixelAt(*fast, w - 1, y), PixelAt(*before, w - 1, y));
        }
    }
}

TEST_F(NoiseFilters, DespeckleLeavesNarrowImagesAlone) {
    for (auto [w, h] : {std::pair{2, 9}, {9, 2}, {1, 1}}) {
        auto src = RandomBuffer(w, h, 9);
        auto dst = CopyOf(*src);
        ASSERT_EQ(Despeckle(src.get(), dst.get()), 1);
        EXPECT_TRUE(SameBytes(*src, *dst));
    }
}

TEST_F(NoiseFilters, AddNoiseAmountZeroStillDrawsFromTheGenerator) {
    auto src = RandomBuffer(7, 4, 2);
    auto dst = CopyOf(*src);
    const std::uint32_t monoState = StateAfter(28);
    ASSERT_EQ(AddNoise(dst.get(), kNoiseMonochrome, 0), 1);
    EXPECT_TRUE(SameBytes(*src, *dst));
    EXPECT_EQ(FilterState.NoiseState, monoState);
    const std::uint32_t colourState = StateAfter(3 * 28);
    ASSERT_EQ(AddNoise(dst.get(), kNoiseColor, 0), 1);
    EXPECT_TRUE(SameBytes(*src, *dst));
    EXPECT_EQ(FilterState.NoiseState, colourState);
}

TEST_F(NoiseFilters, AddNoiseFirstPixelFromTheInitialState) {
    auto dst = MakeBuffer(3, 2);
    ASSERT_EQ(AddNoise(dst.get(), kNoiseMonochrome, 50), 1);
    EXPECT_EQ(PixelAt(*dst, 0, 0), (Rgb{7, 7, 7}));  // 2049 x 127 / 32767
    EXPECT_EQ(PixelAt(*dst, 1, 0), (Rgb{0, 0, 0}));  // 129 x 127 / 32767
}

TEST_F(NoiseFilters, AddNoiseMonochromeKeepsGreyColourDoesNot) {
    auto grey = MakeBuffer(20, 10, {128, 128, 128});
    ASSERT_EQ(AddNoise(grey.get(), kNoiseMonochrome, 80), 1);
    bool changed = false;
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 20; ++x) {
            const Rgb c = PixelAt(*grey, x, y);
            EXPECT_TRUE(c.r == c.g && c.g == c.b);
            changed |= c.r != PixelAt(*grey, 0, 0).r;
        }
    }
    EXPECT_TRUE(changed);
    auto colour = MakeBuffer(20, 10, {128, 128, 128});
    ASSERT_EQ(AddNoise(colour.get(), kNoiseColor, 80), 1);
    int coloured = 0;
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 20; ++x) {
            const Rgb c = PixelAt(*colour, x, y);
            coloured += !(c.r == c.g && c.g == c.b);
        }
    }
    EXPECT_GT(coloured, 150);
}

TEST_F(NoiseFilters, AddNoiseFullAmountOnWhiteTakesRedGreenBlueInOrder) {
    auto white = MakeBuffer(5, 3, {255, 255, 255});
    ASSERT_EQ(AddNoise(white.get(), kNoiseColor, 100), 1);
    ResetNoise();
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 5; ++x) {
            Rgb expected;
            expected.r = 1 + NextNoise() * 254 / 32767;
            expected.g = 1 + NextNoise() * 254 / 32767;
            expected.b = 1 + NextNoise() * 254 / 32767;
            EXPECT_EQ(PixelAt(*white, x, y), expected) << x << "," << y;
        }
    }
}

TEST_F(NoiseFilters, AddNoiseStopsAtARowWhenAskedAndLeavesTheRestAlone) {
    auto src = RandomBuffer(6, 5, 8);
    auto dst = CopyOf(*src);
    int rows = 0;
    platform::SetFilterMessagePump([&] {
        if (++rows == 3) FilterState.FilterBusy = kFilterRestart;
    });
    // The register moves on as after a whole run, wherever the run stopped.
    const std::uint32_t wholeRun = StateAfter(30);
    EXPECT_EQ(AddNoise(dst.get(), kNoiseMonochrome, 60), 0);
    EXPECT_EQ(FilterState.FilterBusy, kFilterIdle);
    EXPECT_EQ(FilterState.NoiseState, wholeRun);
    for (int y = 2; y < 5; ++y) {
        for (int x = 0; x < 6; ++x) EXPECT_EQ(PixelAt(*dst, x, y), PixelAt(*src, x, y));
    }
}

TEST_F(NoiseFilters, JitterZeroChangesNothing) {
    auto src = RandomBuffer(8, 6, 12);
    auto dst = MakeBuffer(8, 6);
    ASSERT_EQ(Jitter(src.get(), dst.get(), 0), 1);
    EXPECT_TRUE(SameBytes(*src, *dst));
    EXPECT_EQ(Jitter(nullptr, dst.get(), 5), 0);
}

TEST_F(NoiseFilters, JitterTakesPixelsWhereTheGeneratorSaysWithTheBorderRepeated) {
    for (int amount : {1, 7, 100}) {
        ResetNoise();
        auto src = RandomBuffer(9, 7, 13 + amount);
        auto dst = MakeBuffer(9, 7);
        ASSERT_EQ(Jitter(src.get(), dst.get(), amount), 1);
        ResetNoise();
        const int half = amount / 2;
        for (int y = 0; y < 7; ++y) {
            for (int x = 0; x < 9; ++x) {
                const int rx = NextNoise();
                const int sx = std::clamp(x - rx * amount / 32767 + half, 0, 8);
                const int ry = NextNoise();
                const int sy = std::clamp(y - ry * amount / 32767 + half, 0, 6);
                ASSERT_EQ(PixelAt(*dst, x, y), PixelAt(*src, sx, sy)) << amount << ": " << x << "," << y;
                if (amount == 1) {
                    EXPECT_EQ(sx, rx == 32767 ? std::max(x - 1, 0) : x);
                    EXPECT_EQ(sy, ry == 32767 ? std::max(y - 1, 0) : y);
                }
            }
        }
    }
}

TEST_F(NoiseFilters, JitterAmountOneMovesOnlyOnTheLargestDraw) {
    // About one draw in 32768 is 32767: a 256 x 256 picture meets a few of them.
    auto src = RandomBuffer(256, 256, 77);
    auto dst = MakeBuffer(256, 256);
    ASSERT_EQ(Jitter(src.get(), dst.get(), 1), 1);
    ResetNoise();
    int moved = 0;
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            const int rx = NextNoise();
            const int ry = NextNoise();
            const int sx = rx == 32767 ? std::max(x - 1, 0) : x;
            const int sy = ry == 32767 ? std::max(y - 1, 0) : y;
            moved += sx != x || sy != y;
            ASSERT_EQ(PixelAt(*dst, x, y), PixelAt(*src, sx, sy)) << x << "," << y;
        }
    }
    EXPECT_GT(moved, 0);
}

}  // namespace

// Large enough for the rows to be shared between two threads: every pixel still gets the
// numbers of one pass from the top, and the register ends where that pass leaves it.
TEST_F(NoiseFilters, AddNoiseOnALargePictureGivesTheNumbersOfOnePass) {
    for (int style : {kNoiseMonochrome, kNoiseColor}) {
        FilterState.NoiseState = 0x2468ACEu;
        const int w = 333, h = 301;
        auto src = RandomBuffer(w, h, 40 + style);
        auto dst = CopyOf(*src);
        const std::uint32_t start = FilterState.NoiseState;
        ASSERT_EQ(AddNoise(dst.get(), style, 70), 1);
        const std::uint32_t after = FilterState.NoiseState;
        FilterState.NoiseState = start;
        const int a = static_cast<int>(70 * 2.55);
        const int keep = 255 - a;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const Rgb s = PixelAt(*src, x, y);
                Rgb expected;
                if (style == kNoiseColor) {
                    expected.r = std::min(255, s.r * keep / 255 + NextNoise() * a / 32767);
                    expected.g = std::min(255, s.g * keep / 255 + NextNoise() * a / 32767);
                    expected.b = std::min(255, s.b * keep / 255 + NextNoise() * a / 32767);
                } else {
                    const int noise = NextNoise() * a / 32767;
                    expected = {std::min(255, s.r * keep / 255 + noise), std::min(255, s.g * keep / 255 + noise),
                                std::min(255, s.b * keep / 255 + noise)};
                }
                ASSERT_EQ(PixelAt(*dst, x, y), expected) << style << ": " << x << "," << y;
            }
        }
        EXPECT_EQ(after, FilterState.NoiseState);
    }
}
