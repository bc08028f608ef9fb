#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "filters/Blur.h"
#include "filters/FilterEngine.h"
#include "filters/FilterRows.h"
#include "platform/raster/ParallelRows.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

struct KernelWeights {
    int w[9];
    int divisor;
};

inline int DivideSum(int sum, int divisor) { return divisor != 0 ? sum / divisor : sum; }

inline std::uint8_t ClampToByte(int v) { return static_cast<std::uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

// One pixel with its neighbours clamped into the row: the two border pixels of every row.
void ConvolveClampedPixel(const std::uint8_t* up, const std::uint8_t* mid, const std::uint8_t* down,
                          std::uint8_t* out, int width, int x, const KernelWeights& k) {
    const int l = 3 * std::max(x - 1, 0);
    const int c = 3 * x;
    const int r = 3 * std::min(x + 1, width - 1);
    for (int ch = 0; ch < 3; ++ch) {
        const int sum = k.w[0] * up[l + ch] + k.w[1] * up[c + ch] + k.w[2] * up[r + ch] + k.w[3] * mid[l + ch] +
                        k.w[4] * mid[c + ch] + k.w[5] * mid[r + ch] + k.w[6] * down[l + ch] +
                        k.w[7] * down[c + ch] + k.w[8] * down[r + ch];
        out[c + ch] = ClampToByte(DivideSum(sum, k.divisor));
    }
}

// Inside a row every neighbour exists: the channels are independent and a neighbour is
// three bytes away, so the inside is one flat run over the bytes [begin, end).
void ConvolveBytes(const std::uint8_t* up, const std::uint8_t* mid, const std::uint8_t* down, std::uint8_t* out,
                   int begin, int end, const KernelWeights& k) {
    for (int i = begin; i < end; ++i) {
        const int sum = k.w[0] * up[i - 3] + k.w[1] * up[i] + k.w[2] * up[i + 3] + k.w[3] * mid[i - 3] +
                        k.w[4] * mid[i] + k.w[5] * mid[i + 3] + k.w[6] * down[i - 3] + k.w[7] * down[i] +
                        k.w[8] * down[i + 3];
        out[i] = ClampToByte(DivideSum(sum, k.divisor));
    }
}

// How the inside of the rows is divided eight bytes at a time in 16-bit lanes, which holds
// every sum when the kernel's largest possible magnitude (reach) is at most 32767.
enum class LaneDivision {
    kNone,    // divisor 0 or 1 (or no lanes at all)
    kScaled,  // no negative weight: floor(x / d) = (x * m) >> 16, see ScaledMultiplier
    kShift,   // a power of two: an arithmetic shift after raising negative sums by d - 1
    kScalar,  // anything else goes byte by byte
};

struct LanePlan {
    LaneDivision division = LaneDivision::kScalar;
    int multiplier = 0;
    int shift = 0;
};

// For sums 0 ... reach, floor(x / d) = (x * m) >> 16 with m = ceil(2^16 / d) holds for every
// x when x * (m * d - 2^16) < 2^16: the product overshoots x / d by less than 1 / d.
int ScaledMultiplier(int divisor, int reach) {
    const std::uint32_t d = static_cast<std::uint32_t>(divisor);
    const std::uint32_t m = (65536u + d - 1) / d;
    const std::uint64_t excess = static_cast<std::uint64_t>(m) * d - 65536u;
    return static_cast<std::uint64_t>(reach) * excess < 65536u ? static_cast<int>(m) : 0;
}

LanePlan PlanLanes(const KernelWeights& k, int reach) {
    LanePlan plan;
    if (reach > 32767) return plan;
    const int d = k.divisor;
    if (d == 0 || d == 1) {
        plan.division = LaneDivision::kNone;
        return plan;
    }
    if (d > 1 && (d & (d - 1)) == 0) {
        plan.division = LaneDivision::kShift;
        while ((1 << plan.shift) < d) ++plan.shift;
        return plan;
    }
    const bool nonNegative = std::all_of(k.w, k.w + 9, [](int w) { return w >= 0; });
    if (d > 1 && nonNegative) {
        plan.multiplier = ScaledMultiplier(d, reach);
        if (plan.multiplier > 0) plan.division = LaneDivision::kScaled;
    }
    return plan;
}

#if defined(__SSE2__)

inline __m128i LoadWidened(const std::uint8_t* p) {
    return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), _mm_setzero_si128());
}

