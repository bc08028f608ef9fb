// Selections: the mask kernels, the piece builder with add and subtract, the selection tools
// driven through the canvas window, and the Edit commands.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

#include "platform/raster/ParallelRows.h"
#include "support/CanvasFixture.h"
#include "tools/FloodFill.h"
#include "tools/Selection.h"
#include "tools/SelectionCommands.h"

namespace {

constexpr raster::Colour kGreen = 0x00FF00;

std::unique_ptr<PixelBuffer> MaskOf(int w, int h, std::uint8_t value) {
    raster::BitmapInfo header;
    std::unique_ptr<PixelBuffer> mask = CreatePixelBuffer(w, h, 8, header, nullptr);
    std::memset(mask->Bits(), value, mask->ByteSize());
    return mask;
}

int CountMask(const PixelBuffer& mask, std::uint8_t value) {
    int n = 0;
    for (int y = 0; y < mask.Height(); ++y) {
        for (int x = 0; x < mask.Width(); ++x) n += mask.Row(y)[x] == value;
    }
    return n;
}

std::uint8_t MaskAt(int x, int y) { return FloatingPiece.maskBitmap->Row(y)[x]; }

TEST(MarkBorder, AFullySelectedFourByFourHasItsTwelveOuterPixelsAsBorder) {
    std::unique_ptr<PixelBuffer> mask = MaskOf(4, 4, kMaskInside);
    MarkBorderOf(*mask, 0);
    EXPECT_EQ(CountMask(*mask, kMaskBorder), 12);
    for (int y = 1; y <= 2; ++y) {
        for (int x = 1; x <= 2; ++x) EXPECT_EQ(mask->Row(y)[x], kMaskInside) << x << "," << y;
    }
    // Mode 1 remarks an edited mask from scratch; mode 2 selects everything first.
    mask->Row(0)[0] = kMaskOutside;
    MarkBorderOf(*mask, 1);
    EXPECT_EQ(mask->Row(1)[1], kMaskInside);
    EXPECT_EQ(mask->Row(0)[1], kMaskBorder);
    EXPECT_EQ(mask->Row(1)[0], kMaskBorder);
    MarkBorderOf(*mask, 2);
    EXPECT_EQ(CountMask(*mask, kMaskBorder), 12);
}

TEST(MarkBorder, RunsInsideAShapeGetBorderAtBothEndsOnly) {
    // A diamond: no pixel inside it may become border just because the row above was marked.
    std::unique_ptr<PixelBuffer> mask = MaskOf(5, 5, kMaskOutside);
    const int half[5] = {0, 1, 2, 1, 0};
    for (int y = 0; y < 5; ++y) {
        for (int x = 2 - half[y]; x <= 2 + half[y]; ++x) mask->Row(y)[x] = kMaskInside;
    }
    MarkBorderOf(*mask, 0);
    EXPECT_EQ(mask->Row(1)[2], kMaskInside);
    EXPECT_EQ(mask->Row(2)[2], kMaskInside);
    EXPECT_EQ(CountMask(*mask, kMaskInside), 5);
    EXPECT_EQ(CountMask(*mask, kMaskBorder), 8);
}

TEST(MarkBorder, RandomMasksOfEveryWidthMatchTheNeighbourRule) {
    // Widths around the eight-byte steps of the run search, with holes, stray border bytes and
    // long runs; a selected pixel is border exactly when a row or column end or an outside
    // pixel touches it on its row or column, and a border byte never turns back inside. Masks
    // large enough to be shared among threads are marked in bands whose edge rows read their
    // neighbours: the result must not depend on how many.
    std::uint32_t seed = 12345;
    const auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7FFF;
    };
    const auto check = [&](int w, int h) {
        std::unique_ptr<PixelBuffer> mask = MaskOf(w, h, kMaskOutside);
        const unsigned holes = 1 + next() % 20;  // one in `holes` pixels is outside
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const unsigned r = next();
                mask->Row(y)[x] = r % holes == 0 ? kMaskOutside : (r % 97 == 1 ? kMaskBorder : kMaskInside);
            }
        }
        std::vector<std::uint8_t> before(static_cast<std::size_t>(w * h));
        for (int y = 0; y < h; ++y) std::memcpy(&before[static_cast<std::size_t>(y * w)], mask->Row(y), w);
        const auto outside = [&](int x, int y) {
            return x < 0 || y < 0 || x >= w || y >= h || before[static_cast<std::size_t>(y * w + x)] == kMaskOutside;
        };
        MarkBorderOf(*mask, 0);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const std::uint8_t was = before[static_cast<std::size_t>(y * w + x)];
                std::uint8_t want = was;
                if (was != kMaskOutside &&
                    (outside(x - 1, y) || outside(x + 1, y) || outside(x, y - 1) || outside(x, y + 1)))
                    want = kMaskBorder;
                ASSERT_EQ(mask->Row(y)[x], want) << "w " << w << " h " << h << " at " << x << "," << y;
            }
        }
    };
    for (int w = 1; w <= 40; ++w) {
        for (int round = 0; round < 4; ++round) check(w, 1 + static_cast<int>(next() % 12));
    }
    for (const int threads : {1, 2, 3, 7}) {
        RowThreadsWanted = threads;
        check(300, 257);
        check(257, 300);
    }
    RowThreadsWanted = 0;
}

TEST(LassoKernels, AFigureEightSelectsBothLoopsAndNotBetweenThem) {
    raster::BitmapInfo header;
    std::unique_ptr<PixelBuffer> scratch = CreatePixelBuffer(20, 20, 24, header, nullptr);
    FillScratch(*scratch, false);
    // A bow tie crossing at (7, 7); every change of vertical direction toggles its start.
    LassoEdge(*scratch, 2, 2, 12, 12, true);
    LassoEdge(*scratch, 12, 12, 12, 2, true);
    LassoEdge(*scratch, 12, 2, 2, 12, true);
    LassoEdge(*scratch, 2, 12, 2, 2, true);
    LassoFill(*scratch);
    const auto in = [&](int x, int y) { return scratch->Row(y)[3 * x] == 255; };
    EXPECT_TRUE(in(3, 5));   // left loop
    EXPECT_TRUE(in(10, 5));  // right loop
    EXPECT_FALSE(in(7, 5));  // between the loops
    EXPECT_FALSE(in(7, 10));
    EXPECT_TRUE(in(3, 10));
    EXPECT_TRUE(in(11, 10));
    EXPECT_FALSE(in(15, 5));
    // Green and red stay 0: the scratch holds only black and pure blue.
    EXPECT_EQ(scratch->Row(5)[3 * 3 + 1], 0);
    EXPECT_EQ(scratch->Row(5)[3 * 3 + 2], 0);
}

