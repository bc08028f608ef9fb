#include "tools/Gradient.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "filters/FilterEngine.h"
#include "platform/raster/ParallelRows.h"
#include "image/PaintSettings.h"

GradientInk CurrentGradientInk() {
    return GradientInk{PaintSettings.FColor, PaintSettings.BColor, PaintSettings.GOpacity, PaintSettings.Gradient};
}

namespace {

// Division rounding towards minus infinity, for the stepping of the linear positions.
long long FloorDiv(long long n, long long d) {
    const long long q = n / d;
    return (n % d != 0 && (n < 0) != (d < 0)) ? q - 1 : q;
}

// The largest r with r x r <= n, also beyond 32 bits (points far outside the picture).
long long FloorSqrt(long long n) {
    if (n <= static_cast<long long>(std::numeric_limits<std::uint32_t>::max())) {
        return IntegerSqrt(static_cast<std::uint32_t>(n));
    }
    auto r = static_cast<long long>(std::sqrt(static_cast<double>(n)));
    while (r * r > n) --r;
    while ((r + 1) * (r + 1) <= n) ++r;
    return r;
}

std::uint8_t ClampPosition(long long t) { return static_cast<std::uint8_t>(t < 0 ? 0 : (t > 255 ? 255 : t)); }

}  // namespace

GradientPositions::GradientPositions(int x1, int y1, int x2, int y2, int kind)
    : x1_(x1),
      y1_(y1),
      dx_(static_cast<long long>(x2) - x1),
      dy_(static_cast<long long>(y2) - y1),
      kind_(kind),
      lengthSquared_(dx_ * dx_ + dy_ * dy_) {
    if (kind_ != kGradientCircular || lengthSquared_ == 0) return;
    // The rim lies at the whole part of the distance between the points; the position of a
    // whole distance s inside it is trunc(s / rim x 255) in single precision.
    const auto rim = static_cast<long long>(std::sqrt(static_cast<double>(lengthSquared_)));
    ofDistance_.resize(static_cast<std::size_t>(rim));
    for (long long s = 0; s < rim; ++s) {
        const float t = static_cast<float>(s) / static_cast<float>(rim) * 255.0f;
        ofDistance_[static_cast<std::size_t>(s)] = ClampPosition(static_cast<long long>(t));
    }
}

void GradientPositions::Row(int y, int count, std::uint8_t* positions) const {
    if (kind_ == kGradientCircular) {
        CircularRow(y, count, positions);
    } else {
        LinearRow(y, count, positions);
    }
}

// trunc(255 x ((x - x1) dx + (y - y1) dy) / (dx^2 + dy^2)), clamped, stepped along the row
// with an exact quotient and remainder instead of a division per pixel. Below 0 trunc and
// floor differ, but both clamp to 0.
void GradientPositions::LinearRow(int y, int count, std::uint8_t* positions) const {
    const long long length = lengthSquared_;
    const long long first = 255 * ((0LL - x1_) * dx_ + (static_cast<long long>(y) - y1_) * dy_);
    const long long step = 255 * dx_;
    long long q = FloorDiv(first, length);
    long long r = first - q * length;
    const long long stepQ = FloorDiv(step, length);
    const long long stepR = step - stepQ * length;
    for (int x = 0; x < count; ++x) {
        positions[x] = ClampPosition(q);
        q += stepQ;
        r += stepR;
        if (r >= length) {
            r -= length;
            ++q;
        }
    }
}

// The whole distance from the start point follows the row with small steps of its square root.
void GradientPositions::CircularRow(int y, int count, std::uint8_t* positions) const {
    const long long ry = static_cast<long long>(y) - y1_;
    const long long rx0 = 0LL - x1_;
    long long n = rx0 * rx0 + ry * ry;
    long long s = FloorSqrt(n);
    const auto rim = static_cast<long long>(ofDistance_.size());
    for (int x = 0; x < count; ++x) {
        while ((s + 1) * (s + 1) <= n) ++s;
        while (s * s > n) --s;
        positions[x] = s < rim ? ofDistance_[static_cast<std::size_t>(s)] : 255;
        // (rx + 1)^2 - rx^2 = 2 rx + 1
        n += 2 * (rx0 + x) + 1;
    }
}

namespace {

// What a channel becomes, for each position t and each own value P of the channel:
// c = F + (t x d) / 256 with d = B - F (style 0) or P - F, t reversed for style 2; then c
// blended over P with the opacity. One table per channel serves every pixel of the gradient.
class ChannelBlend {
public:
    ChannelBlend(int style, int f, int b, int alpha) : values_(256 * 256) {
        const int inverse = 255 - alpha;
        for (int position = 0; position < 256; ++position) {
            const int t = style == kGradientTransparentToForeground ? 255 - position : position;
            for (int own = 0; own < 256; ++own) {
                const int d = style == kGradientForegroundToTransparent || style == kGradientTransparentToForeground
                                  ? own - f
                                  : b - f;
                const int c = f + (t * d) / 256;
                values_[static_cast<std::size_t>(position * 256 + own)] =
                    static_cast<std::uint8_t>(ClampChannel((c * alpha) / 256 + (own * inverse) / 256));
            }
        }
    }
    const std::uint8_t* AtPosition(int position) const { return values_.data() + position * 256; }

private:
    std::vector<std::uint8_t> values_;
};

}  // namespace

void DrawGradientWith(const GradientInk& ink, PixelBuffer* bitmap, int x1, int y1, int x2, int y2, int kind) {
    if (!bitmap || bitmap->BitsPerPixel() != 24 || (x1 == x2 && y1 == y2)) return;
    const int alpha = static_cast<int>(ink.opacity * 2.55);
    // Channels in the buffer's order: blue, green, red.
    const ChannelBlend blue(ink.style, raster::BlueOf(ink.foreground), raster::BlueOf(ink.background), alpha);
    const ChannelBlend green(ink.style, raster::GreenOf(ink.foreground), raster::GreenOf(ink.background), alpha);
    const ChannelBlend red(ink.style, raster::RedOf(ink.foreground), raster::RedOf(ink.background), alpha);
    const GradientPositions along(x1, y1, x2, y2, kind);
    const int width = bitmap->Width();
    // No pixel depends on another: the threads share the rows, each with its own positions.
    RunRowsInParallel(bitmap->Height(), width, [&](int first, int end) {
        std::vector<std::uint8_t> positions(static_cast<std::size_t>(width));
        for (int y = first; y < end; ++y) {
            along.Row(y, width, positions.data());
            std::uint8_t* p = bitmap->Row(y);
            for (int x = 0; x < width; ++x, p += 3) {
                const int t = positions[static_cast<std::size_t>(x)];
                p[0] = blue.AtPosition(t)[p[0]];
                p[1] = green.AtPosition(t)[p[1]];
                p[2] = red.AtPosition(t)[p[2]];
            }
        }
    });
}

void DrawGradient(PixelBuffer* bitmap, int x1, int y1, int x2, int y2, int kind) {
    DrawGradientWith(CurrentGradientInk(), bitmap, x1, y1, x2, y2, kind);
}
