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
#include "support/Snapshot.h"

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

// One line per item, indented by depth: "label = id", "-" for a separator, "label:" before
// a sub-menu's items.
void AppendMenuText(const platform::MenuModel& menu, int depth, std::string& text) {
    for (const platform::MenuModel::Item& item : menu.Items()) {
        text += std::string(2 * static_cast<std::size_t>(depth), ' ');
        if (item.subMenu) {
            text += item.label + ":\n";
            AppendMenuText(*item.subMenu, depth + 1, text);
        } else if (item.id == 0) {
            text += "-\n";
        } else {
            text += item.label + " = " + std::to_string(item.id) + "\n";
        }
    }
}

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
    std::string text;
    for (const platform::CommandBarModel::Button& button : Bar()->Buttons()) {
        if (!button.menu) continue;
        text += button.label + "\n";
        AppendMenuText(*button.menu, 1, text);
    }
    ExpectSnapshot("menus.txt", text);
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
