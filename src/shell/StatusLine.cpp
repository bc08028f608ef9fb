#include "shell/StatusLine.h"

#include <cmath>
#include <cstdio>

#include "image/ImageSlots.h"
#include "image/PaintSettings.h"
#include "image/ToolIds.h"
#include "tools/Canvas.h"

namespace {

std::string SizeText(long long width, long long height) {
    return std::to_string(width) + " \u00D7 " + std::to_string(height);
}

// The colour the user sees at an image point: the floating piece's where it covers the point,
// the picture's elsewhere.
raster::Colour ShownColour(int x, int y) {
    const FloatingPieceRecord& p = FloatingPiece;
    if (PieceOnCanvas() && p.pieceDc && p.maskBitmap) {
        const long long px = static_cast<long long>(x) - p.pieceX;
        const long long py = static_cast<long long>(y) - p.pieceY;
        if (px >= 0 && py >= 0 && px < p.maskBitmap->Width() && py < p.maskBitmap->Height() &&
            p.maskBitmap->Row(static_cast<int>(py))[px] != kMaskOutside) {
            const raster::Colour colour = raster::GetPixel(*p.pieceDc, static_cast<int>(px), static_cast<int>(py));
            // A transparent background lets the picture show through the piece.
            if (!(PaintSettings.Trans && colour == PaintSettings.BColor)) return colour;
        }
    }
    return raster::GetPixel(*CurrentBox().workDc, x, y);
}

std::string ColourText(raster::Colour colour) {
    const unsigned r = colour & 0xFF;
    const unsigned g = (colour >> 8) & 0xFF;
    const unsigned b = (colour >> 16) & 0xFF;
    char text[64];
    std::snprintf(text, sizeof text, "R %u  G %u  B %u  #%02X%02X%02X", r, g, b, r, g, b);
    return text;
}

}  // namespace

std::string ZoomPercentText(float zoom) {
    const double percent = static_cast<double>(zoom) * 100.0;
    char text[32];
    if (std::fabs(percent - std::round(percent)) < 0.05) {
        std::snprintf(text, sizeof text, "%.0f %%", percent);
    } else {
        std::snprintf(text, sizeof text, "%.1f %%", percent);
    }
    return text;
}

platform::StatusFields StatusFieldsNow() {
    platform::StatusFields fields;
    const ImageBox& box = CurrentBox();
    if (ImageState.CurrentImage == 0 || !box.workDc) return fields;
    fields.size = SizeText(box.width, box.height);
    fields.zoom = ZoomPercentText(ImageState.ZoomFactor);
    if (PieceOnCanvas() && FloatingPiece.pieceDc) {
        fields.piece = "Selection " + SizeText(FloatingPiece.pieceWidth, FloatingPiece.pieceHeight);
    }
    raster::Point point;
    if (PointerImagePoint(point) && point.x >= 0 && point.y >= 0 && point.x < box.width && point.y < box.height) {
        fields.pointer = std::to_string(point.x) + ", " + std::to_string(point.y);
        const raster::Colour colour = ShownColour(point.x, point.y);
        fields.colour = ColourText(colour);
        fields.colourValue = static_cast<int>(colour);
    }
    return fields;
}

void UpdateStatusBar() {
    platform::WindowChrome& chrome = platform::Chrome();
    if (!chrome.StatusBarShown()) return;
    chrome.SetStatusFields(StatusFieldsNow());
}
