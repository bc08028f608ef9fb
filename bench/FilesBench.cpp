// Saving and opening a 12-megapixel photo-like picture with the program's writers and readers.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <memory>

#include <jpeglib.h>
#include <png.h>

#include "files/BmpWriter.h"
#include "files/JpegWriter.h"
#include "files/PngWriter.h"
#include "files/WebpWriter.h"
#include "image/PaintSettings.h"
#include "image/PixelBuffer.h"
#include "files/ReadImage.h"
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
                // A camera's grain differs from channel to channel.
                int grain[3];
                for (int& g : grain) {
                    state = state * 1103515245u + 12345u;
                    g = static_cast<int>((state >> 16) & 7);
                }
                row[3 * x] = static_cast<std::uint8_t>((x / 16 + grain[0]) & 0xFF);
                row[3 * x + 1] = static_cast<std::uint8_t>((y / 12 + grain[1]) & 0xFF);
                row[3 * x + 2] = static_cast<std::uint8_t>(((x + y) / 28 + grain[2]) & 0xFF);
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
        platform::DecodedImage decoded = ReadImageFile(path);
        benchmark::DoNotOptimize(decoded.image.get());
    }
    std::filesystem::remove(path);
}

// The libraries on their own, for comparison: libjpeg-turbo and libpng decoding the same file
// into a new buffer, as any program opening it must, and libpng writing with its defaults.
void BM_LibjpegOwnDecode(benchmark::State& state) {
    const std::string path = ScratchPath(".jpg");
    WriteJpeg(&Photo(), path);
    for (auto _ : state) {
        std::unique_ptr<std::uint8_t[]> pixels(new std::uint8_t[static_cast<std::size_t>(kWidth) * kHeight * 3]);
        FILE* file = std::fopen(path.c_str(), "rb");
        jpeg_decompress_struct cinfo;
        jpeg_error_mgr errors;
        cinfo.err = jpeg_std_error(&errors);
        jpeg_create_decompress(&cinfo);
        jpeg_stdio_src(&cinfo, file);
        jpeg_read_header(&cinfo, TRUE);
        cinfo.out_color_space = JCS_EXT_BGR;
        jpeg_start_decompress(&cinfo);
        while (cinfo.output_scanline < cinfo.output_height) {
            JSAMPROW row = pixels.get() + static_cast<std::size_t>(cinfo.output_scanline) * kWidth * 3;
            jpeg_read_scanlines(&cinfo, &row, 1);
        }
        jpeg_finish_decompress(&cinfo);
        jpeg_destroy_decompress(&cinfo);
        std::fclose(file);
        benchmark::DoNotOptimize(pixels.get());
    }
    std::filesystem::remove(path);
}

void BM_LibpngOwnDecode(benchmark::State& state) {
    const std::string path = ScratchPath(".png");
    WritePng(&Photo(), path);
    for (auto _ : state) {
        std::unique_ptr<std::uint8_t[]> pixels(new std::uint8_t[static_cast<std::size_t>(kWidth) * kHeight * 3]);
        FILE* file = std::fopen(path.c_str(), "rb");
        png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        png_init_io(png, file);
        png_read_info(png, info);
        for (int y = 0; y < kHeight; ++y) png_read_row(png, pixels.get() + static_cast<std::size_t>(y) * kWidth * 3, nullptr);
        png_read_end(png, nullptr);
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(file);
        benchmark::DoNotOptimize(pixels.get());
    }
    std::filesystem::remove(path);
}

void BM_LibpngDefaultWrite(benchmark::State& state) {
    const PixelBuffer& photo = Photo();
    const std::string path = ScratchPath(".png");
    for (auto _ : state) {
        FILE* file = std::fopen(path.c_str(), "wb");
        png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        png_init_io(png, file);
        png_set_IHDR(png, info, kWidth, kHeight, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        png_set_bgr(png);
        for (int y = kHeight - 1; y >= 0; --y) png_write_row(png, photo.Row(y));
        png_write_end(png, info);
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
    }
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
    std::filesystem::remove(path);
}

BENCHMARK(BM_LibjpegOwnDecode)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LibpngOwnDecode)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_LibpngDefaultWrite)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_Write, Bmp12MP, WriteBmp, ".bmp")->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_CAPTURE(BM_Write, Jpeg12MP, WriteJpeg, ".jpg")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_Write, Png12MP, WritePng, ".png")->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK_CAPTURE(BM_Decode, Bmp12MP, WriteBmp, ".bmp")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_Decode, Jpeg12MP, WriteJpeg, ".jpg")->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_Decode, Png12MP, WritePng, ".png")->Unit(benchmark::kMillisecond)->Iterations(2);

int WriteLossyWebp(const PixelBuffer* image, const std::string& path) { return WriteWebp(image, path, false, nullptr); }
int WriteLosslessWebp(const PixelBuffer* image, const std::string& path) { return WriteWebp(image, path, true, nullptr); }
BENCHMARK_CAPTURE(BM_Write, WebpLossy12MP, WriteLossyWebp, ".webp")->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_Write, WebpLossless12MP, WriteLosslessWebp, ".webp")->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_Decode, WebpLossy12MP, WriteLossyWebp, ".webp")->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
