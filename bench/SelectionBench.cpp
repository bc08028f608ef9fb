// Selections on a 12-megapixel document: the magic wand on a photo-like picture, Select All
// with its border, one drag step of a piece as large as the image, and Grow and Inverse of
// such a piece. Each round is the whole command as the user starts it.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>

#include "image/ImageSlots.h"
#include "image/Undo.h"
#include "image/View.h"
#include "image/PaintSettings.h"
#include "tools/Canvas.h"
#include "tools/Selection.h"
#include "tools/SelectionCommands.h"
#include "image/ToolIds.h"

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

// A sky of slowly changing blue with a little grain over the upper three fifths, and busier
// ramps below: the wand tapped into the sky floods most of it.
void PaintPhoto(PixelBuffer& image) {
    std::uint32_t state = 1;
    for (int y = 0; y < kHeight; ++y) {
        std::uint8_t* row = image.Row(y);
        const bool sky = y < kHeight * 3 / 5;
        for (int x = 0; x < kWidth; ++x) {
            state = state * 1103515245u + 12345u;
            const int grain = static_cast<int>((state >> 16) & 3);
            std::uint8_t* p = row + 3 * x;
            if (sky) {
                p[0] = static_cast<std::uint8_t>(200 + y / 300 + grain);
                p[1] = static_cast<std::uint8_t>(140 + x / 500 + grain);
                p[2] = static_cast<std::uint8_t>(90 + grain);
            } else {
                p[0] = static_cast<std::uint8_t>((x / 16 + 4 * grain) & 0xFF);
                p[1] = static_cast<std::uint8_t>((y / 12 + 4 * grain) & 0xFF);
                p[2] = static_cast<std::uint8_t>(((x + y) / 28 + 4 * grain) & 0xFF);
            }
        }
    }
}

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
