#include "filters/NoiseFilters.h"

#include <algorithm>
#include <cstdint>

#include "filters/FilterEngine.h"
#include "filters/FilterRows.h"
#include "filters/Median.h"
#include "platform/raster/ParallelRows.h"
#include "filters/PumpedRows.h"
#include "filters/Noise.h"

namespace {

// Add Noise and Jitter draw from the one sequence, row after row. Every band of rows starts
// where the sequence will be at its first row, so the rows can be shared out between two
// threads and still get the numbers of one pass from the top; the register then moves on as
// far as the whole picture takes it, even when a newer preview stopped the run, so that what
// follows does not depend on where it stopped.
constexpr int kNoiseBandRows = 16;

inline std::uint8_t Min8(std::uint8_t a, std::uint8_t b) { return a < b ? a : b; }
inline std::uint8_t Max8(std::uint8_t a, std::uint8_t b) { return a < b ? b : a; }

// MedianOf9's network on bytes, over every byte of the inside of a row at once: the channels
// are independent and a neighbour is three bytes away. Gives the same numbers as
// Median3x3At at each pixel, many lanes at a time.
void MedianRow(const std::uint8_t* up, const std::uint8_t* mid, const std::uint8_t* down, std::uint8_t* out,
               int begin, int end) {
    for (int x = begin; x < end; ++x) {
        const std::uint8_t a0 = up[x - 3], a1 = up[x], a2 = up[x + 3];
        const std::uint8_t a3 = mid[x - 3], a4 = mid[x], a5 = mid[x + 3];
        const std::uint8_t a6 = down[x - 3], a7 = down[x], a8 = down[x + 3];
        const std::uint8_t p = Min8(a3, a0), q = Min8(a4, a1), u = Max8(a4, a1), v = Max8(a5, a2);
        const std::uint8_t m = Max8(q, p);
        const std::uint8_t n = Max8(Min8(a5, a2), Min8(q, p));
        const std::uint8_t k = Min8(Max8(v, u), Max8(a3, a0));
        const std::uint8_t e = Min8(m, a6);
        const std::uint8_t f = Min8(k, n), g = Max8(k, n), h = Max8(f, e), i = Max8(Min8(u, v), Min8(f, e));
        const std::uint8_t j = Min8(g, i), l = Min8(Max8(i, g), Max8(m, a6));
        const std::uint8_t o = Max8(Min8(j, h), Min8(l, a7));
        const std::uint8_t w = Min8(Max8(j, h), Max8(l, a7));
        out[x] = Max8(Min8(o, w), Min8(Max8(o, w), a8));
    }
}

}  // namespace

int Despeckle(const PixelBuffer* source, PixelBuffer* target) {
    if (!IsFilterPair(source, target)) return 0;
    const int width = source->Width();
    const int height = source->Height();
    if (width < 3 || height < 3) return 1;
    RunRowsInParallel(height - 2, width, [&](int first, int end) {
        for (int y = first + 1; y <= end; ++y) {
            MedianRow(source->Row(y - 1), source->Row(y), source->Row(y + 1), target->Row(y), 3, 3 * (width - 1));
        }
    });
    return 1;
}

int AddNoise(PixelBuffer* target, int style, int amount) {
    if (!IsColourBuffer(target)) return 0;
    const int a = static_cast<int>(amount * 2.55);
    const int keep = 255 - a;
    std::uint8_t kept[256];  // what is kept of each channel value
    for (int v = 0; v < 256; ++v) kept[v] = static_cast<std::uint8_t>(v * keep / 255);
    const bool colour = style != kNoiseMonochrome;
    const int width = target->Width();
    const int height = target->Height();
    const std::uint64_t drawsPerRow = static_cast<std::uint64_t>(colour ? 3 : 1) * static_cast<std::uint64_t>(width);
    const std::uint32_t start = FilterState.NoiseState;
    FilterState.FilterBusy = kFilterRunning;
    auto band = [&](int first, int end, auto&& keepGoing) {
        std::uint32_t state = NoiseAhead(start, drawsPerRow * static_cast<std::uint64_t>(first));
        for (int y = first; y < end; ++y) {
            if (!keepGoing()) return false;
            std::uint8_t* p = target->Row(y);
            if (colour) {
                for (int x = 0; x < width; ++x, p += 3) {
                    for (int c = 2; c >= 0; --c) {  // red, green, blue
                        const int n = StepNoise(state);
                        p[c] = static_cast<std::uint8_t>(ClampChannel(kept[p[c]] + n * a / 32767));
                    }
                }
            } else {
                for (int x = 0; x < width; ++x, p += 3) {
                    const int noise = StepNoise(state) * a / 32767;
                    for (int c = 2; c >= 0; --c) p[c] = static_cast<std::uint8_t>(ClampChannel(kept[p[c]] + noise));
                }
            }
        }
        return true;
    };
    const int finished = RunPumpedRows(height, width, kNoiseBandRows, band, [&band] { return &band; });
    FilterState.NoiseState = NoiseAhead(start, drawsPerRow * static_cast<std::uint64_t>(height));
    if (!finished) return 0;
    FilterState.FilterBusy = kFilterIdle;
    return 1;
}

int AddNoise(int style, int amount) {
    if (!PrepareFilterContext()) return 0;
    return AddNoise(FilterContext.targetBitmap, style, amount);
}

int Jitter(const PixelBuffer* source, PixelBuffer* target, int amount) {
    if (!IsFilterPair(source, target)) return 0;
    const int half = amount / 2;
    const int width = source->Width();
    const int height = source->Height();
    const std::uint64_t drawsPerRow = 2 * static_cast<std::uint64_t>(width);
    const std::uint32_t start = FilterState.NoiseState;
    FilterState.FilterBusy = kFilterRunning;
    auto band = [&](int first, int end, auto&& keepGoing) {
        std::uint32_t state = NoiseAhead(start, drawsPerRow * static_cast<std::uint64_t>(first));
        for (int y = first; y < end; ++y) {
            if (!keepGoing()) return false;
            std::uint8_t* out = target->Row(y);
            for (int x = 0; x < width; ++x, out += 3) {
                const int rx = StepNoise(state);
                const int sx = ClampIndex(x - rx * amount / 32767 + half, width - 1);
                const int ry = StepNoise(state);
                const int sy = ClampIndex(y - ry * amount / 32767 + half, height - 1);
                const std::uint8_t* in = source->Row(sy) + 3 * sx;
                out[0] = in[0];
                out[1] = in[1];
                out[2] = in[2];
            }
        }
        return true;
    };
    const int finished = RunPumpedRows(height, width, kNoiseBandRows, band, [&band] { return &band; });
    FilterState.NoiseState = NoiseAhead(start, drawsPerRow * static_cast<std::uint64_t>(height));
    if (!finished) return 0;
    FilterState.FilterBusy = kFilterIdle;
    return 1;
}

int Jitter(int amount) {
    if (!PrepareFilterContext()) return 0;
    return Jitter(FilterContext.sourceBitmap, FilterContext.targetBitmap, amount);
}
