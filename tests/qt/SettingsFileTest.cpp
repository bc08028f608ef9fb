// The settings kept in a real settings file: the first start, restarts after changes made
// in the panels, damaged values, and the way out (Exit, the window's close button, Cancel).
#include <sys/resource.h>

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <csignal>
#include <memory>

#include "support/QtFixture.h"
#include "panels/BrushPicker.h"
#include "panels/PanelState.h"
#include "panels/ToolBar.h"
#include "tools/ToolGroups.h"
#include "platform/Headless.h"
#include "platform/qt/QtServices.h"
#include "shell/Dispatch.h"
#include "shell/Menus.h"
#include "shell/SettingsPersistence.h"
#include "image/ToolIds.h"

namespace {

using platform::MessageKind;

// Each Run is one start of the program on a headless screen, reading and writing the file.
class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestApplication();
        answers.fallback = platform::MessageResult::No;
        file = dir.filePath("Pixelwright.conf");
        platform::SetMessageBoxService(&answers);
    }
    void TearDown() override {
        Stop();
        platform::SetMessageBoxService(nullptr);
    }
    static void Reset() {
        for (std::uint32_t slot = 0; slot < kImageSlots; ++slot) ImageBoxTable[slot].window = nullptr;
        ResetProgramState();
        ImageState.ImageModified = 0;
        ImageState.CurrentPath.clear();
    }
    void Run() {
        Stop();
        Reset();
        system = std::make_unique<platform::HeadlessWindowSystem>();
        store = std::make_unique<platform::qt::QtSettingsStore>(file);
        platform::SetWindowSystem(system.get());
        platform::SetSettingsStore(store.get());
        ASSERT_EQ(StartApplication("/opt/pixelwright/bin/pixelwright"), 1);
    }
    void Stop() {
        platform::SetSettingsStore(nullptr);
        platform::SetWindowSystem(nullptr);
        store.reset();
        system.reset();
        Reset();
    }
    // Exit, then start again.
    void Restart() {
        ASSERT_EQ(ExitProgram(), 1);
        ASSERT_TRUE(system->quit);
        Run();
    }
    std::uint32_t Stored(const char* name) {
        QSettings read(file, QSettings::IniFormat);
        return read.value(name).toUInt();
    }
    void Store(std::initializer_list<std::pair<const char*, std::uint32_t>> values) {
        QSettings write(file, QSettings::IniFormat);
        for (const auto& [name, value] : values) write.setValue(name, QString::number(value));
    }
    static void Tap(platform::Window* window, int x, int y) {
        platform::WindowMessage m;
        m.kind = MessageKind::StylusDown;
        m.x = x;
        m.y = y;
        window->Send(m);
        m.kind = MessageKind::StylusUp;
        window->Send(m);
    }

    QTemporaryDir dir;
    QString file;
    MessageRecorder answers;
    std::unique_ptr<platform::HeadlessWindowSystem> system;
    std::unique_ptr<platform::qt::QtSettingsStore> store;
};

const char* const kAllValues[] = {"Toolbar", "Colorbar", "Titlebar", "Palette", "FColor", "BColor", "Brush",
                                  "Size", "Fill", "Trans", "WTolerance", "FTolerance", "Round", "GOpacity",
                                  "DOpacity", "Gradient", "Tool", "Group", "Select", "Pen", "Shape", "Area",
                                  "Filter", "Text"};

}  // namespace

TEST_F(SettingsFileTest, FirstStartUsesTheInitialValuesAndTheFirstExitStoresThemAll) {
    ASSERT_FALSE(QFile::exists(file));
    Run();
    EXPECT_EQ(PaintSettings.FColor, 0u);
    EXPECT_EQ(PaintSettings.BColor, 0xFFFFFFu);
    EXPECT_EQ(PaintSettings.Size, 7u);
    EXPECT_EQ(PaintSettings.Tool, kToolPen);
    EXPECT_EQ(PaintSettings.Group, 1);
    EXPECT_NE(ShellState.ToolBarWindow, nullptr);
    ASSERT_NE(ShellState.ColourBarWindow, nullptr);
    EXPECT_EQ(ShellState.StandardColoursMode, 1);
    EXPECT_EQ(ShellState.ColourBarPosition, kColourBarBottom);
    EXPECT_EQ(ShellState.FullScreen, 0u);
    EXPECT_TRUE(MenuHandles.ColorbarPosition->IsItemChecked(CMD_COLORBAR_BOTTOM));
    ASSERT_EQ(ExitProgram(), 1);
    ASSERT_TRUE(QFile::exists(file));
    QSettings read(file, QSettings::IniFormat);
    for (const char* name : kAllValues) EXPECT_TRUE(read.contains(name)) << name;
    EXPECT_EQ(Stored("Colorbar"), 13u);
    EXPECT_EQ(Stored("Toolbar"), 1u);
    EXPECT_EQ(Stored("Titlebar"), 1u);
    EXPECT_EQ(Stored("BColor"), 0xFFFFFFu);
    EXPECT_EQ(Stored("Palette"), 2u);
    EXPECT_EQ(Stored("DOpacity"), 100u);
    EXPECT_TRUE(answers.shown.empty());
}

