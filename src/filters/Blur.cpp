#include "filters/Blur.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <vector>

#include "filters/FilterEngine.h"
#include "filters/FilterRows.h"

namespace {

// The sum is divided by D, or by the runtime divisor when D is -1 (0 = undivided). A known
// divisor lets the compiler turn the division into a multiplication.
template <int D>
inline int DivideSum(int sum, int divisor) {
    if constexpr (D == -1) {
        return divisor != 0 ? sum / divisor : sum;
    } else if constexpr (D == 0) {
        return sum;
    } else {
        return sum / D;
    }
}

struct KernelWeights {
    int w[9];
    int divisor;
};

// One border pixel with its neighbours clamped into the row.
template <int D>
void ConvolveClampedPixel(const std::uint8_t* up, const std::uint8_t* mid, const std::uint8_t* down,
                          std::uint8_t* out, int width, int x, const KernelWeights& k) {
    const int l = 3 * std::max(x - 1, 0);
    const int c = 3 * x;
    const int r = 3 * std::min(x + 1, width - 1);
    for (int ch = 0; ch < 3; ++ch) {
        const int sum = k.w[0] * up[l + ch] + k.w[1] * up[c + ch] + k.w[2] * up[r + ch] + k.w[3] * mid[l + ch] +
                        k.w[4] * mid[c + ch] + k.w[5] * mid[r + ch] + k.w[6] * down[l + ch] +
                        k.w[7] * down[c + ch] + k.w[8] * down[r + ch];
        out[c + ch] = static_cast<std::uint8_t>(ClampChannel(DivideSum<D>(sum, k.divisor)));
    }
}

// The inside of a row, where every neighbour exists: the channels are independent and a
// neighbour is three bytes away, so the row is one flat loop over its bytes. Acc is the
// narrowest type that holds every sum of the kernel, which lets the loop run on more lanes.
template <typename Acc, int D>
void ConvolveRow(const std::uint8_t* up, const std::uint8_t* mid, const std::uint8_t* down, std::uint8_t* out,
                 int width, const KernelWeights& k) {
    ConvolveClampedPixel<D>(up, mid, down, out, width, 0, k);
    if (width < 2) return;
    ConvolveClampedPixel<D>(up, mid, down, out, width, width - 1, k);
    const Acc w0 = static_cast<Acc>(k.w[0]), w1 = static_cast<Acc>(k.w[1]), w2 = static_cast<Acc>(k.w[2]);
    const Acc w3 = static_cast<Acc>(k.w[3]), w4 = static_cast<Acc>(k.w[4]), w5 = static_cast<Acc>(k.w[5]);
    const Acc w6 = static_cast<Acc>(k.w[6]), w7 = static_cast<Acc>(k.w[7]), w8 = static_cast<Acc>(k.w[8]);
    const int end = 3 * (width - 1);
    for (int i = 3; i < end; ++i) {
        const Acc sum = static_cast<Acc>(w0 * up[i - 3] + w1 * up[i] + w2 * up[i + 3] + w3 * mid[i - 3] +
                                         w4 * mid[i] + w5 * mid[i + 3] + w6 * down[i - 3] + w7 * down[i] +
                                         w8 * down[i + 3]);
        const int v = DivideSum<D>(sum, k.divisor);
        out[i] = static_cast<std::uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
    }
}

template <typename Acc, int D>
void ConvolveImage(const PixelBuffer& source, PixelBuffer& target, const KernelWeights& k) {
    const int width = source.Width();
    const int height = source.Height();
    for (int y = 0; y < height; ++y) {
        ConvolveRow<Acc, D>(source.Row(std::max(y - 1, 0)), source.Row(y), source.Row(std::min(y + 1, height - 1)),
                            target.Row(y), width, k);
    }
}

template <typename Acc>
void ConvolveWithDivisor(const PixelBuffer& source, PixelBuffer& target, const KernelWeights& k) {
    switch (k.divisor) {
        case 0: return ConvolveImage<Acc, 0>(source, target, k);
        case 1: return ConvolveImage<Acc, 1>(source, target, k);
        case 5: return ConvolveImage<Acc, 5>(source, target, k);
        case 8: return ConvolveImage<Acc, 8>(source, target, k);
        case 9: return ConvolveImage<Acc, 9>(source, target, k);
        case 10: return ConvolveImage<Acc, 10>(source, target, k);
        case 16: return ConvolveImage<Acc, 16>(source, target, k);
        default: return ConvolveImage<Acc, -1>(source, target, k);
    }
}

}  // namespace

