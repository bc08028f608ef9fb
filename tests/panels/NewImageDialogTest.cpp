#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/OpenSave.h"
#include "image/ImageSlots.h"
#include "image/PaintSettings.h"
#include "panels/DialogBuilder.h"
#include "panels/ImageSizeDialog.h"
#include "platform/Dialog.h"
#include "platform/Headless.h"
#include "shell/MainFrame.h"
#include "shell/ProgramState.h"
#include "support/Messages.h"

namespace {

platform::WindowMessage Command(int id) {
    platform::WindowMessage m;
    m.kind = platform::MessageKind::Command;
    m.id = id;
    m.code = platform::Notify::Clicked;
    return m;
}

class NewImageDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        system.screenWidth = 240;
        system.screenHeight = 320;
        platform::SetWindowSystem(&system);
        platform::SetMessageBoxService(&recorder);
        ASSERT_EQ(CreateImage(240, 228), 1);
        ImageState.CurrentPath = "/tmp/picture.png";
    }
    void TearDown() override {
        platform::SetMessageBoxService(nullptr);
        platform::SetWindowSystem(nullptr);
        ResetProgramState();
    }
    // Types the two fields, then presses each button of presses in turn.
    void Answer(const std::string& width, const std::string& height, std::vector<int> presses) {
        system.onModal = [=](platform::HeadlessWindow& dialog) {
            dialog.FindControl(kSizeWidthField)->SetText(width);
            dialog.FindControl(kSizeHeightField)->SetText(height);
            for (int id : presses) dialog.Send(Command(id));
        };
    }

    platform::HeadlessWindowSystem system;
    MessageRecorder recorder;
};

}  // namespace

TEST_F(NewImageDialogTest, ShowsOnlyTheSizeFieldsWithItsButtonsAt53) {
    system.onModal = [](platform::HeadlessWindow& dialog) {
        EXPECT_EQ(dialog.FindControl(kSizeWidthField)->Text(), "240");
        EXPECT_EQ(dialog.FindControl(kSizeHeightField)->Text(), "228");
        EXPECT_EQ(dialog.FindControl(kSizeOkButton)->Geometry().top, 53);
        EXPECT_EQ(dialog.FindControl(kSizeCancelButton)->Geometry().left, 155);
        EXPECT_EQ(dialog.FindControl(2007), nullptr);  // no check boxes
        EXPECT_EQ(dialog.FindControl(2010), nullptr);  // no resample list
        dialog.Send(Command(kSizeCancelButton));
    };
    EXPECT_EQ(RunNewImageDialog(), 0);
    EXPECT_EQ(DialogBuildState.title, "New Image");
    EXPECT_EQ(DialogBuildState.width, 222);
    EXPECT_EQ(DialogBuildState.height, 105);
}

TEST_F(NewImageDialogTest, OkReplacesTheImageAndForgetsThePath) {
    PaintSettings.BColor = 0x0000FF;  // red background
    ImageState.ImageModified = 1;
    FileState.Carried.exif = {'I', 'I', 42, 0};  // what the photo open before carried
    FileState.Carried.icc = {1, 2, 3};
    FileState.TransparentFrom = "picture.png";
    Answer("30", "20", {kSizeOkButton});
    ASSERT_EQ(RunNewImageDialog(), 1);
    EXPECT_TRUE(FileState.Carried.Empty());  // a new picture carries none of it
    EXPECT_TRUE(FileState.TransparentFrom.empty());
    EXPECT_EQ(CurrentBox().width, 30);
    EXPECT_EQ(CurrentBox().height, 20);
    EXPECT_EQ(CurrentBox().workBitmap->Row(19)[2], 255);  // filled with the background
    EXPECT_EQ(CurrentBox().workBitmap->Row(19)[0], 0);
    EXPECT_TRUE(ImageState.CurrentPath.empty());
    EXPECT_EQ(ImageState.ImageModified, 1);  // left as it was
    int slotsInUse = 0;
    for (const ImageBox& box : ImageBoxTable) slotsInUse += box.window != nullptr;
    EXPECT_EQ(slotsInUse, 1);  // the old slot was freed
}

TEST_F(NewImageDialogTest, EmptyOrImpossibleSizesKeepTheDialogOpen) {
    Answer("", "20", {kSizeOkButton, kSizeCancelButton});
    EXPECT_EQ(RunNewImageDialog(), 0);
    ASSERT_EQ(recorder.Texts().size(), 1u);
    EXPECT_EQ(recorder.Texts()[0], "Please enter the image width and height.");

    for (const char* bad : {"0", "-5", "32001", "12x", "99999999999"}) {
        recorder.shown.clear();
        Answer(bad, "20", {kSizeOkButton, kSizeCancelButton});
        EXPECT_EQ(RunNewImageDialog(), 0) << bad;
        EXPECT_EQ(recorder.Texts().size(), 1u) << bad;
    }
    EXPECT_EQ(CurrentBox().width, 240);
    EXPECT_EQ(ImageState.CurrentPath, "/tmp/picture.png");
}

TEST_F(NewImageDialogTest, ArrowsStayWithinOneAnd32000) {
    system.onModal = [](platform::HeadlessWindow& dialog) {
        platform::WindowMessage up;
        up.kind = platform::MessageKind::UpDownDelta;
        up.id = kSizeWidthArrows;
        up.delta = 1;
        dialog.FindControl(kSizeWidthField)->SetText("32000");
        dialog.Send(up);
        EXPECT_EQ(dialog.FindControl(kSizeWidthField)->Text(), "32000");
        platform::WindowMessage down = up;
        down.id = kSizeHeightArrows;
        down.delta = -1;
        dialog.FindControl(kSizeHeightField)->SetText("1");
        dialog.Send(down);
        EXPECT_EQ(dialog.FindControl(kSizeHeightField)->Text(), "1");
        dialog.FindControl(kSizeHeightField)->SetText("7");
        dialog.Send(down);
        EXPECT_EQ(dialog.FindControl(kSizeHeightField)->Text(), "6");
        dialog.Send(Command(kSizeCancelButton));
    };
    EXPECT_EQ(RunNewImageDialog(), 0);
}

TEST(ReadSizeField, AcceptsOnlyWholeNumbersInRange) {
    EXPECT_EQ(ReadSizeField("1"), 1);
    EXPECT_EQ(ReadSizeField(" 32000 "), 32000);
    EXPECT_EQ(ReadSizeField("32001"), 0);
    EXPECT_EQ(ReadSizeField("0"), 0);
    EXPECT_EQ(ReadSizeField("-3"), 0);
    EXPECT_EQ(ReadSizeField("3.5"), 0);
    EXPECT_EQ(ReadSizeField(""), 0);
}
