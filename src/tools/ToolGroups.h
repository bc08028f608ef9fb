// The twelve tool-bar groups: each button's entries, their tiles in the tool strip, the tool
// rows they choose, the flyout width and the entries' display names. Groups 0 to 7 are made
// from the tool table's rows; the swatch, fill-style, brush and transparency buttons hold
// entries of their own. The tool bar draws them; choosing a tool (ToolChoice.h) applies a
// group's current entry.
#pragma once

#include <cstdint>

constexpr int kToolGroupCount = 12;
constexpr int kToolGroupRoom = 10;

// The buttons, as indices into ToolGroups (and the values of PaintSettings.Group).
constexpr int kGroupSelect = 0;
constexpr int kGroupPen = 1;
constexpr int kGroupShape = 2;
constexpr int kGroupArea = 3;
constexpr int kGroupFilter = 4;
constexpr int kGroupPicker = 5;
constexpr int kGroupText = 6;
constexpr int kGroupZoom = 7;
constexpr int kGroupSwatch = 8;
constexpr int kGroupFillStyle = 9;
constexpr int kGroupBrush = 10;
constexpr int kGroupTransparency = 11;

struct ToolRow;

struct ToolGroup {
    std::int16_t current = 0;  // groups 6 to 11 only: read every group's through GroupCurrent
    std::int16_t count = 0;
    std::int16_t image[kToolGroupRoom] = {};
    // The tool row each entry chooses (the swatch, brush and transparency buttons' entries
    // choose the colour picker); null for the fill styles, which choose none.
    const ToolRow* row[kToolGroupRoom] = {};
    std::int16_t width = 0;
    const char* name[kToolGroupRoom] = {};  // null where a tool has no display name
};

extern ToolGroup ToolGroups[kToolGroupCount];

// Fills every group with its initial contents (current tool 0): the tool rows by their group
// and place, and the buttons of no tool.
void FillToolGroups();

// The current entry of a group. Groups 0 to 5 keep theirs in the paint settings (Select,
// Pen, Shape, Area, Filter, Text), so that there is one copy; the others in their record.
std::int16_t& GroupCurrent(int group);
