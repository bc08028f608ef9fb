#include "support/PanelFixture.h"
#include "panels/ColourBar.h"
#include "panels/Palettes.h"
#include "shell/Dispatch.h"
#include "shell/Menus.h"
#include "image/ToolIds.h"

namespace {

using platform::MessageKind;

class ColourBarTest : public PanelTest {
protected:
    // Starts the program and shows the colour bar at a position, in a kind.
    platform::Window* ShowBar(std::uint32_t position, std::uint8_t standard, int width = 240, int height = 320) {
        Start(width, height);
        if (ShellState.ColourBarWindow) ToggleColourBar();
        ShellState.ColourBarPosition = position;
        ShellState.StandardColoursMode = standard;
        ToggleColourBar();
        Paint(ShellState.ColourBarWindow);
        return ShellState.ColourBarWindow;
    }
    static raster::Rect Client(platform::Window* w) { return w->ClientRect(); }
};

}  // namespace

TEST(StandardCells, HorizontalCellsTileTheBarFromItsSecondPixelToItsEnd) {
    // 240 wide: a cell is 239 / 30 = 7.97 pixels.
    const raster::Rect first = StandardCellRect(0, 240, 11, false, 0);
    EXPECT_EQ(first.left, 1);
    EXPECT_EQ(first.right, 8);
    EXPECT_EQ(first.top, 1);
    EXPECT_EQ(first.bottom, 11);
    EXPECT_EQ(StandardCellRect(1, 240, 11, false, 0).left, 8);
    EXPECT_EQ(StandardCellRect(1, 240, 11, false, 0).right, 16);
    const raster::Rect last = StandardCellRect(29, 240, 11, false, 0);
    EXPECT_EQ(last.left, 232);
    EXPECT_EQ(last.right, 240);
    for (int i = 0; i + 1 < kStandardColourCount; ++i) {
        EXPECT_EQ(StandardCellRect(i, 240, 11, false, 0).right, StandardCellRect(i + 1, 240, 11, false, 0).left);
    }
}

TEST(StandardCells, PickingFindsTheCellUnderThePoint) {
    EXPECT_EQ(StandardCellAt(7, 5, 240, 11, false, 0), 0);
    EXPECT_EQ(StandardCellAt(8, 5, 240, 11, false, 0), 1);
    EXPECT_EQ(StandardCellAt(237, 5, 240, 11, false, 0), 29);
    // Vertical: the cell length is (h - 1) / 30, one pixel less on a large screen.
    EXPECT_EQ(StandardCellAt(5, 31, 11, 301, true, 0), 3);
    EXPECT_EQ(StandardCellAt(5, 30, 11, 301, true, 0), 2);
    EXPECT_EQ(StandardCellAt(5, 30, 11, 301, true, 1), 3);
    EXPECT_EQ(StandardCellAt(5, 30, 11, 302, true, 1), 2);
    const raster::Rect cell = StandardCellRect(3, 11, 301, true, 0);
    EXPECT_EQ(cell.left, 1);
    EXPECT_EQ(cell.right, 11);
    EXPECT_EQ(cell.top, 31);
    EXPECT_EQ(cell.bottom, 41);
}

TEST(StandardCells, PointsAreHeldInTheBar) {
    const raster::Point down = ClampBarPoint(-9, 40, 240, 11, false, true);
    EXPECT_EQ(down.x, 1);
    EXPECT_EQ(down.y, 18);
    const raster::Point drag = ClampBarPoint(-9, 40, 240, 11, false, false);
    EXPECT_EQ(drag.x, -9);  // a drag past the near end keeps its x: the spectrum gives black there
    EXPECT_EQ(drag.y, 17);
    const raster::Point far = ClampBarPoint(900, -3, 240, 11, false, false);
    EXPECT_EQ(far.x, 236);
    EXPECT_EQ(far.y, 2);
    const raster::Point side = ClampBarPoint(30, 900, 11, 250, true, false);
    EXPECT_EQ(side.x, 16);
    EXPECT_EQ(side.y, 246);
}

