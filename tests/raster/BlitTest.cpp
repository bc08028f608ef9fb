#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "support/RasterTestSupport.h"
#include "image/PixelBuffer.h"
#include "platform/raster/ColourMatch.h"
#include "platform/raster/Draw.h"

namespace {

using namespace rastertest;
using raster::Colour;
using raster::DrawingContext;
using raster::MakeColour;

constexpr Colour kBlue = MakeColour(0, 0, 255);
constexpr Colour kBlack = MakeColour(0, 0, 0);

// An 8-bit bitmap with the standard palette, all bytes 0.
std::unique_ptr<DrawingContext> MakeMask(int width, int height) {
    raster::BitmapInfo info;
    std::uint8_t* bits = nullptr;
    auto buffer = CreatePixelBuffer(width, height, 8, info, &bits);
    if (!buffer) return nullptr;
    std::memset(bits, 0, buffer->ByteSize());
    return std::make_unique<DrawingContext>(std::move(buffer));
}

std::uint8_t MaskByte(const DrawingContext& dc, int x, int y) { return dc.SelectedBitmap()->Row(y)[x]; }

// Colours that name their own position, so a copied pixel tells where it came from.
Colour Coded(int x, int y) { return MakeColour(x & 0xFF, y & 0xFF, 100 + (x >> 8)); }
int ColumnOf(Colour c) { return raster::RedOf(c) + ((raster::BlueOf(c) - 100) << 8); }
int RowOf(Colour c) { return raster::GreenOf(c); }

std::unique_ptr<DrawingContext> MakeCoded(int width, int height) {
    auto dc = MakeContext(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) raster::SetPixel(*dc, x, y, Coded(x, y));
    }
    return dc;
}

const raster::RgbQuad* StandardPalette() {
    static const auto mask = MakeMask(1, 1);
    return mask->SelectedBitmap()->Palette();
}

TEST(ColourMatch, StandardPaletteAnswers) {
    const raster::RgbQuad* palette = StandardPalette();
    EXPECT_EQ(raster::MatchPaletteIndex(palette, kBlue), 249);  // not the equal entry 14
    EXPECT_EQ(raster::MatchPaletteIndex(palette, kBlack), 0);
    EXPECT_EQ(raster::MatchPaletteIndex(palette, kWhite), 255);  // not the equal entries 222, 245
    EXPECT_EQ(raster::MatchPaletteIndex(palette, MakeColour(255, 0, 0)), 252);
    EXPECT_EQ(raster::MatchPaletteIndex(palette, MakeColour(128, 128, 128)), 248);
    EXPECT_EQ(raster::MatchPaletteIndex(palette, MakeColour(0, 0, 128)), 1);
    // Not exact: nearest, and the lowest index among equally near entries (188 and 252).
    EXPECT_EQ(raster::MatchPaletteIndex(palette, MakeColour(250, 5, 5)), 188);
    EXPECT_EQ(raster::MatchPaletteIndex(palette, MakeColour(10, 10, 10)), 223);
}

// The cell-pruned matcher must agree with the plain search everywhere, also for a palette
// full of near duplicates.
TEST(ColourMatch, FastMatcherAgreesWithThePlainSearch) {
    raster::RgbQuad crowded[256];
    std::uint32_t seed = 12345;
    const auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 16) & 0xFF);
    };
    for (int i = 0; i < 256; ++i) {
        const int v = next();
        crowded[i] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v / 2 + (i & 3)),
                      static_cast<std::uint8_t>(255 - v), 0};
    }
    crowded[3] = crowded[200];  // an exact duplicate inside the system range and outside it
    for (const raster::RgbQuad* palette : {StandardPalette(), static_cast<const raster::RgbQuad*>(crowded)}) {
        const auto matcher = raster::PaletteMatcher::For(palette);
        ASSERT_TRUE(matcher);
        for (int i = 0; i < 256; ++i) {
            const raster::RgbQuad& e = palette[i];
            ASSERT_EQ(matcher->Match(e.red, e.green, e.blue), raster::MatchPaletteIndex(palette, e.red, e.green, e.blue));
        }
        for (int n = 0; n < 60000; ++n) {
            const int r = next(), g = next(), b = next();
            ASSERT_EQ(matcher->Match(r, g, b), raster::MatchPaletteIndex(palette, r, g, b)) << r << "," << g << "," << b;
        }
        for (int r = 0; r < 256; r += 7) {
            for (int g = 0; g < 256; g += 7) {
                for (int b = 0; b < 256; b += 7) ASSERT_EQ(matcher->Match(r, g, b), raster::MatchPaletteIndex(palette, r, g, b));
            }
        }
    }
    EXPECT_EQ(raster::PaletteMatcher::For(StandardPalette())->Match(0, 0, 255), 249);
}

