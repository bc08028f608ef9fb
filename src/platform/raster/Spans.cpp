#include "platform/raster/Spans.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/raster/ColourMatch.h"
#include "platform/raster/Draw.h"
#include "platform/raster/ShapeRows.h"

namespace raster::detail {

int ClampCoordinate(int v) { return std::clamp(v, -kCoordinateLimit, kCoordinateLimit); }

Span Intersect(Span a, Span b) { return {std::max(a.x0, b.x0), std::min(a.x1, b.x1)}; }

Ink MakeInk(const Bitmap& bitmap, Colour colour) {
    Ink ink;
    ink.blue = static_cast<std::uint8_t>(BlueOf(colour));
    ink.green = static_cast<std::uint8_t>(GreenOf(colour));
    ink.red = static_cast<std::uint8_t>(RedOf(colour));
    if (bitmap.BitsPerPixel() == 8) ink.index = MatchPaletteIndex(bitmap.Palette(), colour);
    return ink;
}

void PaintSpan(Bitmap& bitmap, int y, int x0, int x1, const Ink& ink) {
    if (y < 0 || y >= bitmap.Height()) return;
    x0 = std::max(x0, 0);
    x1 = std::min(x1, bitmap.Width());
    if (x0 >= x1) return;
    std::uint8_t* row = bitmap.Row(y);
    if (bitmap.BitsPerPixel() == 8) {
        std::memset(row + x0, ink.index, static_cast<std::size_t>(x1 - x0));
        return;
    }
    std::uint8_t* p = row + 3 * x0;
    if (ink.blue == ink.green && ink.green == ink.red) {
        std::memset(p, ink.blue, static_cast<std::size_t>(3) * (x1 - x0));
        return;
    }
    for (int x = x0; x < x1; ++x, p += 3) {
        p[0] = ink.blue;
        p[1] = ink.green;
        p[2] = ink.red;
    }
}

void PaintPixel(Bitmap& bitmap, int x, int y, const Ink& ink) {
    if (!bitmap.Contains(x, y)) return;
    if (bitmap.BitsPerPixel() == 8) {
        bitmap.Row(y)[x] = ink.index;
        return;
    }
    std::uint8_t* p = bitmap.Row(y) + 3 * x;
    p[0] = ink.blue;
    p[1] = ink.green;
    p[2] = ink.red;
}

std::unique_ptr<Nib> Nib::Make(int width, Shape shape) noexcept {
    width = PenWidth(width);
    std::unique_ptr<Nib> nib(new (std::nothrow) Nib());
    if (!nib) return nullptr;
    nib->width_ = width;
    nib->rows_.reset(new (std::nothrow) Span[static_cast<std::size_t>(width)]);
    if (!nib->rows_) return nullptr;
    const int low = nib->Low();
    const int high = nib->High();
    if (shape == Shape::Square) {
        for (int j = 0; j < width; ++j) nib->rows_[j] = {low, high};
        return nib;
    }
    const EllipseRows round(low, low, high, high);
    for (int j = 0; j < width; ++j) nib->rows_[j] = round.Row(low + j);
    return nib;
}

void Nib::Stamp(Bitmap& bitmap, int x, int y, const Ink& ink) const {
    if (width_ == 1) {
        PaintPixel(bitmap, x, y, ink);
        return;
    }
    const int first = std::max(Low(), -y);
    const int last = std::min(High(), bitmap.Height() - y);
    for (int dy = first; dy < last; ++dy) {
        const Span& s = rows_[dy - Low()];
        PaintSpan(bitmap, y + dy, x + s.x0, x + s.x1, ink);
    }
}

int PenWidth(int width) { return std::clamp(width, 1, kMaxPenWidth); }

bool DashOnAt(long long step) {
    const long long period = kDashOnPixels + kDashOffPixels;
    long long phase = step % period;
    if (phase < 0) phase += period;
    return phase < kDashOnPixels;
}

}  // namespace raster::detail
