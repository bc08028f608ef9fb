#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <vector>

#include "filters/Blur.h"
#include "filters/ColourAdjust.h"
#include "filters/DistortFilters.h"
#include "filters/Geometry.h"
#include "filters/Noise.h"
#include "filters/NoiseFilters.h"
#include "platform/raster/ParallelRows.h"
#include "filters/TextureList.h"
#include "image/ImageSlots.h"
#include "image/PaintSettings.h"
#include "image/ToolIds.h"
#include "image/Undo.h"
#include "image/View.h"
#include "panels/DialogBuilder.h"
#include "panels/ValueDialog.h"
#include "platform/FilterPump.h"
#include "platform/Headless.h"
#include "shell/Dispatch.h"
#include "shell/MainFrame.h"
#include "shell/ProgramState.h"
#include "support/FilterTestSupport.h"
#include "filters/Noise.h"

namespace {

using platform::HeadlessWindow;
using platform::MessageKind;
using platform::WindowMessage;

WindowMessage Command(int id) {
    WindowMessage m;
    m.kind = MessageKind::Command;
    m.id = id;
    m.code = platform::Notify::Clicked;
    return m;
}

WindowMessage Tick() {
    WindowMessage m;
    m.kind = MessageKind::Timer;
    m.id = kValuePreviewTimer;
    return m;
}

// The user drags slot k's slider to position.
void Slide(HeadlessWindow& dialog, int k, int position) {
    dialog.FindControl(ValueSliderId(k))->SetPosition(position);
    WindowMessage m;
    m.kind = MessageKind::HScroll;
    m.id = ValueSliderId(k);
    m.scrollCode = platform::ScrollCode::ThumbTrack;
    m.position = position;
    dialog.Send(m);
}

void Arrow(HeadlessWindow& dialog, int k, int delta) {
    WindowMessage m;
    m.kind = MessageKind::UpDownDelta;
    m.id = ValueArrowsId(k);
    m.delta = delta;
    dialog.Send(m);
}

void ChooseListEntry(HeadlessWindow& dialog, int index) {
    dialog.FindControl(kValueListId)->SetSelection(index);
    WindowMessage m = Command(kValueListId);
    m.code = platform::Notify::SelectionChanged;
    dialog.Send(m);
}

using Edges = std::array<int, 4>;
Edges Sides(const raster::Rect& r) { return {r.left, r.top, r.right, r.bottom}; }

bool PreviewArmed(const HeadlessWindow& dialog) { return dialog.TimerPeriod(kValuePreviewTimer) == kValuePreviewMs; }

// Lets the preview timer fire until it stays quiet; returns how many ticks started a run.
int RunPreviews(HeadlessWindow& dialog) {
    int ticks = 0;
    while (PreviewArmed(dialog) && ticks < 100) {
        dialog.Send(Tick());
        ++ticks;
    }
    return ticks;
}

class ValueDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        system.screenWidth = 240;
        system.screenHeight = 320;
        ShellState.CommandBarHeight = 26;
        platform::SetWindowSystem(&system);
        ASSERT_EQ(CreateImage(37, 29), 1);
        picture = RandomBuffer(37, 29, 11);
        CopyPixels(Work(), picture.get());
    }
    void TearDown() override {
        platform::SetFilterMessagePump({});
        platform::SetWindowSystem(nullptr);
        ResetProgramState();
    }
    static PixelBuffer* Work() { return CurrentBox().workBitmap; }

    // What a filter run straight on the picture makes of it.
    std::unique_ptr<PixelBuffer> Expected(const std::function<void()>& run) {
        auto saved = CopyOf(*Work());
        CopyPixels(Work(), picture.get());
        if (TakeImageUndo() != 1) ADD_FAILURE() << "no undo copy";
        ResetNoise();
        run();
        auto result = CopyOf(*Work());
        CopyPixels(Work(), saved.get());
        ResetNoise();
        return result;
    }

    // Chooses the command, playing the user with play while the dialog is open.
    void Choose(int command, std::function<void(HeadlessWindow&)> play) {
        system.onModal = std::move(play);
        DispatchCommand(command);
    }

    platform::HeadlessWindowSystem system;
    std::unique_ptr<PixelBuffer> picture;
};

}  // namespace

