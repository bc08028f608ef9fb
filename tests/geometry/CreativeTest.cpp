#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "support/GeometrySupport.h"
#include "filters/CreativeFilters.h"
#include "files/BmpWriter.h"

using namespace geometry_test;

namespace {

void FillAll(PixelBuffer& buffer, Rgb c) {
    for (int y = 0; y < buffer.Height(); ++y)
        for (int x = 0; x < buffer.Width(); ++x) PutPixel(buffer, x, y, c);
}

// The oil paint as plainly as it reads: three fresh histograms for every pixel.
void ReferenceOilpaint(const PixelBuffer& source, PixelBuffer& target) {
    const int w = source.Width(), h = source.Height();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int count[3][256] = {};
            for (int j = -3; j <= 3; ++j)
                for (int i = -3; i <= 3; ++i) {
                    if (!source.Contains(x + i, y + j)) continue;
                    const Rgb c = PixelOf(source, x + i, y + j);
                    ++count[0][c.r];
                    ++count[1][c.g];
                    ++count[2][c.b];
                }
            int best[3] = {0, 0, 0};
            for (int k = 0; k < 3; ++k)
                for (int v = 1; v < 256; ++v)
                    if (count[k][v] > count[k][best[k]]) best[k] = v;
            PutPixel(target, x, y, Rgb{best[0], best[1], best[2]});
        }
}

// A picture with few levels per channel, so that counts tie and the smallest must win.
void FillFewLevels(PixelBuffer& buffer, std::uint32_t seed) {
    std::mt19937 random(seed);
    for (int y = 0; y < buffer.Height(); ++y)
        for (int x = 0; x < buffer.Width(); ++x)
            PutPixel(buffer, x, y, Rgb{static_cast<int>(random() % 3) * 100, static_cast<int>(random() % 4) * 60,
                                       static_cast<int>(random() % 2) * 255});
}

}  // namespace

TEST_F(GeometryTest, MosaicCellsStartAtTheTopRight) {
    MakeImage(5, 5);
    ASSERT_EQ(Mosaic(2), 1);
    // The top-right 2 x 2 block is one cell.
    const Rgb topRight{(3 + 4 + 3 + 4) / 4, (0 + 0 + 1 + 1) / 4, 0};
    for (int y = 0; y < 2; ++y)
        for (int x = 3; x < 5; ++x) EXPECT_EQ(PixelOf(Work(), x, y), topRight);
    // The leftmost column is a cell one pixel wide.
    EXPECT_EQ(PixelOf(Work(), 0, 0), (Rgb{0, 0, 0}));  // (0,0) and (0,1): green (0 + 1) / 2
    EXPECT_EQ(PixelOf(Work(), 0, 2), (Rgb{0, 2, 0}));  // rows 2 and 3: (2 + 3) / 2
    // The bottom row is a cell one pixel high; its corner cell is one pixel.
    EXPECT_EQ(PixelOf(Work(), 0, 4), Marker(0, 4));
    EXPECT_EQ(PixelOf(Work(), 1, 4), (Rgb{1, 4, 0}));
    EXPECT_EQ(PixelOf(Work(), 2, 4), (Rgb{1, 4, 0}));
    EXPECT_EQ(PixelOf(Work(), 4, 4), (Rgb{3, 4, 0}));
}

TEST_F(GeometryTest, MosaicOfAUniformPictureChangesNothing) {
    MakeImage(23, 17);
    FillAll(Work(), Rgb{12, 200, 99});
    CopyPixels(&Undo(), &Work());
    for (int s : {2, 3, 16}) {
        ASSERT_EQ(Mosaic(s), 1);
        EXPECT_EQ(PixelBytes(Work()), PixelBytes(Undo()));
    }
    EXPECT_EQ(Mosaic(0), 0);
    EXPECT_EQ(Mosaic(-3), 0);
    EXPECT_EQ(PixelBytes(Work()), PixelBytes(Undo()));
}

TEST_F(GeometryTest, OilpaintTakesTheSmallerOfTwoEqualCounts) {
    MakeImage(7, 7);
    // Columns 0-2 and 4-6 hold 21 pixels each of two greys; column 3 a third grey (7 pixels).
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 7; ++x) PutPixel(Undo(), x, y, x < 3 ? Rgb{90, 90, 90} : (x == 3 ? Rgb{5, 5, 5} : Rgb{40, 40, 40}));
    ASSERT_EQ(Oilpaint(), 1);
    EXPECT_EQ(PixelOf(Work(), 3, 3), (Rgb{40, 40, 40}));
}

TEST_F(GeometryTest, OilpaintRemovesASingleOddPixel) {
    MakeImage(9, 9);
    FillAll(Undo(), Rgb{100, 150, 200});
    PutPixel(Undo(), 4, 4, Rgb{0, 255, 0});
    ASSERT_EQ(Oilpaint(), 1);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x) ASSERT_EQ(PixelOf(Work(), x, y), (Rgb{100, 150, 200}));
}

