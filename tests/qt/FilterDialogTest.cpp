#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTimer>
#include <QToolButton>

#include "QtFixture.h"
#include "filters/ColourAdjust.h"
#include "filters/FilterEngine.h"
#include "filters/Operations.h"
#include "panels/DialogBuilder.h"
#include "panels/ImageSizeDialog.h"
#include "panels/ValueDialog.h"
#include "platform/qt/QtCommandBar.h"
#include "platform/qt/QtControls.h"
#include "shell/Dispatch.h"
#include "shell/Menus.h"

namespace {

template <typename T>
T* WidgetOf(platform::Window& dialog, int id) {
    auto* control = static_cast<platform::qt::QtControl*>(dialog.FindControl(id));
    return control ? qobject_cast<T*>(control->Widget()) : nullptr;
}

void Mouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// Drags a slider's handle by dx pixels with the mouse.
void DragHandle(QSlider* slider, int dx) {
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->sliderPosition();
    option.sliderValue = slider->value();
    const QRect handle =
        slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider);
    const QPoint from = handle.center();
    Mouse(slider, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    for (int step = 1; step <= 4; ++step) {
        Mouse(slider, QEvent::MouseMove, from + QPoint(dx * step / 4, 0), Qt::NoButton, Qt::LeftButton);
    }
    Mouse(slider, QEvent::MouseButtonRelease, from + QPoint(dx, 0), Qt::LeftButton, Qt::NoButton);
}

// The up and the down arrow of an up-down control.
QToolButton* ArrowOf(platform::Window& dialog, int id, Qt::ArrowType arrow) {
    QWidget* box = WidgetOf<QWidget>(dialog, id);
    if (!box) return nullptr;
    for (QToolButton* button : box->findChildren<QToolButton*>()) {
        if (button->arrowType() == arrow) return button;
    }
    return nullptr;
}

QAction* FindAction(QMenu* menu, const QString& text) {
    for (QAction* action : menu->actions()) {
        if (action->text() == text) return action;
        if (action->menu()) {
            if (QAction* inner = FindAction(action->menu(), text)) return inner;
        }
    }
    return nullptr;
}

// A grey ramp across the image, shown on the canvas.
void PaintRamp() {
    PixelBuffer& work = *CurrentBox().workBitmap;
    for (int y = 0; y < work.Height(); ++y) {
        for (int x = 0; x < work.Width(); ++x) {
            std::uint8_t* p = work.Row(y) + 3 * x;
            p[0] = p[1] = p[2] = static_cast<std::uint8_t>(40 + x / 2);
        }
    }
    PaintView(CurrentBox().window->GetDC(), CurrentBox());
    QCoreApplication::processEvents();
}

std::vector<std::uint8_t> Bytes(const PixelBuffer& buffer) {
    return std::vector<std::uint8_t>(buffer.Bits(), buffer.Bits() + buffer.ByteSize());
}

// Whether the field shows its whole text: drawn wider it looks the same in the width it has
// (its right border aside), so nothing was scrolled out of sight.
bool ShowsWhole(QLineEdit* edit) {
    edit->clearFocus();
    const QSize size = edit->size();
    const QImage narrow = edit->grab().toImage();
    edit->resize(size.width() + 60, size.height());
    const QImage wide = edit->grab().toImage();
    edit->resize(size);
    const QRect inside(0, 0, size.width() - 1, size.height());
    return narrow.copy(inside) == wide.copy(inside);
}

void Dump(const QImage& shot, const char* name) {
    if (const char* dump = std::getenv("PW_DUMP_SCREENSHOTS")) shot.save(QString(dump) + "/" + name);
}

}  // namespace

