// Selections on a 12-megapixel photo as the window makes them, from the tap or the menu
// command to the view on the screen: the canvas procedure or the command dispatch (with its
// undo copy and history step), the repaint of the full-HD canvas and its copy to the screen.
// Each round starts from the photo with no piece (or with the wand's piece where a command
// needs one) and a history holding only the photo, whose compression is over.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <cmath>

#include "SkyPhoto.h"
#include "filters/CommandIds.h"
#include "image/History.h"
#include "image/ImageSlots.h"
#include "image/PaintSettings.h"
#include "image/ToolIds.h"
#include "image/Undo.h"
#include "image/View.h"
#include "platform/Headless.h"
#include "platform/qt/QtImage.h"
#include "shell/Dispatch.h"
#include "shell/ProgramState.h"
#include "tools/Canvas.h"

namespace {

using selectionbench::kHeight;
using selectionbench::kWidth;
using selectionbench::PaintPhoto;
constexpr int kCanvasWidth = 1920;
constexpr int kCanvasHeight = 1080;

platform::WindowMessage Stylus(platform::MessageKind kind, int x, int y) {
    platform::WindowMessage m;
    m.kind = kind;
    m.x = x;
    m.y = y;
    return m;
}

class PhotoWindow {
public:
    // zoomCommand: the View menu's zoom the canvas shows the photo at.
    explicit PhotoWindow(int zoomCommand) {
        platform::SetWindowSystem(&windows_);
        InstallLayerHooks();
        ResetImageState();
        ResetPaintSettings();
        ResetCanvasState();
        ok_ = CreateImage(kWidth, kHeight) == 1;
        if (!ok_) return;
        PaintPhoto(*CurrentBox().workBitmap);
        CurrentBox().window->Move(0, 0, kCanvasWidth + 2 + windows_.scrollBarHeight,
                                  kCanvasHeight + 2 + windows_.scrollBarHeight, false);
        SetupScrollBars(ImageState.CurrentImage, 0.0f, 0.0f);
        DispatchCommand(zoomCommand);
        PaintSettings.Tool = kToolSelectRectangle;
        ok_ = TakeImageUndo() == 1;
        photo_ = CreatePixelBuffer(kWidth, kHeight, 24, header_, nullptr);
        if (photo_) CopyPixels(photo_.get(), CurrentBox().workBitmap);
        ok_ = ok_ && photo_;
    }
    ~PhotoWindow() {
        ResetHistory();
        FreeImageBox(ImageState.CurrentImage);
        ResetImageState();
        platform::SetWindowSystem(nullptr);
    }
    bool Ok() const { return ok_; }

    // Back to the photo without a piece, the given tool current, a history of the photo alone.
    void Restart(int tool) {
        FreeFloatingPiece();
        CopyPixels(CurrentBox().workBitmap, photo_.get());
        PaintSettings.Tool = static_cast<std::int8_t>(tool);
        CanvasState.SelectModifier = 0;
        TakeImageUndo();
        ClearHistory();
        EnsureHistoryBase();
        WaitForHistoryCompression();
    }

    void Send(platform::MessageKind kind, int x, int y) { CurrentBox().window->Send(Stylus(kind, x, y)); }
    void Tap(int x, int y) {
        Send(platform::MessageKind::StylusDown, x, y);
        Send(platform::MessageKind::StylusUp, x, y);
    }
    // What Qt's paint event does with the canvas surface.
    void ShowOnScreen() {
        const raster::Bitmap* surface = CurrentBox().window->GetDC().SelectedBitmap();
        QPainter painter(&screen_);
        painter.drawImage(0, 0, platform::qt::ToQImage(*surface, QRect(0, 0, surface->Width(), surface->Height())));
        benchmark::DoNotOptimize(screen_.constBits());
    }

private:
    platform::HeadlessWindowSystem windows_;
    raster::BitmapInfo header_;
    std::unique_ptr<PixelBuffer> photo_;
    QImage screen_{kCanvasWidth, kCanvasHeight, QImage::Format_RGB32};
    bool ok_ = false;
};

constexpr int kZoom100 = 3206;
constexpr int kZoom33 = 3203;

void Report(benchmark::State& state) {
    state.counters["piece_pixels"] =
        static_cast<double>(FloatingPiece.pieceBitmap ? FloatingPiece.pieceWidth * FloatingPiece.pieceHeight : 0);
}

// A tap of the wand into the sky at the given tolerance.
void BM_WindowMagicWand(benchmark::State& state) {
    PhotoWindow window(kZoom100);
    if (!window.Ok()) return state.SkipWithError("out of memory");
    for (auto _ : state) {
        state.PauseTiming();
        window.Restart(kToolSelectMagicWand);
        PaintSettings.WTolerance = static_cast<std::uint8_t>(state.range(0));
        state.ResumeTiming();
        window.Tap(kCanvasWidth / 2, 400);
        window.ShowOnScreen();
    }
    Report(state);
}
BENCHMARK(BM_WindowMagicWand)->Arg(0)->Arg(32)->Arg(255)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

// A menu command; with a wand piece first when the argument is 1.
void WindowCommand(benchmark::State& state, int command) {
    PhotoWindow window(kZoom100);
    if (!window.Ok()) return state.SkipWithError("out of memory");
    const bool withPiece = state.range(0) != 0;
    for (auto _ : state) {
        state.PauseTiming();
        window.Restart(withPiece ? kToolSelectMagicWand : kToolSelectRectangle);
        if (withPiece) {
            PaintSettings.WTolerance = 32;
            window.Tap(kCanvasWidth / 2, 400);
            WaitForHistoryCompression();
        }
        state.ResumeTiming();
        DispatchCommand(command);
        window.ShowOnScreen();
    }
    Report(state);
}
void BM_WindowSelectAll(benchmark::State& state) { WindowCommand(state, CMD_SELECT_ALL); }
void BM_WindowInverse(benchmark::State& state) { WindowCommand(state, CMD_INVERSE_SELECTION); }
void BM_WindowGrow(benchmark::State& state) { WindowCommand(state, CMD_GROW_SELECTION); }
void BM_WindowSimilar(benchmark::State& state) { WindowCommand(state, CMD_SELECT_SIMILAR); }
BENCHMARK(BM_WindowSelectAll)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_WindowInverse)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_WindowGrow)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_WindowSimilar)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

