#include "image/ToolIds.h"
#include "shell/Menus.h"
#include "support/CanvasFixture.h"
#include "tools/ToolGroups.h"

namespace {

TEST(CanvasCoordinates, ZoomAndScrollAreTruncatedSeparately) {
    const CanvasPoint p = CanvasCoordinates(7, 0, 10, 0, 2.0f);
    EXPECT_EQ(p.vx, 3);
    EXPECT_EQ(p.sx, 5);
    EXPECT_EQ(p.ImageX(), 8);
    const float oneThird = ZoomCommandFactor(CMD_ZOOM_PRESET_FIRST + 2, 1.0f);  // "33 %"
    const CanvasPoint third = CanvasCoordinates(100, 50, 30, 31, oneThird);
    EXPECT_EQ(third.vx, 300);
    EXPECT_EQ(third.vy, 150);
    EXPECT_EQ(third.sx, 90);
    EXPECT_EQ(third.sy, 93);
    // Points left of the window (the stylus is captured) truncate towards zero; the window
    // point is a 16-bit value.
    EXPECT_EQ(CanvasCoordinates(-3, 0, 0, 0, 2.0f).vx, -1);
    EXPECT_EQ(CanvasCoordinates(65535, 0, 0, 0, 1.0f).vx, -1);
}

TEST(CanvasCoordinates, ChangedBoxIsGrownByTheBrushSize) {
    const raster::Rect box = ChangedBox(10, 10, 20, 12, 5);
    EXPECT_EQ(box.left, 5);
    EXPECT_EQ(box.top, 5);
    EXPECT_EQ(box.Width(), 20);
    EXPECT_EQ(box.Height(), 12);
    const raster::Rect reversed = ChangedBox(20, 12, 10, 10, 5);
    EXPECT_EQ(reversed.left, 5);
    EXPECT_EQ(reversed.right, 25);
    EXPECT_EQ(reversed.bottom, 17);
}

TEST_F(CanvasTest, PenStrokeTakesTheUndoCopyAndRepaintsOnlyTheChangedBoxAtFullZoom) {
    MakeImage(100, 100, 102, 102);
    PaintSettings.Size = 5;
    MarkSurface();
    Down(10, 10);
    EXPECT_EQ(CanvasState.StylusDown, 1u);
    EXPECT_TRUE(CanvasWindow().HasCapture());
    EXPECT_EQ(ImageState.ImageModified, 1);
    EXPECT_EQ(ImageState.UndoKind, static_cast<std::uint32_t>(kToolPen));
    Move(20, 12);
    Up(20, 12);
    EXPECT_EQ(CanvasState.StylusDown, 0u);
    EXPECT_FALSE(CanvasWindow().HasCapture());

    EXPECT_EQ(WorkPixel(10, 10), kBlack);  // hard mode at 100 %: paper x 1 / 256 + 0
    EXPECT_EQ(WorkPixel(20, 12), kBlack);
    EXPECT_EQ(UndoPixel(10, 10), kPaper);  // the picture as it was at stylus-down
    // Stylus-down copied 5..15 x 5..15, the segment 5..25 x 5..17: nothing else.
    EXPECT_EQ(SurfacePixel(CanvasWindow(), 5, 5), kPaper);
    EXPECT_EQ(SurfacePixel(CanvasWindow(), 24, 16), kPaper);
    EXPECT_EQ(SurfacePixel(CanvasWindow(), 15, 11), kBlack);
    EXPECT_EQ(SurfacePixel(CanvasWindow(), 4, 10), kWhite);
    EXPECT_EQ(SurfacePixel(CanvasWindow(), 25, 10), kWhite);
    EXPECT_EQ(SurfacePixel(CanvasWindow(), 20, 17), kWhite);
    EXPECT_EQ(SurfacePixel(CanvasWindow(), 10, 4), kWhite);

    Undo();
    EXPECT_EQ(WorkPixel(15, 11), kPaper);
    EXPECT_EQ(SurfacePixel(CanvasWindow(), 15, 11), kPaper);
    Undo();
    EXPECT_EQ(WorkPixel(15, 11), kBlack);
}

TEST_F(CanvasTest, StrokeAtAnotherZoomRepaintsTheWholeView) {
    MakeImage(100, 100, 102, 102);
    ImageState.ZoomFactor = 2.0f;
    SetupScrollBars(ImageState.CurrentImage, 0.0f, 0.0f);
    MarkSurface();
    Down(20, 20);  // image point (10, 10)
    Move(40, 20);  // (20, 10)
    Up(40, 20);
    EXPECT_EQ(WorkPixel(10, 10), kBlack);
    EXPECT_EQ(WorkPixel(20, 10), kBlack);
    EXPECT_EQ(SurfacePixel(CanvasWindow(), 80, 80), kPaper);
    EXPECT_EQ(SurfacePixel(CanvasWindow(), 31, 21), kBlack);
}

TEST_F(CanvasTest, ScrolledStrokeLandsAtTheScrolledImagePoint) {
    ImageBox& box = MakeImage(300, 300, 102, 102);
    box.scrollX = 50;
    box.scrollY = 40;
    PaintSettings.Size = 1;
    MarkSurface();
    Down(3, 4);
    Up(3, 4);
    EXPECT_EQ(WorkPixel(53, 44), kBlack);
    EXPECT_EQ(WorkPixel(3, 4), kPaper);
    EXPECT_EQ(SurfacePixel(CanvasWindow(), 3, 4), kBlack);
}

TEST_F(CanvasTest, EraserPaintsTheBackgroundAndLeavesBothColoursAsTheyWere) {
    MakeImage(40, 40, 50, 50);
    raster::FillRect(*CurrentBox().workDc, {0, 0, 40, 40}, kRed);
    PaintSettings.Tool = kToolEraser;
    PaintSettings.FColor = kRed;
    PaintSettings.BColor = raster::MakeColour(0, 0, 255);
    PaintSettings.DOpacity = 50;  // the eraser ignores the opacity
    Down(10, 10);
    Move(15, 10);
    Up(15, 10);
    EXPECT_EQ(WorkPixel(10, 10), raster::MakeColour(0, 0, 254));  // 255 x 255 / 256
    EXPECT_EQ(WorkPixel(15, 10), raster::MakeColour(0, 0, 254));
    EXPECT_EQ(WorkPixel(30, 30), kRed);
    EXPECT_EQ(PaintSettings.FColor, kRed);
    EXPECT_EQ(PaintSettings.BColor, raster::MakeColour(0, 0, 255));
}

TEST_F(CanvasTest, PickerTakesTheColourAndReturnsToThePreviousTool) {
    MakeImage(40, 40, 50, 50);
    SetWorkPixel(3, 4, kRed);
    PaintSettings.Tool = kToolColourPicker;
    PaintSettings.Group = kGroupPicker;
    CanvasState.PreviousTool = kToolBrush;
    CanvasState.PreviousGroup = kGroupPen;
    Down(3, 4);
    EXPECT_EQ(PaintSettings.FColor, kRed);
    EXPECT_EQ(ImageState.ImageModified, 0);  // picking changes nothing
    SetWorkPixel(5, 5, raster::MakeColour(1, 2, 3));
    Move(5, 5);
    EXPECT_EQ(PaintSettings.FColor, raster::MakeColour(1, 2, 3));
    Up(3, 4);
    EXPECT_EQ(PaintSettings.FColor, kRed);
    EXPECT_EQ(PaintSettings.Tool, kToolBrush);
    EXPECT_EQ(PaintSettings.Group, kGroupPen);
}

TEST_F(CanvasTest, PickerOutsideTheImageKeepsTheColour) {
    MakeImage(20, 20, 60, 60);
    PaintSettings.Tool = kToolColourPicker;
    PaintSettings.FColor = kRed;
    Down(30, 30);
    Move(35, 30);
    Up(30, 30);
    EXPECT_EQ(PaintSettings.FColor, kRed);
}

TEST_F(CanvasTest, ZoomTapsMultiplyTheZoomAndReturnToThePreviousTool) {
    ImageBox& box = MakeImage(200, 200, 102, 102);
    PaintSettings.Tool = kToolZoomIn;
    CanvasState.PreviousTool = kToolPen;
    CanvasState.PreviousGroup = kGroupPen;
    Down(50, 50);
    Up(50, 50);
    EXPECT_EQ(ImageState.ZoomFactor, 2.0f);
    EXPECT_EQ(PaintSettings.Tool, kToolPen);
    // Aimed at the tapped point 50 / 200 = 0.25 of the range.
    const ScrollBarLayout expected = ComputeScrollBars(102, 102, false, 13, 200, 200, 2.0f, 0, 0, 0.25f, 0.25f);
    EXPECT_EQ(box.scrollX, expected.scrollX);
    EXPECT_EQ(box.scrollY, expected.scrollY);
    PaintSettings.Tool = kToolZoomOut;
    Down(10, 10);
    Up(10, 10);
    EXPECT_EQ(ImageState.ZoomFactor, 1.0f);
    EXPECT_EQ(PaintSettings.Tool, kToolPen);
}

TEST_F(CanvasTest, TapOnAnUnselectedPixelOfThePieceDropsIt) {
    MakeImage(20, 20, 40, 40);
    MakeFloatingPiece();
    Down(3, 3);  // inside the bounding box, on mask 0
    EXPECT_EQ(PaintSettings.Tool, kToolDroppedToRectangle);
    EXPECT_EQ(WorkPixel(2, 2), kRed);
    EXPECT_EQ(WorkPixel(5, 5), kRed);
    EXPECT_EQ(WorkPixel(3, 3), kPaper);
    // The undo copy is the drop's, of the picture under the piece, for Undo to float it again.
    EXPECT_EQ(UndoPixel(2, 2), kPaper);
    EXPECT_TRUE(ImageState.UndoUnderPiece);
    Up(3, 3);
    EXPECT_EQ(PaintSettings.Tool, kToolSelectRectangle);
}

TEST_F(CanvasTest, TapOnTheSelectedPieceDragsIt) {
    MakeImage(20, 20, 40, 40);
    MakeFloatingPiece();
    Down(2, 2);
    EXPECT_EQ(PaintSettings.Tool, kToolFloatingPiece);
    EXPECT_EQ(ImageState.ImageModified, 0);
    Move(7, 3);
    EXPECT_EQ(FloatingPiece.pieceX, 2);  // shown displaced, not moved yet
    EXPECT_EQ(SurfacePixel(CanvasWindow(), 9, 4), kRed);
    EXPECT_EQ(WorkPixel(9, 4), kPaper);  // the image stays clean while the piece floats
    Up(7, 3);
    EXPECT_EQ(FloatingPiece.pieceX, 7);
    EXPECT_EQ(FloatingPiece.pieceY, 3);
    EXPECT_EQ(FloatingPiece.savedPieceX, 2);

    // With the modifier on, a tap does not grab the piece but drops it for a new selection.
    CanvasState.SelectModifier = 1;
    PaintSettings.Select = 1;
    Down(9, 4);
    EXPECT_EQ(PaintSettings.Tool, kToolSelectLasso);
    // The piece went down into the image the lasso selects from; the work buffer is its scratch.
    EXPECT_EQ(UndoPixel(9, 4), kRed);
    EXPECT_EQ(WorkPixel(9, 4), kBlack);
}

TEST_F(CanvasTest, BorderTimerRedisplaysOnlyWhileThePieceFloatsAndTheStylusIsUp) {
    MakeImage(20, 20, 40, 40);
    MakeFloatingPiece();
    Send(platform::MessageKind::Timer, 0, 0, kTimerBorder);
    EXPECT_EQ(ImageState.AntsPhase, 1u);
    Down(2, 2);
    Send(platform::MessageKind::Timer, 0, 0, kTimerBorder);
    EXPECT_EQ(ImageState.AntsPhase, 1u);
    Up(2, 2);
    const std::uint32_t afterUp = ImageState.AntsPhase;
    PaintSettings.Tool = kToolPen;
    Send(platform::MessageKind::Timer, 0, 0, kTimerBorder);
    EXPECT_EQ(ImageState.AntsPhase, afterUp);
}

TEST_F(CanvasTest, ScrollMessagesStepAndClampThePosition) {
    ImageBox& box = MakeImage(1000, 1000, 242, 230);
    ASSERT_EQ(CanvasWindow().ClientRect().Width(), 227);
    ASSERT_EQ(CanvasWindow().ClientRect().Height(), 215);
    using platform::ScrollCode;
    Scroll(false, ScrollCode::ThumbTrack, 100);
    EXPECT_EQ(box.scrollX, 100);
    Scroll(false, ScrollCode::LineDown);
    EXPECT_EQ(box.scrollX, 105);
    Scroll(false, ScrollCode::PageDown);
    EXPECT_EQ(box.scrollX, 105 + 227 - 5);
    Scroll(false, ScrollCode::PageUp);
    EXPECT_EQ(box.scrollX, 100);
    Scroll(false, ScrollCode::EndScroll);
    EXPECT_EQ(box.scrollX, 100);
    Scroll(false, ScrollCode::ThumbTrack, 4);
    Scroll(false, ScrollCode::LineUp);
    EXPECT_EQ(box.scrollX, 0);
    Scroll(false, ScrollCode::ThumbTrack, 5000);
    EXPECT_EQ(box.scrollX, 1000 - 227);
    EXPECT_EQ(CanvasWindow().GetScrollBar(platform::ScrollBarKind::Horizontal).position, 1000 - 227);
    Scroll(true, ScrollCode::ThumbTrack, 5000);
    EXPECT_EQ(box.scrollY, 1000 - 215);
    Scroll(true, ScrollCode::PageUp);
    EXPECT_EQ(box.scrollY, 1000 - 215 - 215);
    // The view follows.
    SetWorkPixel(1000 - 227, 1000 - 430, kRed);
    Scroll(true, ScrollCode::EndScroll);
    EXPECT_EQ(SurfacePixel(CanvasWindow(), 0, 0), kRed);
}

TEST_F(CanvasTest, AirbrushKeepsSprayingWhileTheStylusRests) {
    MakeImage(40, 40, 50, 50);
    PaintSettings.Tool = kToolAirbrush;
    PaintSettings.DOpacity = 50;
    Down(20, 20);
    const raster::Colour first = WorkPixel(20, 20);
    Move(20, 20);
    EXPECT_EQ(CanvasWindow().TimerPeriod(kTimerAirbrush), 1);
    const raster::Colour second = WorkPixel(20, 20);
    Send(platform::MessageKind::Timer, 0, 0, kTimerAirbrush);
    const raster::Colour third = WorkPixel(20, 20);
    EXPECT_LT(raster::RedOf(second), raster::RedOf(first));
    EXPECT_LT(raster::RedOf(third), raster::RedOf(second));
    Up(20, 20);
    Send(platform::MessageKind::Timer, 0, 0, kTimerAirbrush);
    EXPECT_EQ(WorkPixel(20, 20), third);
}

TEST_F(CanvasTest, WithoutAnImageTheCanvasDoesNothing) {
    MakeImage(10, 10);
    platform::Window* window = CurrentBox().window;
    ImageState.CurrentImage = 0;
    platform::WindowMessage m;
    m.kind = platform::MessageKind::StylusDown;
    EXPECT_EQ(window->Send(m), 0);
    EXPECT_EQ(CanvasState.StylusDown, 0u);
    EXPECT_EQ(ImageState.ImageModified, 0);
    m.kind = platform::MessageKind::VScroll;
    m.scrollCode = platform::ScrollCode::LineDown;
    window->Send(m);
    EXPECT_EQ(ImageBoxTable[1].scrollY, 0);
    ImageState.CurrentImage = 1;
}

TEST_F(CanvasTest, PaintShowsTheViewAndCloseForgetsTheWindow) {
    MakeImage(10, 10, 30, 30);
    SetWorkPixel(2, 3, kRed);
    MarkSurface();
    EXPECT_EQ(Send(platform::MessageKind::Paint), 1);
    EXPECT_EQ(SurfacePixel(CanvasWindow(), 2, 3), kRed);
    EXPECT_EQ(SurfacePixel(CanvasWindow(), 20, 20), 0x808080u);
    EXPECT_EQ(Send(platform::MessageKind::Close), 1);
    EXPECT_EQ(CurrentBox().window, nullptr);
    EXPECT_TRUE(windows.LiveWindows().empty());
    FreeImageBox(ImageState.CurrentImage);  // nothing left to destroy twice
}

}  // namespace
