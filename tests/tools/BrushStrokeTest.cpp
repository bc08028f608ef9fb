// The dab arithmetic, the buffers a dab reads, and strokes made of dabs.
#include <cmath>

#include "support/BrushFixture.h"

TEST_F(BrushTest, FullOpacityPaintsWith254) {
    // alpha = trunc(100 x 2.55) = 254, inverse 1: 0 x 1 / 256 + 255 x 254 / 256 = 253.
    MakeImage(3, 3, kBlack);
    UseBrush(kToolPen, 0, 1, 100, kWhite);
    DownDab(1, 1);
    EXPECT_EQ(WorkAt(1, 1), Grey(253));

    // The eraser paints with the background colour, blended with alpha 255 whatever the
    // opacity: 255 x 255 / 256 = 254. The colours stay where the user put them.
    for (int opacity : {100, 50, 0}) {
        MakeImage(3, 3, kBlack);
        UseBrush(kToolEraser, 0, 1, opacity, Grey(7));
        PaintSettings.BColor = kWhite;
        DownDab(1, 1);
        EXPECT_EQ(WorkAt(1, 1), Grey(254)) << opacity;
        EXPECT_EQ(PaintSettings.FColor, Grey(7));
        EXPECT_EQ(PaintSettings.BColor, kWhite);
    }
}

TEST_F(BrushTest, HalfOpacityHardNumbers) {
    // alpha = trunc(50 x 2.55) = 127, inverse 128, per channel in buffer order.
    MakeImage(3, 3, kWhite);
    UseBrush(kToolPen, 0, 1, 50, raster::MakeColour(255, 0, 0));
    DownDab(1, 1);
    // red 255 x 128 / 256 + 255 x 127 / 256 = 127 + 126; green and blue 127 + 0.
    EXPECT_EQ(WorkAt(1, 1), raster::MakeColour(253, 127, 127));

    MakeImage(3, 3, raster::MakeColour(10, 200, 90));
    UseBrush(kToolPen, 0, 1, 50, raster::MakeColour(0, 100, 255));
    DownDab(1, 1);
    // 10 x 128 / 256 = 5; 200 x 128 / 256 + 100 x 127 / 256 = 100 + 49; 45 + 126.
    EXPECT_EQ(WorkAt(1, 1), raster::MakeColour(5, 149, 171));
}

TEST_F(BrushTest, HalfOpacitySoftNumbers) {
    // Brush, round, size 5 (r = 2, R2 = 4), 50 %: divider 10 / 5 + 1 = 3.
    // Centre f = 2 x 2 x 100 / 4 = 100, strength 33, k = 1650: 255 - 255 x 1650 / 10000 = 213.
    // Next to it f = 1 x 2 x 100 / 4 = 50, strength 16, k = 800: 255 - 20 = 235.
    // Diagonal f = 25, strength 8, k = 400: 255 - 10 = 245. Rim pixels have f = 0.
    MakeImage(9, 9, kWhite);
    UseBrush(kToolBrush, 0, 5, 50);
    DownDab(4, 4);
    EXPECT_EQ(WorkAt(4, 4), Grey(213));
    EXPECT_EQ(WorkAt(5, 4), Grey(235));
    EXPECT_EQ(WorkAt(4, 3), Grey(235));
    EXPECT_EQ(WorkAt(3, 3), Grey(245));
    EXPECT_EQ(WorkAt(6, 4), kWhite);
    EXPECT_EQ(WorkAt(4, 2), kWhite);
    // The brush accumulates: a second dab starts from 213: 213 - 213 x 1650 / 10000 = 178.
    DabAt(4, 4);
    EXPECT_EQ(WorkAt(4, 4), Grey(178));
}

TEST_F(BrushTest, SoftPaintSnapsChannelsWithinFive) {
    // 10 %: divider 11, centre strength 100 / 11 = 9, k = 90; far channels hardly move.
    MakeImage(9, 9, raster::MakeColour(205, 44, 5));
    UseBrush(kToolBrush, 0, 5, 10, raster::MakeColour(200, 50, 0));
    DownDab(4, 4);
    // Red 5 away and blue 5 away snap; green 6 away moves by 6 x 90 / 10000 = 0.
    EXPECT_EQ(WorkAt(4, 4), raster::MakeColour(200, 44, 0));
    // Snapping reaches the rim too, where the strength is 0.
    EXPECT_EQ(WorkAt(6, 4), raster::MakeColour(200, 44, 0));
    EXPECT_EQ(WorkAt(7, 4), raster::MakeColour(205, 44, 5));
    // At the weakest opacity nothing moves but the snapping: every footprint pixel within
    // 5 of the colour takes it, every other pixel keeps its value.
    const PointSet footprint{{0, -2}, {-1, -1}, {0, -1}, {1, -1}, {-2, 0}, {-1, 0}, {0, 0},
                             {1, 0},  {2, 0},   {-1, 1}, {0, 1},  {1, 1},  {0, 2}};
    for (int v = 0; v < 256; ++v) {
        MakeImage(7, 7, Grey(v));
        UseBrush(kToolBrush, 2, 5, 1, Grey(128));
        DownDab(3, 3);
        const raster::Colour inside = std::abs(v - 128) < 6 ? Grey(128) : Grey(v);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 7; ++x)
                ASSERT_EQ(WorkAt(x, y), footprint.count({x - 3, y - 3}) ? inside : Grey(v)) << v << " " << x << "," << y;
    }
}

