#include "tools/FillTools.h"

#include "image/PaintSettings.h"
#include "image/ToolIds.h"
#include "image/View.h"
#include "tools/FloatingPieceTool.h"
#include "tools/FloodFill.h"
#include "tools/Gradient.h"

namespace {

bool IsGradient(int tool) { return tool == kToolGradient || tool == kToolPieceGradient; }

void ShowFloatingPiece() { ShowPiece(nullptr, FloatingPiece.pieceX, FloatingPiece.pieceY, false); }

// The gradient from the stylus-down point to the stylus-up point, image points.
void DrawGradientOver(const ToolEvent& event) {
    const ImageBox& box = event.box;
    const int x1 = box.anchorX + event.point.sx;
    const int y1 = box.anchorY + event.point.sy;
    const int x2 = event.ImageX();
    const int y2 = event.ImageY();
    const int kind = CanvasState.GradientKind;
    if (event.tool == kToolGradient) {
        DrawGradient(box.workBitmap, x1, y1, x2, y2, kind);
        RepaintWholeView();
        return;
    }
    // Over the piece the points are taken from its corner; its whole rectangle is painted and
    // its mask decides what shows.
    const FloatingPieceRecord& piece = FloatingPiece;
    DrawGradient(piece.pieceBitmap, x1 - piece.pieceX, y1 - piece.pieceY, x2 - piece.pieceX, y2 - piece.pieceY, kind);
    ShowFloatingPiece();
}

class FillHandler : public ToolHandler {
public:
    // Over a piece the gradient changes the piece, so the piece takes the copy.
    DownCopy CopyAtDown(const ToolEvent& event) const override {
        return event.tool == kToolPieceGradient ? DownCopy::Piece : DownCopy::Image;
    }
    // The gradient's direction follows the stylus as a guide on the window only.
    void StylusMove(ToolEvent& event) const override {
        if (!IsGradient(event.tool)) return;
        RepaintWholeView();
        DrawStylusGuide(event);
    }
    void StylusUp(ToolEvent& event) const override {
        if (!CanvasState.StylusDown) return;
        if (IsGradient(event.tool)) {
            DrawGradientOver(event);
            return;
        }
        if (event.tool != kToolFloodFill) return;
        const raster::Point seed = event.point.SeedPoint();
        FloodFill(ImageState.CurrentImage, seed.x, seed.y,
                  FillPaint{PaintSettings.FColor, false, PaintSettings.FTolerance});
        RepaintWholeView();
    }
    // Over a piece, the piece stays shown with its moving border.
    void Timer(ToolEvent& event, int timerId) const override {
        if (event.tool == kToolPieceGradient) TickPieceBorder(timerId);
    }
    // The piece under the gradient shows a background picked in the popup (the bar's pick
    // leaves it as it is).
    void ColoursChanged(ColourChange change) const override {
        if (PaintSettings.Tool == kToolPieceGradient && change == ColourChange::BackgroundInPopup) {
            ShowFloatingPiece();
            return;
        }
        ToolHandler::ColoursChanged(change);
    }
    void ShowWholeView(ImageBox& box) const override {
        if (PaintSettings.Tool == kToolPieceGradient && FloatingPiece.pieceBitmap) {
            ShowFloatingPiece();
            return;
        }
        ToolHandler::ShowWholeView(box);
    }
};

const FillHandler g_fill;

}  // namespace

const ToolHandler& FillTools() { return g_fill; }
