#include "panels/ToolGroups.h"

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
    ToolGroups[0] = MakeGroup(135, {{1001, "Select Rectangle", 3},
                                    {1060, "Select Lasso", 34},
                                    {1061, "Select Magic Wand", 36},
                                    {1018, "Select Polygon", 4}});
    ToolGroups[1] = MakeGroup(
        90, {{1019, "Pen", 2}, {1002, "Brush", 24}, {1021, "Airbrush", 25}, {1022, "Spraycan", 23}, {1020, "Eraser", 19}});
    ToolGroups[2] = MakeGroup(140, {{1003, "Line", 1},
                                    {1004, "Rectangle", 6},
                                    {1005, "Rounded Rectangle", 7},
                                    {1006, "Ellipse", 8},
                                    {1015, "Polygon", 9}});
    ToolGroups[3] = MakeGroup(120, {{1010, "Flood Fill", 13}, {1062, "Linear Gradient", 37}, {1063, "Circular Gradient", 38}});
    ToolGroups[4] = MakeGroup(134, {{1040, "Blur", 26},
                                    {1041, "Sharpen", 27},
                                    {1042, "Smudge", 28},
                                    {1044, "Lighter", 32},
                                    {1045, "Darker", 33},
                                    {1046, "Tint", 35},
                                    {1043, "Red Eye Reduction", 30},
                                    {1047, "Healing Brush", 31}});
    ToolGroups[5] = MakeGroup(120, {{1011, nullptr, 5}});
    ToolGroups[6] = MakeGroup(120, {{1012, nullptr, 14}});
    ToolGroups[7] = MakeGroup(85, {{1013, "Zoom In", 17}, {1014, "Zoom Out", 18}});
    ToolGroups[8] = MakeGroup(120, {{1011, nullptr, 10}});
    ToolGroups[9] = MakeGroup(
        120, {{1070, "Fillstyle Hollow", 20}, {1071, "Fillstyle Outlined", 21}, {1072, "Fillstyle Solid", 22}});
    ToolGroups[10] = MakeGroup(120, {{1011, nullptr, 5}});
    ToolGroups[11] = MakeGroup(120, {{1011, nullptr, 15}, {1011, nullptr, 16}});
}
