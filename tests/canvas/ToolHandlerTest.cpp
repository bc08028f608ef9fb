#include <set>
#include <string>
#include <utility>

#include "support/CanvasFixture.h"
#include "tools/FloatingPieceTool.h"
#include "tools/FreehandTools.h"
#include "tools/PickerAndZoom.h"
#include "tools/RetouchTools.h"
#include "tools/ToolGroups.h"
#include "tools/ToolHandler.h"
#include "tools/ToolTable.h"

namespace {

TEST(ToolTable, EachToolHasOneRowAndTheToolBarShowsTheRows) {
    FillToolGroups();
    std::set<std::pair<int, int>> tools;
    std::set<std::pair<int, int>> places;
    for (const ToolRow& row : ToolRows()) {
        const int tool = row.id;
        EXPECT_TRUE(tools.insert({tool, row.kind}).second) << "tool " << tool << " has two rows";
        EXPECT_GE(tool, 0);
        EXPECT_LT(tool, kToolIdRoom);
        ASSERT_NE(row.handler, nullptr) << "tool " << tool;
        EXPECT_EQ(RowOfTool(tool)->handler, row.handler) << "tool " << tool;
        EXPECT_EQ(&HandlerForTool(tool), row.handler) << "tool " << tool;
        EXPECT_EQ(RowOfEntry(tool, row.kind), &row);
        if (row.group == kNoToolGroup) {
            // What the bar cannot choose the settings cannot bring back.
            EXPECT_EQ(row.stored, ToolStored::No) << "tool " << tool;
            continue;
        }
        EXPECT_TRUE(places.insert({row.group, row.place}).second) << "tool " << tool << " shares its place";
        const ToolGroup& group = ToolGroups[row.group];
        ASSERT_LT(row.place, group.count) << "tool " << tool;
        EXPECT_EQ(group.row[row.place], &row);
        EXPECT_EQ(group.image[row.place], row.tile);
        EXPECT_EQ(group.name[row.place], row.name);
        EXPECT_NE(row.stored, ToolStored::No) << "tool " << tool;
    }
    // The tool groups hold the rows and nothing else, without gaps.
    for (int g = kGroupSelect; g <= kGroupZoom; ++g) {
        for (int entry = 0; entry < ToolGroups[g].count; ++entry) {
            EXPECT_TRUE(places.count({g, entry})) << "group " << g << " entry " << entry;
        }
    }
    EXPECT_EQ(RowOfEntry(kToolGradient, 1)->name, std::string("Circular Gradient"));
    EXPECT_EQ(RowOfTool(kToolGradient)->kind, 0);
    EXPECT_EQ(RowOfEntry(kToolPen, 1), nullptr);
    EXPECT_EQ(RowOfTool(5), nullptr);
    EXPECT_EQ(RowOfTool(-1), nullptr);
    EXPECT_EQ(RowOfTool(1000), nullptr);
    EXPECT_EQ(&HandlerForTool(kToolPen), &FreehandTools());
    EXPECT_EQ(&HandlerForTool(kToolSpraycan), &FreehandTools());
    EXPECT_EQ(&HandlerForTool(kToolHealingBrush), &RetouchTools());
    EXPECT_EQ(&HandlerForTool(kToolZoomOut), &PickerAndZoom());
    EXPECT_EQ(&HandlerForTool(kToolFloatingPiece), &FloatingPieceTool());
    // Ids of no family share one handler, whatever the byte holds.
    const ToolHandler& none = HandlerForTool(5);
    EXPECT_EQ(&HandlerForTool(-1), &none);
    EXPECT_EQ(&HandlerForTool(-128), &none);
    EXPECT_EQ(&HandlerForTool(127), &none);
    EXPECT_EQ(&HandlerForTool(1000), &none);
}

TEST(CanvasCoordinates, PolygonVerticesAndFillSeedsTruncateOnce) {
    // Zoom 2, scrolled 20 pixels: a point captured left of the window.
    const CanvasPoint left = CanvasCoordinates(-3, 0, 20, 0, 2.0f);
    EXPECT_EQ(left.ImageX(), 9);           // trunc(-1.5) + 10
    EXPECT_EQ(left.PolygonVertex().x, 8);  // trunc(-1.5 + 10)
    EXPECT_EQ(left.SeedPoint().x, 9);      // trunc(10 - 1)
    // Scrolled by one window pixel: the seed keeps the half pixel of the scroll.
    const CanvasPoint edge = CanvasCoordinates(0, -3, 0, 1, 2.0f);
    EXPECT_EQ(edge.ImageY(), -1);           // trunc(-1.5) + trunc(0.5)
    EXPECT_EQ(edge.PolygonVertex().y, -1);  // trunc(-1.5 + 0)
    EXPECT_EQ(edge.SeedPoint().y, 0);       // trunc(0.5 - 1)
    // Inside the window all three agree.
    const CanvasPoint inside = CanvasCoordinates(7, 9, 10, 21, 2.0f);
    EXPECT_EQ(inside.ImageX(), 8);
    EXPECT_EQ(inside.PolygonVertex().x, 8);
    EXPECT_EQ(inside.SeedPoint().x, 8);
    EXPECT_EQ(inside.ImageY(), 14);
    EXPECT_EQ(inside.SeedPoint().y, 14);
    EXPECT_EQ(inside.wx, 7);
    EXPECT_EQ(inside.scrollY, 21);
}

// A tap that changes nothing still marks the document modified when the tool takes an
// undo copy at stylus-down; the picker and the piece do not.
TEST_F(CanvasTest, TheUndoCopyAtStylusDownFollowsTheTool) {
    MakeImage(30, 30, 40, 40);
    const ToolId copying[] = {kToolPen,  kToolEraser, kToolLine, kToolRectangle, kToolSelectRectangle,
                              kToolBlur, kToolSmudge, kToolText, kToolZoomIn,    kToolFloodFill};
    for (const ToolId tool : copying) {
        PaintSettings.Tool = tool;
        CanvasState.PreviousTool = tool;
        ImageState.ImageModified = 0;
        Down(25, 25);
        EXPECT_EQ(ImageState.ImageModified, 1) << "tool " << int{tool};
        EXPECT_EQ(ImageState.UndoKind, static_cast<std::uint32_t>(tool));
        Up(25, 25);
        ImageState.ZoomFactor = 1.0f;
    }
    PaintSettings.Tool = 5;  // no tool: the copy and nothing else
    ImageState.ImageModified = 0;
    Down(5, 5);
    Up(5, 5);
    EXPECT_EQ(ImageState.ImageModified, 1);
    EXPECT_EQ(WorkPixel(5, 5), kPaper);

    PaintSettings.Tool = kToolColourPicker;
    CanvasState.PreviousTool = kToolPen;
    ImageState.ImageModified = 0;
    Down(25, 25);
    Up(25, 25);
    EXPECT_EQ(ImageState.ImageModified, 0);
}

TEST_F(CanvasTest, ATapOutsideThePieceHandsTheTapToTheSelectionTool) {
    MakeImage(20, 20, 40, 40);
    MakeFloatingPiece();
    PaintSettings.Select = 2;
    Down(15, 15);
    EXPECT_EQ(PaintSettings.Tool, kToolDroppedToMagicWand);
    // Only the drop's copy, of the image under the piece: the tap does nothing more.
    EXPECT_EQ(ImageState.UndoKind, static_cast<std::uint32_t>(kToolDroppedToMagicWand));
    EXPECT_EQ(UndoPixel(3, 2), kPaper);
    EXPECT_EQ(WorkPixel(3, 2), kRed);
    Up(15, 15);
    EXPECT_EQ(PaintSettings.Tool, kToolSelectMagicWand);

    // The polygon selection starts no copy of its own on the tap that dropped the piece.
    raster::FillRect(*CurrentBox().workDc, {0, 0, 20, 20}, kPaper);
    MakeFloatingPiece();
    PaintSettings.Select = 3;
    CanvasState.PolygonCount = 4;
    Down(15, 15);
    EXPECT_EQ(PaintSettings.Tool, kToolSelectPolygon);
    EXPECT_EQ(CanvasState.PolygonCount, 0u);
    EXPECT_EQ(ImageState.UndoKind, static_cast<std::uint32_t>(kToolSelectPolygon));
    EXPECT_EQ(UndoPixel(3, 2), kPaper);
    EXPECT_EQ(WorkPixel(3, 2), kRed);
    Up(15, 15);
    EXPECT_EQ(PaintSettings.Tool, kToolSelectPolygon);
}

TEST_F(CanvasTest, PaintingTheWindowShowsTheFloatingPieceButLeavesTheImageClean) {
    MakeImage(20, 20, 40, 40);
    MakeFloatingPiece();
    MarkSurface();
    EXPECT_EQ(Send(platform::MessageKind::Paint), 1);
    EXPECT_EQ(SurfacePixel(CanvasWindow(), 4, 4), kRed);
    EXPECT_EQ(SurfacePixel(CanvasWindow(), 3, 3), kPaper);  // mask 0 inside the piece
    EXPECT_EQ(WorkPixel(4, 4), kPaper);
    // Scrolling repaints the same way.
    MarkSurface();
    Scroll(false, platform::ScrollCode::EndScroll);
    EXPECT_EQ(SurfacePixel(CanvasWindow(), 4, 4), kRed);
    // With another tool the piece is not shown.
    PaintSettings.Tool = kToolPen;
    Send(platform::MessageKind::Paint);
    EXPECT_EQ(SurfacePixel(CanvasWindow(), 4, 4), kPaper);
}

TEST_F(CanvasTest, TheGradientOverAPieceKeepsItsBorderMoving) {
    MakeImage(20, 20, 40, 40);
    MakeFloatingPiece();
    PaintSettings.Tool = kToolPieceGradient;
    Send(platform::MessageKind::Timer, 0, 0, kTimerBorder);
    EXPECT_EQ(ImageState.AntsPhase, 1u);
    Send(platform::MessageKind::Timer, 0, 0, kTimerAirbrush);
    EXPECT_EQ(ImageState.AntsPhase, 1u);
    PaintSettings.Tool = kToolGradient;
    Send(platform::MessageKind::Timer, 0, 0, kTimerBorder);
    EXPECT_EQ(ImageState.AntsPhase, 1u);
}

TEST_F(CanvasTest, ADoubleTapWithoutAPolygonChangesNothing) {
    MakeImage(20, 20, 40, 40);
    PaintSettings.Tool = kToolPen;
    Down(5, 5);
    DoubleTap(5, 5);
    Up(5, 5);
    EXPECT_EQ(WorkPixel(5, 5), kBlack);
    EXPECT_EQ(CanvasState.StylusDown, 0u);
    ImageState.ImageModified = 0;
    PaintSettings.Tool = kToolPolygon;
    DoubleTap(8, 8);
    EXPECT_EQ(ImageState.ImageModified, 0);
    EXPECT_EQ(CanvasState.PolygonCount, 0u);
}

TEST_F(CanvasTest, TheStylusGuideIsDashedRedOnTheWindowOnly) {
    ImageBox& box = MakeImage(60, 60, 62, 62);
    ImageState.ZoomFactor = 2.0f;
    box.anchorX = 2;
    box.anchorY = 3;
    MarkSurface();
    const ToolEvent event{box, kToolGradient, CanvasCoordinates(30, 6, 0, 0, ImageState.ZoomFactor)};
    DrawStylusGuide(event);
    const raster::Colour red = raster::MakeColour(255, 0, 0);
    for (int x = 4; x < 7; ++x) EXPECT_EQ(SurfacePixel(CanvasWindow(), x, 6), red) << x;
    for (int x = 7; x < 10; ++x) EXPECT_EQ(SurfacePixel(CanvasWindow(), x, 6), kWhite) << x;
    EXPECT_EQ(SurfacePixel(CanvasWindow(), 10, 6), red);
    EXPECT_EQ(SurfacePixel(CanvasWindow(), 4, 5), kWhite);
    EXPECT_EQ(WorkPixel(2, 3), kPaper);
    EXPECT_EQ(CanvasWindow().GetDC().CurrentPen().style, raster::PenStyle::Solid);
}

TEST_F(CanvasTest, ChangedBoxesOfAScrolledStrokeComeFromTheScrolledImage) {
    ImageBox& box = MakeImage(100, 100, 52, 52);
    box.scrollX = 40;
    box.scrollY = 30;
    PaintSettings.Size = 1;
    SetWorkPixel(45, 37, kRed);
    MarkSurface();
    const ToolEvent event{box, kToolPen, CanvasCoordinates(5, 7, box.scrollX, box.scrollY, ImageState.ZoomFactor)};
    RepaintChanged(event, raster::Rect{4, 6, 7, 9});
    EXPECT_EQ(SurfacePixel(CanvasWindow(), 5, 7), kRed);
    EXPECT_EQ(SurfacePixel(CanvasWindow(), 4, 6), kPaper);
    EXPECT_EQ(SurfacePixel(CanvasWindow(), 7, 7), kWhite);
    EXPECT_EQ(SurfacePixel(CanvasWindow(), 5, 9), kWhite);
}

}  // namespace

