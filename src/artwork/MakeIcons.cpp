// Draws the program's icon at the sizes desktops look for and writes it as PNG files with
// transparent corners into the icon theme layout under a folder:
// pixelwright-make-icons FOLDER writes FOLDER/hicolor/NxN/apps/pixelwright.png.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <png.h>

#include "panels/Artwork.h"

namespace {

constexpr int kSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

bool WriteRgbaPng(const std::string& path, int size, const std::vector<std::uint8_t>& rgba) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool written = false;
    if (png && info && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file);
        png_set_IHDR(png, info, static_cast<png_uint_32>(size), static_cast<png_uint_32>(size), 8,
                     PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < size; ++y) {
            png_write_row(png, rgba.data() + static_cast<std::size_t>(y) * size * 4);
        }
        png_write_end(png, info);
        written = true;
    }
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: pixelwright-make-icons FOLDER\n");
        return 2;
    }
    int failures = 0;
    for (int size : kSizes) {
        const std::string sizeName = std::to_string(size) + "x" + std::to_string(size);
        const std::filesystem::path folder = std::filesystem::path(argv[1]) / "hicolor" / sizeName / "apps";
        std::error_code error;
        std::filesystem::create_directories(folder, error);
        const std::string path = (folder / "pixelwright.png").string();
        if (!WriteRgbaPng(path, size, DrawProgramIcon(size))) {
            std::fprintf(stderr, "pixelwright-make-icons: could not write %s\n", path.c_str());
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
