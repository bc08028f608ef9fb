// Lines, shapes and the polygon through the canvas window's own messages: previews that only
// the window shows, the final shape on stylus-up, squares, fill styles, and polygons by taps.
#include <vector>

#include "support/CanvasFixture.h"
#include "tools/Shapes.h"
#include "tools/ToolHandler.h"
#include "tools/ToolChoice.h"
#include "tools/ToolGroups.h"
#include "tools/ToolTable.h"

namespace {

class ShapeTest : public CanvasTest {
protected:
    void SetUp() override {
        CanvasTest::SetUp();
        MakeImage(100, 100, 242, 230);
        PaintSettings.FColor = kBlack;
    }

    void UseShape(int tool, int fill, int size = 1) {
        PaintSettings.Tool = static_cast<std::int8_t>(tool);
        PaintSettings.Fill = static_cast<std::int8_t>(fill);
        PaintSettings.Size = static_cast<std::uint32_t>(size);
    }

    void Drag(int x1, int y1, int x2, int y2) {
        Down(x1, y1);
        Move(x2, y2);
        Up(x2, y2);
    }

    void Tap(int x, int y) {
        Down(x, y);
        Up(x, y);
    }

    static std::vector<raster::Colour> WorkPixels() {
        std::vector<raster::Colour> pixels;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 100; ++x) pixels.push_back(WorkPixel(x, y));
        return pixels;
    }

    // Chooses the group's entry, as the tool bar's flyout does.
    static void ChooseEntry(int group, int entry) {
        FillToolGroups();
        GroupCurrent(group) = static_cast<std::int16_t>(entry);
        PaintSettings.Group = static_cast<std::int8_t>(group);
        ApplyGroupTool();
    }
    // Chooses the entry of the tool's row.
    static void ChooseTool(int tool) {
        const ToolRow* row = RowOfTool(tool);
        ASSERT_NE(row, nullptr);
        ChooseEntry(row->group, row->place);
    }

    const std::vector<raster::Colour> paper = std::vector<raster::Colour>(100 * 100, kPaper);
};

TEST_F(ShapeTest, TheSquareModifierMakesTheEndFollowTheStartDiagonally) {
    UseShape(kToolRectangle, kFillSolid);
    CanvasState.SelectModifier = 1;
    Drag(10, 10, 30, 15);
    // From (10, 10) to (30, 30), the right and bottom edges left out.
    EXPECT_EQ(WorkPixel(10, 10), kBlack);
    EXPECT_EQ(WorkPixel(29, 29), kBlack);
    EXPECT_EQ(WorkPixel(30, 29), kPaper);
    EXPECT_EQ(WorkPixel(29, 30), kPaper);
    EXPECT_EQ(WorkPixel(9, 10), kPaper);

    // Leftwards the square goes up: (10, 10) to (0, 0).
    Undo();
    Drag(10, 10, 0, 15);
    EXPECT_EQ(WorkPixel(0, 0), kBlack);
    EXPECT_EQ(WorkPixel(9, 9), kBlack);
    EXPECT_EQ(WorkPixel(10, 10), kPaper);
    EXPECT_EQ(WorkPixel(5, 12), kPaper);

    // The line ignores the modifier.
    Undo();
    UseShape(kToolLine, kFillSolid);
    Drag(10, 50, 30, 50);
    EXPECT_EQ(WorkPixel(20, 50), kBlack);
    EXPECT_EQ(WorkPixel(20, 60), kPaper);
}

TEST_F(ShapeTest, FillStylesChooseThePenWidthAndTheFill) {
    PaintSettings.BColor = kRed;
    // Hollow, size 9: a pen centred on the outline, 4 pixels either side, nothing inside.
    UseShape(kToolRectangle, kFillHollow, 9);
    Drag(10, 10, 40, 40);
    EXPECT_EQ(WorkPixel(5, 25), kPaper);
    EXPECT_EQ(WorkPixel(6, 25), kBlack);
    EXPECT_EQ(WorkPixel(14, 25), kBlack);
    EXPECT_EQ(WorkPixel(15, 25), kPaper);
    EXPECT_EQ(WorkPixel(25, 25), kPaper);
    EXPECT_EQ(WorkPixel(43, 25), kBlack);
    EXPECT_EQ(WorkPixel(44, 25), kPaper);

    // Outlined: the same pen, the inside in the background colour.
    Undo();
    UseShape(kToolRectangle, kFillOutlined, 9);
    Drag(10, 10, 40, 40);
    EXPECT_EQ(WorkPixel(6, 25), kBlack);
    EXPECT_EQ(WorkPixel(15, 25), kRed);
    EXPECT_EQ(WorkPixel(25, 25), kRed);
    EXPECT_EQ(WorkPixel(44, 25), kPaper);

    // Solid: the outline is 1 pixel whatever the brush size, inside the foreground colour.
    Undo();
    UseShape(kToolRectangle, kFillSolid, 9);
    Drag(10, 10, 40, 40);
    EXPECT_EQ(WorkPixel(9, 25), kPaper);
    EXPECT_EQ(WorkPixel(10, 25), kBlack);
    EXPECT_EQ(WorkPixel(25, 25), kBlack);
    EXPECT_EQ(WorkPixel(39, 25), kBlack);
    EXPECT_EQ(WorkPixel(40, 25), kPaper);
    EXPECT_EQ(WorkPixel(25, 9), kPaper);
}

