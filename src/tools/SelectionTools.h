// The selection tools: rectangle, lasso, polygon and magic wand, each lifting what it selects
// into the floating piece; and the transient tools of a tap that dropped a piece, which
// become the selection tool when the stylus comes up.
#pragma once

#include "tools/ToolHandler.h"

const ToolHandler& SelectionTools();
