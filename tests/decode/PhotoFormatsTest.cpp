// WebP, TIFF, HEIF and AVIF files, made by the formats' own encoders, opened as the program
// opens them and compared with what they hold and with ImageMagick's decoding of them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "files/ReadImage.h"
#include "image/PaintSettings.h"
#include "image/PixelBuffer.h"
#include "shell/ProgramState.h"
#include "support/CameraFiles.h"
#include "support/PhotoFiles.h"

using namespace samples;
using platform::DecodeStatus;

namespace {

// A picture with soft changes, as photos have: lossy formats keep it close.
Picture SmoothPicture(int width, int height) {
    Picture picture{width, height, {}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            picture.pixels.push_back({static_cast<std::uint8_t>(std::min(255, 4 * x)),
                                      static_cast<std::uint8_t>(std::min(255, 5 * y)),
                                      static_cast<std::uint8_t>(std::clamp(128 + 2 * x - y, 0, 255)), 255});
        }
    }
    return picture;
}

// The picture's pixel laid over the background, as the decoder must show it.
Rgba Shown(const Rgba& p, std::uint32_t background) {
    const auto over = [&](int c, int b) { return static_cast<std::uint8_t>((c * p.alpha + b * (255 - p.alpha) + 127) / 255); };
    return {over(p.red, raster::RedOf(background)), over(p.green, raster::GreenOf(background)),
            over(p.blue, raster::BlueOf(background)), 255};
}

// The largest difference of any channel between the decoded picture and want; 999 when
// their sizes differ.
int LargestDifference(const PixelBuffer& image, const Picture& want) {
    if (image.Width() != want.width || image.Height() != want.height) return 999;
    int largest = 0;
    for (int y = 0; y < want.height; ++y) {
        for (int x = 0; x < want.width; ++x) {
            const std::uint8_t* p = image.Row(y) + 3 * x;
            const Rgba w = want.At(x, y);
            largest = std::max({largest, std::abs(p[2] - w.red), std::abs(p[1] - w.green), std::abs(p[0] - w.blue)});
        }
    }
    return largest;
}

Picture ShownPicture(const Picture& picture, std::uint32_t background, bool greyFromRed = false) {
    Picture shown = picture;
    for (Rgba& p : shown.pixels) {
        if (greyFromRed) p.green = p.blue = p.red;
        p = Shown(p, background);
    }
    return shown;
}

struct FormatCase {
    std::string name;
    Bytes bytes;
    Picture picture;    // what the file holds
    int tolerance;      // against that picture
    bool transparent;   // some pixel is not opaque
    bool greyFromRed = false;
};

// The JPEG readers' tolerance: two decoders of one lossy file differ by rounding only.
constexpr int kDecoderTolerance = 6;

class PhotoFormats : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        PaintSettings.BColor = 0x00336699;  // not white, so that laying over shows
        folder = std::filesystem::temp_directory_path() / ("pw-photo-formats-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
    }
    void TearDown() override {
        std::filesystem::remove_all(folder);
        ResetProgramState();
    }
    std::string Write(const std::string& name, const Bytes& bytes) const {
        const std::string path = (folder / name).string();
        WriteFileBytes(path, bytes);
        return path;
    }
    std::filesystem::path folder;
};

}  // namespace

TEST_F(PhotoFormats, EveryFormOpensAsItsEncoderWroteItAndAsImageMagickReadsIt) {
    const Picture gradient = GradientPicture(13, 9, false);
    const Picture glass = GradientPicture(13, 9, true);
    const Picture smooth = SmoothPicture(48, 36);
    const Picture four = FourColourPicture(11, 6);
    const Picture second = FourColourPicture(13, 9);
    const std::vector<FormatCase> cases = {
        {"lossless.webp", MakeWebp(gradient, true), gradient, 0, false},
        {"lossy.webp", MakeWebp(smooth, false), smooth, 12, false},
        {"alpha.webp", MakeWebp(glass, true), glass, 1, true},
        {"animated.webp", MakeAnimatedWebp({gradient, second}), gradient, 0, false},
        {"rgb8.tif", MakeTiff(gradient, TiffKind::Rgb8), gradient, 0, false},
        {"rgb16.tif", MakeTiff(gradient, TiffKind::Rgb16), gradient, 0, false},
        {"grey8.tif", MakeTiff(gradient, TiffKind::Grey8), gradient, 0, false, true},
        {"grey16.tif", MakeTiff(gradient, TiffKind::Grey16), gradient, 0, false, true},
        {"palette.tif", MakeTiff(four, TiffKind::Palette), four, 0, false},
        {"cmyk.tif", MakeTiff(gradient, TiffKind::Cmyk), gradient, 0, false},
        {"alpha.tif", MakeTiff(glass, TiffKind::Rgba), glass, 3, true},
        {"premultiplied.tif", MakeTiff(glass, TiffKind::PremultipliedRgba), glass, 3, true},
        {"pages.tif", MakeTiff(gradient, TiffKind::Rgb8, true), gradient, 0, false},
        {"photo.heic", MakeHeif(smooth, false), smooth, 16, false},
        {"photo.avif", MakeHeif(smooth, true), smooth, 16, false},
        {"glass.avif", MakeHeif(SmoothPicture(16, 16), true), SmoothPicture(16, 16), 16, false},
    };
    const bool magick = HaveImageMagick();
    if (!magick) std::fprintf(stderr, "ImageMagick is missing: only the encoders' pictures are compared\n");
    for (const FormatCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_FALSE(c.bytes.empty()) << "the encoder made nothing";
        const std::string path = Write(c.name, c.bytes);
        const platform::DecodedImage decoded = ReadImageFile(path);
        ASSERT_EQ(decoded.status, DecodeStatus::Ok) << decoded.text;
        EXPECT_LE(LargestDifference(*decoded.image, ShownPicture(c.picture, PaintSettings.BColor, c.greyFromRed)),
                  c.tolerance);
        EXPECT_EQ(decoded.transparent, c.transparent);
        for (int y = 0; y < decoded.image->Height(); ++y) {
            const std::uint8_t* row = decoded.image->Row(y);
            ASSERT_TRUE(std::all_of(row + 3 * decoded.image->Width(), row + decoded.image->Stride(),
                                    [](std::uint8_t b) { return b == 0; }));
        }
        if (magick) {
            const Picture theirs = MagickDecode(path, PaintSettings.BColor);
            ASSERT_FALSE(theirs.pixels.empty()) << "ImageMagick could not read it";
            EXPECT_LE(LargestDifference(*decoded.image, theirs), kDecoderTolerance);
        }
    }
}

