#include "tools/FloatingPieceTool.h"

#include "image/PaintSettings.h"
#include "image/ToolIds.h"
#include "image/Undo.h"
#include "image/View.h"

namespace {

bool HitsPiece(int imageX, int imageY) {
    const FloatingPieceRecord& p = FloatingPiece;
    if (!p.maskBitmap) return false;
    const long long px = static_cast<long long>(imageX) - p.pieceX;
    const long long py = static_cast<long long>(imageY) - p.pieceY;
    if (px < 0 || py < 0 || px >= p.pieceWidth || py >= p.pieceHeight) return false;
    if (CanvasState.SelectModifier != 0) return false;
    if (px >= p.maskBitmap->Width() || py >= p.maskBitmap->Height()) return false;
    return p.maskBitmap->Row(static_cast<int>(py))[px] != kMaskOutside;
}

// The tool a tap outside the piece starts: the Select group's current entry; without the
// modifier a transient id that stylus-up turns into the selection tool.
int ToolAfterDrop() {
    const bool modifier = CanvasState.SelectModifier != 0;
    switch (PaintSettings.Select) {
        case 0: return modifier ? kToolSelectRectangle : kToolDroppedToRectangle;
        case 1: return modifier ? kToolSelectLasso : kToolDroppedToLasso;
        case 2: return modifier ? kToolSelectMagicWand : kToolDroppedToMagicWand;
        default: return kToolSelectPolygon;
    }
}

void ShowPieceAt(int x, int y) { ShowPiece(nullptr, x, y, false); }

class FloatingPieceHandler : public ToolHandler {
public:
    // A drag changes nothing until it ends; a drop takes its own copy.
    DownCopy CopyAtDown(const ToolEvent&) const override { return DownCopy::None; }
    DownOutcome StylusDown(ToolEvent& event) const override {
        if (HitsPiece(event.ImageX(), event.ImageY())) {
            // The piece will be dragged. The image is given back its undo copy now, as the
            // first display would, so every display of the drag draws the piece over the view alone.
            ImageBox& box = CurrentBox();
            if (!WorkKnownEqualToUndo() && box.workBitmap && box.undoBitmap &&
                box.workBitmap->Width() == box.undoBitmap->Width() &&
                box.workBitmap->Height() == box.undoBitmap->Height() &&
                box.workBitmap->BitsPerPixel() == box.undoBitmap->BitsPerPixel()) {
                CopyPixels(box.workBitmap, box.undoBitmap);
                NoteWorkEqualsUndo();
            }
            return DownOutcome::Done;
        }
        PaintSettings.Tool = static_cast<std::int8_t>(ToolAfterDrop());
        CanvasState.PolygonCount = 0;
        DropFloatingPiece();
        return DownOutcome::PassOn;
    }
    // Shown displaced, not moved until the stylus comes up.
    void StylusMove(ToolEvent& event) const override {
        ShowPieceAt(FloatingPiece.pieceX + (event.point.vx - event.box.anchorX),
                    FloatingPiece.pieceY + (event.point.vy - event.box.anchorY));
    }
    void StylusUp(ToolEvent& event) const override {
        if (!CanvasState.StylusDown) return;
        const int dx = event.point.vx - event.box.anchorX;
        const int dy = event.point.vy - event.box.anchorY;
        FloatingPiece.pieceX += dx;
        FloatingPiece.pieceY += dy;
        // Save writes the piece where it floats, so a move is an unsaved change; the image
        // itself is as it was.
        const bool clean = WorkKnownEqualToUndo();
        if (dx != 0 || dy != 0) MarkDocumentChanged();
        if (clean) NoteWorkEqualsUndo();
        ShowPieceAt(FloatingPiece.pieceX, FloatingPiece.pieceY);
    }
    void Timer(ToolEvent&, int timerId) const override { TickPieceBorder(timerId); }
    // The piece shows the background colour where it leaves out transparent pixels.
    void ColoursChanged(ColourChange change) const override {
        if (change != ColourChange::Foreground) ShowPieceAt(FloatingPiece.pieceX, FloatingPiece.pieceY);
    }
    void ShowWholeView(ImageBox& box) const override {
        if (!FloatingPiece.pieceBitmap) {
            ToolHandler::ShowWholeView(box);
            return;
        }
        ShowPieceAt(FloatingPiece.pieceX, FloatingPiece.pieceY);
    }
};

const FloatingPieceHandler g_floatingPiece;

}  // namespace

const ToolHandler& FloatingPieceTool() { return g_floatingPiece; }

void DropFloatingPiece() {
    if (TakeImageUndo() == 1) MarkUndoUnderPiece(FloatingPiece.pieceX, FloatingPiece.pieceY);
    ShowPiece(nullptr, FloatingPiece.pieceX, FloatingPiece.pieceY, true);
}

void TickPieceBorder(int timerId) {
    if (timerId != kTimerBorder || CanvasState.StylusDown) return;
    ShowPieceAt(FloatingPiece.pieceX, FloatingPiece.pieceY);
}
