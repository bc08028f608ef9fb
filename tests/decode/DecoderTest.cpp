#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "files/ReadImage.h"
#include "image/PaintSettings.h"
#include "image/PixelBuffer.h"
#include "platform/ImageDecoder.h"
#include "shell/ProgramState.h"
#include "support/SampleFiles.h"

using namespace samples;
using platform::DecodeStatus;

namespace {

platform::DecodedImage Decode(const Bytes& bytes, const std::string& name = "sample") {
    return ReadImageData(bytes.data(), bytes.size(), name);
}

// The decoded pixel (x, y), top row first, as red-green-blue.
Rgba PixelOf(const PixelBuffer& image, int x, int y) {
    const std::uint8_t* p = image.Row(y) + 3 * x;
    return Rgba{p[2], p[1], p[0], 255};
}

// The colour a pixel of the picture must become: opaque ones as they are, others laid
// over the background colour with rounding.
Rgba Expected(const Rgba& p, std::uint32_t background) {
    const auto over = [&](int c, int b) { return static_cast<std::uint8_t>((c * p.alpha + b * (255 - p.alpha) + 127) / 255); };
    return Rgba{over(p.red, raster::RedOf(background)), over(p.green, raster::GreenOf(background)),
                over(p.blue, raster::BlueOf(background)), 255};
}

// Checks size, depth, zero padding and every pixel (within tolerance per channel).
void ExpectPicture(const platform::DecodedImage& decoded, const Picture& picture, int tolerance = 0,
                   bool greyFromRed = false) {
    ASSERT_EQ(decoded.status, DecodeStatus::Ok) << decoded.text;
    ASSERT_TRUE(decoded.image);
    const PixelBuffer& image = *decoded.image;
    ASSERT_EQ(image.Width(), picture.width);
    ASSERT_EQ(image.Height(), picture.height);
    EXPECT_EQ(image.BitsPerPixel(), 24);
    EXPECT_EQ(image.Info().header.xPelsPerMeter, 3780);
    int mismatches = 0;
    for (int y = 0; y < picture.height; ++y) {
        for (int i = 3 * picture.width; i < image.Stride(); ++i) EXPECT_EQ(image.Row(y)[i], 0) << "padding";
        for (int x = 0; x < picture.width; ++x) {
            Rgba source = picture.At(x, y);
            if (greyFromRed) source.green = source.blue = source.red;
            const Rgba want = Expected(source, PaintSettings.BColor);
            const Rgba got = PixelOf(image, x, y);
            if (std::abs(got.red - want.red) > tolerance || std::abs(got.green - want.green) > tolerance ||
                std::abs(got.blue - want.blue) > tolerance) {
                if (++mismatches <= 5) {
                    ADD_FAILURE() << "pixel " << x << "," << y << ": got " << int(got.red) << "," << int(got.green)
                                  << "," << int(got.blue) << " want " << int(want.red) << "," << int(want.green)
                                  << "," << int(want.blue);
                }
            }
        }
    }
    EXPECT_EQ(mismatches, 0);
}

class Decoder : public ::testing::Test {
protected:
    void SetUp() override { ResetProgramState(); }
    void TearDown() override { ResetProgramState(); }
};

TEST_F(Decoder, PngOfEveryDepthGivesTheExactPixels) {
    const Picture gradient = GradientPicture(7, 5, false);
    ExpectPicture(Decode(MakePng(gradient, PngKind::Rgb8)), gradient);
    ExpectPicture(Decode(MakePng(gradient, PngKind::Rgb16)), gradient);
    ExpectPicture(Decode(MakePng(gradient, PngKind::Grey8)), gradient, 0, true);
    ExpectPicture(Decode(MakePng(gradient, PngKind::Grey16)), gradient, 0, true);
    const Picture large = GradientPicture(33, 17, false);
    ExpectPicture(Decode(MakePng(large, PngKind::Interlaced)), large);
    const Picture four = FourColourPicture(6, 3);
    ExpectPicture(Decode(MakePng(four, PngKind::Palette)), four);
}

TEST_F(Decoder, TransparentPixelsAreLaidOverTheBackgroundColour) {
    PaintSettings.BColor = raster::MakeColour(10, 200, 90);
    const Picture faded = GradientPicture(9, 4, true);  // alpha from 0 at the left to 255 at the right
    ExpectPicture(Decode(MakePng(faded, PngKind::Rgba8)), faded);
    ExpectPicture(Decode(MakePng(faded, PngKind::GreyAlpha8)), faded, 0, true);

    // Fully transparent palette entry 1 shows the background exactly.
    const auto decoded = Decode(MakePng(FourColourPicture(4, 2), PngKind::PaletteTransparent));
    ASSERT_TRUE(decoded.image);
    EXPECT_EQ(PixelOf(*decoded.image, 1, 0), (Rgba{10, 200, 90, 255}));
    EXPECT_EQ(PixelOf(*decoded.image, 0, 0), kFourColours[0]);

    // One value worked by hand: red 200 at alpha 128 over white is (200*128 + 255*127 + 127) / 255.
    PaintSettings.BColor = 0xFFFFFF;
    Picture one{1, 1, {{200, 100, 50, 128}}};
    const auto half = Decode(MakePng(one, PngKind::Rgba8));
    ASSERT_TRUE(half.image);
    EXPECT_EQ(PixelOf(*half.image, 0, 0), (Rgba{227, 177, 152, 255}));
}

TEST_F(Decoder, JpegBaselineProgressiveAndGrey) {
    const Picture smooth = GradientPicture(16, 16, false);
    // Lossy: compare loosely, but the size and the rough colours must hold.
    ExpectPicture(Decode(MakeJpeg(FourColourPicture(1, 1), JpegKind::Baseline)), FourColourPicture(1, 1), 6);
    Picture flat{24, 16, std::vector<Rgba>(24 * 16, Rgba{30, 140, 220, 255})};
    ExpectPicture(Decode(MakeJpeg(flat, JpegKind::Baseline)), flat, 4);
    ExpectPicture(Decode(MakeJpeg(flat, JpegKind::Progressive)), flat, 4);
    ExpectPicture(Decode(MakeJpeg(flat, JpegKind::Grey)), flat, 2, true);
    const auto progressive = Decode(MakeJpeg(smooth, JpegKind::Progressive));
    ASSERT_TRUE(progressive.image);
    EXPECT_EQ(progressive.image->Width(), 16);
}

TEST_F(Decoder, TheExifOrientationTurnsThePhoto) {
    // Left half red, right half blue, 32 x 16; orientation 6 means "turn 90 degrees clockwise
    // to view", which puts the left half at the top.
    Picture photo{32, 16, {}};
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 32; ++x) photo.pixels.push_back(x < 16 ? Rgba{255, 0, 0, 255} : Rgba{0, 0, 255, 255});
    }
    const auto turned = Decode(MakeJpeg(photo, JpegKind::Baseline, 6));
    ASSERT_EQ(turned.status, DecodeStatus::Ok);
    ASSERT_EQ(turned.image->Width(), 16);
    ASSERT_EQ(turned.image->Height(), 32);
    EXPECT_GT(PixelOf(*turned.image, 8, 4).red, 200);
    EXPECT_GT(PixelOf(*turned.image, 8, 28).blue, 200);
    const auto upright = Decode(MakeJpeg(photo, JpegKind::Baseline, 1));
    ASSERT_TRUE(upright.image);
    EXPECT_EQ(upright.image->Width(), 32);
    EXPECT_GT(PixelOf(*upright.image, 4, 8).red, 200);
}

