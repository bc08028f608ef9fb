#include "image/ToolIds.h"
#include "support/DocumentFixture.h"

namespace {

using ImageSlots = DocumentFixture;

bool AllPixelsAre(const PixelBuffer& buffer, raster::Colour colour) {
    for (int y = 0; y < buffer.Height(); ++y) {
        const std::uint8_t* row = buffer.Row(y);
        for (int x = 0; x < buffer.Width(); ++x) {
            if (row[3 * x] != raster::BlueOf(colour) || row[3 * x + 1] != raster::GreenOf(colour) ||
                row[3 * x + 2] != raster::RedOf(colour)) {
                return false;
            }
        }
    }
    return true;
}

TEST_F(ImageSlots, NewImageTakesSlotOneInTheBackgroundColourAtFullZoom) {
    PaintSettings.BColor = raster::MakeColour(10, 20, 30);
    ImageState.ZoomFactor = 4.0f;
    ASSERT_EQ(CreateImage(240, 228), 1);
    EXPECT_EQ(ImageState.CurrentImage, 1u);
    const ImageBox& box = CurrentBox();
    ASSERT_NE(box.window, nullptr);
    ASSERT_NE(box.workBitmap, nullptr);
    ASSERT_NE(box.undoBitmap, nullptr);
    EXPECT_EQ(box.width, 240);
    EXPECT_EQ(box.height, 228);
    EXPECT_EQ(box.workBitmap->BitsPerPixel(), 24);
    EXPECT_TRUE(AllPixelsAre(*box.workBitmap, PaintSettings.BColor));
    EXPECT_TRUE(AllPixelsAre(*box.undoBitmap, PaintSettings.BColor));
    EXPECT_EQ(ImageState.ZoomFactor, 1.0f);
    const auto& style = static_cast<platform::HeadlessWindow*>(box.window)->Style();
    EXPECT_TRUE(style.border && style.horizontalScrollBar && style.verticalScrollBar && style.doubleClicks);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ImageSlots, NewImageReplacesTheFloatingPieceToolBySelectGroupEntry) {
    const int expected[] = {kToolSelectRectangle, kToolSelectLasso, kToolSelectMagicWand, kToolSelectPolygon};
    for (int entry = 0; entry < 4; ++entry) {
        PaintSettings.Select = static_cast<std::int16_t>(entry);
        PaintSettings.Tool = kToolFloatingPiece;
        ASSERT_EQ(CreateImage(4, 4), 1);
        EXPECT_EQ(PaintSettings.Tool, expected[entry]) << "entry " << entry;
        FreeImageBox(ImageState.CurrentImage);
    }
    PaintSettings.Tool = kToolPen;
    ASSERT_EQ(CreateImage(4, 4), 1);
    EXPECT_EQ(PaintSettings.Tool, kToolPen);
}

TEST_F(ImageSlots, AbsurdSizeShowsTheOutOfMemoryMessageAndFreesTheSlot) {
    EXPECT_EQ(CreateImage(40000, 10), 0);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "There is not enough memory to create the bitmap.");
    EXPECT_EQ(messages.shown[0].caption, "Out Of Memory Error");
    EXPECT_EQ(messages.shown[0].icon, platform::MessageIcon::Stop);
    EXPECT_EQ(ImageState.CurrentImage, 1u);  // the failed index stays, with nothing in it
    EXPECT_EQ(ImageBoxTable[1].window, nullptr);
    EXPECT_EQ(ImageBoxTable[1].workBitmap, nullptr);
    EXPECT_TRUE(windows.LiveWindows().empty());
}

TEST_F(ImageSlots, SlotsAreTakenLowestFirstAndRunOut) {
    for (std::uint32_t expected = 1; expected < kImageSlots; ++expected) {
        EXPECT_EQ(AllocateImageBox(0, 0, 0, 0, 2, 2, CanvasProcedure()), expected);
    }
    EXPECT_EQ(AllocateImageBox(0, 0, 0, 0, 2, 2, CanvasProcedure()), 0u);
    FreeImageBox(4);
    EXPECT_EQ(AllocateImageBox(0, 0, 0, 0, 2, 2, CanvasProcedure()), 4u);
}

TEST_F(ImageSlots, FreeingReleasesBuffersWindowAndScrollPosition) {
    ImageBox& box = MakeImage(10, 10);
    box.scrollX = 7;
    box.scrollY = 9;
    FreeImageBox(ImageState.CurrentImage);
    EXPECT_EQ(box.window, nullptr);
    EXPECT_EQ(box.workDc, nullptr);
    EXPECT_EQ(box.undoDc, nullptr);
    EXPECT_EQ(box.workBitmap, nullptr);
    EXPECT_EQ(box.undoBitmap, nullptr);
    EXPECT_EQ(box.scrollX, 0);
    EXPECT_EQ(box.scrollY, 0);
    EXPECT_TRUE(windows.LiveWindows().empty());
}

TEST_F(ImageSlots, FloatingPieceStartsInBackgroundWithEmptyMaskAndTwins) {
    PaintSettings.BColor = raster::MakeColour(200, 100, 50);
    ASSERT_EQ(CreateFloatingPiece(5, 3), 1);
    const FloatingPieceRecord& p = FloatingPiece;
    EXPECT_EQ(p.pieceWidth, 5u);
    EXPECT_EQ(p.pieceHeight, 3u);
    ASSERT_TRUE(p.pieceBitmap && p.maskBitmap && p.pieceUndoBitmap && p.maskUndoBitmap);
    EXPECT_EQ(p.maskBitmap->BitsPerPixel(), 8);
    EXPECT_EQ(p.maskBitmap->Stride(), 8);
    EXPECT_TRUE(AllPixelsAre(*p.pieceBitmap, PaintSettings.BColor));
    // The twins are filled when first read, in the colour the piece was made in.
    const raster::Colour made = PaintSettings.BColor;
    PaintSettings.BColor = raster::MakeColour(1, 2, 3);
    FillBlankPieceTwins();
    EXPECT_TRUE(AllPixelsAre(*p.pieceUndoBitmap, made));
    for (const PixelBuffer* mask : {p.maskBitmap, p.maskUndoBitmap}) {
        for (std::size_t i = 0; i < mask->ByteSize(); ++i) ASSERT_EQ(mask->Bits()[i], 0) << i;
    }
}

TEST_F(ImageSlots, FailedPieceLeavesNoHalfMadePiece) {
    ASSERT_EQ(CreateFloatingPiece(5, 3), 1);
    EXPECT_EQ(CreateFloatingPiece(33000, 2), 0);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "There is not enough memory to store the brush.");
    EXPECT_EQ(messages.shown[0].caption, "Out Of Memory Error");
    EXPECT_EQ(FloatingPiece.pieceDc, nullptr);
    EXPECT_EQ(FloatingPiece.maskDc, nullptr);
    EXPECT_EQ(FloatingPiece.pieceUndoDc, nullptr);
    EXPECT_EQ(FloatingPiece.pieceWidth, 0u);
    EXPECT_EQ(FloatingPiece.pieceHeight, 0u);
    // Showing "the piece" now must do nothing rather than read buffers that are not there.
    MakeImage(4, 4);
    ShowPiece(nullptr, 0, 0, true);
}

}  // namespace