TEST(LassoKernels, EdgesAreClampedToTheScratch) {
    raster::BitmapInfo header;
    std::unique_ptr<PixelBuffer> scratch = CreatePixelBuffer(8, 8, 24, header, nullptr);
    FillScratch(*scratch, false);
    LassoEdge(*scratch, -50, -50, 100, 100, true);
    EXPECT_EQ(scratch->Row(0)[0], 255);
    EXPECT_EQ(scratch->Row(7)[3 * 7], 255);
}

class SelectionTest : public CanvasTest {
protected:
    void SetUp() override {
        CanvasTest::SetUp();
        MakeImage(40, 30);
        raster::FillRect(*CurrentBox().workDc, {0, 0, 40, 30}, kWhite);
        raster::FillRect(*CurrentBox().workDc, {10, 10, 14, 14}, kRed);
        TakeImageUndo();
        PaintSettings.BColor = kPaper;
    }
};

TEST_F(SelectionTest, ARectangleOfOneByFiftyMakesNoPieceAndTwoByTwoDoes) {
    PaintSettings.Tool = kToolSelectRectangle;
    Down(5, 0);
    Move(6, 25);
    Up(6, 25);
    EXPECT_EQ(FloatingPiece.pieceDc, nullptr);
    EXPECT_EQ(PaintSettings.Tool, kToolSelectRectangle);
    EXPECT_EQ(WorkPixel(5, 5), kWhite);  // no scratch left behind
    Down(10, 10);
    Up(12, 12);
    ASSERT_NE(FloatingPiece.pieceDc, nullptr);
    EXPECT_EQ(FloatingPiece.pieceWidth, 2u);
    EXPECT_EQ(FloatingPiece.pieceHeight, 2u);
    EXPECT_EQ(PaintSettings.Tool, kToolFloatingPiece);
}

TEST_F(SelectionTest, APolygonSelectionTooSmallForAPieceFloatsNothingAndKeepsTheTool) {
    PaintSettings.Tool = kToolSelectPolygon;
    // Every vertex outside the picture, at one point.
    Down(-29, -29);
    Up(-29, -29);
    DoubleTap(-29, -29);
    Up(-29, -29);
    EXPECT_EQ(FloatingPiece.pieceDc, nullptr);
    EXPECT_EQ(PaintSettings.Tool, kToolSelectPolygon);
    EXPECT_EQ(CanvasState.PolygonCount, 0u);
    EXPECT_EQ(WorkPixel(11, 11), kRed);
    EXPECT_EQ(WorkPixel(5, 5), kWhite);
    // The next polygon selects as ever.
    Down(9, 9);
    Up(9, 9);
    Down(16, 9);
    Up(16, 9);
    DoubleTap(12, 16);
    Up(12, 16);
    ASSERT_NE(FloatingPiece.pieceDc, nullptr);
    EXPECT_EQ(PaintSettings.Tool, kToolFloatingPiece);
}

TEST_F(SelectionTest, DraggingThePieceLeavesBackgroundAndUndoPutsItBack) {
    PaintSettings.Tool = kToolSelectRectangle;
    Down(10, 10);
    Move(14, 14);
    Up(14, 14);
    ASSERT_EQ(PaintSettings.Tool, kToolFloatingPiece);
    EXPECT_EQ(FloatingPiece.pieceX, 10);
    EXPECT_EQ(PiecePixel(1, 1), kRed);
    EXPECT_EQ(UndoPixel(11, 11), kPaper);  // lifted: the clean image has the hole
    Down(11, 11);
    Move(16, 11);
    Up(21, 11);
    EXPECT_EQ(FloatingPiece.pieceX, 20);
    EXPECT_EQ(FloatingPiece.pieceY, 10);
    // A tap outside drops it for good.
    Down(35, 25);
    Up(35, 25);
    EXPECT_EQ(PaintSettings.Tool, kToolSelectRectangle);
    EXPECT_EQ(WorkPixel(21, 11), kRed);
    EXPECT_EQ(WorkPixel(11, 11), kPaper);
    // Undo after the drop with the selection tool floats the piece again; another Undo
    // returns it to where it was made.
    Undo();
    EXPECT_EQ(PaintSettings.Tool, kToolFloatingPiece);
    Undo();
    EXPECT_EQ(FloatingPiece.pieceX, 10);
    std::unique_ptr<PixelBuffer> merged;
    const PixelBuffer* shown = PictureAsShown(merged);
    EXPECT_EQ(raster::GetPixel(*CurrentBox().workDc, 11, 11), kPaper);
    ASSERT_NE(shown, nullptr);
    const std::uint8_t* p = shown->Row(11) + 3 * 11;
    EXPECT_EQ(raster::MakeColour(p[2], p[1], p[0]), kRed);
}

TEST_F(SelectionTest, TransLetsTheImageShowThroughBackgroundPixels) {
    PaintSettings.BColor = kWhite;
    PaintSettings.Tool = kToolSelectRectangle;
    Down(8, 8);
    Up(16, 16);  // red square with a white frame
    ASSERT_EQ(PaintSettings.Tool, kToolFloatingPiece);
    raster::FillRect(*CurrentBox().undoDc, {0, 0, 40, 30}, kGreen);
    CopyPixels(CurrentBox().workBitmap, CurrentBox().undoBitmap);
    PaintSettings.Trans = 1;
    ShowPiece(nullptr, 8, 8, true);
    EXPECT_EQ(WorkPixel(8, 8), kGreen);
    EXPECT_EQ(WorkPixel(11, 11), kRed);
    PaintSettings.Trans = 0;
    ShowPiece(nullptr, 8, 8, true);
    EXPECT_EQ(WorkPixel(8, 8), kWhite);
}

