// The one-shot tools: the colour picker takes the foreground colour from the image, a zoom
// tap doubles or halves the zoom; both then return to the tool chosen before them.
#pragma once

#include "tools/ToolHandler.h"

const ToolHandler& PickerAndZoom();
