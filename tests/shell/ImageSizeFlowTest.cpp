#include <cstring>
#include <functional>
#include <string>

#include "image/ToolIds.h"
#include "image/Undo.h"
#include "panels/DialogBuilder.h"
#include "panels/ImageSizeDialog.h"
#include "panels/PanelState.h"
#include "shell/Menus.h"
#include "support/ShellFixture.h"

namespace {

void Send(platform::Window& window, int id, platform::Notify code = platform::Notify::Clicked) {
    platform::WindowMessage message;
    message.kind = platform::MessageKind::Command;
    message.id = id;
    message.code = code;
    window.Send(message);
}

void Command(int id) { Send(*ShellState.MainWindow, id, platform::Notify::None); }

platform::HeadlessControl* Find(platform::HeadlessWindow& dialog, int id) {
    return static_cast<platform::HeadlessControl*>(dialog.FindControl(id));
}

// A control's rectangle as "left,top,right,bottom".
std::string Box(const platform::Control* control) {
    const platform::Rect r = control->Geometry();
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

void Type(platform::HeadlessWindow& dialog, int id, const std::string& text) { Find(dialog, id)->SetText(text); }

// Every pixel (x, y) gets blue x, green y, red x + y (all taken modulo 256).
void PaintGradient(PixelBuffer& buffer) {
    for (int y = 0; y < buffer.Height(); ++y) {
        std::uint8_t* row = buffer.Row(y);
        for (int x = 0; x < buffer.Width(); ++x) {
            row[3 * x] = static_cast<std::uint8_t>(x);
            row[3 * x + 1] = static_cast<std::uint8_t>(y);
            row[3 * x + 2] = static_cast<std::uint8_t>(x + y);
        }
    }
}

const std::uint8_t* Pixel(const PixelBuffer* buffer, int x, int y) { return buffer->Row(y) + 3 * x; }

class ImageSizeFlowTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        Start();
    }
    // A new document of the size, painted with the gradient, not modified.
    void MakeImage(int width, int height) {
        ASSERT_EQ(CreateImage(width, height), 1);
        PaintGradient(*CurrentBox().workBitmap);
        ImageState.ImageModified = 0;
    }
    // Answers the next dialog with the given steps.
    void Answer(std::function<void(platform::HeadlessWindow&)> steps) { system.onModal = std::move(steps); }
};

}  // namespace

TEST_F(ImageSizeFlowTest, ImageSizeDialogLayout) {
    MakeImage(200, 100);
    Answer([](platform::HeadlessWindow& dialog) {
        EXPECT_EQ(Find(dialog, kSizeWidthField)->Text(), "200");
        EXPECT_EQ(Find(dialog, kSizeHeightField)->Text(), "100");
        EXPECT_EQ(Box(Find(dialog, kSizeWidthField)), "60,8,130,25");
        EXPECT_EQ(Box(Find(dialog, kSizeHeightField)), "60,28,130,45");
        EXPECT_EQ(Find(dialog, 2000)->Text(), "Width");
        EXPECT_EQ(Box(Find(dialog, 2006)), "140,28,190,45");
        platform::HeadlessControl* constrain = Find(dialog, kSizeConstrainBox);
        ASSERT_NE(constrain, nullptr);
        EXPECT_EQ(constrain->Text(), "Constrain Proportions");
        EXPECT_EQ(Box(constrain), "5,48,145,65");
        EXPECT_TRUE(constrain->IsChecked());
        platform::HeadlessControl* resize = Find(dialog, kSizeResizeBox);
        EXPECT_EQ(resize->Text(), "Resize Image");
        EXPECT_EQ(Box(resize), "5,68,145,85");
        EXPECT_TRUE(resize->IsChecked());
        EXPECT_EQ(Find(dialog, 2009)->Text(), "Resample Mode:");
        EXPECT_EQ(Box(Find(dialog, 2009)), "4,88,99,108");
        platform::HeadlessControl* list = Find(dialog, kSizeModeList);
        EXPECT_EQ(list->Kind(), platform::ControlKind::DropDownList);
        EXPECT_EQ(list->Items(), (std::vector<std::string>{"Interpolated", "Nearest Neighbor"}));
        EXPECT_EQ(list->Selection(), 0);
        EXPECT_TRUE(list->IsEnabled());
        EXPECT_EQ(Box(Find(dialog, kSizeOkButton)), "90,113,150,133");
        EXPECT_EQ(Box(Find(dialog, kSizeCancelButton)), "155,113,215,133");
        EXPECT_EQ(Find(dialog, kSizeOkButton)->Text(), "OK");
        EXPECT_TRUE(Find(dialog, kSizeWidthField)->HasFocus());
        Send(dialog, kSizeCancelButton);
    });
    Command(CMD_IMAGE_SIZE);
    EXPECT_EQ(DialogBuildState.title, "Image Size");
    EXPECT_EQ(DialogBuildState.width, 222);
    EXPECT_EQ(DialogBuildState.height, 163);
}

