#include "support/ShellFixture.h"

namespace {

BarLayoutInput Screen(int cx, int cy, int frameTop, int commandBar) {
    BarLayoutInput in;
    in.screenWidth = cx;
    in.screenHeight = cy;
    in.frameTop = frameTop;
    in.commandBarHeight = commandBar;
    return in;
}

void ExpectRect(const raster::Rect& r, int x, int y, int width, int height) {
    EXPECT_EQ(r.left, x);
    EXPECT_EQ(r.top, y);
    EXPECT_EQ(r.Width(), width);
    EXPECT_EQ(r.Height(), height);
}

}  // namespace

TEST(BarLayout, SmallScreenWithToolBarAndSpectrumBarAtTheBottom) {
    const int T = 26;
    const int B = 26;
    BarLayoutInput in = Screen(240, 320, T, B);
    in.colourBarShown = true;
    in.colourBarThickness = 21;
    in.colourBarPosition = kColourBarBottom;
    in.toolBarShown = true;
    const BarLayout layout = ComputeBarLayout(in);
    ExpectRect(layout.colourBar, -1, 278 - T - B, 242, 21);
    ExpectRect(layout.toolBar, -1, 298 - T - B, 242, 23);
    ExpectRect(layout.canvas, -1, 0, 242, 279 - T - B);
}

TEST(BarLayout, LargeScreenCanvasOverlapsTwoPixels) {
    BarLayoutInput in = Screen(480, 640, 0, 26);
    in.highResolution = 1;
    const BarLayout layout = ComputeBarLayout(in);
    ExpectRect(layout.canvas, -2, 0, 484, 640 - 26 + 2);
    EXPECT_TRUE(layout.toolBar.IsEmpty());
    EXPECT_TRUE(layout.colourBar.IsEmpty());
}

TEST(BarLayout, NarrowScreenSideBarStopsAboveTheToolBar) {
    BarLayoutInput in = Screen(240, 320, 26, 26);
    in.colourBarShown = true;
    in.colourBarThickness = 13;
    in.colourBarPosition = kColourBarLeft;
    in.toolBarShown = true;
    const BarLayout layout = ComputeBarLayout(in);
    const int h = 320 - 26 - 26 + 1;
    ExpectRect(layout.colourBar, -1, 0, 13, h - 22);
    ExpectRect(layout.toolBar, -1, 320 - 26 - 26 - 22, 242, 23);
    ExpectRect(layout.canvas, -1 + 12, 0, 242 - 12, h - 22);
    EXPECT_EQ(layout.canvas.Height(), layout.colourBar.Height());
}

TEST(BarLayout, WideScreenSideBarsRunTheFullHeightAndShortenTheToolBar) {
    BarLayoutInput in = Screen(300, 320, 0, 26);
    in.colourBarShown = true;
    in.colourBarThickness = 21;
    in.toolBarShown = true;
    in.colourBarPosition = kColourBarLeft;
    BarLayout layout = ComputeBarLayout(in);
    const int h = 320 - 26 + 1;
    ExpectRect(layout.colourBar, -1, 0, 21, h);
    ExpectRect(layout.toolBar, 21 - 2, 320 - 26 - 22, 302, 23);
    ExpectRect(layout.canvas, -1 + 20, 0, 302 - 20, h - 22);

    // 260 pixels is already wide enough for the side bar to run the full height.
    in.screenWidth = 260;
    layout = ComputeBarLayout(in);
    EXPECT_EQ(layout.colourBar.Height(), h);
    EXPECT_EQ(layout.toolBar.left, 19);
    in.screenWidth = 259;
    layout = ComputeBarLayout(in);
    EXPECT_EQ(layout.colourBar.Height(), h - 22);
    EXPECT_EQ(layout.toolBar.left, -1);
    in.screenWidth = 300;

    in.colourBarPosition = kColourBarRight;
    layout = ComputeBarLayout(in);
    ExpectRect(layout.colourBar, 300 - 21 + 1, 0, 21, h);
    ExpectRect(layout.toolBar, -1, 320 - 26 - 22, 300 - 21 + 3, 23);
    ExpectRect(layout.canvas, -1, 0, 302 - 20, h - 22);
}

TEST(BarLayout, TopBarAndFullScreen) {
    BarLayoutInput in = Screen(240, 320, 26, 26);
    in.colourBarShown = true;
    in.colourBarThickness = 13;
    in.colourBarPosition = kColourBarTop;
    in.fullScreen = 1;
    BarLayout layout = ComputeBarLayout(in);
    // Full screen: the frame top no longer counts.
    const int h = 320 - 26 + 1;
    ExpectRect(layout.colourBar, -1, -1, 242, 13);
    ExpectRect(layout.canvas, -1, 11, 242, h - 13 + 2);

    in.colourBarPosition = 4;  // beyond Bottom: the bar is placed nowhere
    layout = ComputeBarLayout(in);
    EXPECT_TRUE(layout.colourBar.IsEmpty());
    ExpectRect(layout.canvas, -1, 0, 242, h);
}

TEST(BarLayout, HighResolutionFollowsScreenSizeAndDpi) {
    EXPECT_EQ(HighResolutionFor(240, 320, 96), 0u);
    EXPECT_EQ(HighResolutionFor(320, 240, 96), 0u);
    EXPECT_EQ(HighResolutionFor(321, 240, 96), 1u);
    EXPECT_EQ(HighResolutionFor(240, 321, 96), 1u);
    EXPECT_EQ(HighResolutionFor(240, 320, 100), 0u);
    EXPECT_EQ(HighResolutionFor(240, 320, 101), 1u);
}

