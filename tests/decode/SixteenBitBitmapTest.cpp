// 16-bit bitmap files: every channel spread over the whole range, as the file means it.
#include <gtest/gtest.h>

#include "support/SampleFiles.h"
#include "files/ReadImage.h"

using namespace samples;
using platform::DecodeStatus;

namespace {

// A bitmap file of 16-bit pixels given top row first. masks empty: the plain 5-5-5 form;
// otherwise bit fields after a 40-byte header (or inside a 108-byte one).
Bytes SixteenBitFile(int width, const std::vector<std::uint16_t>& pixels, const std::vector<std::uint32_t>& masks,
                     bool longHeader = false, bool topDown = false) {
    const int height = static_cast<int>(pixels.size()) / width;
    const std::uint32_t headerSize = longHeader ? 108 : 40;
    const std::size_t pixelOffset = 14 + headerSize + (masks.empty() || longHeader ? 0 : 12);
    const int stride = (width * 2 + 3) / 4 * 4;
    Bytes out(pixelOffset + static_cast<std::size_t>(stride) * height, 0);
    out[0] = 'B';
    out[1] = 'M';
    PutLe32(out, 2, static_cast<std::uint32_t>(out.size()));
    PutLe32(out, 10, static_cast<std::uint32_t>(pixelOffset));
    PutLe32(out, 14, headerSize);
    PutLe32(out, 18, static_cast<std::uint32_t>(width));
    PutLe32(out, 22, static_cast<std::uint32_t>(topDown ? -height : height));
    PutLe16(out, 26, 1);
    PutLe16(out, 28, 16);
    PutLe32(out, 30, masks.empty() ? 0 : 3);
    for (std::size_t i = 0; i < masks.size(); ++i) PutLe32(out, 54 + 4 * i, masks[i]);
    for (int y = 0; y < height; ++y) {
        const int stored = topDown ? y : height - 1 - y;
        for (int x = 0; x < width; ++x) {
            PutLe16(out, pixelOffset + static_cast<std::size_t>(stored) * stride + 2 * x,
                    pixels[static_cast<std::size_t>(y) * width + x]);
        }
    }
    return out;
}

// Blue, green, red of the decoded pixel (x, y).
std::vector<int> At(const platform::DecodedImage& decoded, int x, int y) {
    const std::uint8_t* p = decoded.image->Row(y) + 3 * x;
    return {p[0], p[1], p[2]};
}

platform::DecodedImage Decode(const Bytes& bytes) { return ReadImageData(bytes.data(), bytes.size(), "16.bmp"); }

TEST(SixteenBitBitmaps, FiveFiveFiveReachesFullBrightness) {
    // white, pure red, pure green, pure blue; then 16 of 31 in each, and black.
    const auto decoded = Decode(SixteenBitFile(3, {0x7FFF, 0x7C00, 0x03E0, 0x001F, 0x4210, 0x0000}, {}));
    ASSERT_EQ(decoded.status, DecodeStatus::Ok) << decoded.text;
    EXPECT_EQ(At(decoded, 0, 0), (std::vector<int>{255, 255, 255}));
    EXPECT_EQ(At(decoded, 1, 0), (std::vector<int>{0, 0, 255}));
    EXPECT_EQ(At(decoded, 2, 0), (std::vector<int>{0, 255, 0}));
    EXPECT_EQ(At(decoded, 0, 1), (std::vector<int>{255, 0, 0}));
    EXPECT_EQ(At(decoded, 1, 1), (std::vector<int>{132, 132, 132}));  // (16 * 255 + 15) / 31
    EXPECT_EQ(At(decoded, 2, 1), (std::vector<int>{0, 0, 0}));
}

TEST(SixteenBitBitmaps, FiveSixFiveBitFieldsInEitherHeader) {
    const std::vector<std::uint32_t> masks = {0xF800, 0x07E0, 0x001F};
    for (bool longHeader : {false, true}) {
        const auto decoded = Decode(SixteenBitFile(2, {0xFFFF, 0x0400, 0x0020, 0x8010}, masks, longHeader, true));
        ASSERT_EQ(decoded.status, DecodeStatus::Ok) << decoded.text;
        EXPECT_EQ(At(decoded, 0, 0), (std::vector<int>{255, 255, 255}));
        EXPECT_EQ(At(decoded, 1, 0), (std::vector<int>{0, 130, 0}));  // green 32 of 63
        EXPECT_EQ(At(decoded, 0, 1), (std::vector<int>{0, 4, 0}));    // green 1 of 63
        EXPECT_EQ(At(decoded, 1, 1), (std::vector<int>{132, 0, 132}));
    }
}

TEST(SixteenBitBitmaps, BrokenFieldsAndShortDataAreRefused) {
    const std::vector<std::uint16_t> pixels = {1, 2, 3, 4};
    EXPECT_EQ(Decode(SixteenBitFile(2, pixels, {0xF00F, 0x07E0, 0x001F})).status, DecodeStatus::NotImage);
    EXPECT_EQ(Decode(SixteenBitFile(2, pixels, {0x1F0000, 0x07E0, 0x001F})).status, DecodeStatus::NotImage);
    Bytes cut = SixteenBitFile(2, pixels, {});
    cut.pop_back();
    EXPECT_EQ(Decode(cut).status, DecodeStatus::NotImage);
    // A missing field leaves its channel dark.
    const auto noBlue = Decode(SixteenBitFile(2, {0xFFFF, 0, 0, 0}, {0xF800, 0x07E0, 0}));
    ASSERT_EQ(noBlue.status, DecodeStatus::Ok);
    EXPECT_EQ(At(noBlue, 0, 0), (std::vector<int>{0, 255, 255}));
}

}  // namespace
