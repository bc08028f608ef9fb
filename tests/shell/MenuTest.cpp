#include <bit>
#include <cstring>

#include "image/History.h"
#include "image/ToolIds.h"
#include "image/Undo.h"
#include "platform/MenuModel.h"
#include "shell/Dispatch.h"
#include "shell/Menus.h"
#include "shell/SettingsPersistence.h"
#include "support/ShellFixture.h"

namespace {

// The state an update rule leaves on an item that starts enabled and unchecked.
struct ItemState : platform::CommandItem {
    void Enable(bool on) override { enabled = on; }
    void SetCheck(bool on) override { checked = on; }
    bool enabled = true;
    bool checked = false;
};

ItemState Updated(int id) {
    ItemState item;
    UpdateCommandUI(id, item);
    return item;
}

std::vector<std::pair<int, std::string>> Entries(const platform::Menu& menu) {
    std::vector<std::pair<int, std::string>> entries;
    for (int i = 0; i < menu.ItemCount(); ++i) entries.emplace_back(menu.ItemId(i), menu.ItemLabel(i));
    return entries;
}

using Entry = std::pair<int, std::string>;

}  // namespace

TEST_F(ShellTest, CommandBarHoldsFiveMenusAndTwoImageButtons) {
    Start();
    platform::CommandBarModel* bar = Bar();
    ASSERT_EQ(bar->ButtonCount(), 7);
    const int ids[] = {1000, 2000, 3000, 4000, 5000, CMD_UNDO, CMD_MODIFIER_MODE};
    const char* labels[] = {"File", "Edit", "View", "Image", "Filter"};
    for (int i = 0; i < 7; ++i) EXPECT_EQ(bar->ButtonId(i), ids[i]);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(bar->Buttons()[i].label, labels[i]);
        EXPECT_EQ(bar->ButtonImage(i), -1);
    }
    EXPECT_EQ(bar->ButtonImage(5), kImageUndo);
    EXPECT_EQ(bar->ButtonImage(6), 2);
    ASSERT_NE(bar->Images(), nullptr);
    EXPECT_EQ(bar->Images()->Width(), 6 * 16);
    EXPECT_EQ(bar->ImageSize(), 16);
}

