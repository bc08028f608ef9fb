// From a slider change in the value dialog to the finished preview on the screen, for every
// image operation with values, on a 12-megapixel photo in a full-HD canvas: the change, the
// dialog's timer tick (restore from the undo copy, the filter, the repaint of the view) and
// the copy of the canvas surface to the screen. The counter first_view_ms is the time until the
// view first shows the new values: where a pumping filter makes the rows in the view first and
// shows them before the rest, that moment, else the finished preview. The rotation has no
// preview: it runs once after OK, which is what is measured for it.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <string>

#include "PhotoDocument.h"
#include "filters/FilterEngine.h"
#include "filters/Operations.h"
#include "image/ImageSlots.h"
#include "image/PaintSettings.h"
#include "image/View.h"
#include "panels/DialogBuilder.h"
#include "panels/ValueDialog.h"
#include "platform/FilterPump.h"
#include "platform/Headless.h"
#include "platform/qt/QtImage.h"
#include "shell/Dispatch.h"
#include "shell/MainFrame.h"
#include "tools/Canvas.h"

namespace {

using photobench::kCanvasHeight;
using photobench::kCanvasWidth;
using photobench::kPhotoHeight;
using photobench::kPhotoWidth;
using photobench::MakePhotoDocument;

platform::WindowMessage Message(platform::MessageKind kind, int id) {
    platform::WindowMessage m;
    m.kind = kind;
    m.id = id;
    return m;
}

// Two values of the first slot (or list entries) a drag moves between.
void ValuesFor(const Operation& op, int& a, int& b) {
    const OperationValue* slot = SlotOf(op, 0);
    if (!slot) {
        a = 1;
        b = 2;
        return;
    }
    const BoundInputs inputs = CurrentBoundInputs(0);
    const int low = BoundValue(slot->minimum, inputs);
    const int high = BoundValue(slot->maximum, inputs);
    a = low + (high - low) * 3 / 5;
    b = a + 1;
}

void ShowCanvas(QImage& screen) {
    const raster::Bitmap* surface = CurrentBox().window->GetDC().SelectedBitmap();
    QPainter painter(&screen);
    painter.drawImage(0, 0, platform::qt::ToQImage(*surface, QRect(0, 0, surface->Width(), surface->Height())));
}

void BM_SliderToPreview(benchmark::State& state, int command) {
    platform::HeadlessWindowSystem windows;
    MakePhotoDocument(windows);
    const Operation& op = *OperationByCommand(command);
    QImage screen(kCanvasWidth, kCanvasHeight, QImage::Format_RGB32);
    int a = 0;
    int b = 0;
    ValuesFor(op, a, b);
    windows.onModal = [&](platform::HeadlessWindow& dialog) {
        dialog.Send(Message(platform::MessageKind::Timer, kValuePreviewTimer));
        bool flip = false;
        using Clock = std::chrono::steady_clock;
        Clock::time_point changed;
        double firstView = -1.0;
        double firstViews = 0.0;
        auto sinceChange = [&changed] {
            return std::chrono::duration<double, std::milli>(Clock::now() - changed).count();
        };
        // The screen is updated whenever the filter hands events on after the view showed
        // its first rows, as the window's own pump would.
        platform::SetFilterMessagePump([&] {
            if (firstView >= 0.0 || !FilterState.firstRowsShown) return;
            ShowCanvas(screen);
            firstView = sinceChange();
        });
        for (auto _ : state) {
            flip = !flip;
            changed = Clock::now();
            firstView = -1.0;
            const int value = flip ? b : a;
            if (SlotOf(op, 0)) {
                dialog.FindControl(ValueSliderId(0))->SetPosition(value);
                platform::WindowMessage move = Message(platform::MessageKind::HScroll, ValueSliderId(0));
                move.scrollCode = platform::ScrollCode::ThumbTrack;
                dialog.Send(move);
            } else {
                dialog.FindControl(kValueListId)->SetSelection(value);
                dialog.Send(Message(platform::MessageKind::Command, kValueListId));
            }
            dialog.Send(Message(platform::MessageKind::Timer, kValuePreviewTimer));
            ShowCanvas(screen);
            benchmark::DoNotOptimize(screen.constBits());
            firstViews += firstView >= 0.0 ? firstView : sinceChange();
        }
        platform::SetFilterMessagePump({});
        state.counters["first_view_ms"] = firstViews / static_cast<double>(std::max<std::int64_t>(state.iterations(), 1));
        dialog.Send(Message(platform::MessageKind::Command, kValueCloseId));
    };
    DispatchCommand(command);
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kPhotoWidth) * kPhotoHeight);
    photobench::ClosePhotoDocument();
}

// The rotation by 30 degrees after OK, with its repaint.
void BM_RotateAfterOk(benchmark::State& state) {
    platform::HeadlessWindowSystem windows;
    QImage screen(kCanvasWidth, kCanvasHeight, QImage::Format_RGB32);
    for (auto _ : state) {
        state.PauseTiming();
        MakePhotoDocument(windows);
        windows.onModal = [](platform::HeadlessWindow& dialog) {
            dialog.FindControl(ValueFieldId(0))->SetText("30");
            dialog.Send(Message(platform::MessageKind::Command, kValueOkId));
        };
        state.ResumeTiming();
        DispatchCommand(CMD_ROTATE_ARBITRARY);
        ShowCanvas(screen);
        benchmark::DoNotOptimize(screen.constBits());
        state.PauseTiming();
        FreeImageBox(ImageState.CurrentImage);
        ResetImageState();
        state.ResumeTiming();
    }
    platform::SetWindowSystem(nullptr);
}

[[maybe_unused]] const bool g_registered = [] {
    for (const Operation& op : Operations()) {
        if (op.dialog != OperationDialog::Values || op.filterId == FILTER_NONE) continue;
        benchmark::RegisterBenchmark((std::string("BM_SliderToPreview/") + op.batchName).c_str(), BM_SliderToPreview,
                                     op.command)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    }
    benchmark::RegisterBenchmark("BM_RotateAfterOk/30", BM_RotateAfterOk)->Unit(benchmark::kMillisecond)->UseRealTime();
    return true;
}();

}  // namespace
