// Which pixels one dab touches, for every shape, size and the image border.
#include <climits>
#include <cmath>
#include <cstdlib>

#include "support/BrushFixture.h"

namespace {

int IntegerSquareRoot(int n) {
    int k = 0;
    while ((k + 1) * (k + 1) <= n) ++k;
    return k;
}

}  // namespace

TEST(RoundHalfWidth, IsTheIntegerSquareRootExceptEntryOne) {
    const int start[] = {0, 0, 1, 1, 2, 2, 2, 2, 2, 3};
    for (int n = 0; n < 10; ++n) EXPECT_EQ(RoundHalfWidth[n], start[n]) << n;
    for (int n = 2; n < kRoundHalfWidthEntries; ++n) EXPECT_EQ(RoundHalfWidth[n], IntegerSquareRoot(n)) << n;
    EXPECT_EQ(RoundHalfWidth[100], 10);
}

TEST(LimitBrushSize, KeepsSizesTheTableServes) {
    EXPECT_EQ(LimitBrushSize(0), 1);
    EXPECT_EQ(LimitBrushSize(1), 1);
    EXPECT_EQ(LimitBrushSize(17), 17);
    EXPECT_EQ(LimitBrushSize(21), 21);
    EXPECT_EQ(LimitBrushSize(22), 21);
    EXPECT_EQ(LimitBrushSize(255), 21);
    EXPECT_EQ(LimitBrushSize(100000), 21);
    EXPECT_EQ(LimitBrushSize(UINT32_MAX), 21);
}

TEST_F(BrushTest, RoundSize3IsTheFivePixelCross) {
    MakeImage(9, 9, kWhite);
    UseBrush(kToolPen, 0, 3);
    DownDab(4, 4);
    EXPECT_EQ(ChangedFrom(kWhite, 4, 4), (PointSet{{0, -1}, {-1, 0}, {0, 0}, {1, 0}, {0, 1}}));
    EXPECT_EQ(WorkAt(4, 4), kBlack);  // 255 x 1 / 256 = 0
    EXPECT_EQ(PixelOf(Undo(), 4, 4), kWhite);
}

TEST_F(BrushTest, HardShapesAtSize5) {
    struct Case {
        int shape;
        PointSet pixels;
    };
    PointSet square;
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx) square.insert({dx, dy});
    PointSet rising, falling;
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            rising.insert({-dy + dx, dy});
            falling.insert({dy + dx, dy});
        }
    const Case cases[] = {
        {0, {{0, -2}, {-1, -1}, {0, -1}, {1, -1}, {-2, 0}, {-1, 0}, {0, 0}, {1, 0}, {2, 0}, {-1, 1}, {0, 1}, {1, 1}, {0, 2}}},
        {1, square},
        {3, rising},
        {4, falling},
        {5, {{-2, 0}, {-1, 0}, {0, 0}, {1, 0}, {2, 0}}},
        {6, {{0, -2}, {0, -1}, {0, 0}, {0, 1}, {0, 2}}},
    };
    for (const Case& c : cases) {
        MakeImage(11, 11, kWhite);
        UseBrush(kToolPen, c.shape, 5);
        DownDab(5, 5);
        EXPECT_EQ(ChangedFrom(kWhite, 5, 5), c.pixels) << "shape " << c.shape;
    }
    // The rising diagonal's top row is centred to the right of the point.
    EXPECT_TRUE(rising.count({3, -2}));
}

TEST_F(BrushTest, LargestRoundBrushHasRadiusTen) {
    MakeImage(31, 31, kWhite);
    UseBrush(kToolPen, 0, 21);
    DownDab(15, 15);
    const PointSet changed = ChangedFrom(kWhite, 15, 15);
    int expected = 0;
    for (int dy = -10; dy <= 10; ++dy) {
        const int w = IntegerSquareRoot(100 - dy * dy);
        expected += 2 * w + 1;
        EXPECT_TRUE(changed.count({w, dy}) && changed.count({-w, dy}) && !changed.count({w + 1, dy})) << dy;
    }
    EXPECT_EQ(static_cast<int>(changed.size()), expected);
    EXPECT_FALSE(changed.count({0, -11}));
}

