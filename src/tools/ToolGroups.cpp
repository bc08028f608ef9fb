#include "tools/ToolGroups.h"

#include "image/PaintSettings.h"

#include <initializer_list>

ToolGroup ToolGroups[kToolGroupCount];

namespace {

struct ToolEntry {
    std::int16_t command;
    const char* name;
    std::int16_t image;
};

ToolGroup MakeGroup(std::int16_t width, std::initializer_list<ToolEntry> tools) {
    ToolGroup group;
    group.width = width;
    for (const ToolEntry& tool : tools) {
        group.command[group.count] = tool.command;
        group.name[group.count] = tool.name;
        group.image[group.count] = tool.image;
        ++group.count;
    }
    return group;
}

}  // namespace

void FillToolGroups() {
    ToolGroups[kGroupSelect] = MakeGroup(135, {{kBarSelectRectangle, "Select Rectangle", 3},
                                               {kBarSelectLasso, "Select Lasso", 34},
                                               {kBarSelectMagicWand, "Select Magic Wand", 36},
                                               {kBarSelectPolygon, "Select Polygon", 4}});
    ToolGroups[kGroupPen] = MakeGroup(90, {{kBarPen, "Pen", 2},
                                           {kBarBrush, "Brush", 24},
                                           {kBarAirbrush, "Airbrush", 25},
                                           {kBarSpraycan, "Spraycan", 23},
                                           {kBarEraser, "Eraser", 19}});
    ToolGroups[kGroupShape] = MakeGroup(140, {{kBarLine, "Line", 1},
                                              {kBarRectangle, "Rectangle", 6},
                                              {kBarRoundedRectangle, "Rounded Rectangle", 7},
                                              {kBarEllipse, "Ellipse", 8},
                                              {kBarPolygon, "Polygon", 9}});
    ToolGroups[kGroupArea] = MakeGroup(120, {{kBarFloodFill, "Flood Fill", 13},
                                             {kBarLinearGradient, "Linear Gradient", 37},
                                             {kBarCircularGradient, "Circular Gradient", 38}});
    ToolGroups[kGroupFilter] = MakeGroup(134, {{kBarBlur, "Blur", 26},
                                               {kBarSharpen, "Sharpen", 27},
                                               {kBarSmudge, "Smudge", 28},
                                               {kBarLighter, "Lighter", 32},
                                               {kBarDarker, "Darker", 33},
                                               {kBarTint, "Tint", 35},
                                               {kBarRedEyeReduction, "Red Eye Reduction", 30},
                                               {kBarHealingBrush, "Healing Brush", 31}});
    ToolGroups[kGroupPicker] = MakeGroup(120, {{kBarColourPicker, "Color Picker", 5}});
    ToolGroups[kGroupText] = MakeGroup(120, {{kBarText, "Text", 14}});
    ToolGroups[kGroupZoom] = MakeGroup(85, {{kBarZoomIn, "Zoom In", 17}, {kBarZoomOut, "Zoom Out", 18}});
    ToolGroups[kGroupSwatch] = MakeGroup(120, {{kBarColourPicker, nullptr, 10}});
    ToolGroups[kGroupFillStyle] = MakeGroup(120, {{kBarFillHollow, "Fillstyle Hollow", 20},
                                                  {kBarFillOutlined, "Fillstyle Outlined", 21},
                                                  {kBarFillSolid, "Fillstyle Solid", 22}});
    ToolGroups[kGroupBrush] = MakeGroup(120, {{kBarColourPicker, nullptr, 5}});
    ToolGroups[kGroupTransparency] = MakeGroup(120, {{kBarColourPicker, "Transparency Off", 15},
                                                     {kBarColourPicker, "Transparency On", 16}});
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
