#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTimer>
#include <QToolButton>

#include "support/QtFixture.h"
#include "support/QtInput.h"
#include "panels/DialogBuilder.h"
#include "platform/TapAndHold.h"
#include "platform/qt/QtControls.h"
#include "panels/ImageSizeDialog.h"
#include "panels/PanelState.h"
#include "shell/AboutBox.h"
#include "shell/Dispatch.h"
#include "shell/Menus.h"

namespace {

// A dialog with an edit field, its up-down arrows, a slider, a list and a check box, that
// records every notification it receives.
class RecordingDialog : public platform::WindowHandler {
public:
    std::vector<platform::WindowMessage> received;
    platform::Window* dialog = nullptr;
    int Handle(platform::Window& window, const platform::WindowMessage& message) override {
        if (message.kind == platform::MessageKind::InitDialog) {
            dialog = &window;
            PlaceBuiltDialog(window);
            AddControl(platform::ControlKind::Label, 10, 2, 2, 60, 17, 0, "Amount");
            AddControl(platform::ControlKind::Trackbar, 11, 60, 0, 106, 21, 0, "");
            AddControl(platform::ControlKind::Edit, 12, 166, 2, 43, 17, 0, "5");
            AddControl(platform::ControlKind::UpDown, 13, 0, 0, 0, 0, 0, "");
            AddControl(platform::ControlKind::DropDownList, 14, 2, 24, 100, 80, 0, "");
            AddControl(platform::ControlKind::CheckBox, 15, 110, 24, 80, 17, 0, "Colour");
            return 1;
        }
        received.push_back(message);
        if (message.kind == platform::MessageKind::Command && message.id == 1) window.EndDialog(1);
        return 0;
    }
    int Count(platform::MessageKind kind, int id) const {
        int n = 0;
        for (const auto& m : received) n += (m.kind == kind && m.id == id) ? 1 : 0;
        return n;
    }
};

}  // namespace

TEST_F(QtTest, ModalDialogControlsReportToTheirHandler) {
    Start();
    RecordingDialog handler;
    bool checked = false;
    QTimer::singleShot(0, [&] {
        platform::Window& dialog = *handler.dialog;
        // The first edit field has the focus.
        QLineEdit* edit = WidgetOf<QLineEdit>(dialog, 12);
        ASSERT_NE(edit, nullptr);
        EXPECT_TRUE(edit->hasFocus());
        // The arrows sit at the field's right edge, which gives up their room.
        EXPECT_LT(edit->width(), 43);
        // Writing the field, by the program or by typing, reports a change.
        dialog.FindControl(12)->SetText("17");
        QTest::keyClicks(edit, "3");
        EXPECT_EQ(GetControlText(dialog.FindControl(12)), "173");
        // The arrows and the arrow keys report their step.
        QTest::keyClick(edit, Qt::Key_Up);
        QTest::keyClick(edit, Qt::Key_Down);
        // The slider reports its moves as horizontal scrolling with its identifier.
        platform::Control* slider = dialog.FindControl(11);
        slider->SetRange(0, 50, true);
        slider->SetPageSize(10);
        slider->SetPosition(20);
        WidgetOf<QSlider>(dialog, 11)->triggerAction(QAbstractSlider::SliderPageStepAdd);
        EXPECT_EQ(slider->Position(), 30);
        // Lists filled by the program say nothing; the user's choice is reported.
        platform::Control* list = dialog.FindControl(14);
        list->AddItem("Red");
        list->AddItem("Green");
        list->SetSelection(1);
        EXPECT_EQ(list->Selection(), 1);
        EXPECT_EQ(list->ItemCount(), 2);
        WidgetOf<QComboBox>(dialog, 14)->activated(0);
        QTest::mouseClick(WidgetOf<QCheckBox>(dialog, 15), Qt::LeftButton);
        checked = dialog.FindControl(15)->IsChecked();
        QTest::keyClick(edit, Qt::Key_Return);
    });
    const int result = RunBuiltDialog("Values", 222, 105, kTemplatePlain, &handler);
    EXPECT_EQ(result, 1);
    using platform::MessageKind;
    EXPECT_EQ(handler.Count(MessageKind::Command, 12), 2);
    EXPECT_EQ(handler.Count(MessageKind::UpDownDelta, 13), 2);
    int deltas = 0;
    for (const auto& m : handler.received) {
        if (m.kind == MessageKind::UpDownDelta) deltas = deltas * 10 + (m.delta > 0 ? 1 : 2);
        if (m.kind == MessageKind::HScroll) {
            EXPECT_EQ(m.id, 11);
            EXPECT_EQ(m.scrollCode, platform::ScrollCode::PageDown);
            EXPECT_EQ(m.position, 30);
        }
    }
    EXPECT_EQ(deltas, 12);  // up first (+1), then down (-1)
    EXPECT_EQ(handler.Count(MessageKind::HScroll, 11), 1);
    EXPECT_EQ(handler.Count(MessageKind::Command, 14), 1);
    EXPECT_EQ(handler.Count(MessageKind::Command, 15), 1);
    EXPECT_TRUE(checked);
}