TEST_F(ColourBarTest, TapOnTheLastCellPicksColour29AndDraggingOnNeverLeavesTheThirty) {
    platform::Window* bar = ShowBar(kColourBarBottom, 1);
    const int w = Client(bar).Width();
    Stylus(bar, MessageKind::StylusDown, w - 3, 5);
    EXPECT_EQ(PaintSettings.FColor, raster::MakeColour(128, 64, 0));
    EXPECT_EQ(PanelState.PickTarget, kPickForeground);
    EXPECT_EQ(PanelState.ColourBarTracking, 1);
    EXPECT_TRUE(bar->HasCapture());
    Stylus(bar, MessageKind::StylusMove, w + 400, 5);
    EXPECT_EQ(PaintSettings.FColor, raster::MakeColour(128, 64, 0));
    Stylus(bar, MessageKind::StylusMove, -400, 5);
    EXPECT_EQ(PaintSettings.FColor, raster::MakeColour(0, 0, 0));
    Stylus(bar, MessageKind::StylusMove, 9, 5);
    EXPECT_EQ(PaintSettings.FColor, raster::MakeColour(255, 255, 255));
    Stylus(bar, MessageKind::StylusUp, 9, 5);
    EXPECT_EQ(PanelState.ColourBarTracking, 0);
    EXPECT_FALSE(bar->HasCapture());
    // A move without the stylus down picks nothing.
    Stylus(bar, MessageKind::StylusMove, w - 3, 5);
    EXPECT_EQ(PaintSettings.FColor, raster::MakeColour(255, 255, 255));
    EXPECT_EQ(PaintSettings.BColor, raster::MakeColour(255, 255, 255));
}

TEST_F(ColourBarTest, TapAndHoldSetsTheBackgroundAndTheDragThatFollowsKeepsSettingIt) {
    platform::Window* bar = ShowBar(kColourBarTop, 1);
    system.tapAndHold = true;
    // Cell 6 (red) of a 240-pixel bar starts at x 48.
    Stylus(bar, MessageKind::StylusDown, 50, 5);
    EXPECT_EQ(PaintSettings.BColor, raster::MakeColour(255, 0, 0));
    EXPECT_EQ(PaintSettings.FColor, 0u);
    EXPECT_EQ(PanelState.PickTarget, kPickBackground);
    system.tapAndHold = false;
    Stylus(bar, MessageKind::StylusMove, 58, 5);
    EXPECT_EQ(PaintSettings.BColor, raster::MakeColour(255, 255, 0));
    EXPECT_EQ(PaintSettings.FColor, 0u);
    Stylus(bar, MessageKind::StylusUp, 58, 5);
}

TEST_F(ColourBarTest, VerticalBarPicksDownItsLength) {
    platform::Window* bar = ShowBar(kColourBarLeft, 1);
    const int h = Client(bar).Height();
    EXPECT_EQ(Client(bar).Width(), 11);
    Stylus(bar, MessageKind::StylusDown, 5, h + 50);
    EXPECT_EQ(PaintSettings.FColor, raster::MakeColour(128, 64, 0));
    Stylus(bar, MessageKind::StylusMove, 5, -10);
    EXPECT_EQ(PaintSettings.FColor, raster::MakeColour(0, 0, 0));
    Stylus(bar, MessageKind::StylusUp, 5, -10);
    // The cells are painted where they are picked.
    const raster::Rect cell = StandardCellRect(10, 11, h, true, 0);
    EXPECT_EQ(raster::GetPixel(bar->GetDC(), 5, (cell.top + cell.bottom) / 2), raster::MakeColour(0, 0, 255));
    EXPECT_EQ(raster::GetPixel(bar->GetDC(), 1, cell.top), raster::MakeColour(64, 64, 64));
}

TEST_F(ColourBarTest, SpectrumDragPastTheLeftEndPicksBlackAndElsewhereTheShownPixel) {
    platform::Window* bar = ShowBar(kColourBarBottom, 0);
    EXPECT_EQ(Client(bar).Height(), 19);
    // Whatever the strip shows is what is picked.
    raster::SetPixel(bar->GetDC(), 40, 9, raster::MakeColour(12, 34, 56));
    Stylus(bar, MessageKind::StylusDown, 40, 9);
    EXPECT_EQ(PaintSettings.FColor, raster::MakeColour(12, 34, 56));
    Stylus(bar, MessageKind::StylusMove, -5, 9);
    EXPECT_EQ(PaintSettings.FColor, 0u);
    // The stylus-down is held inside the strip instead.
    raster::SetPixel(bar->GetDC(), 1, 9, raster::MakeColour(1, 2, 3));
    Stylus(bar, MessageKind::StylusUp, -5, 9);
    Stylus(bar, MessageKind::StylusDown, -5, 9);
    EXPECT_EQ(PaintSettings.FColor, raster::MakeColour(1, 2, 3));
}

TEST_F(ColourBarTest, SpectrumBarIsFramedInDarkGrey) {
    platform::Window* bar = ShowBar(kColourBarBottom, 0);
    const int w = Client(bar).Width();
    EXPECT_EQ(raster::GetPixel(bar->GetDC(), 0, 0), kButtonFace);
    EXPECT_EQ(raster::GetPixel(bar->GetDC(), 1, 1), raster::MakeColour(64, 64, 64));
    EXPECT_EQ(raster::GetPixel(bar->GetDC(), w - 2, 1), raster::MakeColour(64, 64, 64));
    EXPECT_EQ(raster::GetPixel(bar->GetDC(), w - 1, 1), kButtonFace);
}

