#include "tools/FillTools.h"

#include "tools/FloatingPieceTool.h"
#include "tools/ToolIds.h"

namespace {

class FillHandler : public ToolHandler {
public:
    DownCopy CopyAtDown(const ToolEvent& event) const override {
        return event.tool == kToolPieceGradient ? DownCopy::None : DownCopy::Image;
    }
    // Over a piece, the piece stays shown with its moving border.
    void Timer(ToolEvent& event, int timerId) const override {
        if (event.tool == kToolPieceGradient) TickPieceBorder(timerId);
    }
};

const FillHandler g_fill;

}  // namespace

const ToolHandler& FillTools() { return g_fill; }