TEST(BitBlt, TwentyFourToEightMatchesIntoTheDestinationPalette) {
    auto src = MakeContext(5, 1);
    raster::SetPixel(*src, 0, 0, kBlue);
    raster::SetPixel(*src, 1, 0, kBlack);
    raster::SetPixel(*src, 2, 0, kWhite);
    raster::SetPixel(*src, 3, 0, MakeColour(10, 10, 10));
    raster::SetPixel(*src, 4, 0, kBlue);
    auto mask = MakeMask(5, 1);
    ASSERT_TRUE(raster::BitBlt(*mask, 0, 0, 5, 1, *src, 0, 0));
    EXPECT_EQ(MaskByte(*mask, 0, 0), 249);
    EXPECT_EQ(MaskByte(*mask, 1, 0), 0);
    EXPECT_EQ(MaskByte(*mask, 2, 0), 255);
    EXPECT_EQ(MaskByte(*mask, 3, 0), 223);
    EXPECT_EQ(MaskByte(*mask, 4, 0), 249);
}

// The selection scratch: black outside, a pure blue shape inside, drawn with pen and fill.
TEST(BitBlt, BlueScratchBecomesTheMask) {
    auto scratch = MakeContext(6, 5);
    scratch->SetPen({raster::PenStyle::Solid, 1, kBlack});
    scratch->SetFill({false, kBlack});
    raster::Rectangle(*scratch, 0, 0, 6, 5);
    scratch->SetPen({raster::PenStyle::Solid, 1, kBlue});
    scratch->SetFill({false, kBlue});
    const raster::Point triangle[3] = {{1, 1}, {4, 1}, {1, 4}};
    raster::Polygon(*scratch, triangle, 3);
    auto mask = MakeMask(6, 5);
    ASSERT_TRUE(raster::BitBlt(*mask, 0, 0, 6, 5, *scratch, 0, 0));
    const char* expected[5] = {"......", ".####.", ".###..", ".##...", ".#...."};
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 6; ++x) {
            EXPECT_EQ(MaskByte(*mask, x, y), expected[y][x] == '#' ? 249 : 0) << x << "," << y;
        }
    }
}

TEST(BitBlt, DrawingOnEightBitsWritesTheMatchedIndex) {
    auto mask = MakeMask(4, 3);
    raster::FillRect(*mask, {0, 0, 4, 3}, kBlue);
    EXPECT_EQ(MaskByte(*mask, 3, 2), 249);
    EXPECT_EQ(raster::SetPixel(*mask, 1, 1, kBlack), kBlack);
    EXPECT_EQ(MaskByte(*mask, 1, 1), 0);
    EXPECT_EQ(raster::SetPixel(*mask, 2, 1, MakeColour(250, 5, 5)), MakeColour(255, 0, 0));
    EXPECT_EQ(MaskByte(*mask, 2, 1), 188);
    EXPECT_EQ(raster::GetPixel(*mask, 0, 0), kBlue);
    mask->SetPen({raster::PenStyle::Solid, 1, kWhite});
    mask->SetFill({true, kWhite});
    raster::Rectangle(*mask, 0, 0, 2, 2);
    EXPECT_EQ(MaskByte(*mask, 0, 0), 255);
    EXPECT_EQ(MaskByte(*mask, 1, 1), 255);
    EXPECT_EQ(MaskByte(*mask, 2, 2), 249);
}

