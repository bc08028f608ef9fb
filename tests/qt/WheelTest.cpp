// The mouse wheel and the touchpad over the canvas, through the real widgets: scrolling, and
// Ctrl+wheel zooming about the image point under the pointer.
#include <QWheelEvent>

#include "support/QtFixture.h"
#include "platform/raster/Draw.h"
#include "tools/CanvasWheel.h"

namespace {

class WheelTest : public QtTest {
protected:
    // A picture larger than the window, every pixel coloured by its place so that the screen
    // tells which image pixel it shows.
    void StartWithLargePicture() {
        Start();
        ASSERT_EQ(CreateImage(kWidth, kHeight), 1);
        PixelBuffer& work = *CurrentBox().workBitmap;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) raster::SetPixel(*CurrentBox().workDc, x, y, ColourOf(x, y));
        }
        CopyPixels(CurrentBox().undoBitmap, &work);
        LayoutBars();
        SetupScrollBars(ImageState.CurrentImage, 0.0f, 0.0f);
        QCoreApplication::processEvents();
    }
    static raster::Colour ColourOf(int x, int y) {
        return raster::MakeColour(static_cast<std::uint8_t>(x & 0xFF), static_cast<std::uint8_t>(y & 0xFF),
                                  static_cast<std::uint8_t>(((x >> 8) << 4) | (y >> 8)));
    }
    QWidget* Client() { return Canvas()->Client(); }
    void Turn(QPoint at, QPoint angle, Qt::KeyboardModifiers modifiers = Qt::NoModifier, QPoint pixels = {}) {
        QWheelEvent event(QPointF(at), QPointF(Client()->mapToGlobal(at)), pixels, angle, Qt::NoButton, modifiers,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(Client(), &event);
        QCoreApplication::processEvents();
    }
    // The image point under a window point, as the canvas reads a tap there.
    static raster::Point ImagePointAt(QPoint at) {
        const ImageBox& box = CurrentBox();
        const CanvasPoint p = CanvasCoordinates(at.x(), at.y(), box.scrollX, box.scrollY, ImageState.ZoomFactor);
        return {p.ImageX(), p.ImageY()};
    }
    // What the screen shows there, as an image colour.
    raster::Colour ShownAt(QPoint at) {
        const QRgb rgb = Client()->grab().toImage().pixel(at);
        return raster::MakeColour(static_cast<std::uint8_t>(qRed(rgb)), static_cast<std::uint8_t>(qGreen(rgb)),
                                  static_cast<std::uint8_t>(qBlue(rgb)));
    }
    void ExpectPointKept(QPoint at, raster::Point before) {
        const raster::Point after = ImagePointAt(at);
        EXPECT_EQ(after.x, before.x) << "zoom " << ImageState.ZoomFactor;
        EXPECT_EQ(after.y, before.y) << "zoom " << ImageState.ZoomFactor;
        EXPECT_EQ(ShownAt(at), ColourOf(after.x, after.y)) << "zoom " << ImageState.ZoomFactor;
    }
    static constexpr int kWidth = 2400;
    static constexpr int kHeight = 2000;
    static constexpr QPoint kNotchUp{0, 120};
    static constexpr QPoint kNotchDown{0, -120};
};

}  // namespace

TEST_F(WheelTest, TurnsScrollDownAndUpAndSidewaysWithShift) {
    StartWithLargePicture();
    const QPoint at(100, 100);
    Turn(at, kNotchDown);
    EXPECT_EQ(CurrentBox().scrollY, kWheelScrollPixels);
    Turn(at, kNotchDown * 2);
    EXPECT_EQ(CurrentBox().scrollY, 3 * kWheelScrollPixels);
    EXPECT_EQ(Canvas()->GetScrollBar(platform::ScrollBarKind::Vertical).position, 3 * kWheelScrollPixels);
    Turn(at, kNotchUp);
    EXPECT_EQ(CurrentBox().scrollY, 2 * kWheelScrollPixels);
    EXPECT_EQ(CurrentBox().scrollX, 0);
    Turn(at, kNotchDown, Qt::ShiftModifier);
    EXPECT_EQ(CurrentBox().scrollX, kWheelScrollPixels);
    EXPECT_EQ(CurrentBox().scrollY, 2 * kWheelScrollPixels);
    // A tilting wheel scrolls sideways by itself.
    Turn(at, QPoint(-120, 0));
    EXPECT_EQ(CurrentBox().scrollX, 2 * kWheelScrollPixels);
    EXPECT_EQ(ShownAt(at), ColourOf(at.x() + 2 * kWheelScrollPixels, at.y() + 2 * kWheelScrollPixels));
    // Never past the ends.
    for (int i = 0; i < 40; ++i) Turn(at, kNotchUp);
    EXPECT_EQ(CurrentBox().scrollY, 0);
    for (int i = 0; i < 40; ++i) Turn(at, kNotchDown);
    const int client = Canvas()->ClientRect().Height();
    EXPECT_EQ(CurrentBox().scrollY, kHeight - client);
    EXPECT_EQ(ShownAt(QPoint(5, client - 1)), ColourOf(5 + 2 * kWheelScrollPixels, kHeight - 1));
}

