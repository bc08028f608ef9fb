// Lines and shapes: line, rectangle, rounded rectangle and ellipse by rubber band, and the
// polygon by taps closed by a double tap.
#pragma once

#include "tools/ToolHandler.h"

const ToolHandler& ShapeTools();

// The polygon's stylus steps, shared by the polygon and the polygon selection.
// Stylus-down: the tapped point becomes the vertex after the fixed ones; the first tap starts
// the polygon with the undo copy.
void PolygonStylusDown(const ToolEvent& event);
// Stylus-move: the polygon with the moving point after the fixed vertices, shown and wiped.
void PolygonStylusMove(const ToolEvent& event);
// Stylus-up: the point becomes a fixed vertex; the polygon is shown and wiped.
void PolygonStylusUp(const ToolEvent& event);
// Double tap: its point becomes a fixed vertex, and the polygon is closed.
void PolygonDoubleTap(const ToolEvent& event);
// A colour change: the polygon being drawn is shown in the new colours (a foreground or
// swatch change only once it has a vertex).
void PolygonColoursChanged(ColourChange change);