TEST_F(ColourBarTest, ChoosingTheShownKindHidesTheBarAndTheOtherKindSwitchesIt) {
    Start();
    if (ShellState.ColourBarWindow) ToggleColourBar();
    DispatchCommand(CMD_SPECTRUM_COLORBAR);
    ASSERT_NE(ShellState.ColourBarWindow, nullptr);
    EXPECT_EQ(ShellState.StandardColoursMode, 0);
    EXPECT_EQ(ShellState.ColourBarWindow->WindowRect().Height(), 21);
    DispatchCommand(CMD_SPECTRUM_COLORBAR);
    EXPECT_EQ(ShellState.ColourBarWindow, nullptr);
    DispatchCommand(CMD_SPECTRUM_COLORBAR);
    ASSERT_NE(ShellState.ColourBarWindow, nullptr);
    DispatchCommand(CMD_STANDARD_COLORS);
    ASSERT_NE(ShellState.ColourBarWindow, nullptr);
    EXPECT_EQ(ShellState.StandardColoursMode, 1);
    EXPECT_EQ(ShellState.ColourBarWindow->WindowRect().Height(), 13);
    DispatchCommand(CMD_STANDARD_COLORS);
    EXPECT_EQ(ShellState.ColourBarWindow, nullptr);
}

TEST_F(ColourBarTest, PositionsPlaceTheBarOnEachEdge) {
    platform::Window* bar = ShowBar(kColourBarBottom, 1);
    const int screen = 240;
    EXPECT_EQ(bar->WindowRect().left, -1);
    EXPECT_EQ(bar->WindowRect().Width(), screen + 2);
    DispatchCommand(CMD_COLORBAR_RIGHT);
    EXPECT_EQ(bar->WindowRect().left, screen - 13 + 1);
    EXPECT_EQ(bar->WindowRect().Width(), 13);
    DispatchCommand(CMD_COLORBAR_TOP);
    EXPECT_EQ(bar->WindowRect().top, -1);
    EXPECT_EQ(CurrentBox().window->WindowRect().top, 13 - 2);
}

TEST_F(ColourBarTest, APolygonBeingDrawnIsShownAgainInThePickedColours) {
    platform::Window* bar = ShowBar(kColourBarBottom, 1);
    platform::Window* canvas = CurrentBox().window;
    PaintSettings.Tool = kToolPolygon;
    PaintSettings.Fill = 1;  // outlined: the background fills it
    PaintSettings.Size = 1;
    CanvasState.PolygonPoints[0] = {10, 10};
    CanvasState.PolygonPoints[1] = {60, 10};
    CanvasState.PolygonPoints[2] = {60, 40};
    Tap(bar, 50, 5);  // red, but no vertex fixed yet: nothing to show
    EXPECT_EQ(raster::GetPixel(canvas->GetDC(), 35, 10), 0xFFFFFFu);
    CanvasState.PolygonCount = 3;
    Tap(bar, 60, 5);  // yellow outline
    EXPECT_EQ(raster::GetPixel(canvas->GetDC(), 35, 10), raster::MakeColour(255, 255, 0));
    system.tapAndHold = true;
    Tap(bar, 85, 5);  // a blue inside
    EXPECT_EQ(raster::GetPixel(canvas->GetDC(), 55, 20), raster::MakeColour(0, 0, 255));
    // Shown only: the image keeps none of it.
    EXPECT_EQ(raster::GetPixel(*CurrentBox().workDc, 35, 10), 0xFFFFFFu);
    EXPECT_EQ(raster::GetPixel(*CurrentBox().workDc, 55, 20), 0xFFFFFFu);
}

TEST(Palettes, ComputedPalettesRunFromFullToNothing) {
    EXPECT_EQ(PaletteColour(kPaletteGrayscale, 0), raster::MakeColour(255, 255, 255));
    EXPECT_EQ(PaletteColour(kPaletteGrayscale, 255), raster::MakeColour(0, 0, 0));
    EXPECT_EQ(PaletteColour(kPaletteRed, 0), raster::MakeColour(255, 0, 0));
    EXPECT_EQ(PaletteColour(kPaletteGreen, 55), raster::MakeColour(0, 200, 0));
    EXPECT_EQ(PaletteColour(kPaletteBlue, 254), raster::MakeColour(0, 0, 1));
    EXPECT_EQ(PaletteColour(kPaletteSpectrum, 3), 0u);
    EXPECT_EQ(PaletteColour(7, 3), 0u);
    EXPECT_EQ(PaletteColour(-1, 3), 0u);
}

