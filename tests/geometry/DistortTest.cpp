#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "filters/DistortFilters.h"
#include "filters/FilterEngine.h"
#include "platform/FilterPump.h"
#include "support/GeometrySupport.h"

using namespace geometry_test;

namespace {

int Quarter(int angle) { return static_cast<int>((static_cast<long long>(angle) * 29335) >> 17); }

// The distortions written as plainly as the formulas read, to hold the fast loops to.
void ReferenceSphere(const PixelBuffer& source, PixelBuffer& target, int A) {
    const int w = source.Width(), h = source.Height();
    const int R = std::min(w, h) / 2, cx = w / 2, cy = h / 2;
    const double k = std::abs(A) * 0.001;
    const double c = static_cast<double>(static_cast<float>(R)) / std::log(static_cast<float>(R) * k + 1);
    std::vector<int> M(R + 1);
    for (int i = 0; i <= R; ++i)
        M[i] = A > 0 ? static_cast<int>((std::exp(i / c) - 1) / k) : static_cast<int>(std::log(i * k + 1) * c);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int dx = x - cx, dy = y - cy;
            const int r = static_cast<int>(IntegerSqrt(dx * dx + dy * dy));
            int sx = x, sy = y;
            if (r <= R) {
                const int q = Quarter(Atan2Fixed(dy, dx));
                sx = cx + SineQ(q + 360) * M[r] / 32767;
                sy = cy + SineQ(q) * M[r] / 32767;
            }
            if (sx >= 0 && sx < w && sy >= 0 && sy < h) PutPixel(target, x, y, PixelOf(source, sx, sy));
        }
}

void ReferenceSwirl(const PixelBuffer& source, PixelBuffer& target, int n, int d) {
    const int T = static_cast<int>((d + 360 * n) * 6.283185307179586 * 2.8444444444444446);
    const int w = source.Width(), h = source.Height();
    const int R = std::min(w / 2, h / 2), cx = w / 2, cy = h / 2;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int dx = x - cx, dy = y - cy;
            const int r = static_cast<int>(IntegerSqrt(dx * dx + dy * dy));
            const int a = Atan2Fixed(dy, dx);
            const int t = ((R - r) * T) / R;
            const int q = Quarter(t + a);
            const int sx = cx + SineQ(q + 360) * r / 32767;
            const int sy = cy + SineQ(q) * r / 32767;
            if (sx >= 0 && sx < w && sy >= 0 && sy < h) PutPixel(target, x, y, PixelOf(source, sx, sy));
        }
}

void ReferenceWaves(const PixelBuffer& source, PixelBuffer& target, int H, int V, int A) {
    const int w = source.Width(), h = source.Height();
    const int ax = H * A / 100, ay = V * A / 100;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int sx = H ? x + SineQ((y * 229183 / 1000) / H) * ax / 32767 : x;
            int sy = V ? y + SineQ((x * 229183 / 1000) / V + 360) * ay / 32767 : y;
            sx = std::clamp(sx, 0, w - 1);
            sy = std::clamp(sy, 0, h - 1);
            PutPixel(target, x, y, PixelOf(source, sx, sy));
        }
}

struct Pair {
    std::unique_ptr<PixelBuffer> source, fast, slow;
};

Pair RandomPair(int w, int h, std::uint32_t seed) {
    Pair p{MakeBuffer(w, h), MakeBuffer(w, h), MakeBuffer(w, h)};
    FillRandom(*p.source, seed);
    CopyPixels(p.fast.get(), p.source.get());
    CopyPixels(p.slow.get(), p.source.get());
    return p;
}

}  // namespace

TEST_F(GeometryTest, OffsetWrapsAroundTheEdges) {
    MakeImage(7, 5);
    ASSERT_EQ(Offset(1, 0), 1);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) ASSERT_EQ(PixelOf(Work(), x, y), Marker((x + 1) % 7, y));
    for (auto [h, v] : {std::pair{0, 0}, std::pair{7, 5}, std::pair{-7, -5}, std::pair{7, 0}}) {
        ASSERT_EQ(Offset(h, v), 1);
        EXPECT_EQ(PixelBytes(Work()), PixelBytes(Undo())) << h << "," << v;
    }
    ASSERT_EQ(Offset(-2, 3), 1);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) ASSERT_EQ(PixelOf(Work(), x, y), Marker((x + 5) % 7, (y + 3) % 5));
}

