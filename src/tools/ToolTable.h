// The table of tool handlers: which family's handler serves which tool ids.
#pragma once

#include <vector>

#include "image/ToolIds.h"
#include "tools/ToolHandler.h"

// Tool ids are small signed bytes: 0 to 127 can name a tool.
constexpr int kToolIdRoom = 128;

struct ToolTableRow {
    const ToolHandler& handler;
    std::vector<ToolId> tools;
};

// Every family with the ids it serves; an id is served by one row at most.
const std::vector<ToolTableRow>& ToolTableRows();
