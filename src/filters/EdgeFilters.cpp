#include "filters/EdgeFilters.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "filters/Blur.h"
#include "filters/ColourAdjust.h"
#include "filters/FilterEngine.h"
#include "filters/FilterRows.h"
#include "platform/raster/ParallelRows.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// IntegerSqrt of every possible g1^2 + g2^2 (|g| <= 765) lies below 1083; the channel value
// of each root is looked up.
constexpr int kEdgeRoots = 1083;

struct EdgeTable {
    std::uint8_t value[kEdgeRoots];
    EdgeTable() {
        for (int s = 0; s < kEdgeRoots; ++s) {
            const double v = s * 0.5555555555555556;
            value[s] = static_cast<std::uint8_t>(v > 255.0 ? 255 : static_cast<int>(v));
        }
    }
};

const EdgeTable& Edges() {
    static const EdgeTable table;
    return table;
}

// floor(sqrt(n)) for n below 2^22: the single-precision root of such an integer is never
// rounded up to the next whole number, so this equals IntegerSqrt there.
inline int RootOf(int n) { return static_cast<int>(std::sqrt(static_cast<float>(n))); }

inline std::uint8_t EdgeValue(int g1, int g2, const EdgeTable& table) {
    return table.value[RootOf(g1 * g1 + g2 * g2)];
}

void EdgeClampedPixel(const std::uint8_t* up, const std::uint8_t* down, const std::uint8_t* mid, std::uint8_t* out,
                      int width, int x, const EdgeTable& table) {
    const int l = 3 * std::max(x - 1, 0);
    const int c = 3 * x;
    const int r = 3 * std::min(x + 1, width - 1);
    for (int ch = 0; ch < 3; ++ch) {
        const int g1 = down[l + ch] + down[c + ch] + down[r + ch] - up[l + ch] - up[c + ch] - up[r + ch];
        const int g2 = up[r + ch] + mid[r + ch] + down[r + ch] - up[l + ch] - mid[l + ch] - down[l + ch];
        out[c + ch] = EdgeValue(g1, g2, table);
    }
}

#if defined(__SSE2__)

inline __m128i LoadWidened(const std::uint8_t* p) {
    return _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)), _mm_setzero_si128());
}

// Four lanes of g1^2 + g2^2 to the channel value: the single-precision root truncated is
// IntegerSqrt (see RootOf), and trunc(s x 0.5555555555555556) is trunc(5s / 9) for these s,
// which a single-precision division gives exactly (5s < 2^24).
inline __m128i EdgeLanesOf(__m128i squares) {
    const __m128 root = _mm_cvtepi32_ps(_mm_cvttps_epi32(_mm_sqrt_ps(_mm_cvtepi32_ps(squares))));
    return _mm_cvttps_epi32(_mm_div_ps(_mm_mul_ps(root, _mm_set1_ps(5.0f)), _mm_set1_ps(9.0f)));
}

// The inside bytes from begin, eight at a time; returns where it stopped. The gradients fit
// 16-bit lanes (|g| <= 765) and their squares are summed pairwise into 32 bits.
int EdgeLanes(const std::uint8_t* up, const std::uint8_t* mid, const std::uint8_t* down, std::uint8_t* out, int begin,
              int end) {
    int i = begin;
    for (; i + 8 <= end; i += 8) {
        const __m128i ul = LoadWidened(up + i - 3), uc = LoadWidened(up + i), ur = LoadWidened(up + i + 3);
        const __m128i ml = LoadWidened(mid + i - 3), mr = LoadWidened(mid + i + 3);
        const __m128i dl = LoadWidened(down + i - 3), dc = LoadWidened(down + i), dr = LoadWidened(down + i + 3);
        const __m128i g1 = _mm_sub_epi16(_mm_add_epi16(_mm_add_epi16(dl, dc), dr), _mm_add_epi16(_mm_add_epi16(ul, uc), ur));
        const __m128i g2 = _mm_sub_epi16(_mm_add_epi16(_mm_add_epi16(ur, mr), dr), _mm_add_epi16(_mm_add_epi16(ul, ml), dl));
        const __m128i low = _mm_unpacklo_epi16(g1, g2);
        const __m128i high = _mm_unpackhi_epi16(g1, g2);
        const __m128i values = _mm_packs_epi32(EdgeLanesOf(_mm_madd_epi16(low, low)), EdgeLanesOf(_mm_madd_epi16(high, high)));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(values, values));
    }
    return i;
}

#else

int EdgeLanes(const std::uint8_t*, const std::uint8_t*, const std::uint8_t*, std::uint8_t*, int begin, int) {
    return begin;
}

#endif

void EdgeRow(const std::uint8_t* up, const std::uint8_t* mid, const std::uint8_t* down, std::uint8_t* out, int width,
             const EdgeTable& table) {
    EdgeClampedPixel(up, down, mid, out, width, 0, table);
    if (width < 2) return;
    EdgeClampedPixel(up, down, mid, out, width, width - 1, table);
    const int end = 3 * (width - 1);
    for (int i = EdgeLanes(up, mid, down, out, 3, end); i < end; ++i) {
        const int g1 = down[i - 3] + down[i] + down[i + 3] - up[i - 3] - up[i] - up[i + 3];
        const int g2 = up[i + 3] + mid[i + 3] + down[i + 3] - up[i - 3] - mid[i - 3] - down[i - 3];
        out[i] = EdgeValue(g1, g2, table);
    }
}

