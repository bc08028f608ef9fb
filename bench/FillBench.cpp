// The flood fill of a region covering a whole 12-megapixel picture, and linear and circular
// gradients over it.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

#include "image/PixelBuffer.h"
#include "tools/FloodFill.h"
#include "tools/Gradient.h"

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

std::unique_ptr<PixelBuffer> MakePicture(std::uint8_t value) {
    raster::BitmapInfo info;
    std::unique_ptr<PixelBuffer> picture = CreatePixelBuffer(kWidth, kHeight, 24, info, nullptr);
    if (picture) std::memset(picture->Bits(), value, picture->ByteSize());
    return picture;
}

// Each round fills the whole picture with the other of two colours, so that every round has
// the whole picture to fill.
void BM_FloodFillWholePicture(benchmark::State& state) {
    const int tolerance = static_cast<int>(state.range(0));
    std::unique_ptr<PixelBuffer> picture = MakePicture(0x40);
    if (!picture) {
        state.SkipWithError("out of memory");
        return;
    }
    FillStack stack;
    raster::Colour colours[2] = {raster::MakeColour(200, 10, 10), raster::MakeColour(0x40, 0x40, 0x40)};
    int round = 0;
    for (auto _ : state) {
        stack.Prepare(InitialFillStackRoom(kWidth, kHeight));
        const FillOutcome outcome =
            FloodFillPixels(*picture, kWidth / 2, kHeight / 2, colours[round++ & 1], tolerance, stack);
        if (outcome != FillOutcome::Filled) state.SkipWithError("the fill did not fill");
        benchmark::DoNotOptimize(picture->Bits());
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_FloodFillWholePicture)->Arg(0)->Arg(30)->Unit(benchmark::kMillisecond);

void Gradient(benchmark::State& state, int kind) {
    std::unique_ptr<PixelBuffer> picture = MakePicture(0x80);
    if (!picture) {
        state.SkipWithError("out of memory");
        return;
    }
    GradientInk ink{raster::MakeColour(200, 30, 10), raster::MakeColour(10, 90, 250), 70,
                    static_cast<int>(state.range(0))};
    for (auto _ : state) {
        DrawGradientWith(ink, picture.get(), 500, 400, 3100, 2500, kind);
        benchmark::DoNotOptimize(picture->Bits());
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}

void BM_LinearGradient(benchmark::State& state) { Gradient(state, kGradientLinear); }
void BM_CircularGradient(benchmark::State& state) { Gradient(state, kGradientCircular); }
BENCHMARK(BM_LinearGradient)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CircularGradient)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace
