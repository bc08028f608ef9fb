// The block transfers the view and the selections lean on: the zoomed view of a large
// photo filling a full-HD window, and the colour-matching copy into an 8-bit mask.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

#include "image/PixelBuffer.h"
#include "platform/raster/ColourMatch.h"
#include "platform/raster/Draw.h"

namespace {

std::unique_ptr<raster::DrawingContext> MakeBuffer(int width, int height, int bits) {
    raster::BitmapInfo info;
    std::uint8_t* pixels = nullptr;
    std::unique_ptr<PixelBuffer> buffer = CreatePixelBuffer(width, height, bits, info, &pixels);
    if (!buffer) return nullptr;
    std::memset(pixels, 0, buffer->ByteSize());
    return std::make_unique<raster::DrawingContext>(std::move(buffer));
}

// A photo-like picture: smooth gradients with a little per-pixel variation.
void PaintPhoto(raster::Bitmap& bm) {
    std::uint32_t seed = 1;
    for (int y = 0; y < bm.Height(); ++y) {
        std::uint8_t* p = bm.Row(y);
        for (int x = 0; x < bm.Width(); ++x, p += 3) {
            seed = seed * 1664525u + 1013904223u;
            const int n = static_cast<int>(seed >> 29);
            p[0] = static_cast<std::uint8_t>((x * 255 / bm.Width() + n) & 0xFF);
            p[1] = static_cast<std::uint8_t>((y * 255 / bm.Height() + n) & 0xFF);
            p[2] = static_cast<std::uint8_t>(((x + y) / 16 + n) & 0xFF);
        }
    }
}

// PaintView's copy: the window's client area (1920 x 1080) from the image at the scroll
// position, source size trunc(client / zoom).
void BM_ViewStretch(benchmark::State& state) {
    const float zoom = static_cast<float>(state.range(0)) / 100.0f;
    static const auto image = [] {
        auto dc = MakeBuffer(4000, 3000, 24);
        PaintPhoto(*dc->SelectedBitmap());
        return dc;
    }();
    const auto window = MakeBuffer(1920, 1080, 24);
    const float inv = 1.0f / zoom;
    const int scrollX = static_cast<int>(800 * zoom);
    const int scrollY = static_cast<int>(600 * zoom);
    const int srcX = static_cast<int>(static_cast<float>(scrollX) * inv);
    const int srcY = static_cast<int>(static_cast<float>(scrollY) * inv);
    const int srcWidth = static_cast<int>(1920 * inv);
    const int srcHeight = static_cast<int>(1080 * inv);
    for (auto _ : state) {
        raster::StretchBlt(*window, 0, 0, 1920, 1080, *image, srcX, srcY, srcWidth, srcHeight);
        benchmark::DoNotOptimize(window->SelectedBitmap()->Bits());
    }
    state.SetItemsProcessed(state.iterations() * 1920 * 1080);
}
BENCHMARK(BM_ViewStretch)->Arg(25)->Arg(100)->Arg(300)->Unit(benchmark::kMillisecond);

// A 1000 x 1000 selection turned into its mask: the black and blue scratch, and (the
// harder case) a photo's own colours.
void BM_MatchToEightBits(benchmark::State& state) {
    const bool photo = state.range(0) != 0;
    const auto src = MakeBuffer(1000, 1000, 24);
    if (photo) {
        PaintPhoto(*src->SelectedBitmap());
    } else {
        src->SetPen({raster::PenStyle::Solid, 1, raster::MakeColour(0, 0, 255)});
        src->SetFill({false, raster::MakeColour(0, 0, 255)});
        raster::Ellipse(*src, 0, 0, 1000, 1000);
    }
    const auto mask = MakeBuffer(1000, 1000, 8);
    for (auto _ : state) {
        raster::BitBlt(*mask, 0, 0, 1000, 1000, *src, 0, 0);
        benchmark::DoNotOptimize(mask->SelectedBitmap()->Bits());
    }
    state.SetItemsProcessed(state.iterations() * 1000 * 1000);
    state.SetLabel(photo ? "photo" : "scratch");
}
BENCHMARK(BM_MatchToEightBits)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Building the matcher of a palette not seen before.
void BM_BuildPaletteMatcher(benchmark::State& state) {
    const auto mask = MakeBuffer(1, 1, 8);
    raster::RgbQuad palette[256];
    std::memcpy(palette, mask->SelectedBitmap()->Palette(), sizeof palette);
    std::uint8_t tweak = 0;
    for (auto _ : state) {
        palette[100].red = ++tweak;
        benchmark::DoNotOptimize(raster::PaletteMatcher::For(palette));
    }
}
BENCHMARK(BM_BuildPaletteMatcher)->Unit(benchmark::kMillisecond);

}  // namespace
