// The retouch brushes' dabs on small documents, with exact pixel values.
#include <algorithm>
#include <array>
#include <random>

#include "support/BrushFixture.h"
#include "filters/Median.h"
#include "tools/RetouchDabs.h"

namespace {

class RetouchTest : public BrushTest {
protected:
    PixelBuffer* Work() { return ImageBoxTable[1].workBitmap; }
    PixelBuffer* Undo() { return ImageBoxTable[1].undoBitmap; }

    void Use(int tool, int shape, int size) {
        PaintSettings.Tool = static_cast<std::int8_t>(tool);
        PaintSettings.Brush = static_cast<std::uint8_t>(shape);
        PaintSettings.Size = static_cast<std::uint8_t>(size);
    }

    // The pixels of the work buffer that differ from colour c.
    PointSet Changed(raster::Colour c) {
        PointSet points;
        for (int y = 0; y < Work()->Height(); ++y)
            for (int x = 0; x < Work()->Width(); ++x)
                if (PixelOf(Work(), x, y) != c) points.insert({x, y});
        return points;
    }
};

TEST_F(RetouchTest, MedianOf9IsTheFifthSmallestForEveryInputTried) {
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> value(0, 6);  // few values: many ties
    for (int round = 0; round < 200000; ++round) {
        std::array<int, 9> a;
        for (int& v : a) v = round % 2 ? value(random) : static_cast<int>(random() % 256);
        std::array<int, 9> sorted = a;
        std::sort(sorted.begin(), sorted.end());
        ASSERT_EQ(MedianOf9(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8]), sorted[4]);
    }
}

TEST_F(RetouchTest, LighterAddsEightAndStopsAtWhite) {
    MakeImage(9, 9, Grey(100));
    SetPixelOf(Work(), 4, 4, raster::MakeColour(250, 247, 255));
    SetPixelOf(Work(), 5, 4, kWhite);
    Use(kToolLighter, 0, 5);
    ASSERT_EQ(RetouchDab(0, Undo(), Work(), 4, 4), 1);
    EXPECT_EQ(PixelOf(Work(), 4, 4), raster::MakeColour(255, 255, 255));
    EXPECT_EQ(PixelOf(Work(), 5, 4), kWhite);
    EXPECT_EQ(PixelOf(Work(), 4, 3), Grey(108));
    EXPECT_EQ(PixelOf(Work(), 0, 0), Grey(100));  // outside the radius-2 circle
}

TEST_F(RetouchTest, DarkerTakesEightAndStopsAtBlack) {
    MakeImage(5, 5, Grey(5));
    SetPixelOf(Work(), 2, 2, Grey(40));
    Use(kToolDarker, 1, 3);
    RetouchDab(1, Undo(), Work(), 2, 2);
    EXPECT_EQ(PixelOf(Work(), 2, 2), Grey(32));
    EXPECT_EQ(PixelOf(Work(), 1, 1), kBlack);
    EXPECT_EQ(PixelOf(Work(), 0, 0), Grey(5));
}

TEST_F(RetouchTest, SoftRoundFallsOffAndRadiusZeroGetsFullStrength) {
    MakeImage(9, 9, Grey(100));
    Use(kToolLighter, 2, 8);  // r = 4
    RetouchDab(2, Undo(), Work(), 4, 4);
    EXPECT_EQ(PixelOf(Work(), 4, 4), Grey(108));  // s = 1
    EXPECT_EQ(PixelOf(Work(), 6, 4), Grey(104));  // s = 2 * 4 / 16 = 0.5
    EXPECT_EQ(PixelOf(Work(), 8, 4), Grey(100));  // s = 0 at the square's edge
    // Size 1: radius 0, one pixel, and no 0 / 0.
    MakeImage(3, 3, Grey(100));
    Use(kToolLighter, 2, 1);
    RetouchDab(2, Undo(), Work(), 1, 1);
    EXPECT_EQ(PixelOf(Work(), 1, 1), Grey(108));
    EXPECT_EQ(Changed(Grey(100)), (PointSet{{1, 1}}));
}

