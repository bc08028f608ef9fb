// The brush engine: dabs of the brush footprint and stroke segments made of dabs one pixel
// apart, for the free-hand tools and the line. Integer arithmetic on 24-bit buffers.
#pragma once

#include <cstdint>

#include "image/PixelBuffer.h"
#include "platform/raster/Bitmap.h"

// Half-widths of the round footprint: entry n is floor(sqrt(n)), except entry 1, which is 0.
constexpr int kRoundHalfWidthEntries = 101;
extern const std::int8_t RoundHalfWidth[kRoundHalfWidthEntries];

// The table serves radii up to 10, so brushes are at most 21 pixels. The size comes from
// stored settings and may be anything: every dab limits it to 1..21 before use, which
// keeps each table index in range and every division by the size defined.
constexpr int kLargestBrushRadius = 10;
constexpr int kLargestBrushSize = 2 * kLargestBrushRadius + 1;
int LimitBrushSize(std::uint32_t size);

// The stamp mode (CanvasState.StampSoft, CanvasState.AirbrushStep) back to hard, no step.
void ResetStampMode();

// The stamp mode stylus-down sets for the painting tools and the line (other tools keep it).
void StartStampMode(int tool);

// One row of a footprint: columns xc - w .. xc + w.
struct FootprintRow {
    int xc = 0;
    int w = 0;
};

// Row dy of the footprint of `shape` centred on column cx, for radius r and squared
// radius r2 (r2 - dy * dy must lie in 0..100). Shapes other than 1 and 3 to 6 are round.
FootprintRow FootprintRowOf(int shape, int r, int r2, int dy, int cx);

// What a dab paints with: the size, colour, drawing opacity in per cent, and whether the
// opacity is overridden to full as for the eraser.
struct BrushInk {
    int size = 1;
    raster::Colour colour = 0;
    int opacity = 100;
    bool eraser = false;
};

// The ink of PaintSettings: limited size, foreground colour, drawing opacity, eraser tool.
BrushInk CurrentBrushInk();

// One dab of `shape` at image point (x, y) of the current slot for the current tool.
void Dab(int x, int y);

// Sets the stamp mode for the current tool, then dabs from (x1, y1) to (x2, y2), both ends
// included, one pixel apart.
void StrokeSegment(int x1, int y1, int x2, int y2);

// Stamps the footprint of `shape` at (x, y), reading `source` and writing `destination`
// (which may be the same buffer). Hard mode (soft 0 and step 0) blends the source with the
// colour; otherwise the destination is pulled towards the colour. 0 when a buffer is missing.
int BrushDab(int shape, PixelBuffer* source, PixelBuffer* destination, int x, int y, float step, float soft);
int BrushDabWith(const BrushInk& ink, int shape, PixelBuffer* source, PixelBuffer* destination, int x, int y,
                 float step, float soft);

// Scatters trunc(size * 1.57) random dots of the colour within the radius around (x, y),
// drawing two numbers per dot from the shared noise generator. 0 when the bitmap is missing.
int SprayDab(PixelBuffer* bitmap, int x, int y, int soft);
int SprayDabWith(const BrushInk& ink, PixelBuffer* bitmap, int x, int y, int soft);
