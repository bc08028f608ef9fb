#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTimer>
#include <QToolButton>
#include <set>

#include "support/QtFixture.h"
#include "support/QtInput.h"
#include "panels/DialogBuilder.h"
#include "panels/TextToolDialog.h"
#include "platform/Fonts.h"
#include "platform/qt/QtControls.h"
#include "platform/qt/QtFonts.h"
#include "tools/TextTool.h"
#include "image/ToolIds.h"

namespace {

// The preview's pixels as the dialog's surface holds them.
std::vector<std::uint32_t> PreviewPixels(platform::Window& dialog) {
    std::vector<std::uint32_t> pixels;
    const raster::DrawingContext& dc = dialog.GetDC();
    for (int y = kTextPreviewText.top; y < kTextPreviewText.bottom; ++y) {
        for (int x = kTextPreviewText.left; x < kTextPreviewText.right; ++x) pixels.push_back(raster::GetPixel(dc, x, y));
    }
    return pixels;
}

int InkCount(const std::vector<std::uint32_t>& pixels) {
    int ink = 0;
    for (std::uint32_t p : pixels) ink += (p & 0xFF) < 128 ? 1 : 0;
    return ink;
}

// QtTest starts every test from ResetProgramState, the text tool's settings included.
class TextToolTest : public QtTest {};

}  // namespace

TEST_F(TextToolTest, FirstOpeningChoosesTheFirstFamilyAndItalicShowsAtOnce) {
    Start();
    const std::vector<std::string> families = platform::FontFamilies();
    ASSERT_GE(families.size(), 1u);
    int selection = -2;
    std::string face;
    int inkBefore = 0;
    bool italicPreview = false;
    bool changed = false;
    QImage shot;
    std::vector<std::string> cut;
    QTimer::singleShot(0, [&] {
        platform::Window& dialog = *DialogBuildState.dialog;
        // Each switch's label fits the width the dialog gives it.
        for (int id : {kTextAntiAliasedBox, kTextBoldBox, kTextItalicBox, kTextUnderlineBox}) {
            QCheckBox* box = WidgetOf<QCheckBox>(dialog, id);
            QStyleOptionButton option;
            option.initFrom(box);
            option.text = box->text();
            const QRect room = box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
            if (box->fontMetrics().horizontalAdvance(box->text()) > room.width()) cut.push_back(box->text().toStdString());
        }
        selection = dialog.FindControl(kTextFontList)->Selection();
        face = TextToolSettings.faceName;
        QTest::keyClicks(WidgetOf<QLineEdit>(dialog, kTextField), "Wavy");
        const std::vector<std::uint32_t> upright = PreviewPixels(dialog);
        inkBefore = InkCount(upright);
        QTest::mouseClick(WidgetOf<QCheckBox>(dialog, kTextItalicBox), Qt::LeftButton);
        changed = PreviewPixels(dialog) != upright;
        auto* font = dynamic_cast<const platform::qt::QtFont*>(TextToolSettings.font.get());
        italicPreview = font && font->font.italic();
        shot = platform::qt::GrabScreen();
        QTest::mouseClick(WidgetOf<QPushButton>(dialog, kTextCancelButton), Qt::LeftButton);
    });
    EXPECT_EQ(RunTextToolDialog(), 2);
    if (const char* dump = std::getenv("PW_DUMP_SCREENSHOTS")) shot.save(QString(dump) + "/texttool.png");
    EXPECT_EQ(cut, std::vector<std::string>{});
    EXPECT_EQ(selection, 0);
    EXPECT_EQ(face, families[0]);
    EXPECT_GT(inkBefore, 20);  // the typed word shows in the preview
    EXPECT_TRUE(changed);
    EXPECT_TRUE(italicPreview);
    EXPECT_EQ(TextToolSettings.italic, 1);
}