TEST_F(BrushTest, SoftDiagonalNeverPushesAwayFromTheColour) {
    // The ends of the diagonal's rows lie beyond the radius; they must not get lighter
    // when painting black.
    for (int shape : {3, 4}) {
        MakeImage(9, 9, Grey(128));
        UseBrush(kToolBrush, shape, 3);
        DownDab(4, 4);
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 9; ++x) ASSERT_LE(raster::RedOf(WorkAt(x, y)), 128) << shape << " " << x << "," << y;
        // Only the centre has strength: min(1, 1) x 100 / 1 / 2 = 50: 128 - 64.
        EXPECT_EQ(ChangedFrom(Grey(128), 4, 4), (PointSet{{0, 0}}));
        EXPECT_EQ(WorkAt(4, 4), Grey(64));
    }
}

TEST_F(BrushTest, AirbrushPullsByOneOverSize) {
    // Size 5: step 0.2, strength 20, k = 2000 over the whole footprint: 255 - 51.
    MakeImage(9, 9, kWhite);
    UseBrush(kToolAirbrush, 0, 5);
    DownDab(4, 4);
    EXPECT_FLOAT_EQ(CanvasState.AirbrushStep, 0.2f);
    EXPECT_EQ(CanvasState.StampSoft, 0);
    EXPECT_EQ(ChangedFrom(kWhite, 4, 4).size(), 13u);
    EXPECT_EQ(WorkAt(4, 4), Grey(204));
    EXPECT_EQ(WorkAt(6, 4), Grey(204));
    // Repeated dabs (the timer) accumulate: 204 - 204 x 2000 / 10000 = 164.
    DabAt(4, 4);
    EXPECT_EQ(WorkAt(4, 4), Grey(164));
    EXPECT_EQ(PixelOf(Undo(), 4, 4), kWhite);
}

TEST_F(BrushTest, PenReadsTheUndoCopy) {
    // The work copy is ignored as a source: undo black, work white, white paint at 50 %
    // gives 0 x 128 / 256 + 255 x 127 / 256 = 126.
    MakeImage(3, 3, kWhite);
    FillBuffer(Undo(), kBlack);
    UseBrush(kToolPen, 0, 1, 50, kWhite);
    DownDab(1, 1);
    EXPECT_EQ(WorkAt(1, 1), Grey(126));
    EXPECT_EQ(PixelOf(Undo(), 1, 1), kBlack);
}

TEST_F(BrushTest, PenStrokeCrossingItselfDoesNotDarken) {
    MakeImage(11, 11, kWhite);
    UseBrush(kToolPen, 0, 3, 50);
    Start();
    DabAt(1, 5);
    Segment(1, 5, 5, 5);
    Segment(5, 5, 9, 5);  // the joint (5, 5) is dabbed twice
    Segment(9, 5, 5, 1);
    Segment(5, 1, 5, 9);  // crosses the first part
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 11; ++x) {
            const raster::Colour c = WorkAt(x, y);
            ASSERT_TRUE(c == kWhite || c == Grey(127)) << x << "," << y;
        }
    EXPECT_EQ(WorkAt(5, 5), Grey(127));
}

TEST_F(BrushTest, BrushStrokeAccumulatesAtTheJoint) {
    MakeImage(11, 11, kWhite);
    UseBrush(kToolBrush, 1, 1, 100);
    Start();
    // Square, soft, r raised to 1: centre strength 50, k = 5000 per dab.
    Segment(5, 5, 5, 5);
    EXPECT_EQ(WorkAt(5, 5), Grey(128));
    Segment(5, 5, 5, 5);
    EXPECT_EQ(WorkAt(5, 5), Grey(64));  // 128 - 128 x 5000 / 10000
}

TEST_F(BrushTest, SoftRoundReadsTheWorkCopyForEveryTool) {
    // Shape 2 makes even the Pen accumulate: 255 -> 192 -> 144.
    MakeImage(7, 7, kWhite);
    UseBrush(kToolPen, 2, 3);
    DownDab(3, 3);
    EXPECT_EQ(CanvasState.StampSoft, 1);
    EXPECT_EQ(WorkAt(3, 3), Grey(192));
    DabAt(3, 3);
    EXPECT_EQ(WorkAt(3, 3), Grey(144));
}

