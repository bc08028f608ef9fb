#include <gtest/gtest.h>

#include <cmath>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>

#include "support/GeometrySupport.h"
#include "filters/Geometry.h"

using namespace geometry_test;

namespace {

// After an operation, the dispatcher's next undo copy would make the source equal the target.
void TakeCopy() {
    ImageBox& box = ImageBoxTable[1];
    if (box.undoBitmap->Width() != box.width || box.undoBitmap->Height() != box.height) {
        box.undoDc = MakeContext(box.width, box.height, 24);
        box.undoBitmap = box.undoDc->SelectedBitmap();
    }
    CopyPixels(box.undoBitmap, box.workBitmap);
}

}  // namespace

TEST_F(GeometryTest, FlipHorizontalSwapsOuterColumnsAndKeepsTheMiddleOne) {
    MakeImage(3, 2);
    ASSERT_EQ(FlipHorizontal(), 1);
    for (int y = 0; y < 2; ++y) {
        EXPECT_EQ(PixelOf(Work(), 0, y), Marker(2, y));
        EXPECT_EQ(PixelOf(Work(), 1, y), Marker(1, y));
        EXPECT_EQ(PixelOf(Work(), 2, y), Marker(0, y));
    }
    ASSERT_EQ(FlipHorizontal(), 1);
    EXPECT_EQ(PixelBytes(Work()), PixelBytes(Undo()));
}

TEST_F(GeometryTest, FlipVerticalSwapsRowsAndKeepsTheMiddleRow) {
    MakeImage(2, 5);
    ASSERT_EQ(FlipVertical(), 1);
    for (int y = 0; y < 5; ++y) EXPECT_EQ(PixelOf(Work(), 1, y), Marker(1, 4 - y));
    ASSERT_EQ(FlipVertical(), 1);
    EXPECT_EQ(PixelBytes(Work()), PixelBytes(Undo()));
}

TEST_F(GeometryTest, HalfTurnByTwoFlipsKeepsTheSize) {
    MakeImage(7, 4);
    FlipHorizontal();
    FlipVertical();
    EXPECT_EQ(Work().Width(), 7);
    EXPECT_EQ(Work().Height(), 4);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 7; ++x) EXPECT_EQ(PixelOf(Work(), x, y), Marker(6 - x, 3 - y));
}

TEST_F(GeometryTest, FlipsWithoutAnImageReportNothingDone) {
    EXPECT_EQ(FlipHorizontal(), 0);
    EXPECT_EQ(FlipVertical(), 0);
    EXPECT_EQ(Rotate90(true), 0);
    EXPECT_EQ(RotateArbitrary(30.0f), 0);
}

TEST_F(GeometryTest, QuarterTurnsMoveTheCornersAndUndoEachOther) {
    MakeImage(240, 228);
    ASSERT_EQ(Rotate90(true), 1);
    ImageBox& box = ImageBoxTable[1];
    EXPECT_EQ(box.width, 228);
    EXPECT_EQ(box.height, 240);
    EXPECT_EQ(Work().Width(), 228);
    EXPECT_EQ(Work().Height(), 240);
    EXPECT_EQ(box.scrollX, 0);
    EXPECT_EQ(box.scrollY, 0);
    EXPECT_EQ(PixelOf(Work(), 227, 0), Marker(0, 0));   // old top-left at the new top-right
    EXPECT_EQ(PixelOf(Work(), 0, 0), Marker(0, 227));   // old bottom-left at the new top-left
    EXPECT_EQ(PixelOf(Work(), 227, 239), Marker(239, 0));
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 228; ++x) ASSERT_EQ(PixelOf(Work(), x, y), Marker(y, 227 - x));

    TakeCopy();
    ASSERT_EQ(Rotate90(false), 1);
    EXPECT_EQ(box.width, 240);
    EXPECT_EQ(box.height, 228);
    for (int y = 0; y < 228; ++y)
        for (int x = 0; x < 240; ++x) ASSERT_EQ(PixelOf(Work(), x, y), Marker(x, y));
}