namespace {

int g_picked = 0;
int g_toolChanges = 0;

// Counts what the canvas tells the panels, for one test.
class CountedHooks {
public:
    CountedHooks() {
        g_picked = 0;
        g_toolChanges = 0;
        CanvasHooks.ForegroundPicked = [] { ++g_picked; };
        CanvasHooks.ToolChanged = [] { ++g_toolChanges; };
    }
};

TEST_F(CanvasTest, PickerAndZoomTellThePanelsWhatChanged) {
    const CountedHooks hooks;
    MakeImage(40, 40, 50, 50);
    SetWorkPixel(3, 4, kRed);
    PaintSettings.Tool = kToolColourPicker;
    CanvasState.PreviousTool = kToolBrush;
    Down(3, 4);
    EXPECT_EQ(g_picked, 1);
    Move(3, 4);  // the same colour again: no news
    EXPECT_EQ(g_picked, 1);
    Move(5, 5);
    EXPECT_EQ(g_picked, 2);
    Move(45, 5);  // outside the image
    EXPECT_EQ(g_picked, 2);
    EXPECT_EQ(g_toolChanges, 0);
    Up(5, 5);
    EXPECT_EQ(g_picked, 3);
    EXPECT_EQ(g_toolChanges, 1);
    EXPECT_EQ(PaintSettings.Tool, kToolBrush);

    PaintSettings.Tool = kToolZoomOut;
    Down(10, 10);
    Up(10, 10);
    EXPECT_EQ(g_toolChanges, 2);
    EXPECT_EQ(g_picked, 3);
    // Painting tools tell nothing.
    Down(10, 10);
    Move(12, 10);
    Up(12, 10);
    EXPECT_EQ(g_toolChanges, 2);
}

}  // namespace