struct Offset {
    int dx;
    int dy;
};
constexpr Offset kLight[kEmbossDirections] = {{-1, -1}, {0, -1}, {1, -1}, {-1, 0},
                                              {1, 0},   {-1, 1}, {0, 1},  {1, 1}};

// The largest difference of two pixels' channel sums.
constexpr int kEmbossMostDifference = 3 * 255;

inline std::uint8_t EmbossValue(const std::uint8_t* p, const std::uint8_t* q, int red, int a) {
    const int e = (p[0] + p[1] + p[2] - q[0] - q[1] - q[2] + 384) / 3;
    return static_cast<std::uint8_t>(ClampChannel(red + ((e - red) * a + 128) / 255));
}

}  // namespace

int EdgeDetect(const PixelBuffer* source, PixelBuffer* target) {
    if (!IsFilterPair(source, target)) return 0;
    const EdgeTable& table = Edges();
    const int width = source->Width();
    const int height = source->Height();
    RunRowsInParallel(height, width, [&](int first, int end) {
        for (int y = first; y < end; ++y) {
            EdgeRow(source->Row(std::max(y - 1, 0)), source->Row(y), source->Row(std::min(y + 1, height - 1)),
                    target->Row(y), width, table);
        }
    });
    return 1;
}

int EdgeDetect() {
    if (!PrepareFilterContext()) return 0;
    return EdgeDetect(FilterContext.sourceBitmap, FilterContext.targetBitmap);
}

int FindContours(const PixelBuffer* source, PixelBuffer* target) {
    if (!Convolve3x3(source, target, kContourKernel)) return 0;
    return Invert(target);
}

int Emboss(const PixelBuffer* source, PixelBuffer* target, int intensity, int direction) {
    if (!IsFilterPair(source, target) || direction < 0 || direction >= kEmbossDirections) return 0;
    const int a = static_cast<int>(intensity * 2.55);
    const int dx = kLight[direction].dx;
    const int dy = kLight[direction].dy;
    const int width = source->Width();
    const int height = source->Height();
    // Every value EmbossValue can give, by the lit pixel's channel sum minus the opposite one's
    // and the red byte: a table lookup instead of two divisions for each pixel. Each entry is
    // EmbossValue's own, of two pixels whose sums differ by that much.
    std::vector<std::uint8_t> table(static_cast<std::size_t>(2 * kEmbossMostDifference + 1) * 256);
    for (int difference = -kEmbossMostDifference; difference <= kEmbossMostDifference; ++difference) {
        const std::uint8_t lit[3] = {static_cast<std::uint8_t>(std::max(difference, 0) / 3 + (std::max(difference, 0) % 3 > 0)),
                                     static_cast<std::uint8_t>(std::max(difference, 0) / 3 + (std::max(difference, 0) % 3 > 1)),
                                     static_cast<std::uint8_t>(std::max(difference, 0) / 3)};
        const std::uint8_t dark[3] = {static_cast<std::uint8_t>(std::max(-difference, 0) / 3 + (std::max(-difference, 0) % 3 > 0)),
                                      static_cast<std::uint8_t>(std::max(-difference, 0) / 3 + (std::max(-difference, 0) % 3 > 1)),
                                      static_cast<std::uint8_t>(std::max(-difference, 0) / 3)};
        for (int red = 0; red < 256; ++red) {
            table[static_cast<std::size_t>(difference + kEmbossMostDifference) * 256 + static_cast<std::size_t>(red)] =
                EmbossValue(lit, dark, red, a);
        }
    }
    RunRowsInParallel(height, width, [&](int first, int end) {
        for (int y = first; y < end; ++y) {
            const std::uint8_t* lit = source->Row(ClampIndex(y + dy, height - 1));
            const std::uint8_t* opposite = source->Row(ClampIndex(y - dy, height - 1));
            const std::uint8_t* src = source->Row(y);
            std::uint8_t* out = target->Row(y);
            auto pixel = [&](int x) {
                const std::uint8_t v = EmbossValue(lit + 3 * ClampIndex(x + dx, width - 1),
                                                   opposite + 3 * ClampIndex(x - dx, width - 1), src[3 * x + 2], a);
                out[3 * x] = out[3 * x + 1] = out[3 * x + 2] = v;
            };
            pixel(0);
            if (width < 2) continue;
            pixel(width - 1);
            // Inside the row both neighbours exist: fixed offsets, no clamping, and the value
            // looked up by the two pixels' difference and the red byte.
            const std::uint8_t* p = lit + 3 * (1 + dx);
            const std::uint8_t* q = opposite + 3 * (1 - dx);
            const std::uint8_t* values = table.data();
            for (int x = 1, last = width - 1; x < last; ++x, p += 3, q += 3) {
                const int difference = p[0] + p[1] + p[2] - q[0] - q[1] - q[2];
                const std::uint8_t v = values[(difference + kEmbossMostDifference) * 256 + src[3 * x + 2]];
                out[3 * x] = out[3 * x + 1] = out[3 * x + 2] = v;
            }
        }
    });
    return 1;
}

int Emboss(int intensity, int direction) {
    if (!PrepareFilterContext()) return 0;
    return Emboss(FilterContext.sourceBitmap, FilterContext.targetBitmap, intensity, direction);
}
