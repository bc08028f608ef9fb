#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>

#include "filters/FilterEngine.h"
#include "image/ImageSlots.h"
#include "image/PaintSettings.h"
#include "platform/FilterPump.h"
#include "shell/ProgramState.h"
#include "support/FilterTestSupport.h"

namespace {

std::uint32_t ReferenceSqrt(std::uint32_t n) {
    std::uint64_t r = static_cast<std::uint64_t>(std::sqrt(static_cast<double>(n)));
    while (r * r > n) --r;
    while ((r + 1) * (r + 1) <= n) ++r;
    return static_cast<std::uint32_t>(r);
}

TEST(IntegerHelpers, SineAtKnownAngles) {
    EXPECT_EQ(SineQ(0), 0);
    EXPECT_EQ(SineQ(360), 32766);
    EXPECT_EQ(SineQ(720), 0);
    EXPECT_EQ(SineQ(-360), -32766);
    EXPECT_EQ(SineQ(1800), SineQ(360));
    EXPECT_EQ(SineQ(1080), -32766);
    EXPECT_EQ(SineQ(-1), -SineQ(1));
    EXPECT_EQ(SineQ(1439), -SineQ(1));
    EXPECT_EQ(SineQ(-1440 * 3 + 100), SineQ(100));
    // 30 degrees: sin is one half, the table truncates 16383.5.
    EXPECT_EQ(SineQ(120), 16383);
    // The cosine of 60 degrees through the shifted sine.
    EXPECT_EQ(SineQ(240 + 360), SineQ(120));
}

TEST(IntegerHelpers, SineTableIsARisingQuarterWave) {
    EXPECT_EQ(SineTable[0], 0);
    EXPECT_EQ(SineTable[360], 32766);
    for (int i = 1; i <= 360; ++i) EXPECT_GE(SineTable[i], SineTable[i - 1]) << i;
    for (int a = -1440; a <= 2880; ++a) {
        const int s = SineQ(a);
        EXPECT_LE(std::abs(s), 32766);
        EXPECT_NEAR(s, std::sin(a * M_PI / 720.0) * 32767.0, 2.0) << a;
    }
}

TEST(IntegerHelpers, ArcTangent) {
    EXPECT_EQ(AtanTable[0], 0);
    EXPECT_EQ(AtanTable[1], 4);
    EXPECT_EQ(AtanTable[256], 804);
    EXPECT_EQ(Atan2Fixed(0, 0), 0);
    EXPECT_EQ(Atan2Fixed(0, 5), 0);
    EXPECT_EQ(Atan2Fixed(5, 0), 1608);
    EXPECT_EQ(Atan2Fixed(0, -5), 3217);
    EXPECT_EQ(Atan2Fixed(-5, -5), -2413);
    EXPECT_EQ(Atan2Fixed(5, 5), 804);
    EXPECT_EQ(Atan2Fixed(-5, 0), -1608);
    EXPECT_EQ(Atan2Fixed(5, -5), 3217 - 804);
    // Steep and flat vectors use the table from the other side.
    EXPECT_EQ(Atan2Fixed(256, 1), 1608 - AtanTable[1]);
    EXPECT_EQ(Atan2Fixed(1, 256), AtanTable[1]);
    for (int y = -40; y <= 40; ++y) {
        for (int x = -40; x <= 40; ++x) {
            if (x == 0 && y == 0) continue;
            const int a = Atan2Fixed(y, x);
            EXPECT_LE(std::abs(a), 3217);
            EXPECT_NEAR(a, std::atan2(y, x) * 1024.0, 4.0) << x << "," << y;
        }
    }
}

TEST(IntegerHelpers, AngleToQuarterDegreesRoundsDown) {
    EXPECT_EQ(FixedAngleToQuarterDegrees(1608), 359);
    EXPECT_EQ(FixedAngleToQuarterDegrees(0), 0);
    EXPECT_EQ(FixedAngleToQuarterDegrees(-1), -1);
    EXPECT_EQ(FixedAngleToQuarterDegrees(3217), 719);
    EXPECT_EQ(FixedAngleToQuarterDegrees(-3217), -720);
}

TEST(IntegerHelpers, IntegerSquareRoot) {
    EXPECT_EQ(IntegerSqrt(0), 0u);
    EXPECT_EQ(IntegerSqrt(1), 1u);
    EXPECT_EQ(IntegerSqrt(8), 2u);
    EXPECT_EQ(IntegerSqrt(9), 3u);
    EXPECT_EQ(IntegerSqrt(0xFFFFFFFFu), 65535u);
    EXPECT_EQ(IntegerSqrt(65535u * 65535u), 65535u);
    EXPECT_EQ(IntegerSqrt(65535u * 65535u - 1), 65534u);
    for (std::uint32_t n = 0; n < 70000; ++n) ASSERT_EQ(IntegerSqrt(n), ReferenceSqrt(n)) << n;
    std::mt19937 random(7);
    for (int i = 0; i < 100000; ++i) {
        const std::uint32_t n = random();
        ASSERT_EQ(IntegerSqrt(n), ReferenceSqrt(n)) << n;
    }
}

TEST(ChannelMaskTable, EveryEntry) {
    const bool expected[7][3] = {{true, true, true},  {true, false, false}, {false, true, false},
                                 {false, false, true}, {true, true, false},  {false, true, true},
                                 {true, false, true}};
    for (int i = 0; i < 7; ++i) {
        const ChannelFlags f = ChannelMask(i);
        EXPECT_EQ(f.red, expected[i][0]) << i;
        EXPECT_EQ(f.green, expected[i][1]) << i;
        EXPECT_EQ(f.blue, expected[i][2]) << i;
    }
    const ChannelFlags none = ChannelMask(7);
    EXPECT_FALSE(none.red || none.green || none.blue);
    EXPECT_FALSE(ChannelMask(-1).red);
}

class TargetRule : public ::testing::Test {
protected:
    void SetUp() override { ResetProgramState(); }
    void TearDown() override {
        platform::SetFilterMessagePump({});
        ResetProgramState();
    }
    static void GiveImage(int width, int height, int undoWidth, int undoHeight) {
        ImageBox& box = ImageBoxTable[1];
        box.workDc = std::make_unique<raster::DrawingContext>(MakeBuffer(width, height));
        box.workBitmap = box.workDc->SelectedBitmap();
        box.undoDc = std::make_unique<raster::DrawingContext>(MakeBuffer(undoWidth, undoHeight));
        box.undoBitmap = box.undoDc->SelectedBitmap();
        box.width = width;
        box.height = height;
        ImageState.CurrentImage = 1;
    }
    static void GivePiece(int width, int height) {
        FloatingPiece.pieceDc = std::make_unique<raster::DrawingContext>(MakeBuffer(width, height));
        FloatingPiece.pieceBitmap = FloatingPiece.pieceDc->SelectedBitmap();
        FloatingPiece.pieceUndoDc = std::make_unique<raster::DrawingContext>(MakeBuffer(width, height));
        FloatingPiece.pieceUndoBitmap = FloatingPiece.pieceUndoDc->SelectedBitmap();
        FloatingPiece.pieceWidth = width;
        FloatingPiece.pieceHeight = height;
    }
};

TEST_F(TargetRule, ImageUnlessAPieceIsOnTheCanvas) {
    EXPECT_EQ(FilterTarget(), nullptr);
    EXPECT_EQ(FilterSource(), nullptr);
    EXPECT_EQ(PrepareFilterContext(), 0);

    GiveImage(7, 5, 7, 5);
    GivePiece(3, 2);
    EXPECT_EQ(FilterTarget(), ImageBoxTable[1].workBitmap);
    EXPECT_EQ(FilterSource(), ImageBoxTable[1].undoBitmap);
    ASSERT_EQ(PrepareFilterContext(), 1);
    EXPECT_EQ(FilterContext.sourceBitmap->Width(), 7);
    EXPECT_EQ(FilterContext.sourceBitmap->Height(), 5);
    EXPECT_EQ(FilterContext.sourceBitmap->Stride(), 24);
    EXPECT_EQ(FilterContext.sourceBitmap->BitsPerPixel(), 24);
    EXPECT_EQ(FilterContext.targetBitmap, ImageBoxTable[1].workBitmap);
    EXPECT_EQ(FilterContext.sourceBitmap, ImageBoxTable[1].undoBitmap);

    for (int tool : {9, 51}) {
        PaintSettings.Tool = static_cast<std::int8_t>(tool);
        EXPECT_EQ(FilterTarget(), FloatingPiece.pieceBitmap);
        EXPECT_EQ(FilterSource(), FloatingPiece.pieceUndoBitmap);
        ASSERT_EQ(PrepareFilterContext(), 1);
        EXPECT_EQ(FilterContext.sourceBitmap->Width(), 3);
        EXPECT_EQ(FilterContext.sourceBitmap->Height(), 2);
        EXPECT_EQ(FilterContext.sourceBitmap->Stride(), 12);
    }
}

TEST_F(TargetRule, NoPieceBuffersMeansNoSource) {
    GiveImage(4, 4, 4, 4);
    PaintSettings.Tool = 9;
    EXPECT_EQ(FilterTarget(), nullptr);
    EXPECT_EQ(PrepareFilterContext(), 0);
}

TEST_F(TargetRule, SourceOfAnotherSizeIsRefused) {
    GiveImage(8, 6, 6, 8);
    EXPECT_EQ(PrepareFilterContext(), 0);
}

TEST_F(TargetRule, PumpReportsARestartOnceAndClearsIt) {
    int pumped = 0;
    platform::SetFilterMessagePump([&] { ++pumped; });
    FilterState.FilterBusy = kFilterRunning;
    EXPECT_EQ(PumpFilterMessages(), 0);
    EXPECT_EQ(FilterState.FilterBusy, kFilterRunning);
    FilterState.FilterBusy = kFilterRestart;
    EXPECT_EQ(PumpFilterMessages(), 1);
    EXPECT_EQ(FilterState.FilterBusy, kFilterIdle);
    EXPECT_EQ(PumpFilterMessages(), 0);
    EXPECT_EQ(pumped, 3);
    // The request may also arrive while the pump hands events on.
    platform::SetFilterMessagePump([&] { FilterState.FilterBusy = kFilterRestart; });
    EXPECT_EQ(PumpFilterMessages(), 1);
    EXPECT_EQ(FilterState.FilterBusy, kFilterIdle);
    platform::SetFilterMessagePump({});
    EXPECT_EQ(PumpFilterMessages(), 0);
}

}  // namespace
