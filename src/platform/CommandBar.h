// The command bar at the bottom of the screen: text buttons that drop down a menu and image
// buttons. Menu items and buttons send their identifier to the main window as a Command
// message. Before a menu drops down (and after every command) the bar asks the update
// procedure about every identifier it shows, so items are enabled and checked as the
// program's state says.
#pragma once

#include <functional>
#include <string>

#include "platform/raster/Bitmap.h"

namespace platform {

class Menu {
public:
    virtual ~Menu() = default;
    virtual void AppendItem(int id, const std::string& label) = 0;
    virtual void AppendSeparator() = 0;
    // A pop-up item with its own menu, which stays owned by this one.
    virtual Menu* AppendSubMenu(const std::string& label) = 0;
    // Removes every item (sub-menus included).
    virtual void Clear() = 0;

    // Items in order, separators included (id 0, empty label); a sub-menu item has id -1.
    virtual int ItemCount() const = 0;
    virtual int ItemId(int position) const = 0;
    virtual std::string ItemLabel(int position) const = 0;

    // By identifier, searching sub-menus too; unknown identifiers are ignored (false).
    virtual void EnableItem(int id, bool enabled) = 0;
    virtual void CheckItem(int id, bool checked) = 0;
    virtual bool IsItemEnabled(int id) const = 0;
    virtual bool IsItemChecked(int id) const = 0;
};

// What an update procedure may change on one item or button.
class CommandItem {
public:
    virtual ~CommandItem() = default;
    virtual void Enable(bool enabled) = 0;
    // A menu item gets a check mark; an image button shows pressed.
    virtual void SetCheck(bool checked) = 0;
    // A menu item's label, for items that say what they would do ("Step Backward: Gamma").
    virtual void SetText(const std::string& /*label*/) {}
};

using CommandUpdateProcedure = std::function<void(int id, CommandItem& item)>;
// What a shortcut of the identifier sends now: an identifier, or 0 for nothing.
using ShortcutProcedure = std::function<int(int id)>;

class CommandBar {
public:
    virtual ~CommandBar() = default;
    // The strip of square button images, image k at x = k * imageSize.
    virtual void SetButtonImages(const raster::Bitmap& strip, int imageSize) = 0;
    // Appends a text button that drops down the menu it returns.
    virtual Menu* AddMenuButton(const std::string& label, int id) = 0;
    // Appends a button showing image k of the strip.
    virtual void AddImageButton(int image, int id) = 0;
    virtual void DeleteButton(int index) = 0;
    virtual int ButtonCount() const = 0;
    virtual int ButtonId(int index) const = 0;
    virtual int ButtonImage(int index) const = 0;  // -1 for a text button
    virtual bool IsButtonPressed(int id) const = 0;

    virtual void SetUpdateProcedure(CommandUpdateProcedure procedure) = 0;
    // Runs the update procedure over every button and item now.
    virtual void UpdateAll() = 0;

    virtual int Height() const = 0;

    // A key combination in the portable form "Ctrl+Shift+S", "Ctrl++", "F11". While no dialog
    // or menu is open it sends what the shortcut procedure makes of id (id itself without
    // one). The first keys given for an identifier show beside its menu label.
    virtual void AddShortcut(int id, const std::string& keys) = 0;
    virtual void SetShortcutProcedure(ShortcutProcedure procedure) = 0;
    // The keys shown beside the identifier's item; "" when it has none.
    virtual std::string ShortcutText(int id) const = 0;
    // The tip shown while the pointer rests on the button with the identifier.
    virtual void SetButtonToolTip(int id, const std::string& text) = 0;
    virtual std::string ButtonToolTip(int id) const = 0;
};

// The main window's command bar, made once by the window system.
CommandBar* CreateCommandBar();
CommandBar* GetCommandBar();

}  // namespace platform
