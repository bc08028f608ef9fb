// The tool bar: twelve 20-pixel buttons. A group button makes its group and tool current, a
// second tap opens the group's flyout; tap-and-hold opens a tool's options. The colour
// swatch, the brush button and the transparency switch are buttons of their own.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/Window.h"
#include "platform/raster/Bitmap.h"
#include "platform/raster/Draw.h"

constexpr int kButtonPitch = 20;
constexpr int kSwatchButton = 8;
constexpr int kFillStyleButton = 9;
constexpr int kBrushButton = 10;
constexpr int kTransparencyButton = 11;
constexpr int kZoomButton = 7;
constexpr raster::Colour kStripKey = raster::MakeColour(255, 0, 255);
constexpr int kTileSide = 17;

// "Toolbar" (3002): hides the bar when shown, else shows it; then the layout follows.
void ToggleToolBar();

// The bar's picture for a client area of w x h.
void PaintToolBar(raster::DrawingContext& dc, int w, int h);

// Draws tile of the strip with its top-left at (x, y), magenta left out.
void DrawTile(raster::DrawingContext& dc, const raster::DrawingContext& strip, int x, int y, int tile);

// Button p of the bar (horizontal) or row p of a flyout of group.
void DrawToolButton(raster::DrawingContext& dc, const raster::DrawingContext* strip, int p, int group,
                    bool horizontal);

// A lift at x on the bar (bar client coordinates).
void ToolBarTap(int x, int y);
// A press held on the bar at x.
void ToolBarHold(int x, int y);

// The tip where the pointer rests on the bar: the name of the tool a button holds, what the
// swatch does there, the brush; and on row y of a group's flyout, that entry's name.
platform::ToolTip ToolBarToolTip(int x, int y);
platform::ToolTip FlyoutToolTip(int group, int x, int y);

// The flyout of a group rising above the bar's button.
void OpenFlyout(int group);
raster::Rect FlyoutRect(int group, const raster::Rect& toolBar, int screenWidth);
// Destroys the flyout if one is open.
void CloseFlyout();

// Escape: closes the flyout, the brush picker and the colour picker popup, whichever are
// open, leaving the tool, the brush and the colours as they were. Whether any was open.
bool ClosePopupsUnchanged();

void RepaintToolBar();

platform::WindowHandler* ToolBarProcedure();
platform::WindowHandler* FlyoutProcedure();
