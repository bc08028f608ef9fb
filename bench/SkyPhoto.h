// The 12-megapixel picture the selection benchmarks work on: a sky the wand floods, over
// busier ramps.
#pragma once

#include <cstdint>

#include "image/PixelBuffer.h"

namespace selectionbench {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

// A sky of slowly changing blue with a little grain over the upper three fifths, and busier
// ramps below: the wand tapped into the sky floods most of it.
inline void PaintPhoto(PixelBuffer& image) {
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

}  // namespace selectionbench
