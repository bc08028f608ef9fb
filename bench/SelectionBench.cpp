// Selections on a 12-megapixel document: the magic wand on a photo-like picture, Select All
// with its border, one drag step of a piece as large as the image, and Grow and Inverse of
// such a piece. Each round is the whole command as the user starts it.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

#include "SkyPhoto.h"
#include "image/ImageSlots.h"
#include "image/Undo.h"
#include "image/View.h"
#include "image/PaintSettings.h"
#include "tools/Canvas.h"
#include "tools/Selection.h"
#include "tools/SelectionCommands.h"
#include "image/ToolIds.h"

namespace {

using selectionbench::kHeight;
using selectionbench::kWidth;
using selectionbench::PaintPhoto;

bool StartDocument() {
    ResetImageState();
    ResetPaintSettings();
    ResetCanvasState();
    ImageState.ZoomFactor = 1.0f;
    PaintSettings.Tool = kToolSelectRectangle;
    if (CreateImage(kWidth, kHeight) != 1) return false;
    PaintPhoto(*CurrentBox().workBitmap);
    return TakeImageUndo() == 1;
}

void EndDocument() {
    ResetImageState();
    ResetCanvasState();
}

void BM_MagicWandOnPhoto(benchmark::State& state) {
    if (!StartDocument()) {
        state.SkipWithError("out of memory");
        return;
    }
    PaintSettings.WTolerance = 32;
    raster::BitmapInfo header;
    std::unique_ptr<PixelBuffer> photo = CreatePixelBuffer(kWidth, kHeight, 24, header, nullptr);
    CopyPixels(photo.get(), CurrentBox().workBitmap);
    std::uint32_t selected = 0;
    for (auto _ : state) {
        state.PauseTiming();
        CopyPixels(CurrentBox().workBitmap, photo.get());
        PaintSettings.Tool = kToolSelectMagicWand;
        TakeImageUndo();  // what the stylus-down takes
        state.ResumeTiming();
        if (SelectWithWand(kWidth / 2, kHeight / 4) != 1) state.SkipWithError("the wand selected nothing");
        selected = FloatingPiece.pieceWidth * FloatingPiece.pieceHeight;
    }
    state.counters["piece_pixels"] = selected;
    EndDocument();
}
BENCHMARK(BM_MagicWandOnPhoto)->Unit(benchmark::kMillisecond);

void BM_SelectAll(benchmark::State& state) {
    if (!StartDocument()) {
        state.SkipWithError("out of memory");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        PaintSettings.Tool = kToolSelectRectangle;
        state.ResumeTiming();
        if (SelectAll() != 1) state.SkipWithError("nothing selected");
    }
    EndDocument();
}
BENCHMARK(BM_SelectAll)->Unit(benchmark::kMillisecond);

// The stylus grabbed the piece; every round is one move of it, shown displaced.
void BM_DragFullImagePieceOneStep(benchmark::State& state) {
    if (!StartDocument() || SelectAll() != 1) {
        state.SkipWithError("out of memory");
        return;
    }
    CanvasStylusDown(100, 100);
    bool right = true;
    for (auto _ : state) {
        CanvasStylusMove(right ? 101 : 100, 100);
        right = !right;
        benchmark::ClobberMemory();
    }
    CanvasStylusUp(100, 100);
    EndDocument();
}
BENCHMARK(BM_DragFullImagePieceOneStep)->Unit(benchmark::kMillisecond);

void BM_GrowFullImagePiece(benchmark::State& state) {
    if (!StartDocument() || SelectAll() != 1) {
        state.SkipWithError("out of memory");
        return;
    }
    for (auto _ : state) {
        if (GrowSelection() != 1) state.SkipWithError("nothing selected");
    }
    EndDocument();
}
BENCHMARK(BM_GrowFullImagePiece)->Unit(benchmark::kMillisecond);

// A piece as large as the image with a hole in the middle; Inverse selects the hole.
void BM_InverseFullImagePiece(benchmark::State& state) {
    if (!StartDocument()) {
        state.SkipWithError("out of memory");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        SelectAll();
        const FloatingPieceRecord& p = FloatingPiece;
        for (int y = kHeight / 4; y < kHeight * 3 / 4; ++y) {
            std::memset(p.maskBitmap->Row(y) + kWidth / 4, kMaskOutside, kWidth / 2);
        }
        state.ResumeTiming();
        if (InverseSelection() != 1) state.SkipWithError("nothing selected");
    }
    EndDocument();
}
BENCHMARK(BM_InverseFullImagePiece)->Unit(benchmark::kMillisecond);

}  // namespace