TEST_F(SelectionTest, AddAndSubtractCombineWithTheHeldPiece) {
    PaintSettings.Tool = kToolSelectRectangle;
    Down(0, 0);
    Up(4, 4);
    ASSERT_EQ(PaintSettings.Tool, kToolFloatingPiece);
    CanvasState.SelectModifier = 1;
    Down(6, 0);  // a miss drops the piece and starts a rectangle at once
    EXPECT_EQ(PaintSettings.Tool, kToolSelectRectangle);
    Up(10, 2);
    ASSERT_EQ(PaintSettings.Tool, kToolFloatingPiece);
    EXPECT_EQ(FloatingPiece.pieceX, 0);
    EXPECT_EQ(FloatingPiece.pieceWidth, 10u);
    EXPECT_EQ(FloatingPiece.pieceHeight, 4u);
    EXPECT_NE(MaskAt(8, 1), kMaskOutside);
    EXPECT_EQ(MaskAt(8, 3), kMaskOutside);
    EXPECT_EQ(MaskAt(5, 1), kMaskOutside);  // the gap between the two stays out
    CanvasState.SelectModifier = 2;
    Down(2, 0);
    Up(10, 4);  // removes all but columns 0 and 1
    ASSERT_EQ(PaintSettings.Tool, kToolFloatingPiece);
    EXPECT_EQ(FloatingPiece.pieceX, 0);
    EXPECT_EQ(FloatingPiece.pieceWidth, 2u);
    EXPECT_EQ(FloatingPiece.pieceHeight, 4u);
    EXPECT_EQ(CountMask(*FloatingPiece.maskBitmap, kMaskBorder), 8);
}

TEST_F(SelectionTest, TheLassoAsAFigureEightLiftsBothLoops) {
    PaintSettings.Tool = kToolSelectLasso;
    Down(2, 2);
    Move(12, 12);
    Move(12, 2);
    Move(2, 12);
    Up(2, 12);
    ASSERT_EQ(PaintSettings.Tool, kToolFloatingPiece);
    // The rows of the two tips hold an even count of crossings and stay out.
    EXPECT_EQ(FloatingPiece.pieceX, 2);
    EXPECT_EQ(FloatingPiece.pieceY, 3);
    EXPECT_EQ(FloatingPiece.pieceWidth, 11u);
    EXPECT_EQ(FloatingPiece.pieceHeight, 9u);
    EXPECT_NE(MaskAt(3 - 2, 5 - 3), kMaskOutside);
    EXPECT_NE(MaskAt(10 - 2, 5 - 3), kMaskOutside);
    EXPECT_EQ(MaskAt(7 - 2, 5 - 3), kMaskOutside);
    EXPECT_EQ(MaskAt(7 - 2, 10 - 3), kMaskOutside);
    EXPECT_EQ(CanvasState.LassoStartX, -1);
    EXPECT_EQ(UndoPixel(3, 5), kPaper);
    EXPECT_EQ(UndoPixel(7, 5), kWhite);
}

TEST_F(SelectionTest, TheWandLiftsTheRegionInItsOwnColours) {
    raster::FillRect(*CurrentBox().workDc, {10, 10, 14, 14}, raster::MakeColour(10, 200, 250));
    EXPECT_EQ(ContrastingColour(raster::MakeColour(10, 200, 250)), raster::MakeColour(138, 73, 123));
    PaintSettings.WTolerance = 0;
    PaintSettings.Tool = kToolSelectMagicWand;
    Down(12, 12);
    Up(12, 12);
    ASSERT_EQ(PaintSettings.Tool, kToolFloatingPiece);
    EXPECT_EQ(FloatingPiece.pieceX, 10);
    EXPECT_EQ(FloatingPiece.pieceWidth, 4u);
    EXPECT_EQ(FloatingPiece.pieceHeight, 4u);
    EXPECT_EQ(PiecePixel(0, 0), raster::MakeColour(10, 200, 250));
    EXPECT_EQ(CountMask(*FloatingPiece.maskBitmap, kMaskOutside), 0);
    EXPECT_EQ(UndoPixel(12, 12), kPaper);
    EXPECT_EQ(UndoPixel(9, 12), kWhite);
}

TEST_F(SelectionTest, GrowTurnsTwoByTwoIntoFourByFourOneUpAndLeft) {
    PaintSettings.Tool = kToolSelectRectangle;
    Down(10, 10);
    Up(12, 12);
    ASSERT_EQ(GrowSelection(), 1);
    EXPECT_EQ(FloatingPiece.pieceX, 9);
    EXPECT_EQ(FloatingPiece.pieceY, 9);
    EXPECT_EQ(FloatingPiece.pieceWidth, 4u);
    EXPECT_EQ(FloatingPiece.pieceHeight, 4u);
    EXPECT_EQ(CountMask(*FloatingPiece.maskBitmap, kMaskOutside), 0);
    EXPECT_EQ(CountMask(*FloatingPiece.maskBitmap, kMaskBorder), 12);
    EXPECT_EQ(PiecePixel(0, 0), kWhite);
    EXPECT_EQ(PiecePixel(1, 1), kRed);
    EXPECT_EQ(PaintSettings.Group, 0);
}

TEST_F(SelectionTest, InverseOfAPieceSelectsTheRestAndInverseOfAllSelectsNothing) {
    ASSERT_EQ(SelectAll(), 1);
    EXPECT_EQ(FloatingPiece.pieceWidth, 40u);
    EXPECT_EQ(FloatingPiece.pieceHeight, 30u);
    EXPECT_EQ(UndoPixel(11, 11), kPaper);
    // Nothing is left to select: the piece goes down and stays down.
    EXPECT_EQ(InverseSelection(), 0);
    EXPECT_EQ(PaintSettings.Tool, kToolSelectRectangle);
    EXPECT_EQ(WorkPixel(11, 11), kRed);
    PaintSettings.Tool = kToolSelectRectangle;
    Down(10, 10);
    Up(14, 14);
    ASSERT_EQ(InverseSelection(), 1);
    EXPECT_EQ(FloatingPiece.pieceWidth, 40u);
    EXPECT_EQ(MaskAt(11, 11), kMaskOutside);
    EXPECT_NE(MaskAt(0, 0), kMaskOutside);
    EXPECT_EQ(UndoPixel(11, 11), kRed);
    EXPECT_EQ(UndoPixel(0, 0), kPaper);
}

