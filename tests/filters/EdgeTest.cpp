#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "support/FilterTestSupport.h"
#include "filters/EdgeFilters.h"
#include "filters/FilterEngine.h"

namespace {

void ReferenceEdges(const PixelBuffer& src, PixelBuffer& dst) {
    const int vertical[9] = {-1, -1, -1, 0, 0, 0, 1, 1, 1};
    const int horizontal[9] = {-1, 0, 1, -1, 0, 1, -1, 0, 1};
    const int w = src.Width(), h = src.Height();
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            for (int c = 0; c < 3; ++c) {
                int g1 = 0, g2 = 0, i = 0;
                for (int dy = -1; dy <= 1; ++dy) {
                    for (int dx = -1; dx <= 1; ++dx, ++i) {
                        const int v = Channel(src, std::clamp(x + dx, 0, w - 1), std::clamp(y + dy, 0, h - 1), c);
                        g1 += vertical[i] * v;
                        g2 += horizontal[i] * v;
                    }
                }
                const double p = IntegerSqrt(static_cast<std::uint32_t>(g1 * g1 + g2 * g2)) * 0.5555555555555556;
                dst.Row(y)[3 * x + c] = static_cast<std::uint8_t>(p > 255 ? 255 : static_cast<int>(p));
            }
        }
    }
}

void ReferenceEmboss(const PixelBuffer& src, PixelBuffer& dst, int intensity, int dx, int dy) {
    const int a = static_cast<int>(intensity * 2.55);
    const int w = src.Width(), h = src.Height();
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int px = std::clamp(x + dx, 0, w - 1), py = std::clamp(y + dy, 0, h - 1);
            const int qx = std::clamp(x - dx, 0, w - 1), qy = std::clamp(y - dy, 0, h - 1);
            int sum = 0;
            for (int c = 0; c < 3; ++c) sum += Channel(src, px, py, c) - Channel(src, qx, qy, c);
            const int e = (sum + 384) / 3;
            const int r = Channel(src, x, y, 2);
            const int v = std::clamp(r + ((e - r) * a + 128) / 255, 0, 255);
            for (int c = 0; c < 3; ++c) dst.Row(y)[3 * x + c] = static_cast<std::uint8_t>(v);
        }
    }
}

TEST(EdgeDetectFilter, UniformIsBlackAndStepsAreExact) {
    auto flat = MakeBuffer(5, 4, {77, 77, 77});
    auto out = MakeBuffer(5, 4);
    ASSERT_EQ(EdgeDetect(flat.get(), out.get()), 1);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 5; ++x) EXPECT_EQ(PixelAt(*out, x, y), (Rgb{0, 0, 0}));
    }
    // A vertical step between columns 2 and 3.
    for (int step : {255, 90}) {
        auto src = MakeBuffer(6, 4);
        for (int y = 0; y < 4; ++y) {
            for (int x = 3; x < 6; ++x) SetPixel(*src, x, y, {step, step, step});
        }
        auto edges = MakeBuffer(6, 4);
        ASSERT_EQ(EdgeDetect(src.get(), edges.get()), 1);
        const int expected = step == 255 ? 255 : 150;
        for (int y = 0; y < 4; ++y) {
            EXPECT_EQ(PixelAt(*edges, 2, y).g, expected) << y;
            EXPECT_EQ(PixelAt(*edges, 3, y).g, expected) << y;
            EXPECT_EQ(PixelAt(*edges, 1, y).g, 0);
            EXPECT_EQ(PixelAt(*edges, 4, y).g, 0);
        }
    }
}

TEST(EdgeDetectFilter, MatchesThePlainFormOnRandomPictures) {
    std::uint32_t seed = 70;
    for (auto [w, h] : {std::pair{1, 1}, {1, 5}, {5, 1}, {2, 2}, {3, 3}, {16, 9}, {41, 6}, {400, 301}}) {
        auto src = RandomBuffer(w, h, seed++);
        auto fast = MakeBuffer(w, h);
        auto slow = MakeBuffer(w, h);
        ASSERT_EQ(EdgeDetect(src.get(), fast.get()), 1);
        ReferenceEdges(*src, *slow);
        ASSERT_TRUE(SameBytes(*fast, *slow)) << w << "x" << h;
    }
}

TEST(EdgeDetectFilter, EveryGradientLengthGivesTheIntegerRootsValue) {
    // All (g1, g2) pairs reachable on one channel: a pixel whose neighbourhood makes them.
    // The root is checked directly against IntegerSqrt over the whole range of sums.
    for (std::uint32_t n = 0; n <= 2u * 765 * 765; ++n) {
        const std::uint32_t r = IntegerSqrt(n);
        const int viaFloat = static_cast<int>(std::sqrt(static_cast<float>(n)));
        ASSERT_EQ(static_cast<int>(r), viaFloat) << n;
    }
    // The channel value of each root, as the double product and as the single-precision 5s / 9.
    for (int root = 0; root <= 1082; ++root) {
        const int viaDouble = static_cast<int>(root * 0.5555555555555556);
        const int viaFloat = static_cast<int>(static_cast<float>(root) * 5.0f / 9.0f);
        ASSERT_EQ(viaDouble, viaFloat) << root;
    }
}

