// The one table of tools: a row per tool id with everything that describes it. The tool bar's
// groups, choosing a tool, the settings, the stroke's stamp mode and the canvas's dispatch all
// read it. A new tool is its handler, its row here and its icon tile.
#pragma once

#include <cstdint>
#include <vector>

#include "image/ToolIds.h"
#include "tools/BrushEngine.h"
#include "tools/ToolHandler.h"

// Tool ids are small signed bytes: 0 to 127 can name a tool.
constexpr int kToolIdRoom = 128;

// A row's group when no tool-bar button holds the tool (the floating piece and its kin).
constexpr std::int8_t kNoToolGroup = -1;

// Whether the settings keep a tool as the current one.
enum class ToolStored : std::uint8_t {
    No,     // it cannot come back at start (no piece exists then)
    Yes,
    AsPen,  // a one-shot tool (picker, zoom): the pen is stored in its place
};

struct ToolRow {
    ToolId id = 0;
    std::int8_t kind = 0;  // the gradient's linear (0) and circular (1) entries are two rows
    std::int8_t group = kNoToolGroup;  // the tool-bar button (ToolGroups index)
    std::int8_t place = 0;             // its entry in that group
    const char* name = nullptr;        // the display name, where it has one
    std::int16_t tile = 0;             // its icon in the tool strip
    ToolStored stored = ToolStored::No;
    StampRule stamp = StampRule::None;  // how its strokes choose their stamp mode
    const ToolHandler* handler = nullptr;
};

// Every row, in the order of the ids.
const std::vector<ToolRow>& ToolRows();

// The first row of a tool id; null for ids of no tool.
const ToolRow* RowOfTool(int tool);
// The row of a tool-bar entry: the tool and its kind; null when there is none.
const ToolRow* RowOfEntry(int tool, int kind);
