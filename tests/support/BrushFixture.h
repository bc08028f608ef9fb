// A document in slot 1 with both buffers filled, for driving the brush engine as the
// canvas does.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "filters/Noise.h"
#include "image/ImageSlots.h"
#include "image/PaintSettings.h"
#include "image/PixelBuffer.h"
#include "image/ToolIds.h"
#include "shell/ProgramState.h"
#include "tools/BrushEngine.h"
#include "tools/Canvas.h"

using Point = std::pair<int, int>;
using PointSet = std::set<Point>;

inline void FillBuffer(PixelBuffer* b, raster::Colour c) {
    for (int y = 0; y < b->Height(); ++y)
        for (int x = 0; x < b->Width(); ++x) {
            std::uint8_t* p = b->Row(y) + 3 * x;
            p[0] = static_cast<std::uint8_t>(raster::BlueOf(c));
            p[1] = static_cast<std::uint8_t>(raster::GreenOf(c));
            p[2] = static_cast<std::uint8_t>(raster::RedOf(c));
        }
}

inline raster::Colour PixelOf(const PixelBuffer* b, int x, int y) {
    const std::uint8_t* p = b->Row(y) + 3 * x;
    return raster::MakeColour(p[2], p[1], p[0]);
}

inline void SetPixelOf(PixelBuffer* b, int x, int y, raster::Colour c) {
    std::uint8_t* p = b->Row(y) + 3 * x;
    p[0] = static_cast<std::uint8_t>(raster::BlueOf(c));
    p[1] = static_cast<std::uint8_t>(raster::GreenOf(c));
    p[2] = static_cast<std::uint8_t>(raster::RedOf(c));
}

// Grey levels as colours.
constexpr raster::Colour Grey(int v) { return raster::MakeColour(v, v, v); }
constexpr raster::Colour kWhite = 0xFFFFFF;
constexpr raster::Colour kBlack = 0x000000;

class BrushTest : public ::testing::Test {
protected:
    void SetUp() override { ResetProgramState(); }
    void TearDown() override { ResetProgramState(); }

    // A width x height document in slot 1, work and undo copies both of colour c.
    void MakeImage(int width, int height, raster::Colour c) {
        ImageBox& box = ImageBoxTable[1];
        box.workDc = MakeContext(width, height, box.bitmapInfo, nullptr);
        box.undoDc = MakeContext(width, height, box.bitmapInfo, nullptr);
        box.workBitmap = box.workDc->SelectedBitmap();
        box.undoBitmap = box.undoDc->SelectedBitmap();
        box.width = width;
        box.height = height;
        FillBuffer(box.workBitmap, c);
        FillBuffer(box.undoBitmap, c);
        ImageState.CurrentImage = 1;
    }

    static std::unique_ptr<raster::DrawingContext> MakeContext(int width, int height, raster::BitmapInfo& info,
                                                               std::uint8_t** bits) {
        std::unique_ptr<PixelBuffer> buffer = CreatePixelBuffer(width, height, 24, info, bits);
        EXPECT_NE(buffer, nullptr);
        return std::make_unique<raster::DrawingContext>(std::move(buffer));
    }

    PixelBuffer* Work() { return ImageBoxTable[1].workBitmap; }
    PixelBuffer* Undo() { return ImageBoxTable[1].undoBitmap; }
    raster::Colour WorkAt(int x, int y) { return PixelOf(Work(), x, y); }

    // Every work pixel that differs from c, as offsets from (cx, cy).
    PointSet ChangedFrom(raster::Colour c, int cx = 0, int cy = 0) {
        PointSet set;
        for (int y = 0; y < Work()->Height(); ++y)
            for (int x = 0; x < Work()->Width(); ++x)
                if (PixelOf(Work(), x, y) != c) set.insert({x - cx, y - cy});
        return set;
    }

    // All work pixels, row by row.
    std::vector<raster::Colour> Snapshot() {
        std::vector<raster::Colour> pixels;
        for (int y = 0; y < Work()->Height(); ++y)
            for (int x = 0; x < Work()->Width(); ++x) pixels.push_back(PixelOf(Work(), x, y));
        return pixels;
    }

    // Tool, shape, size and opacity in one go; paint black unless told otherwise.
    static void UseBrush(int tool, int shape, int size, int opacity = 100, raster::Colour colour = kBlack) {
        PaintSettings.Tool = static_cast<std::int8_t>(tool);
        PaintSettings.Brush = static_cast<std::uint32_t>(shape);
        PaintSettings.Size = static_cast<std::uint32_t>(size);
        PaintSettings.DOpacity = static_cast<std::uint8_t>(opacity);
        PaintSettings.FColor = colour;
    }

    // The stroke of the current tool as stylus-down decides it.
    void Start() { stroke = StartStroke(PaintSettings.Tool); }
    // One dab as stylus-down makes it.
    void DownDab(int x, int y) {
        Start();
        DabAt(x, y);
    }
    // Dabs and segments of the stroke last started.
    void DabAt(int x, int y) const { Dab(stroke, x, y); }
    void Segment(int x1, int y1, int x2, int y2) const { StrokeSegment(stroke, x1, y1, x2, y2); }

    BrushStroke stroke;
};
