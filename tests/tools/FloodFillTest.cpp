// The flood fill: which pixels join the region, the colour it paints, and a fill that always
// completes however the region winds.
#include <deque>
#include <random>
#include <string>
#include <vector>

#include "image/Undo.h"
#include "platform/MessageBox.h"
#include "support/BrushFixture.h"
#include "tools/FloodFill.h"

namespace {

constexpr raster::Colour kFill = raster::MakeColour(255, 0, 0);

std::unique_ptr<PixelBuffer> Picture(int width, int height, raster::Colour c) {
    raster::BitmapInfo header;
    std::unique_ptr<PixelBuffer> b = CreatePixelBuffer(width, height, 24, header, nullptr);
    FillBuffer(b.get(), c);
    return b;
}

// A picture drawn in characters: '#' is white, '.' black.
std::unique_ptr<PixelBuffer> Drawn(const std::vector<std::string>& rows) {
    const int width = static_cast<int>(rows[0].size());
    std::unique_ptr<PixelBuffer> b = Picture(width, static_cast<int>(rows.size()), kBlack);
    for (int y = 0; y < b->Height(); ++y)
        for (int x = 0; x < width; ++x)
            if (rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] == '#') SetPixelOf(b.get(), x, y, kWhite);
    return b;
}

// The region by a plain breadth-first walk: what the fill must paint.
std::vector<bool> RegionOf(const PixelBuffer& b, int sx, int sy, int tolerance) {
    const int w = b.Width();
    const int h = b.Height();
    const raster::Colour seed = PixelOf(&b, sx, sy);
    std::vector<bool> in(static_cast<std::size_t>(w * h), false);
    std::deque<Point> queue{{sx, sy}};
    in[static_cast<std::size_t>(sy * w + sx)] = true;
    while (!queue.empty()) {
        const auto [x, y] = queue.front();
        queue.pop_front();
        const Point next[] = {{x - 1, y}, {x + 1, y}, {x, y - 1}, {x, y + 1}};
        for (const auto& [nx, ny] : next) {
            if (nx < 0 || ny < 0 || nx >= w || ny >= h) continue;
            const auto i = static_cast<std::size_t>(ny * w + nx);
            if (in[i] || !WithinTolerance(PixelOf(&b, nx, ny), seed, tolerance)) continue;
            in[i] = true;
            queue.push_back({nx, ny});
        }
    }
    return in;
}

// Fills and checks every pixel: the region has the fill colour, the rest is as it was.
void ExpectFillMatchesRegion(PixelBuffer& b, int sx, int sy, int tolerance, FillStack& stack) {
    const std::unique_ptr<PixelBuffer> before = Picture(b.Width(), b.Height(), kBlack);
    CopyPixels(before.get(), &b);
    const std::vector<bool> region = RegionOf(b, sx, sy, tolerance);
    ASSERT_EQ(FloodFillPixels(b, sx, sy, kFill, tolerance, stack), FillOutcome::Filled);
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            const bool in = region[static_cast<std::size_t>(y * b.Width() + x)];
            ASSERT_EQ(PixelOf(&b, x, y), in ? kFill : PixelOf(before.get(), x, y)) << x << "," << y;
        }
}

TEST(FloodFill, ToleranceZeroTakesOnlyTheSeedColourFourConnected) {
    std::unique_ptr<PixelBuffer> b = Picture(6, 5, Grey(100));
    SetPixelOf(b.get(), 2, 0, Grey(101));  // one step away in every channel
    for (int y = 0; y < 5; ++y) SetPixelOf(b.get(), 3, y, kBlack);  // a wall
    SetPixelOf(b.get(), 4, 2, Grey(100));  // beyond the wall
    FillStack stack;
    ASSERT_EQ(FloodFillPixels(*b, 0, 4, kFill, 0, stack), FillOutcome::Filled);
    EXPECT_EQ(PixelOf(b.get(), 0, 0), kFill);
    EXPECT_EQ(PixelOf(b.get(), 2, 4), kFill);
    EXPECT_EQ(PixelOf(b.get(), 2, 0), Grey(101));
    EXPECT_EQ(PixelOf(b.get(), 3, 2), kBlack);
    EXPECT_EQ(PixelOf(b.get(), 4, 2), Grey(100));
    EXPECT_EQ(PixelOf(b.get(), 5, 0), Grey(100));
}

