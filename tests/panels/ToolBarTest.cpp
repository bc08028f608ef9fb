#include "support/PanelFixture.h"
#include "panels/BrushPicker.h"
#include "panels/DialogBuilder.h"
#include "panels/ColourBar.h"
#include "panels/ToolBar.h"
#include "tools/ToolGroups.h"
#include "panels/ValueDialog.h"
#include "shell/Dispatch.h"
#include "shell/MainFrame.h"
#include "shell/Menus.h"
#include "tools/SelectionCommands.h"
#include "tools/ToolTable.h"
#include "image/ToolIds.h"

namespace {

using platform::MessageKind;

class ToolBarTest : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        Start();
        bar = ShellState.ToolBarWindow;
        ASSERT_NE(bar, nullptr);
        Paint(bar);
    }
    void TapButton(int b, int y = 10) { Tap(bar, kButtonPitch * b + 10, y); }
    void Hold(int x, int y) {
        system.tapAndHold = true;
        Tap(bar, x, y);
        system.tapAndHold = false;
    }
    platform::Window* Flyout() { return PanelState.FlyoutWindow; }

    platform::Window* bar = nullptr;
};

}  // namespace

TEST_F(ToolBarTest, TheBarSitsAboveTheCommandBarAndShowsTheCurrentGroupSelected) {
    const raster::Rect r = bar->WindowRect();
    EXPECT_EQ(r.left, -1);
    EXPECT_EQ(r.Width(), 242);
    EXPECT_EQ(r.Height(), 23);
    EXPECT_EQ(r.top, 320 - ShellState.FrameTop - ShellState.CommandBarHeight - 22);
    raster::DrawingContext& dc = bar->GetDC();
    const raster::Colour grey = raster::MakeColour(64, 64, 64);
    // Group 1 (the pens) is current: a white square framed in grey at its cell.
    EXPECT_EQ(raster::GetPixel(dc, 21, 1), grey);
    EXPECT_EQ(raster::GetPixel(dc, 21, 18), grey);
    EXPECT_EQ(raster::GetPixel(dc, 39, 18), kButtonFace);
    EXPECT_EQ(raster::GetPixel(dc, 1, 1), kButtonFace);
    // The swatch shows the colours.
    EXPECT_EQ(raster::GetPixel(dc, 168, 5), 0u);
    EXPECT_EQ(raster::GetPixel(dc, 176, 15), 0xFFFFFFu);
}

TEST_F(ToolBarTest, ToolbarCommandHidesAndShowsTheBarAndTheCanvasTakesItsPlace) {
    const int canvasHeight = CurrentBox().window->WindowRect().Height();
    DispatchCommand(CMD_TOOLBAR);
    EXPECT_EQ(ShellState.ToolBarWindow, nullptr);
    EXPECT_EQ(CurrentBox().window->WindowRect().Height(), canvasHeight + 22);
    DispatchCommand(CMD_TOOLBAR);
    ASSERT_NE(ShellState.ToolBarWindow, nullptr);
    EXPECT_EQ(CurrentBox().window->WindowRect().Height(), canvasHeight);
}

TEST_F(ToolBarTest, TappingTheCurrentFilterButtonOpensAnEightRowFlyoutAboveIt) {
    PaintSettings.Group = 4;
    TapButton(4);
    ASSERT_NE(Flyout(), nullptr);
    const raster::Rect r = Flyout()->WindowRect();
    EXPECT_EQ(r.Height(), 163);
    EXPECT_EQ(r.Width(), 134);
    EXPECT_EQ(r.left, bar->WindowRect().left + 80);
    EXPECT_EQ(r.bottom, bar->WindowRect().bottom);
    Paint(Flyout());
    EXPECT_TRUE(Flyout()->HasCapture());
    // Row 5 is "Tint".
    Stylus(Flyout(), MessageKind::StylusUp, 60, 5 * 20 + 10);
    EXPECT_EQ(Flyout(), nullptr);
    EXPECT_EQ(GroupCurrent(4), 5);
    EXPECT_EQ(ToolGroups[4].row[GroupCurrent(4)]->id, kToolTint);
    EXPECT_EQ(PaintSettings.Tool, kToolTint);
}

