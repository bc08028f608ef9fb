#include "shell/Artwork.h"

#include "platform/raster/Draw.h"

namespace {

constexpr raster::Colour kFace = raster::MakeColour(0xD8, 0xD8, 0xD8);
constexpr raster::Colour kInk = raster::MakeColour(0x20, 0x20, 0x20);

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

void DrawUndoArrow(raster::DrawingContext& dc, int ox) {
    // A hook: a shaft going right, bending down, with the arrow head pointing left at the top.
    Box(dc, ox + 6, 4, ox + 12, 6, kInk);
    Box(dc, ox + 11, 5, ox + 13, 11, kInk);
    Box(dc, ox + 7, 10, ox + 12, 12, kInk);
    for (int i = 0; i < 4; ++i) Box(dc, ox + 2 + i, 5 - i, ox + 3 + i, 5 + i, kInk);
}

}  // namespace

std::unique_ptr<raster::Bitmap> MakeCommandBarStrip() {
    constexpr int kSize = 16;
    auto dc = MakeContext(6 * kSize, kSize, kFace);
    if (!dc) return nullptr;
    // 2: replace, an outlined square.
    int ox = 2 * kSize;
    Box(*dc, ox + 3, 3, ox + 13, 4, kInk);
    Box(*dc, ox + 3, 12, ox + 13, 13, kInk);
    Box(*dc, ox + 3, 3, ox + 4, 13, kInk);
    Box(*dc, ox + 12, 3, ox + 13, 13, kInk);
    // 3: add, a plus.
    ox = 3 * kSize;
    Box(*dc, ox + 3, 7, ox + 13, 9, kInk);
    Box(*dc, ox + 7, 3, ox + 9, 13, kInk);
    // 4: subtract, a minus.
    ox = 4 * kSize;
    Box(*dc, ox + 3, 7, ox + 13, 9, kInk);
    DrawUndoArrow(*dc, 5 * kSize);
    return dc->Select(nullptr);
}

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
