// Every blur, sharpen, noise, edge and colour filter on a 12-megapixel photo-like picture.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>

#include "filters/Blur.h"
#include "filters/ColourAdjust.h"
#include "filters/EdgeFilters.h"
#include "filters/NoiseFilters.h"
#include "image/PixelBuffer.h"

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

std::unique_ptr<PixelBuffer> MakePicture(int width, int height) {
    raster::BitmapInfo info;
    return CreatePixelBuffer(width, height, 24, info, nullptr);
}

// Smooth gradients with a soft pattern and a little grain, the mix of flat and busy areas a
// photograph has; made once for the whole run.
const PixelBuffer& Photo() {
    static const std::unique_ptr<PixelBuffer> photo = [] {
        std::unique_ptr<PixelBuffer> p = MakePicture(kWidth, kHeight);
        std::uint32_t grain = 12345;
        for (int y = 0; y < kHeight; ++y) {
            std::uint8_t* row = p->Row(y);
            for (int x = 0; x < kWidth; ++x) {
                grain = grain * 1664525u + 1013904223u;
                const int n = static_cast<int>((grain >> 24) & 15) - 8;
                const double wave = 40.0 * std::sin(x * 0.013) * std::cos(y * 0.021);
                const int r = static_cast<int>(60 + 150.0 * x / kWidth + wave) + n;
                const int g = static_cast<int>(40 + 170.0 * y / kHeight - wave) + n;
                const int b = static_cast<int>(200 - 120.0 * (x + y) / (kWidth + kHeight) + wave / 2) + n;
                row[3 * x] = static_cast<std::uint8_t>(std::clamp(b, 0, 255));
                row[3 * x + 1] = static_cast<std::uint8_t>(std::clamp(g, 0, 255));
                row[3 * x + 2] = static_cast<std::uint8_t>(std::clamp(r, 0, 255));
            }
        }
        return p;
    }();
    return *photo;
}

// A fresh target holding the photo, for the filters that work in place.
std::unique_ptr<PixelBuffer> PhotoCopy() {
    std::unique_ptr<PixelBuffer> copy = MakePicture(kWidth, kHeight);
    CopyPixels(copy.get(), &Photo());
    return copy;
}

template <class Filter>
void RunFromSource(benchmark::State& state, Filter filter) {
    const PixelBuffer& source = Photo();
    std::unique_ptr<PixelBuffer> target = PhotoCopy();
    for (auto _ : state) {
        filter(source, *target);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kWidth) * kHeight);
}

template <class Filter>
void RunInPlace(benchmark::State& state, Filter filter) {
    std::unique_ptr<PixelBuffer> target = PhotoCopy();
    for (auto _ : state) {
        filter(*target);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kWidth) * kHeight);
}

void BM_CopyPixels(benchmark::State& state) {
    RunFromSource(state, [](const PixelBuffer& s, PixelBuffer& t) { CopyPixels(&t, &s); });
}

void BM_Convolve(benchmark::State& state, const ConvolutionKernel& kernel) {
    RunFromSource(state, [&](const PixelBuffer& s, PixelBuffer& t) { Convolve3x3(&s, &t, kernel); });
}

void BM_UnsharpMask(benchmark::State& state) {
    const int radius = static_cast<int>(state.range(0));
    RunFromSource(state, [&](const PixelBuffer& s, PixelBuffer& t) { UnsharpMask(&s, &t, 150, radius); });
}

void BM_Despeckle(benchmark::State& state) {
    RunFromSource(state, [](const PixelBuffer& s, PixelBuffer& t) { Despeckle(&s, &t); });
}

void BM_AddNoise(benchmark::State& state) {
    const int style = static_cast<int>(state.range(0));
    RunInPlace(state, [&](PixelBuffer& t) { AddNoise(&t, style, 50); });
}

void BM_Jitter(benchmark::State& state) {
    RunFromSource(state, [](const PixelBuffer& s, PixelBuffer& t) { Jitter(&s, &t, 20); });
}

void BM_EdgeDetect(benchmark::State& state) {
    RunFromSource(state, [](const PixelBuffer& s, PixelBuffer& t) { EdgeDetect(&s, &t); });
}

void BM_FindContours(benchmark::State& state) {
    RunFromSource(state, [](const PixelBuffer& s, PixelBuffer& t) { FindContours(&s, &t); });
}

void BM_Emboss(benchmark::State& state) {
    RunFromSource(state, [](const PixelBuffer& s, PixelBuffer& t) { Emboss(&s, &t, 100, 0); });
}

