#include "tools/RetouchTools.h"

#include "image/ToolIds.h"
#include "tools/BrushEngine.h"
#include "tools/FreehandTools.h"
#include "tools/RetouchDabs.h"

namespace {

class RetouchHandler : public ToolHandler {
public:
    // A smudge starts from the stylus-down point: the first move drags from there.
    DownOutcome StylusDown(ToolEvent& event) const override {
        CanvasState.Stroke = StartStroke(event.tool);
        if (event.tool == kToolSmudge) SmudgeDab(kSmudgeAnchorShape, nullptr, event.ImageX(), event.ImageY());
        return DownOutcome::Done;
    }

    void StylusMove(ToolEvent& event) const override {
        const CanvasPoint& p = event.point;
        if (event.tool == kToolSmudge) {
            // The smudge's segments leave the soft round shape's mode to the strokes that
            // keep theirs, as every stroke segment does.
            CanvasState.Stroke.stamp = ApplyStampRule(StampRule::Keep);
            StrokeSegment(CanvasState.Stroke, event.box.anchorX + p.sx, event.box.anchorY + p.sy, p.ImageX(),
                          p.ImageY());
        } else {
            Dab(CanvasState.Stroke, p.ImageX(), p.ImageY());
        }
        FollowStroke(event, p.vx, p.vy);
    }
};

const RetouchHandler g_retouch;

}  // namespace

const ToolHandler& RetouchTools() { return g_retouch; }
