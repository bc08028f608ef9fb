#include "filters/DistortFilters.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#include "filters/FilterEngine.h"
#include "platform/raster/ParallelRows.h"
#include "filters/PumpedRows.h"

namespace {

// floor(sqrt(d)), followed from the previous pixel's root: d changes little along a row, so
// a step or two replaces the bit-by-bit square root and gives the same number.
inline int FollowRoot(int r, std::int64_t d) {
    while (static_cast<std::int64_t>(r + 1) * (r + 1) <= d) ++r;
    while (static_cast<std::int64_t>(r) * r > d) --r;
    return r;
}

inline const std::uint8_t* PixelAt(const PixelBuffer& buffer, int x, int y) { return buffer.Row(y) + 3 * x; }

inline void CopyPixel(std::uint8_t* out, const std::uint8_t* in) {
    out[0] = in[0];
    out[1] = in[1];
    out[2] = in[2];
}

// SineQ over the whole circle, so that the inner loops look an angle up instead of reducing
// it to a quarter each time. Filled from SineQ itself.
struct CircleSine {
    int value[1440];
    CircleSine() {
        for (int a = 0; a < 1440; ++a) value[a] = SineQ(a);
    }
    int operator()(int quarterDegrees) const {
        int a = quarterDegrees % 1440;
        if (a < 0) a += 1440;
        return value[a];
    }
};

const CircleSine& Sine() {
    static const CircleSine table;
    return table;
}

// Atan2Fixed, inlined for the inner loops; the coordinates here are picture offsets, far
// below the range where the 32-bit product could overflow.
inline int AngleOf(int y, int x) {
    if (x == 0 && y == 0) return 0;
    const int ay = y < 0 ? -y : y;
    const int ax = x < 0 ? -x : x;
    const int a = ay > ax ? 1608 - AtanTable[(ax * 256) / ay] : AtanTable[(ay * 256) / ax];
    if (x >= 0) return y < 0 ? -a : a;
    return y < 0 ? a - 3217 : 3217 - a;
}

// The target shows the source pixel at distance m from the centre in the direction of the
// angle a (radians x 1024), when that lies inside the picture.
inline void TakePolar(const CircleSine& sine, const PixelBuffer& source, std::uint8_t* out, int cx, int cy,
                      int angle, int m) {
    const int q = FixedAngleToQuarterDegrees(angle);
    const int sx = cx + sine(q + 360) * m / 32767;
    const int sy = cy + sine(q) * m / 32767;
    if (static_cast<unsigned>(sx) < static_cast<unsigned>(source.Width()) &&
        static_cast<unsigned>(sy) < static_cast<unsigned>(source.Height())) {
        CopyPixel(out, PixelAt(source, sx, sy));
    }
}

bool SameSize(const PixelBuffer& a, const PixelBuffer& b) {
    return a.Width() == b.Width() && a.Height() == b.Height() && a.BitsPerPixel() == 24 && b.BitsPerPixel() == 24;
}

}  // namespace

void OffsetPixels(const PixelBuffer& source, PixelBuffer& target, int horizontal, int vertical) {
    if (!SameSize(source, target)) return;
    const int w = source.Width();
    const int h = source.Height();
    // Within -w ... w the wrap-around is a remainder; taking it first also keeps larger
    // values inside the picture.
    const int dx = ((horizontal % w) + w) % w;
    const int dy = ((vertical % h) + h) % h;
    const std::size_t right = static_cast<std::size_t>(w - dx) * 3;
    const std::size_t left = static_cast<std::size_t>(dx) * 3;
    RunRowsInParallel(h, w, [&](int first, int end) {
        for (int y = first; y < end; ++y) {
            int sy = y + dy;
            if (sy > h - 1) sy -= h;
            const std::uint8_t* in = source.Row(sy);
            std::uint8_t* out = target.Row(y);
            std::memcpy(out, in + left, right);
            std::memcpy(out + right, in, left);
        }
    });
}

