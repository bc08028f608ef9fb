// Undo around a floating piece: whatever the order of lifting, dragging, dropping, filtering,
// cutting and pasting, Undo shows a picture the user saw before, and a piece put down again
// leaves the picture as it looked. Choosing the gradient keeps the piece afloat over the
// picture it was lifted from, and Undo under it, before or after the gradient is drawn, shows
// only pictures the user saw; a second Undo redoes.
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "filters/CommandIds.h"
#include "image/ToolIds.h"
#include "panels/PanelState.h"
#include "panels/ToolBar.h"
#include "support/ShellFixture.h"
#include "tools/ToolGroups.h"

namespace {

using Picture = std::vector<std::uint8_t>;

void Command(int id) {
    platform::WindowMessage message;
    message.kind = platform::MessageKind::Command;
    message.id = id;
    ShellState.MainWindow->Send(message);
}

Picture Shown() {
    std::unique_ptr<PixelBuffer> merged;
    const PixelBuffer* shown = PictureAsShown(merged);
    if (!shown) return {};
    return Picture(shown->Bits(), shown->Bits() + shown->ByteSize());
}

int RedPixels(const PixelBuffer& picture) {
    int count = 0;
    for (int y = 0; y < picture.Height(); ++y) {
        for (int x = 0; x < picture.Width(); ++x) {
            const std::uint8_t* p = picture.Row(y) + 3 * x;
            count += p[0] == 0 && p[1] == 0 && p[2] == 255;
        }
    }
    return count;
}

class PieceUndoTest : public ShellTest {
protected:
    // A white picture with a red square at 20..59 and a blue disc around (150, 110).
    void SetUp() override {
        ShellTest::SetUp();
        Start();
        PixelBuffer& work = *CurrentBox().workBitmap;
        for (int y = 0; y < work.Height(); ++y) {
            for (int x = 0; x < work.Width(); ++x) {
                std::uint8_t* p = work.Row(y) + 3 * x;
                const bool square = x >= 20 && x < 60 && y >= 20 && y < 60;
                const bool disc = std::hypot(x - 150, y - 110) <= 25.0;
                p[0] = square ? 0 : 255;
                p[1] = square || disc ? 0 : 255;
                p[2] = disc ? 0 : 255;
            }
        }
        PaintSettings.Select = 0;
        PaintSettings.Tool = kToolSelectRectangle;
        PaintSettings.Group = 0;
    }
    void Send(platform::Window* window, platform::MessageKind kind, int x, int y) {
        ASSERT_NE(window, nullptr);
        platform::WindowMessage m;
        m.kind = kind;
        m.x = x;
        m.y = y;
        window->Send(m);
    }
    void Tap(platform::MessageKind kind, int x, int y) { Send(Canvas(), kind, x, y); }
    // The Area group's button, then "Linear Gradient" in the flyout it opens over a piece.
    void ChooseGradient() {
        ToolBarTap(3 * kButtonPitch + kButtonPitch / 2, 5);
        Send(PanelState.FlyoutWindow, platform::MessageKind::StylusUp, 60, kButtonPitch + kButtonPitch / 2);
    }
    void Drag(int x1, int y1, int x2, int y2) {
        Tap(platform::MessageKind::StylusDown, x1, y1);
        Tap(platform::MessageKind::StylusMove, (x1 + x2) / 2, (y1 + y2) / 2);
        Tap(platform::MessageKind::StylusMove, x2, y2);
        Tap(platform::MessageKind::StylusUp, x2, y2);
    }
    // One user action by name.
    void Act(const std::string& action) {
        if (action == "lift") {
            Drag(15, 15, 65, 65);  // the red square with a white frame
        } else if (action == "drag") {
            Drag(40, 40, 110, 90);  // over the disc
        } else if (action == "drag-back") {
            Drag(110, 90, 60, 70);
        } else if (action == "drop") {
            Drag(230, 5, 230, 5);  // a tap outside the piece
        } else if (action == "invert") {
            Command(CMD_INVERT);
        } else if (action == "undo") {
            Command(CMD_UNDO);
        } else if (action == "cut") {
            Command(CMD_CUT);
        } else if (action == "copy") {
            Command(CMD_COPY);
        } else if (action == "paste") {
            Command(CMD_PASTE);
        } else if (action == "pen") {
            ToolBarTap(kButtonPitch + kButtonPitch / 2, 5);
        } else if (action == "gradient") {
            ChooseGradient();
            EXPECT_EQ(PaintSettings.Tool, kToolPieceGradient);
        } else if (action == "paint") {
            Drag(90, 70, 130, 110);  // the gradient across the piece
        } else if (action == "piece") {
            ToolBarTap(kButtonPitch / 2, 5);  // the Select group's button: the piece to move again
        } else if (action == "move") {
            Drag(100, 80, 40, 40);  // the dragged piece, away from where it lay
        } else if (action == "picker") {
            ToolBarTap(kGroupPicker * kButtonPitch + kButtonPitch / 2, 5);  // puts the piece down
            EXPECT_EQ(PaintSettings.Tool, kToolColourPicker);
        } else if (action == "pick") {
            Drag(230, 5, 230, 5);  // the picker's one tap, which gives the tool back
        } else if (action == "hollow") {
            ToolBarTap(kFillStyleButton * kButtonPitch + kButtonPitch / 2, 5);
            Send(PanelState.FlyoutWindow, platform::MessageKind::StylusUp, 30, kButtonPitch / 2);
        } else {
            FAIL() << "no action " << action;
        }
    }
};

TEST_F(PieceUndoTest, UndoingTheDropOfAMovedPieceAndPuttingItDownAgainGivesTheOriginal) {
    const Picture original = Shown();
    for (const char* action : {"lift", "drag", "drop"}) Act(action);
    const Picture dropped = Shown();
    Act("undo");  // the piece floats again where it was dropped
    EXPECT_EQ(PaintSettings.Tool, kToolFloatingPiece);
    EXPECT_EQ(Shown(), dropped);
    Act("undo");  // and goes back to where it was lifted
    EXPECT_EQ(Shown(), original);
    Act("drop");
    EXPECT_EQ(Shown(), original);
}

TEST_F(PieceUndoTest, EveryUndoShowsAPictureSeenBeforeAndPuttingDownChangesNothing) {
    // Sequences over lift, drag, drop, a filter on the piece, Cut, Copy, Paste and the choice
    // of another tool, each followed by two Undos and a drop at the end.
    const std::vector<std::string> sequences = {
        "lift drag drop undo undo drop",
        "lift invert drop undo undo drop",
        "lift invert drag drop undo undo undo drop",
        "lift cut paste drop undo undo drop",
        "lift cut paste drag drop undo undo drop",
        "lift drop undo drag drop undo undo drop",
        "lift drag drop undo drag-back drop undo undo drop",
        "lift cut undo undo drop",
        "lift copy undo undo drop",
        "lift drag copy paste drop undo undo drop",
        "lift drag pen undo undo drop",
        "lift cut pen undo drop",
    };
    for (const std::string& sequence : sequences) {
        SCOPED_TRACE(sequence);
        TearDown();
        SetUp();
        std::vector<Picture> seen{Shown()};
        std::istringstream words(sequence);
        std::string action;
        int step = 0;
        while (words >> action) {
            const Picture before = Shown();
            Act(action);
            ++step;
            const Picture now = Shown();
            if (action == "undo") {
                bool known = false;
                for (const Picture& picture : seen) known = known || picture == now;
                EXPECT_TRUE(known) << "undo at step " << step << " shows a picture never shown";
            }
            if (action == "drop" || action == "copy" || action == "pen") {
                EXPECT_EQ(now, before) << "putting the piece down at step " << step << " changed the picture";
            }
            seen.push_back(now);
        }
    }
}

TEST_F(PieceUndoTest, UndoAfterCutBringsThePieceBackWhereItWasCutFrom) {
    Act("lift");
    Act("drag");
    const Picture beforeCut = Shown();
    const int x = FloatingPiece.pieceX;
    const int y = FloatingPiece.pieceY;
    Act("cut");
    Act("undo");
    EXPECT_EQ(PaintSettings.Tool, kToolFloatingPiece);
    EXPECT_EQ(FloatingPiece.pieceX, x);
    EXPECT_EQ(FloatingPiece.pieceY, y);
    EXPECT_EQ(Shown(), beforeCut);
}

TEST_F(PieceUndoTest, UndoAfterAnotherToolPutTheMovedPieceDownFloatsItInTheSelectGroup) {
    Act("lift");
    Act("drag");
    const Picture moved = Shown();
    Act("pen");
    ASSERT_EQ(PaintSettings.Tool, kToolPen);
    Act("undo");
    EXPECT_EQ(PaintSettings.Tool, kToolFloatingPiece);
    EXPECT_EQ(PaintSettings.Group, 0);
    EXPECT_EQ(Shown(), moved);
}

TEST_F(PieceUndoTest, DraggingThePieceIsAnUnsavedChangeAndATapInPlaceIsNot) {
    Act("lift");
    ImageState.ImageModified = 0;
    Drag(40, 40, 40, 40);
    EXPECT_EQ(ImageState.ImageModified, 0);
    Act("drag");
    EXPECT_EQ(ImageState.ImageModified, 1);
}

TEST_F(PieceUndoTest, UndoUnderThePieceGradientShowsOnlyPicturesSeenAndASecondUndoRedoes) {
    const std::vector<std::string> sequences = {
        "lift gradient undo undo",
        "lift drag gradient undo undo piece move",
        "lift drag gradient undo pen undo undo",
        "lift drag gradient paint undo undo",
        "lift drag gradient paint undo piece move",
        "lift drag gradient undo paint undo undo piece move",
        "lift drag gradient invert undo undo",
        "lift drag gradient paint pen undo",
        "lift gradient paint pen undo undo",
        "lift drag hollow undo pen undo undo",
        "lift drag hollow undo undo move",
        "lift drag gradient picker pick undo undo",
        "lift drag gradient picker pick paint undo undo",
    };
    for (const std::string& sequence : sequences) {
        SCOPED_TRACE(sequence);
        TearDown();
        SetUp();
        std::vector<Picture> seen{Shown()};
        std::istringstream words(sequence);
        std::string action;
        int step = 0;
        Picture beforeUndo;
        std::string last;
        while (words >> action) {
            const Picture before = Shown();
            Act(action);
            ++step;
            const Picture now = Shown();
            if (action == "undo") {
                bool known = false;
                for (const Picture& picture : seen) known = known || picture == now;
                EXPECT_TRUE(known) << "undo at step " << step << " shows a picture never shown";
                // Under the gradient Undo exchanges; with the piece to move it puts a drag back.
                if (last == "undo" && PaintSettings.Tool == kToolPieceGradient) {
                    EXPECT_TRUE(now == beforeUndo) << "the second undo at step " << step << " did not redo";
                }
                beforeUndo = before;
            }
            if (action == "gradient" || action == "piece" || action == "hollow") {
                EXPECT_TRUE(now == before) << "choosing a tool at step " << step << " changed the picture";
            }
            seen.push_back(now);
            last = action;
        }
        // The picture under a floating piece is the one it was lifted from: the red square
        // went up with the piece and left white behind.
        if (PieceOnCanvas()) EXPECT_EQ(RedPixels(*CurrentBox().workBitmap), 0) << "a copy of the piece lies under it";
    }
}

TEST_F(PieceUndoTest, ANewPictureWhileTheGradientIsOnAPieceIsShownAsMade) {
    Act("lift");
    Act("gradient");
    FreeImageBox(ImageState.CurrentImage);
    ASSERT_EQ(CreateImage(30, 20), 1);
    PixelBuffer& work = *CurrentBox().workBitmap;
    std::memset(work.Bits(), 0x40, work.ByteSize());
    RepaintWholeView();
    EXPECT_EQ(PaintSettings.Tool, kToolGradient);
    EXPECT_EQ(Shown(), Picture(work.ByteSize(), 0x40));
}

}  // namespace
