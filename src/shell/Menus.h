// The command bar's buttons and menus and the rules that enable and check items before a
// menu opens.
#pragma once

#include "filters/CommandIds.h"

namespace platform {
class CommandBar;
class CommandItem;
class Menu;
}

// The command bar strip's images: 2 + SelectModifier (square, plus, minus) and the undo arrow.
constexpr int kImageModifierFirst = 2;
constexpr int kImageUndo = 5;
constexpr int kButtonImageSize = 16;
// The image resource that holds the strip.
constexpr int kCommandBarImagesResource = 106;
// Button 6 of the bar, re-added whenever the modifier changes.
constexpr int kModifierButtonIndex = 6;

// The pop-up menus, kept for check marks and the Recent items; null until BuildMenus.
struct MenuHandlesRecord {
    platform::Menu* File = nullptr;
    platform::Menu* Edit = nullptr;
    platform::Menu* View = nullptr;
    platform::Menu* Image = nullptr;
    platform::Menu* Filter = nullptr;
    platform::Menu* Recent = nullptr;
    platform::Menu* ColorbarPosition = nullptr;
    platform::Menu* Zoom = nullptr;
};

extern MenuHandlesRecord MenuHandles;

// The zoom factor of a preset identifier 3201 to 3210; 0 for any other.
float ZoomPresetFactor(int id);

// Appends one button to the bar; a text button (image < 0) gets its drop-down menu, which
// is returned (null for an image button).
platform::Menu* AddCommandBarButton(platform::CommandBar& bar, int image, const char* text, int id);

// Builds the five menu buttons with their menus, then the undo and modifier buttons.
void BuildMenus(platform::CommandBar& bar);

// Applies the update rule of the identifier to the item; other identifiers are left alone.
void UpdateCommandUI(int id, platform::CommandItem& item);

// The check mark of a colour bar position item (3101 + position).
void CheckColourBarPosition(bool checked);
