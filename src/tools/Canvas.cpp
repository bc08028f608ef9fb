#include "tools/Canvas.h"

#include <algorithm>

#include "image/ImageSlots.h"
#include "image/PaintSettings.h"
#include "image/ToolIds.h"
#include "image/Undo.h"
#include "image/View.h"
#include "platform/Busy.h"
#include "platform/Window.h"
#include "tools/CanvasWheel.h"
#include "tools/HistorySteps.h"
#include "tools/RetouchDabs.h"
#include "tools/ToolHandler.h"

CanvasStateRecord CanvasState;

void ResetCanvasState() {
    CanvasState = CanvasStateRecord{};
    ResetRetouchState();
    ResetWheelState();
    ResetCanvasAction();
}

CanvasHooksRecord CanvasHooks;

void NotifyForegroundPicked() {
    if (CanvasHooks.ForegroundPicked) CanvasHooks.ForegroundPicked();
}

void NotifyToolChanged() {
    if (CanvasHooks.ToolChanged) CanvasHooks.ToolChanged();
}

bool RemovePolygonVertex() {
    if (CanvasState.PolygonCount == 0) return false;
    --CanvasState.PolygonCount;
    return true;
}

CanvasPoint CanvasCoordinates(int windowX, int windowY, std::int32_t scrollX, std::int32_t scrollY, float zoom) {
    const float inv = 1.0f / zoom;
    CanvasPoint p;
    // Stylus points arrive as 16-bit window coordinates.
    p.wx = static_cast<std::int16_t>(windowX);
    p.wy = static_cast<std::int16_t>(windowY);
    p.inv = inv;
    p.scrollX = scrollX;
    p.scrollY = scrollY;
    p.vx = static_cast<int>(static_cast<float>(p.wx) * inv);
    p.vy = static_cast<int>(static_cast<float>(p.wy) * inv);
    p.sx = static_cast<int>(static_cast<float>(scrollX) * inv);
    p.sy = static_cast<int>(static_cast<float>(scrollY) * inv);
    return p;
}

raster::Point CanvasPoint::PolygonVertex() const {
    return {static_cast<int>(static_cast<float>(wx) * inv + static_cast<float>(sx)),
            static_cast<int>(static_cast<float>(wy) * inv + static_cast<float>(sy))};
}

raster::Point CanvasPoint::SeedPoint() const {
    return {static_cast<int>(static_cast<float>(scrollX) * inv + static_cast<float>(vx)),
            static_cast<int>(static_cast<float>(scrollY) * inv + static_cast<float>(vy))};
}

raster::Rect ChangedBox(int x1, int y1, int x2, int y2, int size) {
    return raster::Rect{std::min(x1, x2) - size, std::min(y1, y2) - size, std::max(x1, x2) + size,
                        std::max(y1, y2) + size};
}

namespace {

// The current slot when it can be drawn on; null otherwise (no image, or no work buffer).
ImageBox* DrawableBox() {
    if (ImageState.CurrentImage == 0) return nullptr;
    ImageBox& box = CurrentBox();
    return box.workDc ? &box : nullptr;
}

ToolEvent EventAt(ImageBox& box, int windowX, int windowY) {
    return ToolEvent{box, PaintSettings.Tool,
                     CanvasCoordinates(windowX, windowY, box.scrollX, box.scrollY, ImageState.ZoomFactor)};
}

void TakeDownCopy(DownCopy copy) {
    if (copy == DownCopy::Image) TakeImageUndo();
    if (copy == DownCopy::Piece) TakePieceUndo();
}

DownOutcome RunStylusDown(ToolEvent& event) {
    const ToolHandler& handler = HandlerForTool(event.tool);
    TakeDownCopy(handler.CopyAtDown(event));
    return handler.StylusDown(event);
}

}  // namespace

void ShowWholeViewOfTool(ImageBox& box) { HandlerForTool(PaintSettings.Tool).ShowWholeView(box); }

void CanvasStylusDown(int windowX, int windowY) {
    ImageBox* box = DrawableBox();
    if (!box) return;
    if (box->window) box->window->CaptureStylus();
    ToolEvent event = EventAt(*box, windowX, windowY);
    box->anchorX = event.point.vx;
    box->anchorY = event.point.vy;
    CanvasState.StylusDown = 1;
    if (RunStylusDown(event) == DownOutcome::PassOn) {
        // The tool chosen for this tap takes it over; it hands it on no further.
        event.tool = PaintSettings.Tool;
        event.pieceDropped = true;
        RunStylusDown(event);
    }
    BeginCanvasAction(event.tool, event.pieceDropped, event.ImageX(), event.ImageY());
}

void CanvasStylusMove(int windowX, int windowY) {
    if (!CanvasState.StylusDown) return;
    ImageBox* box = DrawableBox();
    if (!box) return;
    ToolEvent event = EventAt(*box, windowX, windowY);
    HandlerForTool(event.tool).StylusMove(event);
    ExtendCanvasAction(event.ImageX(), event.ImageY());
}

