// The canvas procedure: every image slot's window is driven by it. It turns stylus events
// into image coordinates, keeps the stylus state, takes the undo copy, runs the tool and
// repaints what changed; it also scrolls, paints, sizes and closes the canvas.
#pragma once

#include <cstdint>

#include "platform/raster/Draw.h"

namespace platform {
class WindowHandler;
enum class ScrollCode;
}

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
};

extern CanvasStateRecord CanvasState;

// Back to the initial canvas state (tests).
void ResetCanvasState();

// The handler given to every canvas window.
platform::WindowHandler* CanvasProcedure();

// A stylus point split as the canvas reads it: view units (window point / zoom) and the
// scroll offset in image pixels; the image point is (vx + sx, vy + sy).
struct CanvasPoint {
    int vx = 0;
    int vy = 0;
    int sx = 0;
    int sy = 0;
    int ImageX() const { return vx + sx; }
    int ImageY() const { return vy + sy; }
};
CanvasPoint CanvasCoordinates(int windowX, int windowY, std::int32_t scrollX, std::int32_t scrollY, float zoom);

// The window box a stroke from (x1, y1) to (x2, y2) changed (view units), grown by size.
raster::Rect ChangedBox(int x1, int y1, int x2, int y2, int size);

// Stylus and window events of the current slot's canvas, in window pixels.
void CanvasStylusDown(int windowX, int windowY);
void CanvasStylusMove(int windowX, int windowY);
void CanvasStylusUp(int windowX, int windowY);
void CanvasTimer(int timerId);

void CanvasScroll(bool vertical, platform::ScrollCode code, int thumbPosition);

// Size change of the canvas: scroll bars redone without a target point.
void CanvasSize();

// Repaints the whole view as the current tool shows it (a floating piece included).
void RepaintWholeView();
