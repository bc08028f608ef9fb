#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "filters/Blur.h"
#include "filters/FilterEngine.h"
#include "platform/FilterPump.h"
#include "shell/ProgramState.h"
#include "support/FilterTestSupport.h"

namespace {

const ConvolutionKernel* const kAllKernels[] = {&kLowGaussianBlur, &kMediumGaussianBlur, &kStrongGaussianBlur,
                                                &kAverageBlur,     &kLowSharpen,         &kMediumSharpen,
                                                &kStrongSharpen,   &kContourKernel};

// The convolution exactly as described, pixel by pixel with clamped coordinates.
void ReferenceConvolve(const PixelBuffer& src, PixelBuffer& dst, const ConvolutionKernel& k) {
    const int w = src.Width(), h = src.Height();
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            for (int c = 0; c < 3; ++c) {
                int sum = 0, i = 0;
                for (int dy = -1; dy <= 1; ++dy) {
                    for (int dx = -1; dx <= 1; ++dx) {
                        sum += k.weights[i++] * Channel(src, std::clamp(x + dx, 0, w - 1), std::clamp(y + dy, 0, h - 1), c);
                    }
                }
                if (k.divisor != 0) sum /= k.divisor;
                dst.Row(y)[3 * x + c] = static_cast<std::uint8_t>(std::clamp(sum, 0, 255));
            }
        }
    }
}

void ReferenceUnsharp(const PixelBuffer& src, PixelBuffer& dst, int amount, int r) {
    const int w = src.Width(), h = src.Height();
    const int k = amount + 20, n = (2 * r + 1) * (2 * r + 1);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int j = -r; j <= r; ++j) {
                    for (int i = -r; i <= r; ++i) sum += Channel(src, std::clamp(x + i, 0, w - 1), std::clamp(y + j, 0, h - 1), c);
                }
                const int mean = sum / n;
                const int v = (Channel(src, x, y, c) * k) / 20 + ((20 - k) * mean) / 20;
                dst.Row(y)[3 * x + c] = static_cast<std::uint8_t>(std::clamp(v, 0, 255));
            }
        }
    }
}

TEST(Convolve3x3, UniformPicturesStayAsTheyAre) {
    for (const ConvolutionKernel* k : kAllKernels) {
        if (k == &kContourKernel) continue;
        auto src = MakeBuffer(6, 5, {37, 200, 255});
        auto dst = MakeBuffer(6, 5);
        ASSERT_EQ(Convolve3x3(src.get(), dst.get(), *k), 1);
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < 6; ++x) EXPECT_EQ(PixelAt(*dst, x, y), (Rgb{37, 200, 255}));
        }
    }
}

TEST(Convolve3x3, SinglePixelImageReadsItselfNineTimes) {
    auto src = MakeBuffer(1, 1, {90, 7, 250});
    auto dst = MakeBuffer(1, 1);
    ASSERT_EQ(Convolve3x3(src.get(), dst.get(), kLowSharpen), 1);
    EXPECT_EQ(PixelAt(*dst, 0, 0), (Rgb{90, 7, 250}));
    ASSERT_EQ(Convolve3x3(src.get(), dst.get(), kContourKernel), 1);
    EXPECT_EQ(PixelAt(*dst, 0, 0), (Rgb{0, 0, 0}));
}

TEST(Convolve3x3, SingleWhitePixel) {
    auto src = MakeBuffer(5, 5);
    SetPixel(*src, 2, 2, {255, 255, 255});
    auto dst = MakeBuffer(5, 5);
    ASSERT_EQ(Convolve3x3(src.get(), dst.get(), kMediumSharpen), 1);
    EXPECT_EQ(PixelAt(*dst, 2, 2), (Rgb{255, 255, 255}));
    for (auto [x, y] : {std::pair{1, 2}, {3, 2}, {2, 1}, {2, 3}, {1, 1}, {3, 3}}) {
        EXPECT_EQ(PixelAt(*dst, x, y), (Rgb{0, 0, 0})) << x << "," << y;
    }
    ASSERT_EQ(Convolve3x3(src.get(), dst.get(), kLowGaussianBlur), 1);
    for (auto [x, y] : {std::pair{2, 2}, {1, 2}, {3, 2}, {2, 1}, {2, 3}}) {
        EXPECT_EQ(PixelAt(*dst, x, y), (Rgb{51, 51, 51})) << x << "," << y;
    }
    for (auto [x, y] : {std::pair{1, 1}, {3, 1}, {1, 3}, {3, 3}, {0, 2}}) {
        EXPECT_EQ(PixelAt(*dst, x, y), (Rgb{0, 0, 0})) << x << "," << y;
    }
}

