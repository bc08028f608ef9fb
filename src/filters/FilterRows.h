// Small helpers the pixel kernels share.
#pragma once

#include "image/PixelBuffer.h"

// True for a 24-bit buffer.
inline bool IsColourBuffer(const PixelBuffer* buffer) { return buffer && buffer->BitsPerPixel() == 24; }

// True when both are 24-bit buffers of one size: a kernel reading one and writing the other
// then stays inside both.
inline bool IsFilterPair(const PixelBuffer* source, const PixelBuffer* target) {
    return IsColourBuffer(source) && IsColourBuffer(target) && source->Width() == target->Width() &&
           source->Height() == target->Height();
}

constexpr int ClampIndex(int value, int last) { return value < 0 ? 0 : (value > last ? last : value); }