TEST_F(ToolBarTest, AFlyoutNearTheRightEdgeMovesLeftToStayOnTheScreen) {
    const raster::Rect barRect{-1, 275, 241, 298};
    const raster::Rect r = FlyoutRect(4, barRect, 240);
    EXPECT_EQ(r.left, 79);
    const raster::Rect zoom = FlyoutRect(7, barRect, 240);
    EXPECT_EQ(zoom.left, 139);
    EXPECT_EQ(zoom.Height(), 43);
    EXPECT_EQ(zoom.top, 298 - 43);
    const raster::Rect fill = FlyoutRect(9, barRect, 240);
    EXPECT_EQ(fill.left, 240 - 120);
}

TEST_F(ToolBarTest, ALiftOffTheRowsClosesTheFlyoutAndChoosesNothing) {
    PaintSettings.Group = 4;
    TapButton(4);
    ASSERT_NE(Flyout(), nullptr);
    // The last row ends two pixels short of the flyout's height.
    Stylus(Flyout(), MessageKind::StylusUp, 60, 8 * 20 - 1);
    EXPECT_EQ(Flyout(), nullptr);
    EXPECT_EQ(GroupCurrent(4), 0);
    TapButton(4);
    Stylus(Flyout(), MessageKind::StylusUp, 135, 30);
    EXPECT_EQ(GroupCurrent(4), 0);
    TapButton(4);
    Stylus(Flyout(), MessageKind::StylusUp, 60, -30);
    EXPECT_EQ(GroupCurrent(4), 0);
    TapButton(4);
    Stylus(Flyout(), MessageKind::StylusUp, 134, 8 * 20 - 2);
    EXPECT_EQ(GroupCurrent(4), 7);
}

TEST_F(ToolBarTest, TheFillStyleFlyoutLeftElsewhereGivesTheGroupBack) {
    PaintSettings.Group = 2;
    TapButton(kFillStyleButton);
    EXPECT_EQ(PaintSettings.Group, kFillStyleButton);
    EXPECT_EQ(CanvasState.PreviousGroup, 2);
    ASSERT_NE(Flyout(), nullptr);
    EXPECT_EQ(Flyout()->WindowRect().Height(), 63);
    Stylus(Flyout(), MessageKind::StylusUp, 300, 10);
    EXPECT_EQ(PaintSettings.Group, 2);
    EXPECT_EQ(GroupCurrent(kFillStyleButton), 0);
}

TEST_F(ToolBarTest, ButtonSevenAlternatesBetweenZoomInAndZoomOut) {
    TapButton(kZoomButton);
    EXPECT_EQ(PaintSettings.Group, kZoomButton);
    EXPECT_EQ(GroupCurrent(kZoomButton), 0);
    EXPECT_EQ(PaintSettings.Tool, kToolZoomIn);
    TapButton(kZoomButton);
    EXPECT_EQ(GroupCurrent(kZoomButton), 1);
    EXPECT_EQ(PaintSettings.Tool, kToolZoomOut);
    EXPECT_EQ(Flyout(), nullptr);
    TapButton(kZoomButton);
    EXPECT_EQ(GroupCurrent(kZoomButton), 0);
    EXPECT_EQ(PaintSettings.Tool, kToolZoomIn);
    // The tool to come back to stays the pen, not the other zoom.
    EXPECT_EQ(CanvasState.PreviousTool, kToolPen);
}