TEST_F(BrushTest, SoftRoundSize3IsTheCentreColumn) {
    // Pixels within 5 of the colour snap to it wherever the footprint reaches, so a
    // near-black image shows the footprint itself: the centre column of three.
    MakeImage(7, 7, Grey(4));
    UseBrush(kToolPen, 2, 3);
    DownDab(3, 3);
    EXPECT_EQ(ChangedFrom(Grey(4), 3, 3), (PointSet{{0, -1}, {0, 0}, {0, 1}}));

    // On white only the centre has strength: (1 x 1 x 100 / 1) / 4 = 25, k = 2500,
    // 255 - 255 x 2500 / 10000 = 192.
    MakeImage(7, 7, kWhite);
    DownDab(3, 3);
    EXPECT_EQ(ChangedFrom(kWhite, 3, 3), (PointSet{{0, 0}}));
    EXPECT_EQ(WorkAt(3, 3), Grey(192));
}

TEST_F(BrushTest, SizeOneIsOnePixelHardAndRadiusOneSoft) {
    MakeImage(5, 5, kWhite);
    UseBrush(kToolPen, 0, 1);
    DownDab(2, 2);
    EXPECT_EQ(ChangedFrom(kWhite, 2, 2), (PointSet{{0, 0}}));

    // Soft square: raised to r = 1 it covers 3 x 3; only the centre has strength
    // min(1, 1) x 100 / 1 / divider 2 = 50, so white goes to 255 - 127 = 128.
    MakeImage(5, 5, kWhite);
    UseBrush(kToolBrush, 1, 1);
    DownDab(2, 2);
    EXPECT_EQ(ChangedFrom(kWhite, 2, 2), (PointSet{{0, 0}}));
    EXPECT_EQ(WorkAt(2, 2), Grey(128));

    MakeImage(5, 5, Grey(5));
    DownDab(2, 2);
    PointSet square;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) square.insert({dx, dy});
    EXPECT_EQ(ChangedFrom(Grey(5), 2, 2), square);
    EXPECT_EQ(WorkAt(1, 1), kBlack);
}

