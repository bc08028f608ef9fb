#include "panels/ToolOptions.h"

#include <algorithm>
#include <cstdint>

#include "panels/DialogBuilder.h"
#include "tools/ToolGroups.h"
#include "image/PaintSettings.h"

namespace {

constexpr int kPage = 10;
constexpr int kRoundedRectangleItem = 2;
constexpr int kFloodFillItem = 0;

// One slot, no list; the chosen value when the dialog ended with OK or when always, else
// the value it started with.
std::uint8_t AskByte(const char* title, const char* label, std::uint8_t value, int min, int max, bool always) {
    ValueSlot slots[3];
    slots[0] = {label, value, kPage, min, max};
    const int result = RunValueDialog(title, slots, "", "", 0);
    if (result != 1 && !always) return value;
    return static_cast<std::uint8_t>(ValueDialogRecord.slot[0].value);
}

void GradientStyle() {
    ValueSlot slots[3];
    slots[0] = {"Opacity", PaintSettings.GOpacity, kPage, 1, 100};
    RunValueDialog("Gradient Style", slots, "Gradient",
                   "Foreground to Background|Foreground to Transparent|Transparent to Foreground",
                   PaintSettings.Gradient);
    // Kept however the dialog closes, like the drawing opacity.
    PaintSettings.GOpacity = static_cast<std::uint8_t>(ValueDialogRecord.slot[0].value);
    PaintSettings.Gradient = static_cast<std::uint8_t>(std::clamp(ValueDialogRecord.listIndex, 0, 2));
}

}  // namespace

int RunToolOptions(int b) {
    switch (b) {
        case 0:
            PaintSettings.WTolerance = AskByte("Magic Wand Tolerance", "Tolerance", PaintSettings.WTolerance, 0, 255, false);
            return 1;
        case 1:
            PaintSettings.DOpacity = AskByte("Drawing Opacity", "Opacity", PaintSettings.DOpacity, 1, 100, true);
            return 1;
        case 2:
            if (GroupCurrent(2) != kRoundedRectangleItem) return 0;
            PaintSettings.Round = AskByte("Rounded Rectangle Corner", "Radius", PaintSettings.Round, 0, 255, false);
            return 1;
        case 3:
            if (GroupCurrent(3) == kFloodFillItem) {
                PaintSettings.FTolerance = AskByte("Fill Tolerance", "Tolerance", PaintSettings.FTolerance, 0, 255, false);
            } else {
                GradientStyle();
            }
            return 1;
        default: return 0;
    }
}
