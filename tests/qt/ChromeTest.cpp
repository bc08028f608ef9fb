// The desktop's chrome around the screen area on the real widgets: the status bar, keys that
// act where the pointer is, and the window's place kept from one run to the next.
#include <QTimer>

#include "panels/PanelState.h"
#include "platform/Chrome.h"
#include "platform/qt/QtChrome.h"
#include "platform/qt/QtCommandBar.h"
#include "shell/Menus.h"
#include "image/ToolIds.h"
#include "support/QtFixture.h"
#include "support/QtInput.h"

namespace {

// Counts the paints a widget receives.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

class ChromeTest : public QtTest {
protected:
    void StartActive() {
        Start();
        QWidget* screen = System().Screen();
        screen->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(screen));
    }
    static void Keys(int key, Qt::KeyboardModifiers modifiers) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
        QApplication::processEvents();
    }
    QWidget* CanvasClient() { return Canvas()->Client(); }
    // The pointer resting over the canvas at a client point.
    void Hover(QPoint at) { Mouse(CanvasClient(), QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton); }
    const platform::StatusFields& Fields() { return System().Status()->Fields(); }
    // A rectangle selection from one canvas point to another, which then floats.
    void Select(QPoint from, QPoint to) {
        PaintSettings.Tool = kToolSelectRectangle;
        PaintSettings.Group = 0;
        Drag(CanvasClient(), from, to);
        ASSERT_EQ(PaintSettings.Tool, kToolFloatingPiece);
    }
};

}  // namespace

TEST_F(ChromeTest, TheStatusBarFollowsThePointerWithoutRepaintingTheCanvas) {
    StartActive();
    platform::qt::QtStatusBar* status = System().Status();
    ASSERT_TRUE(status->isVisible());
    EXPECT_EQ(status->geometry(), QRect(0, 640, 480, platform::qt::QtStatusBar::kHeight));
    raster::FillRect(*CurrentBox().workDc, {0, 0, 240, 228}, 0x336699);
    // What the canvas shows is drawn by the program into the window's surface: a mark put there
    // survives as long as the program draws nothing new.
    raster::SetPixel(Canvas()->GetDC(), 5, 5, 0x00FF00);
    PaintCounter canvasPaints;
    CanvasClient()->installEventFilter(&canvasPaints);
    QApplication::processEvents();
    canvasPaints.paints = 0;
    Hover({20, 30});
    Hover({21, 31});
    QApplication::processEvents();
    EXPECT_EQ(Fields().pointer, "21, 31");
    EXPECT_EQ(Fields().colour, "R 153  G 102  B 51  #996633");
    EXPECT_EQ(Fields().size, "240 \u00D7 228");
    EXPECT_EQ(Fields().zoom, "100 %");
    EXPECT_EQ(canvasPaints.paints, 0);
    // Hidden from the View menu: the window gives up the bar's height, the screen area and the
    // canvas stay as they were.
    const int windowHeight = System().Screen()->height();
    SendCommand(CMD_STATUS_BAR);
    EXPECT_FALSE(status->isVisible());
    EXPECT_EQ(System().Screen()->height(), windowHeight - platform::qt::QtStatusBar::kHeight);
    EXPECT_EQ(platform::ScreenHeight(), 640);
    QApplication::processEvents();
    EXPECT_EQ(raster::GetPixel(Canvas()->GetDC(), 5, 5), 0x00FF00u);
    std::unique_ptr<QMenu> view = System().Bar()->BuildMenu(2);
    EXPECT_EQ(view->actions()[2]->text(), "Status Bar");
    EXPECT_FALSE(view->actions()[2]->isChecked());
    SendCommand(CMD_STATUS_BAR);
    EXPECT_TRUE(status->isVisible());
    EXPECT_EQ(System().Screen()->height(), windowHeight);
    // A floating piece shows its size; the brush keys say the size they chose.
    Select({10, 10}, {50, 30});
    QApplication::processEvents();
    EXPECT_EQ(Fields().piece, "Selection 40 \u00D7 20");
    PaintSettings.Tool = kToolPen;
    PaintSettings.Size = 7;
    Keys(Qt::Key_BracketRight, Qt::NoModifier);
    EXPECT_EQ(PaintSettings.Size, 9u);
    EXPECT_EQ(status->Note(), "Brush size 9");
    Keys(Qt::Key_BracketLeft, Qt::NoModifier);
    Keys(Qt::Key_BracketLeft, Qt::NoModifier);
    EXPECT_EQ(PaintSettings.Size, 5u);
    CanvasClient()->removeEventFilter(&canvasPaints);
}

