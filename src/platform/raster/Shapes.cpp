// Rectangle, RoundRect and Ellipse: convex shapes drawn row by row with the current pen
// and fill.
#include <algorithm>
#include <utility>

#include "platform/raster/Draw.h"
#include "platform/raster/ShapeRows.h"
#include "platform/raster/Spans.h"

namespace raster {

namespace {

using detail::Ink;
using detail::Nib;
using detail::PaintSpan;
using detail::ShapeRows;
using detail::Span;

struct Box {
    int left;
    int top;
    int right;
    int bottom;
    bool Empty() const { return right <= left || bottom <= top; }
};

Box NormalisedBox(int left, int top, int right, int bottom) {
    Box box{detail::ClampCoordinate(left), detail::ClampCoordinate(top), detail::ClampCoordinate(right),
            detail::ClampCoordinate(bottom)};
    if (box.left > box.right) std::swap(box.left, box.right);
    if (box.top > box.bottom) std::swap(box.top, box.bottom);
    return box;
}

// The boxes the outer and the inner edge of a pen of the given width follow, centred
// on the one-pixel outline of the box.
Box OuterBox(const Box& b, int width) {
    const int out = width / 2;
    const int in = width - 1 - out;
    return {b.left - out, b.top - out, b.right + in, b.bottom + in};
}
Box InnerBox(const Box& b, int width) {
    const int out = width / 2;
    const int in = width - 1 - out;
    return {b.left + in, b.top + in, b.right - out, b.bottom - out};
}

void PaintRun(Bitmap& bm, int y, Span s, const Ink& ink) { PaintSpan(bm, y, s.x0, s.x1, ink); }

// Dashes along the one-pixel outline, clockwise from the left end of the top row: down
// the right side (each row's right-hand outline run), then up the left side. Runs in the
// upper half are walked left to right, in the lower half right to left.
void DashOutline(Bitmap& bm, const ShapeRows& centre, const Ink& ink, const Nib& nib) {
    const long long middle = static_cast<long long>(centre.Top()) + centre.Bottom() - 1;
    long long step = 0;
    const auto stampRun = [&](int y, Span run) {
        const bool leftToRight = 2LL * y <= middle;
        if (y + nib.High() > 0 && y + nib.Low() < bm.Height()) {
            const int first = std::max(run.x0, 1 - nib.High());
            const int last = std::min(run.x1, bm.Width() - nib.Low());
            for (int x = first; x < last; ++x) {
                const long long i = leftToRight ? x - run.x0 : run.x1 - 1 - x;
                if (detail::DashOnAt(step + i)) nib.Stamp(bm, x, y, ink);
            }
        }
        step += run.x1 - run.x0;
    };
    // Rows are visited in order, so each row's span is computed once per pass.
    const auto inside = [](Span above, Span here, Span below) {
        return detail::Intersect(detail::Intersect(Span{here.x0 + 1, here.x1 - 1}, above), below);
    };
    Span above{};
    Span here = centre.Row(centre.Top());
    for (int y = centre.Top(); y < centre.Bottom(); ++y) {
        const Span below = centre.Row(y + 1);
        const Span in = inside(above, here, below);
        stampRun(y, in.Empty() ? here : Span{in.x1, here.x1});
        above = here;
        here = below;
    }
    Span below{};
    here = centre.Row(centre.Bottom() - 1);
    for (int y = centre.Bottom() - 1; y >= centre.Top(); --y) {
        const Span up = centre.Row(y - 1);
        const Span in = inside(up, here, below);
        if (!in.Empty()) stampRun(y, Span{here.x0, in.x0});
        below = here;
        here = up;
    }
}

// centre: the shape as a one-pixel pen outlines it; outer and inner: the shapes the
// edges of the actual pen follow.
void DrawConvex(DrawingContext& dc, const ShapeRows& centre, const ShapeRows& outer, const ShapeRows& inner) {
    Bitmap* bm = dc.SelectedBitmap();
    if (!bm) return;
    const Pen& pen = dc.CurrentPen();
    const Fill& fill = dc.CurrentFill();
    const Ink fillInk = detail::MakeInk(*bm, fill.colour);
    if (pen.style == PenStyle::Null) {
        if (fill.empty) return;
        const int top = std::max(centre.Top(), 0);
        const int bottom = std::min(centre.Bottom(), bm->Height());
        for (int y = top; y < bottom; ++y) PaintRun(*bm, y, centre.Row(y), fillInk);
        return;
    }
    const Ink penInk = detail::MakeInk(*bm, pen.colour);
    const bool solid = pen.style == PenStyle::Solid;
    const int top = std::max(outer.Top(), 0);
    const int bottom = std::min(outer.Bottom(), bm->Height());
    for (int y = top; y < bottom; ++y) {
        const Span band = outer.Row(y);
        const Span inside = detail::Intersect(detail::InteriorRow(inner, y), band);
        if (!fill.empty) PaintRun(*bm, y, inside, fillInk);
        if (!solid) continue;
        if (inside.Empty()) {
            PaintRun(*bm, y, band, penInk);
        } else {
            PaintSpan(*bm, y, band.x0, inside.x0, penInk);
            PaintSpan(*bm, y, inside.x1, band.x1, penInk);
        }
    }
    if (solid) return;
    const std::unique_ptr<Nib> nib = Nib::Make(pen.width, Nib::Shape::Square);
    if (nib) DashOutline(*bm, centre, penInk, *nib);
}

int ClampCorner(int size) { return std::clamp(size, 0, 2 * detail::kCoordinateLimit); }

}  // namespace

void Rectangle(DrawingContext& dc, int left, int top, int right, int bottom) {
    const Box b = NormalisedBox(left, top, right, bottom);
    if (b.Empty()) return;
    const int w = detail::PenWidth(dc.CurrentPen().width);
    const Box o = OuterBox(b, w);
    const Box i = InnerBox(b, w);
    DrawConvex(dc, detail::RectRows(b.left, b.top, b.right, b.bottom), detail::RectRows(o.left, o.top, o.right, o.bottom),
               detail::RectRows(i.left, i.top, i.right, i.bottom));
}

void RoundRect(DrawingContext& dc, int left, int top, int right, int bottom, int ellipseWidth, int ellipseHeight) {
    const Box b = NormalisedBox(left, top, right, bottom);
    if (b.Empty()) return;
    const int w = detail::PenWidth(dc.CurrentPen().width);
    const Box o = OuterBox(b, w);
    const Box i = InnerBox(b, w);
    const int ew = ClampCorner(ellipseWidth);
    const int eh = ClampCorner(ellipseHeight);
    DrawConvex(dc, detail::RoundRectRows(b.left, b.top, b.right, b.bottom, ew, eh),
               detail::RoundRectRows(o.left, o.top, o.right, o.bottom, ew + w - 1, eh + w - 1),
               detail::RoundRectRows(i.left, i.top, i.right, i.bottom, ew - (w - 1), eh - (w - 1)));
}

void Ellipse(DrawingContext& dc, int left, int top, int right, int bottom) {
    const Box b = NormalisedBox(left, top, right, bottom);
    if (b.Empty()) return;
    const int w = detail::PenWidth(dc.CurrentPen().width);
    const Box o = OuterBox(b, w);
    const Box i = InnerBox(b, w);
    DrawConvex(dc, detail::EllipseRows(b.left, b.top, b.right, b.bottom),
               detail::EllipseRows(o.left, o.top, o.right, o.bottom), detail::EllipseRows(i.left, i.top, i.right, i.bottom));
}

}  // namespace raster
