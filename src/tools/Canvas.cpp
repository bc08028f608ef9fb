#include "tools/Canvas.h"

#include <algorithm>
#include <utility>

#include "image/ImageSlots.h"
#include "image/Undo.h"
#include "image/View.h"
#include "platform/Window.h"
#include "shell/PaintSettings.h"
#include "tools/BrushEngine.h"
#include "tools/ToolIds.h"

CanvasStateRecord CanvasState;

void ResetCanvasState() { CanvasState = CanvasStateRecord{}; }

CanvasPoint CanvasCoordinates(int windowX, int windowY, std::int32_t scrollX, std::int32_t scrollY, float zoom) {
    const float inv = 1.0f / zoom;
    CanvasPoint p;
    // Stylus points arrive as 16-bit window coordinates.
    p.vx = static_cast<int>(static_cast<float>(static_cast<std::int16_t>(windowX)) * inv);
    p.vy = static_cast<int>(static_cast<float>(static_cast<std::int16_t>(windowY)) * inv);
    p.sx = static_cast<int>(static_cast<float>(scrollX) * inv);
    p.sy = static_cast<int>(static_cast<float>(scrollY) * inv);
    return p;
}

raster::Rect ChangedBox(int x1, int y1, int x2, int y2, int size) {
    return raster::Rect{std::min(x1, x2) - size, std::min(y1, y2) - size, std::max(x1, x2) + size,
                        std::max(y1, y2) + size};
}

namespace {

bool IsFreehandTool(int tool) { return tool == kToolLine || IsPaintTool(tool); }
bool IsPolygonTool(int tool) { return tool >= kToolPolygon && tool <= kToolSelectPolygon; }

CanvasPoint PointOf(const ImageBox& box, int windowX, int windowY) {
    return CanvasCoordinates(windowX, windowY, box.scrollX, box.scrollY, ZoomFactor);
}

// At 100 % only the changed box (view units) is copied to the window; at any other zoom the
// whole view is redrawn.
void RepaintChanged(const ImageBox& box, const raster::Rect& viewBox, int sx, int sy) {
    if (ZoomFactor != 1.0f) {
        RepaintWholeView();
        return;
    }
    if (!box.window || !box.workDc) return;
    raster::BitBlt(box.window->GetDC(), viewBox.left, viewBox.top, viewBox.Width(), viewBox.Height(), *box.workDc,
                   viewBox.left + sx, viewBox.top + sy);
}

// The eraser paints with the background colour: the colours change places around its dabs.
void ExchangeColoursFor(int tool) {
    if (tool == kToolEraser) std::swap(PaintSettings.FColor, PaintSettings.BColor);
}

// The colour of the image pixel at (x, y); false outside the image.
bool PixelUnderStylus(const ImageBox& box, int x, int y, raster::Colour& colour) {
    if (!box.workDc) return false;
    const raster::Colour c = raster::GetPixel(*box.workDc, x, y);
    if (c == raster::kInvalidColour) return false;
    colour = c;
    return true;
}

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

// A tap outside the floating piece puts it down; returns true when the next tool is the
// polygon selection (which starts no undo copy of its own).
bool DropPieceForTap() {
    const int entry = PaintSettings.Select;
    int next = kToolSelectPolygon;
    if (CanvasState.SelectModifier == 0) {
        if (entry == 0) next = kToolDroppedToRectangle;
        if (entry == 1) next = kToolDroppedToLasso;
        if (entry == 2) next = kToolDroppedToMagicWand;
    } else {
        if (entry == 0) next = kToolSelectRectangle;
        if (entry == 1) next = kToolSelectLasso;
        if (entry == 2) next = kToolSelectMagicWand;
    }
    PaintSettings.Tool = static_cast<std::int8_t>(next);
    CanvasState.PolygonCount = 0;
    TakeImageUndo();
    ShowPiece(nullptr, FloatingPiece.pieceX, FloatingPiece.pieceY, true);
    return next == kToolSelectPolygon;
}

// The stylus-move steps at view point (vx, vy); also run by the airbrush timer.
void StylusMoveTo(ImageBox& box, int vx, int vy, int sx, int sy) {
    const int tool = PaintSettings.Tool;
    if (tool >= kToolPen && tool <= kToolHealingBrush) {
        ExchangeColoursFor(tool);
        if (tool == kToolSpraycan || tool == kToolBlur || tool == kToolSharpen ||
            (tool >= kToolRedEyeReduction && tool <= kToolHealingBrush)) {
            Dab(vx + sx, vy + sy);
        } else if (tool <= kToolAirbrush || tool == kToolSmudge) {
            StrokeSegment(box.anchorX + sx, box.anchorY + sy, vx + sx, vy + sy);
        }
        ExchangeColoursFor(tool);
        const int size = LimitBrushSize(PaintSettings.Size);
        RepaintChanged(box, ChangedBox(box.anchorX, box.anchorY, vx, vy, size), sx, sy);
        box.anchorX = vx;
        box.anchorY = vy;
        if ((tool == kToolAirbrush || tool == kToolSpraycan) && box.window) {
            box.window->SetTimer(kTimerAirbrush, 1);
        }
        return;
    }
    if (tool == kToolFloatingPiece) {
        ShowPiece(nullptr, FloatingPiece.pieceX + (vx - box.anchorX), FloatingPiece.pieceY + (vy - box.anchorY),
                  false);
        return;
    }
    if (tool == kToolColourPicker) {
        raster::Colour colour = 0;
        if (PixelUnderStylus(box, vx + sx, vy + sy, colour) && colour != PaintSettings.FColor) {
            PaintSettings.FColor = colour;
        }
    }
}

void ReturnToPreviousTool() {
    PaintSettings.Tool = CanvasState.PreviousTool;
    PaintSettings.Group = CanvasState.PreviousGroup;
}

}  // namespace