TEST_F(SelectionTest, SimilarSelectsEveryPixelInTheChannelRanges) {
    raster::FillRect(*CurrentBox().workDc, {30, 20, 33, 22}, kRed);
    TakeImageUndo();
    EXPECT_EQ(SelectSimilar(), 0);  // needs a piece
    PaintSettings.Tool = kToolSelectRectangle;
    Down(11, 11);
    Up(13, 13);
    ASSERT_EQ(SelectSimilar(), 1);
    EXPECT_EQ(FloatingPiece.pieceX, 10);
    EXPECT_EQ(FloatingPiece.pieceY, 10);
    EXPECT_EQ(FloatingPiece.pieceWidth, 23u);
    EXPECT_EQ(FloatingPiece.pieceHeight, 12u);
    EXPECT_EQ(MaskAt(5, 5), kMaskOutside);
    EXPECT_EQ(UndoPixel(31, 21), kPaper);
}

TEST_F(SelectionTest, CopyCutAndPasteKeepThePieceHeld) {
    EXPECT_EQ(CopyPiece(), 0);
    EXPECT_EQ(PastePiece(), 0);
    PaintSettings.Tool = kToolSelectRectangle;
    PaintSettings.Select = 2;
    Down(10, 10);
    Up(14, 14);
    ASSERT_EQ(CopyPiece(), 1);
    EXPECT_EQ(PaintSettings.Tool, kToolSelectMagicWand);
    EXPECT_EQ(WorkPixel(11, 11), kRed);
    ASSERT_EQ(PastePiece(), 1);
    EXPECT_EQ(PaintSettings.Tool, kToolFloatingPiece);
    EXPECT_EQ(FloatingPiece.pieceX, 0);
    EXPECT_EQ(FloatingPiece.pieceY, 0);
    ASSERT_EQ(CutPiece(), 1);
    EXPECT_EQ(WorkPixel(1, 1), kWhite);  // cut: not put down
    EXPECT_EQ(WorkPixel(11, 11), kRed);
    EXPECT_EQ(CutPiece(), 0);
}

TEST_F(SelectionTest, EveryChangeOfWhatSaveWritesIsCountedAndLeftUnsaved) {
    PaintSettings.Tool = kToolSelectRectangle;
    Down(10, 10);
    Move(14, 14);
    Up(14, 14);
    ASSERT_EQ(PaintSettings.Tool, kToolFloatingPiece);
    struct Step {
        const char* what;
        std::function<void()> run;
        int counted;  // how far EditCount moves
    };
    const Step steps[] = {
        {"a tap on the piece that does not move it", [this] { Down(11, 11), Up(11, 11); }, 0},
        {"a drag of the piece", [this] { Down(11, 11), Move(15, 11), Up(16, 12); }, 1},
        {"a piece undo copy", [] { TakePieceUndo(); }, 1},
        {"Undo", [] { Undo(); }, 1},
        {"an image undo copy", [] { TakeImageUndo(); }, 1},
    };
    for (const Step& step : steps) {
        ImageState.ImageModified = 0;  // as a save leaves it
        const std::uint64_t before = ImageState.EditCount;
        step.run();
        EXPECT_EQ(ImageState.EditCount - before, static_cast<std::uint64_t>(step.counted)) << step.what;
        EXPECT_EQ(ImageState.ImageModified, step.counted ? 1 : 0) << step.what;
    }
    // A new picture is not an unsaved change, but every copy of the old one is out of date.
    ImageState.ImageModified = 0;
    const std::uint64_t before = ImageState.EditCount;
    ASSERT_EQ(CreateImage(8, 8), 1);
    EXPECT_EQ(ImageState.EditCount, before + 1);
    EXPECT_EQ(ImageState.ImageModified, 0);
}

TEST_F(SelectionTest, APolygonSelectionClosedByADoubleTapLiftsItsShapeAndATinyOneMakesNone) {
    PaintSettings.Tool = kToolSelectPolygon;
    Down(8, 8);
    Up(8, 8);
    Down(16, 8);
    Up(16, 8);
    DoubleTap(16, 16);
    ASSERT_EQ(PaintSettings.Tool, kToolFloatingPiece);
    EXPECT_EQ(FloatingPiece.pieceX, 8);
    EXPECT_EQ(FloatingPiece.pieceY, 8);
    EXPECT_EQ(UndoPixel(13, 10), kPaper);  // inside the triangle: lifted
    EXPECT_EQ(UndoPixel(10, 13), kRed);    // below its long side: left in the image
    EXPECT_EQ(MaskAt(0, 0), kMaskBorder);
    // One pixel wide: no new piece, yet the tool becomes the floating piece's, the older piece
    // with it, and no scratch is left behind.
    PaintSettings.Tool = kToolSelectPolygon;
    CanvasState.PolygonCount = 0;
    Down(30, 5);
    Up(30, 5);
    DoubleTap(30, 20);
    EXPECT_EQ(PaintSettings.Tool, kToolFloatingPiece);
    EXPECT_EQ(CanvasState.PolygonCount, 0u);
    EXPECT_EQ(FloatingPiece.pieceX, 8);
    EXPECT_EQ(FloatingPiece.pieceY, 8);
    EXPECT_EQ(WorkPixel(30, 10), kWhite);
    EXPECT_EQ(UndoPixel(30, 10), kWhite);
}