TEST_F(QtTest, AListEntryTooLongForItsNarrowBoxGetsSmallerLetters) {
    Start();
    RecordingDialog handler;
    bool shortKeepsTheFont = false;
    int fittedWidth = 0;
    int field = 0;
    QFont smallest;
    QTimer::singleShot(0, [&] {
        platform::Control* list = handler.dialog->FindControl(14);
        QComboBox* combo = WidgetOf<QComboBox>(*handler.dialog, 14);
        const QFont before = combo->font();
        list->AddItem("Red");
        shortKeepsTheFont = combo->font() == before;
        QStyleOptionComboBox option;
        option.initFrom(combo);
        option.frame = combo->hasFrame();
        field = combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo).width();
        // An entry a little too wide at the dialog's size fits once its letters shrink.
        QString entry = "Gray";
        while (QFontMetrics(before).horizontalAdvance(entry) <= field) entry += "s";
        list->AddItem(entry.toStdString());
        fittedWidth = QFontMetrics(combo->font()).horizontalAdvance(entry);
        // One far too long shrinks them only down to a size still easily read.
        list->AddItem("Foreground to Background and back again");
        smallest = combo->font();
        handler.dialog->EndDialog(0);
    });
    RunBuiltDialog("Values", 222, 105, kTemplatePlain, &handler);
    EXPECT_TRUE(shortKeepsTheFont);
    EXPECT_LE(fittedWidth, field);
    if (smallest.pixelSize() > 0) {
        EXPECT_GE(smallest.pixelSize(), 9);
    } else {
        EXPECT_GE(smallest.pointSizeF(), 6.5);
    }
}

