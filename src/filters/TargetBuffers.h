// New target buffers for the operations that change the target's size (rotations and
// resampling). The replacement is made in full before the old target is let go, so a
// shortage of memory leaves the image or the piece exactly as it was.
#pragma once

#include <cstdint>
#include <memory>

#include "image/PixelBuffer.h"
#include "platform/raster/Bitmap.h"

// The piece's mask and its undo twin while the piece is the target and has a mask, else null.
PixelBuffer* TargetMask();
PixelBuffer* SourceMask();

struct ReplacementTarget {
    std::unique_ptr<raster::DrawingContext> dc;
    PixelBuffer* bitmap = nullptr;
    std::unique_ptr<raster::DrawingContext> maskDc;  // only when a mask is wanted
    PixelBuffer* mask = nullptr;
    raster::BitmapInfo header{};
    int width = 0;
    int height = 0;
};

// What a new target starts with: the background colour, or nothing for an operation that
// writes every pixel itself. The row padding is zero either way.
enum class NewPixels { Background, Written };

// Makes a width x height 24-bit buffer and, when withMask is set, an 8-bit mask of the same
// size filled with 0. Returns false when either cannot be made; nothing else changes then.
bool MakeReplacementTarget(int width, int height, bool withMask, ReplacementTarget& out,
                           NewPixels pixels = NewPixels::Background);

// Makes the replacement for the current target (image or piece, the mask when the piece has
// one). On failure shows the out-of-memory message that fits the target and returns false.
bool MakeReplacementForTarget(int width, int height, ReplacementTarget& out,
                              NewPixels pixels = NewPixels::Background);

// Shows the out-of-memory message that fits the current target.
void ReportNoMemoryForTarget();

// Puts the replacement in place of the current image's work buffer: new size, scroll back
// to the top left. The old work buffer is released.
void InstallImageTarget(ReplacementTarget& replacement);

// Puts the replacement in place of the floating piece's current buffers (and its mask when
// the replacement has one); the undo twins stay.
void InstallPieceTarget(ReplacementTarget& replacement);

// The installs above, chosen by the tool rule.
void InstallReplacementTarget(ReplacementTarget& replacement);
