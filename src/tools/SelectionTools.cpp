#include "tools/SelectionTools.h"

#include "shell/PaintSettings.h"
#include "tools/ToolIds.h"

namespace {

class SelectionHandler : public ToolHandler {
public:
    // The lasso and the polygon selection take their own copies.
    DownCopy CopyAtDown(const ToolEvent& event) const override {
        const bool own = event.tool == kToolSelectLasso || event.tool == kToolSelectPolygon;
        return own ? DownCopy::None : DownCopy::Image;
    }
    void StylusUp(ToolEvent& event) const override {
        if (event.tool == kToolDroppedToRectangle) PaintSettings.Tool = kToolSelectRectangle;
        if (event.tool == kToolDroppedToLasso) PaintSettings.Tool = kToolSelectLasso;
        if (event.tool == kToolDroppedToMagicWand) PaintSettings.Tool = kToolSelectMagicWand;
    }
};

const SelectionHandler g_selections;

}  // namespace

const ToolHandler& SelectionTools() { return g_selections; }