TEST_F(Decoder, GifGivesItsFirstFrame) {
    const Picture first = FourColourPicture(5, 4);
    Picture second = first;
    for (Rgba& p : second.pixels) p = kFourColours[3];
    ExpectPicture(Decode(MakeGif({first, second})), first);
    ExpectPicture(Decode(MakeGif({first})), first);

    PaintSettings.BColor = raster::MakeColour(1, 2, 3);
    const auto transparent = Decode(MakeGif({first, second}, 2));
    ASSERT_TRUE(transparent.image);
    EXPECT_EQ(PixelOf(*transparent.image, 2, 0), (Rgba{1, 2, 3, 255}));  // (2 + 0) % 4 = index 2
    EXPECT_EQ(PixelOf(*transparent.image, 0, 0), kFourColours[0]);
}

TEST_F(Decoder, BitmapFilesOfEveryKind) {
    const Picture gradient = GradientPicture(5, 3, false);
    ExpectPicture(Decode(MakeBmp(gradient, BmpKind::Rgb24)), gradient);
    ExpectPicture(Decode(MakeBmp(gradient, BmpKind::Rgb24TopDown)), gradient);
    ExpectPicture(Decode(MakeBmp(gradient, BmpKind::Rgb32)), gradient);
    ExpectPicture(Decode(MakeBmp(gradient, BmpKind::Rgb16)), gradient, 7);
    const Picture four = FourColourPicture(7, 3);
    ExpectPicture(Decode(MakeBmp(four, BmpKind::Palette8)), four);
    ExpectPicture(Decode(MakeBmp(four, BmpKind::Rle8)), four);
    Picture runs{9, 2, {}};
    for (int i = 0; i < 18; ++i) runs.pixels.push_back(kFourColours[i < 7 ? 1 : 2]);
    ExpectPicture(Decode(MakeBmp(runs, BmpKind::Rle8)), runs);
    Picture twoColour{10, 3, {}};
    for (int i = 0; i < 30; ++i) twoColour.pixels.push_back(kFourColours[(i / 3) % 2]);
    ExpectPicture(Decode(MakeBmp(twoColour, BmpKind::Palette1)), twoColour);
}

TEST_F(Decoder, TwoBitBitmaps) {
    for (int width : {1, 4, 5, 16, 17}) {
        const Picture four = FourColourPicture(width, 3);
        ExpectPicture(Decode(MakeTwoBpp(four)), four);
        ExpectPicture(Decode(MakeTwoBpp(four, true)), four);
        ExpectPicture(Decode(MakeTwoBpp(four, false, true)), four);
    }
    // With a two-colour table the indices 2 and 3 have no colour: they show black.
    const auto shortTable = Decode(MakeTwoBpp(FourColourPicture(4, 1), false, false, 2));
    ASSERT_TRUE(shortTable.image);
    EXPECT_EQ(PixelOf(*shortTable.image, 1, 0), kFourColours[1]);
    EXPECT_EQ(PixelOf(*shortTable.image, 2, 0), (Rgba{0, 0, 0, 255}));
    EXPECT_EQ(PixelOf(*shortTable.image, 3, 0), (Rgba{0, 0, 0, 255}));
}

TEST_F(Decoder, TheContentDecidesNotTheName) {
    const Picture gradient = GradientPicture(3, 3, false);
    ExpectPicture(Decode(MakePng(gradient, PngKind::Rgb8), "misnamed.jpg"), gradient);
    ExpectPicture(Decode(MakeTwoBpp(FourColourPicture(3, 3)), "picture.bmp"), FourColourPicture(3, 3));
}

}  // namespace
