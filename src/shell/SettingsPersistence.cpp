#include "shell/SettingsPersistence.h"

#include <cstdint>
#include <string>

#include "files/OpenSave.h"
#include "panels/ColourBar.h"
#include "panels/ToolBar.h"
#include "tools/ToolGroups.h"
#include "platform/Chrome.h"
#include "platform/MessageBox.h"
#include "platform/Settings.h"
#include "shell/MainFrame.h"
#include "shell/Menus.h"
#include "image/History.h"
#include "image/ImageSlots.h"
#include "image/PaintSettings.h"
#include "tools/Canvas.h"
#include "image/ToolIds.h"
#include "tools/ToolChoice.h"
#include "tools/ToolTable.h"

namespace {

constexpr std::uint32_t kStandardColoursFlag = 10;
constexpr std::uint32_t kHiddenFlag = 4;
constexpr int kLargestBrush = 17;
constexpr int kLastShape = 7;

// A stored number read as the signed value it was written as, when it exists and lies in
// min ... max.
bool ReadInRange(const char* name, int min, int max, int& value) {
    std::uint32_t stored = 0;
    if (!platform::Settings().ReadNumber(name, stored)) return false;
    const auto number = static_cast<std::int32_t>(stored);
    if (number < min || number > max) return false;
    value = number;
    return true;
}

template <typename Field>
void Load(const char* name, Field& field, int min, int max) {
    int value = 0;
    if (ReadInRange(name, min, max, value)) field = static_cast<Field>(value);
}

bool LoadColour(const char* name, std::uint32_t& field) {
    std::uint32_t stored = 0;
    if (!platform::Settings().ReadNumber(name, stored) || stored > 0xFFFFFFu) return false;
    field = stored;
    return true;
}

// The tools a stored "Tool" may name: those the tool bar chooses. A floating piece or a
// half-dropped selection cannot come back, as no piece exists at start.
bool IsStorableTool(int tool) {
    const ToolRow* row = RowOfTool(tool);
    return row && row->stored != ToolStored::No;
}

void LoadTool() {
    int tool = 0;
    if (ReadInRange("Tool", -128, 127, tool) && IsStorableTool(tool)) PaintSettings.Tool = static_cast<std::int8_t>(tool);
}

void LoadGroupItems() {
    const char* names[6] = {"Select", "Pen", "Shape", "Area", "Filter", "Text"};
    for (int g = 0; g < 6; ++g) {
        int item = 0;
        if (ReadInRange(names[g], 0, ToolGroups[g].count - 1, item)) GroupCurrent(g) = static_cast<std::int16_t>(item);
    }
    std::uint32_t area = 0;
    if (platform::Settings().ReadNumber("Area", area) && area == 2) CanvasState.GradientKind = 1;
}

// The program only ever stores a tool together with the group and entry that choose it. A
// tool that does not match them (a file edited by hand) is taken from the current group's
// button, so that the bar shows what paints.
void MatchToolToItsButton() {
    const int group = PaintSettings.Group;
    const int chosen = ToolOfEntry(ToolGroups[group].row[GroupCurrent(group)], PaintSettings.Tool, 0);
    if (chosen >= 0 && chosen != PaintSettings.Tool) PaintSettings.Tool = static_cast<std::int8_t>(chosen);
}

void LoadBars() {
    std::uint32_t toolbar = 1;
    const bool toolbarStored = platform::Settings().ReadNumber("Toolbar", toolbar);
    if (!(toolbarStored && toolbar == 0) && !ShellState.ToolBarWindow) ToggleToolBar();

    std::uint32_t colorbar = 0;
    bool shown = true;
    std::uint32_t position = ShellState.ColourBarPosition;
    std::uint8_t standard = ShellState.StandardColoursMode;
    if (platform::Settings().ReadNumber("Colorbar", colorbar) && UnpackColourBar(colorbar, position, standard, shown)) {
        ShellState.ColourBarPosition = position;
        ShellState.StandardColoursMode = standard;
    }
    if (shown && !ShellState.ColourBarWindow) ToggleColourBar();
    CheckColourBarPosition(true);
}

// The window chrome: the status bar, and the window's place when it still fits the screens
// (a screen unplugged since leaves the window where a first start puts it).
void LoadChrome() {
    std::uint32_t status = 1;
    if (platform::Settings().ReadNumber("StatusBar", status)) platform::Chrome().ShowStatusBar(status != 0);
    platform::WindowPlacement place;
    int maximised = 0;
    const bool stored = ReadInRange("WindowX", INT32_MIN, INT32_MAX, place.x) &&
                        ReadInRange("WindowY", INT32_MIN, INT32_MAX, place.y) &&
                        ReadInRange("WindowWidth", 1, INT32_MAX, place.width) &&
                        ReadInRange("WindowHeight", 1, INT32_MAX, place.height) &&
                        ReadInRange("WindowMaximized", 0, 1, maximised);
    if (!stored) return;
    place.maximised = maximised != 0;
    int minimumWidth = 0;
    int minimumHeight = 0;
    platform::Chrome().MinimumSize(minimumWidth, minimumHeight);
    if (platform::PlacementFits(place, platform::Chrome().Screens(), minimumWidth, minimumHeight)) {
        platform::Chrome().Place(place);
    }
}

bool Write(const char* name, std::uint32_t value) { return platform::Settings().WriteNumber(name, value); }

bool WriteSigned(const char* name, std::int32_t value) { return Write(name, static_cast<std::uint32_t>(value)); }

void NormaliseTool() {
    const ToolRow* row = RowOfTool(PaintSettings.Tool);
    if (PieceOnCanvas()) {
        PaintSettings.Tool = kToolSelectRectangle;
        PaintSettings.Select = 0;
        PaintSettings.Group = 0;
    } else if (row && row->stored == ToolStored::AsPen) {
        PaintSettings.Tool = kToolPen;
        PaintSettings.Pen = 0;
        PaintSettings.Group = 1;
    }
}

bool WriteAll() {
    const PaintSettingsRecord& s = PaintSettings;
    bool ok = true;
    ok &= Write("Toolbar", ShellState.ToolBarWindow ? 1 : 0);
    ok &= Write("Colorbar", PackColourBar(ShellState.ColourBarPosition, ShellState.StandardColoursMode,
                                          ShellState.ColourBarWindow != nullptr));
    ok &= Write("Titlebar", ShellState.FullScreen == 0 ? 1 : 0);
    ok &= Write("StatusBar", platform::Chrome().StatusBarShown() ? 1 : 0);
    platform::WindowPlacement place;
    if (platform::Chrome().Placement(place)) {
        ok &= WriteSigned("WindowX", place.x);
        ok &= WriteSigned("WindowY", place.y);
        ok &= WriteSigned("WindowWidth", place.width);
        ok &= WriteSigned("WindowHeight", place.height);
        ok &= Write("WindowMaximized", place.maximised ? 1 : 0);
    }
    ok &= WriteSigned("Palette", s.Palette);
    ok &= Write("FColor", s.FColor);
    ok &= Write("BColor", s.BColor);
    ok &= Write("Brush", s.Brush);
    ok &= Write("Size", s.Size);
    ok &= WriteSigned("Fill", s.Fill);
    ok &= Write("Trans", s.Trans);
    ok &= Write("WTolerance", s.WTolerance);
    ok &= Write("FTolerance", s.FTolerance);
    ok &= Write("Round", s.Round);
    ok &= Write("GOpacity", s.GOpacity);
    ok &= Write("DOpacity", s.DOpacity);
    ok &= Write("Gradient", s.Gradient);
    NormaliseTool();
    ok &= WriteSigned("Tool", s.Tool);
    ok &= WriteSigned("Group", s.Group);
    ok &= WriteSigned("Select", s.Select);
    ok &= WriteSigned("Pen", s.Pen);
    ok &= WriteSigned("Shape", s.Shape);
    ok &= WriteSigned("Area", s.Area);
    ok &= WriteSigned("Filter", s.Filter);
    ok &= WriteSigned("Text", s.Text);
    return ok;
}

}  // namespace

