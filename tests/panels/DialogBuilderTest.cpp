#include <gtest/gtest.h>

#include <climits>

#include "panels/DialogBuilder.h"
#include "panels/ValueDialog.h"
#include "platform/Headless.h"
#include "shell/AboutBox.h"
#include "shell/MainFrame.h"
#include "shell/ProgramState.h"
#include "tools/ToolGroups.h"
#include "tools/ToolTable.h"

namespace {

// A dialog procedure that places itself and builds what the test asks for.
class BuildingProcedure : public platform::WindowHandler {
public:
    std::function<void()> build;
    int Handle(platform::Window& window, const platform::WindowMessage& message) override {
        if (message.kind == platform::MessageKind::InitDialog) {
            PlaceBuiltDialog(window);
            if (build) build();
            return 1;
        }
        if (message.kind == platform::MessageKind::Command && message.id == 1) {
            window.EndDialog(7);
            return 1;
        }
        return 0;
    }
};

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        system.screenWidth = 240;
        system.screenHeight = 320;
        platform::SetWindowSystem(&system);
        ShellState.FrameTop = 26;
        ShellState.CommandBarHeight = 26;
    }
    void TearDown() override {
        platform::SetWindowSystem(nullptr);
        ResetProgramState();
    }
    platform::HeadlessWindow& Dialog() { return *system.LastModal(); }

    platform::HeadlessWindowSystem system;
    BuildingProcedure procedure;
};

}  // namespace

TEST_F(DialogTest, CentredDialogHasItsCaptionAndSitsAThirdDown) {
    RunBuiltDialog("New Image", 222, 105, kTemplatePlain, &procedure);
    const raster::Rect r = Dialog().WindowRect();
    EXPECT_EQ(r.left, (240 - 222) / 2);
    EXPECT_EQ(r.top, (26 + 320 - 105) / 3);
    EXPECT_EQ(r.Width(), 222);
    EXPECT_EQ(r.Height(), 105);
    EXPECT_EQ(Dialog().Title(), "New Image");
    EXPECT_TRUE(Dialog().HasCaptionBar());
    EXPECT_TRUE(Dialog().IsVisible());
    EXPECT_EQ(DialogBuildState.placement, kPlacementCentred);
}

TEST_F(DialogTest, PlacementArithmetic) {
    // Truncating divisions, also for a dialog wider than the screen.
    raster::Rect r = BuiltDialogRect(kPlacementCentred, 240, 320, 26, 26, 223, 106);
    EXPECT_EQ(r.left, 8);
    EXPECT_EQ(r.top, 80);
    r = BuiltDialogRect(kPlacementCentred, 240, 320, 0, 26, 250, 400);
    EXPECT_EQ(r.left, -5);
    EXPECT_EQ(r.top, -26);
    r = BuiltDialogRect(kPlacementDocked, 480, 640, 0, 26, 242, 61);
    EXPECT_EQ(r.left, -1);
    EXPECT_EQ(r.bottom, 640 - 26 + 1);
}

TEST_F(DialogTest, ResultOfTheModalRunIsPassedBack) {
    system.onModal = [](platform::HeadlessWindow& dialog) {
        platform::WindowMessage ok;
        ok.kind = platform::MessageKind::Command;
        ok.id = 1;
        dialog.Send(ok);
    };
    EXPECT_EQ(RunBuiltDialog("Text Tool", 230, 178, kTemplatePlain, &procedure), 7);
}

TEST_F(DialogTest, FirstEnabledEditFieldGetsTheFocus) {
    platform::Control* disabled = nullptr;
    platform::Control* second = nullptr;
    platform::Control* third = nullptr;
    procedure.build = [&] {
        AddControl(platform::ControlKind::Label, 10, 2, 2, 60, 17, 0, "Width");
        disabled = AddControl(platform::ControlKind::Edit, 11, 60, 2, 40, 17, platform::kStyleDisabled, "1");
        second = AddControl(platform::ControlKind::NumberEdit, 12, 60, 22, 40, 17, 0, "2");
        third = AddControl(platform::ControlKind::MultiLineEdit, 13, 60, 42, 40, 17, 0, "3");
    };
    RunBuiltDialog("Image Size", 222, 163, kTemplatePlain, &procedure);
    ASSERT_NE(second, nullptr);
    EXPECT_FALSE(disabled->HasFocus());
    EXPECT_FALSE(disabled->IsEnabled());
    EXPECT_TRUE(second->HasFocus());
    EXPECT_FALSE(third->HasFocus());
    EXPECT_EQ(DialogBuildState.focusGiven, 1u);
}