TEST_F(GeometryTest, SphereLeavesTheOutsideAndTheCentreAlone) {
    MakeImage(41, 31);
    EXPECT_EQ(Sphere(0), 0);
    EXPECT_EQ(PixelBytes(Work()), PixelBytes(Undo()));
    for (int amount : {100, 37, -1, -100}) {
        CopyPixels(&Work(), &Undo());
        ASSERT_EQ(Sphere(amount), 1);
        const int R = 15, cx = 20, cy = 15;
        EXPECT_EQ(PixelOf(Work(), cx, cy), Marker(cx, cy));
        for (int y = 0; y < 31; ++y)
            for (int x = 0; x < 41; ++x) {
                const int d = (x - cx) * (x - cx) + (y - cy) * (y - cy);
                if (static_cast<int>(IntegerSqrt(d)) > R) {
                    ASSERT_EQ(PixelOf(Work(), x, y), Marker(x, y));
                }
            }
    }
    // A bulge changes the middle, the edge of the circle stays nearly in place.
    CopyPixels(&Work(), &Undo());
    Sphere(100);
    EXPECT_NE(PixelBytes(Work()), PixelBytes(Undo()));
}

TEST_F(GeometryTest, SphereAndSwirlLeaveATargetUnderTwoPixelsAlone) {
    for (auto [w, h] : {std::pair{1, 50}, std::pair{50, 1}, std::pair{1, 1}}) {
        MakeImage(w, h);
        EXPECT_EQ(Sphere(50), 0);
        EXPECT_EQ(Swirl(2, 90), 0);
        EXPECT_EQ(FilterState.FilterBusy, kFilterIdle);
        EXPECT_EQ(PixelBytes(Work()), PixelBytes(Undo()));
    }
}

TEST_F(GeometryTest, SphereMatchesTheFormulaOnRandomImages) {
    std::uint32_t seed = 40;
    for (auto [w, h] : {std::pair{64, 48}, std::pair{33, 77}, std::pair{2, 2}, std::pair{3, 9}}) {
        for (int amount : {100, 50, 1, -1, -60, -100}) {
            Pair p = RandomPair(w, h, seed++);
            ASSERT_TRUE(SpherePixels(*p.source, *p.fast, amount));
            ReferenceSphere(*p.source, *p.slow, amount);
            ASSERT_EQ(PixelBytes(*p.fast), PixelBytes(*p.slow)) << w << "x" << h << " amount " << amount;
        }
    }
}

TEST_F(GeometryTest, SwirlMatchesTheFormulaOnRandomImages) {
    std::uint32_t seed = 80;
    for (auto [w, h] : {std::pair{64, 48}, std::pair{31, 70}, std::pair{2, 3}, std::pair{200, 5}}) {
        for (auto [n, d] : {std::pair{0, 0}, std::pair{1, 0}, std::pair{-8, -359}, std::pair{8, 359},
                            std::pair{0, 45}, std::pair{-2, 100}}) {
            Pair p = RandomPair(w, h, seed++);
            const SwirlPlan plan = MakeSwirlPlan(w, h, n, d);
            for (int y = 0; y < h; ++y) SwirlRow(*p.source, *p.fast, plan, y);
            ReferenceSwirl(*p.source, *p.slow, n, d);
            ASSERT_EQ(PixelBytes(*p.fast), PixelBytes(*p.slow)) << w << "x" << h << " " << n << "/" << d;
        }
    }
}

TEST_F(GeometryTest, SwirlWithoutTwistStillMovesSomePixelsByOne) {
    MakeImage(40, 40);
    ASSERT_EQ(Swirl(0, 0), 1);
    int moved = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) {
            const Rgb c = PixelOf(Work(), x, y);
            if (c == Marker(x, y)) continue;
            ++moved;
            ASSERT_LE(std::abs(c.r - x), 1);
            ASSERT_LE(std::abs(c.g - y), 1);
        }
    EXPECT_GT(moved, 0);
    EXPECT_EQ(PixelOf(Work(), 20, 20), Marker(20, 20));
}

