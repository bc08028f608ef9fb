// Gradients: the rows of a linear gradient, the rim of a circular one, the three styles and
// the opacity, and every pixel against a direct computation of its position.
#include <cmath>
#include <random>

#include "support/BrushFixture.h"
#include "filters/FilterEngine.h"
#include "tools/Gradient.h"

namespace {

std::unique_ptr<PixelBuffer> Picture(int width, int height, raster::Colour c) {
    raster::BitmapInfo header;
    std::unique_ptr<PixelBuffer> b = CreatePixelBuffer(width, height, 24, header, nullptr);
    FillBuffer(b.get(), c);
    return b;
}

// Foreground (200, 100, 0), background (0, 50, 255) over grey 90.
const GradientInk kInk{raster::MakeColour(200, 100, 0), raster::MakeColour(0, 50, 255), 100,
                       kGradientForegroundToBackground};

TEST(Gradient, LinearRowsFromTheForegroundToTheBackground) {
    std::unique_ptr<PixelBuffer> b = Picture(5, 120, Grey(90));
    DrawGradientWith(kInk, b.get(), 0, 0, 0, 100, kGradientLinear);
    // Row 0, t = 0: c = F; alpha 254, inverse 1: F x 254 / 256 + 90 x 1 / 256.
    // red 200 x 254 / 256 = 198, green 99, blue 0.
    EXPECT_EQ(PixelOf(b.get(), 0, 0), raster::MakeColour(198, 99, 0));
    // Row 50: t = trunc(255 x 50 x 100 / 10000) = 127; red 200 + (127 x -200) / 256 = 200 - 99 = 101,
    // green 100 + (127 x -50) / 256 = 76, blue (127 x 255) / 256 = 126; then x 254 / 256.
    EXPECT_EQ(PixelOf(b.get(), 0, 50), raster::MakeColour(100, 75, 125));
    // Row 100 and below, t = 255: red 200 + (255 x -200) / 256 = 200 - 199 = 1 (truncated towards
    // zero), green 100 - 49 = 51, blue 254; x 254 / 256 gives 0, 50, 252.
    for (int y : {100, 101, 119}) EXPECT_EQ(PixelOf(b.get(), 0, y), raster::MakeColour(0, 50, 252)) << y;
    // Every column of a row is equal.
    for (int y = 0; y < 120; ++y)
        for (int x = 1; x < 5; ++x) ASSERT_EQ(PixelOf(b.get(), x, y), PixelOf(b.get(), 0, y)) << x << "," << y;
    // Rows before the start point are clamped to t = 0.
    std::unique_ptr<PixelBuffer> shifted = Picture(2, 30, Grey(90));
    DrawGradientWith(kInk, shifted.get(), 0, 20, 0, 10, kGradientLinear);
    EXPECT_EQ(PixelOf(shifted.get(), 1, 25), raster::MakeColour(198, 99, 0));
    EXPECT_EQ(PixelOf(shifted.get(), 1, 5), raster::MakeColour(0, 50, 252));
}

TEST(Gradient, TheStylesTakeThePixelsOwnColourAtOneEnd) {
    GradientInk ink = kInk;
    ink.opacity = 50;  // alpha trunc(127.5) = 127, inverse 128
    const raster::Colour own = raster::MakeColour(0, 200, 40);

    ink.style = kGradientForegroundToTransparent;
    std::unique_ptr<PixelBuffer> b = Picture(1, 11, own);
    DrawGradientWith(ink, b.get(), 0, 0, 0, 10, kGradientLinear);
    // Start: c = F; red 200 x 127 / 256 + 0 = 99; green 100 x 127 / 256 + 200 x 128 / 256 = 49 + 100;
    // blue 0 + 40 x 128 / 256 = 20.
    EXPECT_EQ(PixelOf(b.get(), 0, 0), raster::MakeColour(99, 149, 20));
    // End: t = 255, d = P - F: red 200 + (255 x -200) / 256 = 1, green 100 + (255 x 100) / 256 = 199,
    // blue 0 + (255 x 40) / 256 = 39; blended: 0 + 0, 98 + 100, 19 + 20.
    EXPECT_EQ(PixelOf(b.get(), 0, 10), raster::MakeColour(0, 198, 39));

    ink.style = kGradientTransparentToForeground;
    b = Picture(1, 11, own);
    DrawGradientWith(ink, b.get(), 0, 0, 0, 10, kGradientLinear);
    // Reversed: the start has t = 255 and the end t = 0.
    EXPECT_EQ(PixelOf(b.get(), 0, 0), raster::MakeColour(0, 198, 39));
    EXPECT_EQ(PixelOf(b.get(), 0, 10), raster::MakeColour(99, 149, 20));
}

TEST(Gradient, CircularPaintsBeyondTheRimWithTheEndColour) {
    std::unique_ptr<PixelBuffer> b = Picture(30, 30, Grey(90));
    DrawGradientWith(kInk, b.get(), 10, 10, 13, 14, kGradientCircular);  // rim at distance 5
    EXPECT_EQ(PixelOf(b.get(), 10, 10), raster::MakeColour(198, 99, 0));
    // Distance 3 (from (13, 10)): t = trunc(3 / 5 x 255) = 153; red 200 + (153 x -200) / 256 = 81,
    // green 100 + (153 x -50) / 256 = 71, blue (153 x 255) / 256 = 152; x 254 / 256.
    EXPECT_EQ(PixelOf(b.get(), 13, 10), raster::MakeColour(80, 70, 150));
    // IntegerSqrt(4 + 16) = 4: t = 204.
    EXPECT_EQ(PixelOf(b.get(), 12, 14), PixelOf(b.get(), 14, 10));
    for (const auto& [x, y] : {Point{15, 10}, Point{29, 29}, Point{0, 0}, Point{10, 16}})
        EXPECT_EQ(PixelOf(b.get(), x, y), raster::MakeColour(0, 50, 252)) << x << "," << y;

    // Style 2 beyond the rim: the foreground colour.
    GradientInk ink = kInk;
    ink.style = kGradientTransparentToForeground;
    b = Picture(30, 30, Grey(90));
    DrawGradientWith(ink, b.get(), 10, 10, 13, 14, kGradientCircular);
    EXPECT_EQ(PixelOf(b.get(), 29, 29), raster::MakeColour(198, 99, 0));
    // The centre nearly keeps its own colour: t = 255, c = F + (255 x (90 - F)) / 256 = 91, 91, 89,
    // then x 254 / 256.
    EXPECT_EQ(PixelOf(b.get(), 10, 10), raster::MakeColour(90, 90, 88));
}

TEST(Gradient, EqualPointsOrNoBitmapChangeNothing) {
    std::unique_ptr<PixelBuffer> b = Picture(4, 4, Grey(90));
    DrawGradientWith(kInk, b.get(), 2, 2, 2, 2, kGradientLinear);
    DrawGradientWith(kInk, b.get(), 2, 2, 2, 2, kGradientCircular);
    DrawGradientWith(kInk, nullptr, 0, 0, 3, 3, kGradientLinear);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(PixelOf(b.get(), x, y), Grey(90));
}

// The position of every pixel as the formulas state it, one division per pixel.
int DirectPosition(int x, int y, int x1, int y1, int x2, int y2, int kind) {
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    if (kind == kGradientLinear) {
        const double t = std::trunc(255.0 * ((x - x1) * dx + (y - y1) * dy) / (dx * dx + dy * dy));
        return static_cast<int>(std::clamp(t, 0.0, 255.0));
    }
    const auto rim = static_cast<int>(std::sqrt(dx * dx + dy * dy));
    const auto n = static_cast<std::uint32_t>((x - x1) * (x - x1) + (y - y1) * (y - y1));
    const auto t = static_cast<int>(static_cast<float>(IntegerSqrt(n)) / static_cast<float>(rim) * 255.0f);
    return std::min(t, 255);
}

TEST(Gradient, PositionsEqualTheDirectComputationEverywhere) {
    std::mt19937 random(11);
    std::vector<std::uint8_t> row(97);
    for (int round = 0; round < 300; ++round) {
        const auto point = [&] { return static_cast<int>(random() % 400) - 150; };
        const int x1 = point();
        const int y1 = point();
        const int x2 = round % 7 == 0 ? x1 : point();
        const int y2 = point();
        if (x1 == x2 && y1 == y2) continue;
        const int kind = round % 2;
        const GradientPositions along(x1, y1, x2, y2, kind);
        for (int y = 0; y < 60; y += 7) {
            along.Row(y, 97, row.data());
            for (int x = 0; x < 97; ++x)
                ASSERT_EQ(row[static_cast<std::size_t>(x)], DirectPosition(x, y, x1, y1, x2, y2, kind))
                    << "round " << round << " kind " << kind << " at " << x << "," << y;
        }
    }
}

TEST(Gradient, TheCurrentInkIsThePaintSettings) {
    ResetPaintSettings();
    PaintSettings.FColor = 0x123456;
    PaintSettings.BColor = 0x654321;
    PaintSettings.GOpacity = 42;
    PaintSettings.Gradient = 2;
    const GradientInk ink = CurrentGradientInk();
    EXPECT_EQ(ink.foreground, 0x123456u);
    EXPECT_EQ(ink.background, 0x654321u);
    EXPECT_EQ(ink.opacity, 42);
    EXPECT_EQ(ink.style, 2);
    ResetPaintSettings();
}

}  // namespace
