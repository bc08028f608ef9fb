// The canvas procedure: every image slot's window is driven by it. It turns stylus events
// into image coordinates, keeps the stylus state, takes the undo copy, runs the tool and
// repaints what changed; it also scrolls, paints, sizes and closes the canvas.
#pragma once

#include <cstdint>

#include "platform/raster/Draw.h"
#include "tools/BrushEngine.h"

struct ImageBox;

namespace platform {
class WindowHandler;
enum class ScrollCode;
}  // namespace platform

constexpr int kPolygonRoom = 116;

struct CanvasStateRecord {
    std::uint32_t StylusDown = 0;
    std::int8_t PreviousTool = 30;
    std::int8_t PreviousGroup = 1;
    std::int8_t SelectModifier = 0;  // 0 replace, 1 add / square shapes, 2 subtract
    raster::Point PolygonPoints[kPolygonRoom] = {};
    std::uint32_t PolygonCount = 0;
    std::int32_t LassoStartX = -1;
    std::int32_t LassoStartY = 0;
    std::uint32_t LassoDownward = 0;
    std::uint8_t GradientKind = 0;  // 0 linear, 1 circular
    // The stamp mode the last stroke chose, kept for strokes that keep it (ApplyStampRule).
    std::uint8_t StampSoft = 0;  // 1: paint pulls the pixels towards the colour with fall-off
    float AirbrushStep = 0.0f;   // 1 / size for the airbrush, else 0
    // The stroke of dabs in progress, as its stylus-down decided it.
    BrushStroke Stroke;
    // The pointer over the current canvas window (window pixels), followed whether pressed or
    // not: the status bar shows the point under it and Paste from the keyboard lands there.
    std::uint8_t PointerInside = 0;
    std::int32_t PointerX = 0;
    std::int32_t PointerY = 0;
};

extern CanvasStateRecord CanvasState;

// Back to the initial canvas state (tests).
void ResetCanvasState();

// What the canvas asks of the panels above it, installed with the other hooks
// (InstallLayerHooks; null: nobody to tell or ask): the foreground colour was picked from the
// image (the colour bar redraws its swatch), the tool or group changed under the tool bar (a
// one-shot tool returned, a selection or text made the floating piece current), and the text
// tool's dialog (1 = OK; without it the text tool does nothing).
struct CanvasHooksRecord {
    void (*ForegroundPicked)() = nullptr;
    void (*ToolChanged)() = nullptr;
    int (*RunTextToolDialog)() = nullptr;
};
extern CanvasHooksRecord CanvasHooks;

void NotifyForegroundPicked();
void NotifyToolChanged();

// The handler given to every canvas window.
platform::WindowHandler* CanvasProcedure();

// Undo while a polygon is being drawn: takes back its last vertex. False when it has none.
bool RemovePolygonVertex();

// The whole view of the box as the current tool shows it (RepaintWholeView's hook).
void ShowWholeViewOfTool(ImageBox& box);

// A stylus point split as the canvas reads it: view units (window point / zoom) and the
// scroll offset in image pixels; the image point is (vx + sx, vy + sy). Two tools round the
// same point differently, each with a single truncation of a float sum: polygon vertices
// (window point / zoom + sx) and the flood-fill and magic-wand seed (scroll / zoom + vx).
struct CanvasPoint {
    int vx = 0;
    int vy = 0;
    int sx = 0;
    int sy = 0;
    int wx = 0;  // the window point, as the 16-bit value it arrived as
    int wy = 0;
    float inv = 1.0f;  // 1 / zoom
    std::int32_t scrollX = 0;
    std::int32_t scrollY = 0;
    int ImageX() const { return vx + sx; }
    int ImageY() const { return vy + sy; }
    raster::Point PolygonVertex() const;
    raster::Point SeedPoint() const;
};
CanvasPoint CanvasCoordinates(int windowX, int windowY, std::int32_t scrollX, std::int32_t scrollY, float zoom);

// The window box a stroke from (x1, y1) to (x2, y2) changed (view units), grown by size.
raster::Rect ChangedBox(int x1, int y1, int x2, int y2, int size);

// The canvas procedure's entry points: the stylus and window events of the current slot's
// canvas, points in window pixels. The window handler calls them for its messages; a script
// that drives the canvas without a window calls them directly, in the order a window would.
// Each tool's share of them is in its handler (ToolHandler.h).
void CanvasStylusDown(int windowX, int windowY);
void CanvasStylusMove(int windowX, int windowY);
void CanvasStylusUp(int windowX, int windowY);
// The second press of a double click: comes before that press's stylus-up.
void CanvasDoubleTap(int windowX, int windowY);
void CanvasTimer(int timerId);

void CanvasScroll(bool vertical, platform::ScrollCode code, int thumbPosition);

// The pointer moved to a window point of the canvas (also outside it while captured), or
// left the canvas window.
void CanvasPointerAt(int windowX, int windowY);
void CanvasPointerLeft();
// The image point under the pointer while the pointer is over the canvas (it may lie past
// the picture, in the grey around it); false while it is elsewhere.
bool PointerImagePoint(raster::Point& out);

// Size change of the canvas: scroll bars redone without a target point.
void CanvasSize();

