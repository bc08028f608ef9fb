// The panels on the real Qt widgets (offscreen): a tool and both colours chosen from the
// bars, a brush from the picker, painting with them, then a restart that finds them again.
// With PW_SHOTS set to a folder, the screens along the way are saved there to look at.
#include <gtest/gtest.h>

#include <algorithm>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <string>
#include <vector>

#include "files/OpenSave.h"
#include "image/ImageSlots.h"
#include "image/View.h"
#include "panels/ColourTable.h"
#include "panels/DialogBuilder.h"
#include "panels/PanelState.h"
#include "tools/ToolGroups.h"
#include "platform/MessageBox.h"
#include "platform/Settings.h"
#include "platform/qt/QtPlatform.h"
#include "platform/qt/QtServices.h"
#include "platform/qt/QtWindow.h"
#include "platform/qt/QtWindowSystem.h"
#include "platform/raster/Draw.h"
#include "shell/MainFrame.h"
#include "shell/ProgramState.h"
#include "support/Messages.h"
#include "support/QtApplication.h"
#include "image/PaintSettings.h"
#include "tools/Canvas.h"
#include "image/ToolIds.h"

namespace {

platform::qt::QtWindowSystem& System() { return *platform::qt::InstalledSystem(); }

QWidget* ClientOf(platform::Window* window) { return static_cast<platform::qt::QtWindow*>(window)->Client(); }

// A press and release through the screen's window, as the platform delivers them. The
// release is queued first, so a press that waits to see whether it is held sees it come.
void Click(QWidget* widget, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    QWindow* screen = System().Screen()->windowHandle();
    const QPoint p = widget->mapTo(System().Screen(), at);
    QTimer::singleShot(0, [screen, p, button] { QTest::mouseRelease(screen, button, Qt::NoModifier, p); });
    QTest::mousePress(screen, button, Qt::NoModifier, p);
    QApplication::processEvents();
    QApplication::processEvents();
}

void Drag(QWidget* widget, QPoint from, QPoint to) {
    auto send = [widget](QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
        QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)), button, held, Qt::NoModifier);
        QApplication::sendEvent(widget, &event);
    };
    send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    for (int i = 1; i <= 8; ++i) {
        send(QEvent::MouseMove, from + (to - from) * i / 8, Qt::NoButton, Qt::LeftButton);
    }
    send(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    QApplication::processEvents();
}

void Shot(const char* name) {
    const QByteArray folder = qgetenv("PW_SHOTS");
    QApplication::processEvents();
    if (folder.isEmpty()) return;
    const QImage screen = platform::qt::GrabScreen();
    screen.save(QString::fromLocal8Bit(folder) + "/" + name + ".png");
    screen.scaled(screen.size() * 3).save(QString::fromLocal8Bit(folder) + "/" + name + "-x3.png");
}

class PanelFlow : public ::testing::Test {
protected:
    void SetUp() override {
        TestApplication();
        answers.fallback = platform::MessageResult::No;
        file = dir.filePath("Pixelwright.conf");
        platform::SetMessageBoxService(&answers);
    }
    void TearDown() override {
        Quit();
        platform::SetMessageBoxService(nullptr);
    }
    void Launch() {
        for (std::uint32_t slot = 0; slot < kImageSlots; ++slot) ImageBoxTable[slot].window = nullptr;
        ResetProgramState();
        ImageState.ImageModified = 0;
        store = std::make_unique<platform::qt::QtSettingsStore>(file);
        platform::qt::InstallQtPlatform(store.get(), 480, 640);
        platform::SetMessageBoxService(&answers);
        ASSERT_EQ(StartApplication("/opt/pixelwright/bin/pixelwright"), 1);
        QApplication::processEvents();
    }
    void Quit() {
        if (!store) return;
        platform::qt::UninstallQtPlatform();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        store.reset();
    }
    QTemporaryDir dir;
    QString file;
    MessageRecorder answers;  // answers No to every question
    std::unique_ptr<platform::qt::QtSettingsStore> store;
};

}  // namespace

