// The history of states on a 12-megapixel photo in a full-HD canvas: what 100 pen strokes and
// 20 whole-picture filters cost in memory, how long recording a step takes on the stylus path
// (the compression runs beside it), and a step backward or forward to the repainted view.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "PhotoDocument.h"
#include "filters/CommandIds.h"
#include "filters/Operations.h"
#include "image/History.h"
#include "image/ImageSlots.h"
#include "image/PaintSettings.h"
#include "image/ToolIds.h"
#include "image/Undo.h"
#include "image/View.h"
#include "platform/Headless.h"
#include "tools/Canvas.h"

namespace {

using photobench::ClosePhotoDocument;

constexpr double kMiB = 1024.0 * 1024.0;

// The photo in a full-HD canvas, with the pen to stroke it.
void MakePenDocument(platform::HeadlessWindowSystem& windows) {
    photobench::MakePhotoDocument(windows);
    PaintSettings.Tool = kToolPen;
}

// A pen stroke of 200 pixels in ten moves somewhere in the visible part; the canvas records it
// as a step at stylus-up.
void PenStroke(int k) {
    const int x = 100 + (k * 397) % 1600;
    const int y = 100 + (k * 211) % 800;
    PaintSettings.FColor = static_cast<std::uint32_t>(k * 0x10305);
    CanvasStylusDown(x, y);
    for (int i = 1; i <= 10; ++i) CanvasStylusMove(x + 20 * i, y + ((i * k) % 7) * 3);
    CanvasStylusUp(x + 200, y);
}

void BM_HundredPenStrokesMemory(benchmark::State& state) {
    platform::HeadlessWindowSystem windows;
    for (auto _ : state) {
        state.PauseTiming();
        MakePenDocument(windows);
        state.ResumeTiming();
        for (int k = 0; k < 100; ++k) PenStroke(k);
        WaitForHistoryCompression();
        state.PauseTiming();
        state.counters["history_MB"] = static_cast<double>(HistoryMemory()) / kMiB;
        state.counters["states"] = static_cast<double>(HistoryStateCount());
        ClosePhotoDocument();
        state.ResumeTiming();
    }
}

// Recording alone, after a stroke: hashing the tiles the stroke's box meets, copying the changed ones.
void BM_RecordStrokeStep(benchmark::State& state) {
    platform::HeadlessWindowSystem windows;
    MakePenDocument(windows);
    EnsureHistoryBase();
    int k = 0;
    for (auto _ : state) {
        state.PauseTiming();
        TakeImageUndo();
        const int x = 100 + (k * 397) % 3600;
        const int y = 100 + (k * 211) % 2600;
        for (int dy = 0; dy < 9; ++dy) {
            std::uint8_t* row = CurrentBox().workBitmap->Row(y + dy);
            for (int dx = 0; dx < 200; ++dx) row[3 * (x + dx)] = static_cast<std::uint8_t>(k);
        }
        ++k;
        const raster::Rect stroke{x - 8, y - 8, x + 208, y + 17};  // the stroke's box, as the canvas names it
        state.ResumeTiming();
        RecordHistoryStep("Pen Stroke", "", &stroke);
    }
    WaitForHistoryCompression();
    ClosePhotoDocument();
}

// Recording after a change of every pixel: on the stylus path only the hashing and the copy;
// the compression waits outside the timing.
void BM_RecordWholePictureStep(benchmark::State& state) {
    platform::HeadlessWindowSystem windows;
    MakePenDocument(windows);
    EnsureHistoryBase();
    SetHistoryBudget(std::size_t{1} << 40);
    for (auto _ : state) {
        state.PauseTiming();
        WaitForHistoryCompression();
        TakeImageUndo();
        std::uint8_t* bits = CurrentBox().workBitmap->Bits();
        for (std::size_t i = 0; i < CurrentBox().workBitmap->ByteSize(); ++i) bits[i] = static_cast<std::uint8_t>(~bits[i]);
        state.ResumeTiming();
        RecordHistoryStep("Invert", "invert");
    }
    WaitForHistoryCompression();
    ClosePhotoDocument();
}

// Twenty filters and adjustments over the whole picture, as the menu runs them.
void BM_TwentyFiltersMemory(benchmark::State& state) {
    platform::HeadlessWindowSystem windows;
    const int commands[] = {CMD_BLUR_LOW, CMD_INVERT, CMD_SHARPEN_LOW, CMD_FLIP_HORIZONTAL, CMD_DESPECKLE};
    for (auto _ : state) {
        state.PauseTiming();
        MakePenDocument(windows);
        state.ResumeTiming();
        for (int k = 0; k < 20; ++k) {
            TakeImageUndo();
            ImageState.UndoKind = kUndoKindFilter;
            std::string error;
            OperationByCommand(commands[k % 5])->run(FilterArguments{}, error);
            RecordHistoryStep("Filter", "");
        }
        WaitForHistoryCompression();
        state.PauseTiming();
        state.counters["history_MB"] = static_cast<double>(HistoryMemory()) / kMiB;
        state.counters["budget_MB"] = static_cast<double>(HistoryBudget()) / kMiB;
        state.counters["states"] = static_cast<double>(HistoryStateCount());
        ClosePhotoDocument();
        state.ResumeTiming();
    }
}

void StepBackAndForth(benchmark::State& state) {
    bool back = true;
    for (auto _ : state) {
        if (back) {
            StepBackward();
        } else {
            StepForward();
        }
        back = !back;
    }
}

// Step Backward / Forward over a whole-picture filter and over a stroke, each to the repainted
// view (1920 x 1080 at 100 %).
void BM_StepOverWholePicture(benchmark::State& state) {
    platform::HeadlessWindowSystem windows;
    MakePenDocument(windows);
    TakeImageUndo();
    std::string error;
    OperationByCommand(CMD_BLUR_LOW)->run(FilterArguments{}, error);
    RecordHistoryStep("Low Gaussian Blur", "blur-low");
    WaitForHistoryCompression();
    StepBackAndForth(state);
    ClosePhotoDocument();
}

void BM_StepOverStroke(benchmark::State& state) {
    platform::HeadlessWindowSystem windows;
    MakePenDocument(windows);
    PenStroke(3);
    WaitForHistoryCompression();
    StepBackAndForth(state);
    ClosePhotoDocument();
}

}  // namespace

BENCHMARK(BM_HundredPenStrokesMemory)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_RecordStrokeStep)->Unit(benchmark::kMillisecond)->Iterations(50);
BENCHMARK(BM_RecordWholePictureStep)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_TwentyFiltersMemory)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_StepOverWholePicture)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_StepOverStroke)->Unit(benchmark::kMillisecond)->Iterations(20);
