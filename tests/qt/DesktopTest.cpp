// What a desktop program is expected to do beyond the handheld's design: shortcuts, the
// mouse wheel, dropped files, the window title, tips.
#include <QHelpEvent>
#include <QTimer>
#include <QToolTip>

#include "support/FileDialogs.h"
#include "support/QtFixture.h"
#include "support/Pixels.h"
#include "panels/DialogBuilder.h"
#include "panels/PanelState.h"
#include "panels/ToolBar.h"
#include "support/QtInput.h"
#include "platform/FileDialog.h"
#include "platform/qt/QtCommandBar.h"
#include "shell/AboutBox.h"
#include "shell/Menus.h"
#include "image/ToolIds.h"

namespace {

class DesktopTest : public QtTest {
protected:
    void StartActive() {
        Start();
        QWidget* screen = System().Screen();
        screen->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(screen));
    }
    // Keys as the user types them, to whatever has the focus.
    static void Keys(int key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
    }
};

}  // namespace

TEST_F(DesktopTest, ShortcutsRunTheirCommands) {
    StartActive();
    System().SendCommand(CMD_INVERT);
    ASSERT_EQ(WorkPixel(5, 5), 0x000000u);
    // Ctrl+Z steps back over the inversion, Ctrl+Shift+Z and Ctrl+Y step forward again.
    Keys(Qt::Key_Z);
    EXPECT_EQ(WorkPixel(5, 5), 0xFFFFFFu);
    Keys(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(WorkPixel(5, 5), 0x000000u);
    Keys(Qt::Key_Z);
    Keys(Qt::Key_Y);
    EXPECT_EQ(WorkPixel(5, 5), 0x000000u);
    Keys(Qt::Key_Plus);
    EXPECT_FLOAT_EQ(ImageState.ZoomFactor, 2.0f);
    Keys(Qt::Key_Equal);
    EXPECT_FLOAT_EQ(ImageState.ZoomFactor, 4.0f);
    Keys(Qt::Key_Minus);
    EXPECT_FLOAT_EQ(ImageState.ZoomFactor, 2.0f);
    Keys(Qt::Key_0);
    EXPECT_FLOAT_EQ(ImageState.ZoomFactor, 1.0f);
    Keys(Qt::Key_F11, Qt::NoModifier);
    EXPECT_EQ(ShellState.FullScreen, 1u);
    EXPECT_TRUE(System().IsFullScreen());
    Keys(Qt::Key_F11, Qt::NoModifier);
    EXPECT_EQ(ShellState.FullScreen, 0u);
}

TEST_F(DesktopTest, SaveShortcutAsksANameForANewPicture) {
    StartActive();
    ScriptedFileDialog dialogs;
    platform::SetFileDialogService(&dialogs);
    Keys(Qt::Key_S);
    Keys(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    Keys(Qt::Key_O);
    platform::SetFileDialogService(nullptr);
    std::vector<std::string> titles;
    for (const platform::FileDialogRequest& request : dialogs.requests) titles.push_back(request.title);
    EXPECT_EQ(titles, (std::vector<std::string>{"Save Image", "Save Image", "Load Image"}));
}

TEST_F(DesktopTest, EditShortcutsSelectCopyCutAndPaste) {
    StartActive();
    raster::FillRect(*CurrentBox().workDc, raster::Rect{0, 0, 10, 10}, 0x0000FFu);
    // Ctrl+A lifts the whole picture as the floating piece; with nothing floating, Copy,
    // Cut and Paste have nothing to act on and the keys do nothing.
    Keys(Qt::Key_C);
    Keys(Qt::Key_V);
    EXPECT_EQ(PaintSettings.Tool, kToolPen);
    Keys(Qt::Key_A);
    ASSERT_EQ(PaintSettings.Tool, kToolFloatingPiece);
    EXPECT_EQ(FloatingPiece.pieceWidth, 240u);
    EXPECT_EQ(PaintSettings.Group, 0);
    // Ctrl+V while the piece floats is refused as the menu refuses it.
    Keys(Qt::Key_V);
    EXPECT_EQ(PaintSettings.Tool, kToolFloatingPiece);
    // Ctrl+C puts it down and keeps it for Paste.
    Keys(Qt::Key_C);
    EXPECT_EQ(PaintSettings.Tool, kToolSelectRectangle);
    EXPECT_EQ(WorkPixel(5, 5), 0x0000FFu);
    Keys(Qt::Key_V);
    EXPECT_EQ(PaintSettings.Tool, kToolFloatingPiece);
    EXPECT_EQ(FloatingPiece.pieceX, 0);
    // Ctrl+X takes a lifted piece out: the picture keeps the background colour where it was.
    Keys(Qt::Key_A);  // puts the pasted piece down first
    ASSERT_EQ(PaintSettings.Tool, kToolFloatingPiece);
    Keys(Qt::Key_X);
    EXPECT_EQ(PaintSettings.Tool, kToolSelectRectangle);
    EXPECT_EQ(WorkPixel(5, 5), 0xFFFFFFu);
    Keys(Qt::Key_V);
    EXPECT_EQ(PaintSettings.Tool, kToolFloatingPiece);
}

TEST_F(DesktopTest, MenusShowTheShortcutsBesideTheLabels) {
    Start();
    std::unique_ptr<QMenu> file = System().Bar()->BuildMenu(0);
    QStringList texts;
    for (QAction* action : file->actions()) texts << action->text();
    EXPECT_TRUE(texts.contains("Save\tCtrl+S"));
    EXPECT_TRUE(texts.contains("Save As...\tCtrl+Shift+S"));
    EXPECT_TRUE(texts.contains("Exit\tCtrl+Q"));
    EXPECT_TRUE(texts.contains("About..."));
    std::unique_ptr<QMenu> edit = System().Bar()->BuildMenu(1);
    QStringList editTexts;
    for (QAction* action : edit->actions()) editTexts << action->text();
    EXPECT_EQ(editTexts, (QStringList{"Select All\tCtrl+A", "Inverse Selection", "Grow Selection", "Select Similar", "",
                                      "Copy\tCtrl+C", "Paste\tCtrl+V", "Cut\tCtrl+X", "", "Step Backward\tCtrl+Z",
                                      "Step Forward\tCtrl+Shift+Z"}));
    std::unique_ptr<QMenu> view = System().Bar()->BuildMenu(2);
    EXPECT_EQ(view->actions()[0]->text(), "Titlebar\tF11");
}

TEST_F(DesktopTest, EscapeClosesDialogsAsTheirCancelOrCloseWouldAndShortcutsWaitMeanwhile) {
    StartActive();
    float zoomInside = 0.0f;
    QTimer::singleShot(0, [&] {
        Keys(Qt::Key_Plus);
        zoomInside = ImageState.ZoomFactor;
        Keys(Qt::Key_Escape, Qt::NoModifier);
    });
    ShowAboutBox();  // returns once Escape has closed it
    EXPECT_FLOAT_EQ(zoomInside, 1.0f);
    // The Image Size dialog: Escape is its Cancel, the picture keeps its size.
    QTimer::singleShot(0, [&] { Keys(Qt::Key_Escape, Qt::NoModifier); });
    System().SendCommand(CMD_IMAGE_SIZE);
    EXPECT_EQ(CurrentBox().width, 240);
    EXPECT_EQ(DialogBuildState.dialog == nullptr || !DialogBuildState.dialog->IsVisible(), true);
    // A value dialog: Escape is its close button, which puts the picture back as it was.
    QTimer::singleShot(0, [&] {
        QTest::qWait(50);  // a preview or two
        Keys(Qt::Key_Escape, Qt::NoModifier);
    });
    raster::FillRect(*CurrentBox().workDc, raster::Rect{0, 0, 120, 228}, 0x000000u);
    System().SendCommand(CMD_SWIRL);
    EXPECT_EQ(WorkPixel(100, 100), 0x000000u);
    EXPECT_EQ(WorkPixel(140, 100), 0xFFFFFFu);
    // New Image: Escape is its Cancel, and the picture stays.
    ImageState.ImageModified = 0;  // no save question first
    QTimer::singleShot(0, [&] { Keys(Qt::Key_Escape, Qt::NoModifier); });
    System().SendCommand(CMD_NEW);
    EXPECT_EQ(WorkPixel(100, 100), 0x000000u);
    // The main window's keys work again afterwards.
    Keys(Qt::Key_Plus);
    EXPECT_FLOAT_EQ(ImageState.ZoomFactor, 2.0f);
}

TEST_F(DesktopTest, ImageButtonsShowTips) {
    Start();
    platform::qt::QtCommandBar* bar = System().Bar();
    const QRect undo = bar->ButtonRect(5);
    QHelpEvent help(QEvent::ToolTip, undo.center(), bar->mapToGlobal(undo.center()));
    QApplication::sendEvent(bar, &help);
    EXPECT_EQ(QToolTip::text(), "Undo");
    const QRect modifier = bar->ButtonRect(6);
    QHelpEvent help2(QEvent::ToolTip, modifier.center(), bar->mapToGlobal(modifier.center()));
    QApplication::sendEvent(bar, &help2);
    EXPECT_EQ(QToolTip::text(), "Selection Mode: Replace");
}

TEST_F(DesktopTest, ToolBarButtonsFlyoutEntriesAndSwatchZonesShowTips) {
    Start();
    auto* bar = static_cast<platform::qt::QtWindow*>(ShellState.ToolBarWindow);
    ASSERT_NE(bar, nullptr);
    const auto tipAt = [](QWidget* widget, QPoint at) {
        QToolTip::hideText();
        QHelpEvent help(QEvent::ToolTip, at, widget->mapToGlobal(at));
        QApplication::sendEvent(widget, &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    QWidget* client = bar->Client();
    const struct {
        QPoint at;
        const char* tip;
    } cases[] = {
        {{10, 10}, "Select Rectangle"}, {{30, 10}, "Pen"},          {{110, 10}, "Color Picker"},
        {{130, 10}, "Text"},            {{150, 10}, "Zoom In"},     {{176, 3}, "Swap colours"},
        {{162, 16}, "Reset colours"},   {{168, 5}, "Foreground Color"}, {{176, 15}, "Background Color"},
        {{190, 10}, "Fillstyle Hollow"}, {{210, 10}, "Hard Round Brush, size 7"}, {{230, 10}, "Transparency Off"},
    };
    for (const auto& c : cases) EXPECT_EQ(tipAt(client, c.at), c.tip) << c.at.x() << ", " << c.at.y();
    // Past the last button there is nothing to name.
    EXPECT_EQ(ToolBarToolTip(245, 10).text, "");
    // The Pen group's flyout (a tap on the current group opens it) names each entry.
    TapThroughWindow(client, {30, 10});
    auto* flyout = static_cast<platform::qt::QtWindow*>(PanelState.FlyoutWindow);
    ASSERT_NE(flyout, nullptr);
    EXPECT_EQ(tipAt(flyout->Client(), {40, 2 * 20 + 10}), "Airbrush");
    EXPECT_EQ(tipAt(flyout->Client(), {40, 4 * 20 + 10}), "Eraser");
}