TEST_F(SelectionTest, WhileAddingThePolygonPreviewShowsTheHeldPiecesBorder) {
    PaintSettings.Tool = kToolSelectRectangle;
    Down(10, 10);
    Up(14, 14);
    ASSERT_EQ(PaintSettings.Tool, kToolFloatingPiece);
    PaintSettings.Select = 3;
    CanvasState.SelectModifier = 1;
    Down(30, 20);  // drops the piece and takes up the polygon selection
    Up(30, 20);
    ASSERT_EQ(PaintSettings.Tool, kToolSelectPolygon);
    Down(30, 20);
    MarkSurface();
    Move(35, 25);
    int dashes = 0;
    for (int i = 0; i < 4; ++i) {
        dashes += SurfacePixel(CanvasWindow(), 10 + i, 10) != kRed;
        dashes += SurfacePixel(CanvasWindow(), 10 + i, 13) != kRed;
    }
    EXPECT_GT(dashes, 0);
    EXPECT_EQ(WorkPixel(10, 10), kRed);  // the border is on screen only
}

TEST_F(SelectionTest, AWandTapOutsideThePictureWithTheModifierFloatsTheHeldPieceAgain) {
    PaintSettings.Select = 2;
    for (const int modifier : {1, 2}) {
        SCOPED_TRACE(modifier);
        CanvasState.SelectModifier = 0;
        PaintSettings.Tool = kToolSelectRectangle;
        Down(10, 10);
        Up(14, 14);
        ASSERT_EQ(PaintSettings.Tool, kToolFloatingPiece);
        CanvasState.SelectModifier = static_cast<std::int8_t>(modifier);
        Down(100, 80);  // beyond the 40 x 30 picture
        Up(100, 80);
        EXPECT_EQ(PaintSettings.Tool, kToolFloatingPiece);
        EXPECT_EQ(FloatingPiece.pieceX, 10);
        EXPECT_EQ(FloatingPiece.pieceWidth, 4u);
        EXPECT_EQ(UndoPixel(11, 11), kPaper);  // lifted again
        // Put it back for the next round.
        ShowPiece(nullptr, FloatingPiece.pieceX, FloatingPiece.pieceY, true);
        TakeImageUndo();
    }
    CanvasState.SelectModifier = 0;
    PaintSettings.Tool = kToolSelectMagicWand;
    FloatingPiece = FloatingPieceRecord{};
    Down(100, 80);
    Up(100, 80);
    EXPECT_EQ(PaintSettings.Tool, kToolSelectMagicWand);
    EXPECT_EQ(FloatingPiece.pieceDc, nullptr);
}

}  // namespace

namespace {

// Everything a selection leaves behind that the user or a later step can see.
struct SelectionOutcome {
    int made = 0;
    std::int32_t x = 0, y = 0, savedX = 0, savedY = 0;
    std::uint32_t width = 0, height = 0;
    std::vector<std::uint8_t> piece, mask, work, undo;
    int tool = 0;
    std::uint32_t phase = 0;

    bool operator==(const SelectionOutcome&) const = default;
};

std::vector<std::uint8_t> BytesOf(const PixelBuffer* buffer) {
    if (!buffer) return {};
    std::vector<std::uint8_t> bytes;
    const int rowBytes = buffer->Width() * buffer->BitsPerPixel() / 8;  // padding left out
    for (int y = 0; y < buffer->Height(); ++y) bytes.insert(bytes.end(), buffer->Row(y), buffer->Row(y) + rowBytes);
    return bytes;
}

SelectionOutcome OutcomeOf(int made) {
    const FloatingPieceRecord& p = FloatingPiece;
    return {made,       p.pieceX,  p.pieceY, p.savedPieceX, p.savedPieceY, p.pieceWidth, p.pieceHeight,
            BytesOf(p.pieceBitmap), BytesOf(p.maskBitmap), BytesOf(CurrentBox().workBitmap),
            BytesOf(CurrentBox().undoBitmap), PaintSettings.Tool, ImageState.AntsPhase};
}

// The selection as the piece builder's scratch form makes it, step by step: the reference the
// commands' and tools' shorter ways must match.
int ScratchWay(const std::function<void(PixelBuffer&)>& drawScratch, bool command) {
    if (command && PieceOnCanvas()) ShowPiece(nullptr, FloatingPiece.pieceX, FloatingPiece.pieceY, true);
    if (command) TakeImageUndo();
    drawScratch(*CurrentBox().workBitmap);
    if (MakePieceFromScratch() != 1) {
        if (command) PaintSettings.Tool = static_cast<std::int8_t>(SelectionToolOfGroup());
        return 0;
    }
    LiftPiece();
    if (command) PaintSettings.Group = 0;
    return 1;
}

void HeldPieceMaskBlit(PixelBuffer& scratch, BlitMode mode, int dx, int dy) {
    const FloatingPieceRecord& p = FloatingPiece;
    if (!p.pieceDc || !p.maskBitmap) return;
    MaskedBlit(scratch, p.pieceX + dx, p.pieceY + dy, static_cast<int>(p.pieceWidth), static_cast<int>(p.pieceHeight),
               nullptr, p.maskBitmap, 0, 0, mode);
}

// Select Similar's scratch: set wherever the undo copy's pixel lies within the channel ranges
// of the held piece's selected pixels.
void SimilarScratch(PixelBuffer& scratch) {
    const FloatingPieceRecord& p = FloatingPiece;
    int low[3] = {255, 255, 255}, high[3] = {0, 0, 0};
    for (int y = 0; y < static_cast<int>(p.pieceHeight); ++y) {
        for (int x = 0; x < static_cast<int>(p.pieceWidth); ++x) {
            if (p.maskBitmap->Row(y)[x] == kMaskOutside) continue;
            for (int c = 0; c < 3; ++c) {
                low[c] = std::min<int>(low[c], p.pieceBitmap->Row(y)[3 * x + c]);
                high[c] = std::max<int>(high[c], p.pieceBitmap->Row(y)[3 * x + c]);
            }
        }
    }
    const PixelBuffer& image = *CurrentBox().undoBitmap;
    for (int y = 0; y < scratch.Height(); ++y) {
        for (int x = 0; x < scratch.Width(); ++x) {
            bool in = true;
            for (int c = 0; c < 3; ++c) in = in && image.Row(y)[3 * x + c] >= low[c] && image.Row(y)[3 * x + c] <= high[c];
            std::uint8_t* out = scratch.Row(y) + 3 * x;
            out[0] = in ? 255 : 0;
            out[1] = out[2] = 0;
        }
    }
}

// Where a selection of the comparisons starts: the picture back in the image with an undo
// copy of it, the tool given, and no piece held.
void StartFrom(const PixelBuffer& picture, int tool) {
    FreeFloatingPiece();
    CopyPixels(CurrentBox().workBitmap, &picture);
    PaintSettings.Tool = static_cast<std::int8_t>(tool);
    TakeImageUndo();
    ImageState.AntsPhase = 0;
}

// A piece of width x height floating at (x, y), each of its pixels and mask bytes set by
// paint(x, y), its border marked.
void HoldPiece(int width, int height, int x, int y, const std::function<void(int, int)>& paint) {
    ASSERT_EQ(CreateFloatingPiece(width, height), 1);
    for (int py = 0; py < height; ++py) {
        for (int px = 0; px < width; ++px) paint(px, py);
    }
    MarkBorder(0);
    FloatingPiece.pieceX = x;
    FloatingPiece.pieceY = y;
    PaintSettings.Tool = kToolFloatingPiece;
}

// The selection made from start() the scratch way and again the short way: both outcomes must
// be the same. Returns the short way's.
SelectionOutcome SameAsTheScratchWay(const std::function<void()>& start,
                                     const std::function<void(PixelBuffer&)>& scratch, bool command,
                                     const std::function<int()>& shortWay, const char* name) {
    start();
    const SelectionOutcome expected = OutcomeOf(ScratchWay(scratch, command));
    start();
    SelectionOutcome got = OutcomeOf(shortWay());
    EXPECT_EQ(got.made, expected.made) << name;
    EXPECT_TRUE(got == expected) << name;
    return got;
}

}  // namespace