TEST_F(QtTest, FilterDialogFromTheMenuPreviewsLiveThenOkAndUndo) {
    Start();
    PaintRamp();
    const std::vector<std::uint8_t> before = Bytes(*CurrentBox().workBitmap);
    const QImage screenBefore = platform::qt::GrabScreen();

    std::unique_ptr<QMenu> image;
    QAction* brightness = nullptr;
    for (int index = 0; index < 8 && !brightness; ++index) {
        image = System().Bar()->BuildMenu(index);
        if (image) brightness = FindAction(image.get(), "Brightness/Contrast...");
    }
    ASSERT_NE(brightness, nullptr);

    QImage opened;
    QImage previewed;
    bool changedOnScreen = false;
    int slider = 0;
    std::string field;
    QTimer::singleShot(0, [&] {
        platform::Window& dialog = *DialogBuildState.dialog;
        opened = platform::qt::GrabScreen();
        QSlider* brightnessSlider = WidgetOf<QSlider>(dialog, ValueSliderId(0));
        ASSERT_NE(brightnessSlider, nullptr);
        DragHandle(brightnessSlider, 30);
        slider = brightnessSlider->value();
        field = dialog.FindControl(ValueFieldId(0))->Text();
        QTest::qWait(100);  // the preview timer fires and the filter runs
        previewed = platform::qt::GrabScreen();
        // The canvas shows the brighter ramp.
        changedOnScreen = qGray(previewed.pixel(100, 100)) > qGray(screenBefore.pixel(100, 100));
        QTest::mouseClick(WidgetOf<QPushButton>(dialog, kValueOkId), Qt::LeftButton);
    });
    brightness->trigger();
    Dump(opened, "brightness-opened.png");
    Dump(previewed, "brightness-previewed.png");
    EXPECT_GT(slider, 0);
    EXPECT_EQ(field, std::to_string(slider));
    EXPECT_TRUE(changedOnScreen);
    EXPECT_EQ(FilterId, FILTER_NONE);
    // The docked dialog sat on the command bar across the screen.
    ASSERT_FALSE(opened.isNull());
    const int dialogTop = 640 - 26 - 81 + 1;
    EXPECT_EQ(qGray(opened.pixel(120, dialogTop + 40)), 255);  // its white client area

    // The accepted image is the filter of the final value.
    std::vector<std::uint8_t> after = Bytes(*CurrentBox().workBitmap);
    EXPECT_NE(after, before);
    CopyPixels(CurrentBox().workBitmap, CurrentBox().undoBitmap);
    ApplyLevels(slider, 0, 0.0f, true, true, true);
    EXPECT_EQ(Bytes(*CurrentBox().workBitmap), after);
    CopyPixels(CurrentBox().workBitmap, CurrentBox().undoBitmap);
    for (std::size_t i = 0; i < after.size(); ++i) CurrentBox().workBitmap->Bits()[i] = after[i];

    System().SendCommand(CMD_UNDO);
    EXPECT_EQ(Bytes(*CurrentBox().workBitmap), before);
}

TEST_F(QtTest, FilterDialogCloseButtonPutsThePictureBack) {
    Start();
    PaintRamp();
    const std::vector<std::uint8_t> before = Bytes(*CurrentBox().workBitmap);
    bool previewChanged = false;
    QTimer::singleShot(0, [&] {
        platform::Window& dialog = *DialogBuildState.dialog;
        QTest::qWait(60);  // Add Noise previews its amount 50 at once
        previewChanged = Bytes(*CurrentBox().workBitmap) != before;
        Dump(platform::qt::GrabScreen(), "addnoise.png");
        QTest::mouseClick(WidgetOf<QPushButton>(dialog, kValueCloseId), Qt::LeftButton);
    });
    System().SendCommand(CMD_ADD_NOISE);
    EXPECT_TRUE(previewChanged);
    EXPECT_EQ(Bytes(*CurrentBox().workBitmap), before);
}

