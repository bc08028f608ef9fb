// Draws the program's own resource images and writes them into a folder, named by their
// resource number: pixelwright-make-resources FOLDER.
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

#include "GifWriter.h"
#include "ResourceArt.h"
#include "files/BmpWriter.h"
#include "files/JpegWriter.h"
#include "files/PngWriter.h"

namespace {

enum class Format { Bmp, Gif, Jpeg, Png };

struct Resource {
    int id;
    Format format;
    std::function<std::unique_ptr<PixelBuffer>()> draw;
};

const char* Ending(Format format) {
    switch (format) {
        case Format::Bmp: return ".bmp";
        case Format::Gif: return ".gif";
        case Format::Jpeg: return ".jpg";
        case Format::Png: return ".png";
    }
    return "";
}

bool Write(const PixelBuffer& image, Format format, const std::string& path) {
    switch (format) {
        case Format::Bmp: return WriteBmp(&image, path) == 1;
        case Format::Gif: return WriteGif(image, path);
        case Format::Jpeg: return WriteJpeg(&image, path) == 1;
        case Format::Png: return WritePng(&image, path) == 1;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: pixelwright-make-resources FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    const Resource resources[] = {
        {kCommandBarImagesId, Format::Bmp, MakeCommandBarImages},
        {kBrushSheetId, Format::Gif, MakeBrushSheet},
        {kToolStripId, Format::Png, MakeToolStrip},
        {kSpectrumAcrossId, Format::Jpeg, [] { return MakeSpectrumStrip(false); }},
        {kSpectrumDownId, Format::Jpeg, [] { return MakeSpectrumStrip(true); }},
        {kColourFieldId, Format::Jpeg, MakeColourField},
    };
    int failures = 0;
    for (const Resource& resource : resources) {
        const std::string path = folder + "/" + std::to_string(resource.id) + Ending(resource.format);
        const std::unique_ptr<PixelBuffer> image = resource.draw();
        if (!image || !Write(*image, resource.format, path)) {
            std::fprintf(stderr, "pixelwright-make-resources: could not make %s\n", path.c_str());
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
