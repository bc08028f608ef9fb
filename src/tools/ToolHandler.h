// Tool handlers: each tool family's share of the canvas procedure. The canvas keeps the order
// of the steps (capture, anchor, stylus flag, undo copy, the tool, stylus flag cleared) and
// hands every tool-specific step to the handler of the current tool, found by tool id in one
// table (ToolTable.cpp). A new tool family is one file with a handler and one row of that table.
//
// What the canvas does around a handler:
// - stylus-down: captures the stylus, stores the view point as the slot's anchor and sets
//   CanvasState.StylusDown; takes the undo copy CopyAtDown asks for; then calls StylusDown.
//   A handler that chose another tool for this tap (the floating piece, dropped by a tap
//   outside it) returns PassOn, and the chosen tool's handler takes the same tap over, with
//   pieceDropped set.
// - stylus-move: only while the stylus is down; the anchor is the handler's to move on.
// - stylus-up: the capture is released first and CanvasState.StylusDown is cleared after the
//   handler (a handler can still tell whether its stroke began on the canvas).
// - timer: every tick of the canvas timers (kTimerAirbrush, kTimerBorder) goes to the current
//   tool's handler, whose own conditions decide whether it acts.
// - double tap: the second press of a double click, before its stylus-up.
// - whole-view repaint (paint message, scrolling, zoom, undo): ShowWholeView.
// No handler is called without a current slot with a work buffer.
#pragma once

#include "image/ImageSlots.h"
#include "platform/raster/Draw.h"
#include "tools/Canvas.h"

// One canvas event as a handler sees it.
struct ToolEvent {
    ImageBox& box;              // the current slot: anchorX/anchorY, buffers, window
    int tool = 0;               // PaintSettings.Tool when the handler was called
    CanvasPoint point;          // the stylus point; for timer ticks the anchor, with the scroll offset
    bool pieceDropped = false;  // stylus-down: a tap outside the floating piece just dropped it

    int ImageX() const { return point.ImageX(); }
    int ImageY() const { return point.ImageY(); }
};

// The undo copy the canvas takes at stylus-down, before the handler's StylusDown.
enum class DownCopy {
    Image,  // TakeImageUndo
    Piece,  // TakePieceUndo
    None,   // none, or the handler takes its own when it needs one
};

// A change of the colours the canvas shows, and where the user made it. The panels tell the
// current tool's handler, which alone knows what of its own it must show again.
enum class ColourChange {
    Foreground,         // picked on the colour bar or in the picker popup
    BackgroundOnBar,    // picked on the colour bar
    BackgroundInPopup,  // picked in the picker popup
    Swatch,             // swapped or reset on the swatch, or chosen in the colour table
    Transparency,       // the transparency switch
};

enum class DownOutcome {
    Done,
    PassOn,  // the handler made another tool current; that tool's handler takes the tap
};

class ToolHandler {
public:
    virtual ~ToolHandler() = default;
    virtual DownCopy CopyAtDown(const ToolEvent&) const { return DownCopy::Image; }
    virtual DownOutcome StylusDown(ToolEvent&) const { return DownOutcome::Done; }
    virtual void StylusMove(ToolEvent&) const {}
    virtual void StylusUp(ToolEvent&) const {}
    virtual void Timer(ToolEvent&, int /*timerId*/) const {}
    virtual void DoubleTap(ToolEvent&) const {}
    // Puts the whole view on the window as this tool shows it (previews, a floating piece).
    virtual void ShowWholeView(ImageBox&) const;
    // Shows again what the change alters; by default only the transparency switch repaints
    // the whole view.
    virtual void ColoursChanged(ColourChange change) const;
};

// The handler of a tool id; tools of no family get one that only takes the image undo copy.
const ToolHandler& HandlerForTool(int tool);

// Tells the current tool's handler that the colours changed.
void ToolColoursChanged(ColourChange change);

// Helpers the handlers share.

// Copies the changed box (view units) from the work buffer to the window at 100 %; at any
// other zoom the whole view is repainted.
void RepaintChanged(const ToolEvent& event, const raster::Rect& viewBox);

// Shows what a preview drew into the work buffer (rubber bands, outlines, selection frames)
// and wipes it from the image again with the undo copy.
void ShowPreview();

// The dashed pure-red line, one pixel wide, drawn on the window itself from the anchor
// (scaled by the zoom) to the stylus point: the lasso's trail and the gradient's direction.
void DrawStylusGuide(const ToolEvent& event);
