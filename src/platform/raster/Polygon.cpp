// Polygons: alternate (even-odd) fill by scan lines, then the closed outline.
#include <algorithm>
#include <memory>
#include <new>

#include "platform/raster/Draw.h"
#include "platform/raster/Spans.h"

namespace raster {

namespace {

// Smallest integer >= p / q for q > 0.
long long CeilDiv(long long p, long long q) { return p >= 0 ? (p + q - 1) / q : -((-p) / q); }

// Row y samples the pixel centres (x, y); an edge counts on the rows
// min(y0, y1) <= y < max(y0, y1), and a pixel is inside from the first column at or right
// of a crossing up to the column before the next, which keeps right and bottom edges out.
void FillEvenOdd(Bitmap& bm, const Point* p, int count, const detail::Ink& ink) {
    int top = p[0].y;
    int bottom = p[0].y;
    for (int i = 1; i < count; ++i) {
        top = std::min(top, p[i].y);
        bottom = std::max(bottom, p[i].y);
    }
    top = std::max(top, 0);
    bottom = std::min(bottom, bm.Height());
    if (top >= bottom) return;
    std::unique_ptr<long long[]> crossings(new (std::nothrow) long long[static_cast<std::size_t>(count)]);
    if (!crossings) return;
    for (int y = top; y < bottom; ++y) {
        int n = 0;
        for (int i = 0; i < count; ++i) {
            Point a = p[i];
            Point b = p[(i + 1) % count];
            if (a.y == b.y) continue;
            if (a.y > b.y) std::swap(a, b);
            if (y < a.y || y >= b.y) continue;
            const long long dy = static_cast<long long>(b.y) - a.y;
            crossings[n++] = a.x + CeilDiv((static_cast<long long>(y) - a.y) * (static_cast<long long>(b.x) - a.x), dy);
        }
        std::sort(crossings.get(), crossings.get() + n);
        for (int k = 0; k + 1 < n; k += 2) {
            const long long x0 = std::clamp(crossings[k], -1LL, static_cast<long long>(bm.Width()));
            const long long x1 = std::clamp(crossings[k + 1], -1LL, static_cast<long long>(bm.Width()));
            detail::PaintSpan(bm, y, static_cast<int>(x0), static_cast<int>(x1), ink);
        }
    }
}

}  // namespace

void Polygon(DrawingContext& dc, const Point* points, int count) {
    Bitmap* bm = dc.SelectedBitmap();
    if (!bm || !points || count < 2) return;
    std::unique_ptr<Point[]> p(new (std::nothrow) Point[static_cast<std::size_t>(count)]);
    if (!p) return;
    for (int i = 0; i < count; ++i) p[i] = {detail::ClampCoordinate(points[i].x), detail::ClampCoordinate(points[i].y)};

    const Fill& fill = dc.CurrentFill();
    if (!fill.empty) FillEvenOdd(*bm, p.get(), count, detail::MakeInk(*bm, fill.colour));

    const Pen& pen = dc.CurrentPen();
    if (pen.style == PenStyle::Null) return;
    const std::unique_ptr<detail::Nib> nib = detail::Nib::Make(pen.width, detail::Nib::Shape::Round);
    if (!nib) return;
    const detail::Ink ink = detail::MakeInk(*bm, pen.colour);
    const bool dashed = pen.style == PenStyle::Dash;
    long long step = 0;
    for (int i = 0; i < count; ++i) {
        const Point& a = p[i];
        const Point& b = p[(i + 1) % count];
        step += detail::TraceSegment(*bm, a.x, a.y, b.x, b.y, ink, *nib, dashed, step);
    }
}

}  // namespace raster