TEST_F(TextToolTest, SizeArrowsRaiseAndLowerAndStopAt255And0) {
    Start();
    std::vector<std::string> sizes;
    QTimer::singleShot(0, [&] {
        platform::Window& dialog = *DialogBuildState.dialog;
        platform::Control* field = dialog.FindControl(kTextSizeField);
        sizes.push_back(field->Text());
        QTest::mouseClick(ArrowOf(dialog, kTextSizeArrows, Qt::UpArrow), Qt::LeftButton);
        sizes.push_back(field->Text());
        field->SetText("254");
        QTest::mouseClick(ArrowOf(dialog, kTextSizeArrows, Qt::UpArrow), Qt::LeftButton);
        QTest::mouseClick(ArrowOf(dialog, kTextSizeArrows, Qt::UpArrow), Qt::LeftButton);
        sizes.push_back(field->Text());
        field->SetText("1");
        QTest::mouseClick(ArrowOf(dialog, kTextSizeArrows, Qt::DownArrow), Qt::LeftButton);
        QTest::mouseClick(ArrowOf(dialog, kTextSizeArrows, Qt::DownArrow), Qt::LeftButton);
        sizes.push_back(field->Text());
        QTest::keyClick(WidgetOf<QLineEdit>(dialog, kTextSizeField), Qt::Key_Up);
        sizes.push_back(field->Text());
        QTest::mouseClick(WidgetOf<QPushButton>(dialog, kTextOkButton), Qt::LeftButton);
    });
    EXPECT_EQ(RunTextToolDialog(), 1);
    EXPECT_EQ(sizes, (std::vector<std::string>{"16", "17", "255", "0", "1"}));
    EXPECT_EQ(TextToolSettings.size, 1);
}

TEST_F(TextToolTest, CancelKeepsTheTypedTextForTheNextOpening) {
    Start();
    QTimer::singleShot(0, [&] {
        platform::Window& dialog = *DialogBuildState.dialog;
        QTest::keyClicks(WidgetOf<QLineEdit>(dialog, kTextField), "Hello");
        dialog.FindControl(kTextSizeField)->SetText("999");
        QTest::mouseClick(WidgetOf<QPushButton>(dialog, kTextCancelButton), Qt::LeftButton);
    });
    EXPECT_EQ(RunTextToolDialog(), 2);
    EXPECT_EQ(TextToolSettings.text, "Hello");
    EXPECT_EQ(TextToolSettings.size, 255);  // a size beyond a byte stops at its end

    std::string shown;
    std::string face;
    QTimer::singleShot(0, [&] {
        platform::Window& dialog = *DialogBuildState.dialog;
        shown = dialog.FindControl(kTextField)->Text();
        face = dialog.FindControl(kTextFontList)->Text();
        QTest::keyClick(WidgetOf<QLineEdit>(dialog, kTextField), Qt::Key_Escape);
    });
    EXPECT_EQ(RunTextToolDialog(), 2);
    EXPECT_EQ(shown, "Hello");
    EXPECT_EQ(face, TextToolSettings.faceName);
}

