// Choosing a tool as the tool bar does. The tool bar keeps the current group
// (PaintSettings.Group) and each group's current entry (GroupCurrent(g)); once it has
// set them it calls ApplyGroupTool, which makes that entry's tool row the current tool
// (PaintSettings.Tool) with the side effects below. The caller redraws the tool bar and sets
// CanvasState.PreviousGroup itself when it changes the group (as a tap on another button does).
//
// - A polygon or polygon selection with vertices is closed first when the entry chooses
//   another tool (a fill style chooses none, so the polygon stays open and shows the new style).
// - A floating piece on the canvas (tool 9 or 51) is dropped into the image first: an image
//   undo copy, then the piece merged through its mask. The buffers keep the piece (Paste, Undo).
// - Select Rectangle / Lasso / Magic Wand / Polygon give 8 / 16 / 17 / 15, or 9 while
//   CanvasState.SelectModifier is non-zero (a new selection then adds to or cuts from the piece).
//   Select Polygon and Polygon also clear CanvasState.PolygonCount.
// - Linear / Circular Gradient set CanvasState.GradientKind 0 / 1 and give 51 when the tool
//   was 9 (the gradient paints into the piece), else 50.
// - The picker and the zoom entries remember the tool in CanvasState.PreviousTool (zoom only
//   when the tool is not a zoom already), so that their one tap returns to it.
// - The fill styles set PaintSettings.Fill 0 / 1 / 2, keep the tool, and put the current group
//   back to CanvasState.PreviousGroup (the fill-style button is no tool group of its own).
// - An entry of no tool keeps the tool as it is.
#pragma once

#include <cstdint>

#include "image/ToolIds.h"

struct ToolRow;

// The tool an entry's row chooses, given the tool current before and the select modifier;
// -1 for entries of no tool (the fill styles).
int ToolOfEntry(const ToolRow* row, int currentTool, int selectModifier);

// Applies the current entry of the current group as described above.
void ApplyGroupTool();
