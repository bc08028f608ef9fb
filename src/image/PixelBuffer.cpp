#include "image/PixelBuffer.h"

#include <cstring>

#include "image/PaintSettings.h"
#include "platform/raster/Draw.h"

std::unique_ptr<PixelBuffer> CreatePixelBuffer(int width, int height, int bitsPerPixel, raster::BitmapInfo& header,
                                               std::uint8_t** bits) {
    header = raster::BitmapInfo{};
    raster::BitmapInfoHeader& h = header.header;
    h.size = 40;
    h.width = width;
    h.height = height;
    h.planes = 1;
    h.bitCount = static_cast<std::uint16_t>(bitsPerPixel);
    h.compression = 0;
    h.sizeImage = static_cast<std::uint32_t>(raster::StrideFor(width, bitsPerPixel));
    h.xPelsPerMeter = kPixelsPerMetre;
    h.yPelsPerMeter = kPixelsPerMetre;
    if (bitsPerPixel == 8) {
        h.clrUsed = 256;
        h.clrImportant = 256;
        for (int i = 0; i < 256; ++i) {
            header.colours[i].blue = DefaultPalette[i][0];
            header.colours[i].green = DefaultPalette[i][1];
            header.colours[i].red = DefaultPalette[i][2];
            header.colours[i].reserved = 0;
        }
    }
    std::unique_ptr<PixelBuffer> buffer = PixelBuffer::Create(header);
    if (bits) *bits = buffer ? buffer->Bits() : nullptr;
    return buffer;
}

void CopyPixels(PixelBuffer* destination, const PixelBuffer* source) {
    if (!destination || !source) return;
    const std::size_t count =
        static_cast<std::size_t>(raster::StrideFor(source->Width(), destination->BitsPerPixel())) * source->Height();
    if (count > destination->ByteSize() || count > source->ByteSize()) return;
    std::memcpy(destination->Bits(), source->Bits(), count);
}

void FillWithBackground(raster::DrawingContext& dc, int width, int height) {
    raster::FillRect(dc, raster::Rect{0, 0, width, height}, PaintSettings.BColor);
}
