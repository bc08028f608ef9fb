// One stylus move of the rubber-band shapes and of an open polygon on a 12-megapixel
// document: the preview drawn into the image, shown, and wiped again from the undo copy.
#include <benchmark/benchmark.h>

#include "image/ImageSlots.h"
#include "image/Undo.h"
#include "image/View.h"
#include "image/PaintSettings.h"
#include "tools/BrushEngine.h"
#include "tools/Canvas.h"
#include "image/ToolIds.h"

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

bool StartDocument(int tool, int fill) {
    ResetImageState();
    ResetPaintSettings();
    ResetCanvasState();
    ResetStampMode();
    ImageState.ZoomFactor = 1.0f;
    PaintSettings.Tool = static_cast<std::int8_t>(tool);
    PaintSettings.Fill = static_cast<std::int8_t>(fill);
    PaintSettings.Size = 9;
    return CreateImage(kWidth, kHeight) == 1 && TakeImageUndo() == 1;
}

// Moves to and fro across most of the picture, one move per round.
void PreviewMoves(benchmark::State& state) {
    bool far = true;
    for (auto _ : state) {
        CanvasStylusMove(far ? kWidth - 10 : kWidth / 2, far ? kHeight - 10 : kHeight / 2);
        far = !far;
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
    CanvasStylusUp(10, 10);
    ResetImageState();
    ResetCanvasState();
}

void BM_ShapePreviewMove(benchmark::State& state) {
    if (!StartDocument(static_cast<int>(state.range(0)), 1)) {
        state.SkipWithError("out of memory");
        return;
    }
    CanvasStylusDown(10, 10);
    PreviewMoves(state);
}
BENCHMARK(BM_ShapePreviewMove)
    ->Arg(kToolLine)
    ->Arg(kToolRectangle)
    ->Arg(kToolRoundedRectangle)
    ->Arg(kToolEllipse)
    ->Unit(benchmark::kMillisecond);

// A solid polygon of seven fixed vertices with the moving point after them.
void BM_PolygonPreviewMove(benchmark::State& state) {
    if (!StartDocument(kToolPolygon, 2)) {
        state.SkipWithError("out of memory");
        return;
    }
    for (int i = 0; i < 6; ++i) {
        CanvasStylusDown(100 + 600 * i, 100 + 300 * (i % 2));
        CanvasStylusUp(100 + 600 * i, 100 + 300 * (i % 2));
    }
    CanvasStylusDown(3900, 2900);
    PreviewMoves(state);
}
BENCHMARK(BM_PolygonPreviewMove)->Unit(benchmark::kMillisecond);

}  // namespace
