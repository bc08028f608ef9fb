#include <gtest/gtest.h>

#include "support/RasterTestSupport.h"
#include "platform/raster/Draw.h"

namespace {

using namespace rastertest;
using raster::PenStyle;
using raster::Point;

TEST(Polygon, OutlineRunsThroughEveryVertexAndTheFillKeepsRightAndBottomOut) {
    const Point square[4] = {{0, 0}, {3, 0}, {3, 3}, {0, 3}};
    auto dc = MakeContext(5, 5);
    raster::Polygon(*dc, square, 4);
    EXPECT_EQ(Picture(*dc), Art(R"(
####.
#oo#.
#oo#.
####.
.....
)"));

    auto fillOnly = MakeContext(5, 5);
    fillOnly->SetPen({PenStyle::Null, 1, kInk});
    raster::Polygon(*fillOnly, square, 4);
    EXPECT_EQ(Picture(*fillOnly), Art(R"(
ooo..
ooo..
ooo..
.....
.....
)"));
}

TEST(Polygon, ConcaveShape) {
    const Point notch[8] = {{0, 0}, {6, 0}, {6, 6}, {4, 6}, {4, 2}, {2, 2}, {2, 6}, {0, 6}};
    auto fillOnly = MakeContext(7, 7);
    fillOnly->SetPen({PenStyle::Null, 1, kInk});
    raster::Polygon(*fillOnly, notch, 8);
    EXPECT_EQ(Picture(*fillOnly), Art(R"(
oooooo.
oooooo.
oo..oo.
oo..oo.
oo..oo.
oo..oo.
.......
)"));

    auto outlined = MakeContext(7, 7);
    raster::Polygon(*outlined, notch, 8);
    EXPECT_EQ(Picture(*outlined), Art(R"(
#######
#ooooo#
#o###o#
#o#.#o#
#o#.#o#
#o#.#o#
###.###
)"));
}

// The path goes round an outer square and, crossing itself, round an inner one in the
// same direction: the alternate rule leaves the doubly enclosed middle empty.
TEST(Polygon, SelfCrossingPathLeavesAnEvenOddHole) {
    const Point loop[8] = {{0, 0}, {8, 0}, {8, 8}, {2, 8}, {2, 2}, {6, 2}, {6, 6}, {0, 6}};
    auto dc = MakeContext(9, 9);
    dc->SetPen({PenStyle::Null, 1, kInk});
    raster::Polygon(*dc, loop, 8);
    EXPECT_EQ(Picture(*dc), Art(R"(
oooooooo.
oooooooo.
oo....oo.
oo....oo.
oo....oo.
oo....oo.
..oooooo.
..oooooo.
.........
)"));
}

TEST(Polygon, FewPointsAndDegenerateShapes) {
    auto dc = MakeContext(5, 5);
    raster::Polygon(*dc, nullptr, 3);
    const Point one[1] = {{2, 2}};
    raster::Polygon(*dc, one, 1);
    raster::Polygon(*dc, one, 0);
    raster::Polygon(*dc, one, -4);
    EXPECT_EQ(Picture(*dc), Art(".....\n.....\n.....\n.....\n.....\n"));

    // Two points: there and back, so both ends are drawn; no area to fill.
    const Point two[2] = {{1, 1}, {4, 3}};
    raster::Polygon(*dc, two, 2);
    EXPECT_EQ(Picture(*dc), Art(R"(
.....
.#...
..##.
....#
.....
)"));
}

TEST(Polygon, HugeTriangleFillsTheWholeBitmap) {
    const Point big[3] = {{-100, -100}, {300, -100}, {-100, 300}};
    auto dc = MakeContext(4, 4);
    raster::Polygon(*dc, big, 3);
    EXPECT_EQ(Picture(*dc), Art("oooo\noooo\noooo\noooo\n"));

    const Point absurd[3] = {{-2000000000, -10}, {2000000000, -10}, {0, 2000000000}};
    auto clamped = MakeContext(4, 4);
    raster::Polygon(*clamped, absurd, 3);
    EXPECT_EQ(Picture(*clamped), Art("oooo\noooo\noooo\noooo\n"));
}

TEST(Polygon, DashedOutlineContinuesRoundTheCorners) {
    const Point square[4] = {{0, 0}, {4, 0}, {4, 4}, {0, 4}};
    auto dc = MakeContext(6, 6);
    dc->SetPen({PenStyle::Dash, 1, kInk});
    dc->SetFill({true, kPaint});
    raster::Polygon(*dc, square, 4);
    EXPECT_EQ(Picture(*dc), Art(R"(
###...
......
#...#.
#...#.
#...#.
......
)"));
}

}  // namespace
