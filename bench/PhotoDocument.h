// The 12-megapixel photo-like document the history and filter-preview benchmarks work on:
// smooth gradients with a soft pattern and a little grain, in a canvas window of full-HD client
// size.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "image/ImageSlots.h"
#include "image/PaintSettings.h"
#include "image/View.h"
#include "platform/Headless.h"
#include "tools/Canvas.h"

namespace photobench {

constexpr int kPhotoWidth = 4000;
constexpr int kPhotoHeight = 3000;
constexpr int kCanvasWidth = 1920;
constexpr int kCanvasHeight = 1080;

// A fresh image, tool and canvas state on the windows given, with the photo as the picture.
inline void MakePhotoDocument(platform::HeadlessWindowSystem& windows) {
    platform::SetWindowSystem(&windows);
    ResetImageState();
    ResetPaintSettings();
    ResetCanvasState();
    CreateImage(kPhotoWidth, kPhotoHeight);
    ImageBox& box = CurrentBox();
    std::uint32_t grain = 12345;
    for (int y = 0; y < kPhotoHeight; ++y) {
        std::uint8_t* row = box.workBitmap->Row(y);
        for (int x = 0; x < kPhotoWidth; ++x) {
            grain = grain * 1664525u + 1013904223u;
            const int n = static_cast<int>((grain >> 24) & 15) - 8;
            const double wave = 40.0 * std::sin(x * 0.013) * std::cos(y * 0.021);
            row[3 * x] = static_cast<std::uint8_t>(std::clamp(static_cast<int>(200 - 0.02 * (x + y) + wave / 2) + n, 0, 255));
            row[3 * x + 1] = static_cast<std::uint8_t>(std::clamp(static_cast<int>(40 + 0.05 * y - wave) + n, 0, 255));
            row[3 * x + 2] = static_cast<std::uint8_t>(std::clamp(static_cast<int>(60 + 0.04 * x + wave) + n, 0, 255));
        }
    }
    const int scrollBar = windows.scrollBarHeight;
    box.window->Move(0, 0, kCanvasWidth + 2 + scrollBar, kCanvasHeight + 2 + scrollBar, false);
    SetupScrollBars(ImageState.CurrentImage, 0.0f, 0.0f);
}

inline void ClosePhotoDocument() {
    FreeImageBox(ImageState.CurrentImage);
    ResetImageState();
    platform::SetWindowSystem(nullptr);
}

}  // namespace photobench