TEST(Convolve3x3, BorderRepeatsTheOutermostPixels) {
    // A white left column: on it, Medium Gaussian sees white at dx = -1 and dx = 0.
    auto src = MakeBuffer(4, 3);
    for (int y = 0; y < 3; ++y) SetPixel(*src, 0, y, {255, 255, 255});
    auto dst = MakeBuffer(4, 3);
    ASSERT_EQ(Convolve3x3(src.get(), dst.get(), kMediumGaussianBlur), 1);
    EXPECT_EQ(PixelAt(*dst, 0, 0).r, (255 * 12) / 16);
    EXPECT_EQ(PixelAt(*dst, 1, 1).r, (255 * 4) / 16);
    EXPECT_EQ(PixelAt(*dst, 2, 1).r, 0);
    // A white bottom row under Low Gaussian: the last row sees itself below.
    auto rowSrc = MakeBuffer(3, 3);
    for (int x = 0; x < 3; ++x) SetPixel(*rowSrc, x, 2, {0, 0, 200});
    ASSERT_EQ(Convolve3x3(rowSrc.get(), dst.get(), kLowGaussianBlur), 0);  // sizes differ
    auto rowDst = MakeBuffer(3, 3);
    ASSERT_EQ(Convolve3x3(rowSrc.get(), rowDst.get(), kLowGaussianBlur), 1);
    EXPECT_EQ(PixelAt(*rowDst, 1, 2).b, 200 * 4 / 5);
    EXPECT_EQ(PixelAt(*rowDst, 1, 1).b, 200 / 5);
}

TEST(Convolve3x3, NegativeSumsTruncateTowardsZeroThenClamp) {
    // Low sharpen: a 10 among 9s gives (160 - 72) / 8 = 11.
    auto src = MakeBuffer(3, 3, {9, 9, 9});
    SetPixel(*src, 1, 1, {10, 10, 10});
    auto dst = MakeBuffer(3, 3);
    ASSERT_EQ(Convolve3x3(src.get(), dst.get(), kLowSharpen), 1);
    EXPECT_EQ(PixelAt(*dst, 1, 1).g, 11);
    // Neighbour of the 10: corner (0,0) sees 16*9 - (9*7 + 10) = 71 -> 71 / 8 = 8.
    EXPECT_EQ(PixelAt(*dst, 0, 0).g, 8);
}

TEST(Convolve3x3, MissingBufferChangesNothing) {
    auto dst = MakeBuffer(2, 2, {1, 2, 3});
    EXPECT_EQ(Convolve3x3(nullptr, dst.get(), kAverageBlur), 0);
    EXPECT_EQ(PixelAt(*dst, 1, 1), (Rgb{1, 2, 3}));
}

TEST(Convolve3x3, MatchesThePlainFormOnRandomPictures) {
    const ConvolutionKernel odd = {{3, -7, 2, 127, -128, 5, 0, 1, -1}, 7};   // wide sums, runtime divisor
    const ConvolutionKernel big = {{100, 100, 100, 100, 100, 100, 100, 100, 100}, -3};
    // Non-negative kernels whose division becomes a multiplication, and one too wide for it.
    const ConvolutionKernel sevenths = {{1, 1, 1, 1, 1, 1, 1, 1, 1}, 7};
    const ConvolutionKernel halves = {{0, 0, 0, 0, 2, 0, 0, 0, 0}, 2};
    const ConvolutionKernel wide = {{9, 9, 9, 9, 9, 9, 9, 9, 9}, 7};
    const ConvolutionKernel eighths = {{-1, 2, -1, 2, 4, 2, -1, 2, -1}, 8};
    std::uint32_t seed = 1;
    for (auto [w, h] : {std::pair{1, 1}, {1, 7}, {7, 1}, {2, 2}, {3, 4}, {5, 3}, {17, 9}, {64, 5}, {400, 301}}) {
        auto src = RandomBuffer(w, h, seed++);
        auto fast = MakeBuffer(w, h);
        auto slow = MakeBuffer(w, h);
        for (const ConvolutionKernel* k : kAllKernels) {
            ASSERT_EQ(Convolve3x3(src.get(), fast.get(), *k), 1);
            ReferenceConvolve(*src, *slow, *k);
            ASSERT_TRUE(SameBytes(*fast, *slow)) << w << "x" << h;
        }
        for (const ConvolutionKernel* k : {&odd, &big, &sevenths, &halves, &wide, &eighths}) {
            ASSERT_EQ(Convolve3x3(src.get(), fast.get(), *k), 1);
            ReferenceConvolve(*src, *slow, *k);
            ASSERT_TRUE(SameBytes(*fast, *slow)) << w << "x" << h;
        }
    }
}

