// The canvas steps of the batch command line: settings, tools, stylus, commands, and the
// picture they leave, through the real program and through the in-memory runner.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "batch/BatchProgram.h"
#include "files/BmpWriter.h"
#include "image/PaintSettings.h"
#include "image/ToolIds.h"
#include "image/Undo.h"
#include "image/View.h"
#include "platform/ImageDecoder.h"
#include "support/ScriptRunner.h"
#include "tools/Canvas.h"
#include "tools/ToolGroups.h"

namespace {

namespace fs = std::filesystem;

constexpr raster::Colour kWhite = 0xFFFFFF;
constexpr raster::Colour kBlack = 0x000000;

// A picture whose every pixel differs from its neighbours, so that misplaced paint shows.
std::unique_ptr<PixelBuffer> PatternPicture(int width, int height) {
    std::unique_ptr<PixelBuffer> picture = SolidPicture(width, height, kBlack);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = picture->Row(y) + 3 * x;
            p[0] = static_cast<std::uint8_t>(x * 4);
            p[1] = static_cast<std::uint8_t>(y * 6);
            p[2] = static_cast<std::uint8_t>((x * 7 + y * 3) & 0xFF);
        }
    }
    return picture;
}

class ScriptTest : public ScriptFixture {
protected:
    void SetUp() override {
        folder = fs::path(::testing::TempDir()) /
                 ("pw-script-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
        picture = PatternPicture(60, 40);
        input = Path("in.bmp");
        ASSERT_EQ(WriteBmp(picture.get(), input), 1);
    }
    void TearDown() override {
        fs::remove_all(folder);
        ScriptFixture::TearDown();
    }

    std::string Path(const std::string& name) const { return (folder / name).string(); }

    // Runs the program on the input picture and decodes what it wrote.
    std::unique_ptr<PixelBuffer> RunProgram(const std::vector<std::string>& steps) const {
        std::vector<std::string> args = {input, Path("out.bmp")};
        args.insert(args.end(), steps.begin(), steps.end());
        const Outcome o = RunBatchProgram(args, folder.string());
        EXPECT_EQ(o.status, 0) << o.err;
        EXPECT_TRUE(o.err.empty()) << o.err;
        return platform::DecodeImageFile(Path("out.bmp"), PaintSettings.BColor).image;
    }

    // The same document in a fresh program state, for driving the canvas directly.
    void StartDocumentDirectly() const { ASSERT_TRUE(StartScriptDocument(*picture)); }

    std::vector<std::uint8_t> Run(const std::vector<std::string>& steps) const {
        const ScriptRun run = RunScript(*picture, steps);
        EXPECT_TRUE(run.picture) << run.error;
        return run.picture ? PixelBytes(*run.picture) : std::vector<std::uint8_t>();
    }

    fs::path folder;
    std::unique_ptr<PixelBuffer> picture;
    std::string input;
};

TEST_F(ScriptTest, PenStrokeEqualsTheSameStrokeDrivenThroughTheCanvas) {
    const std::vector<std::string> steps = {"fcolor=200,40,10", "size=5", "dopacity=60",
                                            "stroke=5,5,30,20,50,8,50,8,-4,39"};
    const std::unique_ptr<PixelBuffer> scripted = RunProgram(steps);
    ASSERT_TRUE(scripted);

    StartDocumentDirectly();
    PaintSettings.FColor = raster::MakeColour(200, 40, 10);
    PaintSettings.Size = 5;
    PaintSettings.DOpacity = 60;
    CanvasStylusDown(5, 5);
    CanvasStylusMove(30, 20);
    CanvasStylusMove(50, 8);
    CanvasStylusMove(50, 8);
    CanvasStylusMove(-4, 39);
    CanvasStylusUp(-4, 39);
    const std::vector<std::uint8_t> direct = PixelBytes(*CurrentBox().workBitmap);

    EXPECT_EQ(PixelBytes(*scripted), direct);
    EXPECT_NE(direct, PixelBytes(*picture));
    // The in-memory runner is the same driver.
    EXPECT_EQ(Run(steps), direct);
}

TEST_F(ScriptTest, AirbrushAndSprayHoldTickTheCanvasTimer) {
    const std::vector<std::string> steps = {"tool=33",    "size=9", "dopacity=30",  "fcolor=0,0,255", "down=20,20",
                                            "move=21,20", "hold=25", "up=21,20",    "tool=34",        "brush=7",
                                            "stroke=40,30,40,31", "down=40,30", "move=40,30", "hold=12", "up=40,30"};
    const std::unique_ptr<PixelBuffer> scripted = RunProgram(steps);
    ASSERT_TRUE(scripted);

    StartDocumentDirectly();
    PaintSettings.Tool = kToolAirbrush;
    PaintSettings.Group = 1;
    PaintSettings.Size = 9;
    PaintSettings.DOpacity = 30;
    PaintSettings.FColor = raster::MakeColour(0, 0, 255);
    CanvasStylusDown(20, 20);
    CanvasStylusMove(21, 20);
    for (int tick = 0; tick < 25; ++tick) CanvasTimer(kTimerAirbrush);
    CanvasStylusUp(21, 20);
    PaintSettings.Tool = kToolSpraycan;
    PaintSettings.Brush = 7;
    CanvasStylusDown(40, 30);
    CanvasStylusMove(40, 31);
    CanvasStylusUp(40, 31);
    CanvasStylusDown(40, 30);
    CanvasStylusMove(40, 30);
    for (int tick = 0; tick < 12; ++tick) CanvasTimer(kTimerAirbrush);
    CanvasStylusUp(40, 30);
    EXPECT_EQ(PixelBytes(*scripted), PixelBytes(*CurrentBox().workBitmap));

    // Fewer ticks spray less: the hold really reached the canvas.
    std::vector<std::string> shorter = steps;
    *std::find(shorter.begin(), shorter.end(), "hold=25") = "hold=5";
    EXPECT_NE(Run(shorter), PixelBytes(*scripted));
}

TEST_F(ScriptTest, HoldTicksOnlyOnceTheTimerRunsAndOnlyWhileTheStylusIsDown) {
    // Before the first move of the airbrush its timer has not started.
    EXPECT_EQ(Run({"tool=33", "dopacity=20", "down=20,20", "hold=30", "up=20,20"}),
              Run({"tool=33", "dopacity=20", "down=20,20", "up=20,20"}));
    // Once started, ticks after the stylus-up are ignored.
    EXPECT_EQ(Run({"tool=33", "dopacity=20", "stroke=20,20,22,20", "hold=30"}),
              Run({"tool=33", "dopacity=20", "stroke=20,20,22,20"}));
    // And a pen does nothing with them.
    EXPECT_EQ(Run({"stroke=20,20,22,20", "down=5,5", "hold=30", "up=5,5"}),
              Run({"stroke=20,20,22,20", "down=5,5", "up=5,5"}));
}

TEST_F(ScriptTest, PaintLandsWithTheBlendOfTheSettings) {
    const std::unique_ptr<PixelBuffer> white = SolidPicture(10, 10, kWhite);
    // Hard pen at 100 %: alpha 254, so white under (200, 100, 0) becomes
    // 255 * 1 / 256 + c * 254 / 256 per channel.
    ScriptRun run = RunScript(*white, {"fcolor=200,100,0", "size=1", "down=3,4", "up=3,4"});
    ASSERT_TRUE(run.picture) << run.error;
    EXPECT_EQ(PixelAt(*run.picture, 3, 4), raster::MakeColour(198, 99, 0));
    EXPECT_EQ(PixelAt(*run.picture, 4, 4), kWhite);

    // The eraser paints the background colour at full strength and keeps both colours.
    const std::unique_ptr<PixelBuffer> black = SolidPicture(10, 10, kBlack);
    run = RunScript(*black, {"bcolor=10,20,30", "fcolor=1,2,3", "tool=32", "size=1", "dopacity=1", "stroke=2,2,4,2"});
    ASSERT_TRUE(run.picture) << run.error;
    for (int x = 2; x <= 4; ++x) EXPECT_EQ(PixelAt(*run.picture, x, 2), raster::MakeColour(9, 19, 29)) << x;
    EXPECT_EQ(PixelAt(*run.picture, 5, 2), kBlack);
    EXPECT_EQ(PaintSettings.FColor, raster::MakeColour(1, 2, 3));
    EXPECT_EQ(PaintSettings.BColor, raster::MakeColour(10, 20, 30));
}

TEST_F(ScriptTest, UndoTakesTheStrokeBackAndASecondUndoRedoesIt) {
    const std::vector<std::uint8_t> stroked = Run({"size=3", "stroke=2,2,40,30"});
    EXPECT_EQ(Run({"size=3", "stroke=2,2,40,30", "undo"}), PixelBytes(*picture));
    EXPECT_EQ(Run({"size=3", "stroke=2,2,40,30", "undo", "undo"}), stroked);
    // Undo goes back one step only: to the picture before the second stroke.
    EXPECT_EQ(Run({"size=3", "stroke=2,2,40,30", "stroke=50,2,50,30", "undo"}), stroked);
}

TEST_F(ScriptTest, ImageOperationsAndCanvasStepsMix) {
    const std::vector<std::uint8_t> stroked = Run({"fcolor=10,200,30", "stroke=2,2,40,30"});
    std::vector<std::uint8_t> inverted = stroked;
    for (std::uint8_t& byte : inverted) byte = static_cast<std::uint8_t>(255 - byte);
    const std::unique_ptr<PixelBuffer> scripted = RunProgram({"fcolor=10,200,30", "stroke=2,2,40,30", "invert"});
    ASSERT_TRUE(scripted);
    EXPECT_EQ(PixelBytes(*scripted), inverted);
    // The filter's undo copy is the stroked picture.
    EXPECT_EQ(Run({"fcolor=10,200,30", "stroke=2,2,40,30", "invert", "undo"}), stroked);

    // Only image operations are timed.
    const Outcome o = RunBatchProgram({"--time", input, Path("t.png"), "stroke=1,1,5,5", "invert", "undo"},
                                      folder.string());
    ASSERT_EQ(o.status, 0) << o.err;
    EXPECT_EQ(o.out.rfind("invert ", 0), 0u) << o.out;
    EXPECT_EQ(std::count(o.out.begin(), o.out.end(), '\n'), 1) << o.out;
}

TEST_F(ScriptTest, ToolsAreChosenAsTheToolBarChoosesThem) {
    // The picker takes the colour under the stylus and returns to the tool and group before it.
    ScriptRun run = RunScript(*picture, {"tool=31", "tool=21", "down=7,9", "up=7,9"});
    ASSERT_TRUE(run.picture) << run.error;
    EXPECT_EQ(PaintSettings.Tool, kToolBrush);
    EXPECT_EQ(PaintSettings.Group, 1);
    EXPECT_EQ(PaintSettings.Pen, 1);
    EXPECT_EQ(PaintSettings.FColor, PixelAt(*picture, 7, 9));
    EXPECT_EQ(PixelBytes(*run.picture), PixelBytes(*picture));

    run = RunScript(*picture, {"tool=50,1"});
    ASSERT_TRUE(run.picture) << run.error;
    EXPECT_EQ(PaintSettings.Tool, kToolGradient);
    EXPECT_EQ(CanvasState.GradientKind, 1);
    EXPECT_EQ(PaintSettings.Group, 3);
    EXPECT_EQ(PaintSettings.Area, 2);
    run = RunScript(*picture, {"tool=50"});
    EXPECT_EQ(CanvasState.GradientKind, 0);
    EXPECT_EQ(PaintSettings.Area, 1);

    run = RunScript(*picture, {"tool=16"});
    EXPECT_EQ(PaintSettings.Tool, kToolSelectLasso);
    EXPECT_EQ(PaintSettings.Select, 1);
    EXPECT_EQ(PaintSettings.Group, 0);
    // While the modifier adds or subtracts, the selection tools keep the piece's tool.
    run = RunScript(*picture, {"modifier=1", "tool=8"});
    EXPECT_EQ(PaintSettings.Tool, kToolFloatingPiece);
    EXPECT_EQ(CanvasState.SelectModifier, 1);
    run = RunScript(*picture, {"tool=44"});
    EXPECT_EQ(PaintSettings.Tool, kToolLighter);
    EXPECT_EQ(PaintSettings.Filter, 3);
    EXPECT_EQ(GroupCurrent(kGroupFilter), 3);
    run = RunScript(*picture, {"select-item=2"});
    EXPECT_EQ(GroupCurrent(kGroupSelect), 2);

    // A zoom tap doubles the zoom and returns to the tool before it.
    run = RunScript(*picture, {"tool=32", "tool=10", "down=0,0", "up=0,0"});
    ASSERT_TRUE(run.picture) << run.error;
    EXPECT_EQ(ImageState.ZoomFactor, 2.0f);
    EXPECT_EQ(PaintSettings.Tool, kToolEraser);
}

TEST_F(ScriptTest, DoubleTapEndsWithTheStylusUp) {
    const std::unique_ptr<PixelBuffer> white = SolidPicture(12, 12, kWhite);
    const ScriptRun run = RunScript(*white, {"size=1", "down=2,2", "double-tap=4,4", "move=8,8"});
    ASSERT_TRUE(run.picture) << run.error;
    EXPECT_NE(PixelAt(*run.picture, 2, 2), kWhite);
    EXPECT_EQ(PixelAt(*run.picture, 8, 8), kWhite);
    EXPECT_EQ(CanvasState.StylusDown, 0u);
}

TEST_F(ScriptTest, SettingsTakeEveryValueOfTheirRanges) {
    ScriptRun run = RunScript(*picture, {"fcolor=255,128,0", "bcolor=0,1,255", "brush=7", "size=17", "fill=2",
                                         "trans=1", "wtolerance=255", "ftolerance=255", "round=255", "gopacity=100",
                                         "dopacity=100", "gradient=2", "modifier=2", "select-item=3"});
    ASSERT_TRUE(run.picture) << run.error;
    EXPECT_EQ(PaintSettings.FColor, 0x0080FFu);
    EXPECT_EQ(PaintSettings.BColor, 0xFF0100u);
    EXPECT_EQ(PaintSettings.Brush, 7u);
    EXPECT_EQ(PaintSettings.Size, 17u);
    EXPECT_EQ(PaintSettings.Fill, 2);
    EXPECT_EQ(PaintSettings.Trans, 1u);
    EXPECT_EQ(PaintSettings.WTolerance, 255);
    EXPECT_EQ(PaintSettings.FTolerance, 255);
    EXPECT_EQ(PaintSettings.Round, 255);
    EXPECT_EQ(PaintSettings.GOpacity, 100);
    EXPECT_EQ(PaintSettings.DOpacity, 100);
    EXPECT_EQ(PaintSettings.Gradient, 2);
    EXPECT_EQ(CanvasState.SelectModifier, 2);
    EXPECT_EQ(PaintSettings.Select, 3);

    run = RunScript(*picture, {"fcolor=0,0,0", "bcolor=0,0,0", "brush=0", "size=1", "fill=0", "trans=0",
                               "wtolerance=0", "ftolerance=0", "round=0", "gopacity=1", "dopacity=1", "gradient=0",
                               "modifier=0", "select-item=0", "hold=0", "down=-32768,-32768", "up=32767,32767"});
    ASSERT_TRUE(run.picture) << run.error;
    EXPECT_EQ(PaintSettings.GOpacity, 1);
    EXPECT_EQ(PaintSettings.DOpacity, 1);
    EXPECT_EQ(PaintSettings.Size, 1u);
}

TEST_F(ScriptTest, BadStepsStopWithOneLineNamingTheStepAndWriteNothing) {
    const std::string output = Path("out.png");
    for (const char* bad :
         {"frobnicate", "down", "down=1", "down=1,2,3", "down=1,x", "down=1,", "down=,1", "down=1.5,2",
          "move=32768,0", "up=0,-32769", "stroke=1,2,3", "stroke=", "double-tap=5", "tool", "tool=9", "tool=51",
          "tool=111", "tool=0", "tool=30,1", "tool=50,2", "tool=50,0,0", "fcolor=1,2", "fcolor=256,0,0",
          "bcolor=0,0,-1", "brush=8", "size=0", "size=18", "fill=3", "trans=2", "wtolerance=256", "ftolerance=-1",
          "round=256", "gopacity=0", "gopacity=101", "dopacity=0", "dopacity=101", "gradient=3", "modifier=3",
          "modifier=-1", "select-item=4", "hold=-1", "hold", "select-all=1", "undo=0", "paste=", "size=99999999999"}) {
        const Outcome o = RunBatchProgram({input, output, "tool=30", "stroke=1,1,5,5", bad}, folder.string());
        EXPECT_EQ(o.status, 2) << bad;
        EXPECT_EQ(std::count(o.err.begin(), o.err.end(), '\n'), 1) << o.err;
        EXPECT_EQ(o.err.rfind("pixelwright-batch: step 3: ", 0), 0u) << o.err;
        const std::string name = std::string(bad).substr(0, std::string(bad).find('='));
        EXPECT_NE(o.err.find(name), std::string::npos) << o.err;
        EXPECT_FALSE(fs::exists(output)) << bad;

        // The in-memory runner refuses the same steps before running any.
        EXPECT_FALSE(RunScript(*picture, {"stroke=1,1,5,5", bad}).picture) << bad;
    }
}

}  // namespace
