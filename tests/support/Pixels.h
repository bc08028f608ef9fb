// The pixels of the current image's work and undo pictures and of the floating piece, as the
// tests read them.
#pragma once

#include <cstdint>
#include <vector>

#include "image/ImageSlots.h"
#include "platform/raster/Draw.h"

inline raster::Colour WorkPixel(int x, int y) { return raster::GetPixel(*CurrentBox().workDc, x, y); }
inline raster::Colour UndoPixel(int x, int y) { return raster::GetPixel(*CurrentBox().undoDc, x, y); }
inline raster::Colour PiecePixel(int x, int y) { return raster::GetPixel(*FloatingPiece.pieceDc, x, y); }
inline void SetWorkPixel(int x, int y, raster::Colour c) { raster::SetPixel(*CurrentBox().workDc, x, y, c); }

// The work picture's bytes, rows and padding, to compare whole pictures.
inline std::vector<std::uint8_t> WorkBytes() {
    const PixelBuffer* work = CurrentBox().workBitmap;
    return work ? std::vector<std::uint8_t>(work->Bits(), work->Bits() + work->ByteSize()) : std::vector<std::uint8_t>{};
}
