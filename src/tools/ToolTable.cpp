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
#include "tools/ToolGroups.h"

namespace {

// Ids of no tool only take the image undo copy at stylus-down.
const ToolHandler g_plainTool;

std::vector<ToolRow> MakeRows() {
    using S = ToolStored;
    using R = StampRule;
    const ToolHandler* shapes = &ShapeTools();
    const ToolHandler* selections = &SelectionTools();
    const ToolHandler* freehand = &FreehandTools();
    const ToolHandler* retouch = &RetouchTools();
    const ToolHandler* fills = &FillTools();
    const ToolHandler* pickerAndZoom = &PickerAndZoom();
    // id, kind, group, place, name, tile, stored, stamp, handler
    return {
        {kToolLine, 0, kGroupShape, 0, "Line", 1, S::Yes, R::Keep, shapes},
        {kToolRectangle, 0, kGroupShape, 1, "Rectangle", 6, S::Yes, R::None, shapes},
        {kToolRoundedRectangle, 0, kGroupShape, 2, "Rounded Rectangle", 7, S::Yes, R::None, shapes},
        {kToolEllipse, 0, kGroupShape, 3, "Ellipse", 8, S::Yes, R::None, shapes},
        {kToolSelectRectangle, 0, kGroupSelect, 0, "Select Rectangle", 3, S::Yes, R::None, selections},
        {kToolFloatingPiece, 0, kNoToolGroup, 0, nullptr, 0, S::No, R::None, &FloatingPieceTool()},
        {kToolZoomIn, 0, kGroupZoom, 0, "Zoom In", 17, S::AsPen, R::None, pickerAndZoom},
        {kToolZoomOut, 0, kGroupZoom, 1, "Zoom Out", 18, S::AsPen, R::None, pickerAndZoom},
        {kToolPolygon, 0, kGroupShape, 4, "Polygon", 9, S::Yes, R::None, shapes},
        {kToolSelectPolygon, 0, kGroupSelect, 3, "Select Polygon", 4, S::Yes, R::None, selections},
        {kToolSelectLasso, 0, kGroupSelect, 1, "Select Lasso", 34, S::Yes, R::None, selections},
        {kToolSelectMagicWand, 0, kGroupSelect, 2, "Select Magic Wand", 36, S::Yes, R::None, selections},
        {kToolFloodFill, 0, kGroupArea, 0, "Flood Fill", 13, S::Yes, R::None, fills},
        {kToolColourPicker, 0, kGroupPicker, 0, "Color Picker", 5, S::AsPen, R::None, pickerAndZoom},
        {kToolText, 0, kGroupText, 0, "Text", 14, S::Yes, R::None, &TextTool()},
        {kToolPen, 0, kGroupPen, 0, "Pen", 2, S::Yes, R::Hard, freehand},
        {kToolBrush, 0, kGroupPen, 1, "Brush", 24, S::Yes, R::Soft, freehand},
        {kToolEraser, 0, kGroupPen, 4, "Eraser", 19, S::Yes, R::Hard, freehand},
        {kToolAirbrush, 0, kGroupPen, 2, "Airbrush", 25, S::Yes, R::Airbrush, freehand},
        {kToolSpraycan, 0, kGroupPen, 3, "Spraycan", 23, S::Yes, R::Keep, freehand},
        {kToolBlur, 0, kGroupFilter, 0, "Blur", 26, S::Yes, R::None, retouch},
        {kToolSharpen, 0, kGroupFilter, 1, "Sharpen", 27, S::Yes, R::None, retouch},
        {kToolSmudge, 0, kGroupFilter, 2, "Smudge", 28, S::Yes, R::None, retouch},
        {kToolRedEyeReduction, 0, kGroupFilter, 6, "Red Eye Reduction", 30, S::Yes, R::None, retouch},
        {kToolLighter, 0, kGroupFilter, 3, "Lighter", 32, S::Yes, R::None, retouch},
        {kToolDarker, 0, kGroupFilter, 4, "Darker", 33, S::Yes, R::None, retouch},
        {kToolTint, 0, kGroupFilter, 5, "Tint", 35, S::Yes, R::None, retouch},
        {kToolHealingBrush, 0, kGroupFilter, 7, "Healing Brush", 31, S::Yes, R::None, retouch},
        {kToolGradient, 0, kGroupArea, 1, "Linear Gradient", 37, S::Yes, R::None, fills},
        {kToolGradient, 1, kGroupArea, 2, "Circular Gradient", 38, S::Yes, R::None, fills},
        {kToolPieceGradient, 0, kNoToolGroup, 0, nullptr, 0, S::No, R::None, fills},
        {kToolDroppedToRectangle, 0, kNoToolGroup, 0, nullptr, 0, S::No, R::None, selections},
        {kToolDroppedToLasso, 0, kNoToolGroup, 0, nullptr, 0, S::No, R::None, selections},
        {kToolDroppedToMagicWand, 0, kNoToolGroup, 0, nullptr, 0, S::No, R::None, selections},
    };
}

using RowIndex = std::array<const ToolRow*, kToolIdRoom>;

RowIndex MakeRowIndex() {
    RowIndex index{};
    for (const ToolRow& row : ToolRows()) {
        const auto id = static_cast<std::size_t>(row.id);
        if (!index[id]) index[id] = &row;
    }
    return index;
}

}  // namespace

const std::vector<ToolRow>& ToolRows() {
    static const std::vector<ToolRow> rows = MakeRows();
    return rows;
}

const ToolRow* RowOfTool(int tool) {
    static const RowIndex index = MakeRowIndex();
    if (tool < 0 || tool >= kToolIdRoom) return nullptr;
    return index[static_cast<std::size_t>(tool)];
}

const ToolRow* RowOfEntry(int tool, int kind) {
    for (const ToolRow& row : ToolRows()) {
        if (row.id == tool && row.kind == kind) return &row;
    }
    return nullptr;
}

const ToolHandler& HandlerForTool(int tool) {
    const ToolRow* row = RowOfTool(tool);
    return row ? *row->handler : g_plainTool;
}
