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
    // HslToRgb's channels (red, green, blue) for hue h as lo + (hi - lo) x ramp / 60: a
    // channel at hi has 60, one at lo 0, the rising or falling one its distance into the sector.
    std::uint8_t ramp[361][3];
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

// The shifts of one run of an adjustment, made for every integer hue, saturation and
// luminance a pixel can have, so that a pixel costs table look-ups: the hue after the shift,
// and HslToRgb's hi and lo of the saturation and luminance after theirs (hi in the low byte).
struct HslShift {
    std::int16_t hue[361];
    std::uint16_t highLow[101][101];
};

// Whether a shifted hue stays within the ramp table (always, for shifts of -360 ... 360).
inline bool HueInRamp(int h) { return h >= 0 && h <= 360; }

// RgbToHsl (or, without WithHue, RgbToSatLum with h left 0) without branches on the pixel's
// channel order, which in a photo changes from pixel to pixel and would defeat prediction.
template <bool WithHue>
inline HslColour BranchlessRgbToHsl(int r, int g, int b, const HslTables& t) {
    // Ties go to green over red, and to red or green over blue.
    const bool greenOverRed = r <= g;
    int max = greenOverRed ? g : r;
    int min = greenOverRed ? r : g;
    int hueDiff = greenOverRed ? b - r : g - b;
    int hueBase = greenOverRed ? 120 : (b > g ? 360 : 0);
    const bool blueLargest = b > max;
    max = blueLargest ? b : max;
    min = b < min ? b : min;
    hueDiff = blueLargest ? r - g : hueDiff;
    hueBase = blueLargest ? 240 : hueBase;
    HslColour out;
    if (max == min) {
        out.h = WithHue ? 60 : 0;
        out.l = r * 100 / 255;
        return out;
    }
    const int sum = min + max;
    const int d = max - min;
    out.l = (sum * 100) >> 9;
    out.s = DivideByTable(d * 100, out.l <= 50 ? sum : 512 - sum, t);
    if constexpr (WithHue) out.h = hueDiff * t.hueStep[d] / 100 + hueBase;
    return out;
}

// FastHslToRgb of a shifted pixel: hi and lo from the shift's table, the ramps by hue.
inline RgbColour ShiftedHslToRgb(int h, int s, int l, const HslShift& shift, const HslTables& t) {
    const int highLow = shift.highLow[s][l];
    const int hi = highLow & 0xFF;
    const int lo = highLow >> 8;
    const unsigned span = static_cast<unsigned>(hi - lo);
    const std::uint8_t* ramp = t.ramp[h];
    return {lo + static_cast<int>(span * ramp[0] / 60), lo + static_cast<int>(span * ramp[1] / 60),
            lo + static_cast<int>(span * ramp[2] / 60)};
}