TEST_F(ValueDialogTest, SeparateChannelIsTheListAloneWithOkBelowIt) {
    raster::Rect okRect{};
    bool noSliders = false;
    Choose(CMD_SEPARATE_CHANNEL, [&](HeadlessWindow& dialog) {
        okRect = dialog.FindControl(kValueOkId)->Geometry();
        noSliders = dialog.FindControl(ValueSliderId(0)) == nullptr && dialog.FindControl(ValueFieldId(0)) == nullptr;
        dialog.Send(Command(kValueCloseId));
    });
    HeadlessWindow& dialog = *system.LastModal();
    const raster::Rect r = dialog.WindowRect();
    EXPECT_EQ(r.Width(), 242);
    EXPECT_EQ(r.Height(), 61);
    EXPECT_EQ(r.left, -1);
    EXPECT_EQ(r.bottom, 320 - 26 + 1);
    EXPECT_EQ(Sides(okRect), (Edges{214, 39, 237, 56}));
    EXPECT_TRUE(noSliders);
    auto* list = static_cast<platform::HeadlessControl*>(dialog.FindControl(kValueListId));
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(Sides(list->Geometry()), (Edges{67, 17, 237, 97}));
    EXPECT_EQ(list->Items(), (std::vector<std::string>{"Red", "Green", "Blue"}));
    EXPECT_EQ(list->Selection(), 0);
    EXPECT_EQ(dialog.FindControl(kValueListLabelId)->Text(), "Channel");
    EXPECT_EQ(dialog.FindControl(kValueTitleId)->Text(), "Separate Channel");
    EXPECT_EQ(Sides(dialog.FindControl(kValueTitleId)->Geometry()), (Edges{-1, -2, 226, 14}));
    EXPECT_EQ(Sides(dialog.FindControl(kValueCloseId)->Geometry()), (Edges{227, -2, 242, 14}));
    EXPECT_EQ(dialog.FindControl(kValueCloseId)->Text(), "x");
    EXPECT_EQ(FilterState.FilterId, FILTER_NONE);  // back to none once the dialog is gone
}

TEST_F(ValueDialogTest, SlotRowsFollowTheListAndKeepTheirIdentifiers) {
    Choose(CMD_BRIGHTNESS_CONTRAST, [&](HeadlessWindow& dialog) {
        EXPECT_EQ(FilterState.FilterId, FILTER_BRIGHTNESS_CONTRAST);
        // Slot k's label, slider and field; the label ids overlap the arrows of the slot
        // before, which only the arrows' notifications use.
        EXPECT_EQ(Sides(dialog.FindControl(ValueLabelId(0))->Geometry()), (Edges{2, 39, 62, 56}));
        for (int k = 0; k < 2; ++k) {
            const int y = 39 + 20 * k;
            auto* slider = static_cast<platform::HeadlessControl*>(dialog.FindControl(ValueSliderId(k)));
            EXPECT_EQ(Sides(slider->Geometry()), (Edges{60, y - 2, 166, y + 19}));
            EXPECT_EQ(slider->RangeMin(), -100);
            EXPECT_EQ(slider->RangeMax(), 100);
            EXPECT_EQ(slider->PageSize(), 10);
            EXPECT_EQ(slider->Position(), 0);
            EXPECT_EQ(Sides(dialog.FindControl(ValueFieldId(k))->Geometry()), (Edges{166, y, 209, y + 17}));
            EXPECT_EQ(dialog.FindControl(ValueFieldId(k))->Text(), "0");
            EXPECT_EQ(dialog.FindControl(ValueArrowsId(k))->Kind(), platform::ControlKind::UpDown);
        }
        EXPECT_EQ(dialog.FindControl(ValueSliderId(2)), nullptr);
        // OK at the right end of the last slider row.
        EXPECT_EQ(dialog.FindControl(kValueOkId)->Geometry().top, 59);
        EXPECT_EQ(dialog.WindowRect().Height(), 81);
        EXPECT_TRUE(PreviewArmed(dialog));  // the first preview comes by itself
        dialog.Send(Command(kValueCloseId));
    });
}