void BM_BrightnessContrast(benchmark::State& state) {
    RunFromSource(state, [](const PixelBuffer& s, PixelBuffer& t) { ApplyLevels(&s, &t, 20, 30, 0.0f, true, true, true); });
}

void BM_Gamma(benchmark::State& state) {
    RunFromSource(state, [](const PixelBuffer& s, PixelBuffer& t) { ApplyLevels(&s, &t, 0, 0, 180.0f, true, true, false); });
}

void BM_HueSaturation(benchmark::State& state) {
    RunFromSource(state, [](const PixelBuffer& s, PixelBuffer& t) { HueSaturation(&s, &t, 40.0f, 20.0f, -10.0f); });
}

void BM_Colorize(benchmark::State& state) {
    RunFromSource(state, [](const PixelBuffer& s, PixelBuffer& t) { Colorize(&s, &t, 200.0f, 30.0f, 5.0f); });
}

void BM_AdjustRgb(benchmark::State& state) {
    RunInPlace(state, [](PixelBuffer& t) { AdjustRgb(&t, 20, -15, 3); });
}

void BM_Threshold(benchmark::State& state) {
    const int mode = static_cast<int>(state.range(0));
    RunFromSource(state, [&](const PixelBuffer& s, PixelBuffer& t) { Threshold(&s, &t, mode, 128); });
}

void BM_SeparateChannel(benchmark::State& state) {
    RunInPlace(state, [](PixelBuffer& t) { SeparateChannel(&t, 1); });
}

void BM_Invert(benchmark::State& state) {
    RunInPlace(state, [](PixelBuffer& t) { Invert(&t); });
}

void BM_Grayscale(benchmark::State& state) {
    RunInPlace(state, [](PixelBuffer& t) { Grayscale(&t); });
}

void BM_Solarize(benchmark::State& state) {
    RunInPlace(state, [](PixelBuffer& t) { Solarize(&t); });
}

}  // namespace

#define PW_FILTER_BENCH(...) BENCHMARK(__VA_ARGS__)->Unit(benchmark::kMillisecond)->MinTime(0.3)

PW_FILTER_BENCH(BM_CopyPixels);
BENCHMARK_CAPTURE(BM_Convolve, LowGaussianBlur, kLowGaussianBlur)->Unit(benchmark::kMillisecond)->MinTime(0.3);
BENCHMARK_CAPTURE(BM_Convolve, MediumGaussianBlur, kMediumGaussianBlur)->Unit(benchmark::kMillisecond)->MinTime(0.3);
BENCHMARK_CAPTURE(BM_Convolve, StrongGaussianBlur, kStrongGaussianBlur)->Unit(benchmark::kMillisecond)->MinTime(0.3);
BENCHMARK_CAPTURE(BM_Convolve, Average, kAverageBlur)->Unit(benchmark::kMillisecond)->MinTime(0.3);
BENCHMARK_CAPTURE(BM_Convolve, SharpenLow, kLowSharpen)->Unit(benchmark::kMillisecond)->MinTime(0.3);
BENCHMARK_CAPTURE(BM_Convolve, SharpenMedium, kMediumSharpen)->Unit(benchmark::kMillisecond)->MinTime(0.3);
BENCHMARK_CAPTURE(BM_Convolve, SharpenStrong, kStrongSharpen)->Unit(benchmark::kMillisecond)->MinTime(0.3);
PW_FILTER_BENCH(BM_UnsharpMask)->Arg(1)->Arg(4);
PW_FILTER_BENCH(BM_Despeckle);
PW_FILTER_BENCH(BM_AddNoise)->Arg(0)->Arg(1);
PW_FILTER_BENCH(BM_Jitter);
PW_FILTER_BENCH(BM_EdgeDetect);
PW_FILTER_BENCH(BM_FindContours);
PW_FILTER_BENCH(BM_Emboss);
PW_FILTER_BENCH(BM_BrightnessContrast);
PW_FILTER_BENCH(BM_Gamma);
PW_FILTER_BENCH(BM_HueSaturation);
PW_FILTER_BENCH(BM_Colorize);
PW_FILTER_BENCH(BM_AdjustRgb);
PW_FILTER_BENCH(BM_Threshold)->Arg(0)->Arg(1)->Arg(2);
PW_FILTER_BENCH(BM_SeparateChannel);
PW_FILTER_BENCH(BM_Invert);
PW_FILTER_BENCH(BM_Grayscale);
PW_FILTER_BENCH(BM_Solarize);