TEST_F(GeometryTest, CounterClockwisePutsTheTopLeftAtTheBottomLeft) {
    MakeImage(240, 228);
    ASSERT_EQ(Rotate90(false), 1);
    EXPECT_EQ(PixelOf(Work(), 0, 239), Marker(0, 0));
    EXPECT_EQ(PixelOf(Work(), 0, 0), Marker(239, 0));
    EXPECT_EQ(PixelOf(Work(), 227, 239), Marker(0, 227));
}

TEST_F(GeometryTest, QuarterTurnsOfOddSmallImagesMatchASimpleMapping) {
    for (int w : {1, 2, 3, 65, 130}) {
        for (int h : {1, 3, 64, 67}) {
            auto source = MakeBuffer(w, h);
            FillRandom(*source, static_cast<std::uint32_t>(w * 1000 + h));
            auto cw = MakeBuffer(h, w);
            auto ccw = MakeBuffer(h, w);
            RotatePixels90(*source, *cw, true);
            RotatePixels90(*source, *ccw, false);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    ASSERT_EQ(PixelOf(*cw, h - 1 - y, x), PixelOf(*source, x, y)) << w << "x" << h;
                    ASSERT_EQ(PixelOf(*ccw, y, w - 1 - x), PixelOf(*source, x, y)) << w << "x" << h;
                }
        }
    }
}

TEST_F(GeometryTest, ArbitraryRotationByZeroKeepsEveryPixel) {
    for (auto [w, h] : {std::pair{240, 228}, std::pair{7, 5}, std::pair{1, 1}, std::pair{2, 9}}) {
        MakeImage(w, h);
        ASSERT_EQ(RotateArbitrary(0.0f), 1);
        ASSERT_EQ(Work().Width(), w);
        ASSERT_EQ(Work().Height(), h);
        EXPECT_EQ(PixelBytes(Work()), PixelBytes(Undo())) << w << "x" << h;
    }
}

TEST_F(GeometryTest, ArbitraryRotationSizes) {
    MakeImage(240, 228);
    ASSERT_EQ(RotateArbitrary(90.0f), 1);
    EXPECT_EQ(ImageBoxTable[1].width, 228);
    EXPECT_EQ(ImageBoxTable[1].height, 240);

    MakeImage(240, 228);
    PaintSettings.BColor = raster::MakeColour(10, 20, 30);
    ASSERT_EQ(RotateArbitrary(45.0f), 1);
    EXPECT_EQ(ImageBoxTable[1].width, 330);
    EXPECT_EQ(ImageBoxTable[1].height, 330);
    const Rgb background{10, 20, 30};
    EXPECT_EQ(PixelOf(Work(), 0, 0), background);
    EXPECT_EQ(PixelOf(Work(), 329, 0), background);
    EXPECT_EQ(PixelOf(Work(), 0, 329), background);
    EXPECT_EQ(PixelOf(Work(), 329, 329), background);
    EXPECT_NE(PixelOf(Work(), 165, 165), background);
}

TEST_F(GeometryTest, ArbitraryHalfTurnIsOffByOneFromTheExactFlip) {
    MakeImage(9, 6);
    PaintSettings.BColor = raster::MakeColour(1, 2, 3);
    ASSERT_EQ(RotateArbitrary(180.0f), 1);
    ASSERT_EQ(Work().Width(), 9);
    ASSERT_EQ(Work().Height(), 6);
    for (int i = 0; i < 9; ++i) EXPECT_EQ(PixelOf(Work(), i, 0), (Rgb{1, 2, 3}));
    for (int j = 0; j < 6; ++j) EXPECT_EQ(PixelOf(Work(), 0, j), (Rgb{1, 2, 3}));
    for (int j = 1; j < 6; ++j)
        for (int i = 1; i < 9; ++i) EXPECT_EQ(PixelOf(Work(), i, j), Marker(9 - i, 6 - j));
}

TEST_F(GeometryTest, OnePixelImageTurnedByFortyFiveDegreesStaysOnePixel) {
    MakeImage(1, 1);
    ASSERT_EQ(RotateArbitrary(45.0f), 1);
    EXPECT_EQ(Work().Width(), 1);
    EXPECT_EQ(Work().Height(), 1);
    EXPECT_EQ(PixelOf(Work(), 0, 0), Marker(0, 0));
}

