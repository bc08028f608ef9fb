#include "filters/Median.h"

#include <algorithm>
#include <cstddef>

int MedianOf9(int a0, int a1, int a2, int a3, int a4, int a5, int a6, int a7, int a8) {
    using std::max;
    using std::min;
    const int p = min(a3, a0), q = min(a4, a1), u = max(a4, a1), v = max(a5, a2), m = max(q, p);
    const int n = max(min(a5, a2), min(q, p));
    const int k = min(max(v, u), max(a3, a0));
    const int e = min(m, a6);
    const int f = min(k, n), g = max(k, n), h = max(f, e), i = max(min(u, v), min(f, e));
    const int j = min(g, i), l = min(max(i, g), max(m, a6));
    const int o = max(min(j, h), min(l, a7));
    const int w = min(max(j, h), max(l, a7));
    return max(min(o, w), min(max(o, w), a8));
}

void Median3x3At(const std::uint8_t* sourcePixels, std::uint8_t* targetPixels, int width, int height, int stride,
                 int x, int y) {
    const std::size_t s = static_cast<std::size_t>(stride);
    const std::uint8_t* up = sourcePixels + static_cast<std::size_t>(height - y) * s + 3 * x;
    const std::uint8_t* mid = up - s;
    const std::uint8_t* down = mid - s;
    std::uint8_t* out = targetPixels + static_cast<std::size_t>(height - 1 - y) * s + 3 * x;
    for (int c = 0; c < 3; ++c) {
        out[c] = static_cast<std::uint8_t>(MedianOf9(up[c - 3], up[c], up[c + 3], mid[c - 3], mid[c], mid[c + 3],
                                                     down[c - 3], down[c], down[c + 3]));
    }
}
