// The whole program on the real Qt widgets (offscreen): start, a stroke with the mouse, undo
// from the command bar, redo, save as PNG, reopen from the Recent menu, compare pixels.
#include <gtest/gtest.h>

#include <QImage>
#include <QMouseEvent>
#include <filesystem>
#include <vector>

#include <unistd.h>

#include "files/OpenSave.h"
#include "image/ImageSlots.h"
#include "image/View.h"
#include "platform/Settings.h"
#include "platform/qt/QtCommandBar.h"
#include "platform/qt/QtPlatform.h"
#include "platform/qt/QtWindow.h"
#include "platform/qt/QtWindowSystem.h"
#include "platform/raster/Draw.h"
#include "shell/MainFrame.h"
#include "shell/ProgramState.h"
#include "support/FileDialogs.h"
#include "support/QtInput.h"
#include "support/Messages.h"
#include "support/QtApplication.h"

namespace {

namespace fs = std::filesystem;

std::vector<raster::Colour> ImagePixels() {
    std::vector<raster::Colour> pixels;
    const ImageBox& box = CurrentBox();
    for (int y = 0; y < box.height; ++y) {
        for (int x = 0; x < box.width; ++x) pixels.push_back(raster::GetPixel(*box.workDc, x, y));
    }
    return pixels;
}

TEST(PaintFlow, StrokeUndoSaveAndReopenThroughTheWidgets) {
    TestApplication();
    ResetProgramState();
    const fs::path folder = fs::temp_directory_path() / ("pw-app-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    platform::MemorySettingsStore settings;
    platform::qt::InstallQtPlatform(&settings, 480, 640);
    MessageRecorder answers;
    answers.fallback = platform::MessageResult::No;
    ScriptedFileDialog dialog;
    const std::string saved = (folder / "flow.png").string();
    dialog.fallback = platform::FileDialogResult{saved, 0};
    platform::SetMessageBoxService(&answers);
    platform::SetFileDialogService(&dialog);

    ASSERT_EQ(StartApplication((folder / "pixelwright").string()), 1);
    QApplication::processEvents();
    ASSERT_NE(ImageState.CurrentImage, 0u);
    EXPECT_EQ(CurrentBox().width, 240);
    EXPECT_EQ(CurrentBox().height, 228);
    auto* canvas = static_cast<platform::qt::QtWindow*>(CurrentBox().window);
    ASSERT_NE(canvas, nullptr);
    QWidget* client = canvas->Client();
    ASSERT_GT(client->width(), 100);
    platform::qt::QtCommandBar* bar = platform::qt::InstalledSystem()->Bar();
    ASSERT_NE(bar, nullptr);
    const std::vector<raster::Colour> blank = ImagePixels();

    // A stroke with the mouse from (20, 20) to (80, 50) in the default black 7-pixel pen.
    Mouse(client, QEvent::MouseButtonPress, {20, 20}, Qt::LeftButton, Qt::LeftButton);
    for (int i = 1; i <= 6; ++i) {
        Mouse(client, QEvent::MouseMove, {20 + 10 * i, 20 + 5 * i}, Qt::NoButton, Qt::LeftButton);
    }
    Mouse(client, QEvent::MouseButtonRelease, {80, 50}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(raster::GetPixel(*CurrentBox().workDc, 20, 20), 0u);
    EXPECT_EQ(raster::GetPixel(*CurrentBox().workDc, 50, 35), 0u);
    EXPECT_EQ(raster::GetPixel(*CurrentBox().workDc, 100, 100), 0xFFFFFFu);
    EXPECT_EQ(ImageState.ImageModified, 1);
    // What the widget shows has the stroke too.
    const QImage shown = client->grab().toImage();
    EXPECT_EQ(shown.pixel(50, 35) & 0xFFFFFF, 0x000000u);
    EXPECT_EQ(shown.pixel(150, 100) & 0xFFFFFF, 0xFFFFFFu);
    const std::vector<raster::Colour> stroked = ImagePixels();

    ClickBarButton(*bar, 9003);
    EXPECT_EQ(ImagePixels(), blank);
    ClickBarButton(*bar, 9003);
    EXPECT_EQ(ImagePixels(), stroked);

    SendCommand(1004);  // Save As...
    ASSERT_EQ(dialog.requests.size(), 1u);
    EXPECT_EQ(dialog.requests[0].initialName, "untitled.png");
    ASSERT_TRUE(fs::exists(saved));
    EXPECT_EQ(ImageState.CurrentPath, saved);
    EXPECT_EQ(ImageState.ImageModified, 0);
    ASSERT_NE(FileState.RecentMenu, nullptr);
    ASSERT_GE(FileState.RecentMenu->ItemCount(), 1);
    EXPECT_EQ(FileState.RecentMenu->ItemLabel(0), "flow.png");

    ClickBarButton(*bar, 9003);  // back to blank, then reopen the saved file
    EXPECT_EQ(ImagePixels(), blank);
    EXPECT_EQ(ImageState.ImageModified, 1);  // the blank picture is not what the file holds
    SendCommand(1101);
    EXPECT_EQ(ImageState.CurrentPath, saved);
    EXPECT_EQ(CurrentBox().width, 240);
    EXPECT_EQ(CurrentBox().height, 228);
    EXPECT_EQ(ImagePixels(), stroked);
    // Asked about the undone picture first, answered No.
    EXPECT_EQ(answers.Texts(), std::vector<std::string>{"Save changes to\n\"flow.png\" ?"});
    canvas = static_cast<platform::qt::QtWindow*>(CurrentBox().window);
    ASSERT_NE(canvas, nullptr);
    EXPECT_GT(canvas->Client()->width(), 100);  // the new canvas was laid out

    platform::SetFileDialogService(nullptr);
    platform::SetMessageBoxService(nullptr);
    platform::qt::UninstallQtPlatform();
    ResetProgramState();
    fs::remove_all(folder);
}

}  // namespace
