#include <set>

#include "support/ShellFixture.h"
#include "platform/MenuModel.h"
#include "shell/Menus.h"
#include "shell/Shortcuts.h"
#include "image/ToolIds.h"

namespace {

bool OnBar(platform::CommandBarModel& bar, int id) {
    for (const auto& button : bar.Buttons()) {
        if (button.id == id || (button.menu && button.menu->Find(id))) return true;
    }
    return false;
}

}  // namespace

TEST_F(ShellTest, EveryShortcutReachesAnItemOfTheBarAndNoKeysRepeat) {
    Start();
    std::set<std::string> keys;
    // Only the keys of the floating piece and the brush act without an item.
    const std::set<int> keysOnly = {CMD_DESELECT, CMD_DELETE_SELECTION, CMD_BRUSH_SMALLER, CMD_BRUSH_LARGER};
    for (const ShortcutEntry& entry : ShortcutTable()) {
        EXPECT_NE(OnBar(*Bar(), entry.command), keysOnly.count(entry.command) == 1) << entry.keys;
        EXPECT_TRUE(keys.insert(entry.keys).second) << entry.keys;
    }
    EXPECT_EQ(Bar()->Shortcuts().size(), ShortcutTable().size());
    // The first keys of a command are the ones its menu shows.
    EXPECT_EQ(Bar()->ShortcutText(CMD_SAVE_AS), "Ctrl+Shift+S");
    EXPECT_EQ(Bar()->ShortcutText(CMD_ZOOM_IN), "Ctrl++");
    // The desktop's undo keys walk the history; the Undo button keeps the one level, without keys.
    EXPECT_EQ(Bar()->ShortcutText(CMD_STEP_BACKWARD), "Ctrl+Z");
    EXPECT_EQ(Bar()->ShortcutText(CMD_STEP_FORWARD), "Ctrl+Shift+Z");
    EXPECT_EQ(Bar()->ShortcutText(CMD_UNDO), "");
    EXPECT_EQ(Bar()->ShortcutText(CMD_TITLEBAR), "F11");
    EXPECT_EQ(Bar()->ShortcutText(CMD_ABOUT), "");
}

TEST_F(ShellTest, ShortcutsSendOnlyWhatTheMenusWouldAllow) {
    Start();
    platform::CommandBarModel& bar = *Bar();
    // A new picture has no file: Save asks for a name.
    EXPECT_EQ(bar.ShortcutTarget(CMD_SAVE), CMD_SAVE_AS);
    ImageState.CurrentPath = "/tmp/a.png";
    EXPECT_EQ(bar.ShortcutTarget(CMD_SAVE), 0);  // saved and unchanged
    ImageState.ImageModified = 1;
    EXPECT_EQ(bar.ShortcutTarget(CMD_SAVE), CMD_SAVE);
    // Copy and Cut want a floating piece, Paste a held one.
    EXPECT_EQ(bar.ShortcutTarget(CMD_COPY), 0);
    EXPECT_EQ(bar.ShortcutTarget(CMD_CUT), 0);
    EXPECT_EQ(bar.ShortcutTarget(CMD_PASTE), 0);
    PaintSettings.Tool = kToolFloatingPiece;
    EXPECT_EQ(bar.ShortcutTarget(CMD_COPY), CMD_COPY);
    EXPECT_EQ(bar.ShortcutTarget(CMD_UNDO), CMD_UNDO);
    // With no step taken there is none to step back or forward over.
    EXPECT_EQ(bar.ShortcutTarget(CMD_STEP_BACKWARD), 0);
    EXPECT_EQ(bar.ShortcutTarget(CMD_STEP_FORWARD), 0);
    EXPECT_EQ(bar.ShortcutTarget(CMD_ZOOM_OUT), CMD_ZOOM_OUT);
}

TEST_F(ShellTest, ImageButtonsTellWhatTheyDo) {
    Start();
    EXPECT_EQ(Bar()->ButtonToolTip(CMD_UNDO), "Undo");
    EXPECT_EQ(Bar()->ButtonToolTip(CMD_MODIFIER_MODE), "Selection Mode: Replace");
    system.MainWindow()->Send([] {
        platform::WindowMessage m;
        m.kind = platform::MessageKind::Command;
        m.id = CMD_MODIFIER_MODE;
        return m;
    }());
    EXPECT_EQ(Bar()->ButtonToolTip(CMD_MODIFIER_MODE), "Selection Mode: Add");
}