TEST_F(QtTest, ModalDialogKeepsTheStylusFromTheCanvas) {
    Start();
    RecordingDialog handler;
    std::uint32_t modifiedDuring = 1;
    QTimer::singleShot(0, [&] {
        QWidget* canvas = Canvas()->Client();
        QTest::mousePress(canvas, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
        QTest::mouseRelease(canvas, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
        modifiedDuring = ImageState.ImageModified;
        handler.dialog->EndDialog(0);
    });
    EXPECT_EQ(RunBuiltDialog("Values", 222, 105, kTemplatePlain, &handler), 0);
    EXPECT_EQ(modifiedDuring, 0u);
    // Without the dialog the same tap paints (the pen takes an undo copy).
    QTest::mousePress(Canvas()->Client(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    QTest::mouseRelease(Canvas()->Client(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    EXPECT_EQ(ImageState.ImageModified, 1);
}

TEST_F(QtTest, DialogCaptionOkButtonSendsCommandOne) {
    Start();
    RecordingDialog handler;
    QTimer::singleShot(0, [&] {
        auto* dialog = static_cast<platform::qt::QtWindow*>(handler.dialog);
        QToolButton* ok = nullptr;
        for (QToolButton* button : dialog->Outer()->findChildren<QToolButton*>()) {
            if (button->text() == "OK") ok = button;
        }
        ASSERT_NE(ok, nullptr);
        ok->click();
    });
    EXPECT_EQ(RunBuiltDialog("Values", 222, 105, kTemplatePlain, &handler), 1);
}

TEST_F(QtTest, AboutBoxLooksRight) {
    Start();
    QImage shot;
    std::string text;
    QTimer::singleShot(0, [&] {
        shot = platform::qt::GrabScreen();
        text = GetControlText(DialogBuildState.dialog->FindControl(2000));
        platform::WindowMessage close;
        close.kind = platform::MessageKind::Command;
        close.id = 2004;
        DialogBuildState.dialog->Send(close);
    });
    ShowAboutBox();
    ASSERT_FALSE(shot.isNull());
    if (const char* dump = std::getenv("PW_DUMP_SCREENSHOTS")) shot.save(QString(dump) + "/about.png");
    // The box stands 9 pixels in from each side; its client area is white.
    const int width = 480 - 18;
    const int height = 640 - 26 - 20;
    const int top = (640 - height) / 3;
    EXPECT_EQ(shot.pixel(9 + width / 2, top + platform::qt::QtWindow::kCaptionHeight + 10) & 0xFFFFFF, 0xFFFFFFu);
    // The bold title is drawn in black somewhere right of the icon.
    bool ink = false;
    for (int x = 9 + 44; x < 9 + 200 && !ink; ++x) {
        for (int y = top + 21 + 19; y < top + 21 + 41 && !ink; ++y) ink = qGray(shot.pixel(x, y)) < 60;
    }
    EXPECT_TRUE(ink);
    EXPECT_NE(text.find("\r\n\r\nBuild 1.0.0"), std::string::npos);
}

TEST_F(QtTest, RightButtonIsTheSecondaryAction) {
    Start();
    int result = -1;
    platform::qt::QtWindow* canvas = Canvas();
    System().NotePress(Qt::RightButton);
    result = platform::RecognizeTapAndHold(*canvas, 10, 10);
    EXPECT_EQ(result, platform::kGestureContextMenu);
}

TEST_F(QtTest, PressHeldStillIsTheSecondaryActionAndAQuickTapIsNot) {
    Start();
    platform::qt::QtWindow* canvas = Canvas();
    System().NotePress(Qt::LeftButton);
    EXPECT_EQ(platform::RecognizeTapAndHold(*canvas, 10, 10), platform::kGestureContextMenu);
    // A release during the wait ends it: the release is due long before the hold is, and
    // timers fire in the order they are due, so a 0 here means the release ended the wait.
    // How soon it returns is measured by BM_TapAndHoldQuickTap.
    QWindow* window = System().Screen()->windowHandle();
    ASSERT_NE(window, nullptr);
    const QPoint at = canvas->Client()->mapTo(System().Screen(), QPoint(10, 10));
    QTimer::singleShot(50, [&] { QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, at); });
    EXPECT_EQ(platform::RecognizeTapAndHold(*canvas, 10, 10), 0);
}

TEST_F(QtTest, NewImageDialogMakesTheTypedSize) {
    Start();
    QImage shot;
    QTimer::singleShot(0, [&] {
        shot = platform::qt::GrabScreen();
        DialogBuildState.dialog->FindControl(kSizeWidthField)->SetText("64");
        DialogBuildState.dialog->FindControl(kSizeHeightField)->SetText("48");
        platform::WindowMessage ok;
        ok.kind = platform::MessageKind::Command;
        ok.id = kSizeOkButton;
        DialogBuildState.dialog->Send(ok);
    });
    ASSERT_EQ(RunNewImageDialog(), 1);
    ASSERT_FALSE(shot.isNull());
    if (const char* dump = std::getenv("PW_DUMP_SCREENSHOTS")) shot.save(QString(dump) + "/newimage.png");
    EXPECT_EQ(CurrentBox().width, 64);
    EXPECT_EQ(CurrentBox().height, 48);
}

TEST_F(QtTest, ImageSizeDialogKeepsTheRatioInTheRealFields) {
    Start();
    const std::uint32_t first = ImageState.CurrentImage;
    ASSERT_EQ(CreateImage(200, 100), 1);
    FreeImageBox(first);
    PanelState.ConstrainProportions = 1;
    PanelState.ResizeImage = 1;
    QImage shot;
    std::string followed;
    int listHeight = 0;
    QTimer::singleShot(0, [&] {
        shot = platform::qt::GrabScreen();
        DialogBuildState.dialog->FindControl(kSizeWidthField)->SetText("120");
        followed = DialogBuildState.dialog->FindControl(kSizeHeightField)->Text();
        // Closed, the mode list is one line and leaves the buttons below it free.
        listHeight = DialogBuildState.dialog->FindControl(kSizeModeList)->Geometry().Height();
        platform::WindowMessage ok;
        ok.kind = platform::MessageKind::Command;
        ok.id = kSizeOkButton;
        DialogBuildState.dialog->Send(ok);
    });
    DispatchCommand(CMD_IMAGE_SIZE);
    ASSERT_FALSE(shot.isNull());
    if (const char* dump = std::getenv("PW_DUMP_SCREENSHOTS")) shot.save(QString(dump) + "/imagesize.png");
    EXPECT_EQ(followed, "60");
    EXPECT_EQ(listHeight, 20);
    EXPECT_EQ(CurrentBox().width, 120);
    EXPECT_EQ(CurrentBox().height, 60);
}