int Convolve3x3(const PixelBuffer* source, PixelBuffer* target, const ConvolutionKernel& kernel) {
    if (!IsFilterPair(source, target)) return 0;
    KernelWeights k{};
    int reach = 0;  // the largest magnitude a sum can take
    for (int i = 0; i < 9; ++i) {
        k.w[i] = kernel.weights[i];
        reach += std::abs(k.w[i]) * 255;
    }
    k.divisor = kernel.divisor;
    if (reach <= 32767) {
        ConvolveWithDivisor<std::int16_t>(*source, *target, k);
    } else {
        ConvolveWithDivisor<int>(*source, *target, k);
    }
    return 1;
}

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

template <int R>
void UnsharpRow(const BoxColumns& box, const std::uint8_t* src, std::uint8_t* out, int width, int radius,
                int k) {
    const int r = R > 0 ? R : radius;
    const int n = (2 * r + 1) * (2 * r + 1);
    const int* padded = box.padded.data();
    const int count = 3 * width;
    for (int i = 0; i < count; ++i) {
        int sum = 0;
        for (int j = 0; j <= 2 * r; ++j) sum += padded[i + 3 * j];
        const int mean = R > 0 ? sum / ((2 * R + 1) * (2 * R + 1)) : sum / n;
        const int v = (src[i] * k) / 20 + ((20 - k) * mean) / 20;
        out[i] = static_cast<std::uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
    }
}

}  // namespace

int UnsharpMask(const PixelBuffer* source, PixelBuffer* target, int amount, int radius) {
    if (!IsFilterPair(source, target) || radius < 0) return 0;
    const int width = source->Width();
    const int height = source->Height();
    const int count = 3 * width;
    BoxColumns box;
    try {
        box.sums.assign(count, 0);
        box.padded.assign(3 * (width + 2 * radius), 0);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    FilterBusy = kFilterRunning;
    const int k = amount + 20;
    for (int j = -radius; j <= radius; ++j) AddRow(box.sums, source->Row(ClampIndex(j, height - 1)), count, 1);
    for (int y = 0; y < height; ++y) {
        if (y > 0) {
            AddRow(box.sums, source->Row(ClampIndex(y + radius, height - 1)), count, 1);
            AddRow(box.sums, source->Row(ClampIndex(y - 1 - radius, height - 1)), count, -1);
        }
        if (PumpFilterMessages()) return 0;
        for (int x = -radius; x < width + radius; ++x) {
            const int from = 3 * ClampIndex(x, width - 1);
            const int to = 3 * (x + radius);
            box.padded[to] = box.sums[from];
            box.padded[to + 1] = box.sums[from + 1];
            box.padded[to + 2] = box.sums[from + 2];
        }
        const std::uint8_t* src = source->Row(y);
        std::uint8_t* out = target->Row(y);
        switch (radius) {
            case 1: UnsharpRow<1>(box, src, out, width, radius, k); break;
            case 2: UnsharpRow<2>(box, src, out, width, radius, k); break;
            case 3: UnsharpRow<3>(box, src, out, width, radius, k); break;
            case 4: UnsharpRow<4>(box, src, out, width, radius, k); break;
            default: UnsharpRow<0>(box, src, out, width, radius, k); break;
        }
    }
    FilterBusy = kFilterIdle;
    return 1;
}

int UnsharpMask(int amount, int radius) {
    if (!PrepareFilterContext()) return 0;
    return UnsharpMask(FilterContext.sourceBitmap, FilterContext.targetBitmap, amount, radius);
}
