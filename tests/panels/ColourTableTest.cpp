#include <functional>

#include "support/PanelFixture.h"
#include "panels/ColourTable.h"
#include "panels/Palettes.h"
#include "panels/ToolBar.h"

namespace {

using platform::MessageKind;

class ColourTableTest : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        Start();
    }
    // Runs the dialog with the user's part played by act.
    void Run(std::uint8_t target, std::function<void(platform::HeadlessWindow&)> act) {
        PanelState.PickTarget = target;
        system.onModal = [act](platform::HeadlessWindow& dialog) {
            Paint(&dialog);
            act(dialog);
        };
        RunColourTableDialog();
        system.onModal = nullptr;
    }
    static std::string Field(platform::HeadlessWindow& dialog, int id) { return dialog.FindControl(id)->Text(); }
    static void Send(platform::HeadlessWindow& dialog, MessageKind kind, int id, int delta = 0) {
        platform::WindowMessage message;
        message.kind = kind;
        message.id = id;
        message.delta = delta;
        dialog.Send(message);
    }
    static void Press(platform::HeadlessWindow& dialog, int id) { Send(dialog, MessageKind::Command, id); }
};

void ExpectGeometry(platform::HeadlessWindow& dialog, int id, int x, int y, int width, int height) {
    platform::Control* control = dialog.FindControl(id);
    ASSERT_NE(control, nullptr) << id;
    const raster::Rect r = control->Geometry();
    EXPECT_EQ(r.left, x) << id;
    EXPECT_EQ(r.top, y) << id;
    EXPECT_EQ(r.Width(), width) << id;
    EXPECT_EQ(r.Height(), height) << id;
}

}  // namespace

TEST_F(ColourTableTest, EveryControlIsAtItsPlace) {
    PaintSettings.Palette = kPaletteGreen;
    PaintSettings.BColor = raster::MakeColour(1, 2, 3);
    Run(kPickBackground, [](platform::HeadlessWindow& dialog) {
        EXPECT_EQ(dialog.Title(), "Background Color");
        EXPECT_TRUE(dialog.HasCaptionBar());
        EXPECT_EQ(dialog.WindowRect().Width(), 236);
        EXPECT_EQ(dialog.WindowRect().Height(), 178);
        ExpectGeometry(dialog, 2000, 151, 44, 13, 20);
        ExpectGeometry(dialog, kTableRedField, 167, 43, 40, 17);
        ExpectGeometry(dialog, kTableGreenField, 167, 64, 40, 17);
        ExpectGeometry(dialog, kTableBlueField, 167, 85, 40, 17);
        ExpectGeometry(dialog, kTableOkButton, 151, 111, 79, 17);
        ExpectGeometry(dialog, kTableCancelButton, 151, 131, 79, 17);
        ExpectGeometry(dialog, kTableListLabel, 151, 1, 79, 15);
        ExpectGeometry(dialog, kTablePaletteList, 151, 16, 79, 110);
        EXPECT_NE(dialog.FindControl(kTableBlueArrows), nullptr);
        EXPECT_EQ(dialog.FindControl(kTableListLabel)->Text(), "Color Table:");
        auto* list = static_cast<platform::HeadlessControl*>(dialog.FindControl(kTablePaletteList));
        EXPECT_EQ(list->Items(), (std::vector<std::string>{"Spectrum", "Default", "VisiBone", "Grayscale", "Red",
                                                           "Green", "Blue"}));
        EXPECT_EQ(list->Selection(), kPaletteGreen);
        EXPECT_EQ(Field(dialog, kTableRedField), "1");
        EXPECT_EQ(Field(dialog, kTableGreenField), "2");
        EXPECT_EQ(Field(dialog, kTableBlueField), "3");
        // The table in its frame, and the sample square.
        EXPECT_EQ(raster::GetPixel(dialog.GetDC(), 3, 3), 0u);
        EXPECT_EQ(raster::GetPixel(dialog.GetDC(), 4, 4), raster::MakeColour(0, 255, 0));
        EXPECT_EQ(raster::GetPixel(dialog.GetDC(), 215, 50), raster::MakeColour(1, 2, 3));
        EXPECT_EQ(raster::GetPixel(dialog.GetDC(), 211, 43), 0u);
        Press(dialog, kTableCancelButton);
    });
}

