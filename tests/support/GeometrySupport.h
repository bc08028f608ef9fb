// Shared set-up for the geometry tests: an image slot or a floating piece with known pixels,
// pixel access in image coordinates, and a recorder for message boxes.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "image/ImageSlots.h"
#include "image/PaintSettings.h"
#include "image/PixelBuffer.h"
#include "image/ToolIds.h"
#include "shell/ProgramState.h"
#include "support/Messages.h"

namespace geometry_test {

struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;
    bool operator==(const Rgb&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Rgb& c) {
    return os << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

inline Rgb PixelOf(const PixelBuffer& buffer, int x, int y) {
    const std::uint8_t* p = buffer.Row(y) + 3 * x;
    return Rgb{p[2], p[1], p[0]};
}

inline void PutPixel(PixelBuffer& buffer, int x, int y, Rgb c) {
    std::uint8_t* p = buffer.Row(y) + 3 * x;
    p[0] = static_cast<std::uint8_t>(c.b);
    p[1] = static_cast<std::uint8_t>(c.g);
    p[2] = static_cast<std::uint8_t>(c.r);
}

inline int MaskOf(const PixelBuffer& mask, int x, int y) { return mask.Row(y)[x]; }

// A colour that tells every position of a picture up to 4096 x 4096 apart.
inline Rgb Marker(int x, int y) { return Rgb{x & 0xFF, y & 0xFF, ((x >> 8) & 0x0F) | ((y >> 4) & 0xF0)}; }

inline std::unique_ptr<raster::DrawingContext> MakeContext(int width, int height, int bits) {
    raster::BitmapInfo header;
    std::unique_ptr<PixelBuffer> buffer = CreatePixelBuffer(width, height, bits, header, nullptr);
    if (!buffer) return nullptr;
    std::memset(buffer->Bits(), 0, buffer->ByteSize());
    return std::make_unique<raster::DrawingContext>(std::move(buffer));
}

inline std::unique_ptr<PixelBuffer> MakeBuffer(int width, int height, int bits = 24) {
    raster::BitmapInfo header;
    std::unique_ptr<PixelBuffer> buffer = CreatePixelBuffer(width, height, bits, header, nullptr);
    if (buffer) std::memset(buffer->Bits(), 0, buffer->ByteSize());
    return buffer;
}

inline void FillMarkers(PixelBuffer& buffer) {
    for (int y = 0; y < buffer.Height(); ++y)
        for (int x = 0; x < buffer.Width(); ++x) PutPixel(buffer, x, y, Marker(x, y));
}

inline void FillRandom(PixelBuffer& buffer, std::uint32_t seed) {
    std::mt19937 random(seed);
    for (int y = 0; y < buffer.Height(); ++y) {
        std::uint8_t* row = buffer.Row(y);
        for (int k = 0; k < buffer.Width() * (buffer.BitsPerPixel() / 8); ++k) row[k] = random() & 0xFF;
    }
}

// The image pixels only, row by row, without the padding.
inline std::vector<std::uint8_t> PixelBytes(const PixelBuffer& buffer) {
    std::vector<std::uint8_t> bytes;
    const int rowBytes = buffer.Width() * (buffer.BitsPerPixel() / 8);
    for (int y = 0; y < buffer.Height(); ++y) bytes.insert(bytes.end(), buffer.Row(y), buffer.Row(y) + rowBytes);
    return bytes;
}

// Slot 1 with work and undo buffers of width x height showing Marker colours; the undo copy
// equals the work buffer, as after the dispatcher's undo copy.
inline void MakeImage(int width, int height) {
    ResetImageState();
    ImageBox& box = ImageBoxTable[1];
    box.workDc = MakeContext(width, height, 24);
    box.workBitmap = box.workDc->SelectedBitmap();
    box.undoDc = MakeContext(width, height, 24);
    box.undoBitmap = box.undoDc->SelectedBitmap();
    box.width = width;
    box.height = height;
    box.scrollX = 17;
    box.scrollY = 23;
    ImageState.CurrentImage = 1;
    FillMarkers(*box.workBitmap);
    CopyPixels(box.undoBitmap, box.workBitmap);
}

inline PixelBuffer& Work() { return *ImageBoxTable[1].workBitmap; }
inline PixelBuffer& Undo() { return *ImageBoxTable[1].undoBitmap; }

// A floating piece of width x height with Marker pixels and, when withMask, a mask whose
// byte at (x, y) is 249 on even columns and 193 on odd ones; its undo twins are copies.
// The piece tool becomes current.
inline void MakePiece(int width, int height, bool withMask) {
    FloatingPieceRecord& piece = FloatingPiece;
    piece.pieceDc = MakeContext(width, height, 24);
    piece.pieceBitmap = piece.pieceDc->SelectedBitmap();
    piece.pieceUndoDc = MakeContext(width, height, 24);
    piece.pieceUndoBitmap = piece.pieceUndoDc->SelectedBitmap();
    FillMarkers(*piece.pieceBitmap);
    CopyPixels(piece.pieceUndoBitmap, piece.pieceBitmap);
    if (withMask) {
        piece.maskDc = MakeContext(width, height, 8);
        piece.maskBitmap = piece.maskDc->SelectedBitmap();
        piece.maskUndoDc = MakeContext(width, height, 8);
        piece.maskUndoBitmap = piece.maskUndoDc->SelectedBitmap();
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) piece.maskBitmap->Row(y)[x] = (x % 2 == 0) ? kMaskInside : kMaskBorder;
        CopyPixels(piece.maskUndoBitmap, piece.maskBitmap);
    }
    piece.pieceWidth = static_cast<std::uint32_t>(width);
    piece.pieceHeight = static_cast<std::uint32_t>(height);
    PaintSettings.Tool = kToolFloatingPiece;
}

// Fresh state around every test, with messages recorded.
class GeometryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        platform::SetMessageBoxService(&messages);
    }
    void TearDown() override {
        platform::SetMessageBoxService(nullptr);
        ResetProgramState();
    }
    MessageRecorder messages;
};

}  // namespace geometry_test
