#include "platform/raster/Draw.h"

#include <algorithm>

#include "platform/raster/Spans.h"

namespace raster {

void FillRect(DrawingContext& dc, const Rect& rect, Colour colour) {
    Bitmap* bm = dc.SelectedBitmap();
    if (!bm) return;
    const int top = std::max(rect.top, 0);
    const int bottom = std::min(rect.bottom, bm->Height());
    if (rect.left >= rect.right) return;
    const detail::Ink ink = detail::MakeInk(*bm, colour);
    for (int y = top; y < bottom; ++y) detail::PaintSpan(*bm, y, rect.left, rect.right, ink);
}

Colour SetPixel(DrawingContext& dc, int x, int y, Colour colour) {
    Bitmap* bm = dc.SelectedBitmap();
    if (!bm || !bm->Contains(x, y)) return kInvalidColour;
    const detail::Ink ink = detail::MakeInk(*bm, colour);
    detail::PaintPixel(*bm, x, y, ink);
    return GetPixel(dc, x, y);
}

Colour GetPixel(const DrawingContext& dc, int x, int y) {
    const Bitmap* bm = dc.SelectedBitmap();
    if (!bm || !bm->Contains(x, y)) return kInvalidColour;
    const std::uint8_t* row = bm->Row(y);
    if (bm->BitsPerPixel() == 8) {
        const RgbQuad& e = bm->Palette()[row[x]];
        return MakeColour(e.red, e.green, e.blue);
    }
    const std::uint8_t* p = row + 3 * x;
    return MakeColour(p[2], p[1], p[0]);
}

}  // namespace raster
