#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "filters/Blur.h"
#include "filters/ColourAdjust.h"
#include "filters/CreativeFilters.h"
#include "filters/DistortFilters.h"
#include "filters/EdgeFilters.h"
#include "filters/FilterEngine.h"
#include "filters/Noise.h"
#include "filters/NoiseFilters.h"
#include "image/ImageSlots.h"
#include "image/PaintSettings.h"
#include "platform/FilterPump.h"
#include "shell/ProgramState.h"
#include "support/FilterTestSupport.h"

namespace {

class Preview : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        ImageBox& box = ImageBoxTable[1];
        box.workDc = std::make_unique<raster::DrawingContext>(RandomBuffer(23, 17, 1));
        box.workBitmap = box.workDc->SelectedBitmap();
        box.undoDc = std::make_unique<raster::DrawingContext>(RandomBuffer(23, 17, 2));
        box.undoBitmap = box.undoDc->SelectedBitmap();
        box.width = 23;
        box.height = 17;
        ImageState.CurrentImage = 1;
    }
    void TearDown() override {
        platform::SetFilterMessagePump({});
        ResetProgramState();
    }
    static PixelBuffer& Work() { return *ImageBoxTable[1].workBitmap; }
    static PixelBuffer& Undo() { return *ImageBoxTable[1].undoBitmap; }

    // What the filter makes of the source when called directly.
    static std::unique_ptr<PixelBuffer> Expected(const std::function<void()>& run) {
        auto saved = CopyOf(Work());
        CopyPixels(&Work(), &Undo());
        ResetNoise();
        run();
        auto result = CopyOf(Work());
        CopyPixels(&Work(), saved.get());
        ResetNoise();
        return result;
    }
};

TEST_F(Preview, NothingWithoutAFilter) {
    auto before = CopyOf(Work());
    EXPECT_EQ(RunFilterPreview(FilterArguments{10, 1, 0, 0, {}}), 0);
    EXPECT_TRUE(SameBytes(Work(), *before));
}

TEST_F(Preview, RestoresFromTheSourceAndPassesTheDialogValuesInOrder) {
    struct Case {
        std::uint8_t id;
        FilterArguments args;
        std::function<void()> direct;
    };
    const Case cases[] = {
        {FILTER_MOSAIC, {3, 0, 0, 0, {}}, [] { Mosaic(3); }},
        {FILTER_EMBOSS, {60, 0, 0, 6, {}}, [] { Emboss(60, 6); }},
        {FILTER_EMBOSS, {60, 0, 0, 257, {}}, [] { Emboss(60, 1); }},  // the list index as a signed byte
        {FILTER_THRESHOLD, {100, 0, 0, 1, {}}, [] { Threshold(1, 100); }},
        {FILTER_ADD_NOISE, {40, 0, 0, 1, {}}, [] { AddNoise(1, 40); }},
        {FILTER_JITTER, {9, 0, 0, 0, {}}, [] { Jitter(9); }},
        {FILTER_WAVES, {5, 7, 60, 0, {}}, [] { Waves(5, 7, 60); }},
        {FILTER_SWIRL, {1, 45, 0, 0, {}}, [] { Swirl(1, 45); }},
        {FILTER_OFFSET, {4, -3, 0, 0, {}}, [] { Offset(4, -3); }},
        {FILTER_SPHERE, {-40, 0, 0, 0, {}}, [] { Sphere(-40); }},
        {FILTER_UNSHARP_MASK, {300, 2, 0, 0, {}}, [] { UnsharpMask(300, 2); }},
        {FILTER_GAMMA, {180, 0, 0, 4, {}}, [] { ApplyLevels(0, 0, 180.0f, true, true, false); }},
        {FILTER_BRIGHTNESS_CONTRAST, {20, -30, 0, 6, {}}, [] { ApplyLevels(20, -30, 0.0f, true, false, true); }},
        {FILTER_HUE_SATURATION, {90, 20, -10, 0, {}}, [] { HueSaturation(90.0f, 20.0f, -10.0f); }},
        {FILTER_ADJUST_RGB, {10, -20, 30, 0, {}}, [] { AdjustRgb(10, -20, 30); }},
        {FILTER_COLORIZE, {-60, 30, 5, 0, {}}, [] { Colorize(-60.0f, 30.0f, 5.0f); }},
        {FILTER_SEPARATE_CHANNEL, {0, 0, 0, 2, {}}, [] { SeparateChannel(2); }},
    };
    for (const Case& c : cases) {
        auto expected = Expected(c.direct);
        ASSERT_FALSE(SameBytes(*expected, Undo())) << int(c.id);  // each case really changes the picture
        FilterState.FilterId = c.id;
        ResetNoise();
        EXPECT_EQ(RunFilterPreview(c.args), 1);
        EXPECT_TRUE(SameBytes(Work(), *expected)) << int(c.id);
        EXPECT_EQ(FilterState.FilterBusy, kFilterIdle);
    }
}

