// Every operation and the tools whose passes share their rows between threads give the same
// bytes on one thread as on two, three or five: the picture is big enough for five bands.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/raster/ParallelRows.h"
#include "support/ScriptRunner.h"

namespace {

constexpr int kWide = 613;
constexpr int kHigh = 541;  // 331 633 pixels: five bands of at least the threshold

std::unique_ptr<PixelBuffer> Photo() {
    auto picture = SolidPicture(kWide, kHigh, 0);
    std::uint32_t noise = 12345;
    for (int y = 0; y < kHigh; ++y) {
        std::uint8_t* row = picture->Row(y);
        for (int x = 0; x < kWide; ++x) {
            noise = noise * 1103515245u + 12345u;
            const int grain = static_cast<int>((noise >> 16) & 15);
            row[3 * x] = static_cast<std::uint8_t>((x * 255 / kWide + grain) & 0xFF);
            row[3 * x + 1] = static_cast<std::uint8_t>(((x + y) * 200 / (kWide + kHigh) + grain) & 0xFF);
            row[3 * x + 2] = static_cast<std::uint8_t>((y * 255 / kHigh + 2 * grain) & 0xFF);
        }
    }
    return picture;
}

class RowThreads : public ScriptFixture {
protected:
    void TearDown() override {
        RowThreadsWanted = 0;
        ScriptFixture::TearDown();
    }

    std::vector<std::uint8_t> RunWith(int threads, const std::vector<std::string>& steps) {
        RowThreadsWanted = threads;
        ResetProgramState();
        ScriptRun run = RunScript(*photo, steps);
        for (std::uint32_t slot = 1; slot < kImageSlots; ++slot) FreeImageBox(slot);
        EXPECT_TRUE(run.picture) << run.error;
        return run.picture ? PixelBytes(*run.picture) : std::vector<std::uint8_t>{};
    }

    std::unique_ptr<PixelBuffer> photo = Photo();
};

TEST_F(RowThreads, EveryOperationAndToolGivesTheBytesOfOneThread) {
    ASSERT_EQ((RowThreadsWanted = 5, RowThreadsFor(kHigh, kWide)), 5);
    const std::vector<std::vector<std::string>> cases = {
        {"brightness-contrast=20,10"}, {"hue-saturation=30,10,5"}, {"gamma=150,4"}, {"adjust-rgb=30,-20,200"},
        {"colorize=100,-30,20"}, {"invert"}, {"grayscale"}, {"rotate-180"}, {"rotate-90-cw"}, {"rotate-90-ccw"},
        {"rotate=33"}, {"flip-horizontal"}, {"flip-vertical"}, {"image-size=300,200,0"}, {"image-size=900,700,0"},
        {"image-size=300,800,0"}, {"image-size=1000,333,1"}, {"blur-low"}, {"blur-strong"}, {"average"},
        {"sharpen-medium"}, {"unsharp-mask=300,3"}, {"despeckle"}, {"add-noise=50,1"}, {"jitter=20"},
        {"edge-detect"}, {"emboss=70,5"}, {"find-contours"}, {"texture=60,3"}, {"mosaic=7"}, {"oilpaint"},
        {"offset=200,-100"}, {"sphere=-60"}, {"swirl=1,90"}, {"waves=20,7,80"}, {"separate-channel=2"},
        {"solarize"}, {"threshold=100,1"},
        // The wand's passes, the scratch and the piece, the lasso, the gradients.
        {"wtolerance=40", "tool=17", "down=300,270", "up=300,270", "invert"},
        {"wtolerance=40", "tool=17", "down=300,270", "up=300,270", "select-inverse", "select-grow", "invert"},
        {"tool=8", "stroke=50,40,500,500", "select-similar", "invert"},
        {"tool=16", "stroke=20,20,580,60,400,520,30,400", "invert"},
        {"select-all", "blur-medium"},
        {"fcolor=200,30,40", "bcolor=10,200,90", "gopacity=70", "tool=50,0", "stroke=100,100,500,400"},
        {"gradient=2", "tool=50,1", "stroke=300,270,500,300"},
    };
    for (const std::vector<std::string>& steps : cases) {
        const std::vector<std::uint8_t> one = RunWith(1, steps);
        ASSERT_FALSE(one.empty()) << steps[0];
        for (int threads : {2, 3, 5}) {
            EXPECT_TRUE(RunWith(threads, steps) == one) << steps.back() << " with " << threads << " threads";
        }
    }
}

}  // namespace
