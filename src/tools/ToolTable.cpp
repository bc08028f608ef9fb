// The one table from tool id to handler. A new tool family is a row here.
#include "tools/ToolTable.h"

#include <array>

#include "tools/FillTools.h"
#include "tools/FloatingPieceTool.h"
#include "tools/FreehandTools.h"
#include "tools/PickerAndZoom.h"
#include "tools/RetouchTools.h"
#include "tools/SelectionTools.h"
#include "tools/ShapeTools.h"
#include "tools/TextTool.h"

namespace {

// Ids of no tool only take the image undo copy at stylus-down.
const ToolHandler g_plainTool;

using HandlerTable = std::array<const ToolHandler*, kToolIdRoom>;

HandlerTable MakeHandlerTable() {
    HandlerTable table;
    table.fill(&g_plainTool);
    for (const ToolTableRow& row : ToolTableRows()) {
        for (const ToolId tool : row.tools) table[static_cast<std::size_t>(tool)] = &row.handler;
    }
    return table;
}

}  // namespace

const std::vector<ToolTableRow>& ToolTableRows() {
    static const std::vector<ToolTableRow> rows = {
        {FreehandTools(), {kToolPen, kToolBrush, kToolEraser, kToolAirbrush, kToolSpraycan}},
        {ShapeTools(), {kToolLine, kToolRectangle, kToolRoundedRectangle, kToolEllipse, kToolPolygon}},
        {FillTools(), {kToolFloodFill, kToolGradient, kToolPieceGradient}},
        {SelectionTools(),
         {kToolSelectRectangle, kToolSelectPolygon, kToolSelectLasso, kToolSelectMagicWand, kToolDroppedToRectangle,
          kToolDroppedToLasso, kToolDroppedToMagicWand}},
        {FloatingPieceTool(), {kToolFloatingPiece}},
        {RetouchTools(),
         {kToolBlur, kToolSharpen, kToolSmudge, kToolRedEyeReduction, kToolLighter, kToolDarker, kToolTint,
          kToolHealingBrush}},
        {PickerAndZoom(), {kToolColourPicker, kToolZoomIn, kToolZoomOut}},
        {TextTool(), {kToolText}},
    };
    return rows;
}

const ToolHandler& HandlerForTool(int tool) {
    static const HandlerTable table = MakeHandlerTable();
    if (tool < 0 || tool >= kToolIdRoom) return g_plainTool;
    return *table[static_cast<std::size_t>(tool)];
}