// Select All, Inverse, Grow, Similar, the wand and the rectangle reach their piece without
// drawing the scratch into the image; the piece, its mask, its place and both image buffers
// must be exactly what the scratch way gives, with and without a held piece, near the edges.
TEST_F(SelectionTest, EverySelectionEqualsTheScratchWay) {
    struct Case {
        const char* name;
        int pieceX, pieceY;  // a floating ring-shaped piece held there; pieceX < -100: none
        std::function<int()> shortWay;
        std::function<void(PixelBuffer&)> scratch;
        bool command;
    };
    const auto grow = [](PixelBuffer& scratch) {
        FillScratch(scratch, false);
        for (int i = -1; i <= 1; ++i) {
            for (int j = -1; j <= 1; ++j) HeldPieceMaskBlit(scratch, BlitMode::Union, i, j);
        }
    };
    const auto inverse = [](PixelBuffer& scratch) {
        FillScratch(scratch, true);
        HeldPieceMaskBlit(scratch, BlitMode::Inverted, 0, 0);
    };
    const auto wand = [](int x, int y) {
        return [x, y](PixelBuffer& scratch) {
            FloodFill(ImageState.CurrentImage, x, y, FillPaint{0, true, PaintSettings.WTolerance});
            WandMask(scratch, *CurrentBox().undoBitmap);
        };
    };
    const auto rectangle = [](int l, int t, int r, int b) {
        return [=](PixelBuffer& scratch) {
            FillScratch(scratch, false);
            FillScratchRect(scratch, l, t, r, b);
        };
    };
    const Case cases[] = {
        {"select all", -999, 0, SelectAll, [](PixelBuffer& s) { FillScratch(s, true); }, true},
        {"select all over a piece", 3, 4, SelectAll, [](PixelBuffer& s) { FillScratch(s, true); }, true},
        {"inverse", 6, 5, InverseSelection, inverse, true},
        {"inverse of a piece off the corner", -3, -2, InverseSelection, inverse, true},
        {"inverse without a piece", -999, 0, InverseSelection, inverse, true},
        {"grow", 6, 5, GrowSelection, grow, true},
        {"grow at the far corner", 31, 23, GrowSelection, grow, true},
        {"grow off the left edge", -4, 10, GrowSelection, grow, true},
        {"similar", 9, 8, SelectSimilar, SimilarScratch, true},
        {"wand", -999, 0, [] { return SelectWithWand(20, 20); }, wand(20, 20), false},
        {"wand on the red square", -999, 0, [] { return SelectWithWand(11, 11); }, wand(11, 11), false},
        {"wand outside the picture", -999, 0, [] { return SelectWithWand(-5, 3); }, wand(-5, 3), false},
        {"rectangle", -999, 0, [] { return SelectRectangle(3, 25, 30, 2); }, rectangle(3, 2, 30, 25), false},
        {"rectangle one pixel wide", -999, 0, [] { return SelectRectangle(3, 2, 4, 25); }, rectangle(3, 2, 4, 25), false},
    };
    raster::BitmapInfo header;
    std::unique_ptr<PixelBuffer> picture = CreatePixelBuffer(40, 30, 24, header, nullptr);
    std::uint32_t seed = 99;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            seed = seed * 1103515245u + 12345u;
            // Few shades, so the wand and Similar find neighbours; the red square stays.
            const raster::Colour c = (x >= 10 && x < 14 && y >= 10 && y < 14) ? kRed : 0x404040 * ((seed >> 12) % 3 + 1);
            raster::SetPixel(*CurrentBox().workDc, x, y, c);
        }
    }
    CopyPixels(picture.get(), CurrentBox().workBitmap);
    PaintSettings.WTolerance = 0;
    for (const Case& c : cases) {
        const auto start = [&] {
            StartFrom(*picture, c.command ? kToolSelectRectangle : kToolSelectMagicWand);
            if (c.pieceX < -100) return;
            HoldPiece(12, 9, c.pieceX, c.pieceY, [](int x, int y) {
                raster::SetPixel(*FloatingPiece.pieceDc, x, y, raster::MakeColour(x * 20, y * 25, 77));
                const bool ring = x < 2 || y < 2 || x >= 10 || y >= 7;
                FloatingPiece.maskBitmap->Row(y)[x] = ring ? kMaskInside : kMaskOutside;
            });
        };
        const SelectionOutcome got = SameAsTheScratchWay(start, c.scratch, c.command, c.shortWay, c.name);
        if (got.made != 1 || c.pieceX >= -100) continue;
        // Lifted from the picture alone: the undo copy and the image both hold the picture with
        // the background colour wherever the mask is set.
        EXPECT_EQ(got.work, got.undo) << c.name;
        const FloatingPieceRecord& p = FloatingPiece;
        for (int y = 0; y < 30; ++y) {
            for (int x = 0; x < 40; ++x) {
                const int mx = x - p.pieceX;
                const int my = y - p.pieceY;
                const bool lifted = mx >= 0 && my >= 0 && mx < static_cast<int>(p.pieceWidth) &&
                                    my < static_cast<int>(p.pieceHeight) && p.maskBitmap->Row(my)[mx] != kMaskOutside;
                const std::uint8_t* was = picture->Row(y) + 3 * x;
                const raster::Colour want = lifted ? PaintSettings.BColor : raster::MakeColour(was[2], was[1], was[0]);
                ASSERT_EQ(WorkPixel(x, y), want) << c.name << " at " << x << "," << y;
            }
        }
    }
}

