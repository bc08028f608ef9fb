#include "filters/ColourAdjust.h"

#include <cmath>

#include "filters/FilterEngine.h"
#include "filters/FilterRows.h"

namespace {

// Maps every byte of the pixels (not the row padding) of source into target through one
// table per channel (blue, green, red).
void MapThroughTables(const PixelBuffer& source, PixelBuffer& target, const std::uint8_t* blue,
                      const std::uint8_t* green, const std::uint8_t* red) {
    const int width = source.Width();
    for (int y = 0; y < source.Height(); ++y) {
        const std::uint8_t* in = source.Row(y);
        std::uint8_t* out = target.Row(y);
        for (int x = 0; x < width; ++x, in += 3, out += 3) {
            out[0] = blue[in[0]];
            out[1] = green[in[1]];
            out[2] = red[in[2]];
        }
    }
}

// One table for every channel, in place.
void MapInPlace(PixelBuffer& bitmap, const std::uint8_t* table) {
    const int count = 3 * bitmap.Width();
    for (int y = 0; y < bitmap.Height(); ++y) {
        std::uint8_t* p = bitmap.Row(y);
        for (int i = 0; i < count; ++i) p[i] = table[p[i]];
    }
}

struct IdentityTable {
    std::uint8_t value[256];
    IdentityTable() {
        for (int i = 0; i < 256; ++i) value[i] = static_cast<std::uint8_t>(i);
    }
};
const IdentityTable kIdentity;

}  // namespace

void BuildLevelsTable(int brightness, int contrast, float gamma, std::uint8_t table[256]) {
    if (gamma == 0.0f) {
        const float s = static_cast<float>(contrast + 100) * 0.01f;
        const int o = 128 - static_cast<int>(brightness * -1.28);
        for (int i = 0; i < 256; ++i) {
            const float v = static_cast<float>(i - 128) * s + static_cast<float>(o);
            table[i] = static_cast<std::uint8_t>(ClampChannel(static_cast<int>(v)));
        }
        return;
    }
    const float e = 1.0f / (gamma * 0.01f);
    const double m = std::pow(255.0, static_cast<double>(e)) * 0.00392156862745098;
    const double f = 1.0 / m;
    for (int i = 0; i < 256; ++i) {
        const double v = f * std::pow(static_cast<double>(i), static_cast<double>(e));
        // Clamped before the conversion, so an absurd gamma (infinite or undefined values) gives 0 or 255.
        table[i] = static_cast<std::uint8_t>(v >= 255.0 ? 255 : (v > 0.0 ? static_cast<int>(v) : 0));
    }
}

int ApplyLevels(const PixelBuffer* source, PixelBuffer* target, int brightness, int contrast, float gamma, bool red,
                bool green, bool blue) {
    if (!IsFilterPair(source, target)) return 0;
    std::uint8_t table[256];
    BuildLevelsTable(brightness, contrast, gamma, table);
    MapThroughTables(*source, *target, blue ? table : kIdentity.value, green ? table : kIdentity.value,
                     red ? table : kIdentity.value);
    return 1;
}

int ApplyLevels(int brightness, int contrast, float gamma, bool red, bool green, bool blue) {
    if (!PrepareFilterContext()) return 0;
    return ApplyLevels(FilterContext.sourceBitmap, FilterContext.targetBitmap, brightness, contrast, gamma, red, green,
                       blue);
}

int AdjustRgb(PixelBuffer* target, int red, int green, int blue) {
    if (!IsColourBuffer(target)) return 0;
    std::uint8_t tables[3][256];
    const int amounts[3] = {blue, green, red};
    for (int c = 0; c < 3; ++c) {
        for (int i = 0; i < 256; ++i) tables[c][i] = static_cast<std::uint8_t>(ClampChannel(i + amounts[c]));
    }
    MapThroughTables(*target, *target, tables[0], tables[1], tables[2]);
    return 1;
}

int AdjustRgb(int red, int green, int blue) {
    if (!PrepareFilterContext()) return 0;
    return AdjustRgb(FilterContext.targetBitmap, red, green, blue);
}

int Threshold(const PixelBuffer* source, PixelBuffer* target, int mode, int threshold) {
    if (!IsFilterPair(source, target) || mode < kThresholdMonochrome || mode > kThresholdBlue) return 0;
    const int width = source->Width();
    if (mode == kThresholdMonochrome) {
        for (int y = 0; y < source->Height(); ++y) {
            const std::uint8_t* in = source->Row(y);
            std::uint8_t* out = target->Row(y);
            for (int x = 0; x < width; ++x, in += 3, out += 3) {
                const std::uint8_t v = (in[0] + in[1] + in[2]) / 3 < threshold ? 0 : 255;
                out[0] = out[1] = out[2] = v;
            }
        }
        return 1;
    }
    std::uint8_t step[256];
    for (int i = 0; i < 256; ++i) step[i] = i < threshold ? 0 : 255;
    if (mode == kThresholdColour) {
        MapThroughTables(*source, *target, step, step, step);
        return 1;
    }
    const int c = 2 - (mode - kThresholdRed);  // byte of red, green or blue
    for (int y = 0; y < source->Height(); ++y) {
        const std::uint8_t* in = source->Row(y) + c;
        std::uint8_t* out = target->Row(y) + c;
        for (int x = 0; x < width; ++x) out[3 * x] = step[in[3 * x]];
    }
    return 1;
}

int Threshold(int mode, int threshold) {
    if (!PrepareFilterContext()) return 0;
    return Threshold(FilterContext.sourceBitmap, FilterContext.targetBitmap, mode, threshold);
}

int SeparateChannel(PixelBuffer* target, int channel) {
    if (!IsColourBuffer(target) || channel < 0 || channel > 2) return 0;
    const int c = 2 - channel;
    const int width = target->Width();
    for (int y = 0; y < target->Height(); ++y) {
        std::uint8_t* p = target->Row(y);
        for (int x = 0; x < width; ++x, p += 3) p[0] = p[1] = p[2] = p[c];
    }
    return 1;
}

int SeparateChannel(int channel) {
    if (!PrepareFilterContext()) return 0;
    return SeparateChannel(FilterContext.targetBitmap, channel);
}

int Invert(PixelBuffer* bitmap) {
    if (!IsColourBuffer(bitmap)) return 0;
    const int count = 3 * bitmap->Width();
    for (int y = 0; y < bitmap->Height(); ++y) {
        std::uint8_t* p = bitmap->Row(y);
        for (int i = 0; i < count; ++i) p[i] = static_cast<std::uint8_t>(255 - p[i]);
    }
    return 1;
}

int Grayscale(PixelBuffer* bitmap) {
    if (!IsColourBuffer(bitmap)) return 0;
    const int width = bitmap->Width();
    for (int y = 0; y < bitmap->Height(); ++y) {
        std::uint8_t* p = bitmap->Row(y);
        for (int x = 0; x < width; ++x, p += 3) {
            const std::uint8_t grey = static_cast<std::uint8_t>((306 * p[2] + 601 * p[1] + 117 * p[0]) >> 10);
            p[0] = p[1] = p[2] = grey;
        }
    }
    return 1;
}

int Solarize(PixelBuffer* bitmap) {
    if (!IsColourBuffer(bitmap)) return 0;
    std::uint8_t table[256];
    for (int c = 0; c < 256; ++c) {
        table[c] = static_cast<std::uint8_t>(c <= 126 ? 2 * c : (c == 127 ? 0 : 510 - 2 * c));
    }
    MapInPlace(*bitmap, table);
    return 1;
}