namespace {

// Which tools show again what a colour change alters, told by the panels: a polygon being
// drawn (a foreground or swatch change only once it has a vertex), the floating piece (not
// for a foreground pick), the piece under the gradient (only for a background from the
// popup), and every tool repaints for the transparency switch.
TEST_F(CanvasTest, ColourChangesReachTheToolsThatShowThem) {
    using C = ColourChange;
    struct Case {
        int tool;
        std::uint32_t vertices;
        bool shown[5];  // Foreground, BackgroundOnBar, BackgroundInPopup, Swatch, Transparency
    };
    const Case cases[] = {
        {kToolPen, 0, {false, false, false, false, true}},
        {kToolRectangle, 0, {false, false, false, false, true}},
        {kToolPolygon, 0, {false, true, true, false, true}},
        {kToolPolygon, 2, {true, true, true, true, true}},
        {kToolSelectPolygon, 0, {false, true, true, false, true}},
        {kToolSelectPolygon, 2, {true, true, true, true, true}},
        {kToolSelectRectangle, 0, {false, false, false, false, true}},
        {kToolFloatingPiece, 0, {false, true, true, true, true}},
        {kToolPieceGradient, 0, {false, false, true, false, true}},
        {kToolGradient, 0, {false, false, false, false, true}},
        {kToolBlur, 0, {false, false, false, false, true}},
    };
    const C changes[] = {C::Foreground, C::BackgroundOnBar, C::BackgroundInPopup, C::Swatch, C::Transparency};
    MakeImage(40, 40, 50, 50);
    MakeFloatingPiece();
    CanvasState.PolygonPoints[0] = {10, 10};
    CanvasState.PolygonPoints[1] = {30, 10};
    for (const Case& c : cases) {
        for (int i = 0; i < 5; ++i) {
            PaintSettings.Tool = static_cast<std::int8_t>(c.tool);
            CanvasState.PolygonCount = c.vertices;
            MarkSurface();
            ToolColoursChanged(changes[i]);
            EXPECT_EQ(SurfacePixel(CanvasWindow(), 20, 30) != kWhite, c.shown[i]) << "tool " << c.tool
                                                                                 << ", change " << i;
        }
    }
}

}  // namespace