TEST_F(Preview, ATextureThatCannotBeDecodedShowsTheRestoredSource) {
    FilterState.FilterId = FILTER_TEXTURE;
    EXPECT_EQ(RunFilterPreview(FilterArguments{128, 0, 0, 0, "/nonexistent/texture.png"}), 1);
    EXPECT_TRUE(SameBytes(Work(), Undo()));
}

TEST_F(Preview, AFloatingPieceIsTheOnlyThingThatChanges) {
    auto piece = RandomBuffer(6, 5, 3);
    FloatingPiece.pieceDc = std::make_unique<raster::DrawingContext>(CopyOf(*piece));
    FloatingPiece.pieceBitmap = FloatingPiece.pieceDc->SelectedBitmap();
    FloatingPiece.pieceUndoDc = std::make_unique<raster::DrawingContext>(CopyOf(*piece));
    FloatingPiece.pieceUndoBitmap = FloatingPiece.pieceUndoDc->SelectedBitmap();
    FloatingPiece.pieceWidth = 6;
    FloatingPiece.pieceHeight = 5;
    CopyPixels(&Work(), &Undo());
    auto image = CopyOf(Work());
    PaintSettings.Tool = 9;
    FilterState.FilterId = FILTER_ADJUST_RGB;
    ASSERT_EQ(RunFilterPreview(FilterArguments{-255, 0, 0, 0, {}}), 1);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 6; ++x) {
            EXPECT_EQ(PixelAt(*FloatingPiece.pieceBitmap, x, y), (Rgb{0, PixelAt(*piece, x, y).g, PixelAt(*piece, x, y).b}));
        }
    }
    EXPECT_TRUE(SameBytes(Work(), *image));
    // A second preview starts from the piece's undo twin again, not from the first result.
    ASSERT_EQ(RunFilterPreview(FilterArguments{0, 0, 0, 0, {}}), 1);
    EXPECT_TRUE(SameBytes(*FloatingPiece.pieceBitmap, *piece));
}

TEST_F(Preview, ANewValueDuringARunStopsItAndTheNextRunUsesIt) {
    // Plays the dialog: its timer fires while row 4 is about to be processed, with the slider
    // already moved from radius 1 to 3; the timer sees the filter busy and asks for a restart,
    // then fires again once the run has stopped.
    FilterState.FilterId = FILTER_UNSHARP_MASK;
    FilterArguments values{400, 1, 0, 0, {}};
    auto finalResult = Expected([] { UnsharpMask(250, 3); });
    int rows = 0;
    int previews = 0;
    bool timerArmed = false;
    platform::SetFilterMessagePump([&] {
        if (++rows != 4) return;
        values.value1 = 250;
        values.value2 = 3;
        if (FilterState.FilterBusy != kFilterIdle) {
            FilterState.FilterBusy = kFilterRestart;
            timerArmed = true;
        }
    });
    ++previews;
    RunFilterPreview(values);
    EXPECT_TRUE(timerArmed);
    EXPECT_EQ(FilterState.FilterBusy, kFilterIdle);
    EXPECT_FALSE(SameBytes(Work(), *finalResult));
    if (timerArmed) {
        ++previews;
        EXPECT_EQ(RunFilterPreview(values), 1);
    }
    EXPECT_EQ(previews, 2);
    EXPECT_EQ(rows, 4 + 17);
    EXPECT_TRUE(SameBytes(Work(), *finalResult));
}

}  // namespace
