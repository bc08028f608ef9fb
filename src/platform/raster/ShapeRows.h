// Internal: convex shapes described row by row. Each shape answers, for an image row,
// the span of pixels it covers when drawn with a one-pixel pen (outline and interior).
#pragma once

#include "platform/raster/Spans.h"

namespace raster::detail {

class ShapeRows {
public:
    virtual ~ShapeRows() = default;
    virtual Span Row(int y) const = 0;
    int Top() const { return top_; }
    int Bottom() const { return bottom_; }  // exclusive
    int Left() const { return left_; }
    int Right() const { return right_; }  // exclusive

protected:
    ShapeRows(int left, int top, int right, int bottom) : top_(top), bottom_(bottom), left_(left), right_(right) {}
    bool Outside(int y) const { return y < top_ || y >= bottom_ || right_ <= left_; }
    int top_;
    int bottom_;
    int left_;
    int right_;
};

class RectRows final : public ShapeRows {
public:
    RectRows(int left, int top, int right, int bottom) : ShapeRows(left, top, right, bottom) {}
    Span Row(int y) const override;
};

// The ellipse inscribed in [left, right) x [top, bottom). A pixel belongs to it when it
// lies inside the ideal curve through the outermost pixel centres or is the pixel nearest
// to that curve along its row or its column (what a midpoint ellipse tracer picks; a
// curve exactly halfway between two pixels takes the inner one). The centre row(s) and
// column(s) always reach the box's sides.
class EllipseRows final : public ShapeRows {
public:
    EllipseRows(int left, int top, int right, int bottom) : ShapeRows(left, top, right, bottom) {}
    Span Row(int y) const override;
    // Columns the ellipse leaves free at the left end of row y (0 on the widest rows).
    int Inset(int y) const;
};

// A rectangle whose corners are quarters of an ellipse of cornerWidth x cornerHeight
// (clamped to the rectangle's size).
class RoundRectRows final : public ShapeRows {
public:
    RoundRectRows(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);
    Span Row(int y) const override;

private:
    int cornerWidth_;
    int cornerHeight_;
    EllipseRows corner_;
};

// Pixels of the shape whose four neighbours all belong to it: what is left inside a
// one-pixel outline.
Span InteriorRow(const ShapeRows& shape, int y);

}  // namespace raster::detail