// The inside bytes from begin in steps of eight; returns where it stopped (fewer than eight
// bytes before end). Every partial sum stays within the reach, so 16-bit lanes are exact;
// packing with unsigned saturation is the clamp to 0 ... 255.
template <LaneDivision Division>
int ConvolveLanes(const std::uint8_t* up, const std::uint8_t* mid, const std::uint8_t* down, std::uint8_t* out,
                  int begin, int end, const KernelWeights& k, const LanePlan& plan) {
    __m128i w[9];
    for (int j = 0; j < 9; ++j) w[j] = _mm_set1_epi16(static_cast<short>(k.w[j]));
    const __m128i multiplier = _mm_set1_epi16(static_cast<short>(plan.multiplier));
    const __m128i roundUp = _mm_set1_epi16(static_cast<short>((1 << plan.shift) - 1));
    const __m128i shift = _mm_cvtsi32_si128(plan.shift);
    int i = begin;
    for (; i + 8 <= end; i += 8) {
        __m128i sum = _mm_mullo_epi16(LoadWidened(up + i - 3), w[0]);
        sum = _mm_add_epi16(sum, _mm_mullo_epi16(LoadWidened(up + i), w[1]));
        sum = _mm_add_epi16(sum, _mm_mullo_epi16(LoadWidened(up + i + 3), w[2]));
        sum = _mm_add_epi16(sum, _mm_mullo_epi16(LoadWidened(mid + i - 3), w[3]));
        sum = _mm_add_epi16(sum, _mm_mullo_epi16(LoadWidened(mid + i), w[4]));
        sum = _mm_add_epi16(sum, _mm_mullo_epi16(LoadWidened(mid + i + 3), w[5]));
        sum = _mm_add_epi16(sum, _mm_mullo_epi16(LoadWidened(down + i - 3), w[6]));
        sum = _mm_add_epi16(sum, _mm_mullo_epi16(LoadWidened(down + i), w[7]));
        sum = _mm_add_epi16(sum, _mm_mullo_epi16(LoadWidened(down + i + 3), w[8]));
        if constexpr (Division == LaneDivision::kScaled) {
            sum = _mm_mulhi_epu16(sum, multiplier);
        } else if constexpr (Division == LaneDivision::kShift) {
            const __m128i negative = _mm_srai_epi16(sum, 15);
            sum = _mm_sra_epi16(_mm_add_epi16(sum, _mm_and_si128(negative, roundUp)), shift);
        }
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(sum, sum));
    }
    return i;
}

int ConvolveInside(const std::uint8_t* up, const std::uint8_t* mid, const std::uint8_t* down, std::uint8_t* out,
                   int begin, int end, const KernelWeights& k, const LanePlan& plan) {
    switch (plan.division) {
        case LaneDivision::kNone: return ConvolveLanes<LaneDivision::kNone>(up, mid, down, out, begin, end, k, plan);
        case LaneDivision::kScaled:
            return ConvolveLanes<LaneDivision::kScaled>(up, mid, down, out, begin, end, k, plan);
        case LaneDivision::kShift: return ConvolveLanes<LaneDivision::kShift>(up, mid, down, out, begin, end, k, plan);
        case LaneDivision::kScalar: break;
    }
    return begin;
}

#else

int ConvolveInside(const std::uint8_t*, const std::uint8_t*, const std::uint8_t*, std::uint8_t*, int begin, int,
                   const KernelWeights&, const LanePlan&) {
    return begin;
}

#endif

void ConvolveRow(const std::uint8_t* up, const std::uint8_t* mid, const std::uint8_t* down, std::uint8_t* out,
                 int width, const KernelWeights& k, const LanePlan& plan) {
    ConvolveClampedPixel(up, mid, down, out, width, 0, k);
    if (width < 2) return;
    ConvolveClampedPixel(up, mid, down, out, width, width - 1, k);
    const int end = 3 * (width - 1);
    const int done = ConvolveInside(up, mid, down, out, 3, end, k, plan);
    ConvolveBytes(up, mid, down, out, done, end, k);
}

}  // namespace

int Convolve3x3(const PixelBuffer* source, PixelBuffer* target, const ConvolutionKernel& kernel) {
    if (!IsFilterPair(source, target)) return 0;
    KernelWeights k{};
    int reach = 0;
    for (int i = 0; i < 9; ++i) {
        k.w[i] = kernel.weights[i];
        reach += std::abs(k.w[i]) * 255;
    }
    k.divisor = kernel.divisor;
    const LanePlan plan = PlanLanes(k, reach);
    const int width = source->Width();
    const int height = source->Height();
    RunRowsInParallel(height, width, [&](int first, int end) {
        for (int y = first; y < end; ++y) {
            ConvolveRow(source->Row(std::max(y - 1, 0)), source->Row(y), source->Row(std::min(y + 1, height - 1)),
                        target->Row(y), width, k, plan);
        }
    });
    return 1;
}
