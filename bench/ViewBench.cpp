// The view of a 12-megapixel photo in a full-HD canvas: the whole-view repaint that runs at
// every stylus move away from 100 %, and one pen dab with its partial repaint at 100 %.
#include <benchmark/benchmark.h>

#include "image/ImageSlots.h"
#include "image/PaintSettings.h"
#include "image/Undo.h"
#include "image/View.h"
#include "platform/Headless.h"
#include "platform/MessageBox.h"
#include "platform/raster/Draw.h"
#include "tools/Canvas.h"

namespace {

constexpr int kPhotoWidth = 4000;
constexpr int kPhotoHeight = 3000;
constexpr int kCanvasWidth = 1920;
constexpr int kCanvasHeight = 1080;

// A photo-sized document with some structure in it, in a canvas window of full-HD client size.
class PhotoDocument {
public:
    PhotoDocument() {
        platform::SetWindowSystem(&windows_);
        ResetImageState();
        ResetPaintSettings();
        ResetCanvasState();
        CreateImage(kPhotoWidth, kPhotoHeight);
        ImageBox& box = CurrentBox();
        for (int y = 0; y < kPhotoHeight; y += 8) {
            std::uint8_t* row = box.workBitmap->Row(y);
            for (int x = 0; x < 3 * kPhotoWidth; ++x) row[x] = static_cast<std::uint8_t>(x ^ y);
        }
        const int scrollBar = windows_.scrollBarHeight;
        box.window->Move(0, 0, kCanvasWidth + 2 + scrollBar, kCanvasHeight + 2 + scrollBar, false);
        SetupScrollBars(ImageState.CurrentImage, 0.0f, 0.0f);
    }
    ~PhotoDocument() {
        FreeImageBox(ImageState.CurrentImage);
        ResetImageState();
        platform::SetWindowSystem(nullptr);
    }
    ImageBox& Box() { return CurrentBox(); }

private:
    platform::HeadlessWindowSystem windows_;
};

void BM_PaintViewPhoto(benchmark::State& state) {
    PhotoDocument document;
    ImageState.ZoomFactor = static_cast<float>(state.range(0)) / 100.0f;
    ImageBox& box = document.Box();
    box.scrollX = 300;
    box.scrollY = 200;
    raster::DrawingContext& dc = box.window->GetDC();
    for (auto _ : state) {
        PaintView(dc, box);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kCanvasWidth * kCanvasHeight);
    ImageState.ZoomFactor = 1.0f;
}
BENCHMARK(BM_PaintViewPhoto)->Arg(25)->Arg(100)->Arg(300)->Unit(benchmark::kMillisecond);

// One stylus move of the pen (a two-dab segment) and the copy of its changed box.
void BM_PenDabWithPartialRepaint(benchmark::State& state) {
    PhotoDocument document;
    PaintSettings.Tool = 30;
    CanvasStylusDown(500, 500);
    int x = 500;
    for (auto _ : state) {
        x = x == 500 ? 501 : 500;
        CanvasStylusMove(x, 500);
        benchmark::ClobberMemory();
    }
    CanvasStylusUp(x, 500);
}
BENCHMARK(BM_PenDabWithPartialRepaint)->Unit(benchmark::kMicrosecond);

// Stylus-down on the photo: the whole-image undo copy, the first dab and its repaint.
void BM_PenStylusDownWithUndoCopy(benchmark::State& state) {
    PhotoDocument document;
    PaintSettings.Tool = 30;
    for (auto _ : state) {
        CanvasStylusDown(500, 500);
        CanvasStylusUp(500, 500);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PenStylusDownWithUndoCopy)->Unit(benchmark::kMillisecond);

}  // namespace
