#include "shell/Menus.h"

#include "files/OpenSave.h"
#include "filters/Operations.h"
#include "image/History.h"
#include "image/ImageSlots.h"
#include "image/PaintSettings.h"
#include "image/ToolIds.h"
#include "platform/Chrome.h"
#include "platform/CommandBar.h"
#include "shell/MainFrame.h"
#include "tools/Canvas.h"
#include "tools/DesktopClipboard.h"

MenuHandlesRecord MenuHandles;

namespace {

struct MenuEntry {
    int id;  // 0 separator
    const char* label;
};

void AppendEntries(platform::Menu& menu, std::initializer_list<MenuEntry> entries) {
    for (const MenuEntry& entry : entries) {
        if (entry.id == 0) {
            menu.AppendSeparator();
        } else {
            menu.AppendItem(entry.id, entry.label);
        }
    }
}

// The items of the menu's operations, in the table's order, each in its sub-menu and after
// its separator.
void AppendOperations(platform::Menu& menu, OperationMenu which) {
    platform::Menu* subMenu = nullptr;
    std::string subMenuLabel;
    for (const Operation& op : Operations()) {
        if (op.menu != which) continue;
        platform::Menu* target = &menu;
        if (op.subMenu) {
            if (!subMenu || subMenuLabel != op.subMenu) {
                subMenu = menu.AppendSubMenu(op.subMenu);
                subMenuLabel = op.subMenu;
            }
            target = subMenu;
        } else {
            subMenu = nullptr;
        }
        if (op.separatorBefore) target->AppendSeparator();
        target->AppendItem(op.command, op.menuLabel);
    }
}

constexpr float kZoomPresets[] = {0.125f, 0.25f, 1.0f / 3.0f, 0.5f, 0.75f, 1.0f, 2.0f, 3.0f, 4.0f, 8.0f};
constexpr const char* kZoomLabels[] = {"12.5 %", "25 %",  "33 %",  "50 %",  "75 %",
                                       "100 %",  "200 %", "300 %", "400 %", "800 %"};

void BuildFileMenu(platform::Menu& file) {
    AppendEntries(file, {{CMD_ABOUT, "About..."}, {0, nullptr}});
    MenuHandles.Recent = file.AppendSubMenu("Recent");
    FileState.RecentMenu = MenuHandles.Recent;
    AppendEntries(file, {{CMD_REVERT, "Revert..."},
                         {CMD_NEW, "New..."},
                         {CMD_OPEN, "Open..."},
                         {CMD_SAVE, "Save"},
                         {CMD_SAVE_AS, "Save As..."},
                         {0, nullptr},
                         {CMD_EXIT, "Exit"}});
}

void BuildEditMenu(platform::Menu& edit) {
    AppendEntries(edit, {{CMD_SELECT_ALL, "Select All"},
                         {CMD_INVERSE_SELECTION, "Inverse Selection"},
                         {CMD_GROW_SELECTION, "Grow Selection"},
                         {CMD_SELECT_SIMILAR, "Select Similar"},
                         {0, nullptr},
                         {CMD_COPY, "Copy"},
                         {CMD_PASTE, "Paste"},
                         {CMD_CUT, "Cut"},
                         {0, nullptr},
                         {CMD_STEP_BACKWARD, "Step Backward"},
                         {CMD_STEP_FORWARD, "Step Forward"}});
}

void BuildViewMenu(platform::Menu& view) {
    AppendEntries(view, {{CMD_TITLEBAR, "Titlebar"},
                         {CMD_TOOLBAR, "Toolbar"},
                         {CMD_STATUS_BAR, "Status Bar"},
                         {0, nullptr},
                         {CMD_SPECTRUM_COLORBAR, "Spectrum Colorbar"},
                         {CMD_STANDARD_COLORS, "30 Standard Colors"}});
    MenuHandles.ColorbarPosition = view.AppendSubMenu("Colorbar Position");
    AppendEntries(*MenuHandles.ColorbarPosition, {{CMD_COLORBAR_TOP, "Top"},
                                                  {CMD_COLORBAR_LEFT, "Left"},
                                                  {CMD_COLORBAR_RIGHT, "Right"},
                                                  {CMD_COLORBAR_BOTTOM, "Bottom"}});
    view.AppendSeparator();
    MenuHandles.Zoom = view.AppendSubMenu("Zoom");
    for (int i = 0; i < 10; ++i) MenuHandles.Zoom->AppendItem(CMD_ZOOM_PRESET_FIRST + i, kZoomLabels[i]);
    AppendEntries(view, {{CMD_ZOOM_IN, "Zoom In"}, {CMD_ZOOM_OUT, "Zoom Out"}, {CMD_ACTUAL_PIXELS, "Actual Pixels"}});
}

// The operations, then the commands that are not image operations.
void BuildImageMenu(platform::Menu& image) {
    AppendOperations(image, OperationMenu::Image);
    AppendEntries(image,
                  {{CMD_CROP_TO_SELECTION, "Crop to Selection"}, {0, nullptr}, {CMD_IMAGE_INFO, "Image Information..."}});
}

// "Step Backward: Gamma Correction": the item says which step it takes.
void HistoryItem(platform::CommandItem& item, const char* verb, bool possible, const std::string& step) {
    item.Enable(possible);
    item.SetText(possible && !step.empty() ? std::string(verb) + ": " + step : std::string(verb));
}

bool SaveAllowed() { return CurrentBox().workBitmap && ImageState.ImageModified && !ImageState.CurrentPath.empty(); }

}  // namespace

