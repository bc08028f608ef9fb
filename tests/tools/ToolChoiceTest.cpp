#include <vector>

#include "image/ToolIds.h"
#include "support/DocumentFixture.h"
#include "tools/ToolChoice.h"
#include "tools/ToolGroups.h"
#include "tools/ToolTable.h"

namespace {

constexpr raster::Colour kRed = 0x0000FF;
constexpr raster::Colour kPaper = 0x30A0C0;

class ToolChoiceTest : public DocumentFixture {
protected:
    void SetUp() override {
        DocumentFixture::SetUp();
        FillToolGroups();
        PaintSettings.BColor = kPaper;
    }

    // What a tap on an entry of a group does once the tool bar has made it current.
    static void Choose(int group, int entry) {
        PaintSettings.Group = static_cast<std::int8_t>(group);
        GroupCurrent(group) = static_cast<std::int16_t>(entry);
        ApplyGroupTool();
    }

    // A red 2 x 2 piece floating at (3, 3) over the paper.
    void FloatPiece(ToolId tool) {
        MakeImage(10, 10, 40, 40);
        ASSERT_EQ(CreateFloatingPiece(2, 2), 1);
        raster::FillRect(*FloatingPiece.pieceDc, {0, 0, 2, 2}, kRed);
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < 2; ++x) FloatingPiece.maskBitmap->Row(y)[x] = kMaskInside;
        }
        FloatingPiece.pieceX = FloatingPiece.savedPieceX = 3;
        FloatingPiece.pieceY = FloatingPiece.savedPieceY = 3;
        PaintSettings.Tool = tool;
    }
};

TEST_F(ToolChoiceTest, EveryEntryOfTheToolGroupsChoosesItsTool) {
    const std::vector<std::vector<ToolId>> expected = {
        {kToolSelectRectangle, kToolSelectLasso, kToolSelectMagicWand, kToolSelectPolygon},
        {kToolPen, kToolBrush, kToolAirbrush, kToolSpraycan, kToolEraser},
        {kToolLine, kToolRectangle, kToolRoundedRectangle, kToolEllipse, kToolPolygon},
        {kToolFloodFill, kToolGradient, kToolGradient},
        {kToolBlur, kToolSharpen, kToolSmudge, kToolLighter, kToolDarker, kToolTint, kToolRedEyeReduction,
         kToolHealingBrush},
        {kToolColourPicker},
        {kToolText},
        {kToolZoomIn, kToolZoomOut},
    };
    for (int group = 0; group < static_cast<int>(expected.size()); ++group) {
        ASSERT_EQ(ToolGroups[group].count, static_cast<int>(expected[group].size())) << "group " << group;
        for (int entry = 0; entry < ToolGroups[group].count; ++entry) {
            PaintSettings.Tool = kToolPen;
            Choose(group, entry);
            EXPECT_EQ(PaintSettings.Tool, expected[group][entry]) << "group " << group << " entry " << entry;
            EXPECT_EQ(PaintSettings.Group, group);
        }
    }
    EXPECT_EQ(ToolOfEntry(RowOfTool(kToolTint), kToolPen, 0), 46);
    EXPECT_EQ(ToolOfEntry(RowOfTool(kToolHealingBrush), kToolPen, 0), 47);
    EXPECT_EQ(ToolOfEntry(ToolGroups[kGroupFillStyle].row[2], kToolPen, 0), -1);
    EXPECT_EQ(ToolOfEntry(nullptr, kToolPen, 0), -1);
    // The swatch, brush and transparency buttons' entries choose the picker.
    EXPECT_EQ(ToolOfEntry(ToolGroups[kGroupTransparency].row[1], kToolPen, 0), kToolColourPicker);
}

TEST_F(ToolChoiceTest, WithTheModifierOnASelectionEntryKeepsThePieceTool) {
    CanvasState.SelectModifier = 2;
    for (int entry = 0; entry < 4; ++entry) {
        PaintSettings.Tool = kToolPen;
        Choose(kGroupSelect, entry);
        EXPECT_EQ(PaintSettings.Tool, kToolFloatingPiece) << "entry " << entry;
    }
    // Other groups do not care about the modifier.
    Choose(kGroupShape, 1);
    EXPECT_EQ(PaintSettings.Tool, kToolRectangle);
}

TEST_F(ToolChoiceTest, OnlyThePolygonEntriesStartANewPolygon) {
    CanvasState.PolygonCount = 3;
    Choose(kGroupShape, 0);
    Choose(kGroupSelect, 1);
    EXPECT_EQ(CanvasState.PolygonCount, 3u);
    Choose(kGroupShape, 4);
    EXPECT_EQ(PaintSettings.Tool, kToolPolygon);
    EXPECT_EQ(CanvasState.PolygonCount, 0u);
    CanvasState.PolygonCount = 5;
    Choose(kGroupSelect, 3);
    EXPECT_EQ(PaintSettings.Tool, kToolSelectPolygon);
    EXPECT_EQ(CanvasState.PolygonCount, 0u);
}

