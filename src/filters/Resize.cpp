#include "filters/Resize.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include "filters/FilterEngine.h"
#include "platform/raster/ParallelRows.h"
#include "filters/TargetBuffers.h"

namespace {

// trunc(i * scale) with the product in single precision.
inline int ScaledIndex(int i, float scale) { return static_cast<int>(static_cast<float>(i) * scale); }

// Truncating division by a count that changes seldom along a row. For counts below 4096 the
// quotient is (sum x m) >> 32 with m = 2^32 / count + 1, which is exact for sums up to
// 255 x count (the error m x count - 2^32 stays below 2^32 / (255 x count)); larger boxes
// divide.
class Divider {
public:
    void Use(std::uint64_t count) {
        if (count == count_) return;
        count_ = count;
        multiplier_ = count < 4096 ? (std::uint64_t{1} << 32) / count + 1 : 0;
    }
    unsigned operator()(std::uint64_t sum) const {
        if (multiplier_) return static_cast<unsigned>((sum * multiplier_) >> 32);
        return static_cast<unsigned>(sum / count_);
    }

private:
    std::uint64_t count_ = 0;
    std::uint64_t multiplier_ = 0;
};

template <int Bytes>
bool ResampleNearest(const PixelBuffer& source, PixelBuffer& target) {
    const int sw = source.Width();
    const int sh = source.Height();
    const int nw = target.Width();
    const int nh = target.Height();
    const float sx = static_cast<float>(sw) / static_cast<float>(nw);
    const float sy = static_cast<float>(sh) / static_cast<float>(nh);
    std::unique_ptr<int[]> columns(new (std::nothrow) int[static_cast<std::size_t>(nw)]);
    if (!columns) return false;
    for (int i = 0; i < nw; ++i) {
        const int x = ScaledIndex(i, sx);
        columns[i] = (x >= 0 && x < sw) ? x * Bytes : -1;
    }
    RunRowsInParallel(nh, nw, [&](int first, int end) {
        for (int j = first; j < end; ++j) {
            const int y = ScaledIndex(j, sy);
            if (y < 0 || y >= sh) continue;
            const std::uint8_t* in = source.Row(y);
            std::uint8_t* out = target.Row(j);
            for (int i = 0; i < nw; ++i, out += Bytes) {
                if (columns[i] >= 0) std::memcpy(out, in + columns[i], Bytes);
            }
        }
    });
    return true;
}

// Box averaging for a narrower 24-bit target. Each target row sums its source rows column by
// column once; each pixel then adds up its columns of those sums.
bool ResampleBoxes(const PixelBuffer& source, PixelBuffer& target) {
    const int sw = source.Width();
    const int sh = source.Height();
    const int nw = target.Width();
    const int nh = target.Height();
    const float sx = static_cast<float>(sw) / static_cast<float>(nw);
    const float sy = static_cast<float>(sh) / static_cast<float>(nh);

    struct Span {
        int first;
        int end;  // exclusive; first = -1 marks a column left in the background colour
    };
    std::unique_ptr<Span[]> columns(new (std::nothrow) Span[static_cast<std::size_t>(nw)]);
    if (!columns) return false;
    for (int i = 0; i < nw; ++i) {
        const int x0 = ScaledIndex(i, sx);
        int x1 = std::min(ScaledIndex(i + 1, sx), sw);
        if (x0 < 0 || x0 >= sw) {
            columns[i] = {-1, -1};
            continue;
        }
        if (x1 <= x0) x1 = x0 + 1;
        columns[i] = {x0, x1};
    }
    std::atomic<bool> outOfMemory{false};
    // Each band of target rows keeps its own column sums.
    RunRowsInParallel(nh, sw, [&](int first, int end) {
        std::unique_ptr<std::uint32_t[]> sums(new (std::nothrow) std::uint32_t[static_cast<std::size_t>(sw) * 3]);
        if (!sums) {
            outOfMemory = true;
            return;
        }
        for (int j = first; j < end; ++j) {
            const int y0 = ScaledIndex(j, sy);
            if (y0 < 0 || y0 >= sh) continue;
            // A row that covers no source row (the height grows while the width shrinks) takes
            // the nearest source row, the one nearest-neighbour sampling would pick.
            int y1 = std::min(ScaledIndex(j + 1, sy), sh);
            if (y1 <= y0) y1 = y0 + 1;
            std::fill(sums.get(), sums.get() + static_cast<std::size_t>(sw) * 3, 0u);
            for (int y = y0; y < y1; ++y) {
                const std::uint8_t* in = source.Row(y);
                for (int k = 0; k < sw * 3; ++k) sums[k] += in[k];
            }
            const std::uint64_t rows = static_cast<std::uint64_t>(y1 - y0);
            Divider divide;
            std::uint8_t* out = target.Row(j);
            for (int i = 0; i < nw; ++i, out += 3) {
                const Span span = columns[i];
                if (span.first < 0) continue;
                std::uint64_t b = 0, g = 0, r = 0;
                for (int x = span.first; x < span.end; ++x) {
                    b += sums[x * 3];
                    g += sums[x * 3 + 1];
                    r += sums[x * 3 + 2];
                }
                divide.Use(rows * static_cast<std::uint64_t>(span.end - span.first));
                out[0] = static_cast<std::uint8_t>(divide(b));
                out[1] = static_cast<std::uint8_t>(divide(g));
                out[2] = static_cast<std::uint8_t>(divide(r));
            }
        }
    });
    return !outOfMemory;
}

// Whether resampling writes every target pixel: the last column and row (trunc(i x scale)
// grows with i) still fall inside the source. Then the background fill can be left out.
bool ResampleCoversTarget(int sw, int sh, int nw, int nh) {
    const float sx = static_cast<float>(sw) / static_cast<float>(nw);
    const float sy = static_cast<float>(sh) / static_cast<float>(nh);
    return ScaledIndex(nw - 1, sx) < sw && ScaledIndex(nh - 1, sy) < sh;
}

}  // namespace

