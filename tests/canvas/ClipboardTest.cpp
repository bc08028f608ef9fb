// Copy, Cut and Paste with the desktop clipboard: the piece goes out with its selected pixels,
// and an image another program put there since our last Copy or Cut comes in as the piece.
#include <gtest/gtest.h>

#include "support/CanvasFixture.h"
#include "platform/Clipboard.h"
#include "tools/DesktopClipboard.h"
#include "tools/SelectionCommands.h"

namespace {

constexpr raster::Colour kBlue = 0xFF0000;

std::unique_ptr<raster::Bitmap> Filled(int w, int h, int bits, std::uint8_t value) {
    raster::BitmapInfo info{};
    info.header.width = w;
    info.header.height = h;
    info.header.bitCount = static_cast<std::uint16_t>(bits);
    std::unique_ptr<raster::Bitmap> bitmap = raster::Bitmap::Create(info);
    std::fill_n(bitmap->Bits(), bitmap->ByteSize(), value);
    return bitmap;
}

// A picture of another program: blue, w x h, with pixel (1, 0) red.
std::unique_ptr<raster::Bitmap> ForeignPicture(int w, int h) {
    std::unique_ptr<raster::Bitmap> pixels = Filled(w, h, 24, 0);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) pixels->Row(y)[3 * x] = 0xFF;
    }
    pixels->Row(0)[3] = 0;
    pixels->Row(0)[5] = 0xFF;
    return pixels;
}

class ClipboardTest : public CanvasTest {
protected:
    void SetUp() override {
        CanvasTest::SetUp();
        platform::SetClipboardService(&clipboard);
        MakeImage(40, 30);
        raster::FillRect(*CurrentBox().workDc, {10, 10, 15, 15}, kRed);
    }
    void TearDown() override {
        platform::SetClipboardService(nullptr);
        CanvasTest::TearDown();
    }
    // A lasso-like piece: the 5 x 5 red square selected but for its corner (0, 0).
    void LiftRedSquare() {
        PaintSettings.Tool = kToolSelectRectangle;
        Down(10, 10);
        Up(15, 15);
        ASSERT_EQ(PaintSettings.Tool, kToolFloatingPiece);
        FloatingPiece.maskBitmap->Row(0)[0] = kMaskOutside;
    }

    platform::MemoryClipboard clipboard;
};

TEST_F(ClipboardTest, CopyAndCutPutTheSelectedPixelsOnTheClipboard) {
    LiftRedSquare();
    ASSERT_EQ(CopyPiece(), 1);
    ASSERT_EQ(PutPieceOnClipboard(), 1);
    const raster::Bitmap* held = clipboard.HeldPixels();
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(held->Width(), 5);
    EXPECT_EQ(held->Height(), 5);
    const std::uint8_t* red = held->Row(2) + 6;
    EXPECT_EQ(raster::MakeColour(red[2], red[1], red[0]), kRed);
    ASSERT_NE(clipboard.HeldMask(), nullptr);
    EXPECT_EQ(clipboard.HeldMask()->Row(0)[0], kMaskOutside);
    EXPECT_NE(clipboard.HeldMask()->Row(2)[2], kMaskOutside);
    // Our own image is no reason to leave the held piece: Paste floats the piece again.
    EXPECT_FALSE(ClipboardImageWaiting());
    ASSERT_EQ(PasteFromClipboard(), 1);
    EXPECT_EQ(FloatingPiece.pieceWidth, 5u);
    EXPECT_EQ(FloatingPiece.maskBitmap->Row(0)[0], kMaskOutside);
    clipboard.Clear();
    ASSERT_EQ(CutPiece(), 1);
    ASSERT_EQ(PutPieceOnClipboard(), 1);
    EXPECT_EQ(clipboard.HeldPixels()->Width(), 5);
    EXPECT_FALSE(ClipboardImageWaiting());
}

