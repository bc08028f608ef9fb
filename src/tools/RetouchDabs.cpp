#include "tools/RetouchDabs.h"

#include <algorithm>
#include <cstdlib>

#include "image/PaintSettings.h"
#include "tools/BrushEngine.h"
#include "filters/Median.h"
#include "image/ToolIds.h"

RetouchStateRecord RetouchState;

void ResetRetouchState() { RetouchState = RetouchStateRecord{}; }

namespace {

bool IsUsable(const PixelBuffer* b) { return b && b->Bits() && b->BitsPerPixel() == 24; }

int ClampByte(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

std::uint8_t ByteOf(float v) {
    // Truncation to an unsigned byte, kept inside the byte's range.
    if (v <= 0.0f) return 0;
    if (v >= 255.0f) return 255;
    return static_cast<std::uint8_t>(v);
}

// Calls visit(px, py, dx, dy) for every footprint pixel inside the image, top row first and
// left to right.
template <typename Visit>
void ForEachFootprintPixel(int shape, int r, int cx, int cy, int width, int height, Visit visit) {
    const int firstRow = shape == 5 ? 0 : -r;
    const int lastRow = shape == 5 ? 0 : r;
    for (int dy = firstRow; dy <= lastRow; ++dy) {
        const long long py = static_cast<long long>(cy) + dy;
        if (py < 0 || py >= height) continue;
        const FootprintRow row = FootprintRowOf(shape, r, r * r, dy, cx);
        const long long from = std::max<long long>(static_cast<long long>(row.xc) - row.w, 0);
        const long long to = std::min<long long>(static_cast<long long>(row.xc) + row.w, width - 1);
        for (long long px = from; px <= to; ++px) {
            visit(static_cast<int>(px), static_cast<int>(py), static_cast<int>(px - cx), dy);
        }
    }
}

// Shapes beyond the known eight are drawn round, as the brush engine does.
int ShapeOf(int shape) { return shape >= 0 && shape <= 7 ? shape : 0; }

// A dab whose footprint cannot reach the image does nothing; this also keeps the coordinate
// arithmetic far from overflow.
bool FarOutside(int x, int y, int r, const PixelBuffer& b) {
    const int margin = r + 2;
    return x < -margin || y < -margin || x >= b.Width() + margin || y >= b.Height() + margin;
}

}  // namespace

int KernelBrushDab(int shape, PixelBuffer* source, PixelBuffer* destination, int x, int y, const int weights[9],
                   int divisor) {
    if (!IsUsable(source) || !IsUsable(destination)) return 0;
    const int size = LimitBrushSize(PaintSettings.Size);
    const int r = std::max(size / 2, 1);
    if (FarOutside(x, y, r, *destination)) return 1;
    const int width = source->Width();
    const int height = source->Height();
    const float step = 1.0f / static_cast<float>(size * size);
    ForEachFootprintPixel(ShapeOf(shape), r, x, y, width, height, [&](int px, int py, int, int) {
        int sum[3] = {0, 0, 0};
        int k = 0;
        for (int ny = -1; ny <= 1; ++ny) {
            const std::uint8_t* row = source->Row(std::clamp(py + ny, 0, height - 1));
            for (int nx = -1; nx <= 1; ++nx, ++k) {
                const std::uint8_t* n = row + 3 * std::clamp(px + nx, 0, width - 1);
                for (int c = 0; c < 3; ++c) sum[c] += weights[k] * n[c];
            }
        }
        std::uint8_t* d = destination->Row(py) + 3 * px;
        for (int c = 0; c < 3; ++c) {
            const int filtered = sum[c] / divisor;
            const float moved = static_cast<float>(d[c]) + static_cast<float>(filtered - d[c]) * step;
            d[c] = static_cast<std::uint8_t>(ClampByte(static_cast<int>(moved)));
        }
    });
    return 1;
}

int SmudgeDab(int shape, PixelBuffer* bitmap, int x, int y) {
    if (shape == kSmudgeAnchorShape) {
        RetouchState.SmudgeAnchor[0] = x;
        RetouchState.SmudgeAnchor[1] = y;
        return 1;
    }
    if (!IsUsable(bitmap)) return 0;
    const int r = LimitBrushSize(PaintSettings.Size) / 2;
    const long long offsetX = static_cast<long long>(RetouchState.SmudgeAnchor[0]) - x;
    const long long offsetY = static_cast<long long>(RetouchState.SmudgeAnchor[1]) - y;
    const int width = bitmap->Width();
    const int height = bitmap->Height();
    if (!FarOutside(x, y, r, *bitmap)) {
        ForEachFootprintPixel(ShapeOf(shape), r, x, y, width, height, [&](int px, int py, int, int) {
            const long long sx = px + offsetX;
            const long long sy = py + offsetY;
            if (sx < 0 || sy < 0 || sx >= width || sy >= height) return;
            const std::uint8_t* s = bitmap->Row(static_cast<int>(sy)) + 3 * sx;
            std::uint8_t* d = bitmap->Row(py) + 3 * px;
            for (int c = 0; c < 3; ++c) d[c] = static_cast<std::uint8_t>(ClampByte(d[c] + (s[c] - d[c]) / 4));
        });
    }
    RetouchState.SmudgeAnchor[0] = x;
    RetouchState.SmudgeAnchor[1] = y;
    return 1;
}

namespace {

// Soft round falls off linearly to the edge of the bounding square. With radius 0 the
// footprint is one pixel, which gets the full strength rather than 0 / 0.
float StrengthAt(int shape, int r, int dx, int dy) {
    if (shape != 2 || r == 0) return 1.0f;
    return static_cast<float>((r - std::abs(dx)) * (r - std::abs(dy))) / static_cast<float>(r * r);
}

void RetouchPixel(int tool, std::uint8_t* p, float s, int size) {
    switch (tool) {
        case kToolRedEyeReduction: {
            const int low = std::min(p[0], p[1]);
            p[2] = ByteOf(static_cast<float>(p[2]) - static_cast<float>(p[2] - low) * (0.25f * s));
            return;
        }
        case kToolLighter:
            for (int c = 0; c < 3; ++c) p[c] = ByteOf(std::min(static_cast<float>(p[c]) + 8.0f * s, 255.0f));
            return;
        case kToolDarker:
            for (int c = 0; c < 3; ++c) p[c] = ByteOf(std::max(static_cast<float>(p[c]) - 8.0f * s, 0.0f));
            return;
        case kToolTint: {
            const float step = s / static_cast<float>(size);
            for (int c = 0; c < 3; ++c) {
                const float t = static_cast<float>(RetouchState.TintColour[c]);
                p[c] = ByteOf(static_cast<float>(p[c]) + step * (t - static_cast<float>(p[c])));
            }
            return;
        }
        default:
            return;
    }
}

}  // namespace

int RetouchDab(int shape, PixelBuffer* snapshot, PixelBuffer* target, int x, int y) {
    if (!IsUsable(snapshot)) return 0;
    const std::uint32_t f = PaintSettings.FColor;
    RetouchState.TintColour[0] = static_cast<std::int32_t>((f >> 16) & 0xFF);
    RetouchState.TintColour[1] = static_cast<std::int32_t>((f >> 8) & 0xFF);
    RetouchState.TintColour[2] = static_cast<std::int32_t>(f & 0xFF);
    if (!IsUsable(target)) return 1;
    const int size = LimitBrushSize(PaintSettings.Size);
    const int r = size / 2;
    if (FarOutside(x, y, r, *target)) return 1;
    const int tool = PaintSettings.Tool;
    const int width = target->Width();
    const int height = target->Height();
    const bool sameSize = snapshot->Width() == width && snapshot->Height() == height &&
                          snapshot->Stride() == target->Stride();
    const int brush = ShapeOf(shape);
    ForEachFootprintPixel(brush, r, x, y, width, height, [&](int px, int py, int dx, int dy) {
        if (tool == kToolHealingBrush) {
            if (!sameSize || px < 1 || py < 1 || px > width - 2 || py > height - 2) return;
            Median3x3At(snapshot->Bits(), target->Bits(), width, height, target->Stride(), px, py);
            return;
        }
        RetouchPixel(tool, target->Row(py) + 3 * px, StrengthAt(brush, r, dx, dy), size);
    });
    return 1;
}
