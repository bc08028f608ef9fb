// The mouse wheel and the touchpad on the canvas: a turn scrolls the picture (with Shift,
// sideways); with Ctrl it zooms in or out by the zoom commands' factor of two per notch,
// keeping the image point under the pointer where it is.
#pragma once

namespace platform {
struct WheelTurn;
}

// Window pixels one notch of the wheel scrolls: three lines of twenty.
constexpr int kWheelNotch = 120;
constexpr int kWheelScrollPixels = 60;

// The parts of a notch that fine wheels and touchpads send, kept until they add up.
struct WheelStateRecord {
    int scrollRestX = 0;  // angle units times pixels per notch, short of a whole pixel
    int scrollRestY = 0;
    int zoomRest = 0;  // angle units short of a whole notch
};
extern WheelStateRecord WheelState;

void ResetWheelState();

// A turn over the canvas at the window point (x, y). Nothing happens while the stylus is
// down: a stroke keeps the view it began in.
void CanvasWheel(int windowX, int windowY, const platform::WheelTurn& turn);

// Sets the zoom (within the program's bounds) so that the image point under the window point
// stays under it, as far as the scroll range allows; repaints.
void ZoomAtPointer(float newZoom, int windowX, int windowY);