// The rotation written out as directly as possible, to hold the optimised loop to.
TEST_F(GeometryTest, ArbitraryRotationMatchesTheStraightforwardFormula) {
    int seed = 1;
    for (auto [w, h] : {std::pair{37, 23}, std::pair{64, 64}, std::pair{5, 120}}) {
        for (float angle : {-180.0f, -135.0f, -33.0f, -1.0f, 1.0f, 17.0f, 33.0f, 60.0f, 91.0f, 150.0f, 179.0f}) {
            auto source = MakeBuffer(w, h);
            FillRandom(*source, static_cast<std::uint32_t>(seed++));
            const RotationFrame f = ComputeRotationFrame(angle, w, h);
            auto target = MakeBuffer(f.width, f.height);
            const raster::Colour background = raster::MakeColour(200, 100, 50);
            RotatePixelsArbitrary(*source, *target, f, background, nullptr, nullptr);

            const float diff = angle - 180.0f;
            const float theta = static_cast<float>(diff * 6.283185307179586 * 0.002777777777777778);
            const float c = static_cast<float>(std::cos(static_cast<double>(theta)));
            const float s = static_cast<float>(std::sin(static_cast<double>(theta)));
            ASSERT_EQ(f.c, c);
            ASSERT_EQ(f.s, s);
            for (int j = 0; j < f.height; ++j) {
                for (int i = 0; i < f.width; ++i) {
                    const float u = static_cast<float>(w / 2 - i - f.minX);
                    const float v = static_cast<float>(h / 2 - j - f.minY);
                    const float uc = u * c, vs = v * s, vc = v * c, us = u * s;
                    const int sx = w / 2 + static_cast<int>(std::floor(double(uc) + double(vs) + 0.5));
                    const int sy = h / 2 + static_cast<int>(std::floor(double(vc) + 0.5 - double(us)));
                    const Rgb expected = (sx >= 0 && sx < w && sy >= 0 && sy < h) ? PixelOf(*source, sx, sy)
                                                                                   : Rgb{200, 100, 50};
                    ASSERT_EQ(PixelOf(*target, i, j), expected) << angle << " at " << i << "," << j;
                }
            }
        }
    }
}

TEST_F(GeometryTest, PieceFlipsCarryTheMask) {
    MakeImage(20, 20);
    MakePiece(5, 3, true);
    ASSERT_EQ(FlipHorizontal(), 1);
    // The image stays as it was.
    EXPECT_EQ(PixelBytes(Work()), PixelBytes(Undo()));
    EXPECT_EQ(PixelOf(*FloatingPiece.pieceBitmap, 0, 0), Marker(4, 0));
    // Columns 0, 2, 4 held 249 and stay so; columns 1 and 3 hold 193 still.
    FloatingPiece.maskBitmap->Row(1)[4] = 7;
    ASSERT_EQ(FlipHorizontal(), 1);
    EXPECT_EQ(MaskOf(*FloatingPiece.maskBitmap, 0, 1), 7);
    ASSERT_EQ(FlipVertical(), 1);
    EXPECT_EQ(MaskOf(*FloatingPiece.maskBitmap, 0, 1), 7);
    EXPECT_EQ(PixelOf(*FloatingPiece.pieceBitmap, 0, 0), Marker(0, 2));
}

TEST_F(GeometryTest, PieceQuarterTurnRotatesTheMaskFromItsUndoTwin) {
    MakeImage(20, 20);
    MakePiece(5, 3, true);
    FloatingPiece.maskUndoBitmap->Row(0)[0] = 11;  // the piece's top-left
    ASSERT_EQ(Rotate90(true), 1);
    EXPECT_EQ(FloatingPiece.pieceWidth, 3u);
    EXPECT_EQ(FloatingPiece.pieceHeight, 5u);
    ASSERT_EQ(FloatingPiece.maskBitmap->Width(), 3);
    ASSERT_EQ(FloatingPiece.maskBitmap->Height(), 5);
    EXPECT_EQ(MaskOf(*FloatingPiece.maskBitmap, 2, 0), 11);
    EXPECT_EQ(MaskOf(*FloatingPiece.maskBitmap, 0, 1), kMaskBorder);  // source (1, 2)
    EXPECT_EQ(PixelOf(*FloatingPiece.pieceBitmap, 2, 0), Marker(0, 0));
    // The undo twins keep their size, the image is untouched.
    EXPECT_EQ(FloatingPiece.pieceUndoBitmap->Width(), 5);
    EXPECT_EQ(FloatingPiece.maskUndoBitmap->Width(), 5);
    EXPECT_EQ(Work().Width(), 20);
    EXPECT_EQ(ImageBoxTable[1].scrollX, 17);
}