TEST_F(ToolChoiceTest, GradientEntriesSetTheKind) {
    Choose(kGroupArea, 2);
    EXPECT_EQ(PaintSettings.Tool, kToolGradient);
    EXPECT_EQ(CanvasState.GradientKind, 1);
    Choose(kGroupArea, 1);
    EXPECT_EQ(PaintSettings.Tool, kToolGradient);
    EXPECT_EQ(CanvasState.GradientKind, 0);
    Choose(kGroupArea, 0);
    EXPECT_EQ(PaintSettings.Tool, kToolFloodFill);
    EXPECT_EQ(CanvasState.GradientKind, 0);
}

TEST_F(ToolChoiceTest, AGradientOverAFloatingPiecePaintsIntoThePiece) {
    FloatPiece(kToolFloatingPiece);
    const raster::Colour under = WorkPixel(3, 3);
    ImageState.ImageModified = 0;
    ImageState.UndoKind = 0;
    Choose(kGroupArea, 2);
    EXPECT_EQ(PaintSettings.Tool, kToolPieceGradient);
    EXPECT_EQ(CanvasState.GradientKind, 1);
    // The piece stays afloat and is not put down as well: the picture under it is as it was
    // and the undo level is untouched.
    EXPECT_EQ(WorkPixel(3, 3), under);
    EXPECT_NE(WorkPixel(3, 3), kRed);
    EXPECT_EQ(ImageState.ImageModified, 0);
    EXPECT_EQ(ImageState.UndoKind, 0u);
    // Choosing a gradient again while the piece gradient is on gives the image's gradient, and
    // that puts the piece down.
    Choose(kGroupArea, 1);
    EXPECT_EQ(PaintSettings.Tool, kToolGradient);
    EXPECT_EQ(ImageState.UndoKind, static_cast<std::uint32_t>(kToolPieceGradient));
    EXPECT_EQ(WorkPixel(4, 4), kRed);
    EXPECT_EQ(UndoPixel(4, 4), under);
}

TEST_F(ToolChoiceTest, AnyChoiceDropsAFloatingPieceFirst) {
    FloatPiece(kToolFloatingPiece);
    Choose(kGroupPen, 0);
    EXPECT_EQ(PaintSettings.Tool, kToolPen);
    EXPECT_EQ(WorkPixel(4, 3), kRed);
    EXPECT_EQ(UndoPixel(4, 3), kPaper);
    EXPECT_NE(FloatingPiece.pieceBitmap, nullptr);  // kept for Paste

    // Without a piece on the canvas nothing is copied.
    ImageState.ImageModified = 0;
    ImageState.UndoKind = 0;
    Choose(kGroupShape, 3);
    EXPECT_EQ(ImageState.ImageModified, 0);
    EXPECT_EQ(ImageState.UndoKind, 0u);
}

TEST_F(ToolChoiceTest, PickerAndZoomRememberTheToolToReturnTo) {
    PaintSettings.Tool = kToolBrush;
    Choose(kGroupPicker, 0);
    EXPECT_EQ(PaintSettings.Tool, kToolColourPicker);
    EXPECT_EQ(CanvasState.PreviousTool, kToolBrush);

    PaintSettings.Tool = kToolEllipse;
    Choose(kGroupZoom, 0);
    EXPECT_EQ(PaintSettings.Tool, kToolZoomIn);
    EXPECT_EQ(CanvasState.PreviousTool, kToolEllipse);
    // Switching between the two zooms keeps the tool before them.
    Choose(kGroupZoom, 1);
    EXPECT_EQ(PaintSettings.Tool, kToolZoomOut);
    EXPECT_EQ(CanvasState.PreviousTool, kToolEllipse);
    Choose(kGroupZoom, 0);
    EXPECT_EQ(CanvasState.PreviousTool, kToolEllipse);
    // The picker does remember a zoom.
    Choose(kGroupPicker, 0);
    EXPECT_EQ(CanvasState.PreviousTool, kToolZoomIn);
}

TEST_F(ToolChoiceTest, FillStylesKeepTheToolAndGoBackToThePreviousGroup) {
    PaintSettings.Tool = kToolEllipse;
    CanvasState.PreviousGroup = kGroupShape;
    const std::int8_t expectedFill[] = {0, 1, 2};
    for (int entry = 2; entry >= 0; --entry) {
        Choose(kGroupFillStyle, entry);
        EXPECT_EQ(PaintSettings.Fill, expectedFill[entry]);
        EXPECT_EQ(PaintSettings.Tool, kToolEllipse);
        EXPECT_EQ(PaintSettings.Group, kGroupShape);
    }
}

TEST_F(ToolChoiceTest, GroupsAndEntriesOutOfRangeChangeNothing) {
    PaintSettings.Tool = kToolBrush;
    PaintSettings.Group = -1;
    ApplyGroupTool();
    PaintSettings.Group = kToolGroupCount;
    ApplyGroupTool();
    EXPECT_EQ(PaintSettings.Tool, kToolBrush);
    Choose(kGroupPen, 5);
    Choose(kGroupPen, -1);
    EXPECT_EQ(PaintSettings.Tool, kToolBrush);
    // An empty record chooses nothing.
    ToolGroups[kGroupBrush].count = 0;
    Choose(kGroupBrush, 0);
    EXPECT_EQ(PaintSettings.Tool, kToolBrush);
}

}  // namespace