TEST_F(SettingsFileTest, ChoicesMadeInThePanelsComeBackAfterARestart) {
    Run();
    platform::Window* bar = ShellState.ToolBarWindow;
    ASSERT_NE(bar, nullptr);
    Tap(ShellState.ColourBarWindow, 50, 5);  // red foreground
    system->tapAndHold = true;
    Tap(ShellState.ColourBarWindow, 60, 5);  // yellow background
    system->tapAndHold = false;
    Tap(bar, 210, 10);  // the brush picker
    ASSERT_NE(PanelState.BrushPickerWindow, nullptr);
    Tap(PanelState.BrushPickerWindow, 20 * 4 + 10, 20 * 2 + 10);
    Tap(bar, 230, 10);  // transparency on
    Tap(bar, 50, 10);   // the shapes
    Tap(bar, 50, 10);   // their flyout
    ASSERT_NE(PanelState.FlyoutWindow, nullptr);
    Tap(PanelState.FlyoutWindow, 30, 3 * 20 + 5);  // "Ellipse"
    Tap(bar, 190, 10);  // fill styles
    Tap(PanelState.FlyoutWindow, 30, 2 * 20 + 5);  // solid
    EXPECT_EQ(PaintSettings.Fill, 2);
    EXPECT_EQ(PaintSettings.Tool, kToolEllipse);
    EXPECT_EQ(PaintSettings.Group, 2);
    PaintSettings.Palette = 5;
    PaintSettings.DOpacity = 40;
    PaintSettings.GOpacity = 60;
    PaintSettings.Gradient = 1;
    PaintSettings.WTolerance = 12;
    PaintSettings.FTolerance = 13;
    PaintSettings.Round = 14;
    GroupCurrent(0) = 2;
    GroupCurrent(1) = 3;
    GroupCurrent(3) = 2;
    GroupCurrent(4) = 6;
    DispatchCommand(CMD_SPECTRUM_COLORBAR);  // standard colours shown: switch to the spectrum
    DispatchCommand(CMD_COLORBAR_RIGHT);
    DispatchCommand(CMD_TITLEBAR);
    Restart();

    EXPECT_EQ(PaintSettings.FColor, raster::MakeColour(255, 0, 0));
    EXPECT_EQ(PaintSettings.BColor, raster::MakeColour(255, 255, 0));
    EXPECT_EQ(PaintSettings.Brush, 2u);
    EXPECT_EQ(PaintSettings.Size, 9u);
    EXPECT_EQ(PaintSettings.Trans, 1u);
    EXPECT_EQ(GroupCurrent(kTransparencyButton), 1);
    EXPECT_EQ(PaintSettings.Fill, 2);
    EXPECT_EQ(GroupCurrent(kFillStyleButton), 2);
    EXPECT_EQ(PaintSettings.Palette, 5);
    EXPECT_EQ(PaintSettings.DOpacity, 40);
    EXPECT_EQ(PaintSettings.GOpacity, 60);
    EXPECT_EQ(PaintSettings.Gradient, 1);
    EXPECT_EQ(PaintSettings.WTolerance, 12);
    EXPECT_EQ(PaintSettings.FTolerance, 13);
    EXPECT_EQ(PaintSettings.Round, 14);
    EXPECT_EQ(PaintSettings.Tool, kToolEllipse);
    EXPECT_EQ(PaintSettings.Group, 2);
    EXPECT_EQ(GroupCurrent(0), 2);
    EXPECT_EQ(GroupCurrent(1), 3);
    EXPECT_EQ(GroupCurrent(2), 3);
    EXPECT_EQ(GroupCurrent(3), 2);
    EXPECT_EQ(GroupCurrent(4), 6);
    EXPECT_EQ(CanvasState.GradientKind, 1);
    ASSERT_NE(ShellState.ColourBarWindow, nullptr);
    EXPECT_EQ(ShellState.StandardColoursMode, 0);
    EXPECT_EQ(ShellState.ColourBarPosition, kColourBarRight);
    EXPECT_TRUE(MenuHandles.ColorbarPosition->IsItemChecked(CMD_COLORBAR_RIGHT));
    EXPECT_FALSE(MenuHandles.ColorbarPosition->IsItemChecked(CMD_COLORBAR_BOTTOM));
    EXPECT_EQ(ShellState.FullScreen, 1u);
    EXPECT_TRUE(system->fullScreen);
}