TEST_F(ShellTest, MenusHoldTheirItemsInOrder) {
    Start();
    EXPECT_EQ(Entries(*MenuHandles.File),
              (std::vector<Entry>{{CMD_ABOUT, "About..."}, {0, ""}, {-1, "Recent"}, {CMD_REVERT, "Revert..."},
                                  {CMD_NEW, "New..."}, {CMD_OPEN, "Open..."}, {CMD_SAVE, "Save"},
                                  {CMD_SAVE_AS, "Save As..."}, {0, ""}, {CMD_EXIT, "Exit"}}));
    EXPECT_EQ(Entries(*MenuHandles.Edit),
              (std::vector<Entry>{{2005, "Select All"}, {2004, "Inverse Selection"}, {2007, "Grow Selection"},
                                  {2006, "Select Similar"}, {0, ""}, {2001, "Copy"}, {2002, "Paste"}, {2003, "Cut"},
                                  {0, ""}, {CMD_STEP_BACKWARD, "Step Backward"}, {CMD_STEP_FORWARD, "Step Forward"}}));
    EXPECT_EQ(Entries(*MenuHandles.View),
              (std::vector<Entry>{{3001, "Titlebar"}, {3002, "Toolbar"}, {3011, "Status Bar"}, {0, ""},
                                  {3003, "Spectrum Colorbar"}, {3004, "30 Standard Colors"},
                                  {-1, "Colorbar Position"}, {0, ""}, {-1, "Zoom"},
                                  {3006, "Zoom In"}, {3007, "Zoom Out"}, {3008, "Actual Pixels"}}));
    EXPECT_EQ(Entries(*MenuHandles.ColorbarPosition),
              (std::vector<Entry>{{3101, "Top"}, {3102, "Left"}, {3103, "Right"}, {3104, "Bottom"}}));
    EXPECT_EQ(Entries(*MenuHandles.Image),
              (std::vector<Entry>{{4001, "Brightness/Contrast..."}, {4002, "Hue/Saturation..."},
                                  {4003, "Gamma Correction..."}, {4004, "Adjust RGB..."}, {4005, "Colorize..."},
                                  {0, ""}, {4006, "Invert"}, {4007, "Grayscale"}, {-1, "Rotate"},
                                  {4008, "Image Size..."}, {4011, "Crop to Selection"}, {0, ""},
                                  {4009, "Image Information..."}}));
    EXPECT_EQ(Entries(*MenuHandles.Rotate),
              (std::vector<Entry>{{8001, "180\xC2\xB0 CW"}, {8002, "90\xC2\xB0 CW"}, {8003, "90\xC2\xB0 CCW"},
                                  {8004, "Arbitrary..."}, {0, ""}, {8005, "Flip Horizontal"},
                                  {8006, "Flip Vertical"}}));
    const platform::Menu* subMenus[] = {MenuHandles.Blur,     MenuHandles.Sharpen, MenuHandles.Noise,
                                        MenuHandles.Contour,  MenuHandles.Creative, MenuHandles.Distort,
                                        MenuHandles.Other};
    const char* subLabels[] = {"Blur", "Sharpen", "Noise", "Contour", "Creative", "Distort", "Other"};
    ASSERT_EQ(MenuHandles.Filter->ItemCount(), 7);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(MenuHandles.Filter->ItemLabel(i), subLabels[i]);
        ASSERT_NE(subMenus[i], nullptr);
    }
    EXPECT_EQ(Entries(*MenuHandles.Blur),
              (std::vector<Entry>{{CMD_BLUR_LOW, "Low Gaussian Blur"}, {CMD_BLUR_MEDIUM, "Medium Gaussian Blur"},
                                  {CMD_BLUR_STRONG, "Strong Gaussian Blur"}, {CMD_AVERAGE, "Average"}}));
    EXPECT_EQ(Entries(*MenuHandles.Sharpen),
              (std::vector<Entry>{{CMD_SHARPEN_LOW, "Low"}, {CMD_SHARPEN_MEDIUM, "Medium"},
                                  {CMD_SHARPEN_STRONG, "Strong"}, {CMD_UNSHARP_MASK, "Unsharp Mask..."}}));
    EXPECT_EQ(Entries(*MenuHandles.Noise), (std::vector<Entry>{{CMD_DESPECKLE, "Despeckle"},
                                                               {CMD_ADD_NOISE, "Add Noise..."},
                                                               {CMD_JITTER, "Jitter..."}}));
    EXPECT_EQ(Entries(*MenuHandles.Creative),
              (std::vector<Entry>{{CMD_TEXTURE, "Texture..."}, {CMD_MOSAIC, "Mosaic..."}, {CMD_OILPAINT, "Oilpaint"}}));
    EXPECT_EQ(Entries(*MenuHandles.Contour),
              (std::vector<Entry>{{8901, "Edge Detect"}, {8903, "Emboss..."}, {8902, "Find Contours"}}));
    EXPECT_EQ(Entries(*MenuHandles.Distort),
              (std::vector<Entry>{{8801, "Offset..."}, {8802, "Sphere..."}, {8803, "Swirl..."}, {8804, "Waves..."}}));
    EXPECT_EQ(Entries(*MenuHandles.Other),
              (std::vector<Entry>{{8601, "Separate Channel..."}, {8602, "Solarize"}, {8603, "Threshold..."}}));
}

TEST_F(ShellTest, ZoomMenuAndPresetFactors) {
    Start();
    ASSERT_EQ(MenuHandles.Zoom->ItemCount(), 10);
    EXPECT_EQ(MenuHandles.Zoom->ItemLabel(0), "12.5 %");
    EXPECT_EQ(MenuHandles.Zoom->ItemLabel(2), "33 %");
    EXPECT_EQ(MenuHandles.Zoom->ItemLabel(9), "800 %");
    EXPECT_EQ(MenuHandles.Zoom->ItemId(9), 3210);
    EXPECT_EQ(ZoomPresetFactor(3201), 0.125f);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(ZoomPresetFactor(3203)), 0x3EAAAAABu);
    EXPECT_EQ(ZoomPresetFactor(3205), 0.75f);
    EXPECT_EQ(ZoomPresetFactor(3210), 8.0f);
    EXPECT_EQ(ZoomPresetFactor(3200), 0.0f);
    EXPECT_EQ(ZoomPresetFactor(3211), 0.0f);
}