TEST_F(ValueDialogTest, GammaTypedBeyondItsRangeIsClampedButKeptInTheField) {
    auto expected = Expected([] { ApplyLevels(0, 0, 500.0f, true, true, true); });
    std::string field;
    int slider = 0;
    bool previewed = false;
    Choose(CMD_GAMMA, [&](HeadlessWindow& dialog) {
        RunPreviews(dialog);
        dialog.FindControl(ValueFieldId(0))->SetText("600");
        EXPECT_TRUE(PreviewArmed(dialog));
        RunPreviews(dialog);
        previewed = SameBytes(*Work(), *expected);
        field = dialog.FindControl(ValueFieldId(0))->Text();
        slider = dialog.FindControl(ValueSliderId(0))->Position();
        EXPECT_EQ(ValueDialogRecord.slot[0].value, 500);
        dialog.Send(Command(kValueOkId));
    });
    EXPECT_EQ(system.LastModal()->Result(), 1);
    EXPECT_TRUE(previewed);
    EXPECT_EQ(field, "600");
    EXPECT_EQ(slider, 500);
    EXPECT_EQ(ValueDialogRecord.slot[0].value, 500);
    EXPECT_TRUE(SameBytes(*Work(), *expected));
}

TEST_F(ValueDialogTest, TextThatIsNoNumberReadsAsZeroAndIsClamped) {
    Choose(CMD_GAMMA, [&](HeadlessWindow& dialog) {
        dialog.FindControl(ValueFieldId(0))->SetText("abc");
        EXPECT_EQ(ValueDialogRecord.slot[0].value, 10);
        dialog.FindControl(ValueFieldId(0))->SetText("-7x");
        EXPECT_EQ(ValueDialogRecord.slot[0].value, 10);
        EXPECT_EQ(dialog.FindControl(ValueSliderId(0))->Position(), 10);
        dialog.Send(Command(kValueCloseId));
    });
}

TEST_F(ValueDialogTest, SliderWritesTheFieldAndArrowsStepTheFieldWithinTheRange) {
    Choose(CMD_SWIRL, [&](HeadlessWindow& dialog) {
        Slide(dialog, 1, 45);
        EXPECT_EQ(dialog.FindControl(ValueFieldId(1))->Text(), "45");
        EXPECT_EQ(ValueDialogRecord.slot[1].value, 45);
        // Up raises, down lowers.
        Arrow(dialog, 1, +1);
        EXPECT_EQ(dialog.FindControl(ValueFieldId(1))->Text(), "46");
        EXPECT_EQ(dialog.FindControl(ValueSliderId(1))->Position(), 46);
        Arrow(dialog, 1, -1);
        Arrow(dialog, 1, -1);
        EXPECT_EQ(ValueDialogRecord.slot[1].value, 44);
        // The rotations stop at 8 and -8.
        dialog.FindControl(ValueFieldId(0))->SetText("8");
        Arrow(dialog, 0, +1);
        EXPECT_EQ(dialog.FindControl(ValueFieldId(0))->Text(), "8");
        dialog.FindControl(ValueFieldId(0))->SetText("-8");
        Arrow(dialog, 0, -1);
        EXPECT_EQ(dialog.FindControl(ValueFieldId(0))->Text(), "-8");
        // Past the end of its range a typed number comes back into it with one step.
        dialog.FindControl(ValueFieldId(0))->SetText("30");
        Arrow(dialog, 0, -1);
        EXPECT_EQ(dialog.FindControl(ValueFieldId(0))->Text(), "8");
        // The end-of-tracking codes change nothing.
        WindowMessage end;
        end.kind = MessageKind::HScroll;
        end.id = ValueSliderId(1);
        end.scrollCode = platform::ScrollCode::EndScroll;
        dialog.FindControl(ValueSliderId(1))->SetPosition(100);
        dialog.Send(end);
        EXPECT_EQ(ValueDialogRecord.slot[1].value, 44);
        dialog.Send(Command(kValueCloseId));
    });
}

