// The retouch brushes end to end through the batch command line.
#include <gtest/gtest.h>

#include "support/ScriptRunner.h"

namespace {

constexpr raster::Colour Grey(int v) { return raster::MakeColour(v, v, v); }

class RetouchScriptTest : public ScriptFixture {
protected:
    std::unique_ptr<PixelBuffer> Run(const PixelBuffer& picture, const std::vector<std::string>& steps) {
        ScriptRun run = RunScript(picture, steps);
        EXPECT_TRUE(run.picture) << run.error;
        return std::move(run.picture);
    }
};

TEST_F(RetouchScriptTest, LighterDabsOnceAtEachMoveAndNotAtDown) {
    const std::unique_ptr<PixelBuffer> grey = SolidPicture(20, 20, Grey(100));
    std::unique_ptr<PixelBuffer> out = Run(*grey, {"tool=44", "brush=1", "size=3", "down=5,5", "up=5,5"});
    ASSERT_TRUE(out);
    EXPECT_EQ(PixelAt(*out, 5, 5), Grey(100));
    out = Run(*grey, {"tool=44", "brush=1", "size=3", "stroke=5,5,5,5,10,10"});
    ASSERT_TRUE(out);
    EXPECT_EQ(PixelAt(*out, 5, 5), Grey(108));    // one dab at the first move
    EXPECT_EQ(PixelAt(*out, 10, 10), Grey(108));  // and one at the last, none between
    EXPECT_EQ(PixelAt(*out, 8, 8), Grey(100));
}

TEST_F(RetouchScriptTest, SmudgeDragsTheColourAlongTheStrokeAndUndoRestores) {
    std::unique_ptr<PixelBuffer> picture = SolidPicture(30, 5, Grey(0));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) std::fill_n(picture->Row(y) + 3 * x, 3, 200);
    std::unique_ptr<PixelBuffer> out = Run(*picture, {"tool=42", "brush=1", "size=3", "stroke=3,2,12,2"});
    ASSERT_TRUE(out);
    EXPECT_GT(raster::RedOf(PixelAt(*out, 8, 2)), 0);      // dragged into the black
    EXPECT_EQ(raster::RedOf(PixelAt(*out, 20, 2)), 0);     // beyond the stroke's reach
    EXPECT_EQ(PixelAt(*out, 0, 0), Grey(200));
    out = Run(*picture, {"tool=42", "brush=1", "size=3", "stroke=3,2,12,2", "undo"});
    ASSERT_TRUE(out);
    EXPECT_EQ(PixelBytes(*out), PixelBytes(*picture));
}

TEST_F(RetouchScriptTest, HealingRemovesASpeckWithEveryShape) {
    for (int shape = 0; shape <= 7; ++shape) {
        std::unique_ptr<PixelBuffer> picture = SolidPicture(12, 12, Grey(90));
        std::fill_n(picture->Row(6) + 3 * 6, 3, 255);
        std::unique_ptr<PixelBuffer> out =
            Run(*picture, {"tool=47", "brush=" + std::to_string(shape), "size=5", "stroke=6,6,6,6"});
        ASSERT_TRUE(out);
        EXPECT_EQ(PixelBytes(*out), PixelBytes(*SolidPicture(12, 12, Grey(90)))) << "shape " << shape;
    }
}

}  // namespace
