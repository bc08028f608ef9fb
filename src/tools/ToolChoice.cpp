#include "tools/ToolChoice.h"

#include "image/PaintSettings.h"
#include "tools/Canvas.h"
#include "tools/FloatingPieceTool.h"
#include "tools/HistorySteps.h"
#include "tools/SelectionTools.h"
#include "tools/Shapes.h"
#include "tools/ToolGroups.h"
#include "tools/ToolTable.h"

int ToolOfEntry(const ToolRow* row, int currentTool, int selectModifier) {
    if (!row) return -1;
    // A selection entry while the modifier is on keeps the piece floating: the next selection
    // is added to it or cut from it.
    if (row->handler == &SelectionTools() && selectModifier != 0) return kToolFloatingPiece;
    // Over a floating piece the gradient paints into the piece.
    if (row->id == kToolGradient && currentTool == kToolFloatingPiece) return kToolPieceGradient;
    return row->id;
}

void ApplyGroupTool() {
    const int group = PaintSettings.Group;
    if (group < 0 || group >= kToolGroupCount) return;
    const ToolGroup& entries = ToolGroups[group];
    const std::int16_t current = GroupCurrent(group);
    if (current < 0 || current >= entries.count) return;
    const ToolRow* row = entries.row[current];

    // A polygon in progress is finished before another tool takes over.
    const int chosen = ToolOfEntry(row, PaintSettings.Tool, CanvasState.SelectModifier);
    if (chosen >= 0 && chosen != PaintSettings.Tool) CloseOpenPolygon();
    const int tool = PaintSettings.Tool;
    // The gradient over the piece and a fill style leave the piece afloat: put down as well, it
    // would lie in the picture under itself, and Undo or a drag would show that copy.
    const int next = ToolOfEntry(row, tool, CanvasState.SelectModifier);
    const int after = next >= 0 ? next : tool;
    if (PieceOnCanvas() && after != kToolFloatingPiece && after != kToolPieceGradient) DropFloatingPiece();

    if (group == kGroupFillStyle) {
        PaintSettings.Fill = static_cast<std::int8_t>(current);
        PaintSettings.Group = CanvasState.PreviousGroup;
        RecordToolChoice(tool);
        return;
    }
    switch (row ? row->id : -1) {
        case kToolSelectPolygon:
        case kToolPolygon: CanvasState.PolygonCount = 0; break;
        case kToolGradient: CanvasState.GradientKind = static_cast<std::uint8_t>(row->kind); break;
        case kToolColourPicker: CanvasState.PreviousTool = static_cast<std::int8_t>(tool); break;
        case kToolZoomIn:
        case kToolZoomOut:
            if (tool != kToolZoomIn && tool != kToolZoomOut) CanvasState.PreviousTool = static_cast<std::int8_t>(tool);
            break;
        default: break;
    }
    if (next >= 0) PaintSettings.Tool = static_cast<std::int8_t>(next);
    // Dropping the piece or finishing a polygon changed the document.
    RecordToolChoice(tool);
}