TEST_F(DialogTest, ControlCoordinatesAreSixteenBit) {
    procedure.build = [&] {
        AddControl(platform::ControlKind::Label, 2, 0, 0, 100, 100, 0, "Behind");
        AddControl(platform::ControlKind::PushButton, 3, 70000, -70000, 65536 + 30, 20, 0, "Far");
    };
    RunBuiltDialog("Buttons", 100, 100, kTemplatePopup, &procedure);
    const auto& controls = Dialog().Controls();
    ASSERT_EQ(controls.size(), 2u);
    EXPECT_EQ(controls[1]->Id(), 3);
    const raster::Rect far = controls[1]->Geometry();
    EXPECT_EQ(far.left, static_cast<std::int16_t>(70000));
    EXPECT_EQ(far.top, static_cast<std::int16_t>(-70000));
    EXPECT_EQ(far.Width(), 30);
}

TEST_F(DialogTest, FocusFlagStartsAfreshWithEveryDialog) {
    procedure.build = [&] { AddControl(platform::ControlKind::Edit, 5, 0, 0, 40, 17, 0, ""); };
    RunBuiltDialog("One", 100, 100, kTemplatePlain, &procedure);
    EXPECT_TRUE(Dialog().FindControl(5)->HasFocus());
    RunBuiltDialog("Two", 100, 100, kTemplatePlain, &procedure);
    EXPECT_TRUE(Dialog().FindControl(5)->HasFocus());
}

TEST(ControlText, DecimalReading) {
    EXPECT_EQ(ParseDecimal(""), 0);
    EXPECT_EQ(ParseDecimal("abc"), 0);
    EXPECT_EQ(ParseDecimal("-"), 0);
    EXPECT_EQ(ParseDecimal("42"), 42);
    EXPECT_EQ(ParseDecimal("  -12px"), -12);
    EXPECT_EQ(ParseDecimal("+7"), 7);
    EXPECT_EQ(ParseDecimal("1 2"), 1);
    EXPECT_EQ(ParseDecimal("99999999999"), INT_MAX);
    EXPECT_EQ(ParseDecimal("-2147483648"), INT_MIN);
    EXPECT_EQ(ParseDecimal("-99999999999"), INT_MIN);
    EXPECT_EQ(GetControlText(nullptr), "");
}

TEST_F(DialogTest, ValueDialogHeightFollowsItsRows) {
    ValueSlot slots[3];
    slots[0] = {"Radius", 5, 10, 1, 100};
    int seenWidth = 0;
    int seenHeight = 0;
    procedure.build = [&] {
        seenWidth = DialogBuildState.width;
        seenHeight = DialogBuildState.height;
    };
    ValueDialogProcedure = &procedure;
    EXPECT_EQ(RunValueDialog("Mosaic", slots, "", "", 0), 0);
    EXPECT_EQ(seenWidth, 242);
    EXPECT_EQ(seenHeight, 41);
    // Docked on the command bar, one pixel over each side of the screen.
    raster::Rect r = Dialog().WindowRect();
    EXPECT_EQ(r.left, -1);
    EXPECT_EQ(r.right, 241);
    EXPECT_EQ(r.bottom, 320 - 26 + 1);
    EXPECT_FALSE(Dialog().HasCaptionBar());
    EXPECT_EQ(DialogBuildState.placement, kPlacementCentred);

    slots[1] = {"Amount", 0, 1, 0, 10};
    slots[2] = {"Angle", 0, 1, 0, 10};
    RunValueDialog("Waves", slots, "Direction", "Left|Right", 1);
    EXPECT_EQ(seenHeight, 101);
    EXPECT_EQ(ValueDialogRecord.slot[2].label, "Angle");
    EXPECT_EQ(ValueDialogRecord.listItems, "Left|Right");
    EXPECT_EQ(ValueDialogRecord.listIndex, 1);
    EXPECT_EQ(ValueDialogHeight(ValueDialogRecord), 101);
}

TEST_F(DialogTest, ValueDialogWithoutItsProcedureReportsCancelled) {
    ValueSlot slots[3];
    slots[0] = {"Level", 9, 10, 0, 255};
    ValueDialogProcedure = nullptr;
    EXPECT_EQ(RunValueDialog("Threshold", slots, "", "", 0), 0);
    EXPECT_EQ(system.LastModal(), nullptr);
    EXPECT_EQ(ValueDialogRecord.slot[0].value, 9);
}