TEST(BitBlt, EightBitSourcesGoThroughTheirPaletteOrCopyIndices) {
    auto mask = MakeMask(5, 1);
    std::uint8_t* row = mask->SelectedBitmap()->Row(0);
    row[0] = 0;
    row[1] = 249;
    row[2] = 14;
    row[3] = 255;
    row[4] = 1;
    auto dst = MakeContext(5, 1);
    ASSERT_TRUE(raster::BitBlt(*dst, 0, 0, 5, 1, *mask, 0, 0));
    EXPECT_EQ(raster::GetPixel(*dst, 0, 0), kBlack);
    EXPECT_EQ(raster::GetPixel(*dst, 1, 0), kBlue);
    EXPECT_EQ(raster::GetPixel(*dst, 2, 0), kBlue);
    EXPECT_EQ(raster::GetPixel(*dst, 3, 0), kWhite);
    EXPECT_EQ(raster::GetPixel(*dst, 4, 0), MakeColour(0, 0, 128));

    auto copy = MakeMask(5, 1);
    ASSERT_TRUE(raster::BitBlt(*copy, 0, 0, 5, 1, *mask, 0, 0));
    EXPECT_EQ(MaskByte(*copy, 2, 0), 14);  // bytes, not colours
    EXPECT_EQ(MaskByte(*copy, 1, 0), 249);
}

TEST(BitBlt, ClipsBothEndsAndLeavesTheRestAlone) {
    auto src = MakeCoded(3, 3);
    auto dst = MakeContext(4, 4);
    ASSERT_TRUE(raster::BitBlt(*dst, -1, -1, 3, 3, *src, 0, 0));
    EXPECT_EQ(raster::GetPixel(*dst, 0, 0), Coded(1, 1));
    EXPECT_EQ(raster::GetPixel(*dst, 1, 1), Coded(2, 2));
    EXPECT_EQ(raster::GetPixel(*dst, 2, 0), kWhite);
    EXPECT_EQ(raster::GetPixel(*dst, 0, 2), kWhite);

    // The source block reaches past the source bitmap: only what exists is copied.
    auto part = MakeContext(4, 4);
    ASSERT_TRUE(raster::BitBlt(*part, 1, 0, 4, 4, *src, 1, -1));
    EXPECT_EQ(raster::GetPixel(*part, 1, 0), kWhite);
    EXPECT_EQ(raster::GetPixel(*part, 1, 1), Coded(1, 0));
    EXPECT_EQ(raster::GetPixel(*part, 2, 3), Coded(2, 2));
    EXPECT_EQ(raster::GetPixel(*part, 3, 1), kWhite);
    EXPECT_EQ(raster::GetPixel(*part, 0, 1), kWhite);

    EXPECT_TRUE(raster::BitBlt(*part, 0, 0, 0, 4, *src, 0, 0));
    EXPECT_TRUE(raster::BitBlt(*part, 0, 0, -3, -3, *src, 0, 0));
    EXPECT_TRUE(raster::BitBlt(*part, 2000000000, 0, 2000000000, 4, *src, 0, 0));
    DrawingContext empty;
    EXPECT_FALSE(raster::BitBlt(empty, 0, 0, 1, 1, *src, 0, 0));
    EXPECT_FALSE(raster::BitBlt(*part, 0, 0, 1, 1, empty, 0, 0));
}

TEST(BitBlt, OverlappingBlocksWithinOneBitmap) {
    auto dc = MakeCoded(5, 5);
    ASSERT_TRUE(raster::BitBlt(*dc, 1, 1, 4, 4, *dc, 0, 0));
    for (int y = 1; y < 5; ++y) {
        for (int x = 1; x < 5; ++x) EXPECT_EQ(raster::GetPixel(*dc, x, y), Coded(x - 1, y - 1)) << x << "," << y;
    }
    auto up = MakeCoded(5, 5);
    ASSERT_TRUE(raster::BitBlt(*up, 0, 0, 4, 4, *up, 1, 1));
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) EXPECT_EQ(raster::GetPixel(*up, x, y), Coded(x + 1, y + 1)) << x << "," << y;
    }
}