TEST_F(ToolBarTest, OtherButtonsBecomeCurrentAndTheEmptyEndOfAWideBarDoesNothing) {
    TapButton(2);
    EXPECT_EQ(PaintSettings.Group, 2);
    EXPECT_EQ(CanvasState.PreviousGroup, 1);
    EXPECT_EQ(Flyout(), nullptr);
    TapButton(2);
    ASSERT_NE(Flyout(), nullptr);
    // Any tap on the bar closes an open flyout first.
    TapButton(5);
    EXPECT_EQ(Flyout(), nullptr);
    EXPECT_EQ(PaintSettings.Group, 5);
    TapButton(5);  // a group of one tool has no flyout
    EXPECT_EQ(Flyout(), nullptr);
    TapButton(12);
    TapButton(40);
    EXPECT_EQ(PaintSettings.Group, 5);
}

TEST_F(ToolBarTest, SwatchCornersResetAndSwapTheColours) {
    PaintSettings.FColor = raster::MakeColour(10, 20, 30);
    PaintSettings.BColor = raster::MakeColour(40, 50, 60);
    Tap(bar, 160 + 16, 3);  // upper right
    EXPECT_EQ(PaintSettings.FColor, raster::MakeColour(40, 50, 60));
    EXPECT_EQ(PaintSettings.BColor, raster::MakeColour(10, 20, 30));
    EXPECT_EQ(raster::GetPixel(bar->GetDC(), 168, 5), raster::MakeColour(40, 50, 60));
    Tap(bar, 160 + 2, 17);  // lower left
    EXPECT_EQ(PaintSettings.FColor, 0u);
    EXPECT_EQ(PaintSettings.BColor, 0xFFFFFFu);
    EXPECT_EQ(PanelState.ColourPopupWindow, nullptr);
    Tap(bar, 160 + 2, 3);  // left of both squares: nothing
    EXPECT_EQ(PanelState.ColourPopupWindow, nullptr);
}

TEST_F(ToolBarTest, SwatchSquaresOpenThePopupForTheirColour) {
    Tap(bar, 160 + 8, 5);
    ASSERT_NE(PanelState.ColourPopupWindow, nullptr);
    EXPECT_EQ(PanelState.PickTarget, kPickForeground);
    const raster::Rect r = PanelState.ColourPopupWindow->WindowRect();
    EXPECT_EQ(r.Width(), 145);
    EXPECT_EQ(r.Height(), 145);
    EXPECT_EQ(r.left, 240 - 145);
    EXPECT_EQ(r.top, bar->WindowRect().top - 144);
    Tap(PanelState.ColourPopupWindow, 144, 10);  // off the table: closes, picks nothing
    EXPECT_EQ(PanelState.ColourPopupWindow, nullptr);
    Tap(bar, 160 + 17, 15);
    ASSERT_NE(PanelState.ColourPopupWindow, nullptr);
    EXPECT_EQ(PanelState.PickTarget, kPickBackground);
    Tap(bar, 160 + 10, 13);
    EXPECT_EQ(PanelState.PickTarget, kPickBackground);
}

TEST_F(ToolBarTest, ThePopupPicksWhileTheStylusMovesAndClosesOnTheLift) {
    PaintSettings.Palette = 3;
    PanelState.PickTarget = kPickBackground;
    OpenColourPopup();
    platform::Window* popup = PanelState.ColourPopupWindow;
    ASSERT_NE(popup, nullptr);
    Paint(popup);
    EXPECT_TRUE(popup->HasCapture());
    EXPECT_EQ(raster::GetPixel(popup->GetDC(), 0, 0), 0xFFFFFFu);
    Stylus(popup, MessageKind::StylusDown, 143, 143);
    EXPECT_EQ(PaintSettings.BColor, 0u);  // entry 255 of the grey ramp
    EXPECT_EQ(PanelState.PopupTracking, 1u);
    Stylus(popup, MessageKind::StylusMove, 9, 0);
    EXPECT_EQ(PaintSettings.BColor, raster::MakeColour(254, 254, 254));
    Stylus(popup, MessageKind::StylusMove, 200, 0);  // off the table: kept
    EXPECT_EQ(PaintSettings.BColor, raster::MakeColour(254, 254, 254));
    EXPECT_EQ(PaintSettings.FColor, 0u);
    EXPECT_EQ(raster::GetPixel(bar->GetDC(), 176, 15), raster::MakeColour(254, 254, 254));
    Stylus(popup, MessageKind::StylusUp, 200, 0);
    EXPECT_EQ(PanelState.ColourPopupWindow, nullptr);
    EXPECT_EQ(PanelState.PopupTracking, 0u);
}

