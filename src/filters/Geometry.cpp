#include "filters/Geometry.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include "filters/FilterEngine.h"
#include "platform/raster/ParallelRows.h"
#include "filters/TargetBuffers.h"

namespace {

template <int Bytes>
void FlipRowsHorizontal(PixelBuffer& buffer, int firstRow, int endRow) {
    const int width = buffer.Width();
    for (int y = firstRow; y < endRow; ++y) {
        std::uint8_t* left = buffer.Row(y);
        std::uint8_t* right = left + (width - 1) * Bytes;
        for (int x = 0; x < width / 2; ++x, left += Bytes, right -= Bytes) {
            for (int b = 0; b < Bytes; ++b) std::swap(left[b], right[b]);
        }
    }
}

// 24-bit rows are mirrored through a copy of the row, one 4-byte move per pixel: each move
// writes a byte too many, which the next pixel's move puts right; the last pixel of the row
// is moved by itself so that nothing past the row is touched.
void FlipColourRowsHorizontal(PixelBuffer& buffer, int firstRow, int endRow) {
    const int width = buffer.Width();
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    std::unique_ptr<std::uint8_t[]> copy(new (std::nothrow) std::uint8_t[rowBytes + 1]);
    if (!copy) {
        FlipRowsHorizontal<3>(buffer, firstRow, endRow);
        return;
    }
    copy[rowBytes] = 0;
    for (int y = firstRow; y < endRow; ++y) {
        std::uint8_t* out = buffer.Row(y);
        std::memcpy(copy.get(), out, rowBytes);
        const std::uint8_t* in = copy.get() + rowBytes - 3;
        for (int x = 0; x < width - 1; ++x, out += 3, in -= 3) {
            std::uint32_t pixel;
            std::memcpy(&pixel, in, 4);
            std::memcpy(out, &pixel, 4);
        }
        std::memcpy(out, in, 3);
    }
}

// Copies count pixels down a source column into a target row. 24-bit pixels move as 4-byte
// words where that stays inside both rows: the byte too many that a word writes is the next
// pixel's, written right after; the last pixel, and a column at the right edge (whose fourth
// byte may lie past the buffer), move as three bytes.
template <int Bytes>
inline void CopyColumn(std::uint8_t* out, const std::uint8_t* in, int count, std::ptrdiff_t step, bool wordsFit) {
    if (Bytes == 3 && wordsFit) {
        for (int k = 0; k < count - 1; ++k, out += 3, in += step) {
            std::uint32_t pixel;
            std::memcpy(&pixel, in, 4);
            std::memcpy(out, &pixel, 4);
        }
        if (count > 0) std::memcpy(out, in, 3);
        return;
    }
    for (int k = 0; k < count; ++k, out += Bytes, in += step) std::memcpy(out, in, Bytes);
}

// The rotation walks the target in square tiles so that the column-wise reads of the source
// stay in the cache.
constexpr int kTile = 64;

template <int Bytes>
void Rotate90Tiled(const PixelBuffer& source, PixelBuffer& target, bool clockwise, int firstRow, int endRow) {
    const int w = source.Width();
    const int h = source.Height();
    // The target is h wide and w high; target (i, j) shows source (j, h - 1 - i) clockwise
    // and source (w - 1 - j, i) counter-clockwise.
    const std::uint8_t* srcTop = source.Row(0);
    const std::ptrdiff_t srcStride = source.Stride();  // rows are bottom-up: moving down is -stride
    for (int j0 = firstRow; j0 < endRow; j0 += kTile) {
        const int j1 = std::min(endRow, j0 + kTile);
        for (int i0 = 0; i0 < h; i0 += kTile) {
            const int i1 = std::min(h, i0 + kTile);
            for (int j = j0; j < j1; ++j) {
                std::uint8_t* out = target.Row(j) + i0 * Bytes;
                if (clockwise) {
                    // Source column j, walking up from row h - 1 - i0.
                    const std::uint8_t* in = srcTop - (h - 1 - i0) * srcStride + j * Bytes;
                    CopyColumn<Bytes>(out, in, i1 - i0, srcStride, j < w - 1);
                } else {
                    // Source column w - 1 - j, walking down from row i0.
                    const std::uint8_t* in = srcTop - i0 * srcStride + (w - 1 - j) * Bytes;
                    CopyColumn<Bytes>(out, in, i1 - i0, -srcStride, j > 0);
                }
            }
        }
    }
}

}  // namespace

void FlipPixelsHorizontal(PixelBuffer& buffer) {
    const bool colour = buffer.BitsPerPixel() != 8;
    RunRowsInParallel(buffer.Height(), buffer.Width(), [&buffer, colour](int first, int end) {
        if (colour) {
            FlipColourRowsHorizontal(buffer, first, end);
        } else {
            FlipRowsHorizontal<1>(buffer, first, end);
        }
    });
}

// Swaps rows through a small buffer that stays in the cache: three block copies move far
// faster than a byte-wise swap.
void FlipPixelsVertical(PixelBuffer& buffer) {
    const std::size_t rowBytes = static_cast<std::size_t>(buffer.Width()) * (buffer.BitsPerPixel() / 8);
    const int height = buffer.Height();
    RunRowsInParallel(height / 2, buffer.Width() * 2L, [&](int first, int end) {
        constexpr std::size_t kPart = 8192;
        std::uint8_t part[kPart];
        for (int y = first; y < end; ++y) {
            std::uint8_t* a = buffer.Row(y);
            std::uint8_t* b = buffer.Row(height - 1 - y);
            for (std::size_t at = 0; at < rowBytes; at += kPart) {
                const std::size_t n = std::min(kPart, rowBytes - at);
                std::memcpy(part, a + at, n);
                std::memcpy(a + at, b + at, n);
                std::memcpy(b + at, part, n);
            }
        }
    });
}

void RotatePixels90(const PixelBuffer& source, PixelBuffer& target, bool clockwise) {
    if (target.Width() != source.Height() || target.Height() != source.Width()) return;
    if (target.BitsPerPixel() != source.BitsPerPixel()) return;
    const bool colour = source.BitsPerPixel() != 8;
    RunRowsInParallel(target.Height(), target.Width(), [&](int first, int end) {
        if (colour) {
            Rotate90Tiled<3>(source, target, clockwise, first, end);
        } else {
            Rotate90Tiled<1>(source, target, clockwise, first, end);
        }
    });
}

int FlipHorizontal() {
    PixelBuffer* target = FilterTarget();
    if (!target) return 0;
    FlipPixelsHorizontal(*target);
    PixelBuffer* mask = TargetMask();
    if (mask && mask->Width() == target->Width() && mask->Height() == target->Height()) FlipPixelsHorizontal(*mask);
    return 1;
}

int FlipVertical() {
    PixelBuffer* target = FilterTarget();
    if (!target) return 0;
    FlipPixelsVertical(*target);
    PixelBuffer* mask = TargetMask();
    if (mask && mask->Width() == target->Width() && mask->Height() == target->Height()) FlipPixelsVertical(*mask);
    return 1;
}

int Rotate90(bool clockwise) {
    const PixelBuffer* source = FilterSource();
    if (!source || !FilterTarget()) return 0;
    const PixelBuffer* sourceMask = SourceMask();
    ReplacementTarget replacement;
    if (!MakeReplacementForTarget(source->Height(), source->Width(), replacement, NewPixels::Written)) return 0;
    RotatePixels90(*source, *replacement.bitmap, clockwise);
    if (replacement.mask && sourceMask) RotatePixels90(*sourceMask, *replacement.mask, clockwise);
    InstallReplacementTarget(replacement);
    return 1;
}