TEST_F(WheelTest, FineWheelsAndTouchpadsScrollSmoothly) {
    StartWithLargePicture();
    const QPoint at(50, 60);
    // Eighths of a notch add up: none is lost, each moves the picture a little.
    int last = 0;
    for (int i = 0; i < 8; ++i) {
        Turn(at, QPoint(0, -15));
        EXPECT_GT(CurrentBox().scrollY, last);
        last = CurrentBox().scrollY;
    }
    EXPECT_EQ(CurrentBox().scrollY, kWheelScrollPixels);
    // A touchpad's own distances are taken as they come, both ways at once.
    Turn(at, QPoint(-9, -12), Qt::NoModifier, QPoint(-7, -3));
    EXPECT_EQ(CurrentBox().scrollX, 7);
    EXPECT_EQ(CurrentBox().scrollY, kWheelScrollPixels + 3);
    Turn(at, QPoint(3, 0), Qt::NoModifier, QPoint(2, 0));
    EXPECT_EQ(CurrentBox().scrollX, 5);
}

TEST_F(WheelTest, CtrlWheelZoomsAboutTheImagePointUnderThePointer) {
    StartWithLargePicture();
    // Scrolled well into the picture, so that the point can stay put at every zoom tried.
    for (int i = 0; i < 10; ++i) {
        Turn(QPoint(10, 10), kNotchDown);
        Turn(QPoint(10, 10), kNotchDown, Qt::ShiftModifier);
    }
    const QPoint at(173, 141);
    raster::Point point = ImagePointAt(at);
    ASSERT_EQ(point.x, 173 + 10 * kWheelScrollPixels);
    ASSERT_EQ(point.y, 141 + 10 * kWheelScrollPixels);
    Turn(at, kNotchUp, Qt::ControlModifier);
    EXPECT_FLOAT_EQ(ImageState.ZoomFactor, 2.0f);
    ExpectPointKept(at, point);
    Turn(at, kNotchUp, Qt::ControlModifier);
    EXPECT_FLOAT_EQ(ImageState.ZoomFactor, 4.0f);
    ExpectPointKept(at, point);
    // Elsewhere, and back out past 100 %.
    const QPoint other(301, 57);
    point = ImagePointAt(other);
    for (float expected : {2.0f, 1.0f}) {
        Turn(other, kNotchDown, Qt::ControlModifier);
        EXPECT_FLOAT_EQ(ImageState.ZoomFactor, expected);
        ExpectPointKept(other, point);
    }
    // Below 100 % a window pixel covers two image pixels: the point stays under that pixel.
    Turn(other, kNotchDown, Qt::ControlModifier);
    EXPECT_FLOAT_EQ(ImageState.ZoomFactor, 0.5f);
    const raster::Point small = ImagePointAt(other);
    EXPECT_LE(std::abs(small.x - point.x), 1);
    EXPECT_LE(std::abs(small.y - point.y), 1);
}

TEST_F(WheelTest, ZoomStaysWithinItsBoundsAndWaitsForWholeNotches) {
    StartWithLargePicture();
    const QPoint at(120, 90);
    // Half a notch does nothing yet; the other half zooms.
    Turn(at, QPoint(0, 60), Qt::ControlModifier);
    EXPECT_FLOAT_EQ(ImageState.ZoomFactor, 1.0f);
    Turn(at, QPoint(0, 60), Qt::ControlModifier);
    EXPECT_FLOAT_EQ(ImageState.ZoomFactor, 2.0f);
    for (int i = 0; i < 10; ++i) Turn(at, kNotchUp, Qt::ControlModifier);
    EXPECT_FLOAT_EQ(ImageState.ZoomFactor, kMaxZoom);
    for (int i = 0; i < 20; ++i) Turn(at, kNotchDown, Qt::ControlModifier);
    EXPECT_FLOAT_EQ(ImageState.ZoomFactor, kMinZoom);
    // A picture smaller than the window cannot follow the pointer: it stays at the corner.
    EXPECT_EQ(CurrentBox().scrollX, 0);
    EXPECT_EQ(CurrentBox().scrollY, 0);
}

TEST_F(WheelTest, NothingMovesWhileTheStylusIsDown) {
    StartWithLargePicture();
    CanvasState.StylusDown = 1;
    Turn(QPoint(40, 40), kNotchDown);
    Turn(QPoint(40, 40), kNotchUp, Qt::ControlModifier);
    EXPECT_EQ(CurrentBox().scrollY, 0);
    EXPECT_FLOAT_EQ(ImageState.ZoomFactor, 1.0f);
}
