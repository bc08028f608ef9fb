// Undo around the gradient over a floating piece: choosing the gradient keeps the piece afloat
// over the picture it was lifted from, and Undo, before or after the gradient is drawn, shows
// only pictures the user saw; a second Undo redoes.
#include <cmath>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "filters/CommandIds.h"
#include "image/ToolIds.h"
#include "panels/PanelState.h"
#include "panels/ToolBar.h"
#include "support/ShellFixture.h"

namespace {

using Picture = std::vector<std::uint8_t>;

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

class PieceGradientUndoTest : public ShellTest {
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
    void Send(platform::Window* window, platform::MessageKind kind, int x, int y, int id = 0) {
        ASSERT_NE(window, nullptr);
        platform::WindowMessage m;
        m.kind = kind;
        m.x = x;
        m.y = y;
        m.id = id;
        window->Send(m);
    }
    void Drag(int x1, int y1, int x2, int y2) {
        Send(Canvas(), platform::MessageKind::StylusDown, x1, y1);
        Send(Canvas(), platform::MessageKind::StylusMove, (x1 + x2) / 2, (y1 + y2) / 2);
        Send(Canvas(), platform::MessageKind::StylusMove, x2, y2);
        Send(Canvas(), platform::MessageKind::StylusUp, x2, y2);
    }
    // The Area group's button, then "Linear Gradient" in the flyout it opens over a piece.
    void ChooseGradient() {
        ToolBarTap(3 * kButtonPitch + kButtonPitch / 2, 5);
        Send(PanelState.FlyoutWindow, platform::MessageKind::StylusUp, 60, kButtonPitch + kButtonPitch / 2);
    }
    void Act(const std::string& action) {
        if (action == "lift") {
            Drag(15, 15, 65, 65);  // the red square with a white frame
        } else if (action == "drag") {
            Drag(40, 40, 110, 90);  // over the disc
        } else if (action == "gradient") {
            ChooseGradient();
            EXPECT_EQ(PaintSettings.Tool, kToolPieceGradient);
        } else if (action == "paint") {
            Drag(90, 70, 130, 110);  // the gradient across the piece
        } else if (action == "piece") {
            ToolBarTap(kButtonPitch / 2, 5);  // the Select group's button: the piece to move again
        } else if (action == "move") {
            Drag(100, 80, 40, 40);  // the dragged piece, away from where it lay
        } else if (action == "hollow") {
            ToolBarTap(kFillStyleButton * kButtonPitch + kButtonPitch / 2, 5);
            Send(PanelState.FlyoutWindow, platform::MessageKind::StylusUp, 30, kButtonPitch / 2);
        } else if (action == "invert") {
            Send(ShellState.MainWindow, platform::MessageKind::Command, 0, 0, CMD_INVERT);
        } else if (action == "undo") {
            Send(ShellState.MainWindow, platform::MessageKind::Command, 0, 0, CMD_UNDO);
        } else if (action == "pen") {
            ToolBarTap(kButtonPitch + kButtonPitch / 2, 5);
        } else {
            FAIL() << "no action " << action;
        }
    }
};

TEST_F(PieceGradientUndoTest, UndoShowsOnlyPicturesSeenAndASecondUndoRedoes) {
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

TEST_F(PieceGradientUndoTest, ANewPictureWhileTheGradientIsOnAPieceIsShownAsMade) {
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