TEST_F(BrushTest, SpraycanWithABrushShapeChangesNothingAfterTheFirstDab) {
    MakeImage(9, 9, kWhite);
    UseBrush(kToolSpraycan, 0, 5, 50);
    DownDab(4, 4);
    const std::vector<raster::Colour> first = Snapshot();
    EXPECT_EQ(WorkAt(4, 4), Grey(127));
    for (int i = 0; i < 5; ++i) DabAt(4, 4);  // timer ticks at a resting point
    EXPECT_EQ(Snapshot(), first);
}

TEST_F(BrushTest, SprayArithmetic) {
    // Size 2 from a fresh generator: dots at (0, 1), (0, 1), (0, 0).
    MakeImage(5, 5, kWhite);
    UseBrush(kToolSpraycan, 7, 2, 50);
    DownDab(2, 2);
    // Hard, alpha 127: 255 x 128 / 256 = 127, twice: 127 x 128 / 256 = 63.
    EXPECT_EQ(WorkAt(2, 3), Grey(63));
    EXPECT_EQ(WorkAt(2, 2), Grey(127));
    EXPECT_EQ(ChangedFrom(kWhite, 2, 2), (PointSet{{0, 0}, {0, 1}}));

    // The airbrush with the spray shape sprays soft:
    // 255 + 2 x (50 x -255 / 100) / 2 = 128, then 128 + 2 x (50 x -128 / 100) / 2 = 64.
    MakeImage(5, 5, kWhite);
    ResetNoise();
    UseBrush(kToolAirbrush, 7, 2, 50);
    Start();
    EXPECT_EQ(stroke.stamp.soft, 1);
    Segment(2, 2, 2, 2);
    EXPECT_EQ(WorkAt(2, 3), Grey(64));
    EXPECT_EQ(WorkAt(2, 2), Grey(128));

    // Size 3: two dots on (0, 1), two on (0, 0). The opacity share is truncated before it
    // is doubled: 255 + 2 x (-127) / 3 = 171, then 171 + 2 x (-85) / 3 = 115.
    MakeImage(5, 5, kWhite);
    ResetNoise();
    PaintSettings.Size = 3;
    Start();
    Segment(2, 2, 2, 2);
    EXPECT_EQ(WorkAt(2, 3), Grey(115));
    EXPECT_EQ(WorkAt(2, 2), Grey(115));
    EXPECT_EQ(ChangedFrom(kWhite, 2, 2), (PointSet{{0, 0}, {0, 1}}));
}

TEST_F(BrushTest, SegmentsDabOnePixelApart) {
    const struct {
        int x1, y1, x2, y2;
        PointSet dabs;
    } cases[] = {
        {0, 0, 3, 1, {{0, 0}, {1, 0}, {2, 1}, {3, 1}}},
        {3, 1, 0, 0, {{3, 1}, {2, 1}, {1, 0}, {0, 0}}},
        {0, 0, 1, 3, {{0, 0}, {0, 1}, {1, 2}, {1, 3}}},
        {1, 3, 0, 0, {{1, 3}, {1, 2}, {0, 1}, {0, 0}}},
        {0, 0, 3, 3, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}},
        {0, 0, 2, 1, {{0, 0}, {1, 1}, {2, 1}}},  // a zero error steps sideways
        {0, 0, 1, 2, {{0, 0}, {1, 1}, {1, 2}}},
        {4, 0, 0, 0, {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}}},
        {2, 4, 2, 1, {{2, 1}, {2, 2}, {2, 3}, {2, 4}}},
        {2, 2, 2, 2, {{2, 2}}},
    };
    for (const auto& c : cases) {
        MakeImage(6, 6, kWhite);
        UseBrush(kToolPen, 0, 1);
        Start();
        Segment(c.x1, c.y1, c.x2, c.y2);
        EXPECT_EQ(ChangedFrom(kWhite), c.dabs) << c.x1 << "," << c.y1 << " -> " << c.x2 << "," << c.y2;
    }
}

TEST_F(BrushTest, SegmentDabsEachPointOnce) {
    // The airbrush accumulates, so a pixel's value counts its dabs. Size 1 at 50 %:
    // strength 100, k = 5000, one dab takes white to 128, a second would give 64.
    MakeImage(8, 3, kWhite);
    UseBrush(kToolAirbrush, 0, 1, 50);
    Start();
    Segment(0, 1, 7, 1);
    for (int x = 0; x < 8; ++x) EXPECT_EQ(WorkAt(x, 1), Grey(128)) << x;
}