TEST_F(ShapeTest, ALineIsTheSamePenStrokeAlongItsEnds) {
    // Size 9 at 50 %: the line's previews wander, its end is the pen's single segment.
    UseShape(kToolPen, kFillHollow, 9);
    PaintSettings.DOpacity = 50;
    Drag(20, 30, 70, 55);
    const std::vector<raster::Colour> pen = WorkPixels();

    Undo();
    ASSERT_EQ(WorkPixels(), paper);
    PaintSettings.Tool = kToolLine;
    Down(20, 30);
    Move(90, 10);
    Move(5, 80);
    Move(70, 55);
    Up(70, 55);
    EXPECT_EQ(WorkPixels(), pen);
    // Half transparent: 0 x 127 / 256 + paper x 128 / 256 (paper red 192, green 160, blue 48).
    const raster::Colour half = raster::MakeColour(96, 80, 24);
    EXPECT_EQ(WorkPixel(20, 30), half);
    // Nine pixels wide across a horizontal line: rows 46 to 54 around row 50.
    Undo();
    Drag(30, 50, 60, 50);
    EXPECT_EQ(WorkPixel(45, 45), kPaper);
    EXPECT_EQ(WorkPixel(45, 46), half);
    EXPECT_EQ(WorkPixel(45, 54), half);
    EXPECT_EQ(WorkPixel(45, 55), kPaper);
}

TEST_F(ShapeTest, PreviewsShowOnTheWindowButNeverStayInTheImage) {
    for (const int tool : {kToolLine, kToolRectangle, kToolRoundedRectangle, kToolEllipse}) {
        SCOPED_TRACE(tool);
        UseShape(tool, kFillSolid, 3);
        Down(20, 20);
        // Each shape passes through the middle of its top edge (the line: of its length).
        const auto middle = [tool](int to) { return raster::Point{(20 + to) / 2, tool == kToolLine ? (20 + to) / 2 : 20}; };
        for (const int to : {60, 80, 40}) {
            Move(to, to);
            EXPECT_EQ(WorkPixels(), paper);
            const auto [x, y] = middle(to);
            EXPECT_EQ(SurfacePixel(CanvasWindow(), x, y), kBlack) << to;
        }
        Up(40, 40);
        // Only the final shape: nothing where the larger previews reached.
        const auto [x, y] = middle(40);
        EXPECT_EQ(WorkPixel(x, y), kBlack);
        EXPECT_EQ(WorkPixel(50, 20), kPaper);
        EXPECT_EQ(WorkPixel(50, 50), kPaper);
        EXPECT_EQ(WorkPixel(70, 70), kPaper);
        Undo();
        ASSERT_EQ(WorkPixels(), paper);
    }
}

TEST_F(ShapeTest, APolygonByTapsLosesItsLastVertexToUndoAndClosesWithADoubleTap) {
    UseShape(kToolPolygon, kFillSolid);
    Tap(10, 10);
    Tap(80, 10);
    Tap(80, 80);
    // The first tap fixes its point twice: once going down, once coming up.
    EXPECT_EQ(CanvasState.PolygonCount, 4u);
    EXPECT_EQ(WorkPixels(), paper);
    // While it is open the window shows it, and a move shows the rubber band too.
    Move(10, 80);
    EXPECT_EQ(WorkPixels(), paper);
    EXPECT_EQ(SurfacePixel(CanvasWindow(), 70, 30), kBlack);

    Undo();
    EXPECT_EQ(CanvasState.PolygonCount, 3u);
    EXPECT_EQ(WorkPixels(), paper);

    // The double click at (10, 80): its first press and release, then the double tap.
    Tap(10, 80);
    DoubleTap(10, 80);
    Up(10, 80);
    EXPECT_EQ(CanvasState.PolygonCount, 0u);
    // The triangle (10, 10), (80, 10), (10, 80): (80, 80) went with the undo.
    EXPECT_EQ(WorkPixel(20, 20), kBlack);
    EXPECT_EQ(WorkPixel(70, 70), kPaper);
    EXPECT_EQ(WorkPixel(60, 15), kBlack);

    // Undo now takes the whole polygon away.
    Undo();
    EXPECT_EQ(WorkPixels(), paper);
}

