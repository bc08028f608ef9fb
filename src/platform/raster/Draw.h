// Drawing into memory drawing contexts: shapes with the current pen and fill, lines,
// pixels and block transfers. Coordinates are image coordinates (0 = top row); everything
// is clipped to the selected bitmap.
#pragma once

#include "platform/raster/Bitmap.h"
#include "platform/raster/ColourMatch.h"

namespace raster {

// A dashed pen draws kDashOnPixels pixels, leaves kDashOffPixels, and so on along the
// line, starting with a dash at the first pixel of each LineTo, Polyline, Polygon and
// shape outline; Polyline and Polygon carry the pattern on through their vertices, and
// rectangle-like outlines run it clockwise from the left end of their top row. Wide dashed pens
// stamp their nib on the dashes.
constexpr int kDashOnPixels = 3;
constexpr int kDashOffPixels = 3;

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
// on the outline: a pen of width w covers, across each one-pixel outline position e, the
// pixels e - w/2 .. e - w/2 + w - 1 (the extra pixel of an even width lies outside on
// the left and top, inside on the right and bottom). The fill covers what lies inside
// the pen. With the null pen the fill covers the whole shape, outline positions
// included. Inverted corners are swapped; an empty rectangle draws nothing. Coordinates
// beyond +-2^22 are clamped there, and pens are at most 65536 pixels wide.
void Rectangle(DrawingContext& dc, int left, int top, int right, int bottom);
void RoundRect(DrawingContext& dc, int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight);
void Ellipse(DrawingContext& dc, int left, int top, int right, int bottom);
// Alternate (even-odd) fill of the pixels whose centres lie inside, a pixel on a left or
// top edge counting as inside and one on a right or bottom edge as outside; then the
// closed outline through every vertex. Fewer than two points draw nothing.
void Polygon(DrawingContext& dc, const Point* points, int count);

// Lines with the current pen from the pen position; the end point is not drawn. The
// pixels are Bresenham's: along the major axis one per step, the minor coordinate
// rounded to nearest with halves rounded away from the start. Wide pens stamp a round
// nib on each of them.
void MoveTo(DrawingContext& dc, int x, int y);
void LineTo(DrawingContext& dc, int x, int y);
void Polyline(DrawingContext& dc, const Point* points, int count);

// Returns the colour set (for 8-bit bitmaps the palette colour of the index written).
Colour SetPixel(DrawingContext& dc, int x, int y, Colour colour);
// kInvalidColour outside the bitmap.
Colour GetPixel(const DrawingContext& dc, int x, int y);

// Plain copy of a width x height block. 24 -> 24 and 8 -> 8 copy bytes; 24 -> 8 matches
// each colour into the destination's palette (MatchPaletteIndex); 8 -> 24 looks the index up
// in the source's palette. Returns false when a context has no bitmap. Within one bitmap
// overlapping blocks are moved as if through a copy.
bool BitBlt(DrawingContext& dst, int x, int y, int width, int height, const DrawingContext& src, int srcX, int srcY);

// Nearest-pixel stretch of the source block onto the destination block: destination
// column x + dx (0 <= dx < width) shows source column srcX + (dx * srcWidth) / width, and
// row y + dy source row srcY + (dy * srcHeight) / height, both truncated. Source pixels
// outside the source bitmap leave the destination pixel as it was. Depths convert as in
// BitBlt. Non-positive sizes draw nothing.
bool StretchBlt(DrawingContext& dst, int x, int y, int width, int height, const DrawingContext& src, int srcX,
                int srcY, int srcWidth, int srcHeight);

// Like StretchBlt, but source pixels of the key colour are skipped (for an 8-bit source,
// the indices whose palette colour is the key).
bool TransparentBlt(DrawingContext& dst, int x, int y, int width, int height, const DrawingContext& src, int srcX,
                    int srcY, int srcWidth, int srcHeight, Colour key);

}  // namespace raster
