// The panels' share of the process-wide state: which colour the last pick set, the stylus
// tracking of the colour bar, popup and colour table, the popups that are open, and what the
// dialogs keep from one opening to the next for the life of the process.
#pragma once

#include <cstdint>

namespace platform {
class Window;
}

constexpr std::uint8_t kPickForeground = 0;
constexpr std::uint8_t kPickBackground = 1;

struct PanelStateRecord {
    std::uint8_t PickTarget = kPickForeground;
    std::uint8_t ColourBarTracking = 0;
    std::uint32_t PopupTracking = 0;
    std::uint8_t PaletteTracking = 0;
    platform::Window* ColourPopupWindow = nullptr;
    std::uint32_t PopupColoursAtOpen[2] = {0x000000, 0xFFFFFF};  // foreground, background
    platform::Window* FlyoutWindow = nullptr;
    int FlyoutGroup = 0;
    platform::Window* BrushPickerWindow = nullptr;
    std::uint32_t DialogColours[2] = {0x000000, 0xFFFFFF};  // working copies in the colour table
    // The size dialog's two check boxes; both start as 1.
    std::uint8_t ConstrainProportions = 1;  // 1 = one side follows the other at the aspect ratio
    std::uint8_t ResizeImage = 1;           // 1 = resample; 0 = crop or extend the canvas
    // Set while the colour table writes its own fields: their change notices are not the user's.
    bool ColourTableWriting = false;
    // The tool strip that could not be decoded has been reported; it is said once.
    bool ToolStripReported = false;
};

extern PanelStateRecord PanelState;

// Back to the initial state (tests). Windows are not touched.
void ResetPanelState();
