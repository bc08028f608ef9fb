#include <QDir>
#include <QImage>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>

#include "support/QtFixture.h"
#include "platform/qt/QtChrome.h"
#include "platform/qt/QtCommandBar.h"
#include "shell/Menus.h"

namespace {

QRgb Pixel(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

}  // namespace

TEST_F(QtTest, ScreenshotShowsTheCanvasTheMarginsAndTheCommandBar) {
    Start();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("screen.png");
    ASSERT_TRUE(platform::qt::SaveScreenshot(path));
    const QImage shot(path);
    ASSERT_FALSE(shot.isNull());
    EXPECT_EQ(shot.width(), 480);
    // The screen area, and the status bar under it.
    EXPECT_EQ(shot.height(), 640 + platform::qt::QtStatusBar::kHeight);
    // A large screen: the canvas starts two pixels left of it, with a one-pixel border, so
    // image column 0 is screen column -1; the image is 240 x 228 in white.
    EXPECT_EQ(Pixel(shot, 0, 1), 0xFFFFFFu);
    EXPECT_EQ(Pixel(shot, 238, 228), 0xFFFFFFu);
    // Beyond the image the view is gray.
    EXPECT_EQ(Pixel(shot, 239, 100), 0x808080u);
    EXPECT_EQ(Pixel(shot, 100, 229), 0x808080u);
    EXPECT_EQ(Pixel(shot, 470, 500), 0x808080u);
    // The command bar across the bottom, 26 pixels high, a line on its top edge.
    const int barTop = 640 - platform::qt::QtCommandBar::kHeight;
    EXPECT_EQ(Pixel(shot, 470, barTop + 10), 0xD8D8D8u);
    EXPECT_EQ(Pixel(shot, 470, barTop), 0x808080u);
    // Its text buttons print dark labels.
    bool ink = false;
    for (int x = 0; x < 40 && !ink; ++x) {
        for (int y = barTop + 4; y < 636 && !ink; ++y) ink = qGray(shot.pixel(x, y)) < 100;
    }
    EXPECT_TRUE(ink);
}

TEST_F(QtTest, FrameWithoutACanvasIsDarkGrey) {
    Start();
    CurrentBox().window->Show(false);
    const QImage shot = platform::qt::GrabScreen();
    EXPECT_EQ(Pixel(shot, 200, 300), 0x606060u);
}

TEST_F(QtTest, ResizingTheProgramsWindowLaysTheCanvasOutAgain) {
    Start();
    // The screen area of a handheld, the status bar under it.
    System().Screen()->resize(240, 320 + platform::qt::QtStatusBar::kHeight);
    QCoreApplication::processEvents();
    EXPECT_EQ(ShellState.HighResolution, 0u);
    const raster::Rect r = Canvas()->WindowRect();
    EXPECT_EQ(r.left, -1);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.Width(), 242);
    // Above the standard colours and the tool bar.
    EXPECT_EQ(r.Height(), 320 - 26 + 1 - 13 + 1 - 22);
}

TEST_F(QtTest, TitlebarSwitchesTheWindowToFullScreenAndBack) {
    Start();
    System().SendCommand(CMD_TITLEBAR);
    EXPECT_TRUE(System().IsFullScreen());
    EXPECT_TRUE(System().Screen()->isFullScreen());
    System().SendCommand(CMD_TITLEBAR);
    EXPECT_FALSE(System().IsFullScreen());
    EXPECT_FALSE(System().Screen()->isFullScreen());
}

TEST_F(QtTest, ScrollBarsAppearWhenTheZoomedImageOutgrowsTheCanvas) {
    Start();
    auto bars = Canvas()->Outer()->findChildren<QScrollBar*>();
    ASSERT_EQ(bars.size(), 2);
    for (QScrollBar* bar : bars) EXPECT_FALSE(bar->isVisibleTo(Canvas()->Outer()));
    System().SendCommand(3209);  // 400 %
    ASSERT_EQ(ImageState.ZoomFactor, 4.0f);
    QScrollBar* horizontal = bars[0]->orientation() == Qt::Horizontal ? bars[0] : bars[1];
    EXPECT_TRUE(horizontal->isVisibleTo(Canvas()->Outer()));
    // The client area gives way to the bars.
    const int sb = System().ScrollBarHeight();
    EXPECT_EQ(Canvas()->ClientRect().Width(), 484 - 2 - sb);
    // A step on the bar reaches the canvas as a line step of five window pixels.
    horizontal->setSliderDown(true);
    horizontal->setSliderPosition(0);
    horizontal->setSliderDown(false);
    EXPECT_EQ(CurrentBox().scrollX, 0);
    const std::int32_t before = CurrentBox().scrollX;
    horizontal->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(CurrentBox().scrollX, before + 5);
    EXPECT_EQ(horizontal->value(), CurrentBox().scrollX);
    // Dragging past the end stops at the canvas's own limit: the image's zoomed width less the client's.
    horizontal->setSliderDown(true);
    horizontal->setSliderPosition(horizontal->maximum());
    horizontal->setSliderDown(false);
    EXPECT_EQ(CurrentBox().scrollX, 240 * 4 - Canvas()->ClientRect().Width());
    EXPECT_EQ(horizontal->value(), CurrentBox().scrollX);
}