// A wand tap marks its fill in a map beside the picture when its stylus-down copy is known to
// hold the picture; with that knowledge lost in between (anything else changed the document),
// the fill is painted into the picture and compared with the copy. Both must give the same
// piece, buffers, undo records and view, at every tolerance: also where the fill reaches a
// pixel whose blue and green bytes already have the fill colour's, which painting leaves
// unselected.
TEST_F(SelectionTest, AWandTapFromItsDownCopyEqualsThePaintedFill) {
    const raster::Colour seedColour = raster::MakeColour(128, 128, 128);  // its fill is (1, 1, 1)
    const raster::Colour sameBlueGreen = raster::MakeColour(128, 1, 1);   // 254 away: inside at 254
    std::uint32_t seed = 7;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            seed = seed * 1103515245u + 12345u;
            const raster::Colour shades[] = {seedColour, raster::MakeColour(140, 120, 128), raster::MakeColour(20, 60, 200),
                                             sameBlueGreen, raster::MakeColour(250, 250, 250)};
            raster::SetPixel(*CurrentBox().workDc, x, y, shades[(seed >> 12) % 5]);
        }
    }
    raster::SetPixel(*CurrentBox().workDc, 20, 20, seedColour);
    raster::SetPixel(*CurrentBox().workDc, 21, 20, sameBlueGreen);
    raster::BitmapInfo header;
    std::unique_ptr<PixelBuffer> picture = CreatePixelBuffer(40, 30, 24, header, nullptr);
    CopyPixels(picture.get(), CurrentBox().workBitmap);
    struct Case {
        int tolerance, x, y;
    };
    const Case cases[] = {{0, 20, 20}, {32, 20, 20}, {253, 20, 20}, {254, 20, 20}, {255, 20, 20},
                          {255, 0, 29}, {100, 39, 0}, {0, 150, 100}};
    for (const Case& c : cases) {
        struct Result {
            SelectionOutcome outcome;
            std::vector<std::uint8_t> view;
            std::uint32_t undoKind;
        };
        const auto tap = [&](bool forget) {
            FreeFloatingPiece();
            CopyPixels(CurrentBox().workBitmap, picture.get());
            TakeImageUndo();
            ImageState.AntsPhase = 0;
            PaintSettings.Tool = kToolSelectMagicWand;
            PaintSettings.WTolerance = static_cast<std::uint8_t>(c.tolerance);
            MarkSurface();
            Down(c.x, c.y);
            if (forget) ForgetWorkEqualsUndo();
            Up(c.x, c.y);
            return Result{OutcomeOf(FloatingPiece.pieceDc ? 1 : 0), BytesOf(CanvasWindow().GetDC().SelectedBitmap()),
                          ImageState.UndoKind};
        };
        const Result painted = tap(true);
        const Result marked = tap(false);
        const std::string name = "tolerance " + std::to_string(c.tolerance) + " at " + std::to_string(c.x) + "," +
                                 std::to_string(c.y);
        EXPECT_TRUE(marked.outcome == painted.outcome) << name;
        EXPECT_EQ(marked.outcome.made, painted.outcome.made) << name;
        EXPECT_EQ(marked.outcome.mask, painted.outcome.mask) << name;
        EXPECT_TRUE(marked.view == painted.view) << name;
        EXPECT_EQ(marked.undoKind, painted.undoKind) << name;
        if (c.tolerance == 254 && c.x == 20) {
            // The neighbour with the fill's blue and green is reached but not selected.
            ASSERT_EQ(painted.outcome.made, 1) << name;
            EXPECT_NE(WorkPixel(20, 20), seedColour) << name;
            EXPECT_EQ(WorkPixel(21, 20), sameBlueGreen) << name;
        }
    }
}

// A lasso that replaces the held piece marks its crossings in a map beside the picture; one
// that lost that way during its gesture (the document changed under it) falls back to the
// scratch in the picture. Both must lift the same piece and leave the same buffers, undo
// records and view, for loops, figure eights, strokes leaving the picture and tiny lassos.
TEST_F(SelectionTest, ALassoMarkedInAMapEqualsTheScratchLasso) {
    struct Case {
        const char* name;
        std::vector<std::pair<int, int>> points;  // down, moves, up
    };
    const Case cases[] = {
        {"figure eight", {{2, 2}, {12, 12}, {12, 2}, {2, 12}, {2, 12}}},
        {"loop with turns", {{5, 5}, {30, 3}, {35, 20}, {20, 10}, {8, 25}, {3, 15}, {3, 15}}},
        {"out of the picture", {{-10, 5}, {60, 8}, {45, 40}, {5, 35}, {5, 35}}},
        {"a line", {{4, 4}, {30, 4}, {30, 4}}},
        {"one point", {{7, 7}, {7, 7}}},
    };
    std::uint32_t seed = 3;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            seed = seed * 1103515245u + 12345u;
            raster::SetPixel(*CurrentBox().workDc, x, y, (seed >> 8) & 0xFFFFFF);
        }
    }
    raster::BitmapInfo header;
    std::unique_ptr<PixelBuffer> picture = CreatePixelBuffer(40, 30, 24, header, nullptr);
    CopyPixels(picture.get(), CurrentBox().workBitmap);
    for (const Case& c : cases) {
        const auto lasso = [&](bool forget) {
            FreeFloatingPiece();
            CopyPixels(CurrentBox().workBitmap, picture.get());
            TakeImageUndo();
            ImageState.AntsPhase = 0;
            PaintSettings.Tool = kToolSelectLasso;
            MarkSurface();
            const std::size_t last = c.points.size() - 1;
            for (std::size_t i = 0; i <= last; ++i) {
                const auto [x, y] = c.points[i];
                if (i == 0) {
                    Down(x, y);
                    if (forget) ForgetWorkEqualsUndo();
                } else if (i == last) {
                    Up(x, y);
                } else {
                    Move(x, y);
                }
            }
            return std::pair{OutcomeOf(FloatingPiece.pieceDc ? 1 : 0), BytesOf(CanvasWindow().GetDC().SelectedBitmap())};
        };
        const auto scratch = lasso(true);
        const auto marked = lasso(false);
        EXPECT_EQ(marked.first.made, scratch.first.made) << c.name;
        EXPECT_EQ(marked.first.mask, scratch.first.mask) << c.name;
        EXPECT_TRUE(marked.first == scratch.first) << c.name;
        EXPECT_TRUE(marked.second == scratch.second) << c.name;
    }
}

