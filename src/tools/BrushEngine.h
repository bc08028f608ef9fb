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

// How a stroke's dabs lay paint: hard (alpha blend), soft (pulled towards the colour with
// fall-off), or pulled by the airbrush's fixed step.
struct StampMode {
    std::uint8_t soft = 0;
    float step = 0.0f;
};

// How a tool's strokes choose their stamp mode at stylus-down, from the brush settings:
// Hard for the pen and eraser, Soft for the brush, Airbrush (step 1 / size, soft for the
// spray shape), Keep for the line and spray can (the mode the last stroke left); with the
// soft round shape (2) every one of them is soft. None leaves the mode alone.
enum class StampRule : std::uint8_t { None, Keep, Hard, Soft, Airbrush };

// The mode the rule gives now; it is remembered (CanvasState.StampSoft, AirbrushStep) for the
// next stroke that keeps its mode. None gives the remembered mode unchanged.
StampMode ApplyStampRule(StampRule rule);

// The remembered stamp mode back to hard, no step.
void ResetStampMode();

// The stamp rule of a tool's strokes: its row's.
StampRule StampRuleOf(int tool);

// The stamp mode stylus-down sets for the tool, remembered as above.
StampMode StartStampMode(int tool);

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

// The ink of a tool from PaintSettings: limited size, the foreground colour (the eraser's is
// the background colour, at full opacity), the drawing opacity.
BrushInk InkOf(int tool);

// What stylus-down decided for a stroke of dabs: whose dabs they are, the ink and the stamp
// mode. The dabs of the stroke ask nothing else.
struct BrushStroke {
    int tool = 0;
    BrushInk ink;
    StampMode stamp;
};

// The stroke of the tool as stylus-down starts it: its ink and StartStampMode(tool).
BrushStroke StartStroke(int tool);

// One dab of the brush shape (PaintSettings.Brush) at image point (x, y) of the current slot.
void Dab(const BrushStroke& stroke, int x, int y);

// Dabs from (x1, y1) to (x2, y2), both ends included, one pixel apart.
void StrokeSegment(const BrushStroke& stroke, int x1, int y1, int x2, int y2);

// Stamps the footprint of `shape` at (x, y), reading `source` and writing `destination`
// (which may be the same buffer). Hard mode (soft 0 and step 0) blends the source with the
// colour; otherwise the destination is pulled towards the colour. 0 when a buffer is missing.
int BrushDabWith(const BrushInk& ink, int shape, PixelBuffer* source, PixelBuffer* destination, int x, int y,
                 float step, float soft);

// Scatters trunc(size * 1.57) random dots of the colour within the radius around (x, y),
// drawing two numbers per dot from the shared noise generator. 0 when the bitmap is missing.
int SprayDabWith(const BrushInk& ink, PixelBuffer* bitmap, int x, int y, int soft);