TEST_F(PanelFlow, ToolsAndColoursChosenFromTheBarsPaintAndComeBackAfterARestart) {
    Launch();
    ASSERT_NE(ShellState.ToolBarWindow, nullptr);
    ASSERT_NE(ShellState.ColourBarWindow, nullptr);
    QWidget* toolBar = ClientOf(ShellState.ToolBarWindow);
    QWidget* colourBar = ClientOf(ShellState.ColourBarWindow);
    Shot("start");

    // Red from the standard colours, blue as the background with the secondary button.
    // The middle of standard cell i.
    const auto cell = [colourBar](int i) { return QPoint(static_cast<int>((i + 0.5) * (colourBar->width() - 1) / 30.0), 5); };
    Click(colourBar, cell(6));
    EXPECT_EQ(PaintSettings.FColor, raster::MakeColour(255, 0, 0));
    Click(colourBar, cell(10), Qt::RightButton);
    EXPECT_EQ(PaintSettings.BColor, raster::MakeColour(0, 0, 255));
    EXPECT_EQ(PaintSettings.FColor, raster::MakeColour(255, 0, 0));

    // The eraser from the pens' flyout.
    Click(toolBar, {30, 10});
    ASSERT_NE(PanelState.FlyoutWindow, nullptr);
    Shot("flyout-pens");
    {
        // Each row names its tool to the right of the icon.
        const QImage rows = ClientOf(PanelState.FlyoutWindow)->grab().toImage();
        for (int row = 0; row < 5; ++row) {
            int ink = 0;
            for (int y = 20 * row + 3; y < 20 * row + 21; ++y) {
                for (int x = 24; x < std::min(rows.width(), 90); ++x) ink += qGray(rows.pixel(x, y)) < 100;
            }
            EXPECT_GT(ink, 15) << row;
        }
    }
    Click(ClientOf(PanelState.FlyoutWindow), {40, 4 * 20 + 8});
    EXPECT_EQ(PanelState.FlyoutWindow, nullptr);
    EXPECT_EQ(PaintSettings.Tool, kToolEraser);
    EXPECT_EQ(GroupCurrent(1), 4);

    // A square brush of size 3 from the picker.
    Click(toolBar, {210, 10});
    ASSERT_NE(PanelState.BrushPickerWindow, nullptr);
    Shot("brush-picker");
    Click(ClientOf(PanelState.BrushPickerWindow), {30, 30});
    EXPECT_EQ(PanelState.BrushPickerWindow, nullptr);
    EXPECT_EQ(PaintSettings.Brush, 1u);
    EXPECT_EQ(PaintSettings.Size, 3u);

    // The eraser paints the background colour.
    QWidget* canvas = ClientOf(CurrentBox().window);
    Drag(canvas, {20, 20}, {100, 20});
    // A full-opacity dab blends with 254 of 255.
    EXPECT_EQ(raster::GetPixel(*CurrentBox().workDc, 60, 20), raster::MakeColour(0, 0, 254));
    EXPECT_EQ(raster::GetPixel(*CurrentBox().workDc, 60, 22), 0xFFFFFFu);

    // The popup from the swatch: grey ramp, the foreground.
    PaintSettings.Palette = 3;
    Click(toolBar, {168, 5});
    ASSERT_NE(PanelState.ColourPopupWindow, nullptr);
    Shot("popup");
    Click(ClientOf(PanelState.ColourPopupWindow), {9 * 8 + 4, 9 * 8 + 4});
    EXPECT_EQ(PanelState.ColourPopupWindow, nullptr);
    EXPECT_EQ(PaintSettings.FColor, raster::MakeColour(119, 119, 119));
    Click(toolBar, {161, 17});  // back to black on white
    EXPECT_EQ(PaintSettings.FColor, 0u);
    EXPECT_EQ(PaintSettings.BColor, 0xFFFFFFu);
    Click(colourBar, cell(6));  // red on blue again
    Click(colourBar, cell(10), Qt::RightButton);

    // Back to the pen, and a stroke in red.
    Click(toolBar, {30, 10});
    Click(ClientOf(PanelState.FlyoutWindow), {40, 8});
    EXPECT_EQ(PaintSettings.Tool, kToolPen);
    Drag(canvas, {20, 60}, {100, 60});
    EXPECT_EQ(raster::GetPixel(*CurrentBox().workDc, 60, 60), raster::MakeColour(253, 0, 0));
    Shot("painted");
    const std::uint32_t foreground = PaintSettings.FColor;

    // Quit through the window's close request (the save question is answered No), start again.
    ImageState.ImageModified = 0;
    System().MainCloseRequested();
    Quit();
    Launch();
    EXPECT_EQ(PaintSettings.FColor, foreground);
    EXPECT_EQ(PaintSettings.BColor, raster::MakeColour(0, 0, 255));
    EXPECT_EQ(PaintSettings.Tool, kToolPen);
    EXPECT_EQ(PaintSettings.Group, 1);
    EXPECT_EQ(PaintSettings.Brush, 1u);
    EXPECT_EQ(PaintSettings.Size, 3u);
    EXPECT_EQ(PaintSettings.Palette, 3);
    // The tool bar shows it: the pens' button framed, the swatch red over blue.
    const QImage bar = ClientOf(ShellState.ToolBarWindow)->grab().toImage();
    EXPECT_EQ(bar.pixel(21, 1) & 0xFFFFFF, 0x404040u);
    EXPECT_EQ(bar.pixel(168, 5) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(bar.pixel(176, 15) & 0xFFFFFF, 0x0000FFu);
    Shot("restarted");
    EXPECT_TRUE(answers.shown.empty());
}

TEST_F(PanelFlow, TheColourTableAndTheBarsInEveryPosition) {
    Launch();
    QWidget* toolBar = ClientOf(ShellState.ToolBarWindow);
    PaintSettings.Palette = 2;
    bool seen = false;
    const QPoint held = toolBar->mapTo(System().Screen(), QPoint(168, 5));
    QTimer::singleShot(0, [&] {
        Shot("colour-table");
        platform::Window* dialog = DialogBuildState.dialog;
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->Title(), "Foreground Color");
        // The real arrows: the upper one raises the field, the lower one lowers it.
        QWidget* client = ClientOf(dialog);
        const QPoint up = client->mapTo(System().Screen(), QPoint(167 + 40 - 4, 43 + 3));
        const QPoint down = client->mapTo(System().Screen(), QPoint(167 + 40 - 4, 43 + 14));
        QWindow* screen = System().Screen()->windowHandle();
        // The held press ends while the dialog is open.
        QTest::mouseRelease(screen, Qt::RightButton, Qt::NoModifier, held);
        QTest::mouseClick(screen, Qt::LeftButton, Qt::NoModifier, up);
        EXPECT_EQ(dialog->FindControl(kTableRedField)->Text(), "1");
        QTest::mouseClick(screen, Qt::LeftButton, Qt::NoModifier, up);
        QTest::mouseClick(screen, Qt::LeftButton, Qt::NoModifier, down);
        EXPECT_EQ(dialog->FindControl(kTableRedField)->Text(), "1");
        platform::WindowMessage ok;
        ok.kind = platform::MessageKind::Command;
        ok.id = kTableOkButton;
        dialog->Send(ok);
        seen = true;
    });
    QTest::mousePress(System().Screen()->windowHandle(), Qt::RightButton, Qt::NoModifier, held);
    QApplication::processEvents();
    EXPECT_TRUE(seen);
    EXPECT_EQ(PaintSettings.FColor, raster::MakeColour(1, 0, 0));
    EXPECT_EQ(PanelState.ColourPopupWindow, nullptr);

    const char* names[4] = {"bar-top", "bar-left", "bar-right", "bar-bottom"};
    for (int kind = 0; kind < 2; ++kind) {
        for (int position = 0; position < 4; ++position) {
            platform::WindowMessage command;
            command.kind = platform::MessageKind::Command;
            command.id = 3101 + position;
            ShellState.MainWindow->Send(command);
            QApplication::processEvents();
            ASSERT_NE(ShellState.ColourBarWindow, nullptr);
            Shot((std::string(names[position]) + (kind == 0 ? "-standard" : "-spectrum")).c_str());
        }
        platform::WindowMessage command;
        command.kind = platform::MessageKind::Command;
        command.id = 3003;  // the spectrum instead
        ShellState.MainWindow->Send(command);
    }
}
