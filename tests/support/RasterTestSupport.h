// Small bitmaps and ASCII pictures of their pixels for the rasteriser tests.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "platform/raster/Draw.h"

namespace rastertest {

constexpr raster::Colour kWhite = raster::MakeColour(255, 255, 255);
constexpr raster::Colour kInk = raster::MakeColour(200, 30, 10);   // pen, drawn as '#'
constexpr raster::Colour kPaint = raster::MakeColour(20, 160, 90);  // fill, drawn as 'o'

// A 24-bit context of width x height filled with a colour, with a one-pixel solid pen
// of kInk and a kPaint fill.
inline std::unique_ptr<raster::DrawingContext> MakeContext(int width, int height, raster::Colour background = kWhite) {
    raster::BitmapInfo info{};
    info.header.width = width;
    info.header.height = height;
    info.header.bitCount = 24;
    auto dc = raster::CreateMemoryContext(info);
    if (!dc) return nullptr;
    raster::FillRect(*dc, {0, 0, width, height}, background);
    dc->SetPen({raster::PenStyle::Solid, 1, kInk});
    dc->SetFill({false, kPaint});
    return dc;
}

// The bitmap as rows of characters: '.' white, '#' kInk, 'o' kPaint, '?' anything else.
// Each row ends with a newline.
inline std::string Picture(const raster::DrawingContext& dc) {
    const std::map<raster::Colour, char> legend{{kWhite, '.'}, {kInk, '#'}, {kPaint, 'o'}};
    const raster::Bitmap* bm = dc.SelectedBitmap();
    std::string out;
    for (int y = 0; y < bm->Height(); ++y) {
        for (int x = 0; x < bm->Width(); ++x) {
            const auto it = legend.find(raster::GetPixel(dc, x, y));
            out += it == legend.end() ? '?' : it->second;
        }
        out += '\n';
    }
    return out;
}

// Drops the newline that opens a raw string literal picture.
inline std::string Art(const char* text) { return text[0] == '\n' ? std::string(text + 1) : std::string(text); }

}  // namespace rastertest
