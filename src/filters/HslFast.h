// The HSL conversions of the colour adjustments in the form their per-pixel loops use: the
// same numbers as RgbToHsl, RgbToSatLum and HslToRgb, with the divisions by values that
// change from pixel to pixel replaced by table look-ups.
#pragma once

#include <cstdint>

#include "filters/ColourAdjust.h"

struct HslTables {
    int hueStep[256];            // 6000 / d
    std::uint64_t inverse[512];  // ceil(2^32 / n): x / n = (x * inverse[n]) >> 32 for x < 2^15
    std::int16_t high[101][101];  // HslToRgb's hi and lo by saturation and luminance
    std::int16_t low[101][101];
    HslTables();
};

const HslTables& GetHslTables();

// Exact for 0 <= x < 2^15 and 1 <= n < 2^9: the multiplier exceeds 2^32 / n by less than 1,
// so the error stays below x / 2^32, too small to reach the next multiple of 1 / n.
inline int DivideByTable(int x, int n, const HslTables& t) {
    return static_cast<int>((static_cast<std::uint64_t>(x) * t.inverse[n]) >> 32);
}

// RgbToHsl, or RgbToSatLum when WithHue is false (the hue is then left 0).
template <bool WithHue>
inline HslColour FastRgbToHsl(int r, int g, int b, const HslTables& t) {
    int max, min, which;  // which: 0 red, 1 green, 2 blue
    if (r <= g) {
        max = g;
        min = r;
        which = 1;
    } else {
        max = r;
        min = g;
        which = 0;
    }
    if (b > max) {
        max = b;
        which = 2;
    } else if (b < min) {
        min = b;
    }
    HslColour out;
    const int sum = min + max;
    if (max == min) {
        out.h = WithHue ? 60 : 0;
        out.l = r * 100 / 255;
        return out;
    }
    out.l = (sum * 100) >> 9;
    const int d = max - min;
    out.s = DivideByTable(d * 100, out.l <= 50 ? sum : 512 - sum, t);
    if constexpr (WithHue) {
        const int step = t.hueStep[d];
        if (which == 0) {
            out.h = (g - b) * step / 100 + (b > g ? 360 : 0);
        } else if (which == 1) {
            out.h = (b - r) * step / 100 + 120;
        } else {
            out.h = (r - g) * step / 100 + 240;
        }
    }
    return out;
}

// HslToRgb for 0 <= s, l <= 100 (saturation 0 gives hi = lo, so every sector yields grey).
inline RgbColour FastHslToRgb(int h, int s, int l, const HslTables& t) {
    const int hi = t.high[s][l];
    const int lo = t.low[s][l];
    const int span = hi - lo;
    switch (h / 60) {
        case 0: return {hi, lo + span * h / 60, lo};
        case 1: return {lo - span * (h - 120) / 60, hi, lo};
        case 2: return {lo, hi, lo + span * (h - 120) / 60};
        case 3: return {lo, lo - span * (h - 240) / 60, hi};
        case 4: return {lo + span * (h - 240) / 60, lo, hi};
        default: return {hi, lo, lo - span * (h - 360) / 60};
    }
}