TEST_F(ImageSizeFlowTest, ConstrainedSidesFollowEachOtherWithoutFeedback) {
    MakeImage(200, 100);
    Answer([](platform::HeadlessWindow& dialog) {
        Type(dialog, kSizeWidthField, "50");
        EXPECT_EQ(Find(dialog, kSizeHeightField)->Text(), "25");
        EXPECT_EQ(Find(dialog, kSizeWidthField)->Text(), "50");  // the height's own change did not come back
        Type(dialog, kSizeHeightField, "33");
        EXPECT_EQ(Find(dialog, kSizeWidthField)->Text(), "66");
        Type(dialog, kSizeWidthField, "51");
        EXPECT_EQ(Find(dialog, kSizeHeightField)->Text(), "25");  // truncated
        // An arrow on the width moves the height along too.
        platform::WindowMessage up;
        up.kind = platform::MessageKind::UpDownDelta;
        up.id = kSizeWidthArrows;
        up.delta = 1;
        dialog.Send(up);
        EXPECT_EQ(Find(dialog, kSizeWidthField)->Text(), "52");
        EXPECT_EQ(Find(dialog, kSizeHeightField)->Text(), "26");
        // Nothing follows from a side that is no size.
        Type(dialog, kSizeWidthField, "");
        EXPECT_EQ(Find(dialog, kSizeHeightField)->Text(), "26");
        Type(dialog, kSizeWidthField, "-40");
        EXPECT_EQ(Find(dialog, kSizeHeightField)->Text(), "26");

        // Unconstrained, the sides are free; constraining again sets the height from the width.
        Send(dialog, kSizeConstrainBox);
        EXPECT_EQ(PanelState.ConstrainProportions, 0);
        EXPECT_FALSE(Find(dialog, kSizeConstrainBox)->IsChecked());
        Type(dialog, kSizeWidthField, "120");
        EXPECT_EQ(Find(dialog, kSizeHeightField)->Text(), "26");
        Send(dialog, kSizeConstrainBox);
        EXPECT_EQ(PanelState.ConstrainProportions, 1);
        EXPECT_EQ(Find(dialog, kSizeHeightField)->Text(), "60");
        Send(dialog, kSizeConstrainBox);
        Send(dialog, kSizeCancelButton);
    });
    Command(CMD_IMAGE_SIZE);
    // The choice outlives the dialog.
    EXPECT_EQ(PanelState.ConstrainProportions, 0);
    Answer([](platform::HeadlessWindow& dialog) {
        EXPECT_FALSE(Find(dialog, kSizeConstrainBox)->IsChecked());
        Type(dialog, kSizeWidthField, "10");
        EXPECT_EQ(Find(dialog, kSizeHeightField)->Text(), "100");
        Send(dialog, kSizeCancelButton);
    });
    Command(CMD_IMAGE_SIZE);
}

TEST_F(ImageSizeFlowTest, ResizeImageBoxSwitchesTheModeList) {
    MakeImage(40, 30);
    Answer([](platform::HeadlessWindow& dialog) {
        Send(dialog, kSizeResizeBox);
        EXPECT_EQ(PanelState.ResizeImage, 0);
        EXPECT_FALSE(Find(dialog, kSizeResizeBox)->IsChecked());
        EXPECT_FALSE(Find(dialog, kSizeModeList)->IsEnabled());
        Send(dialog, kSizeCancelButton);
    });
    Command(CMD_IMAGE_SIZE);
    Answer([](platform::HeadlessWindow& dialog) {
        EXPECT_FALSE(Find(dialog, kSizeResizeBox)->IsChecked());
        EXPECT_FALSE(Find(dialog, kSizeModeList)->IsEnabled());
        Send(dialog, kSizeResizeBox);
        EXPECT_EQ(PanelState.ResizeImage, 1);
        EXPECT_TRUE(Find(dialog, kSizeModeList)->IsEnabled());
        Send(dialog, kSizeCancelButton);
    });
    Command(CMD_IMAGE_SIZE);
}

