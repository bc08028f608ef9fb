// The bars while a piece floats on the canvas: the Select and Fill buttons put it down or
// paint a gradient into it, and new colours from the bar, the popup, the swatch and the
// colour table show on it at once (with transparency on, its background-coloured pixels
// let the image through).
#include "support/PanelFixture.h"
#include "image/Undo.h"
#include "panels/ColourBar.h"
#include "panels/ColourTable.h"
#include "panels/ToolBar.h"
#include "shell/Dispatch.h"
#include "shell/Menus.h"
#include "tools/ToolGroups.h"
#include "image/ToolIds.h"

namespace {

using platform::MessageKind;

constexpr raster::Colour kRed = raster::MakeColour(255, 0, 0);
constexpr raster::Colour kWhite = 0xFFFFFF;

class PieceOnTheBarsTest : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        Start();
        bar = ShellState.ToolBarWindow;
        colourBar = ShellState.ColourBarWindow;
        canvas = CurrentBox().window;
        ASSERT_NE(bar, nullptr);
        ASSERT_NE(colourBar, nullptr);
        raster::FillRect(*CurrentBox().workDc, {0, 0, CurrentBox().width, CurrentBox().height}, kWhite);
        raster::FillRect(*CurrentBox().workDc, {40, 40, 60, 60}, kRed);
    }
    void TapButton(int b) { Tap(bar, kButtonPitch * b + 10, 10); }
    // A red square lifted with the rectangle selection.
    void LiftRedSquare() {
        if (PaintSettings.Group != 0) TapButton(0);
        ASSERT_EQ(PaintSettings.Tool, kToolSelectRectangle);
        Stylus(canvas, MessageKind::StylusDown, 40, 40);
        Stylus(canvas, MessageKind::StylusMove, 60, 60);
        Stylus(canvas, MessageKind::StylusUp, 60, 60);
        ASSERT_EQ(PaintSettings.Tool, kToolFloatingPiece);
        ASSERT_EQ(raster::GetPixel(canvas->GetDC(), 50, 50), kRed);
    }
    raster::Colour Shown() { return raster::GetPixel(canvas->GetDC(), 50, 50); }
    // The middle of standard cell i of the bottom bar (6 is red, 8 green).
    void TapCell(int i, bool held) {
        const int w = colourBar->ClientRect().Width();
        system.tapAndHold = held;
        Tap(colourBar, static_cast<int>((i + 0.5) * (w - 1) / 30.0), 5);
        system.tapAndHold = false;
    }

    platform::Window* bar = nullptr;
    platform::Window* colourBar = nullptr;
    platform::Window* canvas = nullptr;
};

}  // namespace

TEST_F(PieceOnTheBarsTest, SelectAndFillButtonsPutThePieceDownOrOfferItAGradient) {
    LiftRedSquare();
    // A second tap on the Select button puts the piece down and takes up the group's tool.
    GroupCurrent(0) = 1;  // the lasso
    CanvasState.PolygonCount = 5;
    TapButton(0);
    EXPECT_EQ(PaintSettings.Tool, kToolSelectLasso);
    EXPECT_EQ(CanvasState.PolygonCount, 0u);
    EXPECT_EQ(PanelState.FlyoutWindow, nullptr);
    EXPECT_EQ(raster::GetPixel(*CurrentBox().workDc, 50, 50), kRed);
    // The drop can be undone: the undo copy holds the image with the piece still lifted.
    EXPECT_EQ(raster::GetPixel(*CurrentBox().undoDc, 50, 50), kWhite);
    // Without a piece the Select button opens its flyout as any other group's.
    TapButton(0);
    ASSERT_NE(PanelState.FlyoutWindow, nullptr);
    Stylus(PanelState.FlyoutWindow, MessageKind::StylusUp, 30, 10);  // Select Rectangle

    LiftRedSquare();
    // Flood fill is the area group's entry: its button offers the gradients for the piece.
    TapButton(3);
    EXPECT_EQ(PaintSettings.Group, 3);
    ASSERT_NE(PanelState.FlyoutWindow, nullptr);
    EXPECT_EQ(PanelState.FlyoutGroup, 3);
    Stylus(PanelState.FlyoutWindow, MessageKind::StylusUp, 30, 20 + 10);  // Linear Gradient
    EXPECT_EQ(PaintSettings.Tool, kToolPieceGradient);
    EXPECT_EQ(CanvasState.GradientKind, 0);
    // Back on the Select button the piece floats again.
    TapButton(0);
    EXPECT_EQ(PaintSettings.Tool, kToolFloatingPiece);
    EXPECT_EQ(PaintSettings.Group, 0);
    EXPECT_EQ(PanelState.FlyoutWindow, nullptr);
}

TEST_F(PieceOnTheBarsTest, ABackgroundPickShowsThePieceAgain) {
    LiftRedSquare();
    TapButton(kTransparencyButton);
    ASSERT_EQ(PaintSettings.Trans, 1u);
    TapCell(6, false);  // a red foreground changes nothing on the piece
    EXPECT_EQ(PaintSettings.FColor, kRed);
    EXPECT_EQ(Shown(), kRed);
    TapCell(6, true);  // a red background: the piece's red lets the image through
    EXPECT_EQ(PaintSettings.BColor, kRed);
    EXPECT_EQ(Shown(), kWhite);
    // The transparency switch shows the piece again too.
    TapButton(kTransparencyButton);
    EXPECT_EQ(Shown(), kRed);
    TapButton(kTransparencyButton);
    EXPECT_EQ(Shown(), kWhite);
    TapCell(8, true);
    EXPECT_EQ(Shown(), kRed);

    // Over a gradient in the piece only the popup shows it again.
    PaintSettings.Tool = kToolPieceGradient;
    TapCell(6, true);
    EXPECT_EQ(Shown(), kRed);
    PaintSettings.Palette = 4;  // reds: entry 0 is pure red
    Tap(bar, 160 + 17, 15);
    ASSERT_NE(PanelState.ColourPopupWindow, nullptr);
    PaintSettings.BColor = 0x123456;
    Tap(PanelState.ColourPopupWindow, 2, 2);
    EXPECT_EQ(PaintSettings.BColor, kRed);
    EXPECT_EQ(Shown(), kWhite);
}

TEST_F(PieceOnTheBarsTest, SwatchAndColourTableShowThePieceInTheNewColours) {
    LiftRedSquare();
    TapButton(kTransparencyButton);
    PaintSettings.FColor = kRed;
    Tap(bar, 160 + 16, 3);  // swap: red becomes the background
    EXPECT_EQ(PaintSettings.BColor, kRed);
    EXPECT_EQ(Shown(), kWhite);

    system.onModal = [](platform::HeadlessWindow& dialog) {
        dialog.FindControl(kTableGreenField)->SetText("200");
        platform::WindowMessage ok;
        ok.kind = MessageKind::Command;
        ok.id = kTableOkButton;
        dialog.Send(ok);
    };
    system.tapAndHold = true;
    Tap(bar, 160 + 17, 15);
    system.tapAndHold = false;
    EXPECT_EQ(PaintSettings.BColor, raster::MakeColour(255, 200, 0));
    EXPECT_EQ(Shown(), kRed);
}