bool ResamplePixels(const PixelBuffer& source, PixelBuffer& target, int mode) {
    if (source.BitsPerPixel() != target.BitsPerPixel()) return false;
    if (source.BitsPerPixel() == 8) return ResampleNearest<1>(source, target);
    const float sx = static_cast<float>(source.Width()) / static_cast<float>(target.Width());
    if (mode == kResampleInterpolated && sx > 1.0f) return ResampleBoxes(source, target);
    return ResampleNearest<3>(source, target);
}

void CropExtendPixels(const PixelBuffer& source, PixelBuffer& target) {
    if (source.BitsPerPixel() != target.BitsPerPixel()) return;
    const std::size_t bytes =
        static_cast<std::size_t>(std::min(source.Width(), target.Width())) * (source.BitsPerPixel() / 8);
    const int rows = std::min(source.Height(), target.Height());
    for (int y = 0; y < rows; ++y) std::memcpy(target.Row(y), source.Row(y), bytes);
}

int ResizePixels(int newWidth, int newHeight, int mode, int resample) {
    if (newWidth < 1 || newHeight < 1 || newWidth > kMaxImageSide || newHeight > kMaxImageSide) return 0;
    const PixelBuffer* source = FilterSource();
    if (!source || !FilterTarget()) return 0;
    const PixelBuffer* sourceMask = SourceMask();
    ReplacementTarget replacement;
    const bool covered = resample ? ResampleCoversTarget(source->Width(), source->Height(), newWidth, newHeight)
                                  : newWidth <= source->Width() && newHeight <= source->Height();
    if (!MakeReplacementForTarget(newWidth, newHeight, replacement,
                                  covered ? NewPixels::Written : NewPixels::Background)) {
        return 0;
    }
    if (resample) {
        const bool done = ResamplePixels(*source, *replacement.bitmap, mode) &&
                          (!replacement.mask || !sourceMask ||
                           ResamplePixels(*sourceMask, *replacement.mask, kResampleNearest));
        if (!done) {
            ReportNoMemoryForTarget();
            return 0;
        }
    } else {
        CropExtendPixels(*source, *replacement.bitmap);
        // The mask is cropped and extended with the pixels; an empty mask would make the
        // whole piece vanish.
        if (replacement.mask && sourceMask) CropExtendPixels(*sourceMask, *replacement.mask);
    }
    InstallReplacementTarget(replacement);
    return 1;
}
