// The keyboard shortcuts: one table, given to the command bar, which sends them as commands
// and shows them beside the menu labels.
#pragma once

#include <span>
#include <string>

namespace platform {
class CommandBar;
}

struct ShortcutEntry {
    int command;
    const char* keys;  // portable form, "Ctrl+Shift+S"; a command's first entry shows in its menu
};

std::span<const ShortcutEntry> ShortcutTable();

// Gives the bar every shortcut of the table, the rule of what they send, and the tips of its
// image buttons.
void InstallShortcuts(platform::CommandBar& bar);

// What a shortcut of the command sends now: the command while its item is enabled, Save As
// for Save on a picture that has no file yet, 0 otherwise.
int ShortcutCommand(int command);

// The tip of an image button of the command bar as things stand ("" for other identifiers).
std::string ButtonToolTipText(int command);

// Brings the image buttons' tips up to date (the selection mode changes its own).
void UpdateButtonToolTips(platform::CommandBar& bar);