void RepaintWholeView() {
    ImageBox& box = CurrentBox();
    if (!box.workDc) return;
    if (PaintSettings.Tool == kToolFloatingPiece && FloatingPiece.pieceBitmap) {
        ShowPiece(nullptr, FloatingPiece.pieceX, FloatingPiece.pieceY, false);
        return;
    }
    RepaintView(true);
}

void CanvasStylusDown(int windowX, int windowY) {
    if (CurrentImage == 0) return;
    ImageBox& box = CurrentBox();
    if (!box.workDc) return;
    if (box.window) box.window->CaptureStylus();
    const CanvasPoint p = PointOf(box, windowX, windowY);
    box.anchorX = p.vx;
    box.anchorY = p.vy;
    CanvasState.StylusDown = 1;
    const int x = p.ImageX();
    const int y = p.ImageY();

    bool choseSelectPolygon = false;
    if (PaintSettings.Tool == kToolFloatingPiece) {
        if (HitsPiece(x, y)) return;  // the piece will be dragged
        choseSelectPolygon = DropPieceForTap();
    }
    const int tool = PaintSettings.Tool;
    if (tool == kToolColourPicker) {
        raster::Colour colour = 0;
        if (PixelUnderStylus(box, x, y, colour)) PaintSettings.FColor = colour;
        return;
    }
    // The lasso, the polygon tools and the gradient over a piece make their own copies, with
    // the tools that draw them.
    const bool ownCopy = tool == kToolSelectLasso || IsPolygonTool(tool) || tool == kToolPieceGradient;
    if (!ownCopy && !choseSelectPolygon) TakeImageUndo();

    if (!IsFreehandTool(tool)) return;
    StartStampMode(tool);
    ExchangeColoursFor(tool);
    Dab(x, y);
    ExchangeColoursFor(tool);
    const int size = LimitBrushSize(PaintSettings.Size);
    RepaintChanged(box, ChangedBox(p.vx, p.vy, p.vx, p.vy, size), p.sx, p.sy);
}

void CanvasStylusMove(int windowX, int windowY) {
    if (CurrentImage == 0 || !CanvasState.StylusDown) return;
    ImageBox& box = CurrentBox();
    if (!box.workDc) return;
    const CanvasPoint p = PointOf(box, windowX, windowY);
    StylusMoveTo(box, p.vx, p.vy, p.sx, p.sy);
}

void CanvasStylusUp(int windowX, int windowY) {
    ImageBox& box = CurrentBox();
    if (box.window) box.window->ReleaseStylus();
    if (CurrentImage == 0 || !box.workDc) {
        CanvasState.StylusDown = 0;
        return;
    }
    const CanvasPoint p = PointOf(box, windowX, windowY);
    const int tool = PaintSettings.Tool;
    if (tool == kToolFloatingPiece && CanvasState.StylusDown) {
        FloatingPiece.pieceX += p.vx - box.anchorX;
        FloatingPiece.pieceY += p.vy - box.anchorY;
        ShowPiece(nullptr, FloatingPiece.pieceX, FloatingPiece.pieceY, false);
    }
    if (tool == kToolDroppedToRectangle) PaintSettings.Tool = kToolSelectRectangle;
    if (tool == kToolDroppedToLasso) PaintSettings.Tool = kToolSelectLasso;
    if (tool == kToolDroppedToMagicWand) PaintSettings.Tool = kToolSelectMagicWand;
    if (tool == kToolColourPicker) {
        raster::Colour colour = 0;
        if (PixelUnderStylus(box, p.ImageX(), p.ImageY(), colour)) PaintSettings.FColor = colour;
        ReturnToPreviousTool();
    }
    if (tool == kToolZoomIn || tool == kToolZoomOut) {
        ZoomAt(ZoomFactor * (tool == kToolZoomIn ? 2.0f : 0.5f), p.vx, p.vy);
        ReturnToPreviousTool();
    }
    CanvasState.StylusDown = 0;
}

