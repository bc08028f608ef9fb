// The flood fill and the gradients through the canvas window's own messages.
#include "support/CanvasFixture.h"
#include "tools/Gradient.h"

namespace {


TEST_F(CanvasTest, AFloodFillTapFillsTheRegionUnderTheStylusAtTheZoom) {
    MakeImage(40, 40, 100, 100);
    PaintSettings.Tool = kToolFloodFill;
    PaintSettings.FColor = kRed;
    for (int x = 0; x < 40; ++x) SetWorkPixel(x, 20, kBlack);  // splits the picture in two
    ImageState.ZoomFactor = 2.0f;
    Down(30, 60);  // image (15, 30), below the line
    Up(30, 60);
    EXPECT_EQ(WorkPixel(0, 39), kRed);
    EXPECT_EQ(WorkPixel(39, 21), kRed);
    EXPECT_EQ(WorkPixel(10, 20), kBlack);
    EXPECT_EQ(WorkPixel(10, 19), kPaper);
    // The window shows the fill at once.
    EXPECT_EQ(SurfacePixel(CanvasWindow(), 2, 78), kRed);
    Undo();
    EXPECT_EQ(WorkPixel(0, 39), kPaper);
}

TEST_F(CanvasTest, ALinearGradientRunsFromTheStylusDownToTheStylusUp) {
    MakeImage(20, 60, 100, 100);
    PaintSettings.Tool = kToolGradient;
    PaintSettings.FColor = kBlack;
    PaintSettings.BColor = kWhite;
    CanvasState.GradientKind = kGradientLinear;
    Down(5, 10);
    Move(5, 30);
    // Moving only shows the direction on the window.
    EXPECT_EQ(WorkPixel(5, 10), kPaper);
    EXPECT_EQ(SurfacePixel(CanvasWindow(), 5, 11), raster::MakeColour(255, 0, 0));
    Up(5, 50);
    // Row 10: t = 0, black x 254 / 256 + paper / 256 = 0. Row 30: t = 127, 127 x 255 / 256 = 126,
    // x 254 / 256 = 125. Row 50 and below: t = 255, 254 x 254 / 256 = 252.
    EXPECT_EQ(WorkPixel(0, 10), kBlack);
    EXPECT_EQ(WorkPixel(19, 30), raster::MakeColour(125, 125, 125));
    EXPECT_EQ(WorkPixel(7, 59), raster::MakeColour(252, 252, 252));
    EXPECT_EQ(SurfacePixel(CanvasWindow(), 19, 30), raster::MakeColour(125, 125, 125));
    Undo();
    EXPECT_EQ(WorkPixel(7, 59), kPaper);
}

TEST_F(CanvasTest, AGradientOverAPiecePaintsThePieceAndItsUndoCopy) {
    MakeImage(20, 20, 40, 40);
    MakeFloatingPiece();  // 4 x 4 red at (2, 2)
    PaintSettings.Tool = kToolPieceGradient;
    PaintSettings.FColor = kBlack;
    PaintSettings.BColor = kWhite;
    CanvasState.GradientKind = kGradientCircular;
    Down(3, 3);  // the piece's (1, 1)
    EXPECT_EQ(ImageState.UndoKind, 100u);
    Up(5, 3);  // rim at 2
    // Centre: black. Distance 1: t = 127, c = 126 per channel, x 254 / 256 = 125, plus the piece's
    // own red x 1 / 256 = 0. Distance 2 and beyond: 252.
    EXPECT_EQ(PiecePixel(1, 1), kBlack);
    EXPECT_EQ(PiecePixel(2, 1), raster::MakeColour(125, 125, 125));
    EXPECT_EQ(PiecePixel(3, 3), raster::MakeColour(252, 252, 252));
    // The image is untouched; the window shows the piece through its mask.
    EXPECT_EQ(WorkPixel(3, 3), kPaper);
    EXPECT_EQ(SurfacePixel(CanvasWindow(), 4, 3), raster::MakeColour(125, 125, 125));
    EXPECT_EQ(SurfacePixel(CanvasWindow(), 3, 3), kPaper);  // the piece's unselected pixel
    // Undo gives the piece back its colour.
    Undo();
    EXPECT_EQ(PiecePixel(2, 1), kRed);
    EXPECT_EQ(PaintSettings.Tool, kToolPieceGradient);
}

}  // namespace