TEST(Palettes, DefaultPaletteIsTheSystemColoursAroundTheCubeAndTheGreys) {
    // Entries 10 to 222: the 6-level cube, third level slowest, without black, silver and (0,255,255).
    const int levels[6] = {0, 44, 86, 135, 192, 255};
    int entry = 10;
    for (int c : levels) {
        for (int b : levels) {
            for (int a : levels) {
                if ((a == 0 && b == 0 && c == 0) || (a == 192 && b == 192 && c == 192) ||
                    (a == 0 && b == 255 && c == 255)) {
                    continue;
                }
                ASSERT_EQ(PaletteColour(kPaletteDefault, entry), raster::MakeColour(c, b, a)) << entry;
                ++entry;
            }
        }
    }
    EXPECT_EQ(entry, 223);
    EXPECT_EQ(PaletteColour(kPaletteDefault, 9), raster::MakeColour(240, 202, 166));
    EXPECT_EQ(PaletteColour(kPaletteDefault, 223), raster::MakeColour(17, 17, 17));
    EXPECT_EQ(PaletteColour(kPaletteDefault, 245), raster::MakeColour(255, 255, 255));
    EXPECT_EQ(PaletteColour(kPaletteDefault, 246), raster::MakeColour(240, 251, 255));
    EXPECT_EQ(PaletteColour(kPaletteDefault, 249), raster::MakeColour(0, 0, 255));
}

TEST(Palettes, VisiBoneRowsReadAsWritten) {
    EXPECT_EQ(PaletteColour(kPaletteVisiBone, 6), raster::MakeColour(0xFF, 0xCC, 0x00));
    EXPECT_EQ(PaletteColour(kPaletteVisiBone, 16 * 4 + 13), raster::MakeColour(0xCC, 0x29, 0x99));
    EXPECT_EQ(PaletteColour(kPaletteVisiBone, 16 * 13 + 9), raster::MakeColour(0x00, 0x00, 0xFF));
    EXPECT_EQ(PaletteColour(kPaletteVisiBone, 16 * 15 + 6), raster::MakeColour(0x00, 0xCC, 0xFF));
    EXPECT_EQ(PaletteColour(kPaletteVisiBone, 255), raster::MakeColour(0xFF, 0xFF, 0xFF));
}

TEST(Palettes, TableCellsSitOnANinePixelPitchOverBlack) {
    auto dc = raster::CreateMemoryContext([] {
        raster::BitmapInfo info{};
        info.header.width = 160;
        info.header.height = 160;
        info.header.bitCount = 24;
        return info;
    }());
    ASSERT_TRUE(dc);
    raster::FillRect(*dc, {0, 0, 160, 160}, 0x123456);
    ResetPaintSettings();
    PaintSettings.Palette = kPaletteGrayscale;
    DrawPalette(*dc, 4, 4);
    EXPECT_EQ(raster::GetPixel(*dc, 4, 4), raster::MakeColour(255, 255, 255));
    EXPECT_EQ(raster::GetPixel(*dc, 11, 11), raster::MakeColour(255, 255, 255));
    EXPECT_EQ(raster::GetPixel(*dc, 12, 4), 0u);  // the black line between cells
    EXPECT_EQ(raster::GetPixel(*dc, 13, 4), raster::MakeColour(254, 254, 254));
    EXPECT_EQ(raster::GetPixel(*dc, 4 + 143, 4 + 143), 0u);  // the last line
    EXPECT_EQ(raster::GetPixel(*dc, 4 + 142, 4 + 142), 0u);  // entry 255 is black
    EXPECT_EQ(raster::GetPixel(*dc, 4 + 144, 4), 0x123456u);
    EXPECT_EQ(PaletteEntryAt(143, 143), 255);
    EXPECT_EQ(PaletteEntryAt(144, 10), -1);
    EXPECT_EQ(PaletteEntryAt(9, 9), 17);
    ResetPaintSettings();
}

TEST(Palettes, SwatchShowsForegroundOverBackground) {
    auto dc = raster::CreateMemoryContext([] {
        raster::BitmapInfo info{};
        info.header.width = 240;
        info.header.height = 21;
        info.header.bitCount = 24;
        return info;
    }());
    ASSERT_TRUE(dc);
    ResetPaintSettings();
    PaintSettings.FColor = raster::MakeColour(255, 0, 0);
    PaintSettings.BColor = raster::MakeColour(0, 0, 255);
    DrawColourSwatch(*dc);
    const raster::Colour grey = raster::MakeColour(64, 64, 64);
    EXPECT_EQ(raster::GetPixel(*dc, 166, 3), PaintSettings.FColor);
    EXPECT_EQ(raster::GetPixel(*dc, 172, 10), PaintSettings.FColor);  // over the background's corner
    EXPECT_EQ(raster::GetPixel(*dc, 173, 11), grey);
    EXPECT_EQ(raster::GetPixel(*dc, 177, 16), PaintSettings.BColor);
    EXPECT_EQ(raster::GetPixel(*dc, 178, 17), grey);
    EXPECT_EQ(raster::GetPixel(*dc, 162, 19), grey);
    ResetPaintSettings();
}