TEST(FloodFill, ToleranceThreeTakesOneStepInEachChannelButNotFour) {
    std::unique_ptr<PixelBuffer> b = Picture(4, 1, raster::MakeColour(10, 20, 30));
    SetPixelOf(b.get(), 1, 0, raster::MakeColour(11, 21, 31));  // distance 3
    SetPixelOf(b.get(), 2, 0, raster::MakeColour(9, 19, 29));   // distance 3 from the seed, 6 from its neighbour
    SetPixelOf(b.get(), 3, 0, raster::MakeColour(12, 21, 31));  // distance 4
    FillStack stack;
    ASSERT_EQ(FloodFillPixels(*b, 0, 0, kFill, 3, stack), FillOutcome::Filled);
    EXPECT_EQ(PixelOf(b.get(), 1, 0), kFill);
    EXPECT_EQ(PixelOf(b.get(), 2, 0), kFill);  // measured against the seed, not the neighbour
    EXPECT_EQ(PixelOf(b.get(), 3, 0), raster::MakeColour(12, 21, 31));
}

TEST(FloodFill, AFillColourWithinToleranceOrOutsideSeedChangesNothing) {
    std::unique_ptr<PixelBuffer> b = Picture(3, 3, Grey(50));
    FillStack stack;
    EXPECT_EQ(FloodFillPixels(*b, 1, 1, Grey(50), 0, stack), FillOutcome::Unchanged);
    EXPECT_EQ(FloodFillPixels(*b, 1, 1, Grey(51), 3, stack), FillOutcome::Unchanged);
    EXPECT_EQ(FloodFillPixels(*b, 3, 0, kFill, 0, stack), FillOutcome::Unchanged);
    EXPECT_EQ(FloodFillPixels(*b, 0, -1, kFill, 0, stack), FillOutcome::Unchanged);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(PixelOf(b.get(), x, y), Grey(50));
}

TEST(FloodFill, TheMagicWandFillsWithTheSeedTurnedHalfWayRound) {
    EXPECT_EQ(ContrastingColour(raster::MakeColour(10, 200, 250)), raster::MakeColour(138, 73, 123));
    EXPECT_EQ(ContrastingColour(raster::MakeColour(127, 128, 0)), raster::MakeColour(255, 1, 128));
}

// This region winds so that more scans wait at once than a quarter of its pixels: a stack of
// that fixed size overflowed here and left the fill half done.
const std::vector<std::string> kWinding = {
    "################", "##.#.#.#.#.#.#.#", "#.########.#####", "##.#..#.#.##.#.#",
    ".###..#####..###", "##.#.##.#.#.##.#", ".####.#####..###", "##.#.##.#.#.##.#",
    ".####.#####..###", "##.#.##.#.#.##.#", ".####.######.###", "###.#.#.#.#.##.#",
    "..####..####.###", "##.#.##.########", ".#####.##.#.#.#.", "#..############.",
};

TEST(FloodFill, AWindingRegionIsFilledWholeWhateverTheStackNeeds) {
    std::unique_ptr<PixelBuffer> b = Drawn(kWinding);
    FillStack stack;
    ASSERT_TRUE(stack.Prepare(1));
    ExpectFillMatchesRegion(*b, 0, 0, 0, stack);
    EXPECT_GT(stack.Deepest(), std::size_t{16 * 16 / 4});
}

TEST(FloodFill, RandomPicturesFillExactlyTheirRegion) {
    std::mt19937 random(7);
    for (int round = 0; round < 60; ++round) {
        const int w = 1 + static_cast<int>(random() % 40);
        const int h = 1 + static_cast<int>(random() % 40);
        std::unique_ptr<PixelBuffer> b = Picture(w, h, kBlack);
        const int density = 30 + static_cast<int>(random() % 50);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (static_cast<int>(random() % 100) < density) SetPixelOf(b.get(), x, y, Grey(200 + static_cast<int>(random() % 4)));
        const int sx = static_cast<int>(random() % static_cast<unsigned>(w));
        const int sy = static_cast<int>(random() % static_cast<unsigned>(h));
        const int tolerance = static_cast<int>(random() % 10);
        FillStack stack;
        SCOPED_TRACE(round);
        if (WithinTolerance(kFill, PixelOf(b.get(), sx, sy), tolerance)) continue;
        ExpectFillMatchesRegion(*b, sx, sy, tolerance, stack);
    }
}