// A background pick with a polygon tool and no polygon open repaints the view but keeps
// the picture: after a finished polygon, and after a polygon selection's piece is lifted and
// put down again (the hole it left is filled with the background colour, black here).
TEST_F(ShapeTest, ABackgroundPickWithNoPolygonOpenKeepsThePicture) {
    for (int tool : {kToolPolygon, kToolSelectPolygon}) {
        SCOPED_TRACE(tool);
        TearDown();
        SetUp();
        PaintSettings.BColor = kBlack;
        PaintSettings.Select = 3;  // the Select group's polygon entry, which a drop returns to
        UseShape(tool, kFillSolid);
        Tap(10, 10);
        Tap(80, 10);
        DoubleTap(10, 80);
        Up(10, 80);
        ASSERT_EQ(CanvasState.PolygonCount, 0u);
        if (tool == kToolSelectPolygon) {
            ASSERT_EQ(PaintSettings.Tool, kToolFloatingPiece);
            Tap(95, 95);  // puts the piece down where it was lifted
            ASSERT_EQ(PaintSettings.Tool, kToolSelectPolygon);
        }
        const std::vector<raster::Colour> before = WorkPixels();
        if (tool == kToolPolygon) EXPECT_NE(before, paper);  // the triangle
        for (ColourChange change : {ColourChange::BackgroundOnBar, ColourChange::BackgroundInPopup}) {
            ToolColoursChanged(change);
            EXPECT_EQ(WorkPixels(), before);
        }
    }
}

TEST_F(ShapeTest, TapsBeyondTheRoomOfThePolygonAreRefused) {
    UseShape(kToolPolygon, kFillHollow);
    for (int i = 0; i < 130; ++i) Tap(5 + (i % 90), 5 + (i / 10) * 7);
    EXPECT_EQ(CanvasState.PolygonCount, static_cast<std::uint32_t>(kPolygonRoom));
    EXPECT_EQ(CanvasState.LassoStartX, -1);
    // The last vertex that fitted is the 115th tap's (the first tap took two places).
    EXPECT_EQ(CanvasState.PolygonPoints[kPolygonRoom - 1].x, 5 + 114 % 90);
    // Moving and closing still work.
    Down(50, 95);
    Move(50, 96);
    EXPECT_EQ(WorkPixels(), paper);
    DoubleTap(50, 96);
    Up(50, 96);
    EXPECT_EQ(CanvasState.PolygonCount, 0u);
    EXPECT_EQ(WorkPixel(5, 5), kBlack);
}

TEST_F(ShapeTest, ChoosingAnotherToolClosesAnOpenPolygonButAFillStyleDoesNot) {
    UseShape(kToolPolygon, kFillHollow);
    CanvasState.PreviousGroup = kGroupShape;
    Tap(10, 10);
    Tap(60, 10);
    Tap(60, 60);
    ChooseEntry(kGroupFillStyle, kFillSolid);
    EXPECT_EQ(PaintSettings.Fill, kFillSolid);
    EXPECT_EQ(PaintSettings.Tool, kToolPolygon);
    EXPECT_EQ(CanvasState.PolygonCount, 4u);
    EXPECT_EQ(WorkPixels(), paper);

    ChooseTool(kToolPen);
    EXPECT_EQ(PaintSettings.Tool, kToolPen);
    EXPECT_EQ(CanvasState.PolygonCount, 0u);
    EXPECT_EQ(WorkPixel(50, 20), kBlack);  // drawn solid, in the style chosen while it was open
    EXPECT_EQ(WorkPixel(20, 50), kPaper);

    // Choosing the polygon again starts a new one.
    Undo();
    PaintSettings.Tool = kToolPolygon;
    Tap(10, 10);
    Tap(60, 10);
    ChooseTool(kToolPolygon);
    EXPECT_EQ(CanvasState.PolygonCount, 0u);
    EXPECT_EQ(WorkPixels(), paper);
}

}  // namespace