TEST_F(ChromeTest, PasteFromTheKeyboardLandsUnderThePointerAndTheMenuKeepsTheTopLeft) {
    StartActive();
    Select({11, 11}, {51, 31});
    ASSERT_EQ(FloatingPiece.pieceWidth, 40u);
    ASSERT_EQ(FloatingPiece.pieceHeight, 20u);
    Keys(Qt::Key_C, Qt::ControlModifier);
    ASSERT_EQ(PaintSettings.Tool, kToolSelectRectangle);
    Hover({100, 80});
    Keys(Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(PaintSettings.Tool, kToolFloatingPiece);
    EXPECT_EQ(FloatingPiece.pieceX, 80);
    EXPECT_EQ(FloatingPiece.pieceY, 70);
    // Near the corner the piece's top-left stays within the picture.
    Keys(Qt::Key_Escape, Qt::NoModifier);
    ASSERT_EQ(PaintSettings.Tool, kToolSelectRectangle);
    Hover({2, 2});
    Keys(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(FloatingPiece.pieceX, 0);
    EXPECT_EQ(FloatingPiece.pieceY, 0);
    Keys(Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_EQ(PaintSettings.Tool, kToolSelectRectangle);
    // The menu's Paste, the pointer on the canvas or not, goes to the view's top-left.
    CurrentBox().scrollX = 0;
    Hover({150, 150});
    SendCommand(CMD_PASTE);
    EXPECT_EQ(FloatingPiece.pieceX, 0);
    EXPECT_EQ(FloatingPiece.pieceY, 0);
    // Crop from its keys: the picture becomes the piece.
    Keys(Qt::Key_X, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(CurrentBox().width, 40);
    EXPECT_EQ(CurrentBox().height, 20);
}

TEST_F(ChromeTest, EscapeClosesTheBrushPickerAndDropsAPieceWhereverTheFocusIs) {
    StartActive();
    auto* bar = static_cast<platform::qt::QtWindow*>(ShellState.ToolBarWindow);
    TapThroughWindow(bar->Client(), {210, 10});
    ASSERT_NE(PanelState.BrushPickerWindow, nullptr);
    const std::uint32_t size = PaintSettings.Size;
    Keys(Qt::Key_Escape, Qt::NoModifier);
    EXPECT_EQ(PanelState.BrushPickerWindow, nullptr);
    EXPECT_EQ(PaintSettings.Size, size);
    // A click left of the picker closes it as it was too.
    TapThroughWindow(bar->Client(), {210, 10});
    auto* picker = static_cast<platform::qt::QtWindow*>(PanelState.BrushPickerWindow);
    ASSERT_NE(picker, nullptr);
    Click(picker->Client(), {-300, 50});
    EXPECT_EQ(PanelState.BrushPickerWindow, nullptr);
    EXPECT_EQ(PaintSettings.Size, size);
    EXPECT_EQ(PaintSettings.Brush, 0u);
    Select({10, 10}, {50, 30});
    Keys(Qt::Key_Escape, Qt::NoModifier);
    EXPECT_EQ(PaintSettings.Tool, kToolSelectRectangle);
    // Delete: the lifted place keeps the background colour.
    raster::FillRect(*CurrentBox().workDc, {0, 0, 240, 228}, 0x0000FF);
    Select({10, 10}, {50, 30});
    Keys(Qt::Key_Delete, Qt::NoModifier);
    EXPECT_EQ(raster::GetPixel(*CurrentBox().workDc, 20, 20), 0xFFFFFFu);
    EXPECT_EQ(raster::GetPixel(*CurrentBox().workDc, 100, 100), 0x0000FFu);
}

TEST_F(ChromeTest, TheWindowsPlaceIsKeptAndComesBackWhenItFits) {
    Start();
    QWidget* screen = System().Screen();
    screen->setGeometry(30, 40, 420, 520);
    ASSERT_EQ(ExitProgram(), 1);
    std::uint32_t value = 0;
    ASSERT_TRUE(settings.ReadNumber("WindowX", value));
    EXPECT_EQ(value, 30u);
    ASSERT_TRUE(settings.ReadNumber("WindowHeight", value));
    EXPECT_EQ(value, 520u);
    ASSERT_TRUE(settings.ReadNumber("WindowMaximized", value));
    EXPECT_EQ(value, 0u);
    // The next run finds it.
    platform::qt::UninstallQtPlatform();
    ResetProgramState();
    platform::qt::InstallQtPlatform(&settings, 0, 0);
    platform::SetMessageBoxService(&messages);
    Start();
    EXPECT_EQ(System().Screen()->geometry(), QRect(30, 40, 420, 520));
    // A place on a screen that is gone is not used.
    settings.WriteNumber("WindowX", 100000);
    platform::qt::UninstallQtPlatform();
    ResetProgramState();
    platform::qt::InstallQtPlatform(&settings, 0, 0);
    platform::SetMessageBoxService(&messages);
    const QSize first = System().Screen()->size();
    Start();
    EXPECT_EQ(System().Screen()->size(), first);
    EXPECT_LT(System().Screen()->x(), 2000);
}

TEST(WindowPlacement, FitsOnlyWhollyOnOneScreenAndNoSmallerThanTheMinimum) {
    const std::vector<raster::Rect> screens = {{0, 0, 1920, 1080}, {1920, 0, 3200, 1024}};
    struct Case {
        platform::WindowPlacement place;
        bool fits;
    } cases[] = {
        {{100, 100, 480, 660, false}, true},   {{1920, 0, 1280, 1024, true}, true},
        {{1800, 100, 480, 660, false}, false}, {{-10, 100, 480, 660, false}, false},
        {{100, 600, 480, 660, false}, false},  {{100, 100, 100, 660, false}, false},
        {{2000, 500, 480, 600, false}, false}, {{100, 100, 0, 0, false}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::PlacementFits(c.place, screens, 200, 160), c.fits) << c.place.x << ", " << c.place.y;
    }
    EXPECT_FALSE(platform::PlacementFits({0, 0, 480, 660, false}, {}, 200, 160));
}
