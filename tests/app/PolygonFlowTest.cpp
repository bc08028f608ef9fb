// A polygon drawn with the mouse on the real Qt widgets (offscreen): taps, the rubber band,
// Undo of the last vertex from the command bar, and the double click that closes it.
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
#include "shell/PaintSettings.h"
#include "tools/Canvas.h"
#include "tools/ToolChoice.h"
#include "tools/ToolGroups.h"

namespace {

namespace fs = std::filesystem;

QApplication& Application() {
    static int argc = 1;
    static char name[] = "test_app";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

void Mouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
    QApplication::processEvents();
}

void Click(QWidget* widget, QPoint at) {
    Mouse(widget, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
    Mouse(widget, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
}

void DoubleClick(QWidget* widget, QPoint at) {
    Click(widget, at);
    Mouse(widget, QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
    Mouse(widget, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
}

void ClickBarButton(platform::qt::QtCommandBar& bar, int id) {
    for (int i = 0; i < bar.Model().ButtonCount(); ++i) {
        if (bar.Model().ButtonId(i) != id) continue;
        const QPoint at = bar.ButtonRect(i).center();
        Mouse(&bar, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        Mouse(&bar, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
        return;
    }
    ADD_FAILURE() << "no button " << id;
}

raster::Colour ImagePixel(int x, int y) { return raster::GetPixel(*CurrentBox().workDc, x, y); }

bool ImageIsBlank() {
    const ImageBox& box = CurrentBox();
    for (int y = 0; y < box.height; ++y)
        for (int x = 0; x < box.width; ++x)
            if (ImagePixel(x, y) != 0xFFFFFFu) return false;
    return true;
}

TEST(PolygonFlow, TapsUndoOfAVertexAndTheClosingDoubleClick) {
    Application();
    const fs::path folder = fs::temp_directory_path() / ("pw-polygon-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    // Another flow may have run in this process before: start from a fresh program state.
    ResetShellState();
    ResetImageState();
    ResetPaintSettings();
    ResetCanvasState();
    platform::MemorySettingsStore settings;
    platform::qt::InstallQtPlatform(&settings, 480, 640);
    ASSERT_EQ(StartApplication((folder / "pixelwright").string()), 1);
    QApplication::processEvents();
    auto* canvas = static_cast<platform::qt::QtWindow*>(CurrentBox().window);
    ASSERT_NE(canvas, nullptr);
    QWidget* client = canvas->Client();
    platform::qt::QtCommandBar* bar = platform::qt::InstalledSystem()->Bar();
    ASSERT_NE(bar, nullptr);

    // The Polygon entry of the Shape group, solid.
    FillToolGroups();
    ToolGroup& shapes = ToolGroups[kGroupShape];
    for (std::int16_t i = 0; i < shapes.count; ++i)
        if (shapes.command[i] == kBarPolygon) shapes.current = i;
    PaintSettings.Group = kGroupShape;
    ApplyGroupTool();
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
    EXPECT_EQ(ImagePixel(30, 140), 0u);   // inside the quadrangle (20, 20), (150, 20), (150, 150), (20, 150)
    EXPECT_EQ(ImagePixel(140, 30), 0u);
    EXPECT_EQ(ImagePixel(40, 155), 0xFFFFFFu);  // where the undone vertex reached
    EXPECT_EQ(client->grab().toImage().pixel(30, 140) & 0xFFFFFF, 0x000000u);

    // One more undo takes the whole polygon away.
    ClickBarButton(*bar, 9003);
    EXPECT_TRUE(ImageIsBlank());

    platform::qt::UninstallQtPlatform();
    fs::remove_all(folder);
}

}  // namespace
