#include "shell/Shortcuts.h"

#include "files/OpenSave.h"
#include "image/ImageSlots.h"
#include "platform/CommandBar.h"
#include "shell/Menus.h"
#include "tools/Canvas.h"

namespace {

constexpr ShortcutEntry kShortcuts[] = {
    // The desktop's undo keys walk the history; the Undo button keeps the one level.
    {CMD_STEP_BACKWARD, "Ctrl+Z"},
    {CMD_STEP_FORWARD, "Ctrl+Shift+Z"},
    {CMD_STEP_FORWARD, "Ctrl+Y"},
    {CMD_NEW, "Ctrl+N"},
    {CMD_OPEN, "Ctrl+O"},
    {CMD_SAVE, "Ctrl+S"},
    {CMD_SAVE_AS, "Ctrl+Shift+S"},
    {CMD_EXIT, "Ctrl+Q"},
    {CMD_SELECT_ALL, "Ctrl+A"},
    {CMD_COPY, "Ctrl+C"},
    {CMD_CUT, "Ctrl+X"},
    {CMD_PASTE, "Ctrl+V"},
    {CMD_ZOOM_IN, "Ctrl++"},
    // Plus shares its key with "=" on most layouts: zooming in should not need Shift.
    {CMD_ZOOM_IN, "Ctrl+="},
    {CMD_ZOOM_OUT, "Ctrl+-"},
    {CMD_ACTUAL_PIXELS, "Ctrl+0"},
    {CMD_TITLEBAR, "F11"},
    {CMD_DESELECT, "Ctrl+Shift+A"},
    {CMD_CROP_TO_SELECTION, "Ctrl+Shift+X"},
    {CMD_DELETE_SELECTION, "Del"},
    {CMD_BRUSH_SMALLER, "["},
    {CMD_BRUSH_LARGER, "]"},
};

// The state an update rule leaves on an item that starts enabled.
struct ItemState : platform::CommandItem {
    void Enable(bool on) override { enabled = on; }
    void SetCheck(bool) override {}
    bool enabled = true;
};

bool Enabled(int command) {
    ItemState item;
    UpdateCommandUI(command, item);
    return item.enabled;
}

constexpr const char* kModifierNames[] = {"Replace", "Add", "Subtract"};

}  // namespace

std::span<const ShortcutEntry> ShortcutTable() { return kShortcuts; }

int ShortcutCommand(int command) {
    // A picture without a file has nowhere to be saved but a new name.
    if (command == CMD_SAVE && ImageState.CurrentPath.empty()) command = CMD_SAVE_AS;
    // Paste from the keyboard puts the piece where the user points, when that is the canvas.
    raster::Point pointer;
    if (command == CMD_PASTE && PointerImagePoint(pointer)) command = CMD_PASTE_AT_POINTER;
    return Enabled(command) ? command : 0;
}

std::string ButtonToolTipText(int command) {
    if (command == CMD_UNDO) {
        for (const ShortcutEntry& entry : kShortcuts) {
            if (entry.command == CMD_UNDO) return std::string("Undo (") + entry.keys + ")";
        }
        return "Undo";
    }
    if (command != CMD_MODIFIER_MODE) return {};
    const int mode = CanvasState.SelectModifier;
    return std::string("Selection Mode: ") + kModifierNames[mode >= 0 && mode < 3 ? mode : 0];
}

void UpdateButtonToolTips(platform::CommandBar& bar) {
    for (int command : {CMD_UNDO, CMD_MODIFIER_MODE}) bar.SetButtonToolTip(command, ButtonToolTipText(command));
}

void InstallShortcuts(platform::CommandBar& bar) {
    for (const ShortcutEntry& entry : kShortcuts) bar.AddShortcut(entry.command, entry.keys);
    bar.SetShortcutProcedure(ShortcutCommand);
    UpdateButtonToolTips(bar);
}
