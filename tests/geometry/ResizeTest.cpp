#include <gtest/gtest.h>

#include "support/GeometrySupport.h"
#include "filters/Resize.h"

using namespace geometry_test;

namespace {

// Box averaging written out pixel by pixel, to hold the row-sum version to.
Rgb ReferenceBox(const PixelBuffer& source, int nw, int nh, int i, int j) {
    const int sw = source.Width();
    const int sh = source.Height();
    const float sx = static_cast<float>(sw) / static_cast<float>(nw);
    const float sy = static_cast<float>(sh) / static_cast<float>(nh);
    const int x0 = static_cast<int>(static_cast<float>(i) * sx);
    int x1 = static_cast<int>(static_cast<float>(i + 1) * sx);
    const int y0 = static_cast<int>(static_cast<float>(j) * sy);
    int y1 = static_cast<int>(static_cast<float>(j + 1) * sy);
    if (y1 <= y0) y1 = y0 + 1;
    if (x1 <= x0) x1 = x0 + 1;
    long r = 0, g = 0, b = 0, n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            if (x >= sw || y >= sh) continue;
            const Rgb c = PixelOf(source, x, y);
            r += c.r;
            g += c.g;
            b += c.b;
            ++n;
        }
    return Rgb{static_cast<int>(r / n), static_cast<int>(g / n), static_cast<int>(b / n)};
}

}  // namespace

TEST_F(GeometryTest, HalvingInterpolatedAveragesTwoByTwoBlocks) {
    MakeImage(100, 100);
    ASSERT_EQ(ResizePixels(50, 50, kResampleInterpolated, 1), 1);
    ASSERT_EQ(ImageBoxTable[1].width, 50);
    ASSERT_EQ(Work().Width(), 50);
    const PixelBuffer& source = *ImageBoxTable[1].undoBitmap;
    for (int j = 0; j < 50; ++j)
        for (int i = 0; i < 50; ++i) {
            int sum[3] = {0, 0, 0};
            for (int dy = 0; dy < 2; ++dy)
                for (int dx = 0; dx < 2; ++dx) {
                    const Rgb c = PixelOf(source, 2 * i + dx, 2 * j + dy);
                    sum[0] += c.r;
                    sum[1] += c.g;
                    sum[2] += c.b;
                }
            ASSERT_EQ(PixelOf(Work(), i, j), (Rgb{sum[0] / 4, sum[1] / 4, sum[2] / 4}));
        }
    // Marker columns 2i and 2i + 1 average to 2i: truncation, not rounding.
    EXPECT_EQ(PixelOf(Work(), 3, 0).r, 6);
}

TEST_F(GeometryTest, DoublingInterpolatedRepeatsEachPixel) {
    MakeImage(100, 100);
    ASSERT_EQ(ResizePixels(200, 200, kResampleInterpolated, 1), 1);
    for (int j = 0; j < 200; ++j)
        for (int i = 0; i < 200; ++i) ASSERT_EQ(PixelOf(Work(), i, j), Marker(i / 2, j / 2));
}

TEST_F(GeometryTest, NearestNeighbourPicksTruncatedPositions) {
    MakeImage(10, 7);
    ASSERT_EQ(ResizePixels(4, 3, kResampleNearest, 1), 1);
    // sx = 2.5, sy = 2.333...: columns 0, 2, 5, 7 and rows 0, 2, 4.
    const int columns[4] = {0, 2, 5, 7};
    const int rows[3] = {0, 2, 4};
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 4; ++i) EXPECT_EQ(PixelOf(Work(), i, j), Marker(columns[i], rows[j]));
}

TEST_F(GeometryTest, InterpolatedNarrowerButTallerTakesTheNearestRowForEmptyBoxes) {
    MakeImage(8, 2);
    ASSERT_EQ(ResizePixels(4, 5, kResampleInterpolated, 1), 1);
    // sy = 0.4: rows 0 and 1 of the new image both come from source row 0, the box of new
    // row 1 (0.4 ... 0.8) holding no source row at all.
    for (int j = 0; j < 5; ++j) {
        const int y = static_cast<int>(static_cast<float>(j) * 0.4f);
        for (int i = 0; i < 4; ++i) {
            const Rgb a = Marker(2 * i, y), b = Marker(2 * i + 1, y);
            EXPECT_EQ(PixelOf(Work(), i, j), (Rgb{(a.r + b.r) / 2, (a.g + b.g) / 2, (a.b + b.b) / 2}))
                << i << "," << j;
        }
    }
}

TEST_F(GeometryTest, BoxAveragingMatchesThePlainSumOnRandomImages) {
    int seed = 7;
    for (auto [sw, sh, nw, nh] : {std::tuple{97, 61, 40, 23}, std::tuple{97, 61, 13, 100}, std::tuple{300, 5, 7, 2},
                                  std::tuple{31, 31, 30, 31}, std::tuple{1000, 3, 1, 1}, std::tuple{5000, 2, 1, 1},
                                  std::tuple{4100, 1, 1, 1}, std::tuple{4095, 1, 1, 1}}) {
        auto source = MakeBuffer(sw, sh);
        FillRandom(*source, static_cast<std::uint32_t>(seed++));
        auto target = MakeBuffer(nw, nh);
        ResamplePixels(*source, *target, kResampleInterpolated);
        for (int j = 0; j < nh; ++j)
            for (int i = 0; i < nw; ++i)
                ASSERT_EQ(PixelOf(*target, i, j), ReferenceBox(*source, nw, nh, i, j))
                    << sw << "x" << sh << " -> " << nw << "x" << nh << " at " << i << "," << j;
    }
}

