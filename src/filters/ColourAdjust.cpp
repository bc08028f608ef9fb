#include "filters/ColourAdjust.h"

#include <cmath>

#include "filters/FilterEngine.h"
#include "filters/FilterRows.h"
#include "platform/raster/ParallelRows.h"

namespace {

// Calls row(y) for every row of the picture, the rows shared between two threads: each output
// row depends only on the same row of the input. The row loops copy what they capture into
// locals first, since their byte stores could otherwise alias it and keep them scalar.
template <class RowWork>
void ForEachRow(const PixelBuffer& picture, RowWork row) {
    RunRowsInParallel(picture.Height(), picture.Width(), [&](int first, int end) {
        for (int y = first; y < end; ++y) row(y);
    });
}

// Maps every byte of the pixels (not the row padding) of source into target through one
// table per channel (blue, green, red).
void MapThroughTables(const PixelBuffer& source, PixelBuffer& target, const std::uint8_t* blue,
                      const std::uint8_t* green, const std::uint8_t* red) {
    const int width = source.Width();
    ForEachRow(source, [&](int y) {
        const std::uint8_t* in = source.Row(y);
        std::uint8_t* out = target.Row(y);
        const std::uint8_t* const b = blue;
        const std::uint8_t* const g = green;
        const std::uint8_t* const r = red;
        for (int x = 0, n = width; x < n; ++x, in += 3, out += 3) {
            out[0] = b[in[0]];
            out[1] = g[in[1]];
            out[2] = r[in[2]];
        }
    });
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
        ForEachRow(*source, [&](int y) {
            const std::uint8_t* in = source->Row(y);
            std::uint8_t* out = target->Row(y);
            const int t = threshold;
            for (int x = 0, n = width; x < n; ++x, in += 3, out += 3) {
                const std::uint8_t v = (in[0] + in[1] + in[2]) / 3 < t ? 0 : 255;
                out[0] = out[1] = out[2] = v;
            }
        });
        return 1;
    }
    std::uint8_t step[256];
    for (int i = 0; i < 256; ++i) step[i] = i < threshold ? 0 : 255;
    if (mode == kThresholdColour) {
        MapThroughTables(*source, *target, step, step, step);
        return 1;
    }
    const int c = 2 - (mode - kThresholdRed);  // byte of red, green or blue
    ForEachRow(*source, [&](int y) {
        const std::uint8_t* in = source->Row(y) + c;
        std::uint8_t* out = target->Row(y) + c;
        for (int x = 0, n = width; x < n; ++x) out[3 * x] = step[in[3 * x]];
    });
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
    ForEachRow(*target, [&](int y) {
        std::uint8_t* p = target->Row(y);
        const int k = c;
        for (int x = 0, n = width; x < n; ++x, p += 3) p[0] = p[1] = p[2] = p[k];
    });
    return 1;
}

int SeparateChannel(int channel) {
    if (!PrepareFilterContext()) return 0;
    return SeparateChannel(FilterContext.targetBitmap, channel);
}

int Invert(PixelBuffer* bitmap) {
    if (!IsColourBuffer(bitmap)) return 0;
    const int count = 3 * bitmap->Width();
    ForEachRow(*bitmap, [&](int y) {
        std::uint8_t* p = bitmap->Row(y);
        for (int i = 0, n = count; i < n; ++i) p[i] = static_cast<std::uint8_t>(255 - p[i]);
    });
    return 1;
}

int Grayscale(PixelBuffer* bitmap) {
    if (!IsColourBuffer(bitmap)) return 0;
    const int width = bitmap->Width();
    ForEachRow(*bitmap, [&](int y) {
        std::uint8_t* p = bitmap->Row(y);
        for (int x = 0, n = width; x < n; ++x, p += 3) {
            const std::uint8_t grey = static_cast<std::uint8_t>((306 * p[2] + 601 * p[1] + 117 * p[0]) >> 10);
            p[0] = p[1] = p[2] = grey;
        }
    });
    return 1;
}

int Solarize(PixelBuffer* bitmap) {
    if (!IsColourBuffer(bitmap)) return 0;
    const int count = 3 * bitmap->Width();
    // The low eight bits of 2c below 127 and of 254 - 2c from 127 on: byte arithmetic, so the
    // loop runs on whole vectors of bytes.
    ForEachRow(*bitmap, [&](int y) {
        std::uint8_t* p = bitmap->Row(y);
        for (int i = 0, n = count; i < n; ++i) {
            const std::uint8_t twice = static_cast<std::uint8_t>(p[i] + p[i]);
            p[i] = p[i] < 127 ? twice : static_cast<std::uint8_t>(254 - twice);
        }
    });
    return 1;
}