TEST_F(ColourTableTest, PickingChangesOnlyTheTargetColourAndOkWritesBoth) {
    PaintSettings.Palette = kPaletteRed;
    PaintSettings.FColor = raster::MakeColour(9, 9, 9);
    Run(kPickBackground, [](platform::HeadlessWindow& dialog) {
        Stylus(&dialog, MessageKind::StylusDown, 2, 2);  // outside the table
        EXPECT_EQ(PanelState.DialogColours[1], 0xFFFFFFu);
        Stylus(&dialog, MessageKind::StylusMove, 4, 4);
        EXPECT_EQ(PanelState.DialogColours[1], raster::MakeColour(255, 0, 0));
        EXPECT_EQ(Field(dialog, kTableRedField), "255");
        EXPECT_EQ(Field(dialog, kTableGreenField), "0");
        Stylus(&dialog, MessageKind::StylusMove, 145, 145);  // the last entry
        EXPECT_EQ(PanelState.DialogColours[1], raster::MakeColour(0, 0, 0));
        Stylus(&dialog, MessageKind::StylusMove, 146, 20);  // off the table: kept
        EXPECT_EQ(PanelState.DialogColours[1], raster::MakeColour(0, 0, 0));
        Stylus(&dialog, MessageKind::StylusUp, 146, 20);
        Stylus(&dialog, MessageKind::StylusMove, 4, 4);  // no longer tracking
        EXPECT_EQ(PanelState.DialogColours[1], raster::MakeColour(0, 0, 0));
        EXPECT_EQ(PanelState.DialogColours[0], raster::MakeColour(9, 9, 9));
        Press(dialog, kTableOkButton);
        EXPECT_TRUE(dialog.Ended());
        EXPECT_EQ(dialog.Result(), 2);
    });
    EXPECT_EQ(PaintSettings.BColor, 0u);
    EXPECT_EQ(PaintSettings.FColor, raster::MakeColour(9, 9, 9));
}

TEST_F(ColourTableTest, TypedValuesKeepTheirLowEightBitsAndTheArrowsStopAtTheEnds) {
    Run(kPickForeground, [](platform::HeadlessWindow& dialog) {
        dialog.FindControl(kTableRedField)->SetText("300");
        EXPECT_EQ(PanelState.DialogColours[0], raster::MakeColour(44, 0, 0));
        EXPECT_EQ(raster::GetPixel(dialog.GetDC(), 215, 50), raster::MakeColour(44, 0, 0));
        dialog.FindControl(kTableGreenField)->SetText("255");
        Send(dialog, MessageKind::UpDownDelta, kTableGreenArrows, +1);
        EXPECT_EQ(Field(dialog, kTableGreenField), "255");
        Send(dialog, MessageKind::UpDownDelta, kTableGreenArrows, -1);
        EXPECT_EQ(Field(dialog, kTableGreenField), "254");
        // The arrows also write the other fields back as the colour has them.
        EXPECT_EQ(Field(dialog, kTableRedField), "44");
        Send(dialog, MessageKind::UpDownDelta, kTableBlueArrows, -1);
        EXPECT_EQ(Field(dialog, kTableBlueField), "0");
        Send(dialog, MessageKind::UpDownDelta, kTableBlueArrows, +1);
        EXPECT_EQ(PanelState.DialogColours[0], raster::MakeColour(44, 254, 1));
        // An empty red field leaves the working colour as it was.
        dialog.FindControl(kTableRedField)->SetText("");
        EXPECT_EQ(PanelState.DialogColours[0], raster::MakeColour(44, 254, 1));
        Press(dialog, 1);  // Enter
    });
    EXPECT_EQ(PaintSettings.FColor, raster::MakeColour(44, 254, 1));
}

TEST_F(ColourTableTest, CancelKeepsTheNewPaletteButNotThePickedColour) {
    PaintSettings.Palette = kPaletteVisiBone;
    Run(kPickForeground, [](platform::HeadlessWindow& dialog) {
        dialog.FindControl(kTablePaletteList)->SetSelection(kPaletteGrayscale);
        Press(dialog, kTablePaletteList);
        EXPECT_EQ(PaintSettings.Palette, kPaletteGrayscale);
        EXPECT_EQ(raster::GetPixel(dialog.GetDC(), 13, 4), raster::MakeColour(254, 254, 254));
        Stylus(&dialog, MessageKind::StylusDown, 20, 4);
        Stylus(&dialog, MessageKind::StylusUp, 20, 4);
        EXPECT_EQ(PanelState.DialogColours[0], raster::MakeColour(254, 254, 254));
        Press(dialog, kTableCancelButton);
    });
    EXPECT_EQ(PaintSettings.Palette, kPaletteGrayscale);
    EXPECT_EQ(PaintSettings.FColor, 0u);
}

TEST_F(ColourTableTest, HoldingTheSwatchOpensTheTableForTheSquareUnderTheStylus) {
    static std::string title;
    system.onModal = [](platform::HeadlessWindow& dialog) {
        title = dialog.Title();
        dialog.FindControl(kTableBlueField)->SetText("200");
        Press(dialog, kTableOkButton);
    };
    platform::Window* bar = ShellState.ToolBarWindow;
    ASSERT_NE(bar, nullptr);
    system.tapAndHold = true;
    Tap(bar, 160 + 17, 15);
    EXPECT_EQ(title, "Background Color");
    EXPECT_EQ(PaintSettings.BColor, raster::MakeColour(255, 255, 200));
    EXPECT_EQ(raster::GetPixel(bar->GetDC(), 176, 15), raster::MakeColour(255, 255, 200));
    Tap(bar, 160 + 2, 5);  // neither square: the target stays the background
    EXPECT_EQ(title, "Background Color");
    Tap(bar, 160 + 8, 5);
    EXPECT_EQ(title, "Foreground Color");
    EXPECT_EQ(PaintSettings.FColor, raster::MakeColour(0, 0, 200));
    system.tapAndHold = false;
    EXPECT_EQ(PanelState.ColourPopupWindow, nullptr);
}