TEST_F(ClipboardTest, PasteTakesAnotherProgramsImageAtTheTopLeftOfTheView) {
    LiftRedSquare();
    ASSERT_EQ(CopyPiece(), 1);
    PutPieceOnClipboard();
    // Another program copies a picture larger than the document.
    clipboard.PutForeignImage(*ForeignPicture(60, 45), nullptr);
    EXPECT_TRUE(ClipboardImageWaiting());
    ImageState.ZoomFactor = 2.0f;
    CurrentBox().scrollX = 21;
    CurrentBox().scrollY = 9;
    ASSERT_EQ(PasteFromClipboard(), 1);
    EXPECT_EQ(PaintSettings.Tool, kToolFloatingPiece);
    EXPECT_EQ(PaintSettings.Group, 0);
    // Whole, not cut to the document.
    EXPECT_EQ(FloatingPiece.pieceWidth, 60u);
    EXPECT_EQ(FloatingPiece.pieceHeight, 45u);
    EXPECT_EQ(FloatingPiece.pieceX, 10);
    EXPECT_EQ(FloatingPiece.pieceY, 4);
    EXPECT_EQ(PiecePixel(0, 0), kBlue);
    EXPECT_EQ(PiecePixel(1, 0), kRed);
    // Every pixel selected, the outer ones the border.
    EXPECT_EQ(FloatingPiece.maskBitmap->Row(0)[0], kMaskBorder);
    EXPECT_EQ(FloatingPiece.maskBitmap->Row(20)[30], kMaskInside);
    // Floating over the image, which is as it was beneath it.
    EXPECT_EQ(UndoPixel(12, 12), kRed);
    EXPECT_EQ(WorkPixel(12, 12), kRed);
    // Put down, the picture shows it from the view's corner on.
    PaintSettings.Tool = kToolSelectRectangle;
    ShowPiece(nullptr, FloatingPiece.pieceX, FloatingPiece.pieceY, true);
    EXPECT_EQ(WorkPixel(11, 4), kRed);
    EXPECT_EQ(WorkPixel(39, 29), kBlue);
    EXPECT_EQ(WorkPixel(9, 3), kPaper);
    // The same image pasted again is still not ours: it comes in again.
    EXPECT_TRUE(ClipboardImageWaiting());
}

TEST_F(ClipboardTest, TransparentPartsOfAPastedImageStayOutOfThePiece) {
    std::unique_ptr<raster::Bitmap> mask = Filled(6, 4, 8, 255);
    mask->Row(0)[0] = 0;
    mask->Row(3)[5] = 0;
    clipboard.PutForeignImage(*ForeignPicture(6, 4), mask.get());
    ASSERT_EQ(PasteFromClipboard(), 1);
    EXPECT_EQ(FloatingPiece.maskBitmap->Row(0)[0], kMaskOutside);
    EXPECT_EQ(FloatingPiece.maskBitmap->Row(3)[5], kMaskOutside);
    EXPECT_EQ(FloatingPiece.maskBitmap->Row(0)[1], kMaskBorder);
    EXPECT_EQ(FloatingPiece.maskBitmap->Row(2)[2], kMaskInside);
}

TEST_F(ClipboardTest, APieceFloatingWhenAnImageIsPastedIsPutDownFirst) {
    LiftRedSquare();
    ASSERT_EQ(FloatingPiece.pieceX, 10);
    FloatingPiece.pieceX = 20;  // moved before the paste
    clipboard.PutForeignImage(*ForeignPicture(3, 3), nullptr);
    ASSERT_EQ(PasteFromClipboard(), 1);
    EXPECT_EQ(FloatingPiece.pieceWidth, 3u);
    EXPECT_EQ(UndoPixel(22, 12), kRed);  // the red square lies where it was moved
    EXPECT_EQ(UndoPixel(12, 12), kPaper);
}

TEST_F(ClipboardTest, WithNothingAnywherePasteDoesNothing) {
    EXPECT_FALSE(ClipboardImageWaiting());
    EXPECT_EQ(PasteFromClipboard(), 0);
    EXPECT_EQ(FloatingPiece.pieceDc, nullptr);
    EXPECT_EQ(ImageState.ImageModified, 0);
}

}  // namespace
