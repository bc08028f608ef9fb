// Lines and shapes: line, rectangle, rounded rectangle and ellipse by rubber band, and the
// polygon by taps closed by a double tap.
#pragma once

#include "tools/ToolHandler.h"

const ToolHandler& ShapeTools();
