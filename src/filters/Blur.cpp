#include "filters/Blur.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <optional>
#include <vector>

#include "filters/FilterEngine.h"
#include "filters/FilterRows.h"
#include "filters/PumpedRows.h"

namespace {

// Per channel, the sum of the column of 2r + 1 source rows around row y, border rows repeated,
// kept up to date row by row; and the same sums spread out by r repeated pixels on each side.
struct BoxColumns {
    std::vector<int> sums;    // 3 x width
    std::vector<int> padded;  // 3 x (width + 2r)
};

void AddRow(std::vector<int>& sums, const std::uint8_t* row, int count, int sign) {
    for (int i = 0; i < count; ++i) sums[i] += sign * row[i];
}

// The plain form, for any radius and amount.
void UnsharpRowExact(const BoxColumns& box, const std::uint8_t* src, std::uint8_t* out, int width, int radius, int k) {
    const int n = (2 * radius + 1) * (2 * radius + 1);
    const int* padded = box.padded.data();
    const int count = 3 * width;
    for (int i = 0; i < count; ++i) {
        int sum = 0;
        for (int j = 0; j <= 2 * radius; ++j) sum += padded[i + 3 * j];
        const int mean = sum / n;
        const int v = (src[i] * k) / 20 + ((20 - k) * mean) / 20;
        out[i] = static_cast<std::uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
    }
}

// The same numbers in single precision, which the vectoriser handles where it has no
// integer division: every operand here is an integer below 2^24, so each quotient is
// correctly rounded and can never round across a whole number, and truncating it gives
// the integer quotient. The caller keeps 255 x |k| and 255 x |20 - k| below 2^24.
template <int R>
void UnsharpRowLanes(const BoxColumns& box, const std::uint8_t* src, std::uint8_t* out, int width, int k) {
    constexpr float n = static_cast<float>((2 * R + 1) * (2 * R + 1));
    const float keep = static_cast<float>(k);
    const float pull = static_cast<float>(20 - k);
    const int* padded = box.padded.data();
    const int count = 3 * width;
    for (int i = 0; i < count; ++i) {
        int sum = 0;
        for (int j = 0; j <= 2 * R; ++j) sum += padded[i + 3 * j];
        const float mean = static_cast<float>(static_cast<int>(static_cast<float>(sum) / n));
        const int v = static_cast<int>(static_cast<float>(src[i]) * keep / 20.0f) +
                      static_cast<int>(pull * mean / 20.0f);
        out[i] = static_cast<std::uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
    }
}

}  // namespace

int UnsharpMask(const PixelBuffer* source, PixelBuffer* target, int amount, int radius) {
    if (!IsFilterPair(source, target) || radius < 0) return 0;
    const int width = source->Width();
    const int height = source->Height();
    const int count = 3 * width;
    // Each thread keeps its own sliding sums; they are integers, so starting them afresh at
    // the first row of a run gives the same numbers as carrying them down from row 0.
    auto makeBox = [&]() -> std::optional<BoxColumns> {
        try {
            BoxColumns box;
            box.sums.assign(count, 0);
            box.padded.assign(3 * (width + 2 * radius), 0);
            return box;
        } catch (const std::bad_alloc&) {
            return std::nullopt;
        }
    };
    std::optional<BoxColumns> ownBox = makeBox();
    if (!ownBox) return 0;
    FilterState.FilterBusy = kFilterRunning;
    const int k = amount + 20;
    const bool lanes = k > -60000 && k < 60000;
    auto unsharpRows = [&](BoxColumns& box, int first, int end, auto&& keepGoing) {
        std::fill(box.sums.begin(), box.sums.end(), 0);
        for (int j = -radius; j <= radius; ++j) {
            AddRow(box.sums, source->Row(ClampIndex(first + j, height - 1)), count, 1);
        }
        for (int y = first; y < end; ++y) {
            if (y > first) {
                AddRow(box.sums, source->Row(ClampIndex(y + radius, height - 1)), count, 1);
                AddRow(box.sums, source->Row(ClampIndex(y - 1 - radius, height - 1)), count, -1);
            }
            if (!keepGoing()) return false;
            for (int x = -radius; x < width + radius; ++x) {
                const int from = 3 * ClampIndex(x, width - 1);
                const int to = 3 * (x + radius);
                box.padded[to] = box.sums[from];
                box.padded[to + 1] = box.sums[from + 1];
                box.padded[to + 2] = box.sums[from + 2];
            }
            const std::uint8_t* src = source->Row(y);
            std::uint8_t* out = target->Row(y);
            switch (lanes ? radius : 0) {
                case 1: UnsharpRowLanes<1>(box, src, out, width, k); break;
                case 2: UnsharpRowLanes<2>(box, src, out, width, k); break;
                case 3: UnsharpRowLanes<3>(box, src, out, width, k); break;
                case 4: UnsharpRowLanes<4>(box, src, out, width, k); break;
                default: UnsharpRowExact(box, src, out, width, radius, k); break;
            }
        }
        return true;
    };
    // A band owns its box, so that the helper's sums never meet the caller's.
    auto bandWith = [&unsharpRows](BoxColumns box) {
        return [&unsharpRows, box = std::move(box)](int first, int end, auto&& keepGoing) mutable {
            return unsharpRows(box, first, end, keepGoing);
        };
    };
    auto own = bandWith(std::move(*ownBox));
    auto makeHelperBand = [&]() -> std::optional<decltype(own)> {
        std::optional<BoxColumns> box = makeBox();
        if (!box) return std::nullopt;
        return bandWith(std::move(*box));
    };
    // Runs long enough that restarting the sums costs little next to the rows themselves.
    const int chunkRows = std::max(32, 8 * (2 * radius + 1));
    if (!RunPumpedRows(height, width, chunkRows, own, makeHelperBand)) return 0;
    FilterState.FilterBusy = kFilterIdle;
    return 1;
}

int UnsharpMask(int amount, int radius) {
    if (!PrepareFilterContext()) return 0;
    return UnsharpMask(FilterContext.sourceBitmap, FilterContext.targetBitmap, amount, radius);
}