bool SpherePixels(const PixelBuffer& source, PixelBuffer& target, int amount) {
    if (amount == 0 || !SameSize(source, target)) return false;
    const int width = source.Width();
    const int height = source.Height();
    const int R = std::min(width, height) / 2;
    // A picture under 2 pixels wide or high has no circle to bulge (and R = 0 would divide by 0).
    if (R == 0) return false;
    const int cx = width / 2;
    const int cy = height / 2;
    const double k = std::abs(amount) * 0.001;
    const double radius = static_cast<double>(static_cast<float>(R));
    const double c = radius / std::log(radius * k + 1.0);

    std::unique_ptr<int[]> M(new (std::nothrow) int[static_cast<std::size_t>(R) + 1]);
    if (!M) return false;
    for (int i = 0; i <= R; ++i) {
        M[i] = amount > 0 ? static_cast<int>((std::exp(i / c) - 1.0) / k) : static_cast<int>(std::log(i * k + 1.0) * c);
    }

    // r <= R exactly when dx^2 + dy^2 < (R + 1)^2; outside that disc every pixel shows itself.
    const std::int64_t limit = static_cast<std::int64_t>(R + 1) * (R + 1);
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
    const CircleSine& sine = Sine();
    const int* radiusMap = M.get();
    RunRowsInParallel(height, width, [&](int firstRow, int endRow) {
        for (int y = firstRow; y < endRow; ++y) {
            const std::uint8_t* in = source.Row(y);
            std::uint8_t* out = target.Row(y);
            const std::int64_t dy = y - cy;
            const std::int64_t room = limit - dy * dy;
            if (room <= 0) {
                std::memcpy(out, in, rowBytes);
                continue;
            }
            // The columns inside the disc: |dx| <= span.
            const int span = static_cast<int>(IntegerSqrt(static_cast<std::uint32_t>(room - 1)));
            const int first = std::max(0, cx - span);
            const int end = std::min(width, cx + span + 1);
            std::memcpy(out, in, static_cast<std::size_t>(first) * 3);
            std::memcpy(out + 3 * end, in + 3 * end, static_cast<std::size_t>(width - end) * 3);
            int r = static_cast<int>(IntegerSqrt(static_cast<std::uint32_t>((first - cx) * (first - cx) + dy * dy)));
            for (int x = first; x < end; ++x) {
                const int dx = x - cx;
                r = FollowRoot(r, static_cast<std::int64_t>(dx) * dx + dy * dy);
                TakePolar(sine, source, out + 3 * x, cx, cy, AngleOf(static_cast<int>(dy), dx), radiusMap[r]);
            }
        }
    });
    return true;
}

SwirlPlan MakeSwirlPlan(int width, int height, int rotations, int degrees) {
    SwirlPlan plan;
    plan.twist = static_cast<int>((degrees + 360 * rotations) * 6.283185307179586 * 2.8444444444444446);
    plan.radius = std::min(width / 2, height / 2);
    plan.cx = width / 2;
    plan.cy = height / 2;
    if (plan.radius == 0) return plan;
    const std::int64_t farX = std::max(plan.cx, width - 1 - plan.cx);
    const std::int64_t farY = std::max(plan.cy, height - 1 - plan.cy);
    plan.farthest = static_cast<int>(IntegerSqrt(static_cast<std::uint32_t>(farX * farX + farY * farY)));
    plan.twistAt.reset(new (std::nothrow) int[static_cast<std::size_t>(plan.farthest) + 1]);
    if (!plan.twistAt) {
        plan.radius = 0;
        return plan;
    }
    for (int r = 0; r <= plan.farthest; ++r) {
        plan.twistAt[r] = static_cast<int>(static_cast<std::int64_t>(plan.radius - r) * plan.twist / plan.radius);
    }
    return plan;
}

