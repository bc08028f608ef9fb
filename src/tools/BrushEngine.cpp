#include "tools/BrushEngine.h"

#include <algorithm>
#include <cstdlib>

#include "filters/Noise.h"
#include "image/ImageSlots.h"
#include "image/PaintSettings.h"
#include "image/ToolIds.h"
#include "tools/Canvas.h"
#include "tools/RetouchDabs.h"
#include "tools/ToolTable.h"

const std::int8_t RoundHalfWidth[kRoundHalfWidthEntries] = {
    0, 0, 1, 1, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3, 3, 3, 4, 4, 4, 4,
    4, 4, 4, 4, 4, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 6, 6, 6, 6,
    6, 6, 6, 6, 6, 6, 6, 6, 6, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7,
    7, 7, 7, 7, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8,
    8, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9,
    10,
};


namespace {

constexpr int kSnapDistance = 6;  // channels closer than this to the colour take it outright

int Clamp255(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

// Per cent to 0..255 the program's way: 100 % gives 254.
int AlphaOfPercent(int percent) { return static_cast<int>(percent * 2.55); }

// The airbrush's fixed strength: the step as a per cent, kept to 0..100 so that a step
// from anywhere but 1 / size cannot push pixels past the colour.
int StrengthOfStep(float step) {
    const double s = static_cast<double>(step) * 100.0;
    if (!(s > 0.0)) return 0;
    if (s >= 100.0) return 100;
    return static_cast<int>(s);
}

// Soft paint: moves d the k / 10000 part of the way to c, or snaps it when close.
inline int PullTowards(int d, int c, int k) {
    const int diff = c - d;
    if (diff >= kSnapDistance || diff <= -kSnapDistance) return Clamp255(d + diff * k / 10000);
    return c;
}

bool IsUsable24(const PixelBuffer* b) { return b && b->Bits() && b->BitsPerPixel() == 24; }

// Channels in buffer order (blue, green, red).
struct Channels {
    int v[3];
};
Channels ChannelsOf(raster::Colour c) { return Channels{{raster::BlueOf(c), raster::GreenOf(c), raster::RedOf(c)}}; }

}  // namespace

int LimitBrushSize(std::uint32_t size) {
    if (size < 1) return 1;
    if (size > static_cast<std::uint32_t>(kLargestBrushSize)) return kLargestBrushSize;
    return static_cast<int>(size);
}

void ResetStampMode() {
    CanvasState.StampSoft = 0;
    CanvasState.AirbrushStep = 0.0f;
}

StampMode ApplyStampRule(StampRule rule) {
    switch (rule) {
        case StampRule::None: return StampMode{CanvasState.StampSoft, CanvasState.AirbrushStep};
        case StampRule::Keep: break;
        case StampRule::Hard:
            CanvasState.StampSoft = 0;
            CanvasState.AirbrushStep = 0.0f;
            break;
        case StampRule::Soft:
            CanvasState.StampSoft = 1;
            CanvasState.AirbrushStep = 0.0f;
            break;
        case StampRule::Airbrush:
            CanvasState.StampSoft = PaintSettings.Brush == 7 ? 1 : 0;
            CanvasState.AirbrushStep = 1.0f / static_cast<float>(LimitBrushSize(PaintSettings.Size));
            break;
    }
    if (PaintSettings.Brush == 2) CanvasState.StampSoft = 1;
    return StampMode{CanvasState.StampSoft, CanvasState.AirbrushStep};
}

StampRule StampRuleOf(int tool) {
    const ToolRow* row = RowOfTool(tool);
    return row ? row->stamp : StampRule::None;
}

StampMode StartStampMode(int tool) { return ApplyStampRule(StampRuleOf(tool)); }

FootprintRow FootprintRowOf(int shape, int r, int r2, int dy, int cx) {
    switch (shape) {
        case 1:
        case 5:
            return FootprintRow{cx, r};
        case 3:
            return FootprintRow{cx - dy, 1};
        case 4:
            return FootprintRow{cx + dy, 1};
        case 6:
            return FootprintRow{cx, 0};
        default:
            return FootprintRow{cx, RoundHalfWidth[r2 - dy * dy]};
    }
}

BrushInk InkOf(int tool) {
    BrushInk ink;
    ink.size = LimitBrushSize(PaintSettings.Size);
    ink.eraser = tool == kToolEraser;
    ink.colour = ink.eraser ? PaintSettings.BColor : PaintSettings.FColor;
    ink.opacity = PaintSettings.DOpacity;
    return ink;
}

BrushStroke StartStroke(int tool) {
    BrushStroke stroke;
    stroke.tool = tool;
    stroke.ink = InkOf(tool);
    stroke.stamp = StartStampMode(tool);
    return stroke;
}

int BrushDabWith(const BrushInk& ink, int shape, PixelBuffer* source, PixelBuffer* destination, int x, int y,
                 float step, float soft) {
    if (!IsUsable24(source) || !IsUsable24(destination)) return 0;
    if (shape < 0 || shape > 6) shape = 0;  // only the spray has shape 7, and it has its own dab

    const bool softMode = soft != 0.0f;
    const bool hardMode = !softMode && step == 0.0f;
    const int size = LimitBrushSize(static_cast<std::uint32_t>(std::max(ink.size, 0)));
    int r = size / 2;
    int r2 = r * r;
    if (shape == 0 && r == 1) r2 = 2;  // a cross rather than a bar of three
    if (softMode && r == 0) {
        r = 1;
        r2 = 1;
    }

    const int width = std::min(source->Width(), destination->Width());
    const int height = std::min(source->Height(), destination->Height());
    const int margin = r + 2;  // shapes 3 and 4 reach r + 1 columns out
    if (x < -margin || y < -margin || x >= width + margin || y >= height + margin) return 1;

    int alpha = AlphaOfPercent(ink.opacity);
    int inverse = 255 - alpha;
    if (ink.eraser) {
        alpha = 255;
        inverse = 0;
    }
    const Channels c = ChannelsOf(ink.colour);
    const int paint[3] = {c.v[0] * alpha / 256, c.v[1] * alpha / 256, c.v[2] * alpha / 256};
    const int fixedPull = ink.opacity * (step != 0.0f ? StrengthOfStep(step) : 0);
    const int divider = ink.opacity >= 10 ? 10 / (ink.opacity / 10) + 1 : 1;

    const int firstRow = shape == 5 ? 0 : -r;
    const int lastRow = shape == 5 ? 0 : r;
    int rowPull[kLargestBrushRadius + 2];  // opacity x strength by column distance, 0..r + 1
    for (int dy = firstRow; dy <= lastRow; ++dy) {
        const int yy = y + dy;
        if (yy < 0 || yy >= height) continue;
        const FootprintRow row = FootprintRowOf(shape, r, r2, dy, x);
        const int x0 = std::max(row.xc - row.w, 0);
        const int x1 = std::min(row.xc + row.w, width - 1);
        if (x0 > x1) continue;
        const std::uint8_t* s = source->Row(yy) + 3 * x0;
        std::uint8_t* d = destination->Row(yy) + 3 * x0;

        if (hardMode) {
            for (int xx = x0; xx <= x1; ++xx, s += 3, d += 3) {
                d[0] = static_cast<std::uint8_t>(Clamp255(s[0] * inverse / 256 + paint[0]));
                d[1] = static_cast<std::uint8_t>(Clamp255(s[1] * inverse / 256 + paint[1]));
                d[2] = static_cast<std::uint8_t>(Clamp255(s[2] * inverse / 256 + paint[2]));
            }
            continue;
        }

        if (softMode) {
            const int ady = dy < 0 ? -dy : dy;
            for (int adx = 0; adx <= r + 1; ++adx) {
                int f = (shape == 0 || shape == 2) ? (r - adx) * (r - ady) * 100 / r2
                                                   : std::min(r - adx, r - ady) * 100 / r;
                // Beyond the radius (the ends of the diagonal rows) the fall-off has reached
                // nothing; a negative strength would push the pixels away from the colour.
                if (f < 0) f = 0;
                rowPull[adx] = ink.opacity * (shape == 2 ? f / 4 : f / divider);
            }
        }
        for (int xx = x0; xx <= x1; ++xx, d += 3) {
            const int k = softMode ? rowPull[std::abs(x - xx)] : fixedPull;
            d[0] = static_cast<std::uint8_t>(PullTowards(d[0], c.v[0], k));
            d[1] = static_cast<std::uint8_t>(PullTowards(d[1], c.v[1], k));
            d[2] = static_cast<std::uint8_t>(PullTowards(d[2], c.v[2], k));
        }
    }
    return 1;
}

int SprayDabWith(const BrushInk& ink, PixelBuffer* bitmap, int x, int y, int soft) {
    if (!IsUsable24(bitmap)) return 0;
    const int size = LimitBrushSize(static_cast<std::uint32_t>(std::max(ink.size, 0)));
    const int r = size / 2;
    const int dots = static_cast<int>(size * 1.57);
    if (dots < 1) return 1;
    const int alpha = AlphaOfPercent(ink.opacity);
    const int inverse = 255 - alpha;
    const Channels c = ChannelsOf(ink.colour);
    const int paint[3] = {c.v[0] * alpha / 256, c.v[1] * alpha / 256, c.v[2] * alpha / 256};

    for (int i = 0; i < dots; ++i) {
        const int a = NextNoise();
        const int dy = r - a * size / 32767;
        const int index = r * r - dy * dy;
        const int w = index < 0 ? 0 : RoundHalfWidth[index];
        const int b = NextNoise();
        const int dx = w - b * w * 2 / 32767;
        // Off-image dots still draw their numbers, so the shared sequence does not depend
        // on where the stylus is.
        const long long px = static_cast<long long>(x) + dx;
        const long long py = static_cast<long long>(y) + dy;
        if (px < 0 || py < 0 || px >= bitmap->Width() || py >= bitmap->Height()) continue;
        std::uint8_t* p = bitmap->Row(static_cast<int>(py)) + 3 * px;
        for (int ch = 0; ch < 3; ++ch) {
            int v;
            if (soft) {
                const int diff = c.v[ch] - p[ch];
                v = (diff >= kSnapDistance || diff <= -kSnapDistance)
                        ? p[ch] + (2 * (ink.opacity * diff / 100)) / size
                        : c.v[ch];
            } else {
                v = p[ch] * inverse / 256 + paint[ch];
            }
            p[ch] = static_cast<std::uint8_t>(Clamp255(v));
        }
    }
    return 1;
}

void Dab(const BrushStroke& stroke, int x, int y) {
    ImageBox& box = CurrentBox();
    const std::uint32_t shape = PaintSettings.Brush;
    const int tool = stroke.tool;
    const int retouchShape = static_cast<int>(std::min<std::uint32_t>(shape, 255));
    switch (tool) {
        case kToolBlur:
            KernelBrushDab(retouchShape, box.workBitmap, box.workBitmap, x, y, kBlurWeights, kBlurDivisor);
            return;
        case kToolSharpen:
            KernelBrushDab(retouchShape, box.workBitmap, box.workBitmap, x, y, kSharpenWeights, kSharpenDivisor);
            return;
        case kToolSmudge:
            SmudgeDab(retouchShape, box.workBitmap, x, y);
            return;
        default:
            break;
    }
    if (IsRetouchTool(tool)) {
        RetouchDab(retouchShape, box.undoBitmap, box.workBitmap, x, y);
        return;
    }
    const StampMode& stamp = stroke.stamp;
    if (shape >= 7) {
        SprayDabWith(stroke.ink, box.workBitmap, x, y, stamp.soft);
        return;
    }
    const int brush = static_cast<int>(shape);
    if (tool == kToolBrush || tool == kToolAirbrush || brush == 2) {
        BrushDabWith(stroke.ink, brush, box.workBitmap, box.workBitmap, x, y, stamp.step, stamp.soft ? 1.0f : 0.0f);
        return;
    }
    BrushDabWith(stroke.ink, brush, box.undoBitmap, box.workBitmap, x, y, stamp.step, static_cast<float>(stamp.soft));
}

void StrokeSegment(const BrushStroke& stroke, int x1, int y1, int x2, int y2) {
    Dab(stroke, x1, y1);
    // Bresenham's stepping, one dab per step, the end point included. 64-bit error terms
    // so that far-apart points cannot overflow.
    const long long adx = std::llabs(static_cast<long long>(x2) - x1);
    const long long ady = std::llabs(static_cast<long long>(y2) - y1);
    const int sx = x2 >= x1 ? 1 : -1;
    const int sy = y2 >= y1 ? 1 : -1;
    int x = x1;
    int y = y1;
    if (2 * adx <= 2 * ady) {
        if (y1 == y2) return;
        long long e = 2 * adx - ady;
        do {
            y += sy;
            if (e >= 0) {
                x += sx;
                e -= 2 * ady;
            }
            e += 2 * adx;
            Dab(stroke, x, y);
        } while (y != y2);
        return;
    }
    long long e = 2 * ady - adx;
    do {
        x += sx;
        if (e >= 0) {
            y += sy;
            e -= 2 * adx;
        }
        e += 2 * ady;
        Dab(stroke, x, y);
    } while (x != x2);
}
