#include "tools/SelectionTools.h"

#include "image/PaintSettings.h"
#include "image/View.h"
#include "tools/Selection.h"
#include "tools/ShapeTools.h"
#include "tools/Shapes.h"
#include "image/ToolIds.h"

namespace {

// While adding or subtracting, the piece being combined keeps its moving border on screen.
void DrawBorderOfHeldPiece() {
    if (CanvasState.SelectModifier == 0 || !FloatingPiece.maskBitmap) return;
    DrawPieceBorder(FloatingPiece.pieceX, FloatingPiece.pieceY, static_cast<int>(FloatingPiece.pieceWidth),
                    static_cast<int>(FloatingPiece.pieceHeight));
}

// The dragged rectangle as a dashed frame, shown and wiped from the image again.
void ShowRectanglePreview(const ToolEvent& event) {
    ImageBox& box = event.box;
    if (!box.workDc) return;
    const int x1 = box.anchorX + event.point.sx;
    const int y1 = box.anchorY + event.point.sy;
    SetPenNoFill(*box.workDc, 1, raster::MakeColour(0, 0, 0), kPenDashed);
    raster::Rectangle(*box.workDc, std::min(x1, event.ImageX()), std::min(y1, event.ImageY()),
                      std::max(x1, event.ImageX()), std::max(y1, event.ImageY()));
    DrawBorderOfHeldPiece();
    RepaintView(false);
}

// The polygon so far with the stylus point as its next vertex, beside the held piece's border.
void ShowPolygonSelectionPreview(const ToolEvent& event) {
    if (CanvasState.PolygonCount == 0) return;
    const raster::Point moving = event.point.PolygonVertex();
    DrawPolygonPoints(&moving);
    DrawBorderOfHeldPiece();
    RepaintView(false);
}

class SelectionHandler : public ToolHandler {
public:
    // The polygon selection takes its copy with its first vertex. A tap that only dropped the
    // piece keeps the drop's copy, the picture under the piece, for Undo to float it again.
    DownCopy CopyAtDown(const ToolEvent& event) const override {
        if (event.tool == kToolSelectPolygon) return DownCopy::None;
        const bool onlyDropped = event.tool == kToolDroppedToRectangle || event.tool == kToolDroppedToLasso ||
                                 event.tool == kToolDroppedToMagicWand;
        return event.pieceDropped && onlyDropped ? DownCopy::None : DownCopy::Image;
    }
    DownOutcome StylusDown(ToolEvent& event) const override {
        // The wand's copy was just taken and nothing the wand does before its release writes
        // the picture, so its fill may leave the picture alone (anything else that changes the
        // document in between makes this note stale).
        if (event.tool == kToolSelectMagicWand) NoteWorkEqualsUndo();
        if (event.tool == kToolSelectLasso) {
            if (CanvasState.SelectModifier != 0 && FloatingPiece.maskBitmap) {
                DrawBorderOfHeldPiece();
                RepaintView(false);
            }
            StartLasso(event.ImageX(), event.ImageY());
        }
        // A tap that dropped a piece only ends it; the next tap starts the polygon.
        if (event.tool == kToolSelectPolygon && !event.pieceDropped) PolygonStylusDown(event);
        return DownOutcome::Done;
    }
    void StylusMove(ToolEvent& event) const override {
        switch (event.tool) {
            case kToolSelectRectangle: ShowRectanglePreview(event); break;
            case kToolSelectPolygon: ShowPolygonSelectionPreview(event); break;
            case kToolSelectLasso:
                ExtendLasso(event.box.anchorX + event.point.sx, event.box.anchorY + event.point.sy, event.ImageX(),
                            event.ImageY());
                DrawStylusGuide(event);
                event.box.anchorX = event.point.vx;
                event.box.anchorY = event.point.vy;
                break;
            default: break;
        }
    }
    void StylusUp(ToolEvent& event) const override {
        if (!CanvasState.StylusDown) return;
        switch (event.tool) {
            case kToolSelectPolygon: PolygonStylusUp(event); break;
            case kToolSelectLasso:
                if (CanvasState.LassoStartX > -1) {
                    // Closed from the last point the lasso reached.
                    CloseLasso(event.box.anchorX + event.point.sx, event.box.anchorY + event.point.sy);
                    RepaintWholeView();
                }
                CanvasState.LassoStartX = -1;
                break;
            case kToolSelectMagicWand: {
                const raster::Point seed = event.point.SeedPoint();
                SelectWithWand(seed.x, seed.y);
                RepaintWholeView();
                break;
            }
            case kToolSelectRectangle:
                SelectRectangle(event.box.anchorX + event.point.sx, event.box.anchorY + event.point.sy,
                                event.ImageX(), event.ImageY());
                RepaintWholeView();
                break;
            case kToolDroppedToRectangle: PaintSettings.Tool = kToolSelectRectangle; break;
            case kToolDroppedToLasso: PaintSettings.Tool = kToolSelectLasso; break;
            case kToolDroppedToMagicWand: PaintSettings.Tool = kToolSelectMagicWand; break;
            default: break;
        }
    }
    void DoubleTap(ToolEvent& event) const override {
        if (event.tool == kToolSelectPolygon) PolygonDoubleTap(event);
    }
    void ColoursChanged(ColourChange change) const override {
        if (PaintSettings.Tool == kToolSelectPolygon) {
            PolygonColoursChanged(change);
            return;
        }
        ToolHandler::ColoursChanged(change);
    }
    void ShowWholeView(ImageBox& box) const override {
        if (PaintSettings.Tool == kToolSelectPolygon && CanvasState.PolygonCount > 0) {
            DrawPolygonPreview();
            return;
        }
        ToolHandler::ShowWholeView(box);
    }
};

const SelectionHandler g_selections;

}  // namespace

const ToolHandler& SelectionTools() { return g_selections; }