TEST_F(PhotoFormats, WhatTheFilesCarryIsReadWithThePicture) {
    const Picture smooth = SmoothPicture(24, 16);
    const Carried all{true, true, true};
    const Bytes exif = MakeCameraExif(1, 24, 16, false);
    const Bytes exifMotorola = MakeCameraExif(1, 24, 16, true);
    const std::string xmp = kCameraXmp;
    const struct {
        const char* name;
        Bytes bytes;
        bool hasExif;
    } cases[] = {{"carried.webp", MakeWebp(smooth, false, all), true},
                 {"carried.tif", MakeTiff(smooth, TiffKind::Rgb8, false, all), false},
                 {"carried.heic", MakeHeif(smooth, false, all), true},
                 {"carried.avif", MakeHeif(smooth, true, all), true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const platform::DecodedImage decoded = ReadImageData(c.bytes.data(), c.bytes.size(), c.name);
        ASSERT_TRUE(decoded.image) << decoded.text;
        EXPECT_EQ(decoded.metadata.icc, MakeRgbProfile());
        EXPECT_EQ(std::string(decoded.metadata.xmp.begin(), decoded.metadata.xmp.end()), xmp);
        if (c.hasExif) {
            EXPECT_TRUE(decoded.metadata.exif == exif || decoded.metadata.exif == exifMotorola);
        }
    }
    EXPECT_TRUE(ReadImageData(MakeWebp(smooth, true).data(), MakeWebp(smooth, true).size(), "x").lossless);
    EXPECT_FALSE(ReadImageData(MakeWebp(smooth, false).data(), MakeWebp(smooth, false).size(), "x").lossless);
}

TEST_F(PhotoFormats, ACutFileOpensAsFarAsItCanBeReadOrIsRefused) {
    const Picture big = SmoothPicture(96, 96);
    const struct {
        const char* name;
        Bytes bytes;
        bool partial;  // the format's library decodes the part that is there
    } cases[] = {{"cut.webp", MakeWebp(big, false), true},
                 {"cut-lossless.webp", MakeWebp(GradientPicture(96, 96, false), true), false},
                 {"cut.tif", MakeTiff(big, TiffKind::Rgb8), true},
                 {"cut.heic", MakeHeif(big, false), false},
                 {"cut.avif", MakeHeif(big, true), false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes cut(c.bytes.begin(), c.bytes.begin() + static_cast<std::ptrdiff_t>(c.bytes.size() * 6 / 10));
        // A TIFF keeps its directory at the end, where a cut file loses it: its pixel data is
        // spoilt in the middle instead.
        if (std::string(c.name).ends_with(".tif")) {
            cut = c.bytes;
            std::fill(cut.begin() + static_cast<std::ptrdiff_t>(cut.size() / 2),
                      cut.begin() + static_cast<std::ptrdiff_t>(cut.size() / 2 + 64), 0xFF);
        }
        const platform::DecodedImage decoded = ReadImageData(cut.data(), cut.size(), c.name);
        if (c.partial) {
            ASSERT_EQ(decoded.status, DecodeStatus::Damaged);
            EXPECT_EQ(decoded.text, std::string("\"") + c.name + "\" is damaged: the picture may be incomplete.");
            // The bottom row was never reached: it shows the background.
            const std::uint8_t* bottom = decoded.image->Row(95);
            EXPECT_EQ(bottom[0], raster::BlueOf(PaintSettings.BColor));
            EXPECT_EQ(bottom[2], raster::RedOf(PaintSettings.BColor));
        } else {
            EXPECT_TRUE(decoded.status == DecodeStatus::Damaged || decoded.status == DecodeStatus::NotImage);
            EXPECT_FALSE(decoded.text.empty());
        }
        // Only a few bytes of each: refused as no picture.
        const platform::DecodedImage stub = ReadImageData(c.bytes.data(), 20, c.name);
        EXPECT_EQ(stub.status, DecodeStatus::NotImage);
        EXPECT_FALSE(stub.image);
    }
}
