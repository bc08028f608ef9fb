#include <algorithm>
#include <cstdlib>

#include "platform/raster/Draw.h"
#include "platform/raster/Spans.h"

namespace raster {

namespace detail {

// Closed-form Bresenham: pixel k of a line with major extent n and minor extent m sits
// at minor offset floor((2km + n) / 2n), which lets the loop start at the first pixel
// whose nib can reach the bitmap instead of walking in from far outside.
long long TraceSegment(Bitmap& bitmap, int x0, int y0, int x1, int y1, const Ink& ink, const Nib& nib, bool dashed,
                       long long firstStep) {
    const long long dx = std::llabs(static_cast<long long>(x1) - x0);
    const long long dy = std::llabs(static_cast<long long>(y1) - y0);
    const long long n = std::max(dx, dy);
    if (n == 0) return 0;
    const bool xMajor = dx >= dy;
    const long long major0 = xMajor ? x0 : y0;
    const long long minor0 = xMajor ? y0 : x0;
    const int majorStep = (xMajor ? x1 >= x0 : y1 >= y0) ? 1 : -1;
    const int minorStep = (xMajor ? y1 >= y0 : x1 >= x0) ? 1 : -1;
    const long long m = xMajor ? dy : dx;
    const long long extent = xMajor ? bitmap.Width() : bitmap.Height();

    // Major coordinates whose nib touches the bitmap.
    const long long visibleLow = 1 - nib.High();
    const long long visibleHigh = extent - 1 - nib.Low();
    long long kFirst = majorStep > 0 ? visibleLow - major0 : major0 - visibleHigh;
    long long kLast = majorStep > 0 ? visibleHigh - major0 : major0 - visibleLow;
    kFirst = std::max(kFirst, 0LL);
    kLast = std::min(kLast, n - 1);
    if (kFirst > kLast) return n;

    const long long twoN = 2 * n;
    const long long start = 2 * kFirst * m + n;
    long long minorOffset = start / twoN;
    long long remainder = start % twoN;
    for (long long k = kFirst; k <= kLast; ++k) {
        if (!dashed || DashOnAt(firstStep + k)) {
            const long long major = major0 + majorStep * k;
            const long long minor = minor0 + minorStep * minorOffset;
            const int x = static_cast<int>(xMajor ? major : minor);
            const int y = static_cast<int>(xMajor ? minor : major);
            nib.Stamp(bitmap, x, y, ink);
        }
        remainder += 2 * m;
        if (remainder >= twoN) {
            remainder -= twoN;
            ++minorOffset;
        }
    }
    return n;
}

}  // namespace detail

void MoveTo(DrawingContext& dc, int x, int y) { dc.SetPenPosition(x, y); }

void LineTo(DrawingContext& dc, int x, int y) {
    const int fromX = dc.PenX();
    const int fromY = dc.PenY();
    dc.SetPenPosition(x, y);
    const Point points[2] = {{fromX, fromY}, {x, y}};
    Polyline(dc, points, 2);
}

void Polyline(DrawingContext& dc, const Point* points, int count) {
    Bitmap* bm = dc.SelectedBitmap();
    const Pen& pen = dc.CurrentPen();
    if (!bm || !points || count < 2 || pen.style == PenStyle::Null) return;
    const std::unique_ptr<detail::Nib> nib = detail::Nib::Make(pen.width, detail::Nib::Shape::Round);
    if (!nib) return;
    const detail::Ink ink = detail::MakeInk(*bm, pen.colour);
    const bool dashed = pen.style == PenStyle::Dash;
    long long step = 0;
    for (int i = 0; i + 1 < count; ++i) {
        step += detail::TraceSegment(*bm, detail::ClampCoordinate(points[i].x), detail::ClampCoordinate(points[i].y),
                                     detail::ClampCoordinate(points[i + 1].x),
                                     detail::ClampCoordinate(points[i + 1].y), ink, *nib, dashed, step);
    }
}

}  // namespace raster
