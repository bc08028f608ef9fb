// The oil-paint effect: every channel takes the most frequent value of its 7 x 7
// neighbourhood. The histograms slide along the row, a column out and a column in, and the
// winner is kept up to date as counts grow; only when the winner itself loses a count are
// the 256 counts searched again.
#include <algorithm>
#include <cstdint>
#include <cstring>

#include "filters/CreativeFilters.h"
#include "platform/raster/ParallelRows.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr int kReach = 3;  // the neighbourhood runs from -3 to +3 in both directions

struct Histogram {
    alignas(16) std::uint8_t count[256];  // at most 49 samples
    int best = 0;                         // the value with the largest count, the smallest on a tie
    int bestCount = 0;
    bool valid = false;
};

// The smallest value among those with the largest count.
void FindBest(Histogram& h) {
#if defined(__SSE2__)
    __m128i top = _mm_setzero_si128();
    for (int i = 0; i < 256; i += 16) {
        top = _mm_max_epu8(top, _mm_load_si128(reinterpret_cast<const __m128i*>(h.count + i)));
    }
    top = _mm_max_epu8(top, _mm_srli_si128(top, 8));
    top = _mm_max_epu8(top, _mm_srli_si128(top, 4));
    top = _mm_max_epu8(top, _mm_srli_si128(top, 2));
    top = _mm_max_epu8(top, _mm_srli_si128(top, 1));
    const int most = _mm_cvtsi128_si32(top) & 0xFF;
    const __m128i wanted = _mm_set1_epi8(static_cast<char>(most));
    for (int i = 0; i < 256; i += 16) {
        const __m128i block = _mm_load_si128(reinterpret_cast<const __m128i*>(h.count + i));
        const int hits = _mm_movemask_epi8(_mm_cmpeq_epi8(block, wanted));
        if (hits) {
            h.best = i + __builtin_ctz(static_cast<unsigned>(hits));
            h.bestCount = most;
            h.valid = true;
            return;
        }
    }
#else
    int best = 0;
    for (int v = 1; v < 256; ++v) {
        if (h.count[v] > h.count[best]) best = v;
    }
    h.best = best;
    h.bestCount = h.count[best];
    h.valid = true;
#endif
}

inline void Add(Histogram& h, int v) {
    const int n = ++h.count[v];
    if (h.valid && (n > h.bestCount || (n == h.bestCount && v < h.best))) {
        h.best = v;
        h.bestCount = n;
    }
}

inline void Remove(Histogram& h, int v) {
    --h.count[v];
    if (v == h.best) h.valid = false;
}

void OilpaintRows(const PixelBuffer& source, PixelBuffer& target, int firstRow, int endRow) {
    const int width = source.Width();
    const int height = source.Height();
    const std::ptrdiff_t stride = source.Stride();
    Histogram hist[3];
    for (int y = firstRow; y < endRow; ++y) {
        const int top = std::max(0, y - kReach);
        const int bottom = std::min(height - 1, y + kReach);
        const int rows = bottom - top + 1;
        // Column x of the neighbourhood starts at the top row and walks down the picture,
        // which in the bottom-up buffer is towards lower addresses.
        const std::uint8_t* columnTop = source.Row(top);
        for (Histogram& h : hist) {
            std::memset(h.count, 0, sizeof h.count);
            h.valid = false;
        }
        auto addColumn = [&](int x) {
            const std::uint8_t* p = columnTop + 3 * x;
            for (int k = 0; k < rows; ++k, p -= stride) {
                Add(hist[0], p[0]);
                Add(hist[1], p[1]);
                Add(hist[2], p[2]);
            }
        };
        auto removeColumn = [&](int x) {
            const std::uint8_t* p = columnTop + 3 * x;
            for (int k = 0; k < rows; ++k, p -= stride) {
                Remove(hist[0], p[0]);
                Remove(hist[1], p[1]);
                Remove(hist[2], p[2]);
            }
        };
        for (int x = 0; x <= std::min(kReach, width - 1); ++x) addColumn(x);
        std::uint8_t* out = target.Row(y);
        for (int x = 0; x < width; ++x, out += 3) {
            if (x > 0) {
                if (x - kReach - 1 >= 0) removeColumn(x - kReach - 1);
                if (x + kReach < width) addColumn(x + kReach);
            }
            for (int c = 0; c < 3; ++c) {
                if (!hist[c].valid) FindBest(hist[c]);
                out[c] = static_cast<std::uint8_t>(hist[c].best);
            }
        }
    }
}

}  // namespace

void OilpaintPixels(const PixelBuffer& source, PixelBuffer& target) {
    if (source.BitsPerPixel() != 24 || target.BitsPerPixel() != 24 || source.Width() != target.Width() ||
        source.Height() != target.Height()) {
        return;
    }
    RunRowsInParallel(source.Height(), source.Width(),
                      [&](int firstRow, int endRow) { OilpaintRows(source, target, firstRow, endRow); });
}