// A restart request from the dialog, seen at the start of a row, stops the swirl there: the
// rows before are done, the rows after untouched.
TEST_F(GeometryTest, SwirlStopsAtTheRowWhereARestartIsAsked) {
    MakeImage(60, 40);
    int pumps = 0;
    platform::SetFilterMessagePump([&pumps] {
        if (++pumps == 11) FilterState.FilterBusy = kFilterRestart;
    });
    const int result = Swirl(1, 0);
    platform::SetFilterMessagePump({});
    EXPECT_EQ(result, 0);
    EXPECT_EQ(pumps, 11);
    EXPECT_EQ(FilterState.FilterBusy, kFilterIdle);
    auto full = MakeBuffer(60, 40);
    CopyPixels(full.get(), &Undo());
    ReferenceSwirl(Undo(), *full, 1, 0);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x)
            ASSERT_EQ(PixelOf(Work(), x, y), y < 10 ? PixelOf(*full, x, y) : Marker(x, y)) << x << "," << y;
    // A run that is left alone goes to the end and leaves the engine idle.
    CopyPixels(&Work(), &Undo());
    EXPECT_EQ(Swirl(1, 0), 1);
    EXPECT_EQ(FilterState.FilterBusy, kFilterIdle);
    EXPECT_EQ(PixelBytes(Work()), PixelBytes(*full));
}

TEST_F(GeometryTest, WavesWithoutLengthsChangeNothing) {
    MakeImage(30, 20);
    for (int amplitude : {100, 0, 37}) {
        ASSERT_EQ(Waves(0, 0, amplitude), 1);
        EXPECT_EQ(PixelBytes(Work()), PixelBytes(Undo()));
    }
}

TEST_F(GeometryTest, WavesShiftRowsByTheSineOfTheirPosition) {
    MakeImage(40, 120);
    ASSERT_EQ(Waves(10, 0, 100), 1);
    // Row 0 stays; row 16 is 16 / 10 radians in, sin = 0.9996 and 9 pixels to the left.
    for (int x = 0; x < 40; ++x) EXPECT_EQ(PixelOf(Work(), x, 0), Marker(x, 0));
    for (int x = 0; x < 31; ++x) EXPECT_EQ(PixelOf(Work(), x, 16), Marker(x + 9, 16));
    for (int x = 31; x < 40; ++x) EXPECT_EQ(PixelOf(Work(), x, 16), Marker(39, 16));
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 40; ++x) {
            const Rgb c = PixelOf(Work(), x, y);
            ASSERT_EQ(c.g, y);
            ASSERT_LE(std::abs(c.r - x), 9);
        }
}

TEST_F(GeometryTest, WavesMatchTheFormulaOnRandomImages) {
    std::uint32_t seed = 120;
    for (auto [w, h] : {std::pair{64, 48}, std::pair{1, 30}, std::pair{300, 7}}) {
        for (auto [H, V, A] : {std::tuple{10, 0, 100}, std::tuple{0, 7, 100}, std::tuple{3, 100, 50},
                               std::tuple{100, 1, 100}, std::tuple{1, 1, 1}}) {
            Pair p = RandomPair(w, h, seed++);
            WavesPixels(*p.source, *p.fast, H, V, A);
            ReferenceWaves(*p.source, *p.slow, H, V, A);
            ASSERT_EQ(PixelBytes(*p.fast), PixelBytes(*p.slow)) << w << "x" << h << " " << H << "/" << V << "/" << A;
        }
    }
}

TEST_F(GeometryTest, DistortionsOnAPieceLeaveTheImageAlone) {
    MakeImage(30, 30);
    MakePiece(20, 10, true);
    ASSERT_EQ(Offset(3, 0), 1);
    EXPECT_EQ(PixelOf(*FloatingPiece.pieceBitmap, 0, 0), Marker(3, 0));
    EXPECT_EQ(PixelBytes(Work()), PixelBytes(Undo()));
}
