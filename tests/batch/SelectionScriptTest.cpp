// Selections from the batch command line: whole flows of selecting, dragging, dropping,
// undoing, copying, cutting and pasting, and what the output holds while a piece floats.
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
constexpr raster::Colour kRed = 0x0000FF;
constexpr raster::Colour kHole = raster::MakeColour(0, 90, 200);  // the background colour of these flows

class SelectionScriptTest : public ScriptFixture {
protected:
    void SetUp() override {
        picture = SolidPicture(60, 40, kWhite);
        for (int y = 10; y < 20; ++y) {
            for (int x = 10; x < 20; ++x) {
                std::uint8_t* p = picture->Row(y) + 3 * x;
                p[0] = 0;
                p[1] = 0;
                p[2] = 255;
            }
        }
    }

    std::unique_ptr<PixelBuffer> Run(std::vector<std::string> steps) const {
        steps.insert(steps.begin(), "bcolor=0,90,200");
        ScriptRun run = RunScript(*picture, steps);
        EXPECT_TRUE(run.picture) << run.error;
        return std::move(run.picture);
    }

    std::unique_ptr<PixelBuffer> picture;
};

TEST_F(SelectionScriptTest, SelectDragAndDropMovesTheSquareAndLeavesTheBackground) {
    const std::unique_ptr<PixelBuffer> out =
        Run({"tool=8", "stroke=10,10,20,20", "down=12,12", "move=22,12", "up=32,12", "down=55,35", "up=55,35"});
    ASSERT_TRUE(out);
    EXPECT_EQ(PixelAt(*out, 30, 10), kRed);
    EXPECT_EQ(PixelAt(*out, 39, 19), kRed);
    EXPECT_EQ(PixelAt(*out, 40, 19), kWhite);
    EXPECT_EQ(PixelAt(*out, 10, 10), kHole);
    EXPECT_EQ(PixelAt(*out, 19, 19), kHole);
    EXPECT_EQ(PixelAt(*out, 29, 19), kWhite);
    EXPECT_EQ(PixelAt(*out, 9, 10), kWhite);
}

TEST_F(SelectionScriptTest, UndoOfADragPutsThePieceBackWhereItWasMade) {
    const std::unique_ptr<PixelBuffer> out = Run(
        {"bcolor=255,255,255", "tool=8", "stroke=10,10,20,20", "down=12,12", "move=22,12", "up=32,12", "undo"});
    ASSERT_TRUE(out);
    EXPECT_EQ(PixelBytes(*out), PixelBytes(*picture));
}

TEST_F(SelectionScriptTest, CutLeavesTheHoleAndPasteFloatsThePieceAtTheViewCorner) {
    const std::unique_ptr<PixelBuffer> cut = Run({"tool=8", "stroke=10,10,20,20", "cut"});
    ASSERT_TRUE(cut);
    EXPECT_EQ(PixelAt(*cut, 10, 10), kHole);
    EXPECT_EQ(PixelAt(*cut, 0, 0), kWhite);
    const std::unique_ptr<PixelBuffer> pasted = Run({"tool=8", "stroke=10,10,20,20", "cut", "paste"});
    ASSERT_TRUE(pasted);
    EXPECT_EQ(PixelAt(*pasted, 0, 0), kRed);
    EXPECT_EQ(PixelAt(*pasted, 9, 9), kRed);
    EXPECT_EQ(PixelAt(*pasted, 10, 10), kHole);
    // Paste again after a drop: the held piece comes back, the dropped copy stays.
    const std::unique_ptr<PixelBuffer> twice =
        Run({"tool=8", "stroke=10,10,20,20", "cut", "paste", "copy", "paste", "down=5,5", "move=30,25", "up=50,25"});
    ASSERT_TRUE(twice);
    EXPECT_EQ(PixelAt(*twice, 0, 0), kRed);
    EXPECT_EQ(PixelAt(*twice, 45, 20), kRed);
    EXPECT_EQ(PixelAt(*twice, 44, 20), kWhite);
}

// Choosing the picker or a zoom puts the dragged piece down; the picker's tap, or a zoom's
// release without its press, gives the piece's tool back and the piece floats again over the
// picture it was lifted from, as the window shows it once its border ticks. Cut then takes the
// piece away and leaves no copy of it behind.
TEST_F(SelectionScriptTest, CutAfterAPickerTapFloatedThePieceAgainLeavesNoCopy) {
    const std::vector<std::vector<std::string>> taps = {{"tool=21", "stroke=55,35"}, {"tool=11", "up=55,35"}};
    for (const std::vector<std::string>& tap : taps) {
        SCOPED_TRACE(tap[0] + " " + tap[1]);
        std::vector<std::string> steps = {"tool=8", "stroke=10,10,20,20", "down=12,12", "move=22,12", "up=32,12"};
        steps.insert(steps.end(), tap.begin(), tap.end());
        steps.push_back("cut");
        const std::unique_ptr<PixelBuffer> out = Run(steps);
        ASSERT_TRUE(out);
        EXPECT_EQ(PixelAt(*out, 10, 10), kHole);
        EXPECT_EQ(PixelAt(*out, 19, 19), kHole);
        EXPECT_EQ(PixelAt(*out, 30, 10), kWhite);
        EXPECT_EQ(PixelAt(*out, 39, 19), kWhite);
    }
}