TEST_F(ShellTest, RecentMenuStartsWithTheDisabledUntitledItem) {
    Start();
    ASSERT_NE(FileState.RecentMenu, nullptr);
    EXPECT_EQ(FileState.RecentMenu, MenuHandles.Recent);
    ASSERT_EQ(FileState.RecentMenu->ItemCount(), 1);
    EXPECT_EQ(FileState.RecentMenu->ItemId(0), CMD_RECENT_1);
    EXPECT_EQ(FileState.RecentMenu->ItemLabel(0), "untitled");
    EXPECT_FALSE(FileState.RecentMenu->IsItemEnabled(CMD_RECENT_1));
}

TEST_F(ShellTest, FileItemsAfterStartUpAndAfterPaintingAnOpenedFile) {
    Start();
    EXPECT_FALSE(Updated(CMD_SAVE).enabled);
    EXPECT_FALSE(Updated(CMD_REVERT).enabled);
    EXPECT_TRUE(Updated(CMD_SAVE_AS).enabled);
    EXPECT_FALSE(Updated(CMD_COPY).enabled);
    EXPECT_FALSE(Updated(CMD_CUT).enabled);
    EXPECT_FALSE(Updated(CMD_PASTE).enabled);

    // A change to an image that has a file.
    ImageState.CurrentPath = "/home/user/picture.png";
    ImageState.ImageModified = 1;
    EXPECT_TRUE(Updated(CMD_SAVE).enabled);
    EXPECT_TRUE(Updated(CMD_REVERT).enabled);
    // A change without a file name cannot be saved in place.
    ImageState.CurrentPath.clear();
    EXPECT_FALSE(Updated(CMD_SAVE).enabled);
    // Saved: nothing to save until the next change.
    ImageState.CurrentPath = "/home/user/picture.png";
    ImageState.ImageModified = 0;
    EXPECT_FALSE(Updated(CMD_SAVE).enabled);
    EXPECT_FALSE(Updated(CMD_REVERT).enabled);
}

TEST_F(ShellTest, NothingToSaveWithoutAWorkBitmap) {
    Start();
    ImageState.CurrentPath = "/home/user/picture.png";
    ImageState.ImageModified = 1;
    FreeImageBox(ImageState.CurrentImage);
    ImageState.CurrentImage = 0;
    EXPECT_FALSE(Updated(CMD_SAVE).enabled);
    EXPECT_FALSE(Updated(CMD_SAVE_AS).enabled);
}

TEST_F(ShellTest, PieceItemsFollowTheTool) {
    Start();
    ASSERT_EQ(CreateFloatingPiece(10, 10), 1);
    PaintSettings.Tool = kToolPen;
    EXPECT_TRUE(Updated(CMD_PASTE).enabled);
    EXPECT_FALSE(Updated(CMD_COPY).enabled);
    for (int tool : {kToolFloatingPiece, kToolPieceGradient}) {
        PaintSettings.Tool = static_cast<std::int8_t>(tool);
        EXPECT_TRUE(Updated(CMD_COPY).enabled);
        EXPECT_TRUE(Updated(CMD_CUT).enabled);
        EXPECT_FALSE(Updated(CMD_PASTE).enabled);
    }
}

TEST_F(ShellTest, ViewChecksFollowTheBars) {
    settings.WriteNumber("Toolbar", 0);
    settings.WriteNumber("Colorbar", 17);
    Start();
    EXPECT_TRUE(Updated(CMD_TITLEBAR).checked);
    ShellState.FullScreen = 1;
    EXPECT_FALSE(Updated(CMD_TITLEBAR).checked);
    EXPECT_FALSE(Updated(CMD_TOOLBAR).checked);
    // With the colour bar hidden neither kind is checked.
    ShellState.StandardColoursMode = 0;
    EXPECT_FALSE(Updated(CMD_SPECTRUM_COLORBAR).checked);
    EXPECT_FALSE(Updated(CMD_STANDARD_COLORS).checked);
    platform::HeadlessWindow bar(platform::WindowStyle{}, nullptr, false);
    ShellState.ColourBarWindow = &bar;
    ShellState.ToolBarWindow = &bar;
    EXPECT_TRUE(Updated(CMD_SPECTRUM_COLORBAR).checked);
    EXPECT_FALSE(Updated(CMD_STANDARD_COLORS).checked);
    EXPECT_TRUE(Updated(CMD_TOOLBAR).checked);
    ShellState.StandardColoursMode = 1;
    EXPECT_FALSE(Updated(CMD_SPECTRUM_COLORBAR).checked);
    EXPECT_TRUE(Updated(CMD_STANDARD_COLORS).checked);
    ShellState.ColourBarWindow = nullptr;
    ShellState.ToolBarWindow = nullptr;
}

