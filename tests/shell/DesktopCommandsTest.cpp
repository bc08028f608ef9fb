// What a desktop adds to the commands: deselect, delete and crop on the floating piece, the
// status bar's facts, and the remembered files checked before anything is asked.
#include <string>

#include "image/ToolIds.h"
#include "image/Undo.h"
#include "platform/Chrome.h"
#include "platform/MenuModel.h"
#include "shell/Menus.h"
#include "shell/Shortcuts.h"
#include "shell/StatusLine.h"
#include "support/Pixels.h"
#include "support/ShellFixture.h"

namespace {

constexpr raster::Colour kRed = 0x0000FF;
constexpr raster::Colour kBlue = 0xFF0000;
constexpr raster::Colour kWhite = 0xFFFFFF;

class DesktopCommandsTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        Start();
        // A blue picture with a red square at x 10 ... 29, y 20 ... 29.
        raster::FillRect(*CurrentBox().workDc, {0, 0, CurrentBox().width, CurrentBox().height}, kBlue);
        raster::FillRect(*CurrentBox().workDc, {10, 20, 30, 30}, kRed);
    }
    static void Command(int id) {
        platform::WindowMessage message;
        message.kind = platform::MessageKind::Command;
        message.id = id;
        ShellState.MainWindow->Send(message);
    }
    // A rectangle selection dragged over the red square: it floats as a 20 x 10 piece.
    static void SelectRedSquare() {
        PaintSettings.Tool = kToolSelectRectangle;
        PaintSettings.Group = 0;
        CanvasStylusDown(10, 20);
        CanvasStylusMove(20, 25);
        CanvasStylusUp(30, 30);
        ASSERT_EQ(PaintSettings.Tool, kToolFloatingPiece);
        ASSERT_EQ(FloatingPiece.pieceWidth, 20u);
        ASSERT_EQ(FloatingPiece.pieceHeight, 10u);
    }
    // Whether the command's keys act now (the menu's rule, for those that have an item).
    static bool Enabled(int id) { return ShortcutCommand(id) == id; }
};

}  // namespace

TEST_F(DesktopCommandsTest, CropToSelectionKeepsThePieceOnBackgroundAndIsOneUndoStep) {
    EXPECT_FALSE(Enabled(CMD_CROP_TO_SELECTION));
    SelectRedSquare();
    // Moved 100 pixels right first: the crop takes the piece, not the place it came from.
    CanvasStylusDown(15, 25);
    CanvasStylusMove(115, 25);
    CanvasStylusUp(115, 25);
    EXPECT_TRUE(Enabled(CMD_CROP_TO_SELECTION));
    Command(CMD_CROP_TO_SELECTION);
    EXPECT_EQ(CurrentBox().width, 20);
    EXPECT_EQ(CurrentBox().height, 10);
    EXPECT_EQ(WorkPixel(0, 0), kRed);
    EXPECT_EQ(WorkPixel(19, 9), kRed);
    EXPECT_EQ(PaintSettings.Tool, kToolSelectRectangle);
    EXPECT_EQ(ImageState.ImageModified, 1);
    // Undo: the whole picture, the piece put down where it floated; a second Undo crops again.
    Command(CMD_UNDO);
    EXPECT_EQ(CurrentBox().width, 240);
    EXPECT_EQ(CurrentBox().height, 228);
    EXPECT_EQ(WorkPixel(115, 25), kRed);
    EXPECT_EQ(WorkPixel(15, 25), kWhite);  // the lifted place keeps the background colour
    Command(CMD_UNDO);
    EXPECT_EQ(CurrentBox().width, 20);
    EXPECT_EQ(WorkPixel(5, 5), kRed);
}

TEST_F(DesktopCommandsTest, CropFillsWhatTheMaskLeavesOutWithTheBackgroundColour) {
    SelectRedSquare();
    Command(CMD_INVERSE_SELECTION);  // everything but the square, as large as the picture
    ASSERT_EQ(PaintSettings.Tool, kToolFloatingPiece);
    PaintSettings.BColor = 0x00FF00;
    Command(CMD_CROP_TO_SELECTION);
    EXPECT_EQ(CurrentBox().width, 240);
    EXPECT_EQ(WorkPixel(15, 25), 0x00FF00u);  // the square, outside the mask
    EXPECT_EQ(WorkPixel(100, 100), kBlue);
}

TEST_F(DesktopCommandsTest, DeselectPutsThePieceDownAndDeleteLetsItGoAsCutDoes) {
    SelectRedSquare();
    Command(CMD_DESELECT);
    EXPECT_EQ(PaintSettings.Tool, kToolSelectRectangle);
    EXPECT_EQ(WorkPixel(15, 25), kRed);
    EXPECT_FALSE(Enabled(CMD_DESELECT));
    SelectRedSquare();
    EXPECT_TRUE(Enabled(CMD_DELETE_SELECTION));
    Command(CMD_DELETE_SELECTION);
    EXPECT_EQ(WorkPixel(15, 25), kWhite);
    EXPECT_EQ(PaintSettings.Tool, kToolSelectRectangle);
    // One undo step: the piece floats again, and putting it down gives the square back.
    Command(CMD_UNDO);
    EXPECT_EQ(PaintSettings.Tool, kToolFloatingPiece);
    Command(CMD_DESELECT);
    EXPECT_EQ(WorkPixel(15, 25), kRed);
    EXPECT_EQ(WorkPixel(35, 25), kBlue);
}