TEST_F(BrushTest, DabPartlyOutsideChangesOnlyPixelsInside) {
    MakeImage(4, 3, kWhite);
    UseBrush(kToolPen, 1, 5);
    DownDab(0, 0);
    EXPECT_EQ(ChangedFrom(kWhite), (PointSet{{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}, {0, 2}, {1, 2}, {2, 2}}));

    MakeImage(4, 3, kWhite);
    DownDab(4, 3);  // centre just beyond the bottom-right corner
    EXPECT_EQ(ChangedFrom(kWhite), (PointSet{{2, 1}, {3, 1}, {2, 2}, {3, 2}}));

    MakeImage(4, 3, kWhite);
    UseBrush(kToolPen, 3, 5);
    DownDab(-1, 2);  // the diagonal's upper rows lean into the image
    EXPECT_EQ(ChangedFrom(kWhite), (PointSet{{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {0, 2}}));

    // The diagonal's top row reaches one column further than its radius.
    MakeImage(4, 3, kWhite);
    DownDab(-3, 2);
    EXPECT_EQ(ChangedFrom(kWhite), (PointSet{{0, 0}}));

    MakeImage(4, 3, kWhite);
    UseBrush(kToolBrush, 0, 21);
    DownDab(-12, 1);
    DownDab(1, 20);
    DownDab(INT_MAX, INT_MIN);
    EXPECT_TRUE(ChangedFrom(kWhite).empty());
}

TEST_F(BrushTest, SprayDotsFromAResetGenerator) {
    // From the starting noise state a 7-pixel spray puts its ten dots at these offsets
    // (four of them on (0, 3)); every dot lies within the round footprint.
    MakeImage(15, 15, kWhite);
    UseBrush(kToolPen, 7, 7);
    DownDab(7, 7);
    const PointSet expected{{0, 3}, {-1, -1}, {2, -1}, {2, 2}, {0, 2}, {-1, 0}, {3, 0}};
    EXPECT_EQ(ChangedFrom(kWhite, 7, 7), expected);
    EXPECT_EQ(WorkAt(7, 10), kBlack);
    EXPECT_EQ(PixelOf(Undo(), 7, 10), kWhite);  // the spray paints the work copy only

    // Ten dots use twenty numbers: the generator continues right after them.
    const std::uint32_t after = FilterState.NoiseState;
    ResetNoise();
    for (int i = 0; i < 20; ++i) NextNoise();
    EXPECT_EQ(FilterState.NoiseState, after);

    // The same dab from a fresh generator gives the same picture.
    MakeImage(15, 15, kWhite);
    ResetNoise();
    DownDab(7, 7);
    EXPECT_EQ(ChangedFrom(kWhite, 7, 7), expected);
}

TEST_F(BrushTest, SprayDotCountIsSizeTimes157) {
    MakeImage(40, 40, kWhite);
    const struct {
        int size;
        int dots;
    } cases[] = {{1, 1}, {2, 3}, {3, 4}, {7, 10}, {17, 26}, {21, 32}, {0, 1}, {255, 32}};
    for (const auto& c : cases) {
        ResetNoise();
        UseBrush(kToolPen, 7, c.size);
        DownDab(20, 20);
        const std::uint32_t after = FilterState.NoiseState;
        ResetNoise();
        for (int i = 0; i < 2 * c.dots; ++i) NextNoise();
        EXPECT_EQ(FilterState.NoiseState, after) << "size " << c.size;
    }
}

TEST_F(BrushTest, SprayStaysInsideTheRadiusAndTheImage) {
    const int size = 17, r = 8;
    MakeImage(41, 41, kWhite);
    UseBrush(kToolPen, 7, size);
    for (int i = 0; i < 200; ++i) DownDab(20, 20);
    for (const Point& p : ChangedFrom(kWhite, 20, 20)) {
        const int dy = p.second;
        ASSERT_LE(dy, r);
        ASSERT_GE(dy, -r - 1);  // only the largest number reaches one row beyond
        const int index = r * r - dy * dy;
        ASSERT_LE(std::abs(p.first), index < 0 ? 0 : RoundHalfWidth[index]);
    }
    // Dots near a corner are skipped outside the bitmap and still use their numbers.
    MakeImage(3, 3, kWhite);
    ResetNoise();
    DownDab(0, 0);
    const std::uint32_t after = FilterState.NoiseState;
    ResetNoise();
    for (int i = 0; i < 2 * 26; ++i) NextNoise();
    EXPECT_EQ(FilterState.NoiseState, after);
}

TEST_F(BrushTest, AnySizeFromTheSettingsIsSafe) {
    // Every shape and mode, with sizes the picker never gives, at the corners of a small image.
    const std::uint32_t sizes[] = {0, 1, 2, 21, 22, 255, 100000, UINT32_MAX};
    const int tools[] = {kToolPen, kToolBrush, kToolEraser, kToolAirbrush, kToolSpraycan, kToolLine};
    for (std::uint32_t size : sizes)
        for (int tool : tools)
            for (int shape = 0; shape <= 8; ++shape) {
                MakeImage(5, 4, Grey(100));
                UseBrush(tool, shape, 0);
                PaintSettings.Size = size;
                Start();
                ASSERT_FALSE(std::isnan(stroke.stamp.step) || stroke.stamp.step > 1.0f);  // never 1 / 0
                for (const Point& p : {Point{0, 0}, Point{4, 0}, Point{0, 3}, Point{4, 3}, Point{2, 2}}) DabAt(p.first, p.second);
                Segment(-30, -30, 35, 34);
            }

    // Oversized brushes paint exactly as the largest one, size 0 exactly as size 1.
    const auto paint = [this](std::uint32_t size, int shape) {
        MakeImage(30, 30, kWhite);
        UseBrush(kToolBrush, shape, 0, 60);
        PaintSettings.Size = size;
        Start();
        Segment(3, 4, 25, 20);
        return Snapshot();
    };
    EXPECT_EQ(paint(100000, 0), paint(21, 0));
    EXPECT_EQ(paint(255, 2), paint(21, 2));
    EXPECT_EQ(paint(0, 1), paint(1, 1));
}
