// The twelve tool-bar groups: each button's tools, their tiles in the tool strip, their
// tool-bar command ids, the flyout width and the tools' display names.
#pragma once

#include <cstdint>

constexpr int kToolGroupCount = 12;
constexpr int kToolGroupRoom = 10;

struct ToolGroup {
    std::int16_t current = 0;
    std::int16_t count = 0;
    std::int16_t image[kToolGroupRoom] = {};
    std::int16_t command[kToolGroupRoom] = {};
    std::int16_t width = 0;
    const char* name[kToolGroupRoom] = {};  // null where a tool has no display name
};

extern ToolGroup ToolGroups[kToolGroupCount];

// Fills every group with its initial contents (current tool 0).
void FillToolGroups();
