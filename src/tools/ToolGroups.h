// The twelve tool-bar groups: each button's tools, their tiles in the tool strip, their
// tool-bar command ids, the flyout width and the tools' display names. The tool bar draws
// them; choosing a tool (ToolChoice.h) maps a group's current command to a tool id.
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

// The tool bar's own command ids. They are private to the tool bar and overlap the menu
// commands' numbers, so they never travel as menu commands.
constexpr std::int16_t kBarSelectRectangle = 1001;
constexpr std::int16_t kBarBrush = 1002;
constexpr std::int16_t kBarLine = 1003;
constexpr std::int16_t kBarRectangle = 1004;
constexpr std::int16_t kBarRoundedRectangle = 1005;
constexpr std::int16_t kBarEllipse = 1006;
constexpr std::int16_t kBarFloodFill = 1010;
constexpr std::int16_t kBarColourPicker = 1011;  // also the swatch, brush and transparency buttons
constexpr std::int16_t kBarText = 1012;
constexpr std::int16_t kBarZoomIn = 1013;
constexpr std::int16_t kBarZoomOut = 1014;
constexpr std::int16_t kBarPolygon = 1015;
constexpr std::int16_t kBarSelectPolygon = 1018;
constexpr std::int16_t kBarPen = 1019;
constexpr std::int16_t kBarEraser = 1020;
constexpr std::int16_t kBarAirbrush = 1021;
constexpr std::int16_t kBarSpraycan = 1022;
constexpr std::int16_t kBarBlur = 1040;
constexpr std::int16_t kBarSharpen = 1041;
constexpr std::int16_t kBarSmudge = 1042;
constexpr std::int16_t kBarRedEyeReduction = 1043;
constexpr std::int16_t kBarLighter = 1044;
constexpr std::int16_t kBarDarker = 1045;
constexpr std::int16_t kBarTint = 1046;
constexpr std::int16_t kBarHealingBrush = 1047;
constexpr std::int16_t kBarSelectLasso = 1060;
constexpr std::int16_t kBarSelectMagicWand = 1061;
constexpr std::int16_t kBarLinearGradient = 1062;
constexpr std::int16_t kBarCircularGradient = 1063;
constexpr std::int16_t kBarFillHollow = 1070;
constexpr std::int16_t kBarFillOutlined = 1071;
constexpr std::int16_t kBarFillSolid = 1072;

struct ToolGroup {
    std::int16_t current = 0;  // groups 6 to 11 only: read every group's through GroupCurrent
    std::int16_t count = 0;
    std::int16_t image[kToolGroupRoom] = {};
    std::int16_t command[kToolGroupRoom] = {};
    std::int16_t width = 0;
    const char* name[kToolGroupRoom] = {};  // null where a tool has no display name
};

extern ToolGroup ToolGroups[kToolGroupCount];

// Fills every group with its initial contents (current tool 0).
void FillToolGroups();

// The current entry of a group. Groups 0 to 5 keep theirs in the paint settings (Select,
// Pen, Shape, Area, Filter, Text), so that there is one copy; the others in their record.
std::int16_t& GroupCurrent(int group);
