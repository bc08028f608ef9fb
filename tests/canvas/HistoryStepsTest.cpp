#include "image/History.h"
#include "support/CanvasFixture.h"
#include "tools/HistorySteps.h"
#include "tools/ToolChoice.h"
#include "tools/ToolGroups.h"
#include "tools/ToolTable.h"

namespace {

using HistorySteps = CanvasTest;

// A stroke's step looks only at the tiles its box meets: for every free-hand and retouch tool
// with every brush at the largest size, nothing the stroke changed may lie outside that box.
TEST_F(HistorySteps, AStrokeStepHoldsEveryPixelTheStrokeChanged) {
    const int tools[] = {kToolPen,   kToolBrush,   kToolEraser, kToolAirbrush,         kToolSpraycan,
                         kToolBlur,  kToolSharpen, kToolSmudge, kToolRedEyeReduction, kToolLighter,
                         kToolDarker, kToolTint,   kToolHealingBrush};
    for (int tool : tools) {
        for (std::uint32_t brush = 0; brush <= 7; ++brush) {
            ResetProgramState();
            PaintSettings.BColor = kPaper;
            MakeImage(200, 200);
            // A busy picture, so that the retouch brushes change something.
            for (int y = 0; y < 200; ++y) {
                for (int x = 0; x < 200; ++x) SetWorkPixel(x, y, raster::MakeColour(x * 5, y * 3, (x ^ y) & 255));
            }
            PaintSettings.Tool = static_cast<std::int8_t>(tool);
            PaintSettings.Brush = brush;
            PaintSettings.Size = 17;
            PaintSettings.FColor = kRed;
            Down(60, 60);
            for (int i = 1; i <= 8; ++i) Move(60 + 8 * i, 60 + (i % 3) * 9);
            if (tool == kToolAirbrush || tool == kToolSpraycan) {
                for (int tick = 0; tick < 30; ++tick) Send(platform::MessageKind::Timer, 0, 0, 1);
            }
            Up(124, 70);
            EXPECT_EQ(HistoryStateCount(), 2u) << "tool " << tool << " brush " << brush;
            EXPECT_FALSE(RecordHistoryStep("probe", "")) << "tool " << tool << " brush " << brush;
        }
    }
}

TEST_F(HistorySteps, ActionsAreNamedByTheToolThatTookTheStylusDown) {
    const std::pair<int, const char*> names[] = {
        {kToolPen, "Pen Stroke"},       {kToolHealingBrush, "Healing Brush Stroke"},
        {kToolLine, "Line"},            {kToolRoundedRectangle, "Rounded Rectangle"},
        {kToolSelectLasso, "Select Lasso"}, {kToolFloodFill, "Flood Fill"},
        {kToolFloatingPiece, "Move Selection"}, {kToolDroppedToMagicWand, "Select Magic Wand"},
        {kToolText, "Text"},
    };
    FillToolGroups();
    for (const auto& [tool, name] : names) EXPECT_EQ(ToolStepLabel(tool), name) << tool;
    CanvasState.GradientKind = 1;
    EXPECT_EQ(ToolStepLabel(kToolGradient), "Circular Gradient");
}

// A tap outside a floating piece drops it; the step says so, and stepping back floats it again.
TEST_F(HistorySteps, ADropIsAStepAndSteppingBackFloatsThePieceAgain) {
    MakeImage(100, 100);
    PaintSettings.Tool = kToolSelectRectangle;
    Down(10, 10);
    Move(30, 30);
    Up(30, 30);
    ASSERT_EQ(PaintSettings.Tool, kToolFloatingPiece);
    Down(15, 15);
    Move(45, 15);
    Up(45, 15);
    EXPECT_EQ(StepBackwardLabel(), "Move Selection");
    Down(90, 90);
    Up(90, 90);
    EXPECT_EQ(StepBackwardLabel(), "Drop Selection");
    ASSERT_TRUE(StepBackward());
    EXPECT_EQ(PaintSettings.Tool, kToolFloatingPiece);
    EXPECT_EQ(FloatingPiece.pieceX, 40);
    EXPECT_EQ(FloatingPiece.savedPieceX, 10);
    // The piece's roles hold: a drag goes on from where it floats.
    Down(45, 15);
    Move(55, 15);
    Up(55, 15);
    EXPECT_EQ(FloatingPiece.pieceX, 50);
    EXPECT_FALSE(CanStepForward());
}

// Choosing the zoom or the colour picker puts a floating piece down, and their release gives
// the piece's tool back: the piece floats again over the picture under it. That release is a
// step whether its press came to the canvas or went to another window, the picture stays as
// recorded when the border ticks, and stepping back and forward brings the piece back afloat.
TEST_F(HistorySteps, AReleaseThatFloatsThePieceAgainIsAStepWithOrWithoutItsPress) {
    const struct {
        int tool;
        bool pressed;
        const char* label;
    } cases[] = {
        {kToolZoomIn, true, "Zoom In"},
        {kToolZoomIn, false, "Zoom In"},
        {kToolColourPicker, true, "Color Picker"},
        {kToolColourPicker, false, "Color Picker"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.label) + (c.pressed ? ", pressed on the canvas" : ", pressed elsewhere"));
        ResetProgramState();
        MakeImage(100, 100);
        for (int y = 0; y < 100; ++y) {
            for (int x = 0; x < 100; ++x) SetWorkPixel(x, y, raster::MakeColour(x * 5, y * 3, (x ^ y) & 255));
        }
        PaintSettings.Tool = kToolPen;
        Down(5, 5);
        Up(5, 5);
        PaintSettings.Tool = kToolSelectRectangle;
        Down(10, 10);
        Move(30, 30);
        Up(30, 30);
        Down(20, 20);
        Move(60, 50);
        Up(60, 50);
        ASSERT_EQ(PaintSettings.Tool, kToolFloatingPiece);
        const ToolRow* row = RowOfTool(c.tool);
        ASSERT_NE(row, nullptr);
        FillToolGroups();
        GroupCurrent(row->group) = static_cast<std::int16_t>(row->place);
        PaintSettings.Group = static_cast<std::int8_t>(row->group);
        ApplyGroupTool();
        ASSERT_EQ(PaintSettings.Tool, c.tool);
        EXPECT_EQ(StepBackwardLabel(), "Drop Selection");
        const std::vector<std::uint8_t> dropped = WorkBytes();
        if (c.pressed) Down(80, 80);
        Up(80, 80);
        ASSERT_EQ(PaintSettings.Tool, kToolFloatingPiece);
        EXPECT_EQ(StepBackwardLabel(), c.label);
        const std::vector<std::uint8_t> shown = WorkBytes();
        Send(platform::MessageKind::Timer, 0, 0, kTimerBorder);
        EXPECT_EQ(WorkBytes(), shown) << "the border's tick changed the picture";
        EXPECT_FALSE(RecordHistoryStep("probe", ""));
        const std::size_t index = HistoryCurrentIndex();
        ASSERT_TRUE(StepBackward());
        EXPECT_EQ(PaintSettings.Tool, kToolSelectRectangle);
        EXPECT_EQ(WorkBytes(), dropped);
        ASSERT_TRUE(StepForward());
        EXPECT_EQ(HistoryCurrentIndex(), index);
        EXPECT_EQ(PaintSettings.Tool, kToolFloatingPiece);
        EXPECT_EQ(FloatingPiece.pieceX, 50);
        EXPECT_EQ(FloatingPiece.pieceY, 40);
        EXPECT_EQ(WorkBytes(), shown);
    }
}

}  // namespace