TEST_F(ImageSizeFlowTest, HalvingAveragesBlocksAndUndoBringsBackTheOldSize) {
    MakeImage(200, 100);
    Answer([](platform::HeadlessWindow& dialog) {
        Type(dialog, kSizeWidthField, "100");
        EXPECT_EQ(Find(dialog, kSizeHeightField)->Text(), "50");
        Send(dialog, kSizeOkButton);
    });
    Command(CMD_IMAGE_SIZE);
    ASSERT_EQ(CurrentBox().width, 100);
    ASSERT_EQ(CurrentBox().height, 50);
    EXPECT_EQ(CurrentBox().workBitmap->Width(), 100);
    // New pixel (7, 3) averages source x 14..15, y 6..7.
    const std::uint8_t* p = Pixel(CurrentBox().workBitmap, 7, 3);
    EXPECT_EQ(p[0], (14 + 15 + 14 + 15) / 4);
    EXPECT_EQ(p[1], (6 + 6 + 7 + 7) / 4);
    EXPECT_EQ(p[2], (20 + 21 + 21 + 22) / 4);
    EXPECT_EQ(ImageState.ImageModified, 1);
    EXPECT_EQ(messages.shown.size(), 0u);

    Command(CMD_UNDO);
    ASSERT_EQ(CurrentBox().width, 200);
    ASSERT_EQ(CurrentBox().height, 100);
    const std::uint8_t* q = Pixel(CurrentBox().workBitmap, 150, 99);
    EXPECT_EQ(q[0], 150);
    EXPECT_EQ(q[1], 99);
    EXPECT_EQ(q[2], (150 + 99) & 0xFF);
}

TEST_F(ImageSizeFlowTest, NearestNeighbourChosenInTheListRepeatsPixels) {
    MakeImage(10, 10);
    Answer([](platform::HeadlessWindow& dialog) {
        Find(dialog, kSizeModeList)->SetSelection(1);
        Type(dialog, kSizeWidthField, "5");
        Send(dialog, kSizeOkButton);
    });
    Command(CMD_IMAGE_SIZE);
    ASSERT_EQ(CurrentBox().width, 5);
    ASSERT_EQ(CurrentBox().height, 5);
    const std::uint8_t* p = Pixel(CurrentBox().workBitmap, 3, 2);  // source (6, 4), not an average
    EXPECT_EQ(p[0], 6);
    EXPECT_EQ(p[1], 4);
    EXPECT_EQ(p[2], 10);
}

TEST_F(ImageSizeFlowTest, UncheckedResizeExtendsTheCanvasWithTheBackground) {
    MakeImage(100, 80);
    PaintSettings.BColor = raster::MakeColour(0, 128, 255);
    PanelState.ResizeImage = 0;
    PanelState.ConstrainProportions = 0;
    Answer([](platform::HeadlessWindow& dialog) {
        Type(dialog, kSizeWidthField, "120");
        Type(dialog, kSizeHeightField, "100");
        Send(dialog, kSizeOkButton);
    });
    Command(CMD_IMAGE_SIZE);
    ASSERT_EQ(CurrentBox().width, 120);
    ASSERT_EQ(CurrentBox().height, 100);
    const std::uint8_t* kept = Pixel(CurrentBox().workBitmap, 99, 79);
    EXPECT_EQ(kept[0], 99);
    EXPECT_EQ(kept[1], 79);
    const std::uint8_t* right = Pixel(CurrentBox().workBitmap, 100, 0);
    EXPECT_EQ(right[0], 255);
    EXPECT_EQ(right[1], 128);
    EXPECT_EQ(right[2], 0);
    const std::uint8_t* bottom = Pixel(CurrentBox().workBitmap, 0, 99);
    EXPECT_EQ(bottom[0], 255);
}

TEST_F(ImageSizeFlowTest, CancelAndRefusedSizesChangeNothing) {
    MakeImage(60, 40);
    Answer([](platform::HeadlessWindow& dialog) {
        Type(dialog, kSizeWidthField, "30");
        Send(dialog, kSizeCancelButton);
    });
    Command(CMD_IMAGE_SIZE);
    EXPECT_EQ(CurrentBox().width, 60);
    EXPECT_EQ(CurrentBox().height, 40);
    EXPECT_EQ(Pixel(CurrentBox().workBitmap, 59, 39)[0], 59);

    // Empty, zero, negative, non-numbers and sizes over 32000 are refused and the dialog stays.
    PanelState.ConstrainProportions = 0;
    int refusals = 0;
    for (const char* bad : {"", "0", "-5", "abc", "32001"}) {
        messages.shown.clear();
        Answer([&](platform::HeadlessWindow& dialog) {
            Type(dialog, kSizeWidthField, bad);
            Send(dialog, kSizeOkButton);
            EXPECT_TRUE(dialog.IsVisible()) << bad;
            refusals += static_cast<int>(messages.shown.size());
            Send(dialog, kSizeCancelButton);
        });
        Command(CMD_IMAGE_SIZE);
        ASSERT_EQ(messages.shown.size(), 1u) << bad;
        EXPECT_EQ(messages.shown[0].text, std::string(bad).empty()
                                              ? "Please enter the image width and height."
                                              : "The width and height must be whole numbers from 1 to 32000.");
    }
    EXPECT_EQ(refusals, 5);
    EXPECT_EQ(CurrentBox().width, 60);
    EXPECT_EQ(CurrentBox().height, 40);
}

