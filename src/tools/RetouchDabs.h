// The dabs of the retouch brushes: they change the pixels already under the stylus instead of
// laying down a colour. Every dab walks the footprint of the brush shape in place, row by row
// from the top, so later pixels of one dab see the earlier ones already changed.
#pragma once

#include <cstdint>

#include "image/PixelBuffer.h"

// The smudge's previous dab (image coordinates) and the tint's target colour (blue, green, red).
struct RetouchStateRecord {
    std::int32_t SmudgeAnchor[2] = {0, 0};
    std::int32_t TintColour[3] = {0, 0, 0};
};
extern RetouchStateRecord RetouchState;

void ResetRetouchState();

// The shape value that makes SmudgeDab only remember its point (a stroke's start).
constexpr int kSmudgeAnchorShape = 255;

constexpr int kBlurWeights[9] = {0, 1, 0, 1, 1, 1, 0, 1, 0};
constexpr int kBlurDivisor = 5;
constexpr int kSharpenWeights[9] = {-1, -1, -1, -1, 16, -1, -1, -1, -1};
constexpr int kSharpenDivisor = 8;

// Blur and sharpen: each footprint pixel moves 1 / Size² of the way toward the 3 x 3 kernel
// result (edge pixels repeat). The radius is at least 1. 0 when the source is missing.
int KernelBrushDab(int shape, PixelBuffer* source, PixelBuffer* destination, int x, int y, const int weights[9],
                   int divisor);

// Each footprint pixel takes a quarter of the way toward the pixel that had its place in the
// previous dab's footprint. Shape kSmudgeAnchorShape only stores (x, y). 0 when the bitmap is
// missing for a real dab.
int SmudgeDab(int shape, PixelBuffer* bitmap, int x, int y);

// Red-eye reduction, lighter, darker, tint and healing brush, chosen by PaintSettings.Tool.
// The healing brush reads the snapshot (the picture before the stroke). 0 when the snapshot
// is missing.
int RetouchDab(int shape, PixelBuffer* snapshot, PixelBuffer* target, int x, int y);
