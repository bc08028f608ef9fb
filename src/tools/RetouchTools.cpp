#include "tools/RetouchTools.h"

#include "tools/BrushEngine.h"
#include "tools/FreehandTools.h"
#include "tools/ToolIds.h"

namespace {

class RetouchHandler : public ToolHandler {
public:
    void StylusMove(ToolEvent& event) const override {
        const CanvasPoint& p = event.point;
        if (event.tool == kToolSmudge) {
            StrokeSegment(event.box.anchorX + p.sx, event.box.anchorY + p.sy, p.ImageX(), p.ImageY());
        } else {
            Dab(p.ImageX(), p.ImageY());
        }
        FollowStroke(event, p.vx, p.vy);
    }
};

const RetouchHandler g_retouch;

}  // namespace

const ToolHandler& RetouchTools() { return g_retouch; }