TEST_F(SettingsFileTest, HiddenBarsStayHiddenWithTheirPositionAndKind) {
    Run();
    DispatchCommand(CMD_COLORBAR_LEFT);
    DispatchCommand(CMD_SPECTRUM_COLORBAR);  // standard shown: now the spectrum
    DispatchCommand(CMD_SPECTRUM_COLORBAR);  // and hidden
    DispatchCommand(CMD_TOOLBAR);
    ASSERT_EQ(ShellState.ColourBarWindow, nullptr);
    Restart();
    EXPECT_EQ(Stored("Colorbar"), 5u);
    EXPECT_EQ(Stored("Toolbar"), 0u);
    EXPECT_EQ(ShellState.ColourBarWindow, nullptr);
    EXPECT_EQ(ShellState.ToolBarWindow, nullptr);
    EXPECT_EQ(ShellState.ColourBarPosition, kColourBarLeft);
    EXPECT_EQ(ShellState.StandardColoursMode, 0);
    EXPECT_TRUE(MenuHandles.ColorbarPosition->IsItemChecked(CMD_COLORBAR_LEFT));
    // Shown again, the bar comes back at the Left with the spectrum.
    DispatchCommand(CMD_SPECTRUM_COLORBAR);
    ASSERT_NE(ShellState.ColourBarWindow, nullptr);
    EXPECT_EQ(ShellState.ColourBarWindow->WindowRect().Width(), 21);
    EXPECT_EQ(ShellState.ColourBarWindow->WindowRect().left, -1);
}

TEST_F(SettingsFileTest, StandardColoursAtTheTopAreStoredAsTen) {
    Run();
    DispatchCommand(CMD_COLORBAR_TOP);
    Restart();
    EXPECT_EQ(Stored("Colorbar"), 10u);
    ASSERT_NE(ShellState.ColourBarWindow, nullptr);
    EXPECT_EQ(ShellState.ColourBarPosition, kColourBarTop);
    EXPECT_EQ(ShellState.StandardColoursMode, 1);
    EXPECT_EQ(ShellState.ColourBarWindow->WindowRect().top, -1);
}

TEST_F(SettingsFileTest, OneShotAndPieceToolsAreStoredAsTheirGroupsPlainTool) {
    Run();
    PaintSettings.Tool = kToolFloatingPiece;
    PaintSettings.Select = 3;
    PaintSettings.Group = 0;
    Restart();
    EXPECT_EQ(Stored("Tool"), 8u);
    EXPECT_EQ(Stored("Group"), 0u);
    EXPECT_EQ(Stored("Select"), 0u);
    EXPECT_EQ(PaintSettings.Tool, kToolSelectRectangle);
    PaintSettings.Tool = kToolZoomOut;
    PaintSettings.Group = 7;
    PaintSettings.Pen = 2;
    Restart();
    EXPECT_EQ(Stored("Tool"), 30u);
    EXPECT_EQ(Stored("Group"), 1u);
    EXPECT_EQ(Stored("Pen"), 0u);
    PaintSettings.Tool = kToolColourPicker;
    Restart();
    EXPECT_EQ(PaintSettings.Tool, kToolPen);
}