TEST_F(ValueDialogTest, WavesAtItsInitialValuesLeavesThePicture) {
    bool unchanged = false;
    Choose(CMD_WAVES, [&](HeadlessWindow& dialog) {
        EXPECT_EQ(RunPreviews(dialog), 1);
        unchanged = SameBytes(*Work(), *picture);
        dialog.Send(Command(kValueOkId));
    });
    EXPECT_TRUE(unchanged);
    EXPECT_TRUE(SameBytes(*Work(), *picture));
}

TEST_F(ValueDialogTest, ChoosingAListEntryPreviewsWithoutASlider) {
    auto green = Expected([] { SeparateChannel(1); });
    auto blue = Expected([] { SeparateChannel(2); });
    bool first = false;
    Choose(CMD_SEPARATE_CHANNEL, [&](HeadlessWindow& dialog) {
        RunPreviews(dialog);
        ChooseListEntry(dialog, 1);
        EXPECT_EQ(ValueDialogRecord.listIndex, 1);
        EXPECT_EQ(RunPreviews(dialog), 1);
        first = SameBytes(*Work(), *green);
        ChooseListEntry(dialog, 2);
        dialog.Send(Command(kValueOkId));  // before the tick: OK finishes the preview itself
    });
    EXPECT_TRUE(first);
    EXPECT_TRUE(SameBytes(*Work(), *blue));
}

TEST_F(ValueDialogTest, CloseAfterSeveralPreviewsRestoresThePictureAndUndoGivesItBack) {
    Choose(CMD_COLORIZE, [&](HeadlessWindow& dialog) {
        for (int hue : {30, -90, 170}) {
            Slide(dialog, 0, hue);
            Slide(dialog, 1, 50);
            RunPreviews(dialog);
            EXPECT_FALSE(SameBytes(*Work(), *picture));
        }
        dialog.Send(Command(kValueCloseId));
    });
    EXPECT_EQ(system.LastModal()->Result(), 0);
    EXPECT_TRUE(SameBytes(*Work(), *picture));
    Undo();
    EXPECT_TRUE(SameBytes(*Work(), *picture));
}

TEST_F(ValueDialogTest, OkRightAwayKeepsTheFirstPreview) {
    // Add Noise starts at 50: accepting before the first tick still gives the noise.
    auto expected = Expected([] { AddNoise(0, 50); });
    ResetNoise();
    Choose(CMD_ADD_NOISE, [&](HeadlessWindow& dialog) { dialog.Send(Command(kValueOkId)); });
    EXPECT_EQ(system.LastModal()->Result(), 1);
    EXPECT_TRUE(SameBytes(*Work(), *expected));
}