void CanvasTimer(int timerId) {
    if (CurrentImage == 0) return;
    ImageBox& box = CurrentBox();
    if (!box.workDc) return;
    const int tool = PaintSettings.Tool;
    if (timerId == kTimerAirbrush) {
        if (!CanvasState.StylusDown || (tool != kToolAirbrush && tool != kToolSpraycan)) return;
        const CanvasPoint p = CanvasCoordinates(0, 0, box.scrollX, box.scrollY, ZoomFactor);
        StylusMoveTo(box, box.anchorX, box.anchorY, p.sx, p.sy);
        return;
    }
    if (timerId == kTimerBorder) {
        if (CanvasState.StylusDown || (tool != kToolFloatingPiece && tool != kToolPieceGradient)) return;
        ShowPiece(nullptr, FloatingPiece.pieceX, FloatingPiece.pieceY, false);
    }
}

void CanvasScroll(bool vertical, platform::ScrollCode code, int thumbPosition) {
    if (CurrentImage == 0) return;
    ImageBox& box = CurrentBox();
    if (!box.workDc) return;
    const raster::Rect client = box.window ? box.window->ClientRect() : raster::Rect{};
    const int page = vertical ? client.Height() : client.Width();
    std::int32_t& position = vertical ? box.scrollY : box.scrollX;
    long long next = position;
    switch (code) {
        case platform::ScrollCode::LineUp: next -= 5; break;
        case platform::ScrollCode::LineDown: next += 5; break;
        case platform::ScrollCode::PageUp: next -= page; break;
        case platform::ScrollCode::PageDown: next += page - 5; break;
        case platform::ScrollCode::ThumbTrack: next = thumbPosition; break;
        default: break;
    }
    if (next < 1) next = 0;
    const float extent = static_cast<float>(vertical ? box.height : box.width) * ZoomFactor;
    const long long limit = static_cast<long long>(std::max(0.0f, extent - static_cast<float>(page)));
    position = static_cast<std::int32_t>(std::min(next, limit));
    RepaintWholeView();
    if (box.window) {
        box.window->SetScrollPosition(vertical ? platform::ScrollBarKind::Vertical : platform::ScrollBarKind::Horizontal,
                                      position, true);
    }
}

void CanvasSize() {
    if (CurrentImage == 0) return;
    SetupScrollBars(CurrentImage, 0.0f, 0.0f);
}

namespace {

class CanvasHandler : public platform::WindowHandler {
public:
    int Handle(platform::Window& window, const platform::WindowMessage& m) override {
        using platform::MessageKind;
        switch (m.kind) {
            case MessageKind::StylusDown: CanvasStylusDown(m.x, m.y); return 0;
            case MessageKind::StylusMove: CanvasStylusMove(m.x, m.y); return 0;
            case MessageKind::StylusUp: CanvasStylusUp(m.x, m.y); return 0;
            case MessageKind::Timer: CanvasTimer(m.id); return 0;
            case MessageKind::HScroll: CanvasScroll(false, m.scrollCode, m.position); return 0;
            case MessageKind::VScroll: CanvasScroll(true, m.scrollCode, m.position); return 0;
            case MessageKind::Size: CanvasSize(); return 0;
            case MessageKind::Paint: Paint(window); return 1;
            case MessageKind::Close: Close(window); return 1;
            default: return 0;
        }
    }

private:
    static void Paint(platform::Window& window) {
        ImageBox& box = CurrentBox();
        if (CurrentImage == 0 || !box.workDc || box.window != &window) return;
        if (PaintSettings.Tool == kToolFloatingPiece && FloatingPiece.pieceBitmap) {
            ShowPiece(&window.GetDC(), FloatingPiece.pieceX, FloatingPiece.pieceY, false);
            return;
        }
        PaintView(window.GetDC(), box);
    }

    static void Close(platform::Window& window) {
        // The slot must not keep a window that is gone.
        for (ImageBox& box : ImageBoxTable) {
            if (box.window == &window) box.window = nullptr;
        }
        platform::DestroyWindow(&window);
    }
};

CanvasHandler g_canvasHandler;

}  // namespace

platform::WindowHandler* CanvasProcedure() { return &g_canvasHandler; }