TEST_F(RetouchTest, RedEyeMovesRedAQuarterTowardTheSmallerOfGreenAndBlue) {
    MakeImage(3, 3, raster::MakeColour(200, 40, 80));
    SetPixelOf(Work(), 0, 0, raster::MakeColour(10, 100, 90));
    Use(kToolRedEyeReduction, 1, 3);
    RetouchDab(1, Undo(), Work(), 1, 1);
    EXPECT_EQ(PixelOf(Work(), 1, 1), raster::MakeColour(160, 40, 80));  // 200 - 160 / 4
    EXPECT_EQ(PixelOf(Work(), 0, 0), raster::MakeColour(30, 100, 90));  // raised toward 90
}

TEST_F(RetouchTest, TintMovesOneSizeOfTheWayAndLeavesTheSameColour) {
    MakeImage(5, 5, Grey(100));
    SetPixelOf(Work(), 1, 2, raster::MakeColour(200, 0, 100));
    PaintSettings.FColor = raster::MakeColour(200, 0, 100);
    Use(kToolTint, 1, 4);
    RetouchDab(1, Undo(), Work(), 2, 2);
    EXPECT_EQ(PixelOf(Work(), 2, 2), raster::MakeColour(125, 75, 100));
    EXPECT_EQ(PixelOf(Work(), 1, 2), raster::MakeColour(200, 0, 100));
    EXPECT_EQ(RetouchState.TintColour[0], 100);  // blue first
    EXPECT_EQ(RetouchState.TintColour[2], 200);
}

TEST_F(RetouchTest, HealingTakesTheSnapshotMedianAndNeverTheOuterRing) {
    MakeImage(6, 6, Grey(50));
    SetPixelOf(Undo(), 2, 2, kWhite);  // a lone speck in the snapshot
    SetPixelOf(Undo(), 0, 0, kWhite);
    FillBuffer(Work(), Grey(7));
    Use(kToolHealingBrush, 1, 21);
    RetouchDab(1, Undo(), Work(), 2, 2);
    RetouchDab(1, Undo(), Work(), 2, 2);  // a second dab changes nothing more
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) {
            const bool inner = x >= 1 && x <= 4 && y >= 1 && y <= 4;
            EXPECT_EQ(PixelOf(Work(), x, y), inner ? Grey(50) : Grey(7)) << x << "," << y;
        }
}

TEST_F(RetouchTest, BlurSizeOneReplacesByTheKernelOverTheRaisedFootprint) {
    MakeImage(5, 5, kBlack);
    SetPixelOf(Work(), 2, 2, Grey(250));
    Use(kToolBlur, 0, 1);
    KernelBrushDab(0, Work(), Work(), 2, 2, kBlurWeights, kBlurDivisor);
    // Round radius 1: the centre and the pixels above and below, in place from the top.
    EXPECT_EQ(PixelOf(Work(), 2, 1), Grey(50));
    EXPECT_EQ(PixelOf(Work(), 2, 2), Grey(60));  // (50 + 250) / 5
    EXPECT_EQ(PixelOf(Work(), 2, 3), Grey(12));  // 60 / 5
    EXPECT_EQ(Changed(kBlack), (PointSet{{2, 1}, {2, 2}, {2, 3}}));
}

TEST_F(RetouchTest, BlurAtTheCornerRepeatsTheEdgeAndLargeBrushesMoveLittle) {
    MakeImage(4, 4, kBlack);
    SetPixelOf(Work(), 3, 3, Grey(100));
    Use(kToolBlur, 1, 1);
    KernelBrushDab(1, Work(), Work(), 3, 3, kBlurWeights, kBlurDivisor);
    // In place from the top: (3,2) and (2,3) become 20 first; (3,3) = (20 + 20 + 100 + 100 + 100) / 5,
    // its right and lower neighbours being itself again.
    EXPECT_EQ(PixelOf(Work(), 3, 2), Grey(20));
    EXPECT_EQ(PixelOf(Work(), 3, 3), Grey(68));
    MakeImage(4, 4, kBlack);
    SetPixelOf(Work(), 2, 2, Grey(200));
    Use(kToolSharpen, 1, 4);  // 1/16 of the way
    KernelBrushDab(1, Work(), Work(), 2, 2, kSharpenWeights, kSharpenDivisor);
    EXPECT_EQ(PixelOf(Work(), 2, 2), Grey(212));  // filtered 3200 / 8 = 400; 200 + 200 / 16, truncated
    EXPECT_EQ(PixelOf(Work(), 1, 2), kBlack);     // -25 moves to -1.56, clamped
}

