#include <gtest/gtest.h>

#include <climits>

#include "support/RasterTestSupport.h"
#include "platform/raster/Draw.h"

namespace {

using namespace rastertest;
using raster::Pen;
using raster::PenStyle;

TEST(Rectangle, OnePixelRectangleTouchesExactlyItsPixel) {
    auto dc = MakeContext(4, 4);
    raster::Rectangle(*dc, 1, 2, 2, 3);
    EXPECT_EQ(Picture(*dc), Art(R"(
....
....
.#..
....
)"));
}

TEST(Rectangle, RightAndBottomEdgesAreLeftOut) {
    auto dc = MakeContext(5, 5);
    raster::Rectangle(*dc, 0, 0, 3, 3);
    const std::string expected = Art(R"(
###..
#o#..
###..
.....
.....
)");
    EXPECT_EQ(Picture(*dc), expected);

    // Inverted corners are swapped.
    auto swapped = MakeContext(5, 5);
    raster::Rectangle(*swapped, 3, 3, 0, 0);
    EXPECT_EQ(Picture(*swapped), expected);
    auto half = MakeContext(5, 5);
    raster::Rectangle(*half, 3, 0, 0, 3);
    EXPECT_EQ(Picture(*half), expected);
}

TEST(Rectangle, WidePensAreCentredOnTheOutline) {
    auto three = MakeContext(10, 10);
    three->SetPen({PenStyle::Solid, 3, kInk});
    raster::Rectangle(*three, 2, 2, 8, 8);
    EXPECT_EQ(Picture(*three), Art(R"(
..........
.########.
.########.
.########.
.###oo###.
.###oo###.
.########.
.########.
.########.
..........
)"));

    // An even width puts its extra pixel outside on the left and top, inside on the right
    // and bottom.
    auto four = MakeContext(12, 12);
    four->SetPen({PenStyle::Solid, 4, kInk});
    raster::Rectangle(*four, 3, 3, 9, 9);
    EXPECT_EQ(Picture(*four), Art(R"(
............
.#########..
.#########..
.#########..
.#########..
.####o####..
.#########..
.#########..
.#########..
.#########..
............
............
)"));
}

TEST(Rectangle, ZeroAndNegativePenWidthsDrawOnePixel) {
    for (int width : {0, -5}) {
        auto dc = MakeContext(5, 5);
        dc->SetPen({PenStyle::Solid, width, kInk});
        raster::Rectangle(*dc, 0, 0, 3, 3);
        EXPECT_EQ(Picture(*dc), Art(R"(
###..
#o#..
###..
.....
.....
)")) << width;
    }
}

TEST(Rectangle, NullPenAndEmptyFill) {
    auto dc = MakeContext(6, 4);
    dc->SetPen({PenStyle::Null, 1, kInk});
    raster::Rectangle(*dc, 1, 1, 4, 3);
    EXPECT_EQ(Picture(*dc), Art(R"(
......
.ooo..
.ooo..
......
)"));

    auto hollow = MakeContext(5, 5);
    hollow->SetFill({true, kPaint});
    raster::Rectangle(*hollow, 0, 0, 4, 4);
    EXPECT_EQ(Picture(*hollow), Art(R"(
####.
#..#.
#..#.
####.
.....
)"));

    auto nothing = MakeContext(3, 3);
    nothing->SetPen({PenStyle::Null, 1, kInk});
    nothing->SetFill({true, kPaint});
    raster::Rectangle(*nothing, 0, 0, 3, 3);
    raster::Ellipse(*nothing, 0, 0, 3, 3);
    EXPECT_EQ(Picture(*nothing), Art("...\n...\n...\n"));
}

TEST(Rectangle, DashedOutlineRunsClockwiseFromTheTopLeft) {
    auto dc = MakeContext(7, 5);
    dc->SetPen({PenStyle::Dash, 1, kInk});
    dc->SetFill({true, kPaint});
    raster::Rectangle(*dc, 0, 0, 6, 4);
    // Steps 0-5 along the top, 6-8 down the right, 9-13 back along the bottom, 14-15 up.
    EXPECT_EQ(Picture(*dc), Art(R"(
###....
.....#.
#....#.
##...#.
.......
)"));
}

TEST(Shapes, EmptyBoxesDrawNothing) {
    auto dc = MakeContext(6, 6);
    dc->SetPen({PenStyle::Solid, 3, kInk});
    raster::Rectangle(*dc, 2, 2, 2, 5);
    raster::Rectangle(*dc, 1, 3, 4, 3);
    raster::Ellipse(*dc, 1, 1, 1, 1);
    raster::Ellipse(*dc, 1, 1, 5, 1);
    raster::RoundRect(*dc, 4, 4, 4, 4, 2, 2);
    EXPECT_EQ(Picture(*dc), Art("......\n......\n......\n......\n......\n......\n"));
}

TEST(Ellipse, SmallEllipsesHaveExactMasks) {
    auto three = MakeContext(5, 5);
    raster::Ellipse(*three, 1, 1, 4, 4);
    EXPECT_EQ(Picture(*three), Art(R"(
.....
..#..
.#o#.
..#..
.....
)"));

    auto four = MakeContext(6, 6);
    raster::Ellipse(*four, 1, 1, 5, 5);
    EXPECT_EQ(Picture(*four), Art(R"(
......
..##..
.#oo#.
.#oo#.
..##..
......
)"));

    auto five = MakeContext(5, 5);
    raster::Ellipse(*five, 0, 0, 5, 5);
    EXPECT_EQ(Picture(*five), Art(R"(
.###.
#ooo#
#ooo#
#ooo#
.###.
)"));

    auto six = MakeContext(6, 6);
    raster::Ellipse(*six, 0, 0, 6, 6);
    EXPECT_EQ(Picture(*six), Art(R"(
..##..
.#oo#.
#oooo#
#oooo#
.#oo#.
..##..
)"));

    auto flat = MakeContext(6, 4);
    raster::Ellipse(*flat, 0, 0, 6, 4);
    EXPECT_EQ(Picture(*flat), Art(R"(
.####.
#oooo#
#oooo#
.####.
)"));

    auto thin = MakeContext(4, 5);
    raster::Ellipse(*thin, 1, 0, 3, 5);
    EXPECT_EQ(Picture(*thin), Art(R"(
.##.
.##.
.##.
.##.
.##.
)"));

    auto dot = MakeContext(3, 3);
    raster::Ellipse(*dot, 1, 1, 2, 2);
    EXPECT_EQ(Picture(*dot), Art("...\n.#.\n...\n"));
}

TEST(Ellipse, WidePenCoversTheBandAroundTheOutline) {
    auto dc = MakeContext(9, 9);
    dc->SetPen({PenStyle::Solid, 3, kInk});
    raster::Ellipse(*dc, 2, 2, 7, 7);
    EXPECT_EQ(Picture(*dc), Art(R"(
.........
...###...
..#####..
.#######.
.###o###.
.#######.
..#####..
...###...
.........
)"));
}

TEST(Ellipse, DashedOutlineRunsClockwise) {
    auto dc = MakeContext(6, 6);
    dc->SetPen({PenStyle::Dash, 1, kInk});
    dc->SetFill({true, kPaint});
    raster::Ellipse(*dc, 0, 0, 6, 6);
    // Steps 0-1 along the top, 2-5 down the right, 6-7 along the bottom, 8-11 up the left.
    EXPECT_EQ(Picture(*dc), Art(R"(
..##..
....#.
......
......
.#....
..##..
)"));
}

// Whatever the size, an ellipse touches all four sides of its box and is symmetric.
TEST(Ellipse, TouchesItsBoxAndIsSymmetricForEverySmallSize) {
    for (int w = 1; w <= 14; ++w) {
        for (int h = 1; h <= 14; ++h) {
            auto dc = MakeContext(w + 2, h + 2);
            raster::Ellipse(*dc, 1, 1, 1 + w, 1 + h);
            int left = INT_MAX, right = -1, top = INT_MAX, bottom = -1;
            for (int y = 0; y < h + 2; ++y) {
                for (int x = 0; x < w + 2; ++x) {
                    const raster::Colour c = raster::GetPixel(*dc, x, y);
                    ASSERT_EQ(c, raster::GetPixel(*dc, w + 1 - x, y)) << w << "x" << h << " at " << x << "," << y;
                    ASSERT_EQ(c, raster::GetPixel(*dc, x, h + 1 - y)) << w << "x" << h << " at " << x << "," << y;
                    if (c == kWhite) continue;
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
            }
            EXPECT_EQ(left, 1) << w << "x" << h;
            EXPECT_EQ(right, w) << w << "x" << h;
            EXPECT_EQ(top, 1) << w << "x" << h;
            EXPECT_EQ(bottom, h) << w << "x" << h;
        }
    }
}

TEST(RoundRect, CornersAreQuartersOfTheCornerEllipse) {
    auto dc = MakeContext(10, 8);
    raster::RoundRect(*dc, 0, 0, 10, 8, 6, 6);
    EXPECT_EQ(Picture(*dc), Art(R"(
..######..
.#oooooo#.
#oooooooo#
#oooooooo#
#oooooooo#
#oooooooo#
.#oooooo#.
..######..
)"));
}

TEST(RoundRect, DegenerateCornersGiveRectangleOrEllipse) {
    auto square = MakeContext(9, 7);
    raster::RoundRect(*square, 1, 1, 8, 6, 0, 0);
    auto rectangle = MakeContext(9, 7);
    raster::Rectangle(*rectangle, 1, 1, 8, 6);
    EXPECT_EQ(Picture(*square), Picture(*rectangle));

    auto huge = MakeContext(9, 7);
    raster::RoundRect(*huge, 1, 1, 8, 6, 100, 100);
    auto ellipse = MakeContext(9, 7);
    raster::Ellipse(*ellipse, 1, 1, 8, 6);
    EXPECT_EQ(Picture(*huge), Picture(*ellipse));

    auto negative = MakeContext(9, 7);
    raster::RoundRect(*negative, 1, 1, 8, 6, -4, -4);
    EXPECT_EQ(Picture(*negative), Picture(*rectangle));
}

TEST(Shapes, ClipAtAllFourBitmapEdges) {
    auto corners = MakeContext(6, 6);
    raster::Rectangle(*corners, -2, -2, 3, 3);
    raster::Rectangle(*corners, 3, 3, 9, 9);
    EXPECT_EQ(Picture(*corners), Art(R"(
oo#...
oo#...
###...
...###
...#oo
...#oo
)"));

    auto others = MakeContext(6, 6);
    raster::Ellipse(*others, 3, -3, 9, 3);
    raster::Ellipse(*others, -3, 3, 3, 9);
    EXPECT_EQ(Picture(*others), Art(R"(
...#oo
....#o
.....#
#.....
o#....
oo#...
)"));
}

TEST(Shapes, AbsurdCoordinatesAndWidthsAreClipped) {
    auto dc = MakeContext(5, 5);
    raster::Rectangle(*dc, INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    raster::Ellipse(*dc, -1000000000, -1000000000, 1000000000, 1000000000);
    raster::RoundRect(*dc, INT_MAX, INT_MAX, INT_MIN, INT_MIN, INT_MAX, INT_MIN);
    EXPECT_EQ(Picture(*dc), Art("ooooo\nooooo\nooooo\nooooo\nooooo\n"));

    dc->SetPen({PenStyle::Solid, INT_MAX, kInk});
    raster::Ellipse(*dc, 2, 2, 3, 3);
    EXPECT_EQ(Picture(*dc), Art("#####\n#####\n#####\n#####\n#####\n"));
}

TEST(Shapes, NoBitmapSelectedIsHarmless) {
    raster::DrawingContext empty;
    raster::Rectangle(empty, 0, 0, 4, 4);
    raster::Ellipse(empty, 0, 0, 4, 4);
    raster::RoundRect(empty, 0, 0, 4, 4, 2, 2);
    const raster::Point p[3] = {{0, 0}, {3, 0}, {0, 3}};
    raster::Polygon(empty, p, 3);
    raster::LineTo(empty, 5, 5);
    EXPECT_EQ(raster::GetPixel(empty, 0, 0), raster::kInvalidColour);
}

}  // namespace
