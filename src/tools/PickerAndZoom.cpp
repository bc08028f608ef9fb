#include "tools/PickerAndZoom.h"

#include "image/ImageSlots.h"
#include "image/PaintSettings.h"
#include "image/ToolIds.h"
#include "image/View.h"

namespace {

// Takes the colour of the image pixel under the stylus as the foreground colour; outside
// the image the colour stays. With onlyChanges, a pixel of the colour already chosen is no news.
void PickColour(const ToolEvent& event, bool onlyChanges) {
    const raster::Colour c = raster::GetPixel(*event.box.workDc, event.ImageX(), event.ImageY());
    if (c == raster::kInvalidColour || (onlyChanges && c == PaintSettings.FColor)) return;
    PaintSettings.FColor = c;
    NotifyForegroundPicked();
}

void ReturnToPreviousTool() {
    PaintSettings.Tool = CanvasState.PreviousTool;
    PaintSettings.Group = CanvasState.PreviousGroup;
    // Back to a floating piece that choosing this tool put down, the piece is shown at once, as
    // the border's next tick would show it: over the undo copy, the picture under it, so that
    // the picture no longer changes after the step is recorded.
    if (PieceOnCanvas() && FloatingPiece.pieceBitmap) RepaintWholeView();
    NotifyToolChanged();
}

class PickerAndZoomHandler : public ToolHandler {
public:
    // Picking changes nothing; a zoom tap takes the copy as every other tap does.
    DownCopy CopyAtDown(const ToolEvent& event) const override {
        return event.tool == kToolColourPicker ? DownCopy::None : DownCopy::Image;
    }
    DownOutcome StylusDown(ToolEvent& event) const override {
        if (event.tool == kToolColourPicker) PickColour(event, false);
        return DownOutcome::Done;
    }
    void StylusMove(ToolEvent& event) const override {
        if (event.tool == kToolColourPicker) PickColour(event, true);
    }
    void StylusUp(ToolEvent& event) const override {
        if (event.tool == kToolColourPicker) {
            PickColour(event, false);
        } else {
            ZoomAt(ImageState.ZoomFactor * (event.tool == kToolZoomIn ? 2.0f : 0.5f), event.point.vx, event.point.vy);
        }
        ReturnToPreviousTool();
    }
};

const PickerAndZoomHandler g_pickerAndZoom;

}  // namespace

const ToolHandler& PickerAndZoom() { return g_pickerAndZoom; }
