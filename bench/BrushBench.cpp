// Brush strokes of the largest brush across a large image, in each stamp mode.
#include <benchmark/benchmark.h>

#include <memory>

#include "filters/Noise.h"
#include "image/ImageSlots.h"
#include "image/PaintSettings.h"
#include "image/PixelBuffer.h"
#include "image/ToolIds.h"
#include "tools/BrushEngine.h"

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

std::unique_ptr<raster::DrawingContext> MakeGreyContext(raster::BitmapInfo& info, std::uint8_t** bits) {
    std::unique_ptr<PixelBuffer> buffer = CreatePixelBuffer(kWidth, kHeight, 24, info, bits);
    if (!buffer) return nullptr;
    for (int y = 0; y < kHeight; ++y)
        for (int i = 0; i < 3 * kWidth; ++i) buffer->Row(y)[i] = static_cast<std::uint8_t>((y + i) & 0xFF);
    return std::make_unique<raster::DrawingContext>(std::move(buffer));
}

bool MakeDocument() {
    ResetImageState();
    ImageBox& box = ImageBoxTable[1];
    box.workDc = MakeGreyContext(box.bitmapInfo, nullptr);
    box.undoDc = MakeGreyContext(box.bitmapInfo, nullptr);
    if (!box.workDc || !box.undoDc) return false;
    box.workBitmap = box.workDc->SelectedBitmap();
    box.undoBitmap = box.undoDc->SelectedBitmap();
    box.width = kWidth;
    box.height = kHeight;
    ImageState.CurrentImage = 1;
    return true;
}

// One diagonal stroke corner to corner: 4000 dabs one pixel apart.
void StrokeAcross(benchmark::State& state, int tool, int shape) {
    if (!MakeDocument()) {
        state.SkipWithError("out of memory");
        return;
    }
    ResetPaintSettings();
    ResetNoise();
    PaintSettings.Tool = static_cast<std::int8_t>(tool);
    PaintSettings.Brush = static_cast<std::uint32_t>(shape);
    PaintSettings.Size = kLargestBrushSize;
    PaintSettings.DOpacity = 70;
    BrushStroke stroke = StartStroke(tool);
    bool dark = true;
    for (auto _ : state) {
        // Alternate the colour so that soft strokes keep working instead of settling.
        stroke.ink.colour = dark ? raster::MakeColour(20, 40, 60) : raster::MakeColour(230, 210, 190);
        dark = !dark;
        StrokeSegment(stroke, 0, 0, kWidth - 1, kHeight - 1);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kWidth);  // dabs
    ResetImageState();
    ResetPaintSettings();
    ResetStampMode();
}

void BM_StrokeHard(benchmark::State& state) { StrokeAcross(state, kToolPen, 0); }
void BM_StrokeSoft(benchmark::State& state) { StrokeAcross(state, kToolBrush, 0); }
void BM_StrokeSoftRound(benchmark::State& state) { StrokeAcross(state, kToolPen, 2); }
void BM_StrokeAirbrush(benchmark::State& state) { StrokeAcross(state, kToolAirbrush, 0); }
void BM_StrokeSpray(benchmark::State& state) { StrokeAcross(state, kToolSpraycan, 7); }

// One dab of a retouch brush at the largest size, shape from the argument, in the middle of a
// 12-megapixel document.
void BM_RetouchDab(benchmark::State& state) {
    if (!MakeDocument()) {
        state.SkipWithError("out of memory");
        return;
    }
    ResetPaintSettings();
    PaintSettings.Tool = static_cast<std::int8_t>(state.range(0));
    PaintSettings.Brush = static_cast<std::uint32_t>(state.range(1));
    PaintSettings.Size = kLargestBrushSize;
    const BrushStroke stroke = StartStroke(PaintSettings.Tool);
    int x = kWidth / 2;
    for (auto _ : state) {
        Dab(stroke, x, kHeight / 2);
        x ^= 1;  // the smudge drags from its previous place
        benchmark::ClobberMemory();
    }
    ResetImageState();
    ResetPaintSettings();
}

}  // namespace

BENCHMARK(BM_StrokeHard)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StrokeSoft)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StrokeSoftRound)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StrokeAirbrush)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StrokeSpray)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RetouchDab)
    ->ArgsProduct({benchmark::CreateDenseRange(kToolBlur, kToolHealingBrush, 1), {0, 2}})
    ->Unit(benchmark::kMicrosecond);