void SwirlRow(const PixelBuffer& source, PixelBuffer& target, const SwirlPlan& plan, int y) {
    if (plan.radius == 0 || !SameSize(source, target)) return;
    const int width = source.Width();
    const std::int64_t dy = y - plan.cy;
    std::uint8_t* out = target.Row(y);
    const CircleSine& sine = Sine();
    int r = static_cast<int>(IntegerSqrt(static_cast<std::uint32_t>(plan.cx * plan.cx + dy * dy)));
    for (int x = 0; x < width; ++x, out += 3) {
        const int dx = x - plan.cx;
        r = FollowRoot(r, static_cast<std::int64_t>(dx) * dx + dy * dy);
        const int a = AngleOf(static_cast<int>(dy), dx);
        TakePolar(sine, source, out, plan.cx, plan.cy, plan.twistAt[r] + a, r);
    }
}

bool WavesPixels(const PixelBuffer& source, PixelBuffer& target, int horizontal, int vertical, int amplitude) {
    if (!SameSize(source, target)) return false;
    const int width = source.Width();
    const int height = source.Height();
    const int ax = horizontal * amplitude / 100;
    const int ay = vertical * amplitude / 100;
    // Each row moves sideways by an amount of its own and each column up or down by one of
    // its own. The phase is y radians in quarter degrees (y x 720 / pi), in 64 bits so that
    // tall pictures do not overflow.
    std::unique_ptr<int[]> rowShift(new (std::nothrow) int[static_cast<std::size_t>(height)]);
    std::unique_ptr<int[]> columnShift(new (std::nothrow) int[static_cast<std::size_t>(width)]);
    if (!rowShift || !columnShift) return false;
    for (int y = 0; y < height; ++y) {
        rowShift[y] = horizontal == 0
                          ? 0
                          : SineQ(static_cast<int>(static_cast<std::int64_t>(y) * 229183 / 1000 / horizontal)) * ax /
                                32767;
    }
    for (int x = 0; x < width; ++x) {
        columnShift[x] =
            vertical == 0
                ? 0
                : SineQ(static_cast<int>(static_cast<std::int64_t>(x) * 229183 / 1000 / vertical) + 360) * ay / 32767;
    }
    const std::uint8_t* top = source.Row(0);
    const std::ptrdiff_t stride = source.Stride();
    RunRowsInParallel(height, width, [&](int first, int end) {
        for (int y = first; y < end; ++y) {
            std::uint8_t* out = target.Row(y);
            const int shift = rowShift[y];
            for (int x = 0; x < width; ++x, out += 3) {
                const int sx = std::clamp(x + shift, 0, width - 1);
                const int sy = std::clamp(y + columnShift[x], 0, height - 1);
                CopyPixel(out, top - sy * stride + 3 * sx);
            }
        }
    });
    return true;
}

int Offset(int horizontal, int vertical) {
    if (!PrepareFilterContext()) return 0;
    OffsetPixels(*FilterContext.sourceBitmap, *FilterContext.targetBitmap, horizontal, vertical);
    return 1;
}

int Sphere(int amount) {
    if (amount == 0) return 0;
    if (!PrepareFilterContext()) return 0;
    return SpherePixels(*FilterContext.sourceBitmap, *FilterContext.targetBitmap, amount) ? 1 : 0;
}

int Swirl(int rotations, int degrees) {
    if (!PrepareFilterContext()) return 0;
    const PixelBuffer& source = *FilterContext.sourceBitmap;
    PixelBuffer& target = *FilterContext.targetBitmap;
    const SwirlPlan plan = MakeSwirlPlan(source.Width(), source.Height(), rotations, degrees);
    if (plan.radius == 0) return 0;
    FilterState.FilterBusy = kFilterRunning;
    auto band = [&](int first, int end, auto&& keepGoing) {
        for (int y = first; y < end; ++y) {
            if (!keepGoing()) return false;
            SwirlRow(source, target, plan, y);
        }
        return true;
    };
    if (!RunPumpedRows(source.Height(), source.Width(), 1, band, [&band] { return &band; })) return 0;
    FilterState.FilterBusy = kFilterIdle;
    return 1;
}

int Waves(int horizontal, int vertical, int amplitude) {
    if (!PrepareFilterContext()) return 0;
    return WavesPixels(*FilterContext.sourceBitmap, *FilterContext.targetBitmap, horizontal, vertical, amplitude) ? 1
                                                                                                                : 0;
}
