#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "filters/Operations.h"
#include "image/ToolIds.h"
#include "image/Undo.h"
#include "platform/MenuModel.h"
#include "shell/Dispatch.h"
#include "shell/Menus.h"
#include "support/ShellFixture.h"
#include "tools/Canvas.h"

namespace {

void Command(int id) {
    platform::WindowMessage message;
    message.kind = platform::MessageKind::Command;
    message.id = id;
    ShellState.MainWindow->Send(message);
}

// Paints one pixel of the current image red (and the undo copy stays as it was).
void Scribble(int x, int y) {
    std::uint8_t* p = CurrentBox().workBitmap->Row(y) + 3 * x;
    p[0] = 0;
    p[1] = 0;
    p[2] = 255;
}

std::vector<std::uint8_t> Bytes(const PixelBuffer& buffer) {
    return std::vector<std::uint8_t>(buffer.Bits(), buffer.Bits() + buffer.ByteSize());
}

// Random pixels in the image, with the undo copy left white.
std::vector<std::uint8_t> Scatter() {
    PixelBuffer& work = *CurrentBox().workBitmap;
    std::mt19937 random(7);
    for (int y = 0; y < work.Height(); ++y) {
        for (int i = 0; i < 3 * work.Width(); ++i) work.Row(y)[i] = static_cast<std::uint8_t>(random());
    }
    return Bytes(work);
}

// A fresh 240 x 228 image holding the picture, in the slot of the one before.
void Fresh(const std::vector<std::uint8_t>& picture) {
    FreeImageBox(ImageState.CurrentImage);
    ASSERT_EQ(CreateImage(240, 228), 1);
    std::memcpy(CurrentBox().workBitmap->Bits(), picture.data(), picture.size());
}

}  // namespace

TEST_F(ShellTest, ImageInformationOnAFreshImage) {
    Start();
    ASSERT_EQ(ImageState.ImageModified, 0);
    Command(CMD_IMAGE_INFO);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Filename: untitled\nWidth: 240 px\nHeight: 228 px\nZoom: 100.00%");
    EXPECT_EQ(messages.shown[0].caption, "Image Information");
    EXPECT_EQ(messages.shown[0].buttons, platform::MessageButtons::Ok);
    EXPECT_EQ(messages.shown[0].icon, platform::MessageIcon::None);
    // Like every image operation it took an undo copy first, which marks the image modified.
    EXPECT_EQ(ImageState.ImageModified, 1);
    EXPECT_EQ(ImageState.UndoKind, kUndoKindFilter);
}

TEST(ImageInformation, NamesTheFileAfterItsLastSlashAndTheZoom) {
    EXPECT_EQ(ImageInformationText("/home/user/shots/beach.jpg", 4000, 3000, 0.125f),
              "Filename: beach.jpg\nWidth: 4000 px\nHeight: 3000 px\nZoom: 12.50%");
    EXPECT_EQ(ImageInformationText("", 1, 1, 1.0f / 3.0f), "Filename: untitled\nWidth: 1 px\nHeight: 1 px\nZoom: 33.33%");
}

TEST_F(ShellTest, UndoAfterAnImageOperationGivesBackTheStateBeforeIt) {
    Start();
    TakeImageUndo();
    Scribble(3, 4);
    Command(CMD_IMAGE_INFO);  // copies the scribbled image into the undo buffer
    Scribble(5, 6);
    Command(CMD_UNDO);
    const std::uint8_t* p = CurrentBox().workBitmap->Row(4) + 9;
    EXPECT_EQ(p[2], 255);
    const std::uint8_t* q = CurrentBox().workBitmap->Row(6) + 15;
    EXPECT_EQ(q[0], 255);  // white again
    EXPECT_EQ(q[1], 255);
    // A second Undo redoes.
    Command(CMD_UNDO);
    q = CurrentBox().workBitmap->Row(6) + 15;
    EXPECT_EQ(q[0], 0);
    EXPECT_EQ(q[2], 255);
}

TEST_F(ShellTest, AnOperationWhileAPolygonIsOpenFinishesThePolygonAndStaysUndoable) {
    Start();
    platform::Window& canvas = *CurrentBox().window;
    PaintSettings.Tool = kToolPolygon;
    PaintSettings.Fill = 0;  // hollow
    for (const auto& [x, y] : {std::pair{3, 3}, std::pair{30, 3}}) {
        for (auto kind : {platform::MessageKind::StylusDown, platform::MessageKind::StylusUp}) {
            platform::WindowMessage m;
            m.kind = kind;
            m.x = x;
            m.y = y;
            canvas.Send(m);
        }
    }
    ASSERT_GT(CanvasState.PolygonCount, 0u);
    const std::uint8_t* p = CurrentBox().workBitmap->Row(40) + 3 * 40;
    ASSERT_EQ(p[0], 255);  // white paper
    Command(CMD_INVERT);
    EXPECT_EQ(CanvasState.PolygonCount, 0u);
    p = CurrentBox().workBitmap->Row(40) + 3 * 40;
    EXPECT_EQ(p[0], 0);  // inverted, and it stays
    EXPECT_EQ(CurrentBox().workBitmap->Row(3)[3 * 10], 255);  // the finished outline, inverted from black
    Command(CMD_UNDO);
    p = CurrentBox().workBitmap->Row(40) + 3 * 40;
    EXPECT_EQ(p[0], 255);
    EXPECT_EQ(CurrentBox().workBitmap->Row(3)[3 * 10], 0);  // the outline drawn before the operation
}

