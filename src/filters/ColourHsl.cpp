#include <cstdint>

#include "filters/ColourAdjust.h"
#include "filters/FilterEngine.h"
#include "filters/FilterRows.h"
#include "filters/HslFast.h"
#include "filters/PumpedRows.h"

namespace {

enum class Largest { Red, Green, Blue };

struct Extremes {
    int max;
    int min;
    Largest which;
};

// Ties go to green over red, and to red or green over blue.
inline Extremes FindExtremes(int r, int g, int b) {
    Extremes e = r <= g ? Extremes{g, r, Largest::Green} : Extremes{r, g, Largest::Red};
    if (b > e.max) {
        e.max = b;
        e.which = Largest::Blue;
    } else if (b < e.min) {
        e.min = b;
    }
    return e;
}

// Saturation and luminance, and the extremes the hue needs.
inline HslColour SatLum(int r, const Extremes& e) {
    HslColour out;
    out.l = ((e.min + e.max) * 100) >> 9;
    if (e.max == e.min) {
        out.h = 60;
        out.s = 0;
        out.l = r * 100 / 255;
        return out;
    }
    const int d = e.max - e.min;
    out.s = out.l <= 50 ? d * 100 / (e.min + e.max) : d * 100 / (512 - (e.min + e.max));
    return out;
}

inline float ClampPercent(float v) { return v < 0.0f ? 0.0f : (v > 100.0f ? 100.0f : v); }

inline void StorePixel(std::uint8_t* out, const RgbColour& c) {
    out[0] = static_cast<std::uint8_t>(ClampChannel(c.b));
    out[1] = static_cast<std::uint8_t>(ClampChannel(c.g));
    out[2] = static_cast<std::uint8_t>(ClampChannel(c.r));
}

}  // namespace

HslTables::HslTables() {
    hueStep[0] = 0;
    for (int d = 1; d < 256; ++d) hueStep[d] = 6000 / d;
    inverse[0] = 0;
    for (std::uint64_t n = 1; n < 512; ++n) inverse[n] = ((std::uint64_t{1} << 32) + n - 1) / n;
    for (int sat = 0; sat <= 100; ++sat) {
        for (int l = 0; l <= 100; ++l) {
            const int p = l > 50 ? l - (100 - l) * sat / 100 : (100 - sat) * l / 100;
            high[sat][l] = static_cast<std::int16_t>((2 * l - p) * 255 / 100);
            low[sat][l] = static_cast<std::int16_t>(p * 255 / 100);
        }
    }
    for (int h = 0; h <= 360; ++h) {
        std::uint8_t* r = ramp[h];
        switch (h / 60) {
            case 0: r[0] = 60, r[1] = static_cast<std::uint8_t>(h), r[2] = 0; break;
            case 1: r[0] = static_cast<std::uint8_t>(120 - h), r[1] = 60, r[2] = 0; break;
            case 2: r[0] = 0, r[1] = 60, r[2] = static_cast<std::uint8_t>(h - 120); break;
            case 3: r[0] = 0, r[1] = static_cast<std::uint8_t>(240 - h), r[2] = 60; break;
            case 4: r[0] = static_cast<std::uint8_t>(h - 240), r[1] = 0, r[2] = 60; break;
            default: r[0] = 60, r[1] = 0, r[2] = static_cast<std::uint8_t>(360 - h); break;
        }
    }
}

const HslTables& GetHslTables() {
    static const HslTables tables;
    return tables;
}

HslColour RgbToHsl(int r, int g, int b) {
    const Extremes e = FindExtremes(r, g, b);
    HslColour out = SatLum(r, e);
    if (e.max == e.min) return out;
    const int t = 6000 / (e.max - e.min);
    switch (e.which) {
        case Largest::Red: out.h = (g - b) * t / 100 + (b > g ? 360 : 0); break;
        case Largest::Green: out.h = (b - r) * t / 100 + 120; break;
        case Largest::Blue: out.h = (r - g) * t / 100 + 240; break;
    }
    return out;
}

HslColour RgbToSatLum(int r, int g, int b) {
    HslColour out = SatLum(r, FindExtremes(r, g, b));
    out.h = 0;
    return out;
}