TEST_F(ShellTest, UpdateRunsOverEveryItemBeforeAMenuOpens) {
    Start();
    ImageState.CurrentPath = "/home/user/picture.png";
    ImageState.ImageModified = 1;
    Bar()->UpdateMenu(0);
    EXPECT_TRUE(MenuHandles.File->IsItemEnabled(CMD_SAVE));
    ImageState.ImageModified = 0;
    Bar()->UpdateAll();
    EXPECT_FALSE(MenuHandles.File->IsItemEnabled(CMD_SAVE));
    // Items without a rule keep their state.
    EXPECT_TRUE(MenuHandles.File->IsItemEnabled(CMD_OPEN));
    EXPECT_TRUE(MenuHandles.View->IsItemChecked(CMD_TITLEBAR));
    EXPECT_TRUE(MenuHandles.ColorbarPosition->IsItemChecked(CMD_COLORBAR_BOTTOM));
}

// The history's items say which step they take, and are there only when there is one.
TEST_F(ShellTest, StepItemsNameTheirStepAndKeepUndoAsItWas) {
    Start();
    const auto item = [](int id) { return Updated(id); };
    EXPECT_FALSE(item(CMD_STEP_BACKWARD).enabled);
    EXPECT_FALSE(item(CMD_STEP_FORWARD).enabled);
    raster::SetPixel(*CurrentBox().workDc, 3, 3, raster::MakeColour(200, 30, 0));  // as opened: not uniform
    DispatchCommand(CMD_INVERT);
    DispatchCommand(CMD_FLIP_HORIZONTAL);
    EXPECT_TRUE(item(CMD_STEP_BACKWARD).enabled);
    platform::CommandBarModel& bar = *Bar();
    bar.UpdateMenu(1);
    EXPECT_EQ(bar.Buttons()[1].menu->Find(CMD_STEP_BACKWARD)->label, "Step Backward: Flip Horizontal");
    EXPECT_EQ(bar.Buttons()[1].menu->Find(CMD_STEP_FORWARD)->label, "Step Forward");
    EXPECT_EQ(bar.ShortcutTarget(CMD_STEP_BACKWARD), CMD_STEP_BACKWARD);
    DispatchCommand(CMD_STEP_BACKWARD);
    bar.UpdateMenu(1);
    EXPECT_EQ(bar.Buttons()[1].menu->Find(CMD_STEP_BACKWARD)->label, "Step Backward: Invert");
    EXPECT_EQ(bar.Buttons()[1].menu->Find(CMD_STEP_FORWARD)->label, "Step Forward: Flip Horizontal");
    EXPECT_TRUE(bar.Buttons()[1].menu->Find(CMD_STEP_FORWARD)->enabled);
    // Back at the state the program started with, the picture counts as unchanged again.
    DispatchCommand(CMD_STEP_BACKWARD);
    EXPECT_EQ(ImageState.ImageModified, 0);
    EXPECT_FALSE(item(CMD_STEP_BACKWARD).enabled);
    DispatchCommand(CMD_STEP_FORWARD);
    EXPECT_EQ(ImageState.ImageModified, 1);
    // The Undo button still undoes the last action's copy, and a second Undo redoes.
    const raster::Colour before = raster::GetPixel(*CurrentBox().workDc, 3, 3);
    DispatchCommand(CMD_GRAYSCALE);
    DispatchCommand(CMD_UNDO);
    EXPECT_EQ(raster::GetPixel(*CurrentBox().workDc, 3, 3), before);
    EXPECT_EQ(StepBackwardLabel(), "Undo");
}

// The settings file may give the history another limit; a nonsense one leaves the default.
TEST_F(ShellTest, TheHistoryTakesItsMemoryLimitFromTheSettings) {
    const std::pair<std::uint32_t, std::size_t> cases[] = {
        {64, std::size_t{64} << 20}, {4096, std::size_t{4096} << 20}, {3, DefaultHistoryBudget()}, {0, DefaultHistoryBudget()}};
    for (const auto& [megabytes, budget] : cases) {
        ResetProgramState();
        settings.WriteNumber("HistoryMegabytes", megabytes);
        LoadSettings();
        EXPECT_EQ(HistoryBudget(), budget) << megabytes;
    }
    EXPECT_GE(DefaultHistoryBudget(), std::size_t{16} << 20);
    EXPECT_LE(DefaultHistoryBudget(), std::size_t{1} << 30);
}