TEST_F(GeometryTest, PieceWithoutMaskRotatesWithoutOne) {
    MakeImage(20, 20);
    MakePiece(4, 2, false);
    ASSERT_EQ(Rotate90(false), 1);
    EXPECT_EQ(FloatingPiece.maskDc, nullptr);
    EXPECT_EQ(FloatingPiece.pieceWidth, 2u);
    EXPECT_EQ(PixelOf(*FloatingPiece.pieceBitmap, 0, 3), Marker(0, 0));
}

TEST_F(GeometryTest, UncoveredCornersOfATurnedPieceAreNotSelected) {
    MakeImage(20, 20);
    MakePiece(40, 30, true);
    ASSERT_EQ(RotateArbitrary(30.0f), 1);
    const PixelBuffer& mask = *FloatingPiece.maskBitmap;
    ASSERT_EQ(static_cast<int>(FloatingPiece.pieceWidth), mask.Width());
    ASSERT_EQ(static_cast<int>(FloatingPiece.pieceHeight), mask.Height());
    EXPECT_EQ(MaskOf(mask, 0, 0), 0);
    EXPECT_EQ(MaskOf(mask, mask.Width() - 1, mask.Height() - 1), 0);
    const int middle = MaskOf(mask, mask.Width() / 2, mask.Height() / 2);
    EXPECT_TRUE(middle == kMaskInside || middle == kMaskBorder);
    // Every selected byte of the new mask shows a pixel that came from the piece.
    const PixelBuffer& pixels = *FloatingPiece.pieceBitmap;
    for (int y = 0; y < mask.Height(); ++y)
        for (int x = 0; x < mask.Width(); ++x) {
            if (MaskOf(mask, x, y) == 0) continue;
            const Rgb c = PixelOf(pixels, x, y);
            ASSERT_LT(c.r, 40);
            ASSERT_LT(c.g, 30);
            // Even source columns were marked 249, odd ones 193.
            ASSERT_EQ(MaskOf(mask, x, y), c.r % 2 == 0 ? kMaskInside : kMaskBorder);
        }
}

// A rotation whose new buffer cannot be made keeps the old image and says so. The memory
// limit is set in a child process; the sanitizers reserve too much address space for it.
namespace {

int RotateUnderMemoryLimit() {
    MessageRecorder messages;
    platform::SetMessageBoxService(&messages);
    MakeImage(2000, 1500);
    const PixelBuffer* before = ImageBoxTable[1].workBitmap;
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    long pages = 0;
    if (!statm || std::fscanf(statm, "%ld", &pages) != 1) return 3;
    std::fclose(statm);
    // Room for a few megabytes more, not for the 9 MB of a new 1500 x 2000 buffer.
    const rlim_t limit = static_cast<rlim_t>(pages) * 4096 + 4 * 1024 * 1024;
    rlimit rl{limit, limit};
    if (setrlimit(RLIMIT_AS, &rl) != 0) return 4;
    const int result = Rotate90(true);
    const bool kept = ImageBoxTable[1].workBitmap == before && ImageBoxTable[1].width == 2000 &&
                      ImageBoxTable[1].height == 1500 && PixelOf(*before, 1999, 0) == Marker(1999, 0);
    const bool told = messages.shown.size() == 1 &&
                      messages.shown[0].text == "There is not enough memory to create the bitmap." &&
                      messages.shown[0].caption == "Out Of Memory Error";
    if (result != 0) return 5;
    if (!kept) return 6;
    return told ? 0 : 7;
}

}  // namespace

TEST(GeometryMemoryTest, RotationWithoutMemoryKeepsTheOldImage) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "address-space limits do not work under the address sanitizer";
#else
    // A fresh process: a heap that other tests' threads have shared could serve the buffer
    // from address space reserved before the limit.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(std::_Exit(RotateUnderMemoryLimit()), ::testing::ExitedWithCode(0), "");
#endif
}