class FloodFillOnTheCanvas : public BrushTest {
protected:
    void SetUp() override {
        BrushTest::SetUp();
        platform::SetMessageBoxService(&messages);
    }
    void TearDown() override {
        platform::SetMessageBoxService(nullptr);
        BrushTest::TearDown();
    }
    struct Recorder : platform::MessageBoxService {
        platform::MessageResult Show(const std::string& text, const std::string& caption, platform::MessageButtons,
                                     platform::MessageIcon) override {
            shown.push_back(caption + ": " + text);
            return platform::MessageResult::Ok;
        }
        std::vector<std::string> shown;
    } messages;
};

TEST_F(FloodFillOnTheCanvas, TheFillTakesTheUndoCopyAndPaintsWhatTheCallerGives) {
    // Whichever tool is current, the fill paints with the colour and tolerance it is given;
    // the wand asks for the colour contrasting with the seed.
    struct Case {
        int tool;
        FillPaint paint;
        raster::Colour corner;  // (0, 0) afterwards
        raster::Colour far;     // (7, 7), two grey steps from the seed
    };
    const Case cases[] = {
        {kToolFloodFill, {kFill, false, 6}, kFill, kFill},
        {kToolFloodFill, {kFill, false, 5}, kFill, Grey(102)},
        {kToolSelectMagicWand, {kFill, false, 6}, kFill, kFill},
        {kToolFloodFill, {kFill, true, 0}, Grey(228), Grey(102)},
        {kToolSelectMagicWand, {kFill, true, 6}, Grey(228), Grey(228)},
    };
    for (const Case& c : cases) {
        MakeImage(8, 8, Grey(100));
        SetPixelOf(Work(), 7, 7, Grey(102));
        PaintSettings.Tool = static_cast<std::int8_t>(c.tool);
        PaintSettings.FTolerance = 255;
        PaintSettings.WTolerance = 255;
        EXPECT_EQ(FloodFill(1, 0, 0, c.paint), 1);
        EXPECT_EQ(WorkAt(0, 0), c.corner) << c.paint.tolerance;
        EXPECT_EQ(WorkAt(7, 7), c.far) << c.paint.tolerance;
        EXPECT_EQ(PixelOf(Undo(), 7, 7), Grey(102));
        EXPECT_EQ(ImageState.UndoKind, static_cast<std::uint32_t>(c.tool));
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(FloodFillOnTheCanvas, RunningOutOfMemoryLeavesThePictureAsItWas) {
    std::unique_ptr<PixelBuffer> winding = Drawn(kWinding);
    MakeImage(16, 16, kBlack);
    CopyPixels(Work(), winding.get());
    PaintSettings.Tool = kToolFloodFill;
    const std::vector<raster::Colour> before = Snapshot();

    // No room for a stack at all: nothing filled, and no undo copy taken.
    FillStack none(0);
    ImageState.UndoKind = 0;
    EXPECT_EQ(FloodFillWith(none, 1, 0, 0, {kFill, false, 0}), 0);
    EXPECT_EQ(ImageState.UndoKind, 0u);
    // Memory ends at 40 records, half way through the winding region: what was painted goes.
    FillStack tight(40);
    EXPECT_EQ(FloodFillWith(tight, 1, 0, 0, {kFill, false, 0}), 0);
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(tight.Deepest(), 40u);
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0], "Pixelwright: Error: Out of memory");
    EXPECT_EQ(messages.shown[1], "Pixelwright: Error: Out of memory");
    // With the memory it needs the same fill completes.
    FillStack enough(71);
    EXPECT_EQ(FloodFillWith(enough, 1, 0, 0, {kFill, false, 0}), 1);
    EXPECT_EQ(WorkAt(15, 0), kFill);
    EXPECT_EQ(messages.shown.size(), 2u);
}

}  // namespace
