#include "platform/raster/ShapeRows.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace raster::detail {

namespace {

using Wide = __int128;

// Largest m with m * m <= v, for 0 <= v < 2^62.
long long IntegerSquareRoot(long long v) {
    if (v <= 0) return 0;
    long long m = static_cast<long long>(std::sqrt(static_cast<double>(v)));
    while (m > 0 && m * m > v) --m;
    while ((m + 1) * (m + 1) <= v) ++m;
    return m;
}

// Largest m >= 0 with m^2 * b2 < n, or -1 when there is none.
long long LargestBelow(Wide n, Wide b2) {
    if (n < 1) return -1;
    return IntegerSquareRoot(static_cast<long long>((n - 1) / b2));
}

}  // namespace

Span RectRows::Row(int y) const {
    if (Outside(y)) return {};
    return {left_, right_};
}

// Works in doubled coordinates relative to the centre, so that even and odd sizes both
// stay integral: a pixel column x sits at X = 2x - (left + right - 1), the outermost
// pixel centres at X = +-A with A = width - 1; likewise rows with B = height - 1. The
// ideal curve is X^2 / A^2 + Y^2 / B^2 = 1, and a doubled distance of 1 is half a pixel.
Span EllipseRows::Row(int y) const {
    if (Outside(y) || bottom_ <= top_) return {};
    const long long a = static_cast<long long>(right_) - left_ - 1;
    const long long b = static_cast<long long>(bottom_) - top_ - 1;
    const long long yy = std::llabs(2LL * y - (static_cast<long long>(top_) + bottom_ - 1));
    // The centre row(s) span the box, so the ellipse touches its left and right sides.
    if (a == 0 || b == 0 || yy <= 1) return {left_, right_};
    const Wide a2 = static_cast<Wide>(a) * a;
    const Wide b2 = static_cast<Wide>(b) * b;
    // Along the row the curve lies at |X| = W with W^2 = A^2 (B^2 - Y^2) / B^2; the pixel
    // nearest to it, a tie going inwards, has |X| - 1 < W.
    const long long alongRow = LargestBelow(a2 * (b2 - static_cast<Wide>(yy) * yy), b2) + 1;
    // Along a column X the curve lies at |Y| = H; the row is the column's nearest when
    // |Y| - 1 < H, that is X^2 B^2 < A^2 (B^2 - (|Y| - 1)^2).
    const long long below = yy - 1;
    const long long alongColumn = LargestBelow(a2 * (b2 - static_cast<Wide>(below) * below), b2);
    long long h = std::min(std::max(alongRow, alongColumn), a);
    if ((h ^ a) & 1) --h;  // X has the parity of A
    // Every row keeps its centre pixel(s), so the ellipse touches its top and bottom.
    h = std::max(h, a & 1);
    const long long centre = static_cast<long long>(left_) + right_ - 1;
    return {static_cast<int>((centre - h) / 2), static_cast<int>((centre + h) / 2 + 1)};
}

int EllipseRows::Inset(int y) const {
    const Span s = Row(y);
    return s.Empty() ? 0 : s.x0 - left_;
}

namespace {
int ClampCorner(int size, int limit) { return std::clamp(size, 0, std::max(limit, 0)); }
}  // namespace

RoundRectRows::RoundRectRows(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight)
    : ShapeRows(left, top, right, bottom),
      cornerWidth_(ClampCorner(cornerWidth, right - left)),
      cornerHeight_(ClampCorner(cornerHeight, bottom - top)),
      corner_(0, 0, cornerWidth_, cornerHeight_) {}

Span RoundRectRows::Row(int y) const {
    if (Outside(y)) return {};
    if (cornerWidth_ == 0 || cornerHeight_ == 0) return {left_, right_};
    const int fromTop = y - top_;
    const int fromBottom = bottom_ - 1 - y;
    int cornerRow = -1;
    if (fromTop < cornerHeight_ / 2) {
        cornerRow = fromTop;
    } else if (fromBottom < cornerHeight_ / 2) {
        cornerRow = cornerHeight_ - 1 - fromBottom;
    }
    if (cornerRow < 0) return {left_, right_};
    const int inset = corner_.Inset(cornerRow);
    return {left_ + inset, right_ - inset};
}

Span InteriorRow(const ShapeRows& shape, int y) {
    const Span here = shape.Row(y);
    if (here.Empty()) return {};
    Span inside{here.x0 + 1, here.x1 - 1};
    inside = Intersect(inside, shape.Row(y - 1));
    inside = Intersect(inside, shape.Row(y + 1));
    return inside;
}

}  // namespace raster::detail
