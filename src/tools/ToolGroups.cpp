#include "tools/ToolGroups.h"

#include <algorithm>
#include <initializer_list>

#include "image/PaintSettings.h"
#include "tools/ToolTable.h"

ToolGroup ToolGroups[kToolGroupCount];

namespace {

// The flyout widths of the groups, by button.
constexpr std::int16_t kFlyoutWidth[kToolGroupCount] = {135, 90, 140, 120, 134, 120, 120, 85, 120, 120, 120, 120};

struct ButtonEntry {
    const char* name;
    std::int16_t image;
};

// A button of no tool group: its entries choose the colour picker (the fill styles none).
void FillButton(int group, const ToolRow* chooses, std::initializer_list<ButtonEntry> entries) {
    ToolGroup& record = ToolGroups[group];
    for (const ButtonEntry& entry : entries) {
        record.row[record.count] = chooses;
        record.name[record.count] = entry.name;
        record.image[record.count] = entry.image;
        ++record.count;
    }
}

}  // namespace

void FillToolGroups() {
    for (int group = 0; group < kToolGroupCount; ++group) {
        ToolGroups[group] = ToolGroup{};
        ToolGroups[group].width = kFlyoutWidth[group];
    }
    for (const ToolRow& row : ToolRows()) {
        if (row.group == kNoToolGroup) continue;
        ToolGroup& record = ToolGroups[row.group];
        record.row[row.place] = &row;
        record.name[row.place] = row.name;
        record.image[row.place] = row.tile;
        record.count = static_cast<std::int16_t>(std::max<int>(record.count, row.place + 1));
    }
    const ToolRow* picker = RowOfTool(kToolColourPicker);
    FillButton(kGroupSwatch, picker, {{nullptr, 10}});
    FillButton(kGroupFillStyle, nullptr,
               {{"Fillstyle Hollow", 20}, {"Fillstyle Outlined", 21}, {"Fillstyle Solid", 22}});
    FillButton(kGroupBrush, picker, {{nullptr, 5}});
    FillButton(kGroupTransparency, picker, {{"Transparency Off", 15}, {"Transparency On", 16}});
}

std::int16_t& GroupCurrent(int group) {
    switch (group) {
        case kGroupSelect: return PaintSettings.Select;
        case kGroupPen: return PaintSettings.Pen;
        case kGroupShape: return PaintSettings.Shape;
        case kGroupArea: return PaintSettings.Area;
        case kGroupFilter: return PaintSettings.Filter;
        case kGroupPicker: return PaintSettings.Text;
        default: return ToolGroups[group].current;
    }
}
