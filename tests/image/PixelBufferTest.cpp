#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "image/PaintSettings.h"
#include "image/PixelBuffer.h"
#include "platform/raster/Draw.h"

namespace {

TEST(PixelBuffer, HeaderFieldsFor24And8Bits) {
    raster::BitmapInfo info;
    std::uint8_t* bits = nullptr;
    auto buffer = CreatePixelBuffer(3, 2, 24, info, &bits);
    ASSERT_TRUE(buffer);
    EXPECT_EQ(bits, buffer->Bits());
    EXPECT_EQ(info.header.size, 40u);
    EXPECT_EQ(info.header.width, 3);
    EXPECT_EQ(info.header.height, 2);
    EXPECT_EQ(info.header.planes, 1);
    EXPECT_EQ(info.header.bitCount, 24);
    EXPECT_EQ(info.header.compression, 0u);
    EXPECT_EQ(info.header.sizeImage, 12u);  // one row, not the whole image
    EXPECT_EQ(info.header.xPelsPerMeter, 3780);
    EXPECT_EQ(info.header.yPelsPerMeter, 3780);
    EXPECT_EQ(info.header.clrUsed, 0u);
    EXPECT_EQ(info.header.clrImportant, 0u);

    auto mask = CreatePixelBuffer(5, 1, 8, info, &bits);
    ASSERT_TRUE(mask);
    EXPECT_EQ(mask->Stride(), 8);
    EXPECT_EQ(info.header.clrUsed, 256u);
    EXPECT_EQ(info.header.clrImportant, 256u);
    EXPECT_EQ(mask->Palette()[0].blue, 0);
    EXPECT_EQ(mask->Palette()[0].red, 0);
    EXPECT_EQ(mask->Palette()[249].blue, 255);
    EXPECT_EQ(mask->Palette()[249].green, 0);
    EXPECT_EQ(mask->Palette()[249].red, 0);
    EXPECT_EQ(mask->Palette()[249].reserved, 0);
}

TEST(PixelBuffer, StridesAndRowAddressing) {
    raster::BitmapInfo info;
    EXPECT_EQ(CreatePixelBuffer(1, 1, 24, info, nullptr)->Stride(), 4);
    EXPECT_EQ(CreatePixelBuffer(3, 1, 24, info, nullptr)->Stride(), 12);
    EXPECT_EQ(CreatePixelBuffer(4, 1, 24, info, nullptr)->Stride(), 12);
    EXPECT_EQ(CreatePixelBuffer(5, 1, 24, info, nullptr)->Stride(), 16);
    auto b = CreatePixelBuffer(2, 7, 24, info, nullptr);
    EXPECT_EQ(b->Row(0), b->Bits() + 6 * 8);  // the top row is stored last
    EXPECT_EQ(b->Row(6), b->Bits());
}

TEST(PixelBuffer, ImpossibleSizesFailWithoutThrowing) {
    raster::BitmapInfo info;
    std::uint8_t* bits = reinterpret_cast<std::uint8_t*>(1);
    EXPECT_FALSE(CreatePixelBuffer(0, 5, 24, info, &bits));
    EXPECT_EQ(bits, nullptr);
    EXPECT_FALSE(CreatePixelBuffer(5, -1, 24, info, &bits));
    EXPECT_FALSE(CreatePixelBuffer(32001, 2, 24, info, &bits));
    EXPECT_FALSE(CreatePixelBuffer(4, 4, 16, info, &bits));
}

TEST(PixelBuffer, DefaultPaletteLandmarks) {
    // Stored (t0, t1, t2) = (blue, green, red) of the palette entry.
    const auto entry = [](int i) { return std::array<int, 3>{DefaultPalette[i][0], DefaultPalette[i][1], DefaultPalette[i][2]}; };
    EXPECT_EQ(entry(0), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(entry(9), (std::array<int, 3>{166, 202, 240}));
    EXPECT_EQ(entry(10), (std::array<int, 3>{44, 0, 0}));
    EXPECT_EQ(entry(222), (std::array<int, 3>{255, 255, 255}));
    EXPECT_EQ(entry(223), (std::array<int, 3>{17, 17, 17}));
    EXPECT_EQ(entry(245), (std::array<int, 3>{255, 255, 255}));
    EXPECT_EQ(entry(249), (std::array<int, 3>{255, 0, 0}));
    EXPECT_EQ(entry(255), (std::array<int, 3>{255, 255, 255}));
}

TEST(PixelBuffer, FillWithBackgroundAndCopyPixels) {
    ResetPaintSettings();
    PaintSettings.BColor = raster::MakeColour(10, 20, 30);
    raster::BitmapInfo info;
    auto dc = std::make_unique<raster::DrawingContext>(CreatePixelBuffer(3, 2, 24, info, nullptr));
    FillWithBackground(*dc, 3, 2);
    const std::uint8_t* top = dc->SelectedBitmap()->Row(0);
    EXPECT_EQ(top[0], 30);  // blue first
    EXPECT_EQ(top[1], 20);
    EXPECT_EQ(top[2], 10);
    EXPECT_EQ(dc->SelectedBitmap()->Row(1)[8], 10);

    auto copy = CreatePixelBuffer(3, 2, 24, info, nullptr);
    std::memset(copy->Bits(), 0, copy->ByteSize());
    CopyPixels(copy.get(), dc->SelectedBitmap());
    EXPECT_EQ(0, std::memcmp(copy->Bits(), dc->SelectedBitmap()->Bits(), copy->ByteSize()));
    ResetPaintSettings();
}

}  // namespace
