// The history of states end to end through the batch: every action the canvas and the menus
// run becomes a step, and step-back / step-forward give exactly the pictures of the shorter
// scripts.
#include <gtest/gtest.h>

#include <cstdint>

#include "image/History.h"
#include "image/PaintSettings.h"
#include "image/ToolIds.h"
#include "support/ScriptRunner.h"

namespace {

// A picture with a different colour at every pixel, so that a stray pixel shows.
std::unique_ptr<PixelBuffer> Shades(int width, int height) {
    raster::BitmapInfo header;
    std::unique_ptr<PixelBuffer> picture = CreatePixelBuffer(width, height, 24, header, nullptr);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = picture->Row(y);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = static_cast<std::uint8_t>(3 * x + y);
            row[3 * x + 1] = static_cast<std::uint8_t>(2 * y);
            row[3 * x + 2] = static_cast<std::uint8_t>(x ^ y);
        }
    }
    return picture;
}

using Script = std::vector<std::string>;

class HistoryScriptTest : public ScriptFixture {
protected:
    std::vector<std::uint8_t> Result(const Script& steps) {
        ScriptRun run = RunScript(*picture, steps);
        EXPECT_TRUE(run.picture) << run.error;
        if (!run.picture) return {};
        width = run.picture->Width();
        return PixelBytes(*run.picture);
    }

    std::unique_ptr<PixelBuffer> picture = Shades(90, 70);
    int width = 0;
};

TEST_F(HistoryScriptTest, SteppingGivesExactlyThePictureOfTheShorterScript) {
    const Script stroke = {"fcolor=255,0,0", "tool=30", "size=5", "stroke=5,5,30,30,60,10"};
    const Script select = {"tool=8", "stroke=10,10,40,30"};
    const Script drag = {"stroke=20,20,50,35"};
    const Script polygon = {"tool=12", "fill=2", "stroke=10,10", "stroke=80,10", "double-tap=40,60"};
    const auto join = [](std::initializer_list<Script> parts) {
        Script all;
        for (const Script& part : parts) all.insert(all.end(), part.begin(), part.end());
        return all;
    };
    struct Case {
        const char* name;
        Script steps;
        Script same;  // the script whose picture the steps must give
    };
    const Case cases[] = {
        {"nothing to step back over", {"step-back", "step-forward"}, {}},
        {"back over a stroke", join({stroke, {"step-back"}}), {}},
        {"back and forward over a stroke", join({stroke, {"step-back", "step-forward"}}), stroke},
        {"back over a filter and a stroke, forward over one", join({stroke, {"invert", "step-back", "step-back", "step-forward"}}), stroke},
        {"back over a second stroke", join({stroke, {"tool=31", "stroke=10,60,80,40", "step-back"}}), stroke},
        {"back over Undo, which is a step", join({stroke, {"undo", "step-back"}}), stroke},
        {"back over Undo and the stroke", join({stroke, {"undo", "step-back", "step-back"}}), {}},
        {"back over a drop: the piece floats where it was dragged", join({select, drag, {"stroke=85,65", "step-back"}}), join({select, drag})},
        {"back over a drag", join({select, drag, {"step-back"}}), select},
        {"back over the selection", join({select, drag, {"step-back", "step-back"}}), {}},
        {"forward again after the selection", join({select, drag, {"step-back", "step-back", "step-forward", "step-forward"}}), join({select, drag})},
        {"back over a closed polygon", join({polygon, {"step-back"}}), {}},
        {"forward over a closed polygon", join({polygon, {"step-back", "step-forward"}}), polygon},
        {"a new edit drops the steps ahead", join({stroke, {"invert", "step-back", "flip-horizontal", "step-forward"}}), join({stroke, {"flip-horizontal"}})},
        {"back over a resize", {"image-size=30,20,0,1", "step-back"}, {}},
        {"forward over a resize", {"image-size=30,20,0,1", "step-back", "step-forward"}, {"image-size=30,20,0,1"}},
        {"back over a grow", {"tool=8", "stroke=10,10,40,30", "invert", "select-grow", "step-back"}, {"tool=8", "stroke=10,10,40,30", "invert"}},
        {"back over select all", {"tool=30", "stroke=5,5,20,20", "select-all", "invert", "step-back", "step-back"}, {"tool=30", "stroke=5,5,20,20"}},
        {"back over cut and paste", {"tool=8", "stroke=5,5,30,30", "cut", "paste", "step-back"}, {"tool=8", "stroke=5,5,30,30", "cut"}},
    };
    for (const Case& c : cases) {
        const std::vector<std::uint8_t> got = Result(c.steps);
        const int gotWidth = width;
        const std::vector<std::uint8_t> expected = Result(c.same);
        EXPECT_EQ(gotWidth, width) << c.name;
        EXPECT_TRUE(got == expected) << c.name;
    }
}

TEST_F(HistoryScriptTest, StepsKnowTheirNamesAndTheWordsThatDoThemAgain) {
    ASSERT_FALSE(Result({"fcolor=0,0,255", "tool=30", "stroke=5,5,30,30", "gamma=150,0", "tool=12", "stroke=10,10",
                         "stroke=60,10", "double-tap=40,50", "tool=8", "stroke=10,10,40,30", "stroke=20,20,50,35",
                         "undo"})
                     .empty());
    const std::pair<const char*, const char*> expected[] = {
        {"Pen Stroke", "tool=30 stroke=5,5,30,30"},
        {"Gamma Correction", "gamma=150,0"},
        {"Polygon", "tool=12 stroke=10,10 stroke=60,10 double-tap=40,50"},
        {"Select Rectangle", "tool=8 stroke=10,10,40,30"},
        {"Move Selection", "stroke=20,20,50,35"},
        {"Undo", "undo"},
    };
    ASSERT_EQ(HistoryStateCount(), std::size(expected) + 1);
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(HistoryStepLabel(i + 1), expected[i].first);
        EXPECT_EQ(HistoryStepWords(i + 1), expected[i].second);
    }
    // The Undo took the drag back: the piece floats where it was made.
    EXPECT_EQ(PaintSettings.Tool, kToolFloatingPiece);
    EXPECT_EQ(FloatingPiece.pieceX, 10);
}

TEST_F(HistoryScriptTest, ATapThatChangesNothingIsNoStep) {
    Result({"tool=21", "stroke=5,5", "tool=10", "stroke=5,5", "tool=30", "stroke=-50,-50"});
    EXPECT_EQ(HistoryStateCount(), 1u);
    EXPECT_FALSE(CanStepBackward());
}

}  // namespace
