#include "shell/Artwork.h"

#include "platform/raster/Draw.h"

namespace {

std::unique_ptr<raster::DrawingContext> MakeContext(int width, int height, raster::Colour background) {
    raster::BitmapInfo info{};
    info.header.width = width;
    info.header.height = height;
    info.header.bitCount = 24;
    auto dc = raster::CreateMemoryContext(info);
    if (!dc) return nullptr;
    raster::FillRect(*dc, {0, 0, width, height}, background);
    return dc;
}

void Box(raster::DrawingContext& dc, int left, int top, int right, int bottom, raster::Colour colour) {
    raster::FillRect(dc, {left, top, right, bottom}, colour);
}

}  // namespace

std::unique_ptr<raster::Bitmap> MakeProgramIcon() {
    constexpr int kSize = 32;
    auto dc = MakeContext(kSize, kSize, raster::MakeColour(0x60, 0x60, 0x60));
    if (!dc) return nullptr;
    Box(*dc, 2, 2, 30, 30, raster::MakeColour(0xFF, 0xFF, 0xFF));
    Box(*dc, 6, 7, 26, 11, raster::MakeColour(0xE0, 0x30, 0x30));
    Box(*dc, 6, 14, 22, 18, raster::MakeColour(0x30, 0xA0, 0x40));
    Box(*dc, 6, 21, 18, 25, raster::MakeColour(0x30, 0x50, 0xD0));
    return dc->Select(nullptr);
}