TEST_F(ShellTest, TitlebarTogglesFullScreen) {
    Start();
    Command(CMD_TITLEBAR);
    EXPECT_EQ(ShellState.FullScreen, 1u);
    EXPECT_TRUE(system.fullScreen);
    EXPECT_EQ(ShellState.MainWindow->WindowRect().Height(), 320);
    Command(CMD_TITLEBAR);
    EXPECT_EQ(ShellState.FullScreen, 0u);
    EXPECT_FALSE(system.fullScreen);
    EXPECT_EQ(ShellState.MainWindow->WindowRect().Height(), 320 - 26);
}

TEST_F(ShellTest, ColourBarPositionWhileHiddenOnlyMovesTheCheckMark) {
    settings.WriteNumber("Colorbar", 17);  // the standard colours at the bottom, hidden
    Start();
    ASSERT_EQ(ShellState.ColourBarWindow, nullptr);
    const raster::Rect before = Canvas()->WindowRect();
    Command(CMD_COLORBAR_LEFT);
    EXPECT_EQ(ShellState.ColourBarPosition, kColourBarLeft);
    EXPECT_TRUE(MenuHandles.ColorbarPosition->IsItemChecked(CMD_COLORBAR_LEFT));
    EXPECT_FALSE(MenuHandles.ColorbarPosition->IsItemChecked(CMD_COLORBAR_BOTTOM));
    const raster::Rect after = Canvas()->WindowRect();
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.Width(), before.Width());
}

TEST_F(ShellTest, ColourBarPositionWhileShownLaysTheBarsOut) {
    Start();
    platform::Window* bar = system.CreateChildWindow(0, 0, 10, 10, platform::WindowStyle{}, nullptr);
    ShellState.ColourBarWindow = bar;
    ShellState.StandardColoursMode = 1;
    Command(CMD_COLORBAR_RIGHT);
    EXPECT_EQ(bar->WindowRect().left, 240 - 13 + 1);
    EXPECT_EQ(bar->WindowRect().Width(), 13);
    EXPECT_EQ(Canvas()->WindowRect().Width(), 242 - 12);
    ShellState.ColourBarWindow = nullptr;
}

TEST_F(ShellTest, ModifierButtonCyclesItsImage) {
    Start();
    const int images[] = {3, 4, 2, 3};
    for (int expected : images) {
        Command(CMD_MODIFIER_MODE);
        ASSERT_EQ(Bar()->ButtonCount(), 7);
        EXPECT_EQ(Bar()->ButtonId(6), CMD_MODIFIER_MODE);
        EXPECT_EQ(Bar()->ButtonImage(6), expected);
        EXPECT_EQ(Bar()->IsButtonPressed(CMD_MODIFIER_MODE), expected != 2);
    }
    EXPECT_EQ(CanvasState.SelectModifier, 1);
}

TEST_F(ShellTest, ZoomInTwiceThenActualPixels) {
    Start();
    Command(CMD_ZOOM_IN);
    Command(CMD_ZOOM_IN);
    EXPECT_EQ(ImageState.ZoomFactor, 4.0f);
    Command(CMD_ACTUAL_PIXELS);
    EXPECT_EQ(ImageState.ZoomFactor, 1.0f);
    Command(3202);
    EXPECT_EQ(ImageState.ZoomFactor, 0.25f);
}

TEST_F(ShellTest, CopyCutAndPasteDoNothingWhenTheirConditionFails) {
    Start();
    const std::int8_t tool = PaintSettings.Tool;
    Command(CMD_COPY);
    Command(CMD_CUT);
    Command(CMD_PASTE);
    EXPECT_EQ(PaintSettings.Tool, tool);
    EXPECT_EQ(ImageState.ImageModified, 0);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ShellTest, PastePlacesThePieceAtTheTopLeftOfTheVisiblePart) {
    Start();
    ASSERT_EQ(CreateFloatingPiece(8, 8), 1);
    ImageState.ZoomFactor = 2.0f;
    CurrentBox().scrollX = 30;
    CurrentBox().scrollY = 11;
    PaintSettings.Group = 1;
    Command(CMD_PASTE);
    EXPECT_EQ(PaintSettings.Tool, kToolFloatingPiece);
    EXPECT_EQ(PaintSettings.Group, 0);
    EXPECT_EQ(FloatingPiece.pieceX, 15);
    EXPECT_EQ(FloatingPiece.pieceY, 5);
    EXPECT_EQ(ImageState.ImageModified, 1);
}

