// The image slots and the floating piece: the document's two buffers, the piece that a
// selection, paste or the text tool lifts above it, and the piece's mask.
#pragma once

#include <cstdint>
#include <memory>

#include "image/PixelBuffer.h"
#include "platform/raster/Bitmap.h"

namespace platform {
class Window;
}

// Mask byte values of a floating piece.
constexpr std::uint8_t kMaskOutside = 0;
constexpr std::uint8_t kMaskInside = 249;
constexpr std::uint8_t kMaskBorder = 193;

struct ImageBox {
    platform::Window* window = nullptr;  // the canvas window; null = slot free
    std::unique_ptr<raster::DrawingContext> workDc;
    PixelBuffer* workBitmap = nullptr;  // the document as edited and shown
    std::unique_ptr<raster::DrawingContext> undoDc;
    PixelBuffer* undoBitmap = nullptr;  // the undo copy, also the unchanged picture tools read
    std::uint8_t* workBits = nullptr;
    std::uint8_t* undoBits = nullptr;
    raster::BitmapInfo bitmapInfo{};
    int width = 0;
    int height = 0;
    // Scroll positions in window pixels; 32 bits so a large image at a high zoom fits.
    std::int32_t scrollX = 0;
    std::int32_t scrollY = 0;
    std::int16_t reserved[2] = {0, 0};
    int anchorX = 0;  // last stylus point in view units (window point / zoom, no scroll)
    int anchorY = 0;
};

constexpr int kImageSlots = 10;
extern ImageBox ImageBoxTable[kImageSlots];
// The active slot; 0 = no image.
extern std::uint32_t CurrentImage;

struct FloatingPieceRecord {
    std::unique_ptr<raster::DrawingContext> pieceDc;  // null = no piece
    PixelBuffer* pieceBitmap = nullptr;
    std::uint8_t* pieceBits = nullptr;
    std::unique_ptr<raster::DrawingContext> maskDc;
    PixelBuffer* maskBitmap = nullptr;
    std::uint8_t* maskBits = nullptr;
    std::unique_ptr<raster::DrawingContext> pieceUndoDc;
    PixelBuffer* pieceUndoBitmap = nullptr;
    std::uint8_t* pieceUndoBits = nullptr;
    std::unique_ptr<raster::DrawingContext> maskUndoDc;
    PixelBuffer* maskUndoBitmap = nullptr;
    std::uint8_t* maskUndoBits = nullptr;
    std::uint32_t pieceWidth = 0;
    std::uint32_t pieceHeight = 0;
    std::int32_t pieceX = 0;
    std::int32_t pieceY = 0;
    std::int32_t savedPieceX = 0;
    std::int32_t savedPieceY = 0;
};

extern FloatingPieceRecord FloatingPiece;

// The current slot's record (slot 0, which never has buffers, when no image is open).
inline ImageBox& CurrentBox() { return ImageBoxTable[CurrentImage < kImageSlots ? CurrentImage : 0]; }

// Drops every slot's buffers and the piece without touching windows: a fresh start for tests.
void ResetImageState();