// Source column of every destination pixel after stretching a one-row coded source.
std::vector<int> StretchedColumns(int srcWidth, int dstWidth, int srcX, int srcSpan) {
    auto src = MakeCoded(srcWidth, 1);
    auto dst = MakeContext(dstWidth, 1);
    EXPECT_TRUE(raster::StretchBlt(*dst, 0, 0, dstWidth, 1, *src, srcX, 0, srcSpan, 1));
    std::vector<int> columns;
    for (int x = 0; x < dstWidth; ++x) {
        const Colour c = raster::GetPixel(*dst, x, 0);
        columns.push_back(c == kWhite ? -1 : ColumnOf(c));
    }
    return columns;
}

TEST(StretchBlt, NearestPixelMapping) {
    EXPECT_EQ(StretchedColumns(3, 6, 0, 3), (std::vector<int>{0, 0, 1, 1, 2, 2}));        // 200 %
    EXPECT_EQ(StretchedColumns(2, 6, 0, 2), (std::vector<int>{0, 0, 0, 1, 1, 1}));        // 300 %
    EXPECT_EQ(StretchedColumns(8, 2, 0, 8), (std::vector<int>{0, 4}));                    // 25 %
    EXPECT_EQ(StretchedColumns(12, 3, 5, 7), (std::vector<int>{5, 7, 9}));                // 7 onto 3
    EXPECT_EQ(StretchedColumns(3, 7, 0, 3), (std::vector<int>{0, 0, 0, 1, 1, 2, 2}));     // 3 onto 7

    // 33 %: a client 240 pixels wide shows 720 image columns, every third one.
    const std::vector<int> third = StretchedColumns(720, 240, 0, 720);
    for (int x = 0; x < 240; ++x) ASSERT_EQ(third[x], 3 * x) << x;
}

TEST(StretchBlt, SourceOutsideItsBitmapLeavesTheDestination) {
    EXPECT_EQ(StretchedColumns(4, 8, -2, 4), (std::vector<int>{-1, -1, -1, -1, 0, 0, 1, 1}));
    EXPECT_EQ(StretchedColumns(4, 8, 2, 4), (std::vector<int>{2, 2, 3, 3, -1, -1, -1, -1}));

    auto src = MakeCoded(4, 1);
    auto dst = MakeContext(8, 1);
    ASSERT_TRUE(raster::StretchBlt(*dst, -3, 0, 8, 1, *src, 0, 0, 4, 1));
    const int expected[8] = {1, 2, 2, 3, 3, -1, -1, -1};
    for (int x = 0; x < 8; ++x) {
        const Colour c = raster::GetPixel(*dst, x, 0);
        EXPECT_EQ(c == kWhite ? -1 : ColumnOf(c), expected[x]) << x;
    }
}

TEST(StretchBlt, RowsRepeatAndClipLikeColumns) {
    auto src = MakeCoded(3, 2);
    auto dst = MakeContext(5, 5);
    // Columns: dx 0-1 read source column -1 (nothing), 2-3 column 0, 4-5 column 1; rows:
    // dy 0-2 read row 0, 3-5 row 1; the block starts one row above the bitmap.
    ASSERT_TRUE(raster::StretchBlt(*dst, 1, -1, 6, 6, *src, -1, 0, 3, 2));
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 5; ++x) {
            const Colour c = raster::GetPixel(*dst, x, y);
            if (x < 3) {
                EXPECT_EQ(c, kWhite) << x << "," << y;
                continue;
            }
            EXPECT_EQ(ColumnOf(c), 0) << x << "," << y;
            EXPECT_EQ(RowOf(c), y < 2 ? 0 : 1) << x << "," << y;
        }
    }

    auto square = MakeCoded(2, 2);
    auto big = MakeContext(4, 6);
    ASSERT_TRUE(raster::StretchBlt(*big, 0, 0, 4, 6, *square, 0, 0, 2, 2));
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 4; ++x) EXPECT_EQ(raster::GetPixel(*big, x, y), Coded(x / 2, y / 3)) << x << "," << y;
    }
}