// The largest sums are where a quotient computed by multiplication could come out one too big.
TEST_F(GeometryTest, BoxAveragesOfExtremeValuesStayExact) {
    for (int value : {255, 254, 1, 128}) {
        for (auto [sw, nw] : {std::pair{4095, 1}, std::pair{4100, 1}, std::pair{300, 7}, std::pair{9, 4}}) {
            auto source = MakeBuffer(sw, 3);
            std::memset(source->Bits(), value, source->ByteSize());
            auto target = MakeBuffer(nw, 1);
            ASSERT_TRUE(ResamplePixels(*source, *target, kResampleInterpolated));
            for (int i = 0; i < nw; ++i) ASSERT_EQ(PixelOf(*target, i, 0), (Rgb{value, value, value})) << sw << " " << nw;
        }
    }
}

TEST_F(GeometryTest, CanvasSizeChangeKeepsPixelsAtTheTopLeft) {
    PaintSettings.BColor = raster::MakeColour(9, 8, 7);
    MakeImage(100, 80);
    ASSERT_EQ(ResizePixels(120, 100, kResampleInterpolated, 0), 1);
    EXPECT_EQ(ImageBoxTable[1].width, 120);
    EXPECT_EQ(ImageBoxTable[1].height, 100);
    EXPECT_EQ(ImageBoxTable[1].scrollX, 0);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 120; ++x)
            ASSERT_EQ(PixelOf(Work(), x, y), ((x < 100 && y < 80) ? Marker(x, y) : Rgb{9, 8, 7}));

    MakeImage(100, 80);
    ASSERT_EQ(ResizePixels(30, 20, kResampleNearest, 0), 1);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x) ASSERT_EQ(PixelOf(Work(), x, y), Marker(x, y));
}

TEST_F(GeometryTest, UnusableSizesChangeNothing) {
    MakeImage(10, 10);
    const PixelBuffer* before = ImageBoxTable[1].workBitmap;
    for (auto [w, h] : {std::pair{0, 10}, std::pair{10, 0}, std::pair{-5, 10}, std::pair{10, -1},
                        std::pair{32001, 10}, std::pair{10, 40000}}) {
        EXPECT_EQ(ResizePixels(w, h, kResampleNearest, 1), 0);
        EXPECT_EQ(ResizePixels(w, h, kResampleInterpolated, 0), 0);
    }
    EXPECT_EQ(ImageBoxTable[1].workBitmap, before);
    EXPECT_EQ(ImageBoxTable[1].width, 10);
    EXPECT_EQ(ImageBoxTable[1].scrollX, 17);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(ResizePixels(32000, 1, kResampleNearest, 1), 1);
    EXPECT_EQ(ImageBoxTable[1].width, 32000);
}

TEST_F(GeometryTest, ResizingAPieceResamplesItsMaskByNearestNeighbour) {
    MakeImage(20, 20);
    MakePiece(6, 4, true);
    ASSERT_EQ(ResizePixels(3, 8, kResampleInterpolated, 1), 1);
    EXPECT_EQ(FloatingPiece.pieceWidth, 3u);
    EXPECT_EQ(FloatingPiece.pieceHeight, 8u);
    const PixelBuffer& mask = *FloatingPiece.maskBitmap;
    ASSERT_EQ(mask.Width(), 3);
    ASSERT_EQ(mask.Height(), 8);
    // Source columns 0, 2, 4 are all even: every byte is 249, nothing averaged into it.
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(MaskOf(mask, x, y), kMaskInside);
    // The pixels themselves are averaged over column pairs.
    EXPECT_EQ(PixelOf(*FloatingPiece.pieceBitmap, 1, 0).r, (2 + 3) / 2);
    // The undo twins and the image stay as they were.
    EXPECT_EQ(FloatingPiece.pieceUndoBitmap->Width(), 6);
    EXPECT_EQ(FloatingPiece.maskUndoBitmap->Width(), 6);
    EXPECT_EQ(Work().Width(), 20);
}

TEST_F(GeometryTest, CroppingAPieceKeepsItsMaskWithThePixels) {
    MakeImage(20, 20);
    MakePiece(6, 4, true);
    ASSERT_EQ(ResizePixels(8, 3, kResampleNearest, 0), 1);
    const PixelBuffer& mask = *FloatingPiece.maskBitmap;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 8; ++x) {
            const int expected = x >= 6 ? 0 : (x % 2 == 0 ? kMaskInside : kMaskBorder);
            EXPECT_EQ(MaskOf(mask, x, y), expected) << x << "," << y;
        }
}
