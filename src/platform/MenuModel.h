// The command bar and its menus as plain data: what the bar holds, each item's label,
// identifier, enabled and checked state. The headless window system uses them as they are;
// the Qt command bar draws from them and rebuilds its widgets when they change.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/CommandBar.h"

namespace platform {

class MenuModel : public Menu {
public:
    struct Item {
        int id = 0;  // 0 separator, -1 sub-menu
        std::string label;
        bool enabled = true;
        bool checked = false;
        std::unique_ptr<MenuModel> subMenu;
    };

    void AppendItem(int id, const std::string& label) override;
    void AppendSeparator() override;
    Menu* AppendSubMenu(const std::string& label) override;
    void Clear() override;
    int ItemCount() const override { return static_cast<int>(items_.size()); }
    int ItemId(int position) const override;
    std::string ItemLabel(int position) const override;
    void EnableItem(int id, bool enabled) override;
    void CheckItem(int id, bool checked) override;
    bool IsItemEnabled(int id) const override;
    bool IsItemChecked(int id) const override;

    const std::vector<Item>& Items() const { return items_; }
    // The item with the identifier, here or in a sub-menu; null when there is none.
    Item* Find(int id);
    const Item* Find(int id) const;
    // Runs the procedure on every item with an identifier, sub-menus included.
    void Update(const CommandUpdateProcedure& procedure);

private:
    std::vector<Item> items_;
};

class CommandBarModel : public CommandBar {
public:
    struct Button {
        int id = 0;
        int image = -1;  // -1: a text button
        std::string label;
        bool enabled = true;
        bool pressed = false;
        std::unique_ptr<MenuModel> menu;
    };

    void SetButtonImages(const raster::Bitmap& strip, int imageSize) override;
    Menu* AddMenuButton(const std::string& label, int id) override;
    void AddImageButton(int image, int id) override;
    void DeleteButton(int index) override;
    int ButtonCount() const override { return static_cast<int>(buttons_.size()); }
    int ButtonId(int index) const override;
    int ButtonImage(int index) const override;
    bool IsButtonPressed(int id) const override;
    void SetUpdateProcedure(CommandUpdateProcedure procedure) override { update_ = std::move(procedure); }
    void UpdateAll() override;
    int Height() const override { return height_; }
    void AddShortcut(int id, const std::string& keys) override;
    void SetShortcutProcedure(ShortcutProcedure procedure) override { shortcutProcedure_ = std::move(procedure); }
    std::string ShortcutText(int id) const override;
    void SetButtonToolTip(int id, const std::string& text) override;
    std::string ButtonToolTip(int id) const override;

    struct Shortcut {
        int id = 0;
        std::string keys;
    };
    const std::vector<Shortcut>& Shortcuts() const { return shortcuts_; }
    // The identifier a shortcut of id sends now (0: none).
    int ShortcutTarget(int id) const;
    // Called after every shortcut added.
    std::function<void(const Shortcut&)> onShortcutAdded;

    void SetHeight(int height) { height_ = height; }
    const std::vector<Button>& Buttons() const { return buttons_; }
    const raster::Bitmap* Images() const { return images_.get(); }
    int ImageSize() const { return imageSize_; }
    // Runs the update procedure over one button's menu (before it drops down).
    void UpdateMenu(int index);
    // Called after every change of the buttons (not of menu items).
    std::function<void()> onChanged;

private:
    void UpdateButtons();
    void Changed();

    std::vector<Button> buttons_;
    std::unique_ptr<raster::Bitmap> images_;
    int imageSize_ = 16;
    int height_ = 26;
    CommandUpdateProcedure update_;
    std::vector<Shortcut> shortcuts_;
    ShortcutProcedure shortcutProcedure_;
    std::map<int, std::string> toolTips_;
};

}  // namespace platform