TEST_F(ToolBarTest, TheTransparencySwitchTogglesTrans) {
    TapButton(kTransparencyButton);
    EXPECT_EQ(PaintSettings.Trans, 1u);
    EXPECT_EQ(GroupCurrent(kTransparencyButton), 1);
    TapButton(kTransparencyButton);
    EXPECT_EQ(PaintSettings.Trans, 0u);
    EXPECT_EQ(GroupCurrent(kTransparencyButton), 0);
}

TEST(BrushPicker, CornerCellsGiveTheLargestBrushes) {
    int shape = -1;
    int size = -1;
    ASSERT_TRUE(BrushPickAt(20 * 8 + 10, 20 * 6 + 10, shape, size));
    EXPECT_EQ(shape, 6);
    EXPECT_EQ(size, 17);
    ASSERT_TRUE(BrushPickAt(5, 20 * 6 + 10, shape, size));
    EXPECT_EQ(shape, 7);
    EXPECT_EQ(size, 17);
    ASSERT_TRUE(BrushPickAt(5, 5, shape, size));
    EXPECT_EQ(shape, 0);
    EXPECT_EQ(size, 1);
    ASSERT_TRUE(BrushPickAt(21, 21, shape, size));
    EXPECT_EQ(shape, 1);
    EXPECT_EQ(size, 3);
    ASSERT_TRUE(BrushPickAt(180, 140, shape, size));  // the last pixel of the last cell
    EXPECT_EQ(shape, 6);
    EXPECT_EQ(size, 17);
    // Off the sheet's cells (below its last row, right of its last column, left of or above
    // the picker, as a click 300 pixels left of its third row) nothing is chosen.
    for (const raster::Point p : {raster::Point{25, 141}, raster::Point{25, 144}, raster::Point{25, -1},
                                  raster::Point{181, 30}, raster::Point{500, 30}, raster::Point{-300, 50},
                                  raster::Point{0, 50}, raster::Point{50, 0}}) {
        EXPECT_FALSE(BrushPickAt(p.x, p.y, shape, size)) << p.x << ", " << p.y;
    }
}

TEST(BrushPicker, TheSizeKeysStepThroughThePickersSizesForTheShape) {
    ResetProgramState();
    const std::vector<int> round = {1, 3, 5, 7, 9, 11, 13, 15, 17};
    const std::vector<int> square = {3, 5, 7, 9, 11, 13, 15, 17};
    const std::vector<int> spray = {7, 9, 11, 13, 15, 17};
    EXPECT_EQ(BrushSizesFor(0), round);
    EXPECT_EQ(BrushSizesFor(1), square);
    EXPECT_EQ(BrushSizesFor(6), square);
    EXPECT_EQ(BrushSizesFor(7), spray);
    struct Case {
        std::uint32_t shape, size;
        int direction;
        std::uint32_t expected;
        bool stepped;
    };
    const Case cases[] = {
        {0, 7, +1, 9, true},   {0, 3, -1, 1, true},    {0, 1, -1, 1, false},  {0, 17, +1, 17, false},
        {1, 3, -1, 3, false},  {2, 17, -1, 15, true},  {7, 7, -1, 7, false},  {7, 9, -1, 7, true},
        {7, 3, +1, 7, true},   {1, 1, +1, 3, true},    {2, 4, +1, 5, true},   {2, 4, -1, 3, true},
    };
    for (const Case& c : cases) {
        PaintSettings.Brush = c.shape;
        PaintSettings.Size = c.size;
        EXPECT_EQ(StepBrushSize(c.direction), c.stepped) << c.shape << "/" << c.size;
        EXPECT_EQ(PaintSettings.Size, c.expected) << c.shape << "/" << c.size;
    }
    PaintSettings.Brush = 2;
    PaintSettings.Size = 17;
    EXPECT_EQ(BrushName(), "Soft Round Brush, size 17");
}