TEST_F(ShellTest, AFilterOnAFloatingPieceMarksThePictureUnsaved) {
    // Save writes the piece where it floats, so a filtered piece is a change the save
    // question must not let go unasked.
    Start();
    ASSERT_EQ(CreateFloatingPiece(8, 8), 1);
    PaintSettings.Tool = kToolFloatingPiece;
    ImageState.ImageModified = 0;
    Command(CMD_INVERT);
    EXPECT_EQ(ImageState.ImageModified, 1);
}

TEST_F(ShellTest, CopyPutsThePieceDownAndKeepsItForPaste) {
    Start();
    ASSERT_EQ(CreateFloatingPiece(8, 8), 1);
    PaintSettings.Tool = kToolFloatingPiece;
    PaintSettings.Select = 1;
    Command(CMD_COPY);
    EXPECT_EQ(PaintSettings.Tool, kToolSelectLasso);
    EXPECT_NE(FloatingPiece.pieceDc, nullptr);
    EXPECT_EQ(CanvasState.PolygonCount, 0u);
}

TEST_F(ShellTest, RevertAsksAndLoadsTheSavedVersion) {
    Start();
    ImageState.CurrentPath = "/nonexistent/folder/picture.png";
    ImageState.ImageModified = 1;
    messages.answers = {platform::MessageResult::No};
    Command(CMD_REVERT);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Revert to last saved version?");
    EXPECT_EQ(messages.shown[0].caption, "Pixelwright");
    EXPECT_EQ(messages.shown[0].buttons, platform::MessageButtons::YesNo);
    EXPECT_EQ(messages.shown[0].icon, platform::MessageIcon::Question);
    EXPECT_EQ(ImageState.ImageModified, 1);
}

TEST_F(ShellTest, RevertThatCannotLoadKeepsTheChangesGuarded) {
    Start();
    ImageState.CurrentPath = "/nonexistent/folder/picture.png";
    ImageState.ImageModified = 1;
    const std::uint32_t slot = ImageState.CurrentImage;
    messages.answers = {platform::MessageResult::Yes, platform::MessageResult::Ok};
    Command(CMD_REVERT);
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_NE(messages.shown[1].text.find("picture.png"), std::string::npos);
    EXPECT_EQ(ImageState.CurrentImage, slot);
    // The image still holds unsaved changes, so leaving must still ask about them.
    EXPECT_EQ(ImageState.ImageModified, 1);
}

TEST_F(ShellTest, RevertWithoutAPathAsksNothing) {
    Start();
    Command(CMD_REVERT);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ShellTest, ExitCancelledAtTheSaveQuestionKeepsRunning) {
    Start();
    ImageState.ImageModified = 1;
    messages.answers = {platform::MessageResult::Cancel};
    Command(CMD_EXIT);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, "Pixelwright");
    EXPECT_NE(ShellState.MainWindow, nullptr);
    EXPECT_FALSE(system.quit);
}

TEST_F(ShellTest, ExitWithoutChangesClosesTheProgram) {
    Start();
    Command(CMD_EXIT);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(ShellState.MainWindow, nullptr);
    EXPECT_EQ(system.MainWindow(), nullptr);
    EXPECT_TRUE(system.quit);
}

TEST_F(ShellTest, TheWindowsCloseButtonAndThePlatformOkLeaveLikeExit) {
    Start();
    ImageState.ImageModified = 1;
    messages.answers = {platform::MessageResult::Cancel};
    platform::WindowMessage close;
    close.kind = platform::MessageKind::Close;
    ShellState.MainWindow->Send(close);
    EXPECT_FALSE(system.quit);
    messages.answers = {platform::MessageResult::No};
    Command(CMD_PLATFORM_OK);
    EXPECT_TRUE(system.quit);
}

TEST_F(ShellTest, UnknownIdentifiersAreImageOperationsThatChangeNothing) {
    Start();
    Scribble(1, 1);
    std::vector<std::uint8_t> before(CurrentBox().workBitmap->Bits(),
                                     CurrentBox().workBitmap->Bits() + CurrentBox().workBitmap->ByteSize());
    Command(12345);
    EXPECT_EQ(std::memcmp(before.data(), CurrentBox().workBitmap->Bits(), before.size()), 0);
    EXPECT_EQ(std::memcmp(before.data(), CurrentBox().undoBitmap->Bits(), before.size()), 0);
    EXPECT_EQ(ImageState.ImageModified, 1);
}

