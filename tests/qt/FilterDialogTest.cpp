#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QThread>
#include <QTimer>
#include <QToolButton>

#include "support/QtFixture.h"
#include "support/QtInput.h"
#include "filters/Blur.h"
#include "filters/ColourAdjust.h"
#include "filters/FilterEngine.h"
#include "filters/Operations.h"
#include "panels/DialogBuilder.h"
#include "panels/ImageSizeDialog.h"
#include "panels/ValueDialog.h"
#include "platform/qt/QtCommandBar.h"
#include "platform/FilterPump.h"
#include "platform/qt/QtControls.h"
#include "shell/Dispatch.h"
#include "shell/Menus.h"

namespace {

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
    SendMouse(slider, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    for (int step = 1; step <= 4; ++step) {
        SendMouse(slider, QEvent::MouseMove, from + QPoint(dx * step / 4, 0), Qt::NoButton, Qt::LeftButton);
    }
    SendMouse(slider, QEvent::MouseButtonRelease, from + QPoint(dx, 0), Qt::LeftButton, Qt::NoButton);
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
    EXPECT_EQ(FilterState.FilterId, FILTER_NONE);
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

// Typing into a field, choosing from the list and dragging the dialog by its title, all with
// the keyboard and the mouse on the real widgets.
TEST_F(QtTest, TypedValuesTheListAndTheTitleStripThroughTheRealWidgets) {
    Start();
    PaintRamp();
    std::string field;
    int slider = 0;
    int listIndex = -1;
    bool previewedRed = false;
    raster::Rect docked{};
    raster::Rect dragged{};
    QTimer::singleShot(0, [&] {
        platform::Window& dialog = *DialogBuildState.dialog;
        QLineEdit* gamma = WidgetOf<QLineEdit>(dialog, ValueFieldId(0));
        gamma->selectAll();
        QTest::keyClicks(gamma, "600");
        field = gamma->text().toStdString();
        slider = WidgetOf<QSlider>(dialog, ValueSliderId(0))->value();
        QComboBox* channels = WidgetOf<QComboBox>(dialog, kValueListId);
        channels->setFocus();
        QTest::keyClick(channels, Qt::Key_Down);
        listIndex = ValueDialogRecord.listIndex;
        QTest::qWait(80);
        // Only the red channel of the ramp is changed by the preview.
        const PixelBuffer& work = *CurrentBox().workBitmap;
        const PixelBuffer& source = *CurrentBox().undoBitmap;
        const std::uint8_t* now = work.Row(50) + 3 * 100;
        const std::uint8_t* was = source.Row(50) + 3 * 100;
        previewedRed = now[2] != was[2] && now[1] == was[1] && now[0] == was[0];

        // A press on the title bar, within the top 15 pixels, drags the dialog.
        docked = dialog.WindowRect();
        QWindow* screen = System().Screen()->windowHandle();
        QWidget* title = WidgetOf<QLabel>(dialog, kValueTitleId);
        const QPoint from = title->mapTo(System().Screen(), QPoint(60, 8));
        QTest::mousePress(screen, Qt::LeftButton, Qt::NoModifier, from);
        QTest::mouseMove(screen, from + QPoint(30, -100));
        QTest::mouseMove(screen, from + QPoint(50, -200));
        QTest::mouseRelease(screen, Qt::LeftButton, Qt::NoModifier, from + QPoint(50, -200));
        dragged = dialog.WindowRect();
        QTest::mouseClick(WidgetOf<QPushButton>(dialog, kValueOkId), Qt::LeftButton);
    });
    System().SendCommand(CMD_GAMMA);
    EXPECT_EQ(field, "600");
    EXPECT_EQ(slider, 500);
    EXPECT_EQ(listIndex, 1);
    EXPECT_TRUE(previewedRed);
    EXPECT_EQ(dragged.left, docked.left + 50);
    EXPECT_EQ(dragged.top, docked.top - 200);
    EXPECT_EQ(dragged.Width(), docked.Width());
    // OK stored the clamped value, and the picture is gamma 500 on red alone.
    EXPECT_EQ(ValueDialogRecord.slot[0].value, 500);
    const std::vector<std::uint8_t> accepted = Bytes(*CurrentBox().workBitmap);
    CopyPixels(CurrentBox().workBitmap, CurrentBox().undoBitmap);
    ApplyLevels(0, 0, 500.0f, true, false, false);
    EXPECT_EQ(Bytes(*CurrentBox().workBitmap), accepted);
}

// A burst of slider moves while a slow preview runs, with the real event pump: the running
// preview stops once, and the picture accepted is the filter of the last position.
TEST_F(QtTest, AFastDragDuringASlowPreviewStopsItOnceThroughTheRealPump) {
    Start();
    const std::uint32_t first = ImageState.CurrentImage;
    ASSERT_EQ(CreateImage(1600, 1200), 1);
    FreeImageBox(first);
    PaintRamp();
    QSlider* amount = nullptr;
    int pumps = 0;
    int stops = 0;
    bool dragged = false;
    platform::SetFilterMessagePump([&] {
        ++pumps;
        if (amount && !dragged && FilterState.FilterBusy == kFilterRunning) {
            // The user drags between two rows of the running preview, and this row takes
            // long enough for the preview timer to come: however the rows are shared out,
            // the preview is slow.
            dragged = true;
            for (int step = 0; step < 8; ++step) amount->triggerAction(QAbstractSlider::SliderSingleStepAdd);
            for (int wait = 0; wait < 500 && FilterState.FilterBusy != kFilterRestart; ++wait) {
                QCoreApplication::processEvents(QEventLoop::AllEvents);
                QThread::msleep(1);
            }
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (FilterState.FilterBusy == kFilterRestart) ++stops;
    });
    int last = 0;
    QTimer::singleShot(0, [&] {
        platform::Window& dialog = *DialogBuildState.dialog;
        dialog.FindControl(ValueFieldId(1))->SetText("4");
        dialog.FindControl(ValueFieldId(0))->SetText("300");
        amount = WidgetOf<QSlider>(dialog, ValueSliderId(0));
        // Until the drag has come and its preview has run to the end.
        for (int wait = 0; wait < 400 && !(dragged && FilterState.FilterBusy == kFilterIdle && pumps > 0); ++wait) {
            QTest::qWait(10);
        }
        QTest::qWait(50);
        last = amount->value();
        amount = nullptr;
        QTest::mouseClick(WidgetOf<QPushButton>(dialog, kValueOkId), Qt::LeftButton);
    });
    System().SendCommand(CMD_UNSHARP_MASK);
    platform::SetFilterMessagePump([] { QCoreApplication::processEvents(QEventLoop::AllEvents); });
    EXPECT_TRUE(dragged);
    EXPECT_EQ(stops, 1);
    EXPECT_EQ(last, 308);
    EXPECT_EQ(ValueDialogRecord.slot[0].value, 308);
    EXPECT_EQ(FilterState.FilterBusy, kFilterIdle);
    const std::vector<std::uint8_t> accepted = Bytes(*CurrentBox().workBitmap);
    ASSERT_EQ(UnsharpMask(CurrentBox().undoBitmap, CurrentBox().workBitmap, 308, 4), 1);
    EXPECT_EQ(Bytes(*CurrentBox().workBitmap), accepted);
}

// The slider rows' names keep clear of their sliders, the longest ones too.
TEST_F(QtTest, SliderNamesDoNotTouchTheirSliders) {
    Start();
    for (const int command : {CMD_BRIGHTNESS_CONTRAST, CMD_HUE_SATURATION}) {
        int checked = 0;
        QTimer::singleShot(0, [&] {
            platform::Window& dialog = *DialogBuildState.dialog;
            QWidget* client = static_cast<platform::qt::QtWindow&>(dialog).Client();
            const QList<QSlider*> sliders = client->findChildren<QSlider*>();
            for (const QLabel* label : client->findChildren<QLabel*>()) {
                for (const QSlider* slider : sliders) {
                    if (std::abs(slider->y() - label->y()) > 4) continue;
                    const int textEnd = label->x() + QFontMetrics(label->font()).horizontalAdvance(label->text());
                    EXPECT_LE(textEnd + 3, slider->x()) << label->text().toStdString();
                    ++checked;
                }
            }
            QTest::mouseClick(WidgetOf<QPushButton>(dialog, kValueCloseId), Qt::LeftButton);
        });
        System().SendCommand(command);
        EXPECT_GE(checked, 2);
    }
}
