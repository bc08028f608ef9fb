#include "image/ToolIds.h"
#include "support/DocumentFixture.h"

namespace {

using UndoTest = DocumentFixture;

constexpr raster::Colour kRed = 0x0000FF;
constexpr raster::Colour kWhite = 0xFFFFFF;

std::unique_ptr<raster::DrawingContext> MakeContext(int width, int height, int bitsPerPixel) {
    raster::BitmapInfo header;
    std::uint8_t* bits = nullptr;
    return std::make_unique<raster::DrawingContext>(CreatePixelBuffer(width, height, bitsPerPixel, header, &bits));
}

TEST_F(UndoTest, UndoTakesThePaintAwayAndASecondUndoBringsItBack) {
    MakeImage(10, 10);
    PaintSettings.Tool = kToolPen;
    ASSERT_EQ(TakeImageUndo(), 1);
    EXPECT_EQ(ImageState.UndoKind, static_cast<std::uint32_t>(kToolPen));
    EXPECT_EQ(ImageState.ImageModified, 1);
    SetWorkPixel(4, 5, kRed);
    Undo();
    EXPECT_EQ(WorkPixel(4, 5), kWhite);
    Undo();
    EXPECT_EQ(WorkPixel(4, 5), kRed);
    EXPECT_EQ(ImageState.UndoKind, static_cast<std::uint32_t>(kToolPen));
}

TEST_F(UndoTest, TakingACopyMarksTheDocumentModifiedEvenWithoutAChange) {
    MakeImage(3, 3);
    ASSERT_EQ(ImageState.ImageModified, 0);
    TakeImageUndo();
    EXPECT_EQ(ImageState.ImageModified, 1);
}

TEST_F(UndoTest, UndoAfterASaveLeavesThePictureUnsavedAgainButNotAPolygonVertexUndo) {
    MakeImage(10, 10);
    PaintSettings.Tool = kToolPen;
    TakeImageUndo();
    SetWorkPixel(4, 5, kRed);
    ImageState.ImageModified = 0;  // as a save leaves it
    Undo();
    EXPECT_EQ(WorkPixel(4, 5), kWhite);
    EXPECT_EQ(ImageState.ImageModified, 1);
    // Taking back a vertex of an open polygon leaves the picture as it was written.
    PaintSettings.Tool = kToolPolygon;
    TakeImageUndo();
    CanvasState.PolygonCount = 2;
    ImageState.ImageModified = 0;
    Undo();
    EXPECT_EQ(CanvasState.PolygonCount, 1u);
    EXPECT_EQ(ImageState.ImageModified, 0);
}

TEST_F(UndoTest, UndoOfAResizeBringsBackTheOldSizeAndRedoesTheScrollBars) {
    ImageBox& box = MakeImage(10, 10);
    SetWorkPixel(9, 9, kRed);
    TakeImageUndo();
    ImageState.UndoKind = kUndoKindFilter;
    box.width = 400;
    box.height = 300;
    ASSERT_EQ(CreateWorkBuffer(ImageState.CurrentImage, 24), 1);
    SetupScrollBars(ImageState.CurrentImage, 0.0f, 0.0f);
    EXPECT_EQ(CanvasWindow().GetScrollBar(platform::ScrollBarKind::Horizontal).max, 400);

    Undo();
    EXPECT_EQ(box.width, 10);
    EXPECT_EQ(box.height, 10);
    EXPECT_EQ(WorkPixel(9, 9), kRed);
    EXPECT_EQ(CanvasWindow().GetScrollBar(platform::ScrollBarKind::Horizontal).max, 10);
    EXPECT_EQ(CanvasWindow().GetScrollBar(platform::ScrollBarKind::Vertical).max, 10);

    // The next copy re-makes the undo buffer at the image's size.
    ASSERT_EQ(TakeImageUndo(), 1);
    EXPECT_EQ(box.undoBitmap->Width(), 10);
    EXPECT_EQ(box.undoBitmap->Height(), 10);
    EXPECT_EQ(UndoPixel(9, 9), kRed);
}

TEST_F(UndoTest, WithAPolygonInProgressUndoRemovesTheLastVertexOnly) {
    MakeImage(10, 10);
    PaintSettings.Tool = kToolPolygon;
    SetWorkPixel(1, 1, kRed);
    TakeImageUndo();
    CanvasState.PolygonCount = 3;
    Undo();
    EXPECT_EQ(CanvasState.PolygonCount, 2u);
    EXPECT_EQ(WorkPixel(1, 1), kRed);
}

TEST_F(UndoTest, UndoWhileAPieceFloatsReturnsItToWhereItWasMade) {
    MakeImage(20, 20);
    ASSERT_EQ(CreateFloatingPiece(4, 4), 1);
    FloatingPiece.savedPieceX = 3;
    FloatingPiece.savedPieceY = 5;
    FloatingPiece.pieceX = 12;
    FloatingPiece.pieceY = -2;
    PaintSettings.Tool = kToolFloatingPiece;
    ImageState.UndoKind = kToolSelectRectangle;
    Undo();
    EXPECT_EQ(FloatingPiece.pieceX, 3);
    EXPECT_EQ(FloatingPiece.pieceY, 5);
}

TEST_F(UndoTest, UndoAfterADropWithASelectionToolFloatsThePieceAgain) {
    MakeImage(20, 20);
    ASSERT_EQ(CreateFloatingPiece(4, 4), 1);
    PaintSettings.Tool = kToolSelectLasso;
    TakeImageUndo();
    MarkUndoUnderPiece(3, 5);  // as the drop does
    SetWorkPixel(0, 0, kRed);  // the dropped piece, merged
    Undo();
    EXPECT_EQ(PaintSettings.Tool, kToolFloatingPiece);
    EXPECT_EQ(FloatingPiece.pieceX, 3);
    EXPECT_EQ(FloatingPiece.pieceY, 5);
    // The buffers were not exchanged: the image under the floating piece is the clean copy.
    EXPECT_EQ(UndoPixel(0, 0), kWhite);
    EXPECT_EQ(WorkPixel(0, 0), kWhite);

    // After a filter, or any copy taken since the drop, the buffers are exchanged instead.
    PaintSettings.Tool = kToolSelectLasso;
    TakeImageUndo();
    ImageState.UndoKind = kUndoKindFilter;
    SetWorkPixel(0, 0, kRed);
    Undo();
    EXPECT_EQ(PaintSettings.Tool, kToolSelectLasso);
    EXPECT_EQ(WorkPixel(0, 0), kWhite);
    EXPECT_EQ(UndoPixel(0, 0), kRed);
}

TEST_F(UndoTest, PieceUndoExchangesThePieceAndItsMask) {
    MakeImage(20, 20);
    ASSERT_EQ(CreateFloatingPiece(3, 2), 1);
    FloatingPieceRecord& p = FloatingPiece;
    raster::SetPixel(*p.pieceDc, 1, 1, kRed);
    p.maskBitmap->Row(0)[2] = kMaskInside;
    PaintSettings.Tool = kToolFloatingPiece;
    ASSERT_EQ(TakePieceUndo(), 1);
    EXPECT_EQ(ImageState.UndoKind, kUndoKindPiece);
    EXPECT_EQ(ImageState.ImageModified, 1);  // Save would write the changed piece where it floats
    raster::SetPixel(*p.pieceDc, 1, 1, kWhite);
    p.maskBitmap->Row(0)[2] = kMaskOutside;

    Undo();
    EXPECT_EQ(raster::GetPixel(*p.pieceDc, 1, 1), kRed);
    EXPECT_EQ(p.maskBitmap->Row(0)[2], kMaskInside);
    Undo();
    EXPECT_EQ(raster::GetPixel(*p.pieceDc, 1, 1), kWhite);
    EXPECT_EQ(p.maskBitmap->Row(0)[2], kMaskOutside);
}

TEST_F(UndoTest, PieceUndoTwinsFollowAChangeOfThePieceSize) {
    MakeImage(20, 20);
    ASSERT_EQ(CreateFloatingPiece(3, 2), 1);
    FloatingPieceRecord& p = FloatingPiece;
    // A piece resized in place (as the size dialog does) gets twins of its new size.
    p.pieceDc = MakeContext(6, 5, 24);
    p.pieceBitmap = p.pieceDc->SelectedBitmap();
    p.maskDc = MakeContext(6, 5, 8);
    p.maskBitmap = p.maskDc->SelectedBitmap();
    p.pieceWidth = 6;
    p.pieceHeight = 5;
    ASSERT_EQ(TakePieceUndo(), 1);
    EXPECT_EQ(p.pieceUndoBitmap->Width(), 6);
    EXPECT_EQ(p.pieceUndoBitmap->Height(), 5);
    EXPECT_EQ(p.maskUndoBitmap->Width(), 6);
    EXPECT_EQ(p.maskUndoBitmap->BitsPerPixel(), 8);
}

}  // namespace