TEST_F(ValueDialogTest, AFastDragDuringASlowPreviewStopsItOnceAndRunsTheLastValue) {
    // The drag moves the slider at every row of the first run; each move restarts the 10 ms
    // timer, which fires only once the drag has ended: then the run stops and one fresh run
    // with the last position follows.
    auto expected = Expected([] { UnsharpMask(310, 4); });
    HeadlessWindow* open = nullptr;
    int pumps = 0;
    int stops = 0;
    bool nested = false;
    platform::SetFilterMessagePump([&] {
        if (!open) return;
        ++pumps;
        if (pumps <= 10) {
            Slide(*open, 0, 300 + pumps);
            EXPECT_TRUE(PreviewArmed(*open));
        } else if (pumps == 11) {
            nested = true;
            open->Send(Tick());
        }
        if (FilterState.FilterBusy == kFilterRestart) ++stops;
    });
    int ticks = 0;
    Choose(CMD_UNSHARP_MASK, [&](HeadlessWindow& dialog) {
        dialog.FindControl(ValueFieldId(1))->SetText("4");
        dialog.FindControl(ValueFieldId(0))->SetText("300");
        open = &dialog;
        ticks = RunPreviews(dialog);
        open = nullptr;
        dialog.Send(Command(kValueOkId));
    });
    EXPECT_TRUE(nested);
    EXPECT_EQ(stops, 1);
    EXPECT_EQ(ticks, 2);  // the stopped run's tick and the complete run's
    EXPECT_EQ(ValueDialogRecord.slot[0].value, 310);
    EXPECT_TRUE(SameBytes(*Work(), *expected));
    EXPECT_EQ(FilterState.FilterBusy, kFilterIdle);
}

TEST_F(ValueDialogTest, OkDuringAStaleRunFinishesWithTheFinalValues) {
    // The user moves the slider and presses OK while a preview with older values runs.
    auto expected = Expected([] { UnsharpMask(500, 2); });
    HeadlessWindow* open = nullptr;
    int pumps = 0;
    platform::SetFilterMessagePump([&] {
        if (!open || ++pumps != 3) return;
        Slide(*open, 0, 500);
        open->Send(Command(kValueOkId));
    });
    Choose(CMD_UNSHARP_MASK, [&](HeadlessWindow& dialog) {
        dialog.FindControl(ValueFieldId(1))->SetText("2");
        dialog.FindControl(ValueFieldId(0))->SetText("100");
        open = &dialog;
        dialog.Send(Tick());
        open = nullptr;
    });
    EXPECT_EQ(system.LastModal()->Result(), 1);
    EXPECT_TRUE(SameBytes(*Work(), *expected));
    EXPECT_EQ(FilterState.FilterBusy, kFilterIdle);
}

TEST_F(ValueDialogTest, CloseDuringARunStopsItAndRestores) {
    HeadlessWindow* open = nullptr;
    int pumps = 0;
    platform::SetFilterMessagePump([&] {
        if (open && ++pumps == 2) open->Send(Command(kValueCloseId));
    });
    Choose(CMD_HUE_SATURATION, [&](HeadlessWindow& dialog) {
        Slide(dialog, 0, 90);
        open = &dialog;
        dialog.Send(Tick());
        open = nullptr;
        EXPECT_FALSE(PreviewArmed(dialog));
    });
    EXPECT_EQ(pumps, 2);  // stopped at the next row
    EXPECT_EQ(system.LastModal()->Result(), 0);
    EXPECT_TRUE(SameBytes(*Work(), *picture));
}

TEST_F(ValueDialogTest, ArbitraryRotationRunsOnlyAfterOk) {
    bool untouched = false;
    Choose(CMD_ROTATE_ARBITRARY, [&](HeadlessWindow& dialog) {
        EXPECT_EQ(dialog.FindControl(kValueTitleId)->Text(), "Rotate");
        dialog.FindControl(ValueFieldId(0))->SetText("90");
        RunPreviews(dialog);
        untouched = SameBytes(*Work(), *picture);
        dialog.Send(Command(kValueOkId));
    });
    EXPECT_TRUE(untouched);
    auto rotated = CopyOf(*Work());
    EXPECT_EQ(rotated->Width(), 29);

    Choose(CMD_ROTATE_ARBITRARY, [&](HeadlessWindow& dialog) {
        dialog.FindControl(ValueFieldId(0))->SetText("45");
        dialog.Send(Command(kValueCloseId));
    });
    EXPECT_TRUE(SameBytes(*Work(), *rotated));

    // The same picture rotated straight.
    ASSERT_EQ(CreateImage(37, 29), 1);
    CopyPixels(Work(), picture.get());
    ASSERT_EQ(TakeImageUndo(), 1);
    ASSERT_EQ(RotateArbitrary(90.0f), 1);
    EXPECT_TRUE(SameBytes(*Work(), *rotated));
}

