#include <gtest/gtest.h>

#include "support/RasterTestSupport.h"
#include "platform/raster/Draw.h"

namespace {

using namespace rastertest;
using raster::PenStyle;
using raster::Point;

TEST(Lines, EndPointIsLeftOutAndThePenMoves) {
    auto dc = MakeContext(7, 3);
    raster::MoveTo(*dc, 1, 1);
    raster::LineTo(*dc, 5, 1);
    EXPECT_EQ(dc->PenX(), 5);
    EXPECT_EQ(dc->PenY(), 1);
    EXPECT_EQ(Picture(*dc), Art(".......\n.####..\n.......\n"));

    // A line of no length draws nothing.
    raster::LineTo(*dc, 5, 1);
    EXPECT_EQ(raster::GetPixel(*dc, 5, 1), kWhite);
}

TEST(Lines, BresenhamRoundsTheMinorAxisToNearest) {
    auto shallow = MakeContext(6, 3);
    raster::MoveTo(*shallow, 0, 0);
    raster::LineTo(*shallow, 5, 2);
    EXPECT_EQ(Picture(*shallow), Art(R"(
##....
..##..
....#.
)"));

    // Steep and drawn up and to the left.
    auto steep = MakeContext(5, 6);
    raster::MoveTo(*steep, 4, 5);
    raster::LineTo(*steep, 2, 0);
    EXPECT_EQ(Picture(*steep), Art(R"(
.....
..#..
...#.
...#.
....#
....#
)"));

    // An exact half rounds away from the start.
    auto half = MakeContext(3, 2);
    raster::MoveTo(*half, 0, 0);
    raster::LineTo(*half, 2, 1);
    EXPECT_EQ(Picture(*half), Art("#..\n.#.\n"));

    auto diagonal = MakeContext(4, 4);
    raster::MoveTo(*diagonal, 3, 3);
    raster::LineTo(*diagonal, -1, -1);
    EXPECT_EQ(Picture(*diagonal), Art("#...\n.#..\n..#.\n...#\n"));
}

TEST(Lines, DashedPenDrawsThreeOnThreeOff) {
    auto dc = MakeContext(15, 1);
    dc->SetPen({PenStyle::Dash, 1, kInk});
    raster::MoveTo(*dc, 0, 0);
    raster::LineTo(*dc, 14, 0);
    EXPECT_EQ(Picture(*dc), Art("###...###...##.\n"));
}

TEST(Lines, PolylineCarriesTheDashThroughItsVertices) {
    auto dc = MakeContext(6, 6);
    dc->SetPen({PenStyle::Dash, 1, kInk});
    const Point points[3] = {{0, 0}, {4, 0}, {4, 4}};
    raster::Polyline(*dc, points, 3);
    EXPECT_EQ(Picture(*dc), Art(R"(
###...
......
....#.
....#.
......
......
)"));
}

TEST(Lines, WidePensStampARoundNib) {
    auto three = MakeContext(9, 8);
    three->SetPen({PenStyle::Solid, 3, kInk});
    raster::MoveTo(*three, 2, 5);
    raster::LineTo(*three, 7, 5);
    EXPECT_EQ(Picture(*three), Art(R"(
.........
.........
.........
.........
..#####..
.#######.
..#####..
.........
)"));

    auto four = MakeContext(8, 8);
    four->SetPen({PenStyle::Solid, 4, kInk});
    raster::MoveTo(*four, 3, 5);
    raster::LineTo(*four, 6, 5);
    EXPECT_EQ(Picture(*four), Art(R"(
........
........
........
..####..
.######.
.######.
..####..
........
)"));
}

TEST(Lines, WideDashedPenStampsOnlyOnTheDashes) {
    auto dc = MakeContext(10, 3);
    dc->SetPen({PenStyle::Dash, 2, kInk});
    raster::MoveTo(*dc, 1, 1);
    raster::LineTo(*dc, 9, 1);
    // Nib of width 2 covers the pixel and the one left of and above it.
    EXPECT_EQ(Picture(*dc), Art(R"(
####..###.
####..###.
..........
)"));
}

TEST(Lines, NullPenOnlyMoves) {
    auto dc = MakeContext(4, 4);
    dc->SetPen({PenStyle::Null, 1, kInk});
    raster::MoveTo(*dc, 0, 0);
    raster::LineTo(*dc, 3, 3);
    EXPECT_EQ(dc->PenX(), 3);
    EXPECT_EQ(Picture(*dc), Art("....\n....\n....\n....\n"));
}

TEST(Lines, ClipToTheBitmapFromFarOutside) {
    auto dc = MakeContext(6, 5);
    raster::MoveTo(*dc, -1000000, 1);
    raster::LineTo(*dc, 1000000, 1);
    raster::MoveTo(*dc, 4, 2000000000);
    raster::LineTo(*dc, 4, -2000000000);
    raster::MoveTo(*dc, -3, 6);
    raster::LineTo(*dc, 3, 0);
    EXPECT_EQ(Picture(*dc), Art(R"(
....#.
######
.#..#.
#...#.
....#.
)"));
}

TEST(Lines, DashPhaseIsKeptWhenTheStartIsClippedAway) {
    auto dc = MakeContext(6, 1);
    dc->SetPen({PenStyle::Dash, 1, kInk});
    raster::MoveTo(*dc, -4, 0);
    raster::LineTo(*dc, 6, 0);
    // x = -4..-2 dash, -1..1 gap, 2..4 dash, 5 gap.
    EXPECT_EQ(Picture(*dc), Art("..###.\n"));
}

TEST(Pixels, SetAndGetIn24Bits) {
    auto dc = MakeContext(3, 2);
    EXPECT_EQ(raster::SetPixel(*dc, 2, 1, 0x00123456), 0x00123456u);
    EXPECT_EQ(raster::GetPixel(*dc, 2, 1), 0x00123456u);
    const raster::Bitmap* bm = dc->SelectedBitmap();
    // Image row 1 of 2 is the first stored row; bytes blue, green, red.
    EXPECT_EQ(bm->Bits()[6], 0x12);
    EXPECT_EQ(bm->Bits()[7], 0x34);
    EXPECT_EQ(bm->Bits()[8], 0x56);
    EXPECT_EQ(raster::SetPixel(*dc, 3, 0, 0), raster::kInvalidColour);
    EXPECT_EQ(raster::SetPixel(*dc, -1, 0, 0), raster::kInvalidColour);
    EXPECT_EQ(raster::GetPixel(*dc, 0, 2), raster::kInvalidColour);
    EXPECT_EQ(raster::GetPixel(*dc, 0, -1), raster::kInvalidColour);
}

}  // namespace