TEST_F(ToolBarTest, TheBrushButtonOpensThePickerAndALiftChoosesTheBrush) {
    TapButton(kBrushButton);
    platform::Window* picker = PanelState.BrushPickerWindow;
    ASSERT_NE(picker, nullptr);
    const raster::Rect r = picker->WindowRect();
    EXPECT_EQ(r.left, 240 - 185);
    EXPECT_EQ(r.top, 320 - ShellState.CommandBarHeight - 144);
    EXPECT_EQ(r.Width(), 185);
    EXPECT_EQ(r.Height(), 145);
    Paint(picker);
    EXPECT_TRUE(picker->HasCapture());
    // The current brush (shape 0, size 7) is framed in black at cell (3, 0).
    EXPECT_EQ(raster::GetPixel(picker->GetDC(), 61, 1), 0u);
    Stylus(picker, MessageKind::StylusUp, 20 * 2 + 10, 20 * 4 + 10);
    EXPECT_EQ(PanelState.BrushPickerWindow, nullptr);
    EXPECT_EQ(PaintSettings.Brush, 4u);
    EXPECT_EQ(PaintSettings.Size, 5u);
    EXPECT_EQ(BrushSheetCell().x, 2);
    EXPECT_EQ(BrushSheetCell().y, 4);
    PaintSettings.Brush = 7;
    PaintSettings.Size = 9;
    EXPECT_EQ(BrushSheetCell().x, 0);
    EXPECT_EQ(BrushSheetCell().y, 2);
}

TEST_F(ToolBarTest, DrawingOpacityIsKeptHoweverTheDialogCloses) {
    system.onModal = [](platform::HeadlessWindow& dialog) {
        EXPECT_EQ(DialogBuildState.title, "Drawing Opacity");
        platform::Control* slider = dialog.FindControl(ValueSliderId(0));
        ASSERT_NE(slider, nullptr);
        EXPECT_EQ(slider->Position(), 100);
        slider->SetPosition(40);
        platform::WindowMessage moved;
        moved.kind = platform::MessageKind::HScroll;
        moved.id = ValueSliderId(0);
        moved.scrollCode = platform::ScrollCode::ThumbTrack;
        dialog.Send(moved);
        EXPECT_EQ(dialog.FindControl(ValueFieldId(0))->Text(), "40");
        platform::WindowMessage close;
        close.kind = platform::MessageKind::Command;
        close.id = kValueCloseId;
        dialog.Send(close);
    };
    Hold(30, 10);
    EXPECT_EQ(PaintSettings.DOpacity, 40);
    // The lift that ended the held press chose nothing.
    EXPECT_EQ(PaintSettings.Group, 1);
    EXPECT_EQ(Flyout(), nullptr);
}

TEST_F(ToolBarTest, FillToleranceIsKeptOnlyWithOk) {
    static int result = 0;
    system.onModal = [](platform::HeadlessWindow& dialog) {
        EXPECT_EQ(DialogBuildState.title, "Fill Tolerance");
        dialog.FindControl(ValueFieldId(0))->SetText("300");
        EXPECT_EQ(ValueDialogRecord.slot[0].value, 255);
        platform::WindowMessage end;
        end.kind = platform::MessageKind::Command;
        end.id = result == 1 ? kValueOkId : kValueCloseId;
        dialog.Send(end);
    };
    result = 0;
    Hold(70, 10);
    EXPECT_EQ(PaintSettings.FTolerance, 0);
    result = 1;
    Hold(70, 10);
    EXPECT_EQ(PaintSettings.FTolerance, 255);
}