void CanvasStylusUp(int windowX, int windowY) {
    ImageBox& current = CurrentBox();
    if (current.window) current.window->ReleaseStylus();
    if (ImageBox* box = DrawableBox()) {
        ToolEvent event = EventAt(*box, windowX, windowY);
        HandlerForTool(event.tool).StylusUp(event);
        // The action is over: it becomes a step of the history when it changed the document.
        EndCanvasAction(event.tool, event.ImageX(), event.ImageY());
    }
    CanvasState.StylusDown = 0;
}

void CanvasDoubleTap(int windowX, int windowY) {
    ImageBox* box = DrawableBox();
    if (!box) return;
    ToolEvent event = EventAt(*box, windowX, windowY);
    HandlerForTool(event.tool).DoubleTap(event);
    DoubleTapCanvasAction(event.ImageX(), event.ImageY());
}

void CanvasTimer(int timerId) {
    ImageBox* box = DrawableBox();
    if (!box) return;
    // A tick has no stylus point: the tools that repeat at rest take the anchor.
    ToolEvent event = EventAt(*box, 0, 0);
    event.point.vx = box->anchorX;
    event.point.vy = box->anchorY;
    HandlerForTool(event.tool).Timer(event, timerId);
}

void CanvasScroll(bool vertical, platform::ScrollCode code, int thumbPosition) {
    if (ImageState.CurrentImage == 0) return;
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
    const float extent = static_cast<float>(vertical ? box.height : box.width) * ImageState.ZoomFactor;
    const long long limit = static_cast<long long>(std::max(0.0f, extent - static_cast<float>(page)));
    position = static_cast<std::int32_t>(std::min(next, limit));
    RepaintWholeView();
    if (box.window) {
        box.window->SetScrollPosition(
            vertical ? platform::ScrollBarKind::Vertical : platform::ScrollBarKind::Horizontal, position, true);
    }
}

void CanvasPointerAt(int windowX, int windowY) {
    const ImageBox& box = CurrentBox();
    const raster::Rect client = box.window ? box.window->ClientRect() : raster::Rect{};
    CanvasState.PointerX = windowX;
    CanvasState.PointerY = windowY;
    CanvasState.PointerInside = windowX >= client.left && windowX < client.right && windowY >= client.top &&
                                windowY < client.bottom;
}

void CanvasPointerLeft() { CanvasState.PointerInside = 0; }

bool PointerImagePoint(raster::Point& out) {
    if (!CanvasState.PointerInside || ImageState.CurrentImage == 0 || !CurrentBox().workBitmap) return false;
    const ImageBox& box = CurrentBox();
    const CanvasPoint p =
        CanvasCoordinates(CanvasState.PointerX, CanvasState.PointerY, box.scrollX, box.scrollY, ImageState.ZoomFactor);
    out = {p.ImageX(), p.ImageY()};
    return true;
}

void CanvasSize() {
    if (ImageState.CurrentImage == 0) return;
    SetupScrollBars(ImageState.CurrentImage, 0.0f, 0.0f);
}

namespace {

class CanvasHandler : public platform::WindowHandler {
public:
    int Handle(platform::Window& window, const platform::WindowMessage& m) override {
        using platform::MessageKind;
        switch (m.kind) {
            case MessageKind::StylusMove: CanvasStylusMove(m.x, m.y); return 0;
            case MessageKind::PointerMove: CanvasPointerAt(m.x, m.y); return 0;
            case MessageKind::PointerLeave: CanvasPointerLeft(); return 0;
            case MessageKind::StylusDown:
            case MessageKind::StylusUp:
            case MessageKind::DoubleTap: Tap(m); return 0;
            case MessageKind::Timer: CanvasTimer(m.id); return 0;
            case MessageKind::HScroll: CanvasScroll(false, m.scrollCode, m.position); return 0;
            case MessageKind::VScroll: CanvasScroll(true, m.scrollCode, m.position); return 0;
            case MessageKind::Size: CanvasSize(); return 0;
            case MessageKind::Wheel: CanvasWheel(m.x, m.y, m.wheel); return 1;
            case MessageKind::Paint: Paint(window); return 1;
            case MessageKind::Close: Close(window); return 1;
            default: return 0;
        }
    }

private:
    // A press or release may run a whole operation (a fill, a selection of a large picture).
    static void Tap(const platform::WindowMessage& m) {
        const platform::BusyPointer busy;
        if (m.kind == platform::MessageKind::StylusDown) CanvasStylusDown(m.x, m.y);
        if (m.kind == platform::MessageKind::StylusUp) CanvasStylusUp(m.x, m.y);
        if (m.kind == platform::MessageKind::DoubleTap) CanvasDoubleTap(m.x, m.y);
    }

    static void Paint(platform::Window& window) {
        ImageBox* box = DrawableBox();
        if (!box || box->window != &window) return;
        HandlerForTool(PaintSettings.Tool).ShowWholeView(*box);
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