TEST(StretchBlt, ConvertsDepthsAndIgnoresEmptySizes) {
    auto scratch = MakeContext(2, 2);
    raster::FillRect(*scratch, {0, 0, 2, 2}, kBlack);
    raster::SetPixel(*scratch, 1, 0, kBlue);
    auto mask = MakeMask(4, 4);
    ASSERT_TRUE(raster::StretchBlt(*mask, 0, 0, 4, 4, *scratch, 0, 0, 2, 2));
    EXPECT_EQ(MaskByte(*mask, 2, 0), 249);
    EXPECT_EQ(MaskByte(*mask, 3, 1), 249);
    EXPECT_EQ(MaskByte(*mask, 1, 1), 0);
    EXPECT_EQ(MaskByte(*mask, 3, 2), 0);

    auto shown = MakeContext(8, 8);
    ASSERT_TRUE(raster::StretchBlt(*shown, 0, 0, 8, 8, *mask, 0, 0, 4, 4));
    EXPECT_EQ(raster::GetPixel(*shown, 7, 3), kBlue);
    EXPECT_EQ(raster::GetPixel(*shown, 3, 3), kBlack);

    auto untouched = MakeContext(2, 2);
    EXPECT_TRUE(raster::StretchBlt(*untouched, 0, 0, 0, 2, *scratch, 0, 0, 2, 2));
    EXPECT_TRUE(raster::StretchBlt(*untouched, 0, 0, 2, 2, *scratch, 0, 0, -2, 2));
    EXPECT_EQ(raster::GetPixel(*untouched, 1, 1), kWhite);
    DrawingContext empty;
    EXPECT_FALSE(raster::StretchBlt(empty, 0, 0, 2, 2, *scratch, 0, 0, 1, 1));
}

TEST(TransparentBlt, KeyColourIsSkipped) {
    constexpr Colour kMagenta = MakeColour(255, 0, 255);
    constexpr Colour kRed = MakeColour(255, 0, 0);
    constexpr Colour kGreen = MakeColour(0, 255, 0);
    auto src = MakeContext(3, 1);
    raster::SetPixel(*src, 0, 0, kRed);
    raster::SetPixel(*src, 1, 0, kMagenta);
    raster::SetPixel(*src, 2, 0, kGreen);
    auto dst = MakeContext(6, 2);
    ASSERT_TRUE(raster::TransparentBlt(*dst, 0, 0, 6, 2, *src, 0, 0, 3, 1, kMagenta));
    for (int y = 0; y < 2; ++y) {
        EXPECT_EQ(raster::GetPixel(*dst, 0, y), kRed);
        EXPECT_EQ(raster::GetPixel(*dst, 1, y), kRed);
        EXPECT_EQ(raster::GetPixel(*dst, 2, y), kWhite);
        EXPECT_EQ(raster::GetPixel(*dst, 3, y), kWhite);
        EXPECT_EQ(raster::GetPixel(*dst, 4, y), kGreen);
        EXPECT_EQ(raster::GetPixel(*dst, 5, y), kGreen);
    }

    // An 8-bit source compares the palette colours of its indices (253 is magenta).
    auto mask = MakeMask(2, 1);
    mask->SelectedBitmap()->Row(0)[0] = 253;
    mask->SelectedBitmap()->Row(0)[1] = 249;
    auto shown = MakeContext(2, 1);
    ASSERT_TRUE(raster::TransparentBlt(*shown, 0, 0, 2, 1, *mask, 0, 0, 2, 1, kMagenta));
    EXPECT_EQ(raster::GetPixel(*shown, 0, 0), kWhite);
    EXPECT_EQ(raster::GetPixel(*shown, 1, 0), kBlue);
}

}  // namespace
