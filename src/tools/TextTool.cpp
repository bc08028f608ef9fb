#include "tools/TextTool.h"

#include <cstring>

#include "image/View.h"
#include "image/PaintSettings.h"
#include "image/ToolIds.h"
#include "tools/Canvas.h"

TextToolSettingsRecord TextToolSettings;

void ResetTextToolSettings() { TextToolSettings = TextToolSettingsRecord{}; }

std::unique_ptr<raster::Font> MakeTextToolFont() {
    const TextToolSettingsRecord& s = TextToolSettings;
    platform::FontSpec wanted;
    // The size is the character height; 0 lets the platform choose.
    wanted.height = -static_cast<int>(s.size);
    wanted.weight = s.bold ? 700 : 400;
    wanted.italic = s.italic != 0;
    wanted.underline = s.underline != 0;
    wanted.antialiased = s.antiAliased != 0;
    wanted.face = s.faceName;
    return platform::MakeFont(wanted);
}

namespace {

// The whole piece is selected; its outline is the border.
void SelectWholeMask(PixelBuffer& mask, int width, int height) {
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = mask.Row(y);
        const bool edgeRow = y == 0 || y == height - 1;
        std::memset(row, edgeRow ? kMaskBorder : kMaskInside, static_cast<std::size_t>(width));
        row[0] = kMaskBorder;
        row[width - 1] = kMaskBorder;
    }
}

class TextToolHandler : public ToolHandler {
public:
    void StylusUp(ToolEvent& event) const override {
        if (!CanvasState.StylusDown || !CanvasHooks.RunTextToolDialog) return;
        if (CanvasHooks.RunTextToolDialog() != 1) return;
        PlaceTextPiece(event.box.anchorX + event.point.sx, event.box.anchorY + event.point.sy);
    }
};

const TextToolHandler g_textTool;

}  // namespace

int PlaceTextPiece(int x, int y) {
    const TextToolSettingsRecord& s = TextToolSettings;
    const raster::Font* font = s.font.get();
    // An empty text makes no piece (nor a message about memory it never needed).
    if (!font || s.text.empty()) return 0;
    const platform::TextSize measured = platform::MeasureText(*font, s.text);
    const int width = measured.width + (s.italic ? s.size / 4 : 0);
    const int height = measured.height;
    if (width <= 0 || height <= 0) return 0;
    if (CreateFloatingPiece(width, height) != 1) return 0;
    FloatingPieceRecord& piece = FloatingPiece;
    raster::DrawingContext& dc = *piece.pieceDc;
    raster::FillRect(dc, raster::Rect{0, 0, width, height}, PaintSettings.BColor);
    dc.SetFont(font);
    dc.SetTextColour(PaintSettings.FColor);
    platform::DrawText(dc, 0, 0, s.text);
    dc.SetFont(nullptr);
    SelectWholeMask(*piece.maskBitmap, width, height);
    piece.pieceX = piece.savedPieceX = x;
    piece.pieceY = piece.savedPieceY = y;
    ShowPiece(nullptr, x, y, false);
    PaintSettings.Group = 0;
    PaintSettings.Tool = kToolFloatingPiece;
    NotifyToolChanged();
    return 1;
}

const ToolHandler& TextTool() { return g_textTool; }
