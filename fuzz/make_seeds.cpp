// Writes the fuzzers' seed corpus: small sound files of every kind the decoder reads.
// Usage: pw-fuzz-seeds DECODE_FOLDER TWOBPP_FOLDER WEBP_FOLDER TIFF_FOLDER HEIF_FOLDER
#include <cstdio>
#include <fstream>
#include <string>

#include "support/CameraFiles.h"
#include "support/PhotoFiles.h"
#include "support/SampleFiles.h"

using namespace samples;

namespace {

bool Save(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: %s DECODE_FOLDER TWOBPP_FOLDER WEBP_FOLDER TIFF_FOLDER HEIF_FOLDER\n", argv[0]);
        return 2;
    }
    const std::string decode = argv[1];
    const std::string twobpp = argv[2];
    const std::string webp = argv[3];
    const std::string tiff = argv[4];
    const std::string heif = argv[5];
    const Picture gradient = GradientPicture(9, 7, false);
    const Picture faded = GradientPicture(9, 7, true);
    const Picture four = FourColourPicture(9, 7);
    bool ok = true;
    ok &= Save(decode + "/rgb.png", MakePng(gradient, PngKind::Rgb8));
    ok &= Save(decode + "/rgba.png", MakePng(faded, PngKind::Rgba8));
    ok &= Save(decode + "/grey16.png", MakePng(gradient, PngKind::Grey16));
    ok &= Save(decode + "/palette.png", MakePng(four, PngKind::PaletteTransparent));
    ok &= Save(decode + "/interlaced.png", MakePng(gradient, PngKind::Interlaced));
    ok &= Save(decode + "/baseline.jpg", MakeJpeg(gradient, JpegKind::Baseline));
    ok &= Save(decode + "/progressive.jpg", MakeJpeg(gradient, JpegKind::Progressive, 6));
    ok &= Save(decode + "/grey.jpg", MakeJpeg(gradient, JpegKind::Grey));
    ok &= Save(decode + "/animated.gif", MakeGif({four, four}, 1));
    ok &= Save(decode + "/rgb24.bmp", MakeBmp(gradient, BmpKind::Rgb24TopDown));
    ok &= Save(decode + "/rgb16.bmp", MakeBmp(gradient, BmpKind::Rgb16));
    ok &= Save(decode + "/rle8.bmp", MakeBmp(four, BmpKind::Rle8));
    ok &= Save(decode + "/palette1.bmp", MakeBmp(FourColourPicture(9, 1), BmpKind::Palette1));
    ok &= Save(decode + "/picture.2bp", MakeTwoBpp(four));
    ok &= Save(twobpp + "/bottom-up.2bp", MakeTwoBpp(four));
    ok &= Save(twobpp + "/top-down.2bp", MakeTwoBpp(four, true));
    ok &= Save(twobpp + "/core.2bp", MakeTwoBpp(four, false, true));
    ok &= Save(twobpp + "/two-colours.2bp", MakeTwoBpp(four, false, false, 2));
    const Carried all{true, true, true};
    ok &= Save(decode + "/camera.jpg", MakeCameraJpeg(gradient, 6));
    ok &= Save(decode + "/lossy.webp", MakeWebp(gradient, false, all));
    ok &= Save(decode + "/photo.tif", MakeTiff(gradient, TiffKind::Rgb8, false, all));
    ok &= Save(webp + "/lossy.webp", MakeWebp(gradient, false, all));
    ok &= Save(webp + "/lossless-alpha.webp", MakeWebp(faded, true));
    ok &= Save(webp + "/animated.webp", MakeAnimatedWebp({gradient, faded}));
    for (const TiffKind kind : {TiffKind::Rgb8, TiffKind::Rgb16, TiffKind::Grey8, TiffKind::Cmyk, TiffKind::Rgba}) {
        ok &= Save(tiff + "/kind" + std::to_string(static_cast<int>(kind)) + ".tif", MakeTiff(gradient, kind, true, all));
    }
    ok &= Save(tiff + "/palette.tif", MakeTiff(four, TiffKind::Palette));
    ok &= Save(heif + "/photo.heic", MakeHeif(gradient, false, all));
    ok &= Save(heif + "/photo.avif", MakeHeif(gradient, true, all));
    ok &= Save(heif + "/alpha.avif", MakeHeif(faded, true));
    return ok ? 0 : 1;
}
