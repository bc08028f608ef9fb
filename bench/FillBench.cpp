// The flood fill of a region covering a whole 12-megapixel picture, the wand's fill of a photo,
// and linear and circular gradients over a picture.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "SkyPhoto.h"
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

// The wand's fill marked in a map beside the sky photo, the picture untouched: the sky at
// tolerance 32, nearly all of the photo at 255.
void BM_WandFillMap(benchmark::State& state) {
    const int tolerance = static_cast<int>(state.range(0));
    raster::BitmapInfo info;
    std::unique_ptr<PixelBuffer> photo = CreatePixelBuffer(selectionbench::kWidth, selectionbench::kHeight, 24, info, nullptr);
    std::vector<std::uint8_t> map(static_cast<std::size_t>(selectionbench::kWidth) * selectionbench::kHeight);
    if (!photo) return state.SkipWithError("out of memory");
    selectionbench::PaintPhoto(*photo);
    const std::uint8_t* seed = photo->Row(400) + 3 * 2000;
    const raster::Colour fill = ContrastingColour(raster::MakeColour(seed[2], seed[1], seed[0]));
    FillStack stack;
    std::size_t reachedOnly = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::fill(map.begin(), map.end(), std::uint8_t{0});
        stack.Prepare(InitialFillStackRoom(selectionbench::kWidth, selectionbench::kHeight));
        state.ResumeTiming();
        if (FloodFillMap(*photo, 2000, 400, fill, tolerance, stack, map.data(), &reachedOnly) != FillOutcome::Filled) {
            state.SkipWithError("the fill did not fill");
        }
        benchmark::DoNotOptimize(map.data());
    }
    state.counters["marked"] = static_cast<double>(std::count(map.begin(), map.end(), kFillMapChanged));
}
BENCHMARK(BM_WandFillMap)->Arg(32)->Arg(255)->Unit(benchmark::kMillisecond);

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