TEST_F(DialogTest, AboutBoxFillsTheScreenAboveTheCommandBar) {
    ShowAboutBox();
    platform::HeadlessWindow& about = Dialog();
    EXPECT_EQ(about.Title(), "About Pixelwright");
    const raster::Rect r = about.WindowRect();
    EXPECT_EQ(r.Width(), 240 - 18);
    EXPECT_EQ(r.Height(), 320 - 26 - 26 - 20);
    EXPECT_EQ(r.left, 9);
    EXPECT_EQ(r.top, (26 + 320 - r.Height()) / 3);
    auto* field = static_cast<platform::HeadlessControl*>(about.FindControl(2000));
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->Kind(), platform::ControlKind::MultiLineEdit);
    const raster::Rect f = field->Geometry();
    EXPECT_EQ(f.left, -1);
    EXPECT_EQ(f.top, 40);
    EXPECT_EQ(f.Width(), 222);
    EXPECT_EQ(f.Height(), r.Height() - 63);
    EXPECT_TRUE(field->Style() & platform::kStyleReadOnly);
    EXPECT_TRUE(field->Style() & platform::kStyleVerticalScroll);
    EXPECT_EQ(field->BackgroundColour(), 0xFFFFFFu);
    const std::string text = field->Text();
    EXPECT_NE(text.find("JPEG"), std::string::npos);
    EXPECT_NE(text.find("libpng"), std::string::npos);
    EXPECT_NE(text.find("zlib"), std::string::npos);
    const std::string build = "\r\n\r\nBuild 1.0" + ThisBuildText();
    ASSERT_GE(text.size(), build.size());
    EXPECT_EQ(text.substr(text.size() - build.size()), build);
}

TEST(BuildNumber, FromTheBuildsDateAndTime) {
    EXPECT_EQ(BuildDateNumber("Nov  2 2005"), 51102u);
    EXPECT_EQ(BuildTimeNumber("02:58:06"), 258u);
    EXPECT_EQ(BuildText("Nov  2 2005", "02:58:06"), ".051102.0258");
    EXPECT_EQ(BuildText("Jan  5 2006", "13:07:59"), ".060105.1307");
    // In 2000 the date number has no leading zeros; the time keeps four digits.
    EXPECT_EQ(BuildText("Jan  5 2000", "00:07:00"), ".0105.0007");
    // An unknown month name counts as month 0; the case of the letters matters.
    EXPECT_EQ(BuildDateNumber("jan  5 2006"), 60005u);
    EXPECT_EQ(BuildDateNumber("Dec 31 2026"), 261231u);
    // This build's own stamp has the same shape.
    const std::string own = ThisBuildText();
    EXPECT_EQ(own.substr(0, 2), ".0");
    EXPECT_EQ(own.size(), 2 + 6 + 1 + 4u);
}

TEST(ToolGroupRecords, InitialContents) {
    FillToolGroups();
    EXPECT_EQ(ToolGroups[0].count, 4);
    EXPECT_EQ(ToolGroups[0].width, 135);
    EXPECT_EQ(ToolGroups[0].row[3]->id, kToolSelectPolygon);
    EXPECT_STREQ(ToolGroups[0].name[3], "Select Polygon");
    EXPECT_EQ(ToolGroups[0].image[1], 34);
    EXPECT_EQ(ToolGroups[1].count, 5);
    EXPECT_EQ(ToolGroups[1].row[0]->id, kToolPen);
    EXPECT_STREQ(ToolGroups[1].name[4], "Eraser");
    EXPECT_EQ(ToolGroups[1].width, 90);
    EXPECT_EQ(ToolGroups[4].count, 8);
    EXPECT_STREQ(ToolGroups[4].name[6], "Red Eye Reduction");
    EXPECT_EQ(ToolGroups[4].image[7], 31);
    EXPECT_EQ(ToolGroups[7].width, 85);
    EXPECT_EQ(ToolGroups[8].image[0], 10);
    EXPECT_EQ(ToolGroups[11].count, 2);
    EXPECT_EQ(ToolGroups[11].image[1], 16);
    EXPECT_EQ(ToolGroups[11].row[1]->id, kToolColourPicker);
    int total = 0;
    for (const ToolGroup& group : ToolGroups) {
        EXPECT_EQ(group.current, 0);
        total += group.count;
    }
    EXPECT_EQ(total, 4 + 5 + 5 + 3 + 8 + 1 + 1 + 2 + 1 + 3 + 1 + 2);
}
