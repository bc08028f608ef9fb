// Rotation by any angle: nearest-neighbour inverse mapping into a buffer big enough for the
// turned corners. The arithmetic mixes single and double precision on purpose; the result
// has to be the same pixel for pixel wherever it runs.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include "filters/FilterEngine.h"
#include "filters/Geometry.h"
#include "platform/raster/ParallelRows.h"
#include "filters/TargetBuffers.h"
#include "image/PaintSettings.h"

namespace {

// Rounds towards minus infinity; the values here are far inside the int range.
inline int FloorToInt(double value) {
    const int t = static_cast<int>(value);
    return t - (value < static_cast<double>(t) ? 1 : 0);
}

}  // namespace

RotationFrame ComputeRotationFrame(float angle, int sourceWidth, int sourceHeight) {
    RotationFrame f;
    const float difference = angle - 180.0f;
    const float theta = static_cast<float>(static_cast<double>(difference) * 6.283185307179586 * 0.002777777777777778);
    f.c = static_cast<float>(std::cos(static_cast<double>(theta)));
    f.s = static_cast<float>(std::sin(static_cast<double>(theta)));
    f.sourceWidth = sourceWidth;
    f.sourceHeight = sourceHeight;
    f.hw = sourceWidth / 2;
    f.hh = sourceHeight / 2;

    const float c = f.c;
    const float s = f.s;
    const float hw = static_cast<float>(f.hw);
    const float hh = static_cast<float>(f.hh);
    const float left = static_cast<float>(f.hw - sourceWidth);
    const float bottom = static_cast<float>(f.hh - sourceHeight);
    // Each coordinate is a single-precision sum of single-precision products.
    auto corner = [&](float px, float py, int& x, int& y) {
        const float xc = px * c;
        const float ys = py * s;
        const float yc = py * c;
        const float xs = px * s;
        const float sumX = xc + ys;
        const float sumY = yc - xs;
        x = static_cast<int>(sumX) + f.hw;
        y = static_cast<int>(sumY) + f.hh;
    };
    int xs[4];
    int ys[4];
    corner(hw, hh, xs[0], ys[0]);
    corner(left, hh, xs[1], ys[1]);
    corner(left, bottom, xs[2], ys[2]);
    corner(hw, bottom, xs[3], ys[3]);
    int minX = xs[0], maxX = xs[0], minY = ys[0], maxY = ys[0];
    for (int k = 1; k < 4; ++k) {
        minX = std::min(minX, xs[k]);
        maxX = std::max(maxX, xs[k]);
        minY = std::min(minY, ys[k]);
        maxY = std::max(maxY, ys[k]);
    }
    f.minX = minX;
    f.minY = minY;
    // A picture of one pixel turned by 45 degrees has corners that truncate to a box of no
    // height; a buffer needs at least one row and column.
    f.width = std::max(1, maxX - minX);
    f.height = std::max(1, maxY - minY);
    return f;
}

bool RotatePixelsArbitrary(const PixelBuffer& source, PixelBuffer& target, const RotationFrame& frame,
                           raster::Colour background, const PixelBuffer* sourceMask, PixelBuffer* targetMask) {
    const int w = source.Width();
    const int h = source.Height();
    const int width = std::min(target.Width(), frame.width);
    const int height = std::min(target.Height(), frame.height);
    const bool masks = sourceMask && targetMask && sourceMask->Width() == w && sourceMask->Height() == h &&
                       targetMask->Width() >= width && targetMask->Height() >= height;
    const std::uint8_t fill[3] = {static_cast<std::uint8_t>(raster::BlueOf(background)),
                                  static_cast<std::uint8_t>(raster::GreenOf(background)),
                                  static_cast<std::uint8_t>(raster::RedOf(background))};

    // u depends on the column only: its two products are the same on every row.
    std::unique_ptr<double[]> uc(new (std::nothrow) double[static_cast<std::size_t>(width)]);
    std::unique_ptr<double[]> us(new (std::nothrow) double[static_cast<std::size_t>(width)]);
    if (!uc || !us) return false;
    for (int i = 0; i < width; ++i) {
        const float u = static_cast<float>(frame.hw - i - frame.minX);
        uc[i] = static_cast<double>(u * frame.c);
        us[i] = static_cast<double>(u * frame.s);
    }
    const std::uint8_t* srcTop = source.Row(0);
    const std::ptrdiff_t srcStride = source.Stride();
    const std::uint8_t* maskTop = masks ? sourceMask->Row(0) : nullptr;
    const std::ptrdiff_t maskStride = masks ? sourceMask->Stride() : 0;

    // The target is walked in tiles: a tile's source pixels lie in a small turned square,
    // whose rows stay in the caches and address tables however large the picture is; row by
    // row, every pixel of a steep turn would fall on another source row.
    constexpr int kTileRows = 32;
    constexpr int kTileColumns = 64;
    RunRowsInParallel(height, width, [&](int firstRow, int endRow) {
        for (int j0 = firstRow; j0 < endRow; j0 += kTileRows) {
            const int j1 = std::min(endRow, j0 + kTileRows);
            for (int i0 = 0; i0 < width; i0 += kTileColumns) {
                const int i1 = std::min(width, i0 + kTileColumns);
                for (int j = j0; j < j1; ++j) {
                    const float v = static_cast<float>(frame.hh - j - frame.minY);
                    const double vs = static_cast<double>(v * frame.s);
                    const double vcHalf = static_cast<double>(v * frame.c) + 0.5;
                    std::uint8_t* out = target.Row(j) + 3 * i0;
                    std::uint8_t* outMask = masks ? targetMask->Row(j) : nullptr;
                    for (int i = i0; i < i1; ++i, out += 3) {
                        const int sx = frame.hw + FloorToInt(uc[i] + vs + 0.5);
                        const int sy = frame.hh + FloorToInt(vcHalf - us[i]);
                        if (static_cast<unsigned>(sx) < static_cast<unsigned>(w) &&
                            static_cast<unsigned>(sy) < static_cast<unsigned>(h)) {
                            std::memcpy(out, srcTop - sy * srcStride + sx * 3, 3);
                            if (outMask) outMask[i] = maskTop[-sy * maskStride + sx];
                        } else {
                            std::memcpy(out, fill, 3);
                            if (outMask) outMask[i] = 0;
                        }
                    }
                }
            }
        }
    });
    return true;
}

int RotateArbitrary(float angle) {
    const PixelBuffer* source = FilterSource();
    if (!source || !FilterTarget()) return 0;
    const PixelBuffer* sourceMask = SourceMask();
    const RotationFrame frame = ComputeRotationFrame(angle, source->Width(), source->Height());
    ReplacementTarget replacement;
    if (!MakeReplacementForTarget(frame.width, frame.height, replacement, NewPixels::Written)) return 0;
    if (!RotatePixelsArbitrary(*source, *replacement.bitmap, frame, PaintSettings.BColor, sourceMask,
                               replacement.mask)) {
        ReportNoMemoryForTarget();
        return 0;
    }
    InstallReplacementTarget(replacement);
    return 1;
}