// Every dialog with arrows: up raises the number, down lowers it.
TEST_F(QtTest, UpArrowsRaiseAndDownArrowsLowerInEveryDialog) {
    Start();
    std::vector<std::string> values;
    QTimer::singleShot(0, [&] {
        platform::Window& dialog = *DialogBuildState.dialog;
        QTest::mouseClick(ArrowOf(dialog, ValueArrowsId(0), Qt::UpArrow), Qt::LeftButton);
        values.push_back(dialog.FindControl(ValueFieldId(0))->Text());
        values.push_back(std::to_string(dialog.FindControl(ValueSliderId(0))->Position()));
        QTest::mouseClick(ArrowOf(dialog, ValueArrowsId(0), Qt::DownArrow), Qt::LeftButton);
        QTest::mouseClick(ArrowOf(dialog, ValueArrowsId(0), Qt::DownArrow), Qt::LeftButton);
        values.push_back(dialog.FindControl(ValueFieldId(0))->Text());
        // The arrow keys in the field step it the same way.
        QLineEdit* edit = WidgetOf<QLineEdit>(dialog, ValueFieldId(0));
        QTest::keyClick(edit, Qt::Key_Up);
        values.push_back(dialog.FindControl(ValueFieldId(0))->Text());
        QTest::mouseClick(WidgetOf<QPushButton>(dialog, kValueCloseId), Qt::LeftButton);
    });
    System().SendCommand(CMD_THRESHOLD);
    EXPECT_EQ(values, (std::vector<std::string>{"129", "129", "127", "128"}));

    values.clear();
    QTimer::singleShot(0, [&] {
        platform::Window& dialog = *DialogBuildState.dialog;
        QTest::mouseClick(ArrowOf(dialog, kSizeWidthArrows, Qt::UpArrow), Qt::LeftButton);
        values.push_back(dialog.FindControl(kSizeWidthField)->Text());
        QTest::mouseClick(ArrowOf(dialog, kSizeHeightArrows, Qt::DownArrow), Qt::LeftButton);
        values.push_back(dialog.FindControl(kSizeHeightField)->Text());
        QTest::mouseClick(WidgetOf<QPushButton>(dialog, kSizeCancelButton), Qt::LeftButton);
    });
    System().SendCommand(CMD_IMAGE_SIZE);
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[0], "241");
    // With the proportions kept the height followed the width up before the down arrow.
    EXPECT_EQ(values[1], std::to_string(std::stoi(values[0]) * 228 / 240 - 1));
}

// Every operation with values opens its docked dialog from its command, titled and with the
// rows of the table of operations, and closing it leaves the picture as it was.
TEST_F(QtTest, EveryValueDialogOpensWithItsRowsAndCloses) {
    Start();
    PaintRamp();
    const std::vector<std::uint8_t> before = Bytes(*CurrentBox().workBitmap);
    int opened = 0;
    for (const Operation& op : Operations()) {
        if (op.dialog != OperationDialog::Values) continue;
        SCOPED_TRACE(op.batchName);
        int rows = 0;
        while (SlotOf(op, rows)) ++rows;
        const bool list = ListOf(op) != nullptr;
        std::string title;
        int height = 0;
        int sliders = 0;
        bool listShown = false;
        int rightmost = 0;
        std::vector<std::string> cut;
        QTimer::singleShot(0, [&] {
            platform::Window& dialog = *DialogBuildState.dialog;
            QTest::qWait(30);
            title = dialog.FindControl(kValueTitleId)->Text();
            height = dialog.WindowRect().Height();
            for (int k = 0; k < 3; ++k) sliders += WidgetOf<QSlider>(dialog, ValueSliderId(k)) != nullptr ? 1 : 0;
            listShown = WidgetOf<QWidget>(dialog, kValueListId) != nullptr;
            for (int id : {kValueOkId, kValueListId, ValueFieldId(0), ValueFieldId(1), ValueFieldId(2)}) {
                if (platform::Control* c = dialog.FindControl(id)) rightmost = std::max(rightmost, c->Geometry().right);
            }
            Dump(platform::qt::GrabScreen().copy(0, 640 - 26 - height - 10, 250, height + 10),
                 (std::string("value-") + op.batchName + ".png").c_str());
            // The widest number of each slot, its minimum, fits its field beside the arrows.
            for (int k = 0; k < rows; ++k) {
                const std::string widest = std::to_string(ValueDialogRecord.slot[k].min);
                dialog.FindControl(ValueFieldId(k))->SetText(widest);
                if (!ShowsWhole(WidgetOf<QLineEdit>(dialog, ValueFieldId(k)))) cut.push_back(widest);
            }
            QTest::mouseClick(WidgetOf<QPushButton>(dialog, kValueCloseId), Qt::LeftButton);
        });
        System().SendCommand(op.command);
        ++opened;
        EXPECT_EQ(title, op.title);
        EXPECT_EQ(height, 41 + 20 * std::max(0, rows - 1) + (list ? 20 : 0));
        EXPECT_EQ(sliders, rows);
        EXPECT_EQ(listShown, list);
        EXPECT_LE(rightmost, 240);  // everything inside the client area
        EXPECT_EQ(cut, std::vector<std::string>{});
        ASSERT_EQ(Bytes(*CurrentBox().workBitmap), before);
    }
    EXPECT_EQ(opened, 18);
}