TEST(FindContoursFilter, WhiteOnFlatAndARingAroundASpeck) {
    auto flat = MakeBuffer(4, 4, {33, 140, 250});
    auto out = MakeBuffer(4, 4);
    ASSERT_EQ(FindContours(flat.get(), out.get()), 1);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) EXPECT_EQ(PixelAt(*out, x, y), (Rgb{255, 255, 255}));
    }
    auto speck = MakeBuffer(7, 7);
    SetPixel(*speck, 3, 3, {255, 255, 255});
    ASSERT_EQ(FindContours(speck.get(), out.get()), 0);  // sizes differ
    auto ring = MakeBuffer(7, 7);
    ASSERT_EQ(FindContours(speck.get(), ring.get()), 1);
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 7; ++x) {
            const bool neighbour = std::abs(x - 3) <= 1 && std::abs(y - 3) <= 1 && !(x == 3 && y == 3);
            EXPECT_EQ(PixelAt(*ring, x, y).r, neighbour ? 0 : 255) << x << "," << y;
        }
    }
}

TEST(EmbossFilter, UniformPicturesAndTheRedChannel) {
    auto out = MakeBuffer(3, 3);
    auto black = MakeBuffer(3, 3, {0, 50, 50});
    ASSERT_EQ(Emboss(black.get(), out.get(), 100, 0), 1);
    EXPECT_EQ(PixelAt(*out, 1, 1), (Rgb{128, 128, 128}));
    auto red = MakeBuffer(3, 3, {255, 0, 0});
    ASSERT_EQ(Emboss(red.get(), out.get(), 100, 4), 1);
    EXPECT_EQ(PixelAt(*out, 0, 2), (Rgb{129, 129, 129}));
    auto src = MakeBuffer(3, 3, {200, 10, 10});
    ASSERT_EQ(Emboss(src.get(), out.get(), 0, 7), 1);
    EXPECT_EQ(PixelAt(*out, 2, 0), (Rgb{200, 200, 200}));
    EXPECT_EQ(Emboss(src.get(), out.get(), 100, 8), 0);
    EXPECT_EQ(Emboss(src.get(), out.get(), 100, -1), 0);
}

TEST(EmbossFilter, WhiteSquareLitFromTheTopLeftAndTheBottomRight) {
    // White square over columns and rows 3 ... 6 of a 10 x 10 black picture.
    auto src = MakeBuffer(10, 10);
    for (int y = 3; y <= 6; ++y) {
        for (int x = 3; x <= 6; ++x) SetPixel(*src, x, y, {255, 255, 255});
    }
    auto out = MakeBuffer(10, 10);
    for (int direction : {0, 7}) {
        ASSERT_EQ(Emboss(src.get(), out.get(), 100, direction), 1);
        const int upperLeft = direction == 0 ? 0 : 255;
        const int lowerRight = direction == 0 ? 255 : 0;
        // On both sides of the upper edge (rows 2, 3) and the left edge (columns 2, 3), and of the
        // lower (rows 6, 7) and right (columns 6, 7) edges.
        for (int i = 3; i <= 5; ++i) {
            EXPECT_EQ(PixelAt(*out, i, 2).r, upperLeft) << i;
            EXPECT_EQ(PixelAt(*out, i, 3).r, upperLeft) << i;
            EXPECT_EQ(PixelAt(*out, 2, i).r, upperLeft) << i;
            EXPECT_EQ(PixelAt(*out, 3, i).r, upperLeft) << i;
            EXPECT_EQ(PixelAt(*out, i + 1, 6).r, lowerRight) << i;
            EXPECT_EQ(PixelAt(*out, i + 1, 7).r, lowerRight) << i;
            EXPECT_EQ(PixelAt(*out, 6, i + 1).r, lowerRight) << i;
            EXPECT_EQ(PixelAt(*out, 7, i + 1).r, lowerRight) << i;
        }
        EXPECT_EQ(PixelAt(*out, 0, 0).r, 128);
        EXPECT_EQ(PixelAt(*out, 5, 5).r, 129);
        EXPECT_EQ(PixelAt(*out, 9, 9).r, 128);
    }
}

TEST(EmbossFilter, MatchesThePlainFormInEveryDirection) {
    const int offsets[8][2] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}};
    std::uint32_t seed = 90;
    for (auto [w, h] : {std::pair{1, 1}, {1, 4}, {4, 1}, {2, 2}, {3, 5}, {19, 8}, {300, 250}}) {
        auto src = RandomBuffer(w, h, seed++);
        auto fast = MakeBuffer(w, h);
        auto slow = MakeBuffer(w, h);
        for (int d = 0; d < 8; ++d) {
            for (int intensity : {0, 37, 100}) {
                ASSERT_EQ(Emboss(src.get(), fast.get(), intensity, d), 1);
                ReferenceEmboss(*src, *slow, intensity, offsets[d][0], offsets[d][1]);
                ASSERT_TRUE(SameBytes(*fast, *slow)) << w << "x" << h << " direction " << d;
            }
        }
    }
    // Black, white and pure channels side by side reach the largest differences of the
    // channel sums, both ways, and the clamping at both ends.
    auto extremes = RandomBuffer(64, 48, seed);
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 64; ++x) {
            std::uint8_t* p = extremes->Row(y) + 3 * x;
            const int kind = (p[0] ^ p[1]) % 4;
            p[0] = kind == 1 || kind == 3 ? 255 : 0;
            p[1] = kind == 1 ? 255 : 0;
            p[2] = kind >= 1 ? 255 : 0;
        }
    }
    auto fast = MakeBuffer(64, 48);
    auto slow = MakeBuffer(64, 48);
    for (int d = 0; d < 8; ++d) {
        for (int intensity : {1, 63, 100}) {
            ASSERT_EQ(Emboss(extremes.get(), fast.get(), intensity, d), 1);
            ReferenceEmboss(*extremes, *slow, intensity, offsets[d][0], offsets[d][1]);
            ASSERT_TRUE(SameBytes(*fast, *slow)) << "extremes, direction " << d << " intensity " << intensity;
        }
    }
}

}  // namespace