float ZoomPresetFactor(int id) {
    if (id < CMD_ZOOM_PRESET_FIRST || id > CMD_ZOOM_PRESET_LAST) return 0.0f;
    return kZoomPresets[id - CMD_ZOOM_PRESET_FIRST];
}

platform::Menu* AddCommandBarButton(platform::CommandBar& bar, int image, const char* text, int id) {
    if (image >= 0) {
        bar.AddImageButton(image, id);
        return nullptr;
    }
    return bar.AddMenuButton(text, id);
}

void BuildMenus(platform::CommandBar& bar) {
    MenuHandles = MenuHandlesRecord{};
    MenuHandles.File = AddCommandBarButton(bar, -1, "File", 1000);
    BuildFileMenu(*MenuHandles.File);
    MenuHandles.Edit = AddCommandBarButton(bar, -1, "Edit", 2000);
    BuildEditMenu(*MenuHandles.Edit);
    MenuHandles.View = AddCommandBarButton(bar, -1, "View", 3000);
    BuildViewMenu(*MenuHandles.View);
    MenuHandles.Image = AddCommandBarButton(bar, -1, "Image", 4000);
    BuildImageMenu(*MenuHandles.Image);
    MenuHandles.Filter = AddCommandBarButton(bar, -1, "Filter", 5000);
    AppendOperations(*MenuHandles.Filter, OperationMenu::Filter);
    AddCommandBarButton(bar, kImageUndo, nullptr, CMD_UNDO);
    AddCommandBarButton(bar, kImageModifierFirst + CanvasState.SelectModifier, nullptr, CMD_MODIFIER_MODE);
}

void UpdateCommandUI(int id, platform::CommandItem& item) {
    switch (id) {
        case CMD_SAVE:
        case CMD_REVERT: item.Enable(SaveAllowed()); break;
        case CMD_SAVE_AS: item.Enable(CurrentBox().workBitmap != nullptr); break;
        case CMD_COPY:
        case CMD_CUT:
        case CMD_DESELECT:
        case CMD_CROP_TO_SELECTION: item.Enable(PieceOnCanvas()); break;
        // Delete lets the piece go as Cut does, which acts on a piece being moved only.
        case CMD_DELETE_SELECTION: item.Enable(PaintSettings.Tool == kToolFloatingPiece); break;
        case CMD_PASTE:
        case CMD_PASTE_AT_POINTER:
            // Either the held piece or an image another program put on the desktop clipboard.
            item.Enable((FloatingPiece.pieceDc != nullptr || ClipboardImageWaiting()) && !PieceOnCanvas());
            break;
        case CMD_TITLEBAR: item.SetCheck(ShellState.FullScreen == 0); break;
        case CMD_TOOLBAR: item.SetCheck(ShellState.ToolBarWindow != nullptr); break;
        case CMD_STATUS_BAR: item.SetCheck(platform::Chrome().StatusBarShown()); break;
        case CMD_SPECTRUM_COLORBAR:
            item.SetCheck(ShellState.ColourBarWindow != nullptr && ShellState.StandardColoursMode == 0);
            break;
        case CMD_STANDARD_COLORS:
            item.SetCheck(ShellState.ColourBarWindow != nullptr && ShellState.StandardColoursMode == 1);
            break;
        case CMD_MODIFIER_MODE: item.SetCheck(CanvasState.SelectModifier != 0); break;
        case CMD_STEP_BACKWARD: HistoryItem(item, "Step Backward", CanStepBackward(), StepBackwardLabel()); break;
        case CMD_STEP_FORWARD: HistoryItem(item, "Step Forward", CanStepForward(), StepForwardLabel()); break;
        default: break;
    }
}

void CheckColourBarPosition(bool checked) {
    if (!MenuHandles.ColorbarPosition) return;
    MenuHandles.ColorbarPosition->CheckItem(CMD_COLORBAR_TOP + static_cast<int>(ShellState.ColourBarPosition),
                                            checked);
}
