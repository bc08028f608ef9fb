#include "platform/raster/Draw.h"

#include <algorithm>
#include <cstring>

namespace raster {

namespace {

// Index of the palette entry nearest to a colour (squared distance, lowest index on ties).
std::uint8_t NearestPaletteIndex(const RgbQuad* palette, int red, int green, int blue) {
    int best = 0;
    long bestDistance = -1;
    for (int i = 0; i < 256; ++i) {
        const long dr = palette[i].red - red;
        const long dg = palette[i].green - green;
        const long db = palette[i].blue - blue;
        const long d = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || d < bestDistance) {
            bestDistance = d;
            best = i;
            if (d == 0) break;
        }
    }
    return static_cast<std::uint8_t>(best);
}

}  // namespace

void FillRect(DrawingContext& dc, const Rect& rect, Colour colour) {
    Bitmap* bm = dc.SelectedBitmap();
    if (!bm) return;
    const int left = std::max(rect.left, 0);
    const int top = std::max(rect.top, 0);
    const int right = std::min(rect.right, bm->Width());
    const int bottom = std::min(rect.bottom, bm->Height());
    if (left >= right || top >= bottom) return;
    if (bm->BitsPerPixel() == 8) {
        const std::uint8_t index = NearestPaletteIndex(bm->Palette(), RedOf(colour), GreenOf(colour), BlueOf(colour));
        for (int y = top; y < bottom; ++y) std::memset(bm->Row(y) + left, index, right - left);
        return;
    }
    const std::uint8_t b = static_cast<std::uint8_t>(BlueOf(colour));
    const std::uint8_t g = static_cast<std::uint8_t>(GreenOf(colour));
    const std::uint8_t r = static_cast<std::uint8_t>(RedOf(colour));
    for (int y = top; y < bottom; ++y) {
        std::uint8_t* p = bm->Row(y) + 3 * left;
        if (b == g && g == r) {
            std::memset(p, b, 3 * (right - left));
            continue;
        }
        for (int x = left; x < right; ++x, p += 3) {
            p[0] = b;
            p[1] = g;
            p[2] = r;
        }
    }
}

}  // namespace raster