TEST(UnsharpMaskFilter, KnownValues) {
    // 100 in the middle of a 3 x 3 block whose mean is 90: 150 - 45 = 105.
    auto src = MakeBuffer(3, 3, {89, 89, 89});
    SetPixel(*src, 1, 1, {100, 100, 100});
    SetPixel(*src, 0, 0, {90, 90, 90});
    // Sum: 7 * 89 + 90 + 100 = 813, mean 90.
    auto dst = MakeBuffer(3, 3);
    ASSERT_EQ(UnsharpMask(src.get(), dst.get(), 10, 1), 1);
    EXPECT_EQ(PixelAt(*dst, 1, 1), (Rgb{105, 105, 105}));

    auto black = MakeBuffer(5, 5, {255, 255, 255});
    SetPixel(*black, 2, 2, {0, 0, 0});
    ASSERT_EQ(UnsharpMask(black.get(), dst.get(), 999, 1), 0);  // sizes differ
    auto out = MakeBuffer(5, 5);
    ASSERT_EQ(UnsharpMask(black.get(), out.get(), 999, 1), 1);
    EXPECT_EQ(PixelAt(*out, 2, 2), (Rgb{0, 0, 0}));
    auto white = MakeBuffer(5, 5);
    SetPixel(*white, 2, 2, {255, 255, 255});
    ASSERT_EQ(UnsharpMask(white.get(), out.get(), 999, 1), 1);
    EXPECT_EQ(PixelAt(*out, 2, 2), (Rgb{255, 255, 255}));
}

TEST(UnsharpMaskFilter, AmountZeroIsTheIdentity) {
    auto src = RandomBuffer(9, 6, 3);
    auto dst = MakeBuffer(9, 6);
    for (int r = 1; r <= 4; ++r) {
        ASSERT_EQ(UnsharpMask(src.get(), dst.get(), 0, r), 1);
        EXPECT_TRUE(SameBytes(*src, *dst)) << r;
    }
}

TEST(UnsharpMaskFilter, MatchesThePlainFormOnRandomPictures) {
    std::uint32_t seed = 11;
    for (auto [w, h] : {std::pair{1, 1}, {1, 6}, {6, 1}, {2, 3}, {4, 4}, {10, 7}, {33, 12}}) {
        auto src = RandomBuffer(w, h, seed++);
        auto fast = MakeBuffer(w, h);
        auto slow = MakeBuffer(w, h);
        for (int r = 0; r <= 5; ++r) {
            for (int amount : {0, 1, 10, 57, 999, 40000, 70000}) {
                ASSERT_EQ(UnsharpMask(src.get(), fast.get(), amount, r), 1);
                ReferenceUnsharp(*src, *slow, amount, r);
                ASSERT_TRUE(SameBytes(*fast, *slow)) << w << "x" << h << " r " << r << " amount " << amount;
            }
        }
    }
}

class UnsharpRestart : public ::testing::Test {
protected:
    void TearDown() override {
        platform::SetFilterMessagePump({});
        ResetProgramState();
    }
};

TEST_F(UnsharpRestart, StopsWithinOneRowAndARestartFinishesCleanly) {
    auto src = RandomBuffer(12, 10, 5);
    auto expected = MakeBuffer(12, 10);
    ASSERT_EQ(UnsharpMask(src.get(), expected.get(), 300, 4), 1);
    EXPECT_EQ(FilterState.FilterBusy, kFilterIdle);

    // The dialog asks for a new preview while row 3 is about to be written.
    auto target = CopyOf(*src);
    int rowsStarted = 0;
    platform::SetFilterMessagePump([&] {
        EXPECT_EQ(FilterState.FilterBusy, kFilterRunning);
        if (++rowsStarted == 4) FilterState.FilterBusy = kFilterRestart;
    });
    EXPECT_EQ(UnsharpMask(src.get(), target.get(), 300, 4), 0);
    EXPECT_EQ(rowsStarted, 4);
    EXPECT_EQ(FilterState.FilterBusy, kFilterIdle);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 12; ++x) {
            EXPECT_EQ(PixelAt(*target, x, y), y < 3 ? PixelAt(*expected, x, y) : PixelAt(*src, x, y)) << x << "," << y;
        }
    }
    // The next preview starts from the source again and runs to the end.
    platform::SetFilterMessagePump([&] { ++rowsStarted; });
    CopyPixels(target.get(), src.get());
    rowsStarted = 0;
    EXPECT_EQ(UnsharpMask(src.get(), target.get(), 300, 4), 1);
    EXPECT_EQ(rowsStarted, 10);
    EXPECT_TRUE(SameBytes(*target, *expected));
}

}  // namespace
