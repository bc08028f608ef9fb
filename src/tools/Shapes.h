// Lines and shapes: the pen and fill of the fill styles, the rubber-band shapes (line,
// rectangle, rounded rectangle, ellipse) and the polygon with its vertices in CanvasState.
#pragma once

#include <cstdint>

#include "image/ImageSlots.h"
#include "platform/raster/Draw.h"

// The fill styles (PaintSettings.Fill).
constexpr int kFillHollow = 0;
constexpr int kFillOutlined = 1;
constexpr int kFillSolid = 2;

// Pen styles of SetPenAndFill and SetPenNoFill.
constexpr int kPenSolid = 0;
constexpr int kPenDashed = 1;

// A new pen (style 0 solid, 1 dashed) and a new solid fill.
void SetPenAndFill(raster::DrawingContext& dc, int penWidth, raster::Colour penColour, int penStyle,
                   raster::Colour fillColour);
// A new pen and the empty fill.
void SetPenNoFill(raster::DrawingContext& dc, int penWidth, raster::Colour penColour, int penStyle);

// The pen and fill of the fill style, for a shape drawn by the given tool:
// hollow: pen of the brush size in the foreground colour, no fill; outlined: the same pen,
// background fill; solid: pen 1 pixel wide, foreground pen and fill. The polygon selection
// draws its outline with a dashed pure-red pen 1 pixel wide and no fill.
void ApplyFillStyleTo(raster::DrawingContext& dc, int tool);
// ApplyFillStyleTo the current slot's work buffer, for the current tool.
void ApplyFillStyle();

// The corners a shape tool draws between, image points: from the anchor plus the scroll offset
// to (x, y) plus the scroll offset; while CanvasState.SelectModifier is 1 rectangles and
// ellipses become squares and circles (the end's y follows its x).
struct ShapeCorners {
    raster::Point start;
    raster::Point end;
};
ShapeCorners ShapeCornersOf(int tool, int anchorX, int anchorY, int x, int y, int sx, int sy);

// Draws the shape of tool 2, 3 or 4 between the corners with the dc's pen and fill.
void DrawShapeOutline(raster::DrawingContext& dc, int tool, const ShapeCorners& corners);

// Draws the current shape tool from the slot's anchor to the view point (x, y) into the
// work buffer and shows it; unless final, the drawing is a preview that the undo copy wipes.
void DrawShape(ImageBox& box, int x, int y, bool final);

// Polygon vertices (CanvasState.PolygonPoints, room for kPolygonRoom).
// Fixes a vertex: false (and nothing written) when the vertices fill their room.
bool AppendPolygonVertex(raster::Point vertex);
// Draws the fixed vertices, and the moving point after them when there is one, with the
// current fill style into the work buffer.
void DrawPolygonPoints(const raster::Point* moving);
// Shows the polygon of the fixed vertices and wipes it from the image again.
void DrawPolygonPreview();
// Shows the polygon with the moving point after the fixed vertices, and wipes it.
void DrawPolygonWithMovingPoint(raster::Point moving);
// Ends the polygon of the current tool: the polygon tool draws it for good; the polygon
// selection turns its scratch drawing into a selection. Other tools have no polygon.
void ClosePolygon();
// A polygon or polygon selection that has vertices is closed (before another tool is chosen).
void CloseOpenPolygon();

// Draws the polygon selection's scratch into the work buffer: all black, the polygon of the
// fixed vertices pure blue.
void DrawPolygonScratch();

