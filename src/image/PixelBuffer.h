// The program's pixel store: 24-bit document buffers and 8-bit masks, bottom-up,
// blue-green-red, rows padded to four bytes.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/raster/Bitmap.h"

using PixelBuffer = raster::Bitmap;

// Pixels per metre written into every buffer's header (96 dots per inch).
constexpr std::int32_t kPixelsPerMetre = 3780;

// The 256 byte triples of the standard 8-bit palette, in stored order (t0, t1, t2): the
// palette entry gets blue = t0, green = t1, red = t2. Entry 0 is black, entry 249 pure blue.
extern const std::uint8_t DefaultPalette[256][3];

// Fills a buffer header for width x height at 24 or 8 bits (the palette only for 8 bits)
// and makes the buffer. Returns null when it cannot be made; *bits gets the pixel address
// (null on failure). The pixels are not initialised.
std::unique_ptr<PixelBuffer> CreatePixelBuffer(int width, int height, int bitsPerPixel, raster::BitmapInfo& header,
                                               std::uint8_t** bits);

// Copies the source's pixel bytes over the destination's: (destination depth x source
// width, rounded to 32 bits, in bytes) x source height. Callers guarantee equal sizes.
void CopyPixels(PixelBuffer* destination, const PixelBuffer* source);

// Fills (0, 0, width, height) of the context's buffer with PaintSettings.BColor.
void FillWithBackground(raster::DrawingContext& dc, int width, int height);