TEST_F(SettingsFileTest, ValuesOutOfTheirRangeLeaveTheInitialValues) {
    Store({{"Tool", 99}, {"Size", 0}, {"Brush", 12}, {"Palette", 9}, {"Group", 20}, {"Colorbar", 77},
           {"FColor", 0x01000000}, {"DOpacity", 0}, {"GOpacity", 101}, {"Select", 4}, {"Filter", 0xFFFFFFFF},
           {"Fill", 3}, {"Trans", 2}, {"Gradient", 3}, {"Round", 256}, {"Text", 1}, {"BColor", 0xFF000000},
           {"WTolerance", 256}, {"FTolerance", 1000}, {"Pen", 5}, {"Shape", 0xFFFFFFFF}, {"Area", 3}});
    Run();
    EXPECT_EQ(PaintSettings.Tool, kToolPen);
    EXPECT_EQ(PaintSettings.Size, 7u);
    EXPECT_EQ(PaintSettings.Brush, 0u);
    EXPECT_EQ(PaintSettings.Palette, 2);
    EXPECT_EQ(PaintSettings.Group, 1);
    EXPECT_EQ(PaintSettings.FColor, 0u);
    EXPECT_EQ(PaintSettings.DOpacity, 100);
    EXPECT_EQ(PaintSettings.GOpacity, 100);
    EXPECT_EQ(PaintSettings.Select, 0);
    EXPECT_EQ(PaintSettings.Filter, 0);
    EXPECT_EQ(PaintSettings.Fill, 0);
    EXPECT_EQ(PaintSettings.Trans, 0u);
    EXPECT_EQ(PaintSettings.Gradient, 0);
    EXPECT_EQ(PaintSettings.Round, 10);
    EXPECT_EQ(PaintSettings.Text, 0);
    EXPECT_EQ(PaintSettings.BColor, 0xFFFFFFu);
    EXPECT_EQ(PaintSettings.WTolerance, 0);
    EXPECT_EQ(PaintSettings.FTolerance, 0);
    EXPECT_EQ(PaintSettings.Pen, 0);
    EXPECT_EQ(PaintSettings.Shape, 0);
    EXPECT_EQ(PaintSettings.Area, 0);
    ASSERT_NE(ShellState.ColourBarWindow, nullptr);
    EXPECT_EQ(ShellState.ColourBarPosition, kColourBarBottom);
    EXPECT_EQ(ShellState.StandardColoursMode, 1);
    EXPECT_TRUE(MenuHandles.ColorbarPosition->IsItemChecked(CMD_COLORBAR_BOTTOM));
    // The last values in their ranges are taken.
    Stop();
    Store({{"Tool", 47}, {"Size", 17}, {"Brush", 7}, {"Palette", 6}, {"Group", 4}, {"Colorbar", 17},
           {"FColor", 0xFFFFFF}, {"Select", 3}, {"Filter", 7}});
    Run();
    EXPECT_EQ(PaintSettings.Tool, kToolHealingBrush);
    EXPECT_EQ(PaintSettings.Size, 17u);
    EXPECT_EQ(PaintSettings.Brush, 7u);
    EXPECT_EQ(PaintSettings.Palette, 6);
    EXPECT_EQ(PaintSettings.Group, 4);
    EXPECT_EQ(PaintSettings.FColor, 0xFFFFFFu);
    EXPECT_EQ(PaintSettings.Select, 3);
    EXPECT_EQ(PaintSettings.Filter, 7);
    EXPECT_EQ(ShellState.ColourBarWindow, nullptr);
    EXPECT_EQ(ShellState.ColourBarPosition, kColourBarBottom);
    Stop();
    Store({{"Tool", 10}, {"Group", 7}});
    Run();
    EXPECT_EQ(PaintSettings.Tool, kToolZoomIn);
    EXPECT_EQ(PaintSettings.Group, 7);
    // The buttons past the zoom hold no tools: none of them is a current group to come back to.
    for (std::uint32_t group : {8u, 9u, 11u}) {
        Stop();
        Store({{"Group", group}});
        Run();
        EXPECT_EQ(PaintSettings.Group, 1) << group;
    }
}

TEST_F(SettingsFileTest, AToolThatIsNotWhatItsButtonChoosesIsTakenFromTheButton) {
    Store({{"Tool", 46}, {"Group", 1}, {"Pen", 2}});
    Run();
    EXPECT_EQ(PaintSettings.Tool, kToolAirbrush);
    Stop();
    // Left with the fill styles' flyout open: the pens' button is current again, with its tool.
    Store({{"Tool", 4}, {"Group", 9}, {"Shape", 3}, {"Pen", 4}});
    Run();
    EXPECT_EQ(PaintSettings.Group, 1);
    EXPECT_EQ(PaintSettings.Tool, kToolEraser);
    EXPECT_EQ(GroupCurrent(2), 3);
    Stop();
    Store({{"Tool", 99}, {"Group", 3}, {"Area", 2}});
    Run();
    EXPECT_EQ(PaintSettings.Tool, kToolGradient);
    EXPECT_EQ(CanvasState.GradientKind, 1);
}

