#include "tools/PickerAndZoom.h"

#include "image/View.h"
#include "shell/PaintSettings.h"
#include "tools/ToolIds.h"

namespace {

// The colour of the image pixel under the stylus; false outside the image.
bool PixelUnderStylus(const ToolEvent& event, raster::Colour& colour) {
    const raster::Colour c = raster::GetPixel(*event.box.workDc, event.ImageX(), event.ImageY());
    if (c == raster::kInvalidColour) return false;
    colour = c;
    return true;
}

void ReturnToPreviousTool() {
    PaintSettings.Tool = CanvasState.PreviousTool;
    PaintSettings.Group = CanvasState.PreviousGroup;
}

class PickerAndZoomHandler : public ToolHandler {
public:
    // Picking changes nothing; a zoom tap takes the copy as every other tap does.
    DownCopy CopyAtDown(const ToolEvent& event) const override {
        return event.tool == kToolColourPicker ? DownCopy::None : DownCopy::Image;
    }
    DownOutcome StylusDown(ToolEvent& event) const override {
        raster::Colour colour = 0;
        if (event.tool == kToolColourPicker && PixelUnderStylus(event, colour)) PaintSettings.FColor = colour;
        return DownOutcome::Done;
    }
    void StylusMove(ToolEvent& event) const override {
        raster::Colour colour = 0;
        if (event.tool != kToolColourPicker || !PixelUnderStylus(event, colour)) return;
        if (colour != PaintSettings.FColor) PaintSettings.FColor = colour;
    }
    void StylusUp(ToolEvent& event) const override {
        if (event.tool == kToolColourPicker) {
            raster::Colour colour = 0;
            if (PixelUnderStylus(event, colour)) PaintSettings.FColor = colour;
        } else {
            ZoomAt(ZoomFactor * (event.tool == kToolZoomIn ? 2.0f : 0.5f), event.point.vx, event.point.vy);
        }
        ReturnToPreviousTool();
    }
};

const PickerAndZoomHandler g_pickerAndZoom;

}  // namespace

const ToolHandler& PickerAndZoom() { return g_pickerAndZoom; }
