#include "tools/ShapeTools.h"

#include "image/PaintSettings.h"
#include "image/ToolIds.h"
#include "image/Undo.h"
#include "image/View.h"
#include "tools/FreehandTools.h"
#include "tools/Shapes.h"

namespace {

bool IsRubberBand(int tool) { return tool >= kToolLine && tool <= kToolEllipse; }

class ShapeHandler : public ToolHandler {
public:
    // The polygon takes its copy with its first vertex.
    DownCopy CopyAtDown(const ToolEvent& event) const override {
        return event.tool == kToolPolygon ? DownCopy::None : DownCopy::Image;
    }
    DownOutcome StylusDown(ToolEvent& event) const override {
        // The line begins with a dab of the brush, as a stroke does.
        if (event.tool == kToolLine) StartFreehandStroke(event);
        if (event.tool == kToolPolygon) PolygonStylusDown(event);
        return DownOutcome::Done;
    }
    void StylusMove(ToolEvent& event) const override {
        if (IsRubberBand(event.tool)) DrawShape(event.box, event.point.vx, event.point.vy, false);
        if (event.tool == kToolPolygon) PolygonStylusMove(event);
    }
    // Only a stroke that began on the canvas draws: the stylus-up after a double tap does not.
    void StylusUp(ToolEvent& event) const override {
        if (!CanvasState.StylusDown) return;
        if (event.tool == kToolPolygon) PolygonStylusUp(event);
        if (!IsRubberBand(event.tool)) return;
        DrawShape(event.box, event.point.vx, event.point.vy, true);
        event.box.anchorX = event.point.vx;
        event.box.anchorY = event.point.vy;
    }
    void DoubleTap(ToolEvent& event) const override { PolygonDoubleTap(event); }
    void ColoursChanged(ColourChange change) const override {
        if (PaintSettings.Tool == kToolPolygon) {
            PolygonColoursChanged(change);
            return;
        }
        ToolHandler::ColoursChanged(change);
    }
    void ShowWholeView(ImageBox& box) const override {
        if (PaintSettings.Tool == kToolPolygon && CanvasState.PolygonCount > 0) {
            DrawPolygonPreview();
            return;
        }
        ToolHandler::ShowWholeView(box);
    }
};

const ShapeHandler g_shapes;

}  // namespace

const ToolHandler& ShapeTools() { return g_shapes; }

void PolygonStylusDown(const ToolEvent& event) {
    const raster::Point point{event.ImageX(), event.ImageY()};
    if (CanvasState.PolygonCount < static_cast<std::uint32_t>(kPolygonRoom)) {
        CanvasState.PolygonPoints[CanvasState.PolygonCount] = point;
    }
    if (CanvasState.PolygonCount == 0) {
        CanvasState.PolygonCount = 1;
        TakeImageUndo();
    }
}

void PolygonStylusMove(const ToolEvent& event) {
    if (CanvasState.PolygonCount == 0) return;
    DrawPolygonWithMovingPoint(event.point.PolygonVertex());
}

void PolygonStylusUp(const ToolEvent& event) {
    if (CanvasState.PolygonCount == 0) return;
    AppendPolygonVertex(event.point.PolygonVertex());
    DrawPolygonPreview();
}

void PolygonColoursChanged(ColourChange change) {
    const bool alwaysShown = change == ColourChange::BackgroundOnBar || change == ColourChange::BackgroundInPopup ||
                             change == ColourChange::Transparency;
    if (CanvasState.PolygonCount != 0) {
        DrawPolygonPreview();
    } else if (alwaysShown) {
        // With no polygon open there is no preview to wipe: the picture may already differ
        // from the undo copy (a finished polygon, a dropped piece), and must stay as it is.
        RepaintView(true);
    }
}

void PolygonDoubleTap(const ToolEvent& event) {
    if (CanvasState.PolygonCount > 0) AppendPolygonVertex(event.point.PolygonVertex());
    ClosePolygon();
}
