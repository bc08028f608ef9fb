#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "GifWriter.h"
#include "image/PaintSettings.h"
#include "image/PixelBuffer.h"
#include "platform/ImageDecoder.h"

namespace {

class Folder {
public:
    Folder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "pw-gif-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~Folder() { std::filesystem::remove_all(path_); }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

std::unique_ptr<PixelBuffer> Picture(int width, int height) {
    raster::BitmapInfo header;
    auto image = CreatePixelBuffer(width, height, 24, header, nullptr);
    std::fill(image->Bits(), image->Bits() + image->ByteSize(), 0);
    return image;
}

void Put(PixelBuffer& image, int x, int y, int red, int green, int blue) {
    std::uint8_t* p = image.Row(y) + 3 * x;
    p[0] = static_cast<std::uint8_t>(blue);
    p[1] = static_cast<std::uint8_t>(green);
    p[2] = static_cast<std::uint8_t>(red);
}

void ExpectSamePixels(const PixelBuffer& expected, const PixelBuffer& actual) {
    ASSERT_EQ(actual.Width(), expected.Width());
    ASSERT_EQ(actual.Height(), expected.Height());
    for (int y = 0; y < expected.Height(); ++y) {
        for (int x = 0; x < expected.Width(); ++x) {
            const std::uint8_t* e = expected.Row(y) + 3 * x;
            const std::uint8_t* a = actual.Row(y) + 3 * x;
            ASSERT_TRUE(e[0] == a[0] && e[1] == a[1] && e[2] == a[2]) << "pixel " << x << ", " << y;
        }
    }
}

TEST(GifWriter, NoisyPictureOfAllColoursSurvivesSeveralFreshTables) {
    // Random indices defeat the dictionary, so the 4096 codes run out many times over and
    // the code size climbs from 9 to 12 bits again after every clear.
    auto image = Picture(301, 211);
    std::uint32_t state = 12345;
    for (int y = 0; y < image->Height(); ++y) {
        for (int x = 0; x < image->Width(); ++x) {
            state = state * 1103515245u + 12345u;
            const int i = static_cast<int>((state >> 16) & 0xFF);
            Put(*image, x, y, i, 255 - i, (i * 7) & 0xFF);
        }
    }
    Folder folder;
    ASSERT_TRUE(WriteGif(*image, folder / "noise.gif"));
    const auto decoded = platform::DecodeImageFile(folder / "noise.gif", PaintSettings.BColor);
    ASSERT_EQ(decoded.status, platform::DecodeStatus::Ok) << decoded.text;
    ExpectSamePixels(*image, *decoded.image);
}

TEST(GifWriter, LongRunsAndTinyTablesRoundTrip) {
    Folder folder;
    // One colour: the smallest table and the longest strings.
    auto plain = Picture(200, 90);
    for (int y = 0; y < 90; ++y) {
        for (int x = 0; x < 200; ++x) Put(*plain, x, y, 10, 200, 30);
    }
    ASSERT_TRUE(WriteGif(*plain, folder / "plain.gif"));
    auto decoded = platform::DecodeImageFile(folder / "plain.gif", PaintSettings.BColor);
    ASSERT_EQ(decoded.status, platform::DecodeStatus::Ok) << decoded.text;
    ExpectSamePixels(*plain, *decoded.image);

    // A single pixel: nothing but the clear code, one index and the end.
    auto dot = Picture(1, 1);
    Put(*dot, 0, 0, 1, 2, 3);
    ASSERT_TRUE(WriteGif(*dot, folder / "dot.gif"));
    decoded = platform::DecodeImageFile(folder / "dot.gif", PaintSettings.BColor);
    ASSERT_EQ(decoded.status, platform::DecodeStatus::Ok) << decoded.text;
    ExpectSamePixels(*dot, *decoded.image);

    // Fifteen colours in bands: a table of sixteen, one unused.

    auto bands = Picture(37, 5);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 37; ++x) Put(*bands, x, y, (x / 3) % 3 * 100, y * 50, 7);
    }
    ASSERT_TRUE(WriteGif(*bands, folder / "bands.gif"));
    decoded = platform::DecodeImageFile(folder / "bands.gif", PaintSettings.BColor);
    ASSERT_EQ(decoded.status, platform::DecodeStatus::Ok) << decoded.text;
    ExpectSamePixels(*bands, *decoded.image);
}

TEST(GifWriter, MoreThan256ColoursAreRefusedAndNothingIsWritten) {
    auto image = Picture(257, 1);
    for (int x = 0; x < 257; ++x) Put(*image, x, 0, x & 0xFF, x >> 8, 0);
    Folder folder;
    EXPECT_FALSE(WriteGif(*image, folder / "many.gif"));
    EXPECT_FALSE(std::filesystem::exists(folder / "many.gif"));
}

}  // namespace