TEST_F(ToolBarTest, GradientStyleKeepsTheOpacityAndTheListHoweverItCloses) {
    GroupCurrent(3) = 2;
    system.onModal = [](platform::HeadlessWindow& dialog) {
        EXPECT_EQ(DialogBuildState.title, "Gradient Style");
        EXPECT_EQ(DialogBuildState.height, 61);
        platform::Control* list = dialog.FindControl(kValueListId);
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->ItemCount(), 3);
        list->SetSelection(2);
        platform::WindowMessage chosen;
        chosen.kind = platform::MessageKind::Command;
        chosen.id = kValueListId;
        chosen.code = platform::Notify::SelectionChanged;
        dialog.Send(chosen);
        platform::WindowMessage up;
        up.kind = platform::MessageKind::UpDownDelta;
        up.id = ValueArrowsId(0);
        up.delta = -1;
        dialog.Send(up);
        platform::WindowMessage close;
        close.kind = platform::MessageKind::Command;
        close.id = kValueCloseId;
        dialog.Send(close);
    };
    Hold(70, 10);
    EXPECT_EQ(PaintSettings.Gradient, 2);
    EXPECT_EQ(PaintSettings.GOpacity, 99);
}

TEST_F(ToolBarTest, CornerRadiusOnlyForTheRoundedRectangle) {
    static int runs = 0;
    runs = 0;
    system.onModal = [](platform::HeadlessWindow& dialog) {
        ++runs;
        EXPECT_EQ(DialogBuildState.title, "Rounded Rectangle Corner");
        dialog.FindControl(ValueFieldId(0))->SetText("25");
        platform::WindowMessage ok;
        ok.kind = platform::MessageKind::Command;
        ok.id = 1;
        dialog.Send(ok);
    };
    Hold(50, 10);  // the current shape is the line
    EXPECT_EQ(runs, 0);
    GroupCurrent(2) = 2;
    Hold(50, 10);
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(PaintSettings.Round, 25);
    Hold(110, 10);  // the picker has no options
    EXPECT_EQ(runs, 1);
}

TEST_F(ToolBarTest, OneShotToolsTellTheBarsWhatTheyChanged) {
    platform::Window* canvas = CurrentBox().window;
    raster::FillRect(*CurrentBox().workDc, {0, 0, 100, 100}, raster::MakeColour(200, 30, 40));
    TapButton(5);
    EXPECT_EQ(PaintSettings.Tool, kToolColourPicker);
    Paint(bar);
    Tap(canvas, 30, 30);
    EXPECT_EQ(PaintSettings.FColor, raster::MakeColour(200, 30, 40));
    // The swatch shows the picked colour at once; the bar hands the pens' button back.
    EXPECT_EQ(raster::GetPixel(bar->GetDC(), 168, 5), raster::MakeColour(200, 30, 40));
    EXPECT_EQ(PaintSettings.Tool, kToolPen);
    EXPECT_EQ(PaintSettings.Group, 1);
    ASSERT_TRUE(Headless(bar)->PaintPending());
    Paint(bar);
    const raster::Colour grey = raster::MakeColour(64, 64, 64);
    EXPECT_EQ(raster::GetPixel(bar->GetDC(), 21, 1), grey);
    EXPECT_EQ(raster::GetPixel(bar->GetDC(), 101, 1), kButtonFace);

    TapButton(kZoomButton);
    Paint(bar);
    Tap(canvas, 30, 30);
    EXPECT_EQ(PaintSettings.Tool, kToolPen);
    EXPECT_TRUE(Headless(bar)->PaintPending());
}

TEST_F(ToolBarTest, APressCarriedOffTheBarTapsNothing) {
    Stylus(bar, MessageKind::StylusDown, 50, 10);
    Stylus(bar, MessageKind::StylusUp, 50, -60);
    EXPECT_EQ(PaintSettings.Group, 1);
    Stylus(bar, MessageKind::StylusDown, 50, 10);
    Stylus(bar, MessageKind::StylusUp, 50, 40);
    EXPECT_EQ(PaintSettings.Group, 1);
    Stylus(bar, MessageKind::StylusDown, 30, 10);
    Stylus(bar, MessageKind::StylusUp, 30, 10);
    EXPECT_NE(Flyout(), nullptr);
}

