#include "tools/Shapes.h"

#include <algorithm>
#include <array>

#include "image/PaintSettings.h"
#include "image/ToolIds.h"
#include "image/Undo.h"
#include "image/View.h"
#include "tools/BrushEngine.h"
#include "tools/Canvas.h"
#include "tools/Selection.h"

namespace {

constexpr raster::Colour kPureRed = raster::MakeColour(255, 0, 0);
constexpr raster::Colour kPureBlue = raster::MakeColour(0, 0, 255);
constexpr raster::Colour kBlack = raster::MakeColour(0, 0, 0);

raster::Pen MakePen(int width, raster::Colour colour, int style) {
    return raster::Pen{style == kPenDashed ? raster::PenStyle::Dash : raster::PenStyle::Solid, std::max(width, 1),
                       colour};
}

raster::DrawingContext* WorkContext() {
    ImageBox& box = CurrentBox();
    return box.workDc ? box.workDc.get() : nullptr;
}

}  // namespace

void SetPenAndFill(raster::DrawingContext& dc, int penWidth, raster::Colour penColour, int penStyle,
                   raster::Colour fillColour) {
    dc.SetPen(MakePen(penWidth, penColour, penStyle));
    dc.SetFill(raster::Fill{false, fillColour});
}

void SetPenNoFill(raster::DrawingContext& dc, int penWidth, raster::Colour penColour, int penStyle) {
    dc.SetPen(MakePen(penWidth, penColour, penStyle));
    dc.SetFill(raster::Fill{true, 0});
}

void ApplyFillStyleTo(raster::DrawingContext& dc, int tool) {
    if (tool == kToolSelectPolygon) {
        SetPenNoFill(dc, 1, kPureRed, kPenDashed);
        return;
    }
    // The pen is as wide as the brush, within the sizes a brush can have.
    const int width = LimitBrushSize(PaintSettings.Size);
    const raster::Colour fore = PaintSettings.FColor;
    switch (PaintSettings.Fill) {
        case kFillOutlined: SetPenAndFill(dc, width, fore, kPenSolid, PaintSettings.BColor); break;
        case kFillSolid: SetPenAndFill(dc, 1, fore, kPenSolid, fore); break;
        default: SetPenNoFill(dc, width, fore, kPenSolid); break;
    }
}

void ApplyFillStyle() {
    if (raster::DrawingContext* dc = WorkContext()) ApplyFillStyleTo(*dc, PaintSettings.Tool);
}

ShapeCorners ShapeCornersOf(int tool, int anchorX, int anchorY, int x, int y, int sx, int sy) {
    ShapeCorners corners{{anchorX + sx, anchorY + sy}, {x + sx, y + sy}};
    if (CanvasState.SelectModifier == 1 && tool != kToolLine) {
        corners.end.y = corners.start.y + (corners.end.x - corners.start.x);
    }
    return corners;
}

void DrawShapeOutline(raster::DrawingContext& dc, int tool, const ShapeCorners& c) {
    switch (tool) {
        case kToolRectangle: raster::Rectangle(dc, c.start.x, c.start.y, c.end.x, c.end.y); break;
        case kToolRoundedRectangle:
            raster::RoundRect(dc, c.start.x, c.start.y, c.end.x, c.end.y, PaintSettings.Round, PaintSettings.Round);
            break;
        case kToolEllipse: raster::Ellipse(dc, c.start.x, c.start.y, c.end.x, c.end.y); break;
        default: break;
    }
}

void DrawShape(ImageBox& box, int x, int y, bool final) {
    const int tool = PaintSettings.Tool;
    if (!box.workDc || tool < kToolLine || tool > kToolEllipse) return;
    const float inv = 1.0f / ImageState.ZoomFactor;
    const int sx = static_cast<int>(static_cast<float>(box.scrollX) * inv);
    const int sy = static_cast<int>(static_cast<float>(box.scrollY) * inv);
    const ShapeCorners corners = ShapeCornersOf(tool, box.anchorX, box.anchorY, x, y, sx, sy);
    ApplyFillStyleTo(*box.workDc, tool);
    if (tool == kToolLine) {
        // The line's first dab kept the last stroke's mode; its rubber band is hard (or soft
        // round), and the strokes after it keep that.
        BrushStroke line = CanvasState.Stroke;
        line.stamp = ApplyStampRule(StampRule::Hard);
        StrokeSegment(line, corners.start.x, corners.start.y, corners.end.x, corners.end.y);
    } else {
        DrawShapeOutline(*box.workDc, tool, corners);
    }
    RepaintView(final);
}

bool AppendPolygonVertex(raster::Point vertex) {
    if (CanvasState.PolygonCount >= static_cast<std::uint32_t>(kPolygonRoom)) return false;
    CanvasState.PolygonPoints[CanvasState.PolygonCount++] = vertex;
    return true;
}

void DrawPolygonPoints(const raster::Point* moving) {
    raster::DrawingContext* dc = WorkContext();
    if (!dc) return;
    // The moving point goes after the fixed vertices, in a copy: the fixed ones may fill their room.
    std::array<raster::Point, kPolygonRoom + 1> points;
    const int fixed = static_cast<int>(std::min(CanvasState.PolygonCount, static_cast<std::uint32_t>(kPolygonRoom)));
    std::copy_n(CanvasState.PolygonPoints, fixed, points.begin());
    int count = fixed;
    if (moving) points[static_cast<std::size_t>(count++)] = *moving;
    ApplyFillStyleTo(*dc, PaintSettings.Tool);
    raster::Polygon(*dc, points.data(), count);
}

void DrawPolygonPreview() {
    DrawPolygonPoints(nullptr);
    RepaintView(false);
}

void DrawPolygonWithMovingPoint(raster::Point moving) {
    DrawPolygonPoints(&moving);
    RepaintView(false);
}

void DrawPolygonScratch() {
    raster::DrawingContext* dc = WorkContext();
    if (!dc) return;
    const ImageBox& box = CurrentBox();
    SetPenAndFill(*dc, 1, kBlack, kPenSolid, kBlack);
    raster::Rectangle(*dc, 0, 0, box.width, box.height);
    SetPenAndFill(*dc, 1, kPureBlue, kPenSolid, kPureBlue);
    const int count = static_cast<int>(std::min(CanvasState.PolygonCount, static_cast<std::uint32_t>(kPolygonRoom)));
    raster::Polygon(*dc, CanvasState.PolygonPoints, count);
}

namespace {

void ClosePolygonSelection() {
    ImageBox& box = CurrentBox();
    DrawPolygonScratch();
    const int made = BuildPolygonSelection();
    CanvasState.PolygonCount = 0;
    if (box.workBitmap) TakeImageUndo();
    // A polygon too small for a piece floats the older piece again, if there is one; with none,
    // the tool stays, as after any selection that makes no piece: a floating-piece tool without
    // a piece has nothing to show.
    if (made == 1 || FloatingPiece.pieceDc) PaintSettings.Tool = kToolFloatingPiece;
    RepaintWholeView();
}

}  // namespace

void ClosePolygon() {
    switch (PaintSettings.Tool) {
        case kToolPolygon:
            DrawPolygonPoints(nullptr);
            RepaintView(true);
            CanvasState.PolygonCount = 0;
            break;
        case kToolSelectPolygon: ClosePolygonSelection(); break;
        default: break;
    }
}

void CloseOpenPolygon() {
    const int tool = PaintSettings.Tool;
    if ((tool == kToolPolygon || tool == kToolSelectPolygon) && CanvasState.PolygonCount != 0) ClosePolygon();
}