// A rectangle dragged nearly over the whole view; the release lifts it. At 33 % that is
// nearly the whole photo. The drag's stylus-down and previews are not timed.
void BM_WindowRectangleLift(benchmark::State& state) {
    const bool third = state.range(0) == 33;
    PhotoWindow window(third ? kZoom33 : kZoom100);
    if (!window.Ok()) return state.SkipWithError("out of memory");
    const int right = third ? 1320 : kCanvasWidth - 20;
    const int bottom = third ? 990 : kCanvasHeight - 20;
    for (auto _ : state) {
        state.PauseTiming();
        window.Restart(kToolSelectRectangle);
        window.Send(platform::MessageKind::StylusDown, 10, 10);
        window.Send(platform::MessageKind::StylusMove, right, bottom);
        state.ResumeTiming();
        window.Send(platform::MessageKind::StylusUp, right, bottom);
        window.ShowOnScreen();
    }
    Report(state);
}
BENCHMARK(BM_WindowRectangleLift)->Arg(100)->Arg(33)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

// A lasso of 64 points round an ellipse over most of the view, from its stylus-down to the
// lift at its release.
void BM_WindowLasso(benchmark::State& state) {
    const bool third = state.range(0) == 33;
    PhotoWindow window(third ? kZoom33 : kZoom100);
    if (!window.Ok()) return state.SkipWithError("out of memory");
    const double cx = third ? 666 : kCanvasWidth / 2;
    const double cy = third ? 500 : kCanvasHeight / 2;
    const double rx = cx - 15;
    const double ry = cy - 15;
    for (auto _ : state) {
        state.PauseTiming();
        window.Restart(kToolSelectLasso);
        state.ResumeTiming();
        for (int k = 0; k <= 64; ++k) {
            const double a = 2.0 * M_PI * k / 64.0;
            const auto kind = k == 0 ? platform::MessageKind::StylusDown
                                     : (k == 64 ? platform::MessageKind::StylusUp : platform::MessageKind::StylusMove);
            window.Send(kind, static_cast<int>(cx + rx * std::cos(a)), static_cast<int>(cy + ry * std::sin(a)));
        }
        window.ShowOnScreen();
    }
    Report(state);
}
BENCHMARK(BM_WindowLasso)->Arg(100)->Arg(33)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

// A piece as large as the photo, grabbed; each round is one move of the stylus and its view.
void BM_WindowDragFullPiece(benchmark::State& state) {
    const bool third = state.range(0) == 33;
    PhotoWindow window(third ? kZoom33 : kZoom100);
    if (!window.Ok()) return state.SkipWithError("out of memory");
    window.Restart(kToolSelectRectangle);
    DispatchCommand(CMD_SELECT_ALL);
    WaitForHistoryCompression();
    window.Send(platform::MessageKind::StylusDown, 300, 300);
    bool right = false;
    for (auto _ : state) {
        right = !right;
        window.Send(platform::MessageKind::StylusMove, right ? 309 : 300, 300);
        window.ShowOnScreen();
    }
    window.Send(platform::MessageKind::StylusUp, 300, 300);
}
BENCHMARK(BM_WindowDragFullPiece)->Arg(100)->Arg(33)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

}  // namespace