RgbColour HslToRgb(int h, int s, int l) {
    if (s == 0) {
        const int v = l * 255 / 100;
        return {v, v, v};
    }
    const int p = l > 50 ? l - (100 - l) * s / 100 : (100 - s) * l / 100;
    const int hi = (2 * l - p) * 255 / 100;
    const int lo = p * 255 / 100;
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

namespace {

// Fills the shift's hi and lo for every saturation and luminance a pixel can have, shifted
// and clamped in single precision as the per-pixel formula does.
void MakeShift(HslShift& shift, const HslTables& tables, float saturation, float luminance) {
    for (int s = 0; s <= 100; ++s) {
        const int shiftedS = static_cast<int>(ClampPercent(static_cast<float>(s) + saturation));
        for (int l = 0; l <= 100; ++l) {
            const int shiftedL = static_cast<int>(ClampPercent(static_cast<float>(l) + luminance));
            const int hi = tables.high[shiftedS][shiftedL];
            const int lo = tables.low[shiftedS][shiftedL];
            shift.highLow[s][l] = static_cast<std::uint16_t>(hi | (lo << 8));
        }
    }
}

// Runs a per-pixel colour change over the rows, pumped and shared between two threads.
template <typename Pixel>
int RunPixelRows(const PixelBuffer* source, PixelBuffer* target, Pixel&& pixel) {
    FilterState.FilterBusy = kFilterRunning;
    const int width = source->Width();
    auto band = [&](int first, int end, auto&& keepGoing) {
        for (int y = first; y < end; ++y) {
            if (!keepGoing()) return false;
            const std::uint8_t* in = source->Row(y);
            std::uint8_t* out = target->Row(y);
            for (int x = 0; x < width; ++x, in += 3, out += 3) pixel(in, out);
        }
        return true;
    };
    if (!RunPumpedRows(source->Height(), width, 1, band, [&band] { return &band; })) return 0;
    FilterState.FilterBusy = kFilterIdle;
    return 1;
}

// The per-pixel formulas, for shifts that take hues beyond the ramp table.
int PlainHueSaturation(const PixelBuffer* source, PixelBuffer* target, float hue, float saturation, float luminance) {
    const HslTables& tables = GetHslTables();
    return RunPixelRows(source, target, [&](const std::uint8_t* in, std::uint8_t* out) {
        const HslColour c = FastRgbToHsl<true>(in[2], in[1], in[0], tables);
        const float l = ClampPercent(static_cast<float>(c.l) + luminance);
        const float s = ClampPercent(static_cast<float>(c.s) + saturation);
        float h = static_cast<float>(c.h) + hue;
        if (h > 360.0f) {
            h -= 360.0f;
        } else if (h < 0.0f) {
            h += 360.0f;
        }
        StorePixel(out, FastHslToRgb(static_cast<int>(h), static_cast<int>(s), static_cast<int>(l), tables));
    });
}

int PlainColorize(const PixelBuffer* source, PixelBuffer* target, int fixedHue, float saturation, float luminance) {
    const HslTables& tables = GetHslTables();
    return RunPixelRows(source, target, [&](const std::uint8_t* in, std::uint8_t* out) {
        const HslColour c = FastRgbToHsl<false>(in[2], in[1], in[0], tables);
        const float l = ClampPercent(static_cast<float>(c.l) + luminance);
        const float s = ClampPercent(static_cast<float>(c.s) + saturation);
        StorePixel(out, FastHslToRgb(fixedHue, static_cast<int>(s), static_cast<int>(l), tables));
    });
}

}  // namespace

int HueSaturation(const PixelBuffer* source, PixelBuffer* target, float hue, float saturation, float luminance) {
    if (!IsFilterPair(source, target)) return 0;
    const HslTables& tables = GetHslTables();
    HslShift shift;
    MakeShift(shift, tables, saturation, luminance);
    bool inRamp = true;
    for (int h = 0; h <= 360; ++h) {
        float shifted = static_cast<float>(h) + hue;
        if (shifted > 360.0f) {
            shifted -= 360.0f;
        } else if (shifted < 0.0f) {
            shifted += 360.0f;
        }
        const int whole = static_cast<int>(shifted);
        inRamp = inRamp && HueInRamp(whole);
        shift.hue[h] = static_cast<std::int16_t>(inRamp ? whole : 0);
    }
    // A shift beyond a whole turn leaves hues the ramps do not cover: the plain formulas.
    if (!inRamp) return PlainHueSaturation(source, target, hue, saturation, luminance);
    return RunPixelRows(source, target, [&](const std::uint8_t* in, std::uint8_t* out) {
        const HslColour c = BranchlessRgbToHsl<true>(in[2], in[1], in[0], tables);
        StorePixel(out, ShiftedHslToRgb(shift.hue[c.h], c.s, c.l, shift, tables));
    });
}

int HueSaturation(float hue, float saturation, float luminance) {
    if (!PrepareFilterContext()) return 0;
    return HueSaturation(FilterContext.sourceBitmap, FilterContext.targetBitmap, hue, saturation, luminance);
}

int Colorize(const PixelBuffer* source, PixelBuffer* target, float hue, float saturation, float luminance) {
    if (!IsFilterPair(source, target)) return 0;
    float h = hue;
    if (h < 0.0f) {
        h += 360.0f;
    } else if (h > 360.0f) {
        h -= 360.0f;
    }
    const int fixedHue = static_cast<int>(h);
    if (!HueInRamp(fixedHue)) return PlainColorize(source, target, fixedHue, saturation, luminance);
    const HslTables& tables = GetHslTables();
    HslShift shift;
    MakeShift(shift, tables, saturation, luminance);
    return RunPixelRows(source, target, [&](const std::uint8_t* in, std::uint8_t* out) {
        const HslColour c = BranchlessRgbToHsl<false>(in[2], in[1], in[0], tables);
        StorePixel(out, ShiftedHslToRgb(fixedHue, c.s, c.l, shift, tables));
    });
}

int Colorize(float hue, float saturation, float luminance) {
    if (!PrepareFilterContext()) return 0;
    return Colorize(FilterContext.sourceBitmap, FilterContext.targetBitmap, hue, saturation, luminance);
}
