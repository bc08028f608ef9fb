// The brush picker's sheet: every brush the picker offers, stamped by the brush engine
// itself, so the picture is the footprint the brush paints.
#include <algorithm>
#include <cstdint>

#include "ResourceArt.h"
#include "filters/Noise.h"
#include "tools/BrushEngine.h"

namespace {

constexpr raster::Colour kPaper = raster::MakeColour(255, 255, 255);
constexpr raster::Colour kInk = raster::MakeColour(0, 0, 0);
// The soft brush's reach, under the dabs that show its fall-off.
constexpr raster::Colour kSoftReach = raster::MakeColour(200, 200, 200);
constexpr int kSoftDabs = 3;
constexpr int kSprayDabs = 2;
constexpr int kSoftShape = 2;
constexpr int kSprayShape = 7;

std::unique_ptr<PixelBuffer> White(int width, int height) {
    raster::BitmapInfo header;
    auto image = CreatePixelBuffer(width, height, 24, header, nullptr);
    if (image) std::fill(image->Bits(), image->Bits() + image->ByteSize(), 0xFF);
    return image;
}

BrushInk Ink(int size, raster::Colour colour) {
    BrushInk ink;
    ink.size = size;
    ink.colour = colour;
    ink.opacity = 100;
    return ink;
}

void StampCell(PixelBuffer& cell, int shape, int size) {
    constexpr int kCentre = kBrushCellSize / 2;
    if (shape == kSprayShape) {
        for (int i = 0; i < kSprayDabs; ++i) SprayDabWith(Ink(size, kInk), &cell, kCentre, kCentre, 0);
        return;
    }
    if (shape == kSoftShape) {
        BrushDabWith(Ink(size, kSoftReach), shape, &cell, &cell, kCentre, kCentre, 0.0f, 0.0f);
        for (int i = 0; i < kSoftDabs; ++i) BrushDabWith(Ink(size, kInk), shape, &cell, &cell, kCentre, kCentre, 0.0f, 1.0f);
        return;
    }
    BrushDabWith(Ink(size, kInk), shape, &cell, &cell, kCentre, kCentre, 0.0f, 0.0f);
}

void CopyCell(const PixelBuffer& cell, PixelBuffer& sheet, int column, int row) {
    for (int y = 0; y < kBrushCellSize; ++y) {
        std::copy_n(cell.Row(y), 3 * kBrushCellSize, sheet.Row(row * kBrushCellPitch + y) + 3 * column * kBrushCellPitch);
    }
}

}  // namespace

std::unique_ptr<PixelBuffer> MakeBrushSheet() {
    auto sheet = White(kBrushSheetWidth, kBrushSheetHeight);
    auto cell = White(kBrushCellSize, kBrushCellSize);
    if (!sheet || !cell) return nullptr;
    // The spray draws from the shared generator: start it afresh so the sheet comes out
    // the same every time, and leave it as it was.
    const std::uint32_t noise = FilterState.NoiseState;
    ResetNoise();
    for (int row = 0; row < 7; ++row) {
        for (int column = 0; column < 9; ++column) {
            std::fill(cell->Bits(), cell->Bits() + cell->ByteSize(), 0xFF);
            if (column > 0) {
                StampCell(*cell, row, 2 * column + 1);
            } else if (row == 0) {
                StampCell(*cell, 0, 1);
            } else {
                StampCell(*cell, kSprayShape, 2 * row + 5);
            }
            CopyCell(*cell, *sheet, column, row);
        }
    }
    FilterState.NoiseState = noise;
    return sheet;
}