TEST_F(RetouchTest, SmudgeDragsAQuarterAndSkipsSourcesOutside) {
    MakeImage(8, 3, kBlack);
    SetPixelOf(Work(), 0, 1, Grey(200));
    Use(kToolSmudge, 5, 3);  // a bar three pixels wide
    SmudgeDab(kSmudgeAnchorShape, nullptr, 0, 1);
    SmudgeDab(5, Work(), 0, 1);  // on the anchor: nothing changes
    EXPECT_EQ(PixelOf(Work(), 0, 1), Grey(200));
    SmudgeDab(5, Work(), 1, 1);
    // (0,1) takes from (-1,1): outside, left alone; (1,1) from (0,1); (2,1) from the changed (1,1).
    EXPECT_EQ(PixelOf(Work(), 0, 1), Grey(200));
    EXPECT_EQ(PixelOf(Work(), 1, 1), Grey(50));
    EXPECT_EQ(PixelOf(Work(), 2, 1), Grey(12));  // from (1,1), already 50
    EXPECT_EQ(RetouchState.SmudgeAnchor[0], 1);
}

TEST_F(RetouchTest, ShapesFiveAndSixAreSingleLines) {
    MakeImage(11, 11, Grey(100));
    Use(kToolLighter, 5, 7);
    RetouchDab(5, Undo(), Work(), 5, 5);
    EXPECT_EQ(Changed(Grey(100)).size(), 7u);
    MakeImage(11, 11, Grey(100));
    Use(kToolLighter, 6, 7);
    RetouchDab(6, Undo(), Work(), 5, 5);
    PointSet column;
    for (int y = 2; y <= 8; ++y) column.insert({5, y});
    EXPECT_EQ(Changed(Grey(100)), column);
}

TEST_F(RetouchTest, EveryShapeAndSizeStaysInsideTheImageAndMissingBuffersFail) {
    MakeImage(6, 5, Grey(128));
    for (int tool = kToolBlur; tool <= kToolHealingBrush; ++tool)
        for (int shape = 0; shape <= 7; ++shape)
            for (int size : {0, 1, 2, 17, 21, 255}) {
                Use(tool, shape, size);
                for (int x : {-30, -1, 0, 3, 5, 6, 40})
                    for (int y : {-30, 0, 4, 5, 40}) {
                        KernelBrushDab(shape, Work(), Work(), x, y, kSharpenWeights, kSharpenDivisor);
                        SmudgeDab(shape, Work(), x, y);
                        RetouchDab(shape, Undo(), Work(), x, y);
                    }
            }
    EXPECT_EQ(KernelBrushDab(0, nullptr, Work(), 1, 1, kBlurWeights, kBlurDivisor), 0);
    EXPECT_EQ(SmudgeDab(0, nullptr, 1, 1), 0);
    EXPECT_EQ(SmudgeDab(kSmudgeAnchorShape, nullptr, 1, 1), 1);
    EXPECT_EQ(RetouchDab(0, nullptr, Work(), 1, 1), 0);
}

TEST_F(RetouchTest, SharpenSizeOneReplacesByTheKernelAndClamps) {
    // Round radius 1: the centre and the pixels above and below, each replaced by the full
    // kernel result, in place from the top.
    struct Case {
        int around, centre;
        int above, middle, below;
    };
    for (const Case& c : {Case{100, 120, 97, 140, 95}, Case{0, 250, 0, 255, 0}}) {
        MakeImage(5, 5, Grey(c.around));
        SetPixelOf(Work(), 2, 2, Grey(c.centre));
        Use(kToolSharpen, 0, 1);
        KernelBrushDab(0, Work(), Work(), 2, 2, kSharpenWeights, kSharpenDivisor);
        EXPECT_EQ(PixelOf(Work(), 2, 1), Grey(c.above));   // (1600 - 820) / 8; -250 / 8 clamped
        EXPECT_EQ(PixelOf(Work(), 2, 2), Grey(c.middle));  // (1920 - 797) / 8; 4000 / 8 clamped
        EXPECT_EQ(PixelOf(Work(), 2, 3), Grey(c.below));   // (1600 - 840) / 8
        EXPECT_EQ(PixelOf(Work(), 1, 2), Grey(c.around));
    }
}

}  // namespace