TEST_F(ValueDialogTest, RangesAndInitialEntriesThatDependOnTheMoment) {
    PaintSettings.Gradient = 2;
    Choose(CMD_EMBOSS, [&](HeadlessWindow& dialog) {
        EXPECT_EQ(dialog.FindControl(kValueListId)->Selection(), 2);
        EXPECT_EQ(dialog.FindControl(ValueFieldId(0))->Text(), "100");
        dialog.Send(Command(kValueCloseId));
    });
    Choose(CMD_OFFSET, [&](HeadlessWindow& dialog) {
        auto* h = static_cast<platform::HeadlessControl*>(dialog.FindControl(ValueSliderId(0)));
        auto* v = static_cast<platform::HeadlessControl*>(dialog.FindControl(ValueSliderId(1)));
        EXPECT_EQ(h->RangeMin(), -37);
        EXPECT_EQ(h->RangeMax(), 37);
        EXPECT_EQ(v->RangeMin(), -29);
        EXPECT_EQ(v->RangeMax(), 29);
        dialog.Send(Command(kValueCloseId));
    });
}

TEST_F(ValueDialogTest, TextureListIsTheTexturesFolder) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "pw_value_dialog_textures";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(std::string(PW_DATA_DIR) + "/textures/Bricks.png", folder / "b.png");
    std::filesystem::copy_file(std::string(PW_DATA_DIR) + "/textures/Sand.png", folder / "a.png");
    SetTextureFolder(folder.string());
    std::vector<std::string> items;
    std::string path;
    Choose(CMD_TEXTURE, [&](HeadlessWindow& dialog) {
        items = static_cast<platform::HeadlessControl*>(dialog.FindControl(kValueListId))->Items();
        ChooseListEntry(dialog, 1);
        path = ValueDialogArguments().texturePath;
        RunPreviews(dialog);
        EXPECT_FALSE(SameBytes(*Work(), *picture));
        dialog.Send(Command(kValueCloseId));
    });
    EXPECT_EQ(items, (std::vector<std::string>{"a.png", "b.png"}));
    EXPECT_EQ(path, (folder / "b.png").string());
    EXPECT_TRUE(SameBytes(*Work(), *picture));
    std::filesystem::remove_all(folder);
}

TEST_F(ValueDialogTest, TheTopStripDragsTheDialog) {
    raster::Rect before{};
    raster::Rect after{};
    raster::Rect unmoved{};
    Choose(CMD_JITTER, [&](HeadlessWindow& dialog) {
        before = dialog.WindowRect();
        auto stylus = [&](MessageKind kind, int x, int y) {
            WindowMessage m;
            m.kind = kind;
            m.x = x;
            m.y = y;
            dialog.Send(m);
        };
        stylus(MessageKind::StylusDown, 100, 14);
        stylus(MessageKind::StylusMove, 90, -26);
        stylus(MessageKind::StylusUp, 90, -26);
        after = dialog.WindowRect();
        stylus(MessageKind::StylusDown, 100, 15);  // below the strip: no drag
        stylus(MessageKind::StylusMove, 150, 40);
        stylus(MessageKind::StylusUp, 150, 40);
        unmoved = dialog.WindowRect();
        dialog.Send(Command(kValueCloseId));
    });
    EXPECT_EQ(after.left, before.left - 10);
    EXPECT_EQ(after.top, before.top - 40);
    EXPECT_EQ(after.Width(), 242);
    EXPECT_EQ(Sides(unmoved), Sides(after));
}