TEST_F(GeometryTest, OilpaintMatchesFreshHistogramsOnRandomImages) {
    std::uint32_t seed = 3;
    for (auto [w, h] : {std::pair{40, 30}, std::pair{1, 12}, std::pair{12, 1}, std::pair{5, 5}, std::pair{300, 260}}) {
        auto source = MakeBuffer(w, h);
        auto fast = MakeBuffer(w, h);
        auto slow = MakeBuffer(w, h);
        for (int pass = 0; pass < 2; ++pass) {
            if (pass == 0) {
                FillRandom(*source, seed++);
            } else {
                FillFewLevels(*source, seed++);
            }
            OilpaintPixels(*source, *fast);
            ReferenceOilpaint(*source, *slow);
            ASSERT_EQ(PixelBytes(*fast), PixelBytes(*slow)) << w << "x" << h << " pass " << pass;
        }
    }
}

TEST_F(GeometryTest, TextureAddsTheWrappedDifferenceTiledFromTheTopRight) {
    MakeImage(5, 3);
    FillAll(Work(), Rgb{100, 100, 100});
    // A 2 x 2 texture; grey of pure white 255, of black 0.
    auto texture = MakeBuffer(2, 2);
    PutPixel(*texture, 0, 0, Rgb{255, 255, 255});
    PutPixel(*texture, 1, 0, Rgb{0, 0, 0});
    PutPixel(*texture, 0, 1, Rgb{128, 128, 128});  // grey (1024 * 128) >> 10 = 128
    PutPixel(*texture, 1, 1, Rgb{60, 60, 60});
    ApplyTexture(Work(), *texture, 64);
    // Column 4 (the right edge) takes texture column 1, column 3 column 0, and so on.
    // 255 - 64 = 191 wraps to -65; 0 - 64 = -64; 128 - 64 = 64; 60 - 64 = -4.
    EXPECT_EQ(PixelOf(Work(), 4, 0), (Rgb{36, 36, 36}));
    EXPECT_EQ(PixelOf(Work(), 3, 0), (Rgb{35, 35, 35}));
    EXPECT_EQ(PixelOf(Work(), 0, 0), (Rgb{36, 36, 36}));
    EXPECT_EQ(PixelOf(Work(), 4, 1), (Rgb{96, 96, 96}));
    EXPECT_EQ(PixelOf(Work(), 3, 1), (Rgb{164, 164, 164}));
    EXPECT_EQ(PixelOf(Work(), 3, 2), (Rgb{35, 35, 35}));
}

TEST_F(GeometryTest, TextureClampsAndTakesTheMiddleGreyForLevelZero) {
    MakeImage(2, 1);
    PutPixel(Work(), 0, 0, Rgb{250, 3, 128});
    PutPixel(Work(), 1, 0, Rgb{250, 3, 128});
    auto texture = MakeBuffer(2, 1);
    PutPixel(*texture, 0, 0, Rgb{10, 10, 10});    // grey 10
    PutPixel(*texture, 1, 0, Rgb{201, 201, 201}); // grey 201
    // Level 0 becomes 201 - (201 - 10) / 2 = 106: deltas -96 and 95.
    ApplyTexture(Work(), *texture, 0);
    EXPECT_EQ(PixelOf(Work(), 0, 0), (Rgb{154, 0, 32}));
    EXPECT_EQ(PixelOf(Work(), 1, 0), (Rgb{255, 98, 223}));
}

TEST_F(GeometryTest, TextureOfOneGreyAtAutomaticLevelChangesNothing) {
    MakeImage(30, 20);
    auto texture = MakeBuffer(7, 3);
    FillAll(*texture, Rgb{77, 77, 77});
    ApplyTexture(Work(), *texture, 0);
    EXPECT_EQ(PixelBytes(Work()), PixelBytes(Undo()));
    // Level 128 never wraps: every difference lies between -128 and 127.
    auto ramp = MakeBuffer(256, 1);
    for (int x = 0; x < 256; ++x) PutPixel(*ramp, x, 0, Rgb{x, x, x});
    MakeImage(256, 1);
    FillAll(Work(), Rgb{128, 128, 128});
    ApplyTexture(Work(), *ramp, 128);
    for (int x = 0; x < 256; ++x) ASSERT_EQ(PixelOf(Work(), x, 0).r, x) << x;
}

TEST_F(GeometryTest, TextureFromAFileAndFromNoFile) {
    MakeImage(6, 4);
    const std::string folder = ::testing::TempDir() + "/pw-texture-test-" + std::to_string(::getpid());
    std::filesystem::create_directories(folder);
    auto texture = MakeBuffer(3, 2);
    FillAll(*texture, Rgb{200, 200, 200});
    ASSERT_EQ(WriteBmp(texture.get(), folder + "/grey.bmp"), 1);
    {
        std::ofstream junk(folder + "/junk.bmp");
        junk << "not a picture";
    }
    EXPECT_EQ(Texture(&Work(), folder + "/junk.bmp", 100), 0);
    EXPECT_EQ(Texture(&Work(), folder + "/missing.png", 100), 0);
    EXPECT_EQ(PixelBytes(Work()), PixelBytes(Undo()));
    ASSERT_EQ(Texture(&Work(), folder + "/grey.bmp", 100), 1);
    EXPECT_EQ(PixelOf(Work(), 2, 1), (Rgb{102, 101, 100}));  // Marker(2, 1) + 100
    EXPECT_EQ(Texture(nullptr, folder + "/grey.bmp", 100), 0);
    std::filesystem::remove_all(folder);
}
