// The free-hand painting tools: pen, brush, eraser, airbrush and spray can. Each stylus-down
// makes one dab, each move a stroke segment (the spray can a dab), and the airbrush and spray
// can keep dabbing at rest on the canvas's 1 ms timer.
#pragma once

#include "tools/ToolHandler.h"

const ToolHandler& FreehandTools();

// The stylus-down dab of the painting tools and the line: the stroke's ink and stamp mode
// decided (CanvasState.Stroke), one dab at the image point, the dab's box repainted.
void StartFreehandStroke(const ToolEvent& event);

// After a stroke step to the view point (vx, vy): repaints the box from the anchor to it,
// grown by the brush size, and moves the anchor there.
void FollowStroke(ToolEvent& event, int vx, int vy);
