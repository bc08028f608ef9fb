#include "tools/ToolHandler.h"

#include "image/PaintSettings.h"
#include "image/View.h"
#include "platform/Window.h"

void ToolHandler::ShowWholeView(ImageBox&) const { RepaintView(true); }

void ToolHandler::ColoursChanged(ColourChange change) const {
    if (change == ColourChange::Transparency) RepaintWholeView();
}

void ToolColoursChanged(ColourChange change) { HandlerForTool(PaintSettings.Tool).ColoursChanged(change); }

void RepaintChanged(const ToolEvent& event, const raster::Rect& viewBox) {
    if (ImageState.ZoomFactor != 1.0f) {
        RepaintWholeView();
        return;
    }
    const ImageBox& box = event.box;
    if (!box.window || !box.workDc) return;
    raster::BitBlt(box.window->GetDC(), viewBox.left, viewBox.top, viewBox.Width(), viewBox.Height(), *box.workDc,
                   viewBox.left + event.point.sx, viewBox.top + event.point.sy);
}

void ShowPreview() { RepaintView(false); }

void DrawStylusGuide(const ToolEvent& event) {
    if (!event.box.window) return;
    raster::DrawingContext& dc = event.box.window->GetDC();
    const raster::Pen before = dc.CurrentPen();
    dc.SetPen(raster::Pen{raster::PenStyle::Dash, 1, raster::MakeColour(255, 0, 0)});
    raster::MoveTo(dc, static_cast<int>(static_cast<float>(event.box.anchorX) * ImageState.ZoomFactor),
                   static_cast<int>(static_cast<float>(event.box.anchorY) * ImageState.ZoomFactor));
    raster::LineTo(dc, event.point.wx, event.point.wy);
    dc.SetPen(before);
}
