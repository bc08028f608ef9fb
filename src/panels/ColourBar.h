// The colour bar along one edge of the main window (thirty standard colours or a spectrum
// strip: a tap picks the foreground, a tap-and-hold the background, dragging keeps picking)
// and the colour picker popup opened from the tool bar's swatch.
#pragma once

#include <cstdint>

#include "platform/raster/Bitmap.h"
#include "platform/raster/Draw.h"

namespace platform {
class Window;
class WindowHandler;
}

// The system's button-face grey, behind the bars' buttons and cells.
constexpr raster::Colour kButtonFace = raster::MakeColour(192, 192, 192);

// Shows the colour bar when hidden, hides it when shown; redoes the layout unless the main
// window is still being created.
void ToggleColourBar();

// "Spectrum Colorbar" (3003) and "30 Standard Colors" (3004).
void ColourBarKindCommand(int id);

// Redoes LayoutBars, except while the main window is being created (it lays itself out
// when first shown).
void LayoutBarsUnlessCreating();

// True for a bar at the Left or Right.
bool ColourBarIsVertical();

// The bar's picture for a client area of w x h.
void PaintColourBar(raster::DrawingContext& dc, int w, int h);

// Standard cell i of a w x h bar: [left, right) x [top, bottom).
raster::Rect StandardCellRect(int i, int w, int h, bool vertical, int highResolution);
// The cell picked at (x, y), a point inside the picking area.
int StandardCellAt(int x, int y, int w, int h, bool vertical, int highResolution);

// The point a stylus-down (down) or a drag (move) picks at, for a w x h bar.
raster::Point ClampBarPoint(int x, int y, int w, int h, bool vertical, bool down);

// What a pick at the bar point (x, y) gives (the colour bar window's shown pixels serve the
// spectrum).
raster::Colour ColourBarColourAt(const raster::DrawingContext& dc, int x, int y, int w, int h);

platform::WindowHandler* ColourBarProcedure();

// After a pick the tool bar's swatch is redrawn, and the current tool is told
// (ToolColoursChanged), so that a polygon being drawn or a floating piece shows the colour.
void RedrawSwatch();

// The picker popup, placed above the tool bar's swatch. PickTarget says which colour it sets.
void OpenColourPopup();
// Closes the colour picker popup with the colours as they were when it opened. Whether it
// was open; *restored says whether a colour had to be put back.
bool CloseColourPopupUnchanged(bool* restored);
raster::Rect ColourPopupRect(const raster::Rect& toolBar, int screenWidth);
platform::WindowHandler* ColourPopupProcedure();
// The palette entry under (x, y) of a popup or table at (0, 0); -1 off the table.
int PaletteEntryAt(int x, int y);
