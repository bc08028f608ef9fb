#include "platform/MenuModel.h"

#include <cstring>

namespace platform {

namespace {

class MenuItemUpdate : public CommandItem {
public:
    explicit MenuItemUpdate(MenuModel::Item& item) : item_(item) {}
    void Enable(bool enabled) override { item_.enabled = enabled; }
    void SetCheck(bool checked) override { item_.checked = checked; }
    void SetText(const std::string& label) override { item_.label = label; }

private:
    MenuModel::Item& item_;
};

class ButtonUpdate : public CommandItem {
public:
    explicit ButtonUpdate(CommandBarModel::Button& button) : button_(button) {}
    void Enable(bool enabled) override { button_.enabled = enabled; }
    void SetCheck(bool checked) override { button_.pressed = checked; }

private:
    CommandBarModel::Button& button_;
};

}  // namespace

void MenuModel::AppendItem(int id, const std::string& label) {
    Item item;
    item.id = id;
    item.label = label;
    items_.push_back(std::move(item));
}

void MenuModel::AppendSeparator() { items_.push_back(Item{}); }

Menu* MenuModel::AppendSubMenu(const std::string& label) {
    Item item;
    item.id = -1;
    item.label = label;
    item.subMenu = std::make_unique<MenuModel>();
    Menu* menu = item.subMenu.get();
    items_.push_back(std::move(item));
    return menu;
}

void MenuModel::Clear() { items_.clear(); }

int MenuModel::ItemId(int position) const {
    if (position < 0 || position >= ItemCount()) return 0;
    return items_[position].id;
}

std::string MenuModel::ItemLabel(int position) const {
    if (position < 0 || position >= ItemCount()) return {};
    return items_[position].label;
}

MenuModel::Item* MenuModel::Find(int id) {
    if (id <= 0) return nullptr;
    for (Item& item : items_) {
        if (item.id == id) return &item;
        if (item.subMenu) {
            if (Item* found = item.subMenu->Find(id)) return found;
        }
    }
    return nullptr;
}

const MenuModel::Item* MenuModel::Find(int id) const { return const_cast<MenuModel*>(this)->Find(id); }

void MenuModel::EnableItem(int id, bool enabled) {
    if (Item* item = Find(id)) item->enabled = enabled;
}

void MenuModel::CheckItem(int id, bool checked) {
    if (Item* item = Find(id)) item->checked = checked;
}

bool MenuModel::IsItemEnabled(int id) const {
    const Item* item = Find(id);
    return item && item->enabled;
}

bool MenuModel::IsItemChecked(int id) const {
    const Item* item = Find(id);
    return item && item->checked;
}

void MenuModel::Update(const CommandUpdateProcedure& procedure) {
    if (!procedure) return;
    for (Item& item : items_) {
        if (item.subMenu) {
            item.subMenu->Update(procedure);
        } else if (item.id > 0) {
            MenuItemUpdate update(item);
            procedure(item.id, update);
        }
    }
}

void CommandBarModel::SetButtonImages(const raster::Bitmap& strip, int imageSize) {
    auto copy = raster::Bitmap::Create(strip.Info());
    if (!copy) return;
    std::memcpy(copy->Bits(), strip.Bits(), strip.ByteSize());
    images_ = std::move(copy);
    imageSize_ = imageSize;
    Changed();
}

Menu* CommandBarModel::AddMenuButton(const std::string& label, int id) {
    Button button;
    button.id = id;
    button.label = label;
    button.menu = std::make_unique<MenuModel>();
    Menu* menu = button.menu.get();
    buttons_.push_back(std::move(button));
    Changed();
    return menu;
}

void CommandBarModel::AddImageButton(int image, int id) {
    Button button;
    button.id = id;
    button.image = image;
    buttons_.push_back(std::move(button));
    Changed();
}

void CommandBarModel::DeleteButton(int index) {
    if (index < 0 || index >= ButtonCount()) return;
    buttons_.erase(buttons_.begin() + index);
    Changed();
}

int CommandBarModel::ButtonId(int index) const {
    if (index < 0 || index >= ButtonCount()) return 0;
    return buttons_[index].id;
}

int CommandBarModel::ButtonImage(int index) const {
    if (index < 0 || index >= ButtonCount()) return -1;
    return buttons_[index].image;
}

bool CommandBarModel::IsButtonPressed(int id) const {
    for (const Button& button : buttons_) {
        if (button.id == id) return button.pressed;
    }
    return false;
}

void CommandBarModel::UpdateButtons() {
    if (!update_) return;
    for (Button& button : buttons_) {
        if (button.menu) continue;
        ButtonUpdate update(button);
        update_(button.id, update);
    }
}

void CommandBarModel::UpdateMenu(int index) {
    if (index < 0 || index >= ButtonCount() || !buttons_[index].menu) return;
    buttons_[index].menu->Update(update_);
}

void CommandBarModel::UpdateAll() {
    for (int i = 0; i < ButtonCount(); ++i) UpdateMenu(i);
    UpdateButtons();
    if (onChanged) onChanged();
}

void CommandBarModel::AddShortcut(int id, const std::string& keys) {
    shortcuts_.push_back({id, keys});
    if (onShortcutAdded) onShortcutAdded(shortcuts_.back());
}

std::string CommandBarModel::ShortcutText(int id) const {
    for (const Shortcut& shortcut : shortcuts_) {
        if (shortcut.id == id) return shortcut.keys;
    }
    return {};
}

int CommandBarModel::ShortcutTarget(int id) const { return shortcutProcedure_ ? shortcutProcedure_(id) : id; }

void CommandBarModel::SetButtonToolTip(int id, const std::string& text) { toolTips_[id] = text; }

std::string CommandBarModel::ButtonToolTip(int id) const {
    const auto it = toolTips_.find(id);
    return it == toolTips_.end() ? std::string() : it->second;
}

void CommandBarModel::Changed() {
    if (onChanged) onChanged();
}

}  // namespace platform