TEST_F(SettingsFileTest, CancelAtTheSaveQuestionKeepsTheProgramAndWritesNothing) {
    Run();
    ImageState.ImageModified = 1;
    PaintSettings.Size = 3;
    answers.fallback = platform::MessageResult::Cancel;
    EXPECT_EQ(ExitProgram(), 0);
    EXPECT_FALSE(system->quit);
    EXPECT_EQ(answers.shown.size(), 1u);
    EXPECT_FALSE(QFile::exists(file));
    // Closing the window asks the same question and, answered, saves and ends.
    answers.fallback = platform::MessageResult::No;
    platform::WindowMessage close;
    close.kind = MessageKind::Close;
    ShellState.MainWindow->Send(close);
    EXPECT_TRUE(system->quit);
    EXPECT_EQ(answers.shown.size(), 2u);
    EXPECT_EQ(Stored("Size"), 3u);
}

TEST_F(SettingsFileTest, AWriteThatFailsIsToldAndTheProgramStillEnds) {
    // The settings file would have to live inside a plain file.
    QFile blocker(dir.filePath("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    file = dir.filePath("blocker/Pixelwright.conf");
    Run();
    EXPECT_EQ(ExitProgram(), 1);
    EXPECT_TRUE(system->quit);
    ASSERT_EQ(answers.shown.size(), 1u);
    EXPECT_EQ(answers.Texts()[0], "Your settings could not be saved; the ones saved before are kept.");
}

TEST_F(SettingsFileTest, AWriteThatFailsLeavesTheFileSavedBefore) {
    Run();
    PaintSettings.Size = 5;
    ASSERT_EQ(ExitProgram(), 1);
    QFile saved(file);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray before = saved.readAll();
    saved.close();
    ASSERT_FALSE(before.isEmpty());

    Run();
    PaintSettings.Size = 9;
    // No file of this process may grow past a few bytes now, so the new settings cannot be
    // written out (root may write anywhere, but not past this limit).
    rlimit limit{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit tiny{16, limit.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    const int exited = ExitProgram();
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(exited, 1);
    ASSERT_EQ(answers.shown.size(), 1u);
    EXPECT_EQ(answers.Texts()[0], "Your settings could not be saved; the ones saved before are kept.");
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), before);
}

TEST_F(SettingsFileTest, ADamagedFileIsLeftAsItIs) {
    QFile damaged(file);
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    const QByteArray junk("[General\nTool=\x01\x02\n[[[");
    damaged.write(junk);
    damaged.close();
    Run();
    EXPECT_EQ(PaintSettings.Tool, kToolPen);
    PaintSettings.Size = 5;
    EXPECT_EQ(ExitProgram(), 1);
    ASSERT_TRUE(damaged.open(QIODevice::ReadOnly));
    EXPECT_EQ(damaged.readAll(), junk);
    EXPECT_EQ(answers.shown.size(), 1u);
}

TEST(ColourBarPacking, PositionKindAndVisibilityInOneNumber) {
    EXPECT_EQ(PackColourBar(kColourBarLeft, 0, false), 5u);
    EXPECT_EQ(PackColourBar(kColourBarTop, 1, true), 10u);
    EXPECT_EQ(PackColourBar(kColourBarBottom, 1, false), 17u);
    std::uint32_t position = 9;
    std::uint8_t standard = 9;
    bool shown = true;
    ASSERT_TRUE(UnpackColourBar(17, position, standard, shown));
    EXPECT_EQ(position, kColourBarBottom);
    EXPECT_EQ(standard, 1);
    EXPECT_FALSE(shown);
    ASSERT_TRUE(UnpackColourBar(2, position, standard, shown));
    EXPECT_EQ(position, kColourBarRight);
    EXPECT_EQ(standard, 0);
    EXPECT_TRUE(shown);
    for (std::uint32_t bad : {8u, 9u, 18u, 77u, 0xFFFFFFFFu}) EXPECT_FALSE(UnpackColourBar(bad, position, standard, shown)) << bad;
}