TEST_F(ImageSizeFlowTest, BrushSizeResizesTheFloatingPiece) {
    MakeImage(50, 50);
    ASSERT_EQ(CreateFloatingPiece(20, 10), 1);
    PaintGradient(*FloatingPiece.pieceBitmap);
    std::memset(FloatingPiece.maskBitmap->Bits(), kMaskInside, FloatingPiece.maskBitmap->ByteSize());
    PaintSettings.Tool = kToolFloatingPiece;
    Answer([](platform::HeadlessWindow& dialog) {
        EXPECT_EQ(Find(dialog, kSizeWidthField)->Text(), "20");
        EXPECT_EQ(Find(dialog, kSizeHeightField)->Text(), "10");
        Type(dialog, kSizeWidthField, "40");  // the piece's ratio, not the image's
        EXPECT_EQ(Find(dialog, kSizeHeightField)->Text(), "20");
        Send(dialog, kSizeOkButton);
    });
    Command(CMD_IMAGE_SIZE);
    EXPECT_EQ(DialogBuildState.title, "Brush Size");
    EXPECT_EQ(DialogBuildState.height, 163);
    ASSERT_EQ(FloatingPiece.pieceWidth, 40u);
    ASSERT_EQ(FloatingPiece.pieceHeight, 20u);
    EXPECT_EQ(FloatingPiece.maskBitmap->Width(), 40);
    EXPECT_EQ(FloatingPiece.maskBitmap->Row(19)[39], kMaskInside);
    const std::uint8_t* p = Pixel(FloatingPiece.pieceBitmap, 13, 7);  // source (6, 3)
    EXPECT_EQ(p[0], 6);
    EXPECT_EQ(p[1], 3);
    EXPECT_EQ(CurrentBox().width, 50);  // the image keeps its size
    EXPECT_EQ(ImageState.UndoKind, kUndoKindPiece);
}

TEST_F(ImageSizeFlowTest, NewAsksTheSaveQuestionFirst) {
    MakeImage(64, 48);
    ImageState.CurrentPath = "/home/user/cat.png";
    ImageState.ImageModified = 1;
    bool opened = false;
    Answer([&](platform::HeadlessWindow& dialog) {
        opened = true;
        Send(dialog, kSizeCancelButton);
    });
    messages.answers = {platform::MessageResult::Cancel};
    Command(CMD_NEW);
    EXPECT_FALSE(opened);
    EXPECT_EQ(CurrentBox().width, 64);

    // No: the dialog opens; its OK makes the blank image and forgets the path only.
    UpdateRecentFiles();
    const std::string recentBefore = FileState.RecentFiles[0];
    messages.answers = {platform::MessageResult::No};
    Answer([&](platform::HeadlessWindow& dialog) {
        opened = true;
        EXPECT_EQ(dialog.FindControl(kSizeConstrainBox), nullptr);
        EXPECT_EQ(dialog.FindControl(kSizeModeList), nullptr);
        Type(dialog, kSizeWidthField, "33");
        EXPECT_EQ(Find(dialog, kSizeHeightField)->Text(), "48");  // no constraint in this one
        Send(dialog, kSizeOkButton);
    });
    Command(CMD_NEW);
    EXPECT_TRUE(opened);
    EXPECT_EQ(DialogBuildState.title, "New Image");
    EXPECT_EQ(CurrentBox().width, 33);
    EXPECT_EQ(CurrentBox().height, 48);
    EXPECT_EQ(Pixel(CurrentBox().workBitmap, 32, 47)[0], 255);  // white background
    EXPECT_TRUE(ImageState.CurrentPath.empty());
    EXPECT_EQ(ImageState.ImageModified, 1);
    EXPECT_EQ(FileState.RecentFiles[0], recentBefore);
    EXPECT_EQ(CurrentBox().window, Canvas());
}
