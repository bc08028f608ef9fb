// A selection through the real widgets offscreen: a rectangle dragged with the mouse lifts a
// piece, a drag moves it, a click outside drops it, and Undo from the command bar floats it
// again and then returns it to where it was made.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <filesystem>
#include <unistd.h>

#include "image/ImageSlots.h"
#include "image/Undo.h"
#include "platform/Settings.h"
#include "platform/qt/QtCommandBar.h"
#include "platform/qt/QtPlatform.h"
#include "platform/qt/QtWindow.h"
#include "platform/qt/QtWindowSystem.h"
#include "platform/raster/Draw.h"
#include "shell/MainFrame.h"
#include "shell/ProgramState.h"
#include "support/QtApplication.h"
#include "support/QtInput.h"
#include "support/Pixels.h"
#include "image/PaintSettings.h"
#include "tools/Canvas.h"
#include "tools/ToolChoice.h"
#include "tools/ToolGroups.h"
#include "tools/ToolTable.h"
#include "image/ToolIds.h"

namespace {

namespace fs = std::filesystem;

constexpr raster::Colour kRed = 0x0000FF;
constexpr raster::Colour kWhite = 0xFFFFFF;

raster::Colour ScreenPixel(QWidget* widget, int x, int y) { return widget->grab().toImage().pixel(x, y) & 0xFFFFFF; }
// Screen pixels are 0xRRGGBB; image colours 0xBBGGRR.
constexpr unsigned kScreenRed = 0xFF0000;

TEST(SelectionFlow, SelectDragDropAndUndoWithTheMouse) {
    TestApplication();
    const fs::path folder = fs::temp_directory_path() / ("pw-selection-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    ResetProgramState();
    platform::MemorySettingsStore settings;
    platform::qt::InstallQtPlatform(&settings, 480, 640);
    ASSERT_EQ(StartApplication((folder / "pixelwright").string()), 1);
    QApplication::processEvents();
    auto* canvas = static_cast<platform::qt::QtWindow*>(CurrentBox().window);
    ASSERT_NE(canvas, nullptr);
    QWidget* client = canvas->Client();
    platform::qt::QtCommandBar* bar = platform::qt::InstalledSystem()->Bar();
    ASSERT_NE(bar, nullptr);

    // A red square on white, and the Select Rectangle entry of the Select group.
    raster::FillRect(*CurrentBox().workDc, {0, 0, CurrentBox().width, CurrentBox().height}, kWhite);
    raster::FillRect(*CurrentBox().workDc, {40, 40, 60, 60}, kRed);
    TakeImageUndo();
    PaintSettings.BColor = kWhite;
    FillToolGroups();
    GroupCurrent(kGroupSelect) = RowOfTool(kToolSelectRectangle)->place;
    PaintSettings.Group = kGroupSelect;
    ApplyGroupTool();
    ASSERT_EQ(PaintSettings.Tool, kToolSelectRectangle);

    Drag(client, {40, 40}, {60, 60});
    ASSERT_EQ(PaintSettings.Tool, kToolFloatingPiece);
    EXPECT_EQ(FloatingPiece.pieceWidth, 20u);
    EXPECT_EQ(ScreenPixel(client, 50, 50), kScreenRed);

    // Dragged 30 pixels right: shown there, the image below keeps the hole.
    Drag(client, {50, 50}, {80, 50});
    EXPECT_EQ(FloatingPiece.pieceX, 70);
    EXPECT_EQ(ScreenPixel(client, 80, 50), kScreenRed);
    EXPECT_EQ(ScreenPixel(client, 45, 50), 0xFFFFFFu);
    EXPECT_EQ(WorkPixel(80, 50), kWhite);

    // A click outside puts it down.
    Drag(client, {200, 180}, {200, 180});
    EXPECT_EQ(PaintSettings.Tool, kToolSelectRectangle);
    EXPECT_EQ(WorkPixel(80, 50), kRed);
    EXPECT_EQ(WorkPixel(45, 50), kWhite);

    // Undo floats it again where it was put down; a second Undo takes it back where it was made.
    ClickBarButton(*bar, 9003);
    EXPECT_EQ(PaintSettings.Tool, kToolFloatingPiece);
    ClickBarButton(*bar, 9003);
    EXPECT_EQ(FloatingPiece.pieceX, 40);
    EXPECT_EQ(ScreenPixel(client, 45, 50), kScreenRed);

    platform::qt::UninstallQtPlatform();
    fs::remove_all(folder);
}

}  // namespace