TEST_F(TextToolTest, TypedTextFloatsAtTheTapThenDragsAndDrops) {
    Start();
    PaintSettings.FColor = raster::MakeColour(200, 0, 0);
    PaintSettings.BColor = raster::MakeColour(255, 255, 0);
    // The text tool chosen on the tool bar.
    ASSERT_NE(ShellState.ToolBarWindow, nullptr);
    {
        // Through the screen's window; the release queued first, as the bar waits to see
        // whether a press is held.
        QWidget* bar = static_cast<platform::qt::QtWindow*>(ShellState.ToolBarWindow)->Client();
        QWindow* screen = System().Screen()->windowHandle();
        const QPoint at = bar->mapTo(System().Screen(), QPoint(6 * 20 + 10, 10));
        QTimer::singleShot(0, [screen, at] { QTest::mouseRelease(screen, Qt::LeftButton, Qt::NoModifier, at); });
        QTest::mousePress(screen, Qt::LeftButton, Qt::NoModifier, at);
        QApplication::processEvents();
        QApplication::processEvents();
    }
    ASSERT_EQ(PaintSettings.Tool, kToolText);
    QWidget* canvas = Canvas()->Client();
    QImage shot;
    QTimer::singleShot(0, [&] {
        platform::Window& dialog = *DialogBuildState.dialog;
        QTest::keyClicks(WidgetOf<QLineEdit>(dialog, kTextField), "Hi there");
        // The next family of the list, chosen with the keyboard.
        QComboBox* fonts = WidgetOf<QComboBox>(dialog, kTextFontList);
        fonts->setFocus();
        QTest::keyClick(fonts, Qt::Key_Down);
        dialog.FindControl(kTextSizeField)->SetText("20");
        QTest::mouseClick(WidgetOf<QCheckBox>(dialog, kTextItalicBox), Qt::LeftButton);
        QTest::keyClick(WidgetOf<QLineEdit>(dialog, kTextField), Qt::Key_Return);  // Enter is OK
    });
    Tap(canvas, QPoint(30, 40));
    ASSERT_EQ(PaintSettings.Tool, kToolFloatingPiece);
    const std::vector<std::string> families = platform::FontFamilies();
    ASSERT_GE(families.size(), 2u);
    EXPECT_EQ(TextToolSettings.faceName, families[1]);
    EXPECT_EQ(PaintSettings.Group, 0);
    const FloatingPieceRecord& piece = FloatingPiece;
    ASSERT_NE(piece.pieceBitmap, nullptr);
    // Exactly the measured text, wider by 20 / 4 in italics, at the tapped image point.
    const platform::TextSize measured = platform::MeasureText(*TextToolSettings.font, "Hi there");
    EXPECT_EQ(piece.pieceWidth, static_cast<std::uint32_t>(measured.width + 5));
    EXPECT_EQ(piece.pieceHeight, static_cast<std::uint32_t>(measured.height));
    const raster::Point tapped{CanvasCoordinates(30, 40, 0, 0, 1.0f).ImageX(), CanvasCoordinates(30, 40, 0, 0, 1.0f).ImageY()};
    EXPECT_EQ(piece.pieceX, tapped.x);
    EXPECT_EQ(piece.pieceY, tapped.y);
    EXPECT_EQ(piece.savedPieceX, tapped.x);
    // Red text on yellow: the corner is background, and some pixels carry the ink.
    const raster::DrawingContext& pieceDc = *piece.pieceDc;
    EXPECT_EQ(raster::GetPixel(pieceDc, 0, 0), PaintSettings.BColor);
    int ink = 0;
    for (int y = 0; y < static_cast<int>(piece.pieceHeight); ++y) {
        for (int x = 0; x < static_cast<int>(piece.pieceWidth); ++x) {
            ink += raster::GetPixel(pieceDc, x, y) == PaintSettings.FColor ? 1 : 0;
        }
    }
    EXPECT_GT(ink, 20);
    EXPECT_EQ(piece.maskBitmap->Row(0)[0], kMaskBorder);
    EXPECT_EQ(piece.maskBitmap->Row(3)[3], kMaskInside);
    const std::vector<std::uint8_t> text(piece.pieceBitmap->Bits(), piece.pieceBitmap->Bits() + piece.pieceBitmap->ByteSize());
    shot = platform::qt::GrabScreen();
    if (const char* dump = std::getenv("PW_DUMP_SCREENSHOTS")) shot.save(QString(dump) + "/textpiece.png");

    // Drag it 40 right and 25 down by a press inside it.
    const QPoint grab(30 + 4, 40 + 4);
    SendMouse(canvas, QEvent::MouseButtonPress, grab, Qt::LeftButton, Qt::LeftButton);
    SendMouse(canvas, QEvent::MouseMove, grab + QPoint(20, 10), Qt::NoButton, Qt::LeftButton);
    SendMouse(canvas, QEvent::MouseMove, grab + QPoint(40, 25), Qt::NoButton, Qt::LeftButton);
    SendMouse(canvas, QEvent::MouseButtonRelease, grab + QPoint(40, 25), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(piece.pieceX, tapped.x + 40);
    EXPECT_EQ(piece.pieceY, tapped.y + 25);

    // A tap far from it puts it down into the image where it was dragged.
    Tap(canvas, QPoint(220, 200));
    EXPECT_NE(PaintSettings.Tool, kToolFloatingPiece);
    const raster::DrawingContext& work = *CurrentBox().workDc;
    for (int y = 0; y < static_cast<int>(piece.pieceHeight); ++y) {
        for (int x = 0; x < static_cast<int>(piece.pieceWidth); ++x) {
            const std::uint8_t* p = text.data() + static_cast<std::size_t>(piece.pieceHeight - 1 - y) *
                                                      static_cast<std::size_t>(piece.pieceBitmap->Stride()) +
                                    3 * static_cast<std::size_t>(x);
            const raster::Colour expected = raster::MakeColour(p[2], p[1], p[0]);
            ASSERT_EQ(raster::GetPixel(work, tapped.x + 40 + x, tapped.y + 25 + y), expected) << x << "," << y;
        }
    }
}

TEST(FontEntries, TheRememberedFamilyBeforeOneThatMerelyStartsLikeIt) {
    const std::vector<std::string> entries = {"DejaVu Sans", "DejaVu Sans Mono", "Liberation Serif", "dejavu serif"};
    EXPECT_EQ(FindFontEntry(entries, "DejaVu Sans"), 0);
    EXPECT_EQ(FindFontEntry(entries, "dejavu sans mono"), 1);
    // A part of a name finds the first entry after the first that starts with it, wrapping.
    EXPECT_EQ(FindFontEntry(entries, "DejaVu"), 1);
    EXPECT_EQ(FindFontEntry(entries, "Liber"), 2);
    EXPECT_EQ(FindFontEntry({"Alpha", "Beta"}, "Al"), 0);
    EXPECT_EQ(FindFontEntry(entries, "Comic"), -1);
    EXPECT_EQ(FindFontEntry({}, "Sans"), -1);
}

// A positive height is the whole line, a negative one the characters alone (the text tool's
// size), so the same number gives the larger font when negative.
TEST_F(QtTest, FontHeightsCountTheCellOrTheCharacters) {
    Start();
    for (int height : {11, 14, 18, 40}) {
        platform::FontSpec cell;
        cell.height = height;
        platform::FontSpec characters = cell;
        characters.height = -height;
        const auto cellFont = platform::MakeFont(cell);
        const auto characterFont = platform::MakeFont(characters);
        ASSERT_TRUE(cellFont && characterFont);
        const int cellLine = platform::MeasureText(*cellFont, "Hg").height;
        EXPECT_LE(cellLine, height) << height;
        EXPECT_GE(cellLine, height * 3 / 4) << height;
        EXPECT_GT(platform::MeasureText(*characterFont, "Hg").height, cellLine) << height;
    }
    platform::FontSpec chosen;
    chosen.height = 0;
    const auto font = platform::MakeFont(chosen);
    ASSERT_TRUE(font);
    EXPECT_GT(platform::MeasureText(*font, "Hg").height, 8);  // a readable default, not one pixel
}

// The "Anti-Aliased" switch decides whether the letters' edges blend into the background.
TEST_F(TextToolTest, TheAntiAliasingSwitchDecidesTheEdges) {
    Start();
    std::set<std::uint32_t> plain;
    std::set<std::uint32_t> smooth;
    QTimer::singleShot(0, [&] {
        platform::Window& dialog = *DialogBuildState.dialog;
        QComboBox* fonts = WidgetOf<QComboBox>(dialog, kTextFontList);
        const int dejaVu = fonts->findText("DejaVu Sans");
        ASSERT_GE(dejaVu, 0);
        fonts->setCurrentIndex(dejaVu);
        dialog.FindControl(kTextSizeField)->SetText("24");
        QTest::keyClicks(WidgetOf<QLineEdit>(dialog, kTextField), "Round");
        for (std::uint32_t p : PreviewPixels(dialog)) plain.insert(p);
        QCheckBox* box = WidgetOf<QCheckBox>(dialog, kTextAntiAliasedBox);
        QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(6, box->height() / 2));
        for (std::uint32_t p : PreviewPixels(dialog)) smooth.insert(p);
        QTest::mouseClick(WidgetOf<QPushButton>(dialog, kTextCancelButton), Qt::LeftButton);
    });
    EXPECT_EQ(RunTextToolDialog(), 2);
    EXPECT_EQ(TextToolSettings.faceName, "DejaVu Sans");
    EXPECT_EQ(TextToolSettings.antiAliased, 1);
    // Ink and background alone, then the shades between them.
    EXPECT_EQ(plain, (std::set<std::uint32_t>{raster::MakeColour(0, 0, 0), raster::MakeColour(238, 238, 238)}));
    EXPECT_GT(smooth.size(), 8u);
}