TEST_F(ShellTest, FrameFlagToggles) {
    Start();
    EXPECT_EQ(ShellState.FrameFlag, 1u);
    Command(CMD_FRAME_FLAG);
    EXPECT_EQ(ShellState.FrameFlag, 0u);
    Command(CMD_FRAME_FLAG);
    EXPECT_EQ(ShellState.FrameFlag, 1u);
}

TEST_F(ShellTest, InvertThenUndoGivesBackThePixels) {
    Start();
    Scribble(10, 20);
    TakeImageUndo();
    Command(CMD_INVERT);
    const std::uint8_t* p = CurrentBox().workBitmap->Row(20) + 30;
    EXPECT_EQ(p[0], 255);
    EXPECT_EQ(p[1], 255);
    EXPECT_EQ(p[2], 0);
    EXPECT_EQ(CurrentBox().workBitmap->Row(0)[0], 0);  // white became black
    Command(CMD_UNDO);
    p = CurrentBox().workBitmap->Row(20) + 30;
    EXPECT_EQ(p[0], 0);
    EXPECT_EQ(p[2], 255);
}

TEST_F(ShellTest, GeometryCommandsMoveAndTurnTheImage) {
    Start();
    Scribble(0, 0);
    Command(CMD_FLIP_HORIZONTAL);
    EXPECT_EQ(CurrentBox().workBitmap->Row(0)[239 * 3 + 2], 255);
    EXPECT_EQ(CurrentBox().workBitmap->Row(0)[239 * 3 + 0], 0);
    Command(CMD_ROTATE_180);
    EXPECT_EQ(CurrentBox().workBitmap->Row(227)[0 * 3 + 0], 0);
    Command(CMD_ROTATE_90_CW);
    EXPECT_EQ(CurrentBox().width, 228);
    EXPECT_EQ(CurrentBox().height, 240);
    Command(CMD_ROTATE_90_CCW);
    EXPECT_EQ(CurrentBox().width, 240);
    EXPECT_EQ(CurrentBox().workBitmap->Row(227)[0], 0);
}

TEST_F(ShellTest, BlurReadsTheUndoCopyAndWritesTheImage) {
    Start();
    ImageBox& box = CurrentBox();
    std::memset(box.workBitmap->Bits(), 0, box.workBitmap->ByteSize());
    box.workBitmap->Row(50)[50 * 3] = 255;  // one blue pixel on black
    Command(CMD_BLUR_LOW);
    EXPECT_EQ(box.workBitmap->Row(50)[50 * 3], 255 / 5);
    EXPECT_EQ(box.workBitmap->Row(49)[50 * 3], 255 / 5);
    EXPECT_EQ(box.workBitmap->Row(49)[49 * 3], 0);
}

TEST_F(ShellTest, ImageOperationsWorkOnAFloatingPiece) {
    Start();
    ASSERT_EQ(CreateFloatingPiece(4, 4), 1);
    PaintSettings.Tool = kToolFloatingPiece;
    Command(CMD_INVERT);
    EXPECT_EQ(FloatingPiece.pieceBitmap->Row(0)[0], 0);  // the white piece turned black
    EXPECT_EQ(CurrentBox().workBitmap->Row(0)[0], 255);  // the image stays white
}

// Every operation that runs without a dialog, chosen from the menu, does to the image what
// its run does once the undo copy is taken; every other one still takes the undo copy.
TEST_F(ShellTest, EveryOperationOfTheTableDispatches) {
    Start();
    const std::vector<std::uint8_t> picture = Scatter();
    for (const Operation& op : Operations()) {
        if (op.dialog == OperationDialog::ImageSize) continue;  // its dialog has a flow test of its own
        SCOPED_TRACE(op.batchName);
        Fresh(picture);
        ImageState.ImageModified = 0;
        ImageState.UndoKind = 0;
        Command(op.command);
        EXPECT_EQ(ImageState.UndoKind, kUndoKindFilter);
        EXPECT_EQ(ImageState.ImageModified, 1);
        EXPECT_EQ(Bytes(*CurrentBox().undoBitmap), picture);
        if (op.dialog != OperationDialog::None) continue;
        const int width = CurrentBox().width;
        const std::vector<std::uint8_t> dispatched = Bytes(*CurrentBox().workBitmap);

        Fresh(picture);
        ASSERT_EQ(TakeImageUndo(), 1);
        std::string error;
        EXPECT_TRUE(op.run(FilterArguments{}, error));
        EXPECT_EQ(CurrentBox().width, width);
        EXPECT_EQ(Bytes(*CurrentBox().workBitmap), dispatched);
        EXPECT_NE(dispatched, picture);  // each of them changes a random picture
    }
}
