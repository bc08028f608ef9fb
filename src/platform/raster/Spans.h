// Internal helpers of the rasteriser: colours prepared for one bitmap, clipped
// horizontal spans, and pen nibs. Not for use outside this folder.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/raster/Bitmap.h"

namespace raster::detail {

// Coordinates handed to the shape and line primitives are clamped to this range, so
// that the integer arithmetic below cannot overflow. Bitmaps are far smaller.
constexpr int kCoordinateLimit = 1 << 22;
// Pens are never wider than this; a nib that size already covers any bitmap.
constexpr int kMaxPenWidth = 1 << 16;

int ClampCoordinate(int v);

// A run of pixels [x0, x1) on one row; empty when x1 <= x0.
struct Span {
    int x0 = 0;
    int x1 = 0;
    bool Empty() const { return x1 <= x0; }
};

Span Intersect(Span a, Span b);

// A colour prepared for writing into one bitmap: the bytes of a 24-bit pixel and the
// palette index an 8-bit bitmap stores for it.
struct Ink {
    std::uint8_t blue = 0;
    std::uint8_t green = 0;
    std::uint8_t red = 0;
    std::uint8_t index = 0;
};

Ink MakeInk(const Bitmap& bitmap, Colour colour);

// Paints [x0, x1) of image row y, clipped to the bitmap.
void PaintSpan(Bitmap& bitmap, int y, int x0, int x1, const Ink& ink);
void PaintPixel(Bitmap& bitmap, int x, int y, const Ink& ink);

// The footprint a wide pen stamps, centred on a pixel: rows -width/2 .. width-1-width/2
// relative to it, each row a span of column offsets.
class Nib {
public:
    enum class Shape { Square, Round };
    // Null when the rows cannot be allocated.
    static std::unique_ptr<Nib> Make(int width, Shape shape) noexcept;

    int Width() const { return width_; }
    // First and one-past-last covered offset on each axis.
    int Low() const { return -(width_ / 2); }
    int High() const { return width_ - width_ / 2; }
    void Stamp(Bitmap& bitmap, int x, int y, const Ink& ink) const;

private:
    Nib() = default;
    int width_ = 1;
    std::unique_ptr<Span[]> rows_;
};

// Effective pen width: 0 and negative widths draw one pixel; huge widths are capped.
int PenWidth(int width);

// Dashed pens: a pixel at step k of a line is drawn when this is true.
bool DashOnAt(long long step);

// Stamps the nib on every pixel of the line from (x0, y0) to (x1, y1) but the last; with
// dashed set only on the pixels whose pattern step (firstStep for the first pixel, one
// more per pixel) falls on a dash. Returns the number of pixels the line has.
long long TraceSegment(Bitmap& bitmap, int x0, int y0, int x1, int y1, const Ink& ink, const Nib& nib, bool dashed,
                       long long firstStep);

}  // namespace raster::detail
