// Runs batch steps ("tool=30", "stroke=1,1,5,5", "invert", ...) on a picture in memory, through
// the same driver as pixelwright-batch, and gives back what Save would write. Link the test
// program with pw_batch.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "batch/BatchScript.h"
#include "image/ImageSlots.h"
#include "image/PixelBuffer.h"
#include "platform/raster/Bitmap.h"
#include "shell/ProgramState.h"

// A width x height picture of one colour (0x00BBGGRR).
inline std::unique_ptr<PixelBuffer> SolidPicture(int width, int height, raster::Colour colour) {
    raster::BitmapInfo header;
    std::unique_ptr<PixelBuffer> picture = CreatePixelBuffer(width, height, 24, header, nullptr);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = picture->Row(y);
        for (int x = 0; x < width; ++x) {
            row[3 * x] = static_cast<std::uint8_t>(raster::BlueOf(colour));
            row[3 * x + 1] = static_cast<std::uint8_t>(raster::GreenOf(colour));
            row[3 * x + 2] = static_cast<std::uint8_t>(raster::RedOf(colour));
        }
    }
    return picture;
}

// The colour of image point (x, y), counted from the top-left corner.
inline raster::Colour PixelAt(const PixelBuffer& picture, int x, int y) {
    const std::uint8_t* p = picture.Row(y) + 3 * x;
    return raster::MakeColour(p[2], p[1], p[0]);
}

// The pixel bytes without row padding, top row first: for comparing whole pictures.
inline std::vector<std::uint8_t> PixelBytes(const PixelBuffer& picture) {
    std::vector<std::uint8_t> bytes;
    for (int y = 0; y < picture.Height(); ++y) {
        bytes.insert(bytes.end(), picture.Row(y), picture.Row(y) + 3 * picture.Width());
    }
    return bytes;
}

struct ScriptRun {
    std::unique_ptr<PixelBuffer> picture;  // null when a step was refused or failed
    std::string error;
};

// The run starts from a fresh program state (initial paint settings, canvas state and noise)
// and leaves the state as the steps left it, for the test to read.
inline ScriptRun RunScript(const PixelBuffer& picture, const std::vector<std::string>& steps) {
    ScriptRun run;
    run.picture = RunScriptOnPicture(picture, steps, run.error);
    return run;
}

// Starts from the initial program state and frees the document a run leaves behind.
class ScriptFixture : public ::testing::Test {
protected:
    void SetUp() override { ResetProgramState(); }
    void TearDown() override {
        for (std::uint32_t slot = 1; slot < kImageSlots; ++slot) FreeImageBox(slot);
        ResetProgramState();
    }
};