namespace {

// A strip of magenta with tile 0 (the several-tools mark) solid black and every other tile
// t a colour of its own, so that what a button shows can be told apart.
std::unique_ptr<raster::DrawingContext> Surface(int width, int height) {
    raster::BitmapInfo info{};
    info.header.width = width;
    info.header.height = height;
    info.header.bitCount = 24;
    return raster::CreateMemoryContext(info);
}

std::unique_ptr<raster::DrawingContext> PlainStrip() {
    auto strip = Surface(700, 18);
    raster::FillRect(*strip, {0, 0, 700, 18}, kStripKey);
    raster::FillRect(*strip, {0, 0, kTileSide, kTileSide}, 0x000000);
    for (int t = 1; t < 41; ++t) {
        raster::FillRect(*strip, {kTileSide * t + 4, 4, kTileSide * t + 13, 13}, raster::MakeColour(t * 5, 100, 50));
    }
    return strip;
}

}  // namespace

TEST_F(ToolBarTest, ButtonsShowTheirCurrentToolAndTheMarkOfSeveralTools) {
    auto strip = PlainStrip();
    raster::DrawingContext& dc = bar->GetDC();
    GroupCurrent(2) = 3;  // the ellipse, tile 8
    for (int g = 0; g < kToolGroupCount; ++g) DrawToolButton(dc, strip.get(), g, g, true);
    // Tile 0 covers the cell's middle where a group has several tools, except zoom and
    // transparency (whose two tools take turns on one button).
    for (int g : {0, 1, 2, 3, 4, 9}) EXPECT_EQ(raster::GetPixel(dc, 20 * g + 10, 10), 0u) << g;
    EXPECT_EQ(raster::GetPixel(dc, 20 * 5 + 10, 10), raster::MakeColour(5 * 5, 100, 50));
    EXPECT_EQ(raster::GetPixel(dc, 20 * 6 + 10, 10), raster::MakeColour(14 * 5, 100, 50));
    EXPECT_EQ(raster::GetPixel(dc, 20 * 7 + 10, 10), raster::MakeColour(17 * 5, 100, 50));
    EXPECT_EQ(raster::GetPixel(dc, 20 * 11 + 10, 10), raster::MakeColour(15 * 5, 100, 50));
    GroupCurrent(kTransparencyButton) = 1;
    DrawToolButton(dc, strip.get(), 11, 11, true);
    EXPECT_EQ(raster::GetPixel(dc, 20 * 11 + 10, 10), raster::MakeColour(16 * 5, 100, 50));
    // The tile sits one pixel into the cell; the mark one pixel further.
    EXPECT_EQ(raster::GetPixel(dc, 20 * 2 + 2, 2), 0u);
    EXPECT_EQ(raster::GetPixel(dc, 20 * 2 + 1, 1), kButtonFace);  // not the current group
    PaintSettings.Group = 2;
    DrawToolButton(dc, strip.get(), 2, 2, true);
    EXPECT_EQ(raster::GetPixel(dc, 20 * 2 + 1, 1), raster::MakeColour(64, 64, 64));

    // A flyout row per tool: its tile, the current one in a white square framed in grey.
    auto flyout = Surface(140, 103);
    raster::DrawingContext& rows = *flyout;
    raster::FillRect(rows, {0, 0, 140, 103}, kButtonFace);
    for (int p = 0; p < 5; ++p) DrawToolButton(rows, strip.get(), p, 2, false);
    EXPECT_EQ(raster::GetPixel(rows, 1, 20 * 3 + 1), raster::MakeColour(64, 64, 64));
    EXPECT_EQ(raster::GetPixel(rows, 3, 20 * 3 + 3), 0xFFFFFFu);
    EXPECT_EQ(raster::GetPixel(rows, 1, 20 * 2 + 1), kButtonFace);
    for (int p = 0; p < 5; ++p) {
        EXPECT_EQ(raster::GetPixel(rows, 10, 20 * p + 10), raster::MakeColour(ToolGroups[2].image[p] * 5, 100, 50)) << p;
    }
}

