// Saving and opening a 12-megapixel photo-like picture with the program's writers and decoder.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "files/BmpWriter.h"
#include "files/JpegWriter.h"
#include "files/PngWriter.h"
#include "platform/ImageDecoder.h"

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

// Smooth colour ramps with a little texture, compressing roughly like a photo.
const PixelBuffer& Photo() {
    static std::unique_ptr<PixelBuffer> photo = [] {
        raster::BitmapInfo header;
        auto image = CreatePixelBuffer(kWidth, kHeight, 24, header, nullptr);
        std::uint32_t state = 1;
        for (int y = 0; y < kHeight; ++y) {
            std::uint8_t* row = image->Row(y);
            for (int x = 0; x < kWidth; ++x) {
                state = state * 1103515245u + 12345u;
                const int grain = static_cast<int>((state >> 16) & 7);
                row[3 * x] = static_cast<std::uint8_t>((x / 16 + grain) & 0xFF);
                row[3 * x + 1] = static_cast<std::uint8_t>((y / 12 + grain) & 0xFF);
                row[3 * x + 2] = static_cast<std::uint8_t>(((x + y) / 28 + grain) & 0xFF);
            }
        }
        return image;
    }();
    return *photo;
}

std::string ScratchPath(const char* ending) {
    return (std::filesystem::temp_directory_path() / ("pw-bench-" + std::to_string(getpid()) + ending)).string();
}

using Writer = int (*)(const PixelBuffer*, const std::string&);

void BM_Write(benchmark::State& state, Writer write, const char* ending) {
    const PixelBuffer& photo = Photo();
    const std::string path = ScratchPath(ending);
    for (auto _ : state) benchmark::DoNotOptimize(write(&photo, path));
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
    std::filesystem::remove(path);
}

void BM_Decode(benchmark::State& state, Writer write, const char* ending) {
    const std::string path = ScratchPath(ending);
    write(&Photo(), path);
    for (auto _ : state) {
        platform::DecodedImage decoded = platform::DecodeImageFile(path);
        benchmark::DoNotOptimize(decoded.image.get());
    }
    std::filesystem::remove(path);
}

BENCHMARK_CAPTURE(BM_Write, Bmp12MP, WriteBmp, ".bmp")->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(BM_Write, Jpeg12MP, WriteJpeg, ".jpg")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_Write, Png12MP, WritePng, ".png")->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_CAPTURE(BM_Decode, Bmp12MP, WriteBmp, ".bmp")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_Decode, Jpeg12MP, WriteJpeg, ".jpg")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_Decode, Png12MP, WritePng, ".png")->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
