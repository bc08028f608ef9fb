// Drawing into memory drawing contexts: shapes with the current pen and fill, lines,
// pixels and block transfers. Coordinates are image coordinates (0 = top row); everything
// is clipped to the selected bitmap.
#pragma once

#include "platform/raster/Bitmap.h"

namespace raster {

struct Point {
    int x = 0;
    int y = 0;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;   // exclusive
    int bottom = 0;  // exclusive
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
};

// Fills [left, right) x [top, bottom) with a solid colour; no pen involved.
void FillRect(DrawingContext& dc, const Rect& rect, Colour colour);

// Shapes use the current pen for the outline and the current fill for the interior.
// Rectangle-like shapes leave out their right and bottom edges; a wide pen is centred
// on the outline.
void Rectangle(DrawingContext& dc, int left, int top, int right, int bottom);
void RoundRect(DrawingContext& dc, int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight);
void Ellipse(DrawingContext& dc, int left, int top, int right, int bottom);
// Alternate (even-odd) fill.
void Polygon(DrawingContext& dc, const Point* points, int count);

// Lines with the current pen from the pen position; the end point is not drawn.
void MoveTo(DrawingContext& dc, int x, int y);
void LineTo(DrawingContext& dc, int x, int y);
void Polyline(DrawingContext& dc, const Point* points, int count);

// Returns the colour set (for 8-bit bitmaps the palette colour of the index written).
Colour SetPixel(DrawingContext& dc, int x, int y, Colour colour);
// kInvalidColour outside the bitmap.
Colour GetPixel(const DrawingContext& dc, int x, int y);

// Plain copy of a width x height block. 24 -> 24 and 8 -> 8 copy bytes; 24 -> 8 matches
// each colour to the nearest palette entry of the destination; 8 -> 24 looks the index up
// in the source's palette. Returns false when a context has no bitmap.
bool BitBlt(DrawingContext& dst, int x, int y, int width, int height, const DrawingContext& src, int srcX, int srcY);

// Nearest-pixel stretch of the source block onto the destination block.
bool StretchBlt(DrawingContext& dst, int x, int y, int width, int height, const DrawingContext& src, int srcX,
                int srcY, int srcWidth, int srcHeight);

// Like StretchBlt, but source pixels of the key colour are skipped.
bool TransparentBlt(DrawingContext& dst, int x, int y, int width, int height, const DrawingContext& src, int srcX,
                    int srcY, int srcWidth, int srcHeight, Colour key);

}  // namespace raster