TEST_F(ToolBarTest, MagicWandToleranceIsKeptOnlyWithOk) {
    static int end = 0;
    system.onModal = [](platform::HeadlessWindow& dialog) {
        EXPECT_EQ(DialogBuildState.title, "Magic Wand Tolerance");
        EXPECT_EQ(DialogBuildState.height, 41);
        dialog.FindControl(ValueFieldId(0))->SetText("77");
        platform::WindowMessage message;
        message.kind = platform::MessageKind::Command;
        message.id = end;
        dialog.Send(message);
    };
    end = kValueCloseId;
    Hold(10, 10);
    EXPECT_EQ(PaintSettings.WTolerance, 0);
    end = kValueOkId;
    Hold(10, 10);
    EXPECT_EQ(PaintSettings.WTolerance, 77);
    // Held on the buttons without options, nothing opens.
    system.onModal = [](platform::HeadlessWindow&) { ADD_FAILURE() << DialogBuildState.title; };
    for (int b : {4, 5, 6, 7, 9, 10, 11}) Hold(20 * b + 10, 10);
    EXPECT_EQ(PanelState.FlyoutWindow, nullptr);
    EXPECT_EQ(PanelState.BrushPickerWindow, nullptr);
    EXPECT_EQ(PaintSettings.Trans, 0u);
}

TEST_F(ToolBarTest, EscapeClosesEveryPopupLeavingToolBrushAndColoursAsTheyWere) {
    const int group = PaintSettings.Group;
    const int fill = PaintSettings.Fill;
    TapButton(kFillStyleButton);
    ASSERT_NE(Flyout(), nullptr);
    EscapeKey();
    EXPECT_EQ(Flyout(), nullptr);
    EXPECT_EQ(PaintSettings.Group, group);
    EXPECT_EQ(PaintSettings.Fill, fill);
    // The flyout's own close (Escape with the flyout focused) is the same.
    TapButton(1);
    TapButton(1);
    ASSERT_NE(Flyout(), nullptr);
    platform::WindowMessage close;
    close.kind = MessageKind::Close;
    Flyout()->Send(close);
    EXPECT_EQ(Flyout(), nullptr);
    EXPECT_EQ(PaintSettings.Tool, kToolPen);
    // The brush picker.
    const std::uint32_t brush = PaintSettings.Brush;
    const std::uint32_t size = PaintSettings.Size;
    TapButton(kBrushButton);
    ASSERT_NE(PanelState.BrushPickerWindow, nullptr);
    EscapeKey();
    EXPECT_EQ(PanelState.BrushPickerWindow, nullptr);
    EXPECT_EQ(PaintSettings.Brush, brush);
    EXPECT_EQ(PaintSettings.Size, size);
    // The colour popup, after a drag in it has picked a colour: the colour goes back.
    Tap(bar, 168, 5);
    platform::Window* popup = PanelState.ColourPopupWindow;
    ASSERT_NE(popup, nullptr);
    platform::WindowMessage down;
    down.kind = MessageKind::StylusDown;
    down.x = 140;
    down.y = 140;
    popup->Send(down);
    ASSERT_NE(PaintSettings.FColor, 0x000000u);
    EscapeKey();
    EXPECT_EQ(PanelState.ColourPopupWindow, nullptr);
    EXPECT_EQ(PaintSettings.FColor, 0x000000u);
    EXPECT_EQ(PaintSettings.BColor, 0xFFFFFFu);
    // With nothing open Escape puts a floating piece down.
    ASSERT_EQ(SelectAll(), 1);
    EscapeKey();
    EXPECT_EQ(PaintSettings.Tool, kToolSelectRectangle);
}