TEST_F(QtTest, CommandBarMenusFollowTheUpdateRules) {
    Start();
    platform::qt::QtCommandBar* bar = System().Bar();
    std::unique_ptr<QMenu> file = bar->BuildMenu(0);
    ASSERT_NE(file, nullptr);
    QStringList labels;
    QAction* save = nullptr;
    QAction* saveAs = nullptr;
    for (QAction* action : file->actions()) {
        // After a tab comes the item's shortcut.
        const QString label = action->text().section('\t', 0, 0);
        labels << label;
        if (label == "Save") save = action;
        if (label == "Save As...") saveAs = action;
    }
    EXPECT_EQ(labels, (QStringList{"About...", "", "Recent", "Revert...", "New...", "Open...", "Save", "Save As...", "",
                                   "Exit"}));
    ASSERT_NE(save, nullptr);
    EXPECT_FALSE(save->isEnabled());
    EXPECT_TRUE(saveAs->isEnabled());
    std::unique_ptr<QMenu> view = bar->BuildMenu(2);
    EXPECT_TRUE(view->actions()[0]->isChecked());  // Titlebar
    EXPECT_EQ(bar->BuildMenu(5), nullptr);         // an image button has no menu
    // Choosing an item sends its identifier to the main window.
    std::unique_ptr<QMenu> image = bar->BuildMenu(3);
    QAction* info = image->actions().back();
    ASSERT_EQ(info->text(), "Image Information...");
    info->trigger();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text.substr(0, 18), "Filename: untitled");
}

TEST_F(QtTest, TappingTheModifierButtonChangesItsImage) {
    Start();
    platform::qt::QtCommandBar* bar = System().Bar();
    const QRect button = bar->ButtonRect(6);
    ASSERT_FALSE(button.isEmpty());
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, button.center());
    EXPECT_EQ(CanvasState.SelectModifier, 1);
    EXPECT_EQ(bar->Model().ButtonImage(6), 3);
    EXPECT_TRUE(bar->Model().IsButtonPressed(CMD_MODIFIER_MODE));
    EXPECT_TRUE(bar->ButtonRect(7).isEmpty());
}

TEST_F(QtTest, ClosingTheWindowAsksAboutUnsavedChanges) {
    Start();
    ImageState.ImageModified = 1;
    System().Screen()->close();
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Save changes to\n\"untitled\" ?");
    // Cancelled: the program goes on.
    EXPECT_TRUE(System().Screen()->isVisible());
    EXPECT_NE(ShellState.MainWindow, nullptr);
}
TEST(FirstWindow, FitsTheAvailableAreaOfAnyScreenAndScale) {
    const QSize minimum(234, 122);
    // A common laptop: the usual size, centred, with room for the title bar.
    EXPECT_EQ(platform::qt::FirstWindowRect(QRect(0, 0, 1280, 800), minimum), QRect(400, 56, 480, 640));
    // A panel at the top takes its share.
    EXPECT_EQ(platform::qt::FirstWindowRect(QRect(0, 27, 1366, 741), minimum), QRect(443, 53, 480, 640));
    // The same laptop at scale factor 2 offers 640 x 400 logical pixels.
    EXPECT_EQ(platform::qt::FirstWindowRect(QRect(0, 0, 640, 400), minimum), QRect(80, 0, 480, 352));
    // A second screen to the right.
    EXPECT_EQ(platform::qt::FirstWindowRect(QRect(1920, 0, 1920, 1080), minimum), QRect(2640, 196, 480, 640));
    // A small screen gets what there is, but never less than the command bar needs.
    EXPECT_EQ(platform::qt::FirstWindowRect(QRect(0, 0, 320, 240), minimum), QRect(8, 0, 304, 192));
    EXPECT_EQ(platform::qt::FirstWindowRect(QRect(0, 0, 200, 100), minimum).size(), minimum);
}

TEST(FirstWindow, TheProgramsFirstWindowFitsTheScreenItOpensOn) {
    TestApplication();
    platform::MemorySettingsStore settings;
    platform::qt::InstallQtPlatform(&settings);
    QWidget* screen = platform::qt::InstalledSystem()->Screen();
    const QRect available = screen->screen()->availableGeometry();
    EXPECT_LE(screen->width(), available.width());
    EXPECT_LE(screen->height() + 48, available.height());
    EXPECT_TRUE(available.contains(screen->geometry())) << available.width() << "x" << available.height();
    platform::qt::UninstallQtPlatform();
}

TEST_F(QtTest, TheWindowNeverGetsSmallerThanTheWholeCommandBar) {
    Start();
    platform::qt::QtCommandBar* bar = System().Bar();
    const int buttons = bar->Model().ButtonCount();
    ASSERT_EQ(buttons, 7);
    const QSize minimum = System().Screen()->minimumSize();
    EXPECT_EQ(minimum.width(), bar->ButtonRect(buttons - 1).right() + 1);
    EXPECT_LE(minimum.width(), 240);  // the handheld's screen still fits it
    const int status = platform::qt::QtStatusBar::kHeight;
    EXPECT_EQ(minimum.height(), platform::qt::QtCommandBar::kHeight + 96 + status);
    System().Screen()->resize(100, 60);
    QCoreApplication::processEvents();
    EXPECT_EQ(System().Screen()->size(), minimum);
    // The bar lies whole inside the window, its last button too.
    EXPECT_EQ(bar->geometry(), QRect(0, minimum.height() - status - bar->height(), minimum.width(), bar->height()));
    EXPECT_LE(bar->ButtonRect(buttons - 1).right(), bar->width() - 1);
}