TEST_F(BrushTest, StampModeByTool) {
    UseBrush(kToolAirbrush, 0, 4);
    StartStampMode(kToolAirbrush);
    EXPECT_EQ(CanvasState.StampSoft, 0);
    EXPECT_FLOAT_EQ(CanvasState.AirbrushStep, 0.25f);
    PaintSettings.Brush = 7;
    StartStampMode(kToolAirbrush);
    EXPECT_EQ(CanvasState.StampSoft, 1);
    // Line and spray can keep the mode they find.
    PaintSettings.Brush = 0;
    StartStampMode(kToolSpraycan);
    StartStampMode(kToolLine);
    EXPECT_EQ(CanvasState.StampSoft, 1);
    EXPECT_FLOAT_EQ(CanvasState.AirbrushStep, 0.25f);
    StartStampMode(kToolPen);
    EXPECT_EQ(CanvasState.StampSoft, 0);
    EXPECT_EQ(CanvasState.AirbrushStep, 0.0f);
    StartStampMode(kToolBrush);
    EXPECT_EQ(CanvasState.StampSoft, 1);
    PaintSettings.Brush = 2;
    StartStampMode(kToolEraser);
    EXPECT_EQ(CanvasState.StampSoft, 1);
    // Other tools leave it alone.
    ResetStampMode();
    StartStampMode(kToolFloodFill);
    EXPECT_EQ(CanvasState.StampSoft, 0);
    // A stored size of 0 still gives a defined step.
    PaintSettings.Size = 0;
    StartStampMode(kToolAirbrush);
    EXPECT_EQ(CanvasState.AirbrushStep, 1.0f);

    // The line's first dab keeps what an earlier airbrush stroke left; its rubber band is hard
    // and leaves that for the strokes after it.
    MakeImage(3, 3, kWhite);
    UseBrush(kToolLine, 0, 1, 100);
    CanvasState.StampSoft = 1;
    CanvasState.AirbrushStep = 0.5f;
    Start();
    EXPECT_EQ(stroke.stamp.soft, 1);
    EXPECT_FLOAT_EQ(stroke.stamp.step, 0.5f);
    stroke.stamp = ApplyStampRule(StampRule::Hard);
    Segment(1, 1, 1, 1);
    EXPECT_EQ(CanvasState.StampSoft, 0);
    EXPECT_EQ(CanvasState.AirbrushStep, 0.0f);
    EXPECT_EQ(WorkAt(1, 1), kBlack);
}

TEST_F(BrushTest, MissingBuffersPaintNothing) {
    MakeImage(3, 3, kWhite);
    UseBrush(kToolPen, 0, 3);
    EXPECT_EQ(BrushDabWith(InkOf(kToolPen), 0, nullptr, Work(), 1, 1, 0.0f, 0.0f), 0);
    EXPECT_EQ(BrushDabWith(InkOf(kToolPen), 0, Undo(), nullptr, 1, 1, 0.0f, 0.0f), 0);
    EXPECT_EQ(SprayDabWith(InkOf(kToolPen), nullptr, 1, 1, 0), 0);
    EXPECT_EQ(FilterState.NoiseState, 1u);  // no numbers drawn for a missing bitmap
    EXPECT_EQ(BrushDabWith(InkOf(kToolPen), 0, Undo(), Work(), 1, 1, 0.0f, 0.0f), 1);

    // An 8-bit mask is no paint surface.
    raster::BitmapInfo info;
    std::unique_ptr<PixelBuffer> mask = CreatePixelBuffer(3, 3, 8, info, nullptr);
    ASSERT_NE(mask, nullptr);
    EXPECT_EQ(BrushDabWith(InkOf(kToolPen), 0, mask.get(), mask.get(), 1, 1, 0.0f, 0.0f), 0);
    EXPECT_EQ(SprayDabWith(InkOf(kToolPen), mask.get(), 1, 1, 0), 0);

    // No open image: the dab does nothing.
    ImageState.CurrentImage = 0;
    DabAt(1, 1);
    Segment(0, 0, 2, 2);
    ImageState.CurrentImage = 1;
    EXPECT_EQ(ChangedFrom(kWhite).size(), 5u);

    // A work copy of a different size than the undo copy is clipped to both.
    std::unique_ptr<PixelBuffer> small = CreatePixelBuffer(2, 2, 24, info, nullptr);
    ASSERT_NE(small, nullptr);
    FillBuffer(small.get(), kWhite);
    EXPECT_EQ(BrushDabWith(InkOf(kToolPen), 1, Undo(), small.get(), 1, 1, 0.0f, 0.0f), 1);
    EXPECT_EQ(PixelOf(small.get(), 1, 1), kBlack);
}
