// Shapes, polygons, fills and gradients end to end through the batch command line.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "batch/BatchProgram.h"
#include "files/BmpWriter.h"
#include "image/PaintSettings.h"
#include "platform/ImageDecoder.h"
#include "support/ScriptRunner.h"

namespace {

namespace fs = std::filesystem;

constexpr raster::Colour kWhite = 0xFFFFFF;
constexpr raster::Colour kBlack = 0x000000;
constexpr raster::Colour kGreen = raster::MakeColour(0, 255, 0);

class ShapeScriptTest : public ScriptFixture {
protected:
    std::unique_ptr<PixelBuffer> Run(const PixelBuffer& picture, const std::vector<std::string>& steps) {
        ScriptRun run = RunScript(picture, steps);
        EXPECT_TRUE(run.picture) << run.error;
        return std::move(run.picture);
    }
};

TEST_F(ShapeScriptTest, TheSquareFromTenTenAndItsMirror) {
    const std::unique_ptr<PixelBuffer> white = SolidPicture(50, 50, kWhite);
    std::unique_ptr<PixelBuffer> out =
        Run(*white, {"fcolor=0,0,0", "tool=2", "fill=2", "modifier=1", "stroke=10,10,30,15"});
    ASSERT_TRUE(out);
    EXPECT_EQ(PixelAt(*out, 10, 10), kBlack);
    EXPECT_EQ(PixelAt(*out, 29, 29), kBlack);
    EXPECT_EQ(PixelAt(*out, 30, 30), kWhite);
    EXPECT_EQ(PixelAt(*out, 29, 30), kWhite);

    out = Run(*white, {"fcolor=0,0,0", "tool=2", "fill=2", "modifier=1", "stroke=10,10,0,15"});
    ASSERT_TRUE(out);
    EXPECT_EQ(PixelAt(*out, 0, 0), kBlack);
    EXPECT_EQ(PixelAt(*out, 9, 9), kBlack);
    EXPECT_EQ(PixelAt(*out, 10, 10), kWhite);
}

TEST_F(ShapeScriptTest, APolygonLosesAVertexToUndoAndClosesOnTheDoubleTap) {
    const std::unique_ptr<PixelBuffer> white = SolidPicture(100, 100, kWhite);
    const std::vector<std::string> taps = {"fcolor=0,0,0", "tool=12", "fill=2", "stroke=10,10",
                                           "stroke=80,10", "stroke=80,80"};
    // Left open, the polygon is not in the picture.
    std::unique_ptr<PixelBuffer> out = Run(*white, taps);
    ASSERT_TRUE(out);
    EXPECT_EQ(PixelBytes(*out), PixelBytes(*white));

    std::vector<std::string> steps = taps;
    steps.insert(steps.end(), {"undo", "stroke=10,80", "double-tap=10,80"});
    out = Run(*white, steps);
    ASSERT_TRUE(out);
    EXPECT_EQ(PixelAt(*out, 20, 20), kBlack);
    EXPECT_EQ(PixelAt(*out, 60, 15), kBlack);
    EXPECT_EQ(PixelAt(*out, 70, 70), kWhite);  // (80, 80) went with the undo

    // Choosing another tool closes an open polygon.
    steps = taps;
    steps.push_back("tool=30");
    out = Run(*white, steps);
    ASSERT_TRUE(out);
    EXPECT_EQ(PixelAt(*out, 70, 70), kBlack);
    EXPECT_EQ(PixelAt(*out, 20, 70), kWhite);
}

TEST_F(ShapeScriptTest, FloodFillToleranceZeroAndThree) {
    std::unique_ptr<PixelBuffer> picture = SolidPicture(6, 1, raster::MakeColour(100, 100, 100));
    std::uint8_t* row = picture->Row(0);
    // Bytes blue, green, red: (3, 0) is one step away in every channel (distance 3), (4, 0) two
    // steps, (5, 0) four.
    for (int c = 0; c < 3; ++c) row[3 * 3 + c] = 101;
    row[3 * 4] = 101;
    row[3 * 4 + 1] = 101;
    row[3 * 5] = 102;
    row[3 * 5 + 1] = 101;
    row[3 * 5 + 2] = 101;

    std::unique_ptr<PixelBuffer> out = Run(*picture, {"tool=20", "fcolor=0,255,0", "stroke=0,0"});
    ASSERT_TRUE(out);
    EXPECT_EQ(PixelAt(*out, 2, 0), kGreen);
    EXPECT_EQ(PixelAt(*out, 3, 0), raster::MakeColour(101, 101, 101));
    EXPECT_EQ(PixelAt(*out, 4, 0), raster::MakeColour(100, 101, 101));

    out = Run(*picture, {"tool=20", "fcolor=0,255,0", "ftolerance=3", "stroke=0,0"});
    ASSERT_TRUE(out);
    EXPECT_EQ(PixelAt(*out, 3, 0), kGreen);
    EXPECT_EQ(PixelAt(*out, 4, 0), kGreen);
    EXPECT_EQ(PixelAt(*out, 5, 0), raster::MakeColour(101, 101, 102));
}

TEST_F(ShapeScriptTest, AGradientOnAPastedPiecePaintsThePieceOnly) {
    // A red box at (40, 30)-(80, 60); the selection (30, 20)-(90, 70) holds part of it. Copy puts
    // the piece back, Paste floats it at the top-left corner, and the gradient then chosen
    // paints the piece: at half opacity its own pixels show through.
    const std::unique_ptr<PixelBuffer> white = SolidPicture(120, 90, kWhite);
    const std::unique_ptr<PixelBuffer> out =
        Run(*white, {"fcolor=255,0,0", "tool=2", "fill=2", "stroke=40,30,80,60", "tool=8", "stroke=30,20,90,70", "copy",
                     "paste", "fcolor=0,0,255", "bcolor=255,255,0", "gopacity=50", "tool=50", "stroke=0,0,0,40"});
    ASSERT_TRUE(out);
    // Row 5 of the piece, from white: t = 31, c = (30, 30, 225), x 127 / 256 + 255 x 128 / 256.
    EXPECT_EQ(PixelAt(*out, 5, 5), raster::MakeColour(141, 141, 238));
    // Row 15, from the red box's corner at (45, 35): t = 95, c = (94, 94, 161).
    EXPECT_EQ(PixelAt(*out, 15, 15), raster::MakeColour(173, 46, 79));
    // Beyond the piece and under the copied place the picture is as it was.
    EXPECT_EQ(PixelAt(*out, 65, 5), kWhite);
    EXPECT_EQ(PixelAt(*out, 70, 55), raster::MakeColour(255, 0, 0));
    EXPECT_EQ(PixelAt(*out, 85, 65), kWhite);
}

TEST_F(ShapeScriptTest, GradientRowsThroughTheRealProgram) {
    const fs::path folder = fs::path(::testing::TempDir()) / ("pw-shape-script-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const std::string input = (folder / "in.bmp").string();
    const std::string output = (folder / "out.bmp").string();
    const std::unique_ptr<PixelBuffer> grey = SolidPicture(8, 120, raster::MakeColour(90, 90, 90));
    ASSERT_EQ(WriteBmp(grey.get(), input), 1);

    const Outcome o = RunBatchProgram(
        {input, output, "fcolor=200,100,0", "bcolor=0,50,255", "tool=50", "stroke=3,0,3,60,3,100"}, folder.string());
    ASSERT_EQ(o.status, 0) << o.err;
    const std::unique_ptr<PixelBuffer> out = platform::DecodeImageFile(output, PaintSettings.BColor).image;
    ASSERT_TRUE(out);
    // t = 0 on row 0, 127 on row 50, 255 from row 100 (the same numbers as the gradient itself).
    for (int x = 0; x < 8; ++x) {
        EXPECT_EQ(PixelAt(*out, x, 0), raster::MakeColour(198, 99, 0));
        EXPECT_EQ(PixelAt(*out, x, 50), raster::MakeColour(100, 75, 125));
        EXPECT_EQ(PixelAt(*out, x, 119), raster::MakeColour(0, 50, 252));
    }

    // The circular gradient with half opacity, transparent to foreground: beyond the rim the
    // foreground at alpha 127 over the grey: 200 x 127 / 256 + 90 x 128 / 256 = 99 + 45.
    const Outcome c = RunBatchProgram({input, output, "fcolor=200,100,0", "tool=50,1", "gradient=2", "gopacity=50",
                                       "stroke=3,3,3,13"},
                                      folder.string());
    ASSERT_EQ(c.status, 0) << c.err;
    const std::unique_ptr<PixelBuffer> circular = platform::DecodeImageFile(output, PaintSettings.BColor).image;
    ASSERT_TRUE(circular);
    EXPECT_EQ(PixelAt(*circular, 7, 100), raster::MakeColour(144, 94, 45));
    fs::remove_all(folder);
}

}  // namespace
