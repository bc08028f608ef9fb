#include "tools/HistorySteps.h"

#include <algorithm>
#include <vector>

#include "image/History.h"
#include "image/ImageSlots.h"
#include "image/PaintSettings.h"
#include "image/ToolIds.h"
#include "platform/raster/Draw.h"
#include "tools/Canvas.h"
#include "tools/ToolTable.h"

namespace {

struct CanvasActionRecord {
    bool active = false;
    int tool = 0;
    bool pieceDropped = false;
    bool continuesPolygon = false;  // a later vertex of a polygon: its tool is already chosen
    std::vector<raster::Point> points;
};

CanvasActionRecord Action;

// A free-hand or retouch stroke changes pixels only near its path: the path's box, grown by
// more than any brush reaches. Other tools may change anything.
bool ChangesNearPath(int tool) { return IsPaintTool(tool) || IsRetouchTool(tool); }

raster::Rect PathArea() {
    const int reach = 2 * static_cast<int>(std::min<std::uint32_t>(PaintSettings.Size, 64)) + 8;
    raster::Rect area{Action.points[0].x, Action.points[0].y, Action.points[0].x + 1, Action.points[0].y + 1};
    for (const raster::Point& p : Action.points) {
        area.left = std::min(area.left, p.x);
        area.top = std::min(area.top, p.y);
        area.right = std::max(area.right, p.x + 1);
        area.bottom = std::max(area.bottom, p.y + 1);
    }
    return raster::Rect{area.left - reach, area.top - reach, area.right + reach, area.bottom + reach};
}

std::string PointList() {
    std::string text;
    for (const raster::Point& p : Action.points) {
        text += (text.empty() ? "" : ",") + std::to_string(p.x) + "," + std::to_string(p.y);
    }
    return text;
}

// The tool as the batch's "tool=" chooses it; "" for the floating piece, which no button chooses.
std::string ToolWords(int tool) {
    if (tool == kToolDroppedToRectangle) tool = kToolSelectRectangle;
    if (tool == kToolDroppedToLasso) tool = kToolSelectLasso;
    if (tool == kToolDroppedToMagicWand) tool = kToolSelectMagicWand;
    if (tool == kToolFloatingPiece || tool == kToolPieceGradient) return "";
    if (tool == kToolGradient) return "tool=50," + std::to_string(CanvasState.GradientKind) + " ";
    return "tool=" + std::to_string(tool) + " ";
}

std::string ActionLabel() {
    const int tool = Action.tool;
    if (Action.pieceDropped) {
        return PaintSettings.Tool == kToolFloatingPiece ? ToolStepLabel(tool) : "Drop Selection";
    }
    return ToolStepLabel(tool);
}

// The first display name the rows give the tool.
const char* NameOfTool(int tool) {
    for (const ToolRow& row : ToolRows()) {
        if (row.id == tool && row.name) return row.name;
    }
    return nullptr;
}

}  // namespace

std::string ToolStepLabel(int tool) {
    switch (tool) {
        case kToolFloatingPiece: return "Move Selection";
        case kToolDroppedToRectangle: return ToolStepLabel(kToolSelectRectangle);
        case kToolDroppedToLasso: return ToolStepLabel(kToolSelectLasso);
        case kToolDroppedToMagicWand: return ToolStepLabel(kToolSelectMagicWand);
        case kToolGradient:
        case kToolPieceGradient: {
            const ToolRow* row = RowOfEntry(kToolGradient, CanvasState.GradientKind ? 1 : 0);
            return row && row->name ? row->name : "Gradient";
        }
        case kToolText: return "Text";
        default: break;
    }
    const char* name = NameOfTool(tool);
    const std::string label = name ? name : "Edit";
    return ChangesNearPath(tool) ? label + " Stroke" : label;
}

void BeginCanvasAction(int tool, bool pieceDropped, int imageX, int imageY) {
    const bool polygonTool = tool == kToolPolygon || tool == kToolSelectPolygon;
    Action.continuesPolygon = polygonTool && CanvasState.PolygonCount > 1 && !pieceDropped;
    Action.active = true;
    Action.tool = tool;
    Action.pieceDropped = pieceDropped;
    Action.points.assign(1, raster::Point{imageX, imageY});
}

void ExtendCanvasAction(int imageX, int imageY) {
    if (Action.active) Action.points.push_back(raster::Point{imageX, imageY});
}

void EndCanvasAction(int tool, int imageX, int imageY) {
    if (!Action.active) {
        // The press went to another window, but the tool's release ran all the same: the zoom
        // and the colour picker give the tool back, which floats a piece their choice put down.
        RecordHistoryStep(ToolStepLabel(tool), "");
        return;
    }
    Action.active = false;
    if (Action.points.back().x != imageX || Action.points.back().y != imageY) {
        Action.points.push_back(raster::Point{imageX, imageY});
    }
    const std::string words =
        (Action.continuesPolygon ? std::string() : ToolWords(Action.tool)) + "stroke=" + PointList();
    const raster::Rect area = PathArea();
    const bool recorded = RecordHistoryStep(ActionLabel(), words, ChangesNearPath(Action.tool) ? &area : nullptr);
    if (!recorded) KeepHistoryWords(words);
}

void DoubleTapCanvasAction(int imageX, int imageY) {
    const int tool = PaintSettings.Tool;
    const std::string words = "double-tap=" + std::to_string(imageX) + "," + std::to_string(imageY);
    Action.active = false;
    if (!RecordHistoryStep(ToolStepLabel(tool), words)) KeepHistoryWords(words);
}

void RecordToolChoice(int toolBefore) {
    const bool floated = toolBefore == kToolFloatingPiece || toolBefore == kToolPieceGradient;
    // A choice that leaves the piece afloat changed nothing of the document.
    if (floated && PieceOnCanvas()) return;
    RecordHistoryStep(floated ? "Drop Selection" : ToolStepLabel(toolBefore), "");
}

void ResetCanvasAction() { Action = CanvasActionRecord{}; }