// A lasso begun left of the picture makes no selection; it used to leave the picture black
// with the scratch it drew, since its release closes no lasso. With and without a held piece
// to add to, the picture and the piece stay as they were.
TEST_F(SelectionTest, ALassoBegunLeftOfThePictureLeavesThePictureAlone) {
    for (const bool adding : {false, true}) {
        FreeFloatingPiece();
        raster::FillRect(*CurrentBox().workDc, {0, 0, 40, 30}, kWhite);
        raster::FillRect(*CurrentBox().workDc, {10, 10, 14, 14}, kRed);
        TakeImageUndo();
        if (adding) {
            MakeFloatingPiece();
            CanvasState.SelectModifier = 1;
        }
        PaintSettings.Tool = kToolSelectLasso;
        const std::vector<std::uint8_t> before = BytesOf(CurrentBox().workBitmap);
        Down(-5, 3);
        Move(30, 5);
        Move(25, 25);
        Up(25, 25);
        EXPECT_EQ(CanvasState.LassoStartX, -1) << adding;
        EXPECT_TRUE(BytesOf(CurrentBox().workBitmap) == before) << adding;
        EXPECT_EQ(WorkPixel(12, 12), kRed) << adding;
        EXPECT_EQ(FloatingPiece.pieceDc != nullptr, adding) << adding;
        CanvasState.SelectModifier = 0;
    }
}

// Similar's ranges come from every selected pixel of the held piece and from no other pixel,
// however its rows are shared between threads and wherever in a run of the mask the extreme
// pixel lies: within the first sixteen pixels, further in, or in the run's last few.
TEST_F(SelectionTest, SimilarRangesComeFromEverySelectedPixelAndNoOther) {
    struct Case {
        const char* name;
        int threads;
        int runPlace;  // the extreme pixel's place in its run of 38; -1: in a gap, not selected
        int row;
    };
    const Case cases[] = {
        {"first block, one thread", 1, 3, 7},   {"second block, two threads", 2, 20, 150},
        {"tail, three threads", 3, 35, 399},    {"first pixel of a run, three threads", 3, 0, 300},
        {"not selected", 2, -1, 200},
    };
    constexpr int kW = 520, kH = 420, kPieceW = 500, kPieceH = 400;
    // The mask: runs of 38 selected pixels between gaps of 3, shifted from row to row.
    const auto selected = [](int x, int y) { return (x + 3 * y) % 41 >= 3; };
    FreeImageBox(ImageState.CurrentImage);
    MakeImage(kW, kH);
    raster::BitmapInfo header;
    std::unique_ptr<PixelBuffer> picture = CreatePixelBuffer(kW, kH, 24, header, nullptr);
    std::uint32_t seed = 5;
    const auto next = [&seed](int range) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 12) % static_cast<std::uint32_t>(range));
    };
    // Mid shades, and darker blues and brighter reds that only a widened range takes in.
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            std::uint8_t* px = picture->Row(y) + 3 * x;
            for (int c = 0; c < 3; ++c) px[c] = static_cast<std::uint8_t>(100 + next(50));
            if (next(10) == 0) px[0] = static_cast<std::uint8_t>(10 + next(90));
            if (next(10) == 0) px[2] = static_cast<std::uint8_t>(150 + next(100));
        }
    }
    std::vector<long> selectedCounts;
    for (const Case& c : cases) {
        int extremeX = 0;
        while (c.runPlace < 0 ? selected(extremeX, c.row) : (extremeX + 3 * c.row) % 41 != 3 + c.runPlace) ++extremeX;
        const auto start = [&] {
            StartFrom(*picture, kToolSelectRectangle);
            HoldPiece(kPieceW, kPieceH, 10, 10, [&](int x, int y) {
                // The piece is all mid shades but for the one extreme pixel.
                std::uint8_t* px = FloatingPiece.pieceBitmap->Row(y) + 3 * x;
                for (int k = 0; k < 3; ++k) px[k] = static_cast<std::uint8_t>(110 + (x + y + k) % 30);
                if (y == c.row && x == extremeX) {
                    px[0] = 12;
                    px[2] = 240;
                }
                FloatingPiece.maskBitmap->Row(y)[x] = selected(x, y) ? kMaskInside : kMaskOutside;
            });
        };
        RowThreadsWanted = c.threads;
        const SelectionOutcome got = SameAsTheScratchWay(start, SimilarScratch, true, SelectSimilar, c.name);
        RowThreadsWanted = 0;
        selectedCounts.push_back(std::count_if(got.mask.begin(), got.mask.end(), [](std::uint8_t m) { return m != 0; }));
    }
    // A selected extreme widens the ranges to the darker blues and brighter reds.
    for (std::size_t k = 0; k + 1 < selectedCounts.size(); ++k) EXPECT_GT(selectedCounts[k], selectedCounts.back() + 1000);
}