std::uint32_t PackColourBar(std::uint32_t position, std::uint8_t standard, bool shown) {
    return position + (standard == 1 ? kStandardColoursFlag : 0) + (shown ? 0 : kHiddenFlag);
}

bool UnpackColourBar(std::uint32_t value, std::uint32_t& position, std::uint8_t& standard, bool& shown) {
    std::uint8_t kind = 0;
    if (value >= kStandardColoursFlag) {
        kind = 1;
        value -= kStandardColoursFlag;
    }
    if (value >= 2 * kHiddenFlag) return false;
    standard = kind;
    shown = value < kHiddenFlag;
    position = shown ? value : value - kHiddenFlag;
    return true;
}

void LoadSettings() {
    LoadColour("FColor", PaintSettings.FColor);
    LoadColour("BColor", PaintSettings.BColor);
    Load("Brush", PaintSettings.Brush, 0, kLastShape);
    Load("Size", PaintSettings.Size, 1, kLargestBrush);
    int fill = 0;
    if (ReadInRange("Fill", 0, ToolGroups[kFillStyleButton].count - 1, fill)) {
        PaintSettings.Fill = static_cast<std::int8_t>(fill);
        GroupCurrent(kFillStyleButton) = static_cast<std::int16_t>(fill);
    }
    int trans = 0;
    if (ReadInRange("Trans", 0, 1, trans)) {
        PaintSettings.Trans = static_cast<std::uint32_t>(trans);
        GroupCurrent(kTransparencyButton) = static_cast<std::int16_t>(trans);
    }
    Load("WTolerance", PaintSettings.WTolerance, 0, 255);
    Load("FTolerance", PaintSettings.FTolerance, 0, 255);
    Load("Round", PaintSettings.Round, 0, 255);
    Load("GOpacity", PaintSettings.GOpacity, 1, 100);
    Load("DOpacity", PaintSettings.DOpacity, 1, 100);
    Load("Gradient", PaintSettings.Gradient, 0, 2);
    LoadTool();
    // Only the buttons that hold tools can be the current group; the swatch, fill-style,
    // brush and transparency buttons are never current for long.
    Load("Group", PaintSettings.Group, 0, kGroupZoom);
    LoadGroupItems();
    MatchToolToItsButton();
    Load("Palette", PaintSettings.Palette, 0, 6);
    LoadBars();
    // The memory the history of states may keep, in megabytes; without it, its default.
    int historyMegabytes = 0;
    if (ReadInRange("HistoryMegabytes", 16, 1 << 20, historyMegabytes)) {
        SetHistoryBudget(static_cast<std::size_t>(historyMegabytes) << 20);
    }
    LoadChrome();
}

int SaveSettings() {
    if (!PromptSaveChanges()) return 0;
    platform::SettingsStore& store = platform::Settings();
    store.BeginBatch();
    const bool written = WriteAll();
    if (!store.EndBatch() || !written) {
        platform::ShowMessageBox("Your settings could not be saved; the ones saved before are kept.", "Error",
                                 platform::MessageButtons::Ok, platform::MessageIcon::Stop);
    }
    return 1;
}