TEST(BarLayout, ProgramFolderIsThePathUpToItsLastSlash) {
    EXPECT_EQ(ProgramFolderOf("/opt/pixelwright/bin/pixelwright"), "/opt/pixelwright/bin");
    EXPECT_EQ(ProgramFolderOf("pixelwright"), "/");
    EXPECT_EQ(ProgramFolderOf("/pixelwright"), "");
}

TEST_F(ShellTest, StartUpMakesTheFirstImageAndLaysOutTheCanvas) {
    Start(240, 320);
    ASSERT_NE(ShellState.MainWindow, nullptr);
    EXPECT_EQ(ShellState.MainWindow->Title(), "untitled - Pixelwright");
    EXPECT_EQ(ShellState.ProgramFolder, "/opt/pixelwright/bin");
    EXPECT_EQ(ShellState.FrameTop, 0);
    EXPECT_EQ(ShellState.CommandBarHeight, 26);
    EXPECT_EQ(ShellState.HighResolution, 0u);
    EXPECT_EQ(ShellState.FullScreen, 0u);
    EXPECT_NE(ImageState.CurrentImage, 0u);
    EXPECT_EQ(CurrentBox().width, 240);
    EXPECT_EQ(CurrentBox().height, 228);
    ASSERT_NE(Canvas(), nullptr);
    // The first start shows the standard colours at the bottom and the tool bar under them;
    // the canvas takes the rest above, one pixel over each edge.
    const raster::Rect r = Canvas()->WindowRect();
    EXPECT_EQ(r.left, -1);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.Width(), 242);
    EXPECT_EQ(r.Height(), 320 - 26 + 1 - 13 + 1 - 22);
    ASSERT_NE(ShellState.ColourBarWindow, nullptr);
    ASSERT_NE(ShellState.ToolBarWindow, nullptr);
    EXPECT_EQ(ShellState.ColourBarWindow->WindowRect().top, 320 - 26 - 13 - 21);
    EXPECT_EQ(ShellState.ToolBarWindow->WindowRect().top, 320 - 26 - 22);
    // The main window paints itself dark grey.
    raster::Bitmap* surface = ShellState.MainWindow->GetDC().SelectedBitmap();
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface->Row(5)[5 * 3], 0x60);
}

TEST_F(ShellTest, StoredTitlebarZeroStartsFullScreen) {
    settings.WriteNumber("Titlebar", 0);
    Start(240, 320);
    EXPECT_EQ(ShellState.FullScreen, 1u);
    EXPECT_TRUE(system.fullScreen);
    const raster::Rect frame = ShellState.MainWindow->WindowRect();
    EXPECT_EQ(frame.Width(), 240);
    EXPECT_EQ(frame.Height(), 320);
}

TEST_F(ShellTest, StoredTitlebarOneKeepsTheNormalWindow) {
    settings.WriteNumber("Titlebar", 1);
    Start(240, 320);
    EXPECT_EQ(ShellState.FullScreen, 0u);
    EXPECT_FALSE(system.fullScreen);
}

TEST_F(ShellTest, ApplyFullScreenWithoutAnImageChangesNothing) {
    Start(240, 320);
    FreeImageBox(ImageState.CurrentImage);
    ImageState.CurrentImage = 0;
    const raster::Rect before = ShellState.MainWindow->WindowRect();
    ShellState.FullScreen = 1;
    ApplyFullScreen();
    EXPECT_FALSE(system.fullScreen);
    EXPECT_EQ(ShellState.LayoutBusy, 0u);
    const raster::Rect after = ShellState.MainWindow->WindowRect();
    EXPECT_EQ(after.Width(), before.Width());
    EXPECT_EQ(after.Height(), before.Height());
}

TEST_F(ShellTest, SizeMessageDuringLayoutDoesNoSecondLayout) {
    Start(240, 320);
    Canvas()->Move(5, 5, 50, 50, false);
    ShellState.LayoutBusy = 1;
    platform::WindowMessage size;
    size.kind = platform::MessageKind::Size;
    ShellState.MainWindow->Send(size);
    EXPECT_EQ(Canvas()->WindowRect().left, 5);
    ShellState.LayoutBusy = 0;
    ShellState.MainWindow->Send(size);
    EXPECT_EQ(Canvas()->WindowRect().left, -1);
    EXPECT_EQ(Canvas()->WindowRect().Width(), 242);
}

TEST_F(ShellTest, ScreenGrowingPastThreeHundredTwentyTurnsHighResolutionOn) {
    settings.WriteNumber("Toolbar", 0);
    settings.WriteNumber("Colorbar", 17);
    Start(240, 320);
    system.screenWidth = 480;
    system.screenHeight = 640;
    ShellState.MainWindow->Move(0, 0, 480, 640 - 26, true);
    EXPECT_EQ(ShellState.HighResolution, 1u);
    const raster::Rect r = Canvas()->WindowRect();
    EXPECT_EQ(r.left, -2);
    EXPECT_EQ(r.Width(), 484);
    EXPECT_EQ(r.Height(), 640 - 26 + 2);
}
