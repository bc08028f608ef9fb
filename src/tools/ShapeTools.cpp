#include "tools/ShapeTools.h"

#include "tools/FreehandTools.h"
#include "tools/ToolIds.h"

namespace {

class ShapeHandler : public ToolHandler {
public:
    // The polygon takes its copy with its first vertex.
    DownCopy CopyAtDown(const ToolEvent& event) const override {
        return event.tool == kToolPolygon ? DownCopy::None : DownCopy::Image;
    }
    // The line begins with a dab of the brush, as a stroke does.
    DownOutcome StylusDown(ToolEvent& event) const override {
        if (event.tool == kToolLine) StartFreehandStroke(event);
        return DownOutcome::Done;
    }
};

const ShapeHandler g_shapes;

}  // namespace

const ToolHandler& ShapeTools() { return g_shapes; }