TEST_F(DesktopCommandsTest, TheStatusFieldsFollowThePointerZoomAndPiece) {
    platform::StatusFields fields = StatusFieldsNow();
    EXPECT_EQ(fields.pointer, "");
    EXPECT_EQ(fields.size, "240 \u00D7 228");
    EXPECT_EQ(fields.zoom, "100 %");
    EXPECT_EQ(fields.piece, "");
    CanvasPointerAt(12, 21);
    fields = StatusFieldsNow();
    EXPECT_EQ(fields.pointer, "12, 21");
    EXPECT_EQ(fields.colour, "R 255  G 0  B 0  #FF0000");
    EXPECT_EQ(fields.colourValue, static_cast<int>(kRed));
    // The floating piece shows its own pixels where it covers the point.
    SelectRedSquare();
    CanvasStylusDown(15, 25);
    CanvasStylusMove(115, 25);
    CanvasStylusUp(115, 25);
    CanvasPointerAt(112, 21);
    fields = StatusFieldsNow();
    EXPECT_EQ(fields.piece, "Selection 20 \u00D7 10");
    EXPECT_EQ(fields.colour, "R 255  G 0  B 0  #FF0000");
    Command(CMD_ZOOM_IN);
    fields = StatusFieldsNow();
    EXPECT_EQ(fields.zoom, "200 %");
    // Past the picture, in the grey, there is no point to name.
    CanvasPointerAt(239, 5);
    ImageState.ZoomFactor = 0.125f;
    CurrentBox().scrollX = CurrentBox().scrollY = 0;
    fields = StatusFieldsNow();
    EXPECT_EQ(fields.pointer, "");
    EXPECT_EQ(fields.zoom, "12.5 %");
    ImageState.ZoomFactor = 1.0f / 3.0f;
    EXPECT_EQ(StatusFieldsNow().zoom, "33.3 %");
    CanvasPointerLeft();
    ImageState.ZoomFactor = 1.0f;
    EXPECT_EQ(StatusFieldsNow().pointer, "");
    // The idle work hands the fields to the status bar.
    platform::RunIdleProcedure();
    EXPECT_EQ(static_cast<platform::MemoryChrome&>(platform::Chrome()).fields.size, "240 \u00D7 228");
}

TEST_F(DesktopCommandsTest, StatusBarAndBrushKeysAreCommands) {
    auto& chrome = static_cast<platform::MemoryChrome&>(platform::Chrome());
    EXPECT_TRUE(chrome.statusShown);
    Command(CMD_STATUS_BAR);
    EXPECT_FALSE(chrome.statusShown);
    PaintSettings.Brush = 0;
    PaintSettings.Size = 7;
    Command(CMD_BRUSH_LARGER);
    EXPECT_EQ(PaintSettings.Size, 9u);
    EXPECT_EQ(chrome.note, "Brush size 9");
    PaintSettings.Size = 1;
    Command(CMD_BRUSH_SMALLER);
    EXPECT_EQ(chrome.note, "Brush size 1");
    ExitProgram();
    std::uint32_t stored = 1;
    ASSERT_TRUE(settings.ReadNumber("StatusBar", stored));
    EXPECT_EQ(stored, 0u);
}

TEST_F(DesktopCommandsTest, ARememberedFileThatIsGoneIsSaidBeforeTheSaveQuestion) {
    const std::string gone = "/nonexistent-pixelwright-folder/gone.png";
    settings.WriteText("File1", gone);
    UpdateRecentFiles();
    ImageState.ImageModified = 1;
    messages.shown.clear();
    Command(CMD_RECENT_1);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Cannot open \"" + gone + "\": there is no such file.");
    EXPECT_EQ(messages.shown[0].caption, "Error");
    EXPECT_EQ(ImageState.ImageModified, 1);
    EXPECT_EQ(CurrentBox().width, 240);
}

TEST_F(DesktopCommandsTest, RecentEntriesWithControlCharactersAreDroppedWhenRead) {
    settings.WriteText("File1", "/pictures/one.png");
    settings.WriteText("File2", "/pictures/line\nbreak.png");
    settings.WriteText("File3", std::string("/pictures/zero\0.png", 19));
    settings.WriteText("File4", "/pictures/two.png");
    UpdateRecentFiles();
    ASSERT_EQ(FileState.RecentCount, 2);
    EXPECT_EQ(FileState.RecentFiles[0], "/pictures/one.png");
    EXPECT_EQ(FileState.RecentFiles[1], "/pictures/two.png");
    std::string value;
    ASSERT_TRUE(settings.ReadText("File2", value));
    EXPECT_EQ(value, "/pictures/two.png");
    ASSERT_TRUE(settings.ReadText("File3", value));
    EXPECT_EQ(value, "");
    // Read again, the list is the same two.
    UpdateRecentFiles();
    EXPECT_EQ(FileState.RecentCount, 2);
}