TEST_F(SelectionScriptTest, SelectAllThenCopyChangesNothingAndCutEmptiesTheImage) {
    const std::unique_ptr<PixelBuffer> copied = Run({"select-all", "copy"});
    ASSERT_TRUE(copied);
    EXPECT_EQ(PixelBytes(*copied), PixelBytes(*picture));
    const std::unique_ptr<PixelBuffer> cut = Run({"select-all", "cut"});
    ASSERT_TRUE(cut);
    EXPECT_EQ(PixelBytes(*cut), PixelBytes(*SolidPicture(60, 40, kHole)));
    // Undo after the cut floats the piece again: the picture is whole.
    const std::unique_ptr<PixelBuffer> undone = Run({"select-all", "cut", "undo"});
    ASSERT_TRUE(undone);
    EXPECT_EQ(PixelBytes(*undone), PixelBytes(*picture));
}

TEST_F(SelectionScriptTest, AGradientOnAPastedPiecePaintsOnlyThePiece) {
    const std::vector<std::string> flow = {"fcolor=0,0,0", "tool=8", "stroke=10,10,20,20", "cut", "paste",
                                           "tool=50,0", "stroke=0,0,9,0"};
    const std::unique_ptr<PixelBuffer> out = Run(flow);
    ASSERT_TRUE(out);
    EXPECT_EQ(PixelAt(*out, 0, 0), raster::MakeColour(0, 0, 0));
    EXPECT_EQ(PixelAt(*out, 0, 9), raster::MakeColour(0, 0, 0));
    EXPECT_NE(PixelAt(*out, 5, 5), kRed);
    EXPECT_EQ(PixelAt(*out, 10, 0), kWhite);
    EXPECT_EQ(PixelAt(*out, 12, 12), kHole);
    // Undo takes the gradient off the piece, which still floats there.
    std::vector<std::string> undone = flow;
    undone.push_back("undo");
    const std::unique_ptr<PixelBuffer> back = Run(undone);
    ASSERT_TRUE(back);
    EXPECT_EQ(PixelAt(*back, 0, 0), kRed);
    EXPECT_EQ(PixelAt(*back, 5, 5), kRed);
}

TEST_F(SelectionScriptTest, AnInvertedPieceIsFilteredAloneWhileItFloats) {
    const std::unique_ptr<PixelBuffer> out = Run({"tool=8", "stroke=10,10,20,20", "invert"});
    ASSERT_TRUE(out);
    EXPECT_EQ(PixelAt(*out, 12, 12), raster::MakeColour(0, 255, 255));
    EXPECT_EQ(PixelAt(*out, 30, 30), kWhite);
    const std::unique_ptr<PixelBuffer> undone = Run({"tool=8", "stroke=10,10,20,20", "invert", "undo"});
    ASSERT_TRUE(undone);
    EXPECT_EQ(PixelAt(*undone, 12, 12), kRed);
}

TEST_F(SelectionScriptTest, TheProgramWritesAFloatingPieceWhereItFloats) {
    const fs::path folder = fs::path(::testing::TempDir()) / ("pw-selection-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    const std::string in = (folder / "in.bmp").string();
    const std::string out = (folder / "out.bmp").string();
    ASSERT_EQ(WriteBmp(picture.get(), in), 1);
    const Outcome o = RunBatchProgram(
        {in, out, "bcolor=0,90,200", "tool=8", "stroke=10,10,20,20", "down=12,12", "move=30,30", "up=30,30"},
        folder.string());
    EXPECT_EQ(o.status, 0) << o.err;
    const std::unique_ptr<PixelBuffer> written = platform::DecodeImageFile(out, PaintSettings.BColor).image;
    fs::remove_all(folder);
    ASSERT_TRUE(written);
    EXPECT_EQ(PixelAt(*written, 28, 28), kRed);
    EXPECT_EQ(PixelAt(*written, 37, 37), kRed);
    EXPECT_EQ(PixelAt(*written, 10, 10), kHole);
    EXPECT_EQ(PixelAt(*written, 27, 27), kWhite);
}

}  // namespace

TEST_F(SelectionScriptTest, CropToSelectionKeepsTheLassoedPieceOnTheBackgroundColour) {
    // A lasso triangle over the red square's top-left half: its bounding box becomes the
    // picture, and what the lasso left out of that box is the background colour.
    const std::unique_ptr<PixelBuffer> out = Run({"tool=16", "stroke=10,10,30,10,10,30", "crop-to-selection"});
    ASSERT_TRUE(out);
    EXPECT_EQ(out->Width(), 21);
    EXPECT_EQ(out->Height(), 20);
    EXPECT_EQ(PixelAt(*out, 1, 1), kRed);
    EXPECT_EQ(PixelAt(*out, 15, 2), kWhite);  // inside the lasso, beside the square
    EXPECT_EQ(PixelAt(*out, 19, 19), kHole);  // outside the lasso
    // Without a floating piece there is nothing to crop to.
    const std::unique_ptr<PixelBuffer> whole = Run({"crop-to-selection"});
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->Width(), 60);
}
