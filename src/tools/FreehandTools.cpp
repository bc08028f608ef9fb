#include "tools/FreehandTools.h"

#include "image/PaintSettings.h"
#include "image/ToolIds.h"
#include "image/View.h"
#include "platform/Window.h"
#include "tools/BrushEngine.h"

namespace {

bool RepeatsAtRest(int tool) { return tool == kToolAirbrush || tool == kToolSpraycan; }

// One stroke step to the view point (vx, vy), from a move or, at rest, from the timer.
void StrokeTo(ToolEvent& event, int vx, int vy) {
    const int tool = event.tool;
    const int sx = event.point.sx;
    const int sy = event.point.sy;
    if (tool == kToolSpraycan) {
        Dab(CanvasState.Stroke, vx + sx, vy + sy);
    } else {
        StrokeSegment(CanvasState.Stroke, event.box.anchorX + sx, event.box.anchorY + sy, vx + sx, vy + sy);
    }
    FollowStroke(event, vx, vy);
    if (RepeatsAtRest(tool) && event.box.window) event.box.window->SetTimer(kTimerAirbrush, 1);
}

class FreehandHandler : public ToolHandler {
public:
    DownOutcome StylusDown(ToolEvent& event) const override {
        StartFreehandStroke(event);
        return DownOutcome::Done;
    }
    void StylusMove(ToolEvent& event) const override { StrokeTo(event, event.point.vx, event.point.vy); }
    void Timer(ToolEvent& event, int timerId) const override {
        if (timerId != kTimerAirbrush || !CanvasState.StylusDown || !RepeatsAtRest(event.tool)) return;
        StrokeTo(event, event.box.anchorX, event.box.anchorY);
    }
};

const FreehandHandler g_freehand;

}  // namespace

const ToolHandler& FreehandTools() { return g_freehand; }

void StartFreehandStroke(const ToolEvent& event) {
    CanvasState.Stroke = StartStroke(event.tool);
    Dab(CanvasState.Stroke, event.ImageX(), event.ImageY());
    const int size = LimitBrushSize(PaintSettings.Size);
    RepaintChanged(event, ChangedBox(event.point.vx, event.point.vy, event.point.vx, event.point.vy, size));
}

void FollowStroke(ToolEvent& event, int vx, int vy) {
    const int size = LimitBrushSize(PaintSettings.Size);
    RepaintChanged(event, ChangedBox(event.box.anchorX, event.box.anchorY, vx, vy, size));
    event.box.anchorX = vx;
    event.box.anchorY = vy;
}