TEST_F(ValueDialogTest, AFloatingPieceIsFilteredAndRestoredAlone) {
    // While a piece floats the image's undo copy holds the image without it.
    ASSERT_EQ(TakeImageUndo(), 1);
    ASSERT_EQ(CreateFloatingPiece(6, 5), 1);
    PaintSettings.Tool = kToolFloatingPiece;
    auto piece = RandomBuffer(6, 5, 3);
    CopyPixels(FloatingPiece.pieceBitmap, piece.get());
    Choose(CMD_ADJUST_RGB, [&](HeadlessWindow& dialog) {
        EXPECT_EQ(dialog.FindControl(ValueFieldId(0))->Text(), "0");
        Slide(dialog, 0, -255);
        RunPreviews(dialog);
        EXPECT_EQ(PixelAt(*FloatingPiece.pieceBitmap, 2, 2).r, 0);
        dialog.Send(Command(kValueCloseId));
    });
    EXPECT_TRUE(SameBytes(*FloatingPiece.pieceBitmap, *piece));
    // The image around the piece, where it shows, stays as it was.
    for (int y = 0; y < 29; ++y) {
        for (int x = 0; x < 37; ++x) {
            const bool underPiece = x >= FloatingPiece.pieceX && x < FloatingPiece.pieceX + 6 &&
                                    y >= FloatingPiece.pieceY && y < FloatingPiece.pieceY + 5;
            if (!underPiece) ASSERT_EQ(PixelAt(*Work(), x, y), PixelAt(*picture, x, y)) << x << "," << y;
        }
    }
}

namespace {

// A slider dragged without a pause, in simulated time: the slider moves every moveEvery
// microseconds until dragEnd, the preview timer fires 10 ms after it was last started, and
// each row of a pumping filter takes rowCost. Records when a finished preview showed.
class Drag {
public:
    Drag(HeadlessWindow& dialog, int slot, int firstPosition, long moveEvery, long dragEnd, long rowCost)
        : dialog_(dialog),
          slot_(slot),
          position_(firstPosition),
          moveEvery_(moveEvery),
          dragEnd_(dragEnd),
          rowCost_(rowCost) {
        platform::SetFilterMessagePump([this] {
            Advance(rowCost_, true);
            // A run that begins its last row without a restart request finishes and shows.
            if (FilterState.pumpedRowsBegun == FilterState.pumpedRows && FilterState.FilterBusy == kFilterRunning) {
                shown_.push_back(now_ + rowCost_);
            }
        });
    }
    ~Drag() { platform::SetFilterMessagePump({}); }

    // Runs the drag, then lets the timer fire until it stays quiet.
    void Play() {
        Advance(dragEnd_ + 200000, false);
    }
    int LastPosition() const { return position_ - 1; }
    // The longest time during the drag without a new preview on the canvas.
    long LongestWait() const {
        long last = 0;
        long longest = 0;
        for (long at : shown_) {
            if (at > dragEnd_) break;
            longest = std::max(longest, at - last);
            last = at;
        }
        return std::max(longest, dragEnd_ - last);
    }
    int Shown() const { return static_cast<int>(shown_.size()); }

private:
    void Notice() {
        const int starts = dialog_.TimerStarts(kValuePreviewTimer);
        if (starts != timerStarts_) armedAt_ = now_;
        timerStarts_ = starts;
    }

    void Advance(long micros, bool nested) {
        const long until = now_ + micros;
        while (now_ < until) {
            now_ += 100;
            if (now_ >= nextMove_ && now_ <= dragEnd_) {
                Slide(dialog_, slot_, position_++);
                Notice();
                nextMove_ += moveEvery_;
            }
            if (!PreviewArmed(dialog_) || now_ < armedAt_ + 1000L * kValuePreviewMs) continue;
            dialog_.Send(Tick());
            Notice();
            // A tick at the top starts a preview; one that does not pump shows at once.
            if (!nested && rowCost_ == 0) shown_.push_back(now_);
        }
    }

    HeadlessWindow& dialog_;
    const int slot_;
    int position_;
    const long moveEvery_;
    const long dragEnd_;
    const long rowCost_;
    long now_ = 0;
    long nextMove_ = 0;
    long armedAt_ = 0;
    int timerStarts_ = 0;
    std::vector<long> shown_;
};

}  // namespace

