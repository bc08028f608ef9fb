#include "tools/CanvasWheel.h"

#include <algorithm>
#include <cmath>

#include "image/ImageSlots.h"
#include "image/View.h"
#include "platform/Window.h"
#include "tools/Canvas.h"

WheelStateRecord WheelState;

void ResetWheelState() { WheelState = WheelStateRecord{}; }

namespace {

ImageBox* ViewedBox() {
    if (ImageState.CurrentImage == 0) return nullptr;
    ImageBox& box = CurrentBox();
    return box.workDc ? &box : nullptr;
}

// The window pixels a turn asks for along one axis: a touchpad's own distance, or the angle
// in notches, whose remainder waits for the next turn so that slow fine turns still move.
int ScrollPixels(int angle, int pixels, int& rest) {
    if (pixels != 0) {
        rest = 0;
        return pixels;
    }
    const int total = rest + angle * kWheelScrollPixels;
    rest = total % kWheelNotch;
    return total / kWheelNotch;
}

// The largest scroll position along one axis, as the scroll messages clamp it.
std::int32_t ScrollLimit(int imageExtent, int clientExtent) {
    const float extent = static_cast<float>(imageExtent) * ImageState.ZoomFactor;
    return static_cast<std::int32_t>(std::max(0.0f, extent - static_cast<float>(clientExtent)));
}

void ScrollBy(ImageBox& box, int dx, int dy) {
    const raster::Rect client = box.window ? box.window->ClientRect() : raster::Rect{};
    const long long x = std::clamp<long long>(static_cast<long long>(box.scrollX) + dx, 0,
                                              ScrollLimit(box.width, client.Width()));
    const long long y = std::clamp<long long>(static_cast<long long>(box.scrollY) + dy, 0,
                                              ScrollLimit(box.height, client.Height()));
    if (x == box.scrollX && y == box.scrollY) return;
    box.scrollX = static_cast<std::int32_t>(x);
    box.scrollY = static_cast<std::int32_t>(y);
    RepaintWholeView();
    if (!box.window) return;
    box.window->SetScrollPosition(platform::ScrollBarKind::Horizontal, box.scrollX, true);
    box.window->SetScrollPosition(platform::ScrollBarKind::Vertical, box.scrollY, true);
}

void WheelZoom(int windowX, int windowY, const platform::WheelTurn& turn) {
    WheelState.zoomRest += turn.angleY != 0 ? turn.angleY : turn.angleX;
    const int notches = WheelState.zoomRest / kWheelNotch;
    WheelState.zoomRest %= kWheelNotch;
    if (notches == 0) return;
    ZoomAtPointer(ImageState.ZoomFactor * std::ldexp(1.0f, notches), windowX, windowY);
}

// The scroll position whose image column (as the canvas reads a point) is column: the
// smallest one, or the nearest beyond it where the zoom skips that column.
std::int32_t ScrollForColumn(int column, float zoom) {
    if (column <= 0) return 0;
    const auto columnAt = [zoom](std::int32_t scroll) {
        return CanvasCoordinates(0, 0, scroll, 0, zoom).sx;
    };
    auto scroll = static_cast<std::int32_t>(std::ceil(static_cast<double>(column) * zoom));
    while (scroll > 0 && columnAt(scroll - 1) >= column) --scroll;
    while (columnAt(scroll) < column) ++scroll;
    return scroll;
}

}  // namespace

void CanvasWheel(int windowX, int windowY, const platform::WheelTurn& turn) {
    if (CanvasState.StylusDown) return;
    ImageBox* box = ViewedBox();
    if (!box) return;
    if (turn.control) {
        WheelZoom(windowX, windowY, turn);
        return;
    }
    int angleX = turn.angleX;
    int angleY = turn.angleY;
    int pixelX = turn.pixelX;
    int pixelY = turn.pixelY;
    // Shift turns an up-and-down wheel sideways (a platform may have done so already).
    if (turn.shift && angleX == 0 && pixelX == 0) {
        std::swap(angleX, angleY);
        std::swap(pixelX, pixelY);
    }
    // Turning away from the user shows what lies above: the position goes down.
    const int dx = -ScrollPixels(angleX, pixelX, WheelState.scrollRestX);
    const int dy = -ScrollPixels(angleY, pixelY, WheelState.scrollRestY);
    ScrollBy(*box, dx, dy);
}

void ZoomAtPointer(float newZoom, int windowX, int windowY) {
    ImageBox* box = ViewedBox();
    if (!box || box->width <= 0 || box->height <= 0) return;
    const float zoom = ClampZoom(newZoom);
    if (zoom == ImageState.ZoomFactor) return;
    const CanvasPoint before = CanvasCoordinates(windowX, windowY, box->scrollX, box->scrollY, ImageState.ZoomFactor);
    ImageState.ZoomFactor = zoom;
    const CanvasPoint after = CanvasCoordinates(windowX, windowY, 0, 0, zoom);
    box->scrollX = ScrollForColumn(before.ImageX() - after.vx, zoom);
    box->scrollY = ScrollForColumn(before.ImageY() - after.vy, zoom);
    // Clamped to the new range, the bars redone.
    SetupScrollBars(ImageState.CurrentImage, 0.0f, 0.0f);
    RepaintWholeView();
}
