#include "tools/ToolChoice.h"

#include "image/PaintSettings.h"
#include "tools/Canvas.h"
#include "tools/FloatingPieceTool.h"
#include "tools/HistorySteps.h"
#include "tools/Shapes.h"
#include "tools/ToolGroups.h"

namespace {

// A selection entry while the modifier is on keeps the piece floating: the next selection
// is added to it or cut from it.
int SelectionTool(int tool, int selectModifier) { return selectModifier != 0 ? kToolFloatingPiece : tool; }

int GradientTool(int currentTool) { return currentTool == kToolFloatingPiece ? kToolPieceGradient : kToolGradient; }

}  // namespace

int ToolOfBarCommand(std::int16_t command, int currentTool, int selectModifier) {
    switch (command) {
        case kBarSelectRectangle: return SelectionTool(kToolSelectRectangle, selectModifier);
        case kBarSelectLasso: return SelectionTool(kToolSelectLasso, selectModifier);
        case kBarSelectMagicWand: return SelectionTool(kToolSelectMagicWand, selectModifier);
        case kBarSelectPolygon: return SelectionTool(kToolSelectPolygon, selectModifier);
        case kBarPen: return kToolPen;
        case kBarBrush: return kToolBrush;
        case kBarAirbrush: return kToolAirbrush;
        case kBarSpraycan: return kToolSpraycan;
        case kBarEraser: return kToolEraser;
        case kBarLine: return kToolLine;
        case kBarRectangle: return kToolRectangle;
        case kBarRoundedRectangle: return kToolRoundedRectangle;
        case kBarEllipse: return kToolEllipse;
        case kBarPolygon: return kToolPolygon;
        case kBarFloodFill: return kToolFloodFill;
        case kBarLinearGradient:
        case kBarCircularGradient: return GradientTool(currentTool);
        case kBarBlur: return kToolBlur;
        case kBarSharpen: return kToolSharpen;
        case kBarSmudge: return kToolSmudge;
        case kBarRedEyeReduction: return kToolRedEyeReduction;
        case kBarLighter: return kToolLighter;
        case kBarDarker: return kToolDarker;
        case kBarTint: return kToolTint;
        case kBarHealingBrush: return kToolHealingBrush;
        case kBarColourPicker: return kToolColourPicker;
        case kBarText: return kToolText;
        case kBarZoomIn: return kToolZoomIn;
        case kBarZoomOut: return kToolZoomOut;
        default: return -1;
    }
}

void ApplyGroupTool() {
    const int group = PaintSettings.Group;
    if (group < 0 || group >= kToolGroupCount) return;
    const ToolGroup& entries = ToolGroups[group];
    const std::int16_t current = GroupCurrent(group);
    if (current < 0 || current >= entries.count) return;
    const std::int16_t command = entries.command[current];

    // A polygon in progress is finished before another tool takes over.
    const int chosen = ToolOfBarCommand(command, PaintSettings.Tool, CanvasState.SelectModifier);
    if (chosen >= 0 && chosen != PaintSettings.Tool) CloseOpenPolygon();
    const int tool = PaintSettings.Tool;
    // The gradient over the piece and a fill style leave the piece afloat: put down as well, it
    // would lie in the picture under itself, and Undo or a drag would show that copy.
    const int next = ToolOfBarCommand(command, tool, CanvasState.SelectModifier);
    const int after = next >= 0 ? next : tool;
    if (PieceOnCanvas() && after != kToolFloatingPiece && after != kToolPieceGradient) DropFloatingPiece();

    switch (command) {
        case kBarSelectPolygon:
        case kBarPolygon: CanvasState.PolygonCount = 0; break;
        case kBarLinearGradient: CanvasState.GradientKind = 0; break;
        case kBarCircularGradient: CanvasState.GradientKind = 1; break;
        case kBarColourPicker: CanvasState.PreviousTool = static_cast<std::int8_t>(tool); break;
        case kBarZoomIn:
        case kBarZoomOut:
            if (tool != kToolZoomIn && tool != kToolZoomOut) CanvasState.PreviousTool = static_cast<std::int8_t>(tool);
            break;
        case kBarFillHollow: PaintSettings.Fill = 0; break;
        case kBarFillOutlined: PaintSettings.Fill = 1; break;
        case kBarFillSolid: PaintSettings.Fill = 2; break;
        default: break;
    }
    if (command == kBarFillHollow || command == kBarFillOutlined || command == kBarFillSolid) {
        PaintSettings.Group = CanvasState.PreviousGroup;
        RecordToolChoice(tool);
        return;
    }
    if (next >= 0) PaintSettings.Tool = static_cast<std::int8_t>(next);
    // Dropping the piece or finishing a polygon changed the document.
    RecordToolChoice(tool);
}
