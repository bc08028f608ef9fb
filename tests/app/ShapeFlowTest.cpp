// Shapes on the real Qt widgets (offscreen): a polygon drawn with the mouse (taps, the rubber
// band, Undo of the last vertex from the command bar, the double click that closes it), and a
// gradient dragged over a pasted piece.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <filesystem>

#include <unistd.h>

#include "image/ImageSlots.h"
#include "platform/MessageBox.h"
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

namespace {

namespace fs = std::filesystem;

// Chooses the entry of the tool's row (of that kind), as a tap in the group's flyout does.
void ChooseEntry(int tool, int kind = 0) {
    FillToolGroups();
    const ToolRow* row = RowOfEntry(tool, kind);
    ASSERT_NE(row, nullptr);
    GroupCurrent(row->group) = row->place;
    PaintSettings.Group = row->group;
    ApplyGroupTool();
}

// Starts the program on the Qt platform from a fresh state (another flow may have run before).
platform::qt::QtWindow* StartProgram(platform::SettingsStore& settings, const fs::path& folder) {
    ResetProgramState();
    platform::qt::InstallQtPlatform(&settings, 480, 640);
    if (StartApplication((folder / "pixelwright").string()) != 1) return nullptr;
    QApplication::processEvents();
    return static_cast<platform::qt::QtWindow*>(CurrentBox().window);
}

bool ImageIsBlank() {
    const ImageBox& box = CurrentBox();
    for (int y = 0; y < box.height; ++y)
        for (int x = 0; x < box.width; ++x)
            if (WorkPixel(x, y) != 0xFFFFFFu) return false;
    return true;
}

TEST(PolygonFlow, TapsUndoOfAVertexAndTheClosingDoubleClick) {
    TestApplication();
    const fs::path folder = fs::temp_directory_path() / ("pw-polygon-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    platform::MemorySettingsStore settings;
    auto* canvas = StartProgram(settings, folder);
    ASSERT_NE(canvas, nullptr);
    QWidget* client = canvas->Client();
    platform::qt::QtCommandBar* bar = platform::qt::InstalledSystem()->Bar();
    ASSERT_NE(bar, nullptr);

    // The Polygon entry of the Shape group, solid.
    ChooseEntry(kToolPolygon);
    ASSERT_EQ(PaintSettings.Tool, 12);
    PaintSettings.Fill = 2;

    Click(client, {20, 20});
    Click(client, {150, 20});
    Click(client, {150, 150});
    // The rubber band to the pointer shows on the widget, not in the image.
    Mouse(client, QEvent::MouseButtonPress, {20, 150}, Qt::LeftButton, Qt::LeftButton);
    Mouse(client, QEvent::MouseMove, {60, 160}, Qt::NoButton, Qt::LeftButton);
    EXPECT_TRUE(ImageIsBlank());
    EXPECT_EQ(client->grab().toImage().pixel(140, 100) & 0xFFFFFF, 0x000000u);
    Mouse(client, QEvent::MouseButtonRelease, {60, 160}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(CanvasState.PolygonCount, 5u);

    // Undo takes the last vertex, (60, 160), back; the polygon stays open.
    ClickBarButton(*bar, 9003);
    EXPECT_EQ(CanvasState.PolygonCount, 4u);
    EXPECT_TRUE(ImageIsBlank());

    DoubleClick(client, {20, 150});
    EXPECT_EQ(CanvasState.PolygonCount, 0u);
    EXPECT_EQ(WorkPixel(30, 140), 0u);   // inside the quadrangle (20, 20), (150, 20), (150, 150), (20, 150)
    EXPECT_EQ(WorkPixel(140, 30), 0u);
    EXPECT_EQ(WorkPixel(40, 155), 0xFFFFFFu);  // where the undone vertex reached
    EXPECT_EQ(client->grab().toImage().pixel(30, 140) & 0xFFFFFF, 0x000000u);

    // One more undo takes the whole polygon away.
    ClickBarButton(*bar, 9003);
    EXPECT_TRUE(ImageIsBlank());

    platform::qt::UninstallQtPlatform();
    fs::remove_all(folder);
}

TEST(GradientFlow, AGradientDraggedOverAPastedPiece) {
    TestApplication();
    const fs::path folder = fs::temp_directory_path() / ("pw-gradient-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    platform::MemorySettingsStore settings;
    auto* canvas = StartProgram(settings, folder);
    ASSERT_NE(canvas, nullptr);
    QWidget* client = canvas->Client();

    // A red box, a selection around part of it, Copy and Paste: the piece floats at the corner.
    PaintSettings.FColor = raster::MakeColour(255, 0, 0);
    PaintSettings.Fill = 2;
    ChooseEntry(kToolRectangle);
    Drag(client, {40, 30}, {80, 60});
    ChooseEntry(kToolSelectRectangle);
    Drag(client, {30, 20}, {90, 70});
    ASSERT_EQ(PaintSettings.Tool, 9);
    SendCommand(2001);
    SendCommand(2002);
    ASSERT_EQ(PaintSettings.Tool, 9);
    ASSERT_EQ(FloatingPiece.pieceX, 0);
    ASSERT_EQ(FloatingPiece.pieceY, 0);

    // The linear gradient chosen while the piece floats paints the piece, at half opacity.
    ChooseEntry(kToolGradient, 0);
    ASSERT_EQ(PaintSettings.Tool, 51);
    PaintSettings.FColor = raster::MakeColour(0, 0, 255);
    PaintSettings.BColor = raster::MakeColour(255, 255, 0);
    PaintSettings.GOpacity = 50;
    Drag(client, {0, 0}, {0, 40});
    // Row 15 of the piece came from the red box: t = 95, c = (94, 94, 161), half over red.
    EXPECT_EQ(PiecePixel(15, 15), raster::MakeColour(173, 46, 79));
    EXPECT_EQ(PiecePixel(5, 5), raster::MakeColour(141, 141, 238));
    // The widget shows it where the piece floats; the image under it is untouched.
    const QImage shown = client->grab().toImage();
    EXPECT_EQ(shown.pixel(15, 15) & 0xFFFFFF, 0xAD2E4Fu);
    EXPECT_EQ(WorkPixel(15, 15), 0xFFFFFFu);

    // Undo gives the piece its own pixels back.
    platform::qt::QtCommandBar* bar = platform::qt::InstalledSystem()->Bar();
    ASSERT_NE(bar, nullptr);
    ClickBarButton(*bar, 9003);
    EXPECT_EQ(PiecePixel(15, 15), raster::MakeColour(255, 0, 0));

    platform::qt::UninstallQtPlatform();
    fs::remove_all(folder);
}

}  // namespace