TEST_F(ValueDialogTest, ADragWithoutAPauseShowsAPreviewAtLeastEveryTenthOfASecond) {
    struct Case {
        int command;
        int firstPosition;
        long rowCost;  // microseconds per row of a pumping filter; the picture has 29 rows
    };
    // Gamma does not pump; Hue/Saturation does, and one preview (29 x 1.5 ms) takes much
    // longer than the 4 ms between two moves of the slider.
    for (const Case c : {Case{CMD_GAMMA, 100, 0}, Case{CMD_HUE_SATURATION, -150, 1500}}) {
        int last = 0;
        long longest = 0;
        int shown = 0;
        Choose(c.command, [&](HeadlessWindow& dialog) {
            RunPreviews(dialog);
            Drag drag(dialog, 0, c.firstPosition, 4000, 400000, c.rowCost);
            drag.Play();
            last = drag.LastPosition();
            longest = drag.LongestWait();
            shown = drag.Shown();
            dialog.Send(Command(kValueOkId));
        });
        EXPECT_LE(longest, 100000) << c.command;
        EXPECT_GE(shown, 4) << c.command;
        // After OK the picture is exactly the final value's.
        auto expected = c.command == CMD_GAMMA
                            ? Expected([&] { ApplyLevels(0, 0, static_cast<float>(last), true, true, true); })
                            : Expected([&] { HueSaturation(static_cast<float>(last), 0.0f, 0.0f); });
        EXPECT_EQ(last, c.firstPosition + 100) << c.command;
        EXPECT_TRUE(SameBytes(*Work(), *expected)) << c.command;
        Undo();
        EXPECT_TRUE(SameBytes(*Work(), *picture));
    }
}

TEST_F(ValueDialogTest, APictureTallerThanTheViewShowsTheRowsInTheViewFirst) {
    // One thread, so the order of the rows is fixed: the view shows its rows with the new
    // values while the rows below it are still the old ones, and OK leaves the whole picture
    // as the filter makes it.
    RowThreadsWanted = 1;
    constexpr int kTall = 1200;
    ASSERT_EQ(CreateImage(300, kTall), 1);
    picture = RandomBuffer(300, kTall, 12);
    CopyPixels(Work(), picture.get());
    auto expected = Expected([] { HueSaturation(40.0f, -30.0f, 10.0f); });
    platform::Window& canvas = *CurrentBox().window;
    canvas.Move(0, 0, 320, 240, false);
    SetupScrollBars(ImageState.CurrentImage, 0.0f, 0.0f);
    const int viewRows = canvas.ClientRect().Height();
    ASSERT_GT(viewRows, 10);
    ASSERT_LT(viewRows + 2, kTall);
    bool sawFirstRows = false;
    platform::SetFilterMessagePump([&] {
        if (sawFirstRows || !FilterState.firstRowsShown) return;
        sawFirstRows = true;
        const raster::DrawingContext& surface = canvas.GetDC();
        for (int y : {0, viewRows / 2, viewRows - 1}) {
            for (int x : {0, 150, 299}) {
                const std::uint8_t* want = expected->Row(y) + 3 * x;
                EXPECT_EQ(raster::GetPixel(surface, x, y), raster::MakeColour(want[2], want[1], want[0])) << x << "," << y;
            }
        }
        EXPECT_TRUE(std::equal(Work()->Row(kTall - 1), Work()->Row(kTall - 1) + 900, picture->Row(kTall - 1)));
    });
    Choose(CMD_HUE_SATURATION, [&](HeadlessWindow& dialog) {
        dialog.FindControl(ValueFieldId(0))->SetText("40");
        dialog.FindControl(ValueFieldId(1))->SetText("-30");
        dialog.FindControl(ValueFieldId(2))->SetText("10");
        dialog.Send(Command(kValueOkId));
    });
    RowThreadsWanted = 0;
    EXPECT_TRUE(sawFirstRows);
    EXPECT_TRUE(SameBytes(*Work(), *expected));
}
