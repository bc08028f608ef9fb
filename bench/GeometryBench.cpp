// Geometry, resampling and the creative and distort filters on a 12-megapixel photo-like
// picture (4000 x 3000: smooth gradients, a few shapes and grain).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>

#include "filters/CreativeFilters.h"
#include "filters/DistortFilters.h"
#include "filters/Geometry.h"
#include "filters/Resize.h"
#include "image/PixelBuffer.h"

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

std::unique_ptr<PixelBuffer> NewBuffer(int width, int height) {
    raster::BitmapInfo header;
    std::unique_ptr<PixelBuffer> buffer = CreatePixelBuffer(width, height, 24, header, nullptr);
    if (buffer) std::memset(buffer->Bits(), 0, buffer->ByteSize());
    return buffer;
}

const PixelBuffer& Photo() {
    static const std::unique_ptr<PixelBuffer> photo = [] {
        std::unique_ptr<PixelBuffer> p = NewBuffer(kWidth, kHeight);
        std::uint32_t grain = 12345;
        for (int y = 0; y < kHeight; ++y) {
            std::uint8_t* row = p->Row(y);
            for (int x = 0; x < kWidth; ++x) {
                grain = grain * 1103515245u + 12345u;
                const int n = static_cast<int>((grain >> 16) & 15) - 8;
                const double sky = 0.5 + 0.5 * std::sin(x * 0.0015 + y * 0.0007);
                const bool disc = (x - 2600) * (x - 2600) + (y - 1200) * (y - 1200) < 700 * 700;
                int r = static_cast<int>(disc ? 200 - y * 0.02 : 40 + 150 * sky) + n;
                int g = static_cast<int>(disc ? 90 + x * 0.01 : 80 + 100 * sky * (y / 3000.0)) + n;
                int b = static_cast<int>(disc ? 40 : 120 + 100 * (1 - sky)) + n;
                row[3 * x] = static_cast<std::uint8_t>(b < 0 ? 0 : (b > 255 ? 255 : b));
                row[3 * x + 1] = static_cast<std::uint8_t>(g < 0 ? 0 : (g > 255 ? 255 : g));
                row[3 * x + 2] = static_cast<std::uint8_t>(r < 0 ? 0 : (r > 255 ? 255 : r));
            }
        }
        return p;
    }();
    return *photo;
}

// Source and target of the photo's size, the target a copy of the source as the filters find it.
struct Pair {
    std::unique_ptr<PixelBuffer> target = NewBuffer(kWidth, kHeight);
    Pair() { CopyPixels(target.get(), &Photo()); }
};

void Finish(benchmark::State& state) {
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kWidth) * kHeight);
}

void BM_FlipHorizontal(benchmark::State& state) {
    Pair p;
    for (auto _ : state) FlipPixelsHorizontal(*p.target);
    Finish(state);
}

void BM_FlipVertical(benchmark::State& state) {
    Pair p;
    for (auto _ : state) FlipPixelsVertical(*p.target);
    Finish(state);
}

void BM_Rotate90(benchmark::State& state) {
    std::unique_ptr<PixelBuffer> target = NewBuffer(kHeight, kWidth);
    for (auto _ : state) RotatePixels90(Photo(), *target, state.range(0) != 0);
    Finish(state);
}

void BM_RotateArbitrary(benchmark::State& state) {
    const RotationFrame frame = ComputeRotationFrame(static_cast<float>(state.range(0)), kWidth, kHeight);
    std::unique_ptr<PixelBuffer> target = NewBuffer(frame.width, frame.height);
    for (auto _ : state) RotatePixelsArbitrary(Photo(), *target, frame, 0xFFFFFF, nullptr, nullptr);
    Finish(state);
}

void BM_ResizeHalf(benchmark::State& state) {
    std::unique_ptr<PixelBuffer> target = NewBuffer(kWidth / 2, kHeight / 2);
    for (auto _ : state) ResamplePixels(Photo(), *target, static_cast<int>(state.range(0)));
    Finish(state);
}

void BM_ResizeDouble(benchmark::State& state) {
    std::unique_ptr<PixelBuffer> target = NewBuffer(kWidth * 2, kHeight * 2);
    for (auto _ : state) ResamplePixels(Photo(), *target, kResampleNearest);
    Finish(state);
}

void BM_Mosaic(benchmark::State& state) {
    Pair p;
    for (auto _ : state) MosaicPixels(*p.target, static_cast<int>(state.range(0)));
    Finish(state);
}

void BM_Oilpaint(benchmark::State& state) {
    Pair p;
    for (auto _ : state) OilpaintPixels(Photo(), *p.target);
    Finish(state);
}

void BM_Texture(benchmark::State& state) {
    Pair p;
    std::unique_ptr<PixelBuffer> texture = NewBuffer(128, 128);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 384; ++x) texture->Row(y)[x] = static_cast<std::uint8_t>((x * 7 + y * 13) & 0xFF);
    for (auto _ : state) ApplyTexture(*p.target, *texture, 128);
    Finish(state);
}

void BM_Offset(benchmark::State& state) {
    Pair p;
    for (auto _ : state) OffsetPixels(Photo(), *p.target, 1234, -567);
    Finish(state);
}

void BM_Sphere(benchmark::State& state) {
    Pair p;
    for (auto _ : state) SpherePixels(Photo(), *p.target, static_cast<int>(state.range(0)));
    Finish(state);
}

void BM_Swirl(benchmark::State& state) {
    Pair p;
    const SwirlPlan plan = MakeSwirlPlan(kWidth, kHeight, 0, 90);
    for (auto _ : state) {
        for (int y = 0; y < kHeight; ++y) SwirlRow(Photo(), *p.target, plan, y);
    }
    Finish(state);
}

void BM_Waves(benchmark::State& state) {
    Pair p;
    for (auto _ : state) WavesPixels(Photo(), *p.target, 10, 10, 100);
    Finish(state);
}

}  // namespace

#define PW_GEOMETRY_BENCH(name) BENCHMARK(name)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.5)

PW_GEOMETRY_BENCH(BM_FlipHorizontal);
PW_GEOMETRY_BENCH(BM_FlipVertical);
PW_GEOMETRY_BENCH(BM_Rotate90)->Arg(1)->Arg(0);
PW_GEOMETRY_BENCH(BM_RotateArbitrary)->Arg(33)->Arg(90);
PW_GEOMETRY_BENCH(BM_ResizeHalf)->Arg(kResampleInterpolated)->Arg(kResampleNearest);
PW_GEOMETRY_BENCH(BM_ResizeDouble);
PW_GEOMETRY_BENCH(BM_Mosaic)->Arg(2)->Arg(16);
PW_GEOMETRY_BENCH(BM_Oilpaint);
PW_GEOMETRY_BENCH(BM_Texture);
PW_GEOMETRY_BENCH(BM_Offset);
PW_GEOMETRY_BENCH(BM_Sphere)->Arg(50)->Arg(-50);
PW_GEOMETRY_BENCH(BM_Swirl);
PW_GEOMETRY_BENCH(BM_Waves);
