// The desktop clipboard through the real widgets and Qt's clipboard: Ctrl+C hands the piece
// to other programs, and an image another program copies comes in with Ctrl+V.
#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>

#include "support/QtFixture.h"
#include "support/Pixels.h"
#include "platform/qt/QtClipboard.h"
#include "platform/qt/QtCommandBar.h"
#include "shell/Menus.h"
#include "image/ToolIds.h"

namespace {

class ClipboardTest : public QtTest {
protected:
    void StartActive() {
        Start();
        QGuiApplication::clipboard()->clear();
        System().Screen()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(System().Screen()));
    }
    static void Keys(Qt::Key key) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow();
        QTest::keyClick(target, key, Qt::ControlModifier);
    }
    bool PasteEnabled() {
        std::unique_ptr<QMenu> edit = System().Bar()->BuildMenu(1);
        for (QAction* action : edit->actions()) {
            if (action->text().startsWith("Paste")) return action->isEnabled();
        }
        return false;
    }
};

}  // namespace

TEST_F(ClipboardTest, CopyPutsThePieceOnTheDesktopClipboardWithItsSelectionAsAlpha) {
    StartActive();
    raster::FillRect(*CurrentBox().workDc, {0, 0, 30, 20}, raster::MakeColour(10, 200, 30));
    Keys(Qt::Key_A);
    ASSERT_EQ(PaintSettings.Tool, kToolFloatingPiece);
    // A hole in the selection: it goes out transparent.
    FloatingPiece.maskBitmap->Row(5)[7] = kMaskOutside;
    Keys(Qt::Key_C);
    const QImage copied = QGuiApplication::clipboard()->image();
    ASSERT_EQ(copied.size(), QSize(240, 228));
    EXPECT_EQ(copied.pixel(3, 3), qRgba(10, 200, 30, 255));
    EXPECT_EQ(copied.pixel(100, 100), qRgba(255, 255, 255, 255));
    EXPECT_EQ(qAlpha(copied.pixel(7, 5)), 0);
    // Still ours: Paste floats the held piece, with its hole.
    EXPECT_TRUE(PasteEnabled());
    Keys(Qt::Key_V);
    ASSERT_EQ(PaintSettings.Tool, kToolFloatingPiece);
    EXPECT_EQ(FloatingPiece.pieceWidth, 240u);
    EXPECT_EQ(FloatingPiece.maskBitmap->Row(5)[7], kMaskOutside);
    // Cut hands it over too.
    QGuiApplication::clipboard()->clear();
    Keys(Qt::Key_X);
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(240, 228));
}

TEST_F(ClipboardTest, AnImageAnotherProgramCopiesIsPastedWholeAtTheViewsCorner) {
    StartActive();
    EXPECT_FALSE(PasteEnabled());
    // Another program copies a picture larger than ours, partly transparent.
    QImage theirs(300, 250, QImage::Format_ARGB32);
    theirs.fill(qRgba(0, 0, 255, 255));
    theirs.setPixel(5, 4, qRgba(255, 0, 0, 255));
    theirs.setPixel(0, 1, qRgba(0, 0, 0, 0));
    QGuiApplication::clipboard()->setImage(theirs);
    EXPECT_TRUE(PasteEnabled());
    Keys(Qt::Key_V);
    ASSERT_EQ(PaintSettings.Tool, kToolFloatingPiece);
    EXPECT_EQ(FloatingPiece.pieceWidth, 300u);
    EXPECT_EQ(FloatingPiece.pieceHeight, 250u);
    EXPECT_EQ(FloatingPiece.pieceX, 0);
    EXPECT_EQ(FloatingPiece.pieceY, 0);
    EXPECT_EQ(FloatingPiece.maskBitmap->Row(1)[0], kMaskOutside);
    // The screen shows it over the picture.
    const QImage shown = Canvas()->Client()->grab().toImage();
    EXPECT_EQ(shown.pixel(5, 4) & 0xFFFFFF, 0xFF0000u);  // the outer pixels are its border
    EXPECT_EQ(shown.pixel(150, 150) & 0xFFFFFF, 0x0000FFu);
    // Copied back, it is ours again: the clipboard holds what was copied, and a later
    // Paste floats the held piece rather than the other program's image.
    Keys(Qt::Key_C);
    EXPECT_EQ(PaintSettings.Tool, kToolSelectRectangle);
    EXPECT_EQ(WorkPixel(150, 150), raster::MakeColour(0, 0, 255));
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(300, 250));
    EXPECT_TRUE(PasteEnabled());
    Keys(Qt::Key_V);
    EXPECT_EQ(FloatingPiece.pieceWidth, 300u);
    // Text copied elsewhere leaves the held piece to paste.
    Keys(Qt::Key_C);
    QGuiApplication::clipboard()->setText("words");
    EXPECT_TRUE(PasteEnabled());
    Keys(Qt::Key_V);
    EXPECT_EQ(PaintSettings.Tool, kToolFloatingPiece);
    EXPECT_EQ(FloatingPiece.pieceWidth, 300u);
}

TEST_F(ClipboardTest, ALargePictureCopiedAsPngBytesComesInAfterSmallFilesWereOpened) {
    StartActive();  // start-up has read the program's small resource images
    QImage theirs(3000, 2000, QImage::Format_RGB32);
    theirs.fill(qRgb(20, 40, 60));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(theirs.save(&buffer, "PNG"));
    // As another program offers it: the encoded file, which Qt decodes when asked.
    auto* data = new QMimeData;
    data->setData("image/png", png);
    QGuiApplication::clipboard()->setMimeData(data);
    Keys(Qt::Key_V);
    ASSERT_EQ(PaintSettings.Tool, kToolFloatingPiece);
    EXPECT_EQ(FloatingPiece.pieceWidth, 3000u);
    EXPECT_EQ(FloatingPiece.pieceHeight, 2000u);
    EXPECT_EQ(raster::GetPixel(*FloatingPiece.pieceDc, 100, 100), raster::MakeColour(20, 40, 60));
}

TEST(ClipboardImages, MaskBecomesAlphaAndBack) {
    raster::BitmapInfo info{};
    info.header.width = 3;
    info.header.height = 2;
    auto pixels = raster::Bitmap::Create(info);
    std::fill_n(pixels->Bits(), pixels->ByteSize(), std::uint8_t{0x40});
    pixels->Row(1)[6] = 0x11;  // blue of (2, 1)
    info.header.bitCount = 8;
    auto mask = raster::Bitmap::Create(info);
    std::fill_n(mask->Bits(), mask->ByteSize(), std::uint8_t{249});
    mask->Row(0)[1] = 0;
    const QImage image = platform::qt::ClipboardImageOf(*pixels, mask.get());
    EXPECT_EQ(image.pixel(2, 1), qRgba(0x40, 0x40, 0x11, 255));
    EXPECT_EQ(qAlpha(image.pixel(1, 0)), 0);
    const platform::ClipboardImage back = platform::qt::ImageFromClipboard(image);
    ASSERT_NE(back.pixels, nullptr);
    ASSERT_NE(back.mask, nullptr);
    EXPECT_EQ(back.pixels->Row(1)[6], 0x11);
    EXPECT_EQ(back.mask->Row(0)[1], 0);
    EXPECT_NE(back.mask->Row(0)[0], 0);
    // An opaque image needs no mask.
    const platform::ClipboardImage opaque = platform::qt::ImageFromClipboard(platform::qt::ClipboardImageOf(*pixels, nullptr));
    ASSERT_NE(opaque.pixels, nullptr);
    EXPECT_EQ(opaque.mask, nullptr);
}
