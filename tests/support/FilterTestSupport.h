// Buffers, pixels and random pictures for the filter tests.
#pragma once

#include <cstdint>
#include <memory>
#include <random>

#include "image/PixelBuffer.h"

struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;
    bool operator==(const Rgb&) const = default;
};

inline std::unique_ptr<PixelBuffer> MakeBuffer(int width, int height, Rgb fill = {}) {
    raster::BitmapInfo info;
    std::unique_ptr<PixelBuffer> buffer = CreatePixelBuffer(width, height, 24, info, nullptr);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = buffer->Row(y);
        for (int i = 0; i < buffer->Stride(); ++i) row[i] = 0xA5;  // padding bytes must survive
        for (int x = 0; x < width; ++x) {
            row[3 * x] = static_cast<std::uint8_t>(fill.b);
            row[3 * x + 1] = static_cast<std::uint8_t>(fill.g);
            row[3 * x + 2] = static_cast<std::uint8_t>(fill.r);
        }
    }
    return buffer;
}

inline Rgb PixelAt(const PixelBuffer& buffer, int x, int y) {
    const std::uint8_t* p = buffer.Row(y) + 3 * x;
    return {p[2], p[1], p[0]};
}

// One byte of a 24-bit pixel: c is 0 for blue, 1 for green, 2 for red.
inline int Channel(const PixelBuffer& buffer, int x, int y, int c) { return buffer.Row(y)[3 * x + c]; }

inline void SetPixel(PixelBuffer& buffer, int x, int y, Rgb c) {
    std::uint8_t* p = buffer.Row(y) + 3 * x;
    p[0] = static_cast<std::uint8_t>(c.b);
    p[1] = static_cast<std::uint8_t>(c.g);
    p[2] = static_cast<std::uint8_t>(c.r);
}

inline std::unique_ptr<PixelBuffer> CopyOf(const PixelBuffer& source) {
    raster::BitmapInfo info;
    std::unique_ptr<PixelBuffer> copy = CreatePixelBuffer(source.Width(), source.Height(), 24, info, nullptr);
    CopyPixels(copy.get(), &source);
    return copy;
}

// Random pixels, with runs of equal bytes now and then so that ties and flat areas occur.
inline std::unique_ptr<PixelBuffer> RandomBuffer(int width, int height, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::unique_ptr<PixelBuffer> buffer = MakeBuffer(width, height);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = buffer->Row(y);
        for (int i = 0; i < 3 * width; ++i) {
            const std::uint32_t pick = random() % 8;
            row[i] = pick == 0 ? 0 : pick == 1 ? 255 : (pick == 2 && i >= 3) ? row[i - 3]
                                                                               : static_cast<std::uint8_t>(random());
        }
    }
    return buffer;
}

// Whole buffers equal, padding included.
inline bool SameBytes(const PixelBuffer& a, const PixelBuffer& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    for (int y = 0; y < a.Height(); ++y) {
        for (int i = 0; i < a.Stride(); ++i) {
            if (a.Row(y)[i] != b.Row(y)[i]) return false;
        }
    }
    return true;
}
