#include <gtest/gtest.h>

#include "filters/ColourAdjust.h"
#include "filters/FilterEngine.h"
#include "filters/HslFast.h"
#include "platform/FilterPump.h"
#include "support/FilterTestSupport.h"

namespace {

std::uint8_t LevelOf(int brightness, int contrast, float gamma, int i) {
    std::uint8_t table[256];
    BuildLevelsTable(brightness, contrast, gamma, table);
    return table[i];
}

Rgb AfterHueSaturation(Rgb c, float h, float s, float l) {
    auto src = MakeBuffer(1, 1, c);
    auto dst = MakeBuffer(1, 1);
    EXPECT_EQ(HueSaturation(src.get(), dst.get(), h, s, l), 1);
    return PixelAt(*dst, 0, 0);
}

TEST(Levels, IdentitySettings) {
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(LevelOf(0, 0, 0.0f, i), i) << i;
        EXPECT_EQ(LevelOf(0, 0, 100.0f, i), i) << i;
    }
}

TEST(Levels, BrightnessContrastAndGammaValues) {
    EXPECT_EQ(LevelOf(50, 0, 0.0f, 0), 64);
    EXPECT_EQ(LevelOf(-50, 0, 0.0f, 255), 191);
    EXPECT_EQ(LevelOf(25, 0, 0.0f, 0), 32);
    for (int i : {0, 77, 255}) EXPECT_EQ(LevelOf(0, -100, 0.0f, i), 128);
    EXPECT_EQ(LevelOf(0, 100, 0.0f, 100), 72);
    EXPECT_EQ(LevelOf(0, 100, 0.0f, 0), 0);      // clamped below
    EXPECT_EQ(LevelOf(100, 100, 0.0f, 255), 255);  // clamped above
    EXPECT_EQ(LevelOf(0, 0, 200.0f, 128), 180);
    EXPECT_EQ(LevelOf(0, 0, 200.0f, 1), 15);
    EXPECT_EQ(LevelOf(0, 0, 50.0f, 128), 64);
    EXPECT_EQ(LevelOf(0, 0, 500.0f, 1), 84);
    EXPECT_EQ(LevelOf(0, 0, 500.0f, 0), 0);
    EXPECT_EQ(LevelOf(0, 0, 10.0f, 255), 255);
}

TEST(Levels, ContrastScaleIsFormedInSinglePrecision) {
    // 30 x 0.01 in single precision is just under 0.3, so with brightness -100 (offset 0)
    // 138 maps to trunc(2.9999998) = 2 and 148 to 5, where exact arithmetic gives 3 and 6.
    EXPECT_EQ(LevelOf(-100, -70, 0.0f, 138), 2);
    EXPECT_EQ(LevelOf(-100, -70, 0.0f, 148), 5);
    EXPECT_EQ(LevelOf(-100, -70, 0.0f, 118), 0);
}

TEST(Levels, OnlyTheChosenChannels) {
    auto src = MakeBuffer(2, 2, {10, 20, 30});
    auto dst = MakeBuffer(2, 2);
    const ChannelFlags yellow = ChannelMask(4);
    ASSERT_EQ(ApplyLevels(src.get(), dst.get(), 50, 0, 0.0f, yellow.red, yellow.green, yellow.blue), 1);
    EXPECT_EQ(PixelAt(*dst, 1, 1), (Rgb{LevelOf(50, 0, 0.0f, 10), LevelOf(50, 0, 0.0f, 20), 30}));
    const ChannelFlags cyan = ChannelMask(5);
    ASSERT_EQ(ApplyLevels(src.get(), dst.get(), 0, 0, 200.0f, cyan.red, cyan.green, cyan.blue), 1);
    EXPECT_EQ(PixelAt(*dst, 0, 0), (Rgb{10, LevelOf(0, 0, 200.0f, 20), LevelOf(0, 0, 200.0f, 30)}));
    EXPECT_EQ(ApplyLevels(nullptr, dst.get(), 0, 0, 0.0f, true, true, true), 0);
}

TEST(Hsl, ConversionsOfKnownColours) {
    const HslColour red = RgbToHsl(255, 0, 0);
    EXPECT_EQ(red.h, 0);
    EXPECT_EQ(red.s, 100);
    EXPECT_EQ(red.l, 49);
    const HslColour grey = RgbToHsl(128, 128, 128);
    EXPECT_EQ(grey.h, 60);
    EXPECT_EQ(grey.s, 0);
    EXPECT_EQ(grey.l, 50);
    EXPECT_EQ(RgbToHsl(255, 255, 255).l, 100);
    const HslColour c = RgbToHsl(200, 100, 50);
    EXPECT_EQ(c.h, 20);
    EXPECT_EQ(c.s, 60);
    EXPECT_EQ(c.l, 48);
    // Blue the largest, red above green: hue 240 + (R - G) x t / 100.
    const HslColour b = RgbToHsl(100, 50, 200);
    EXPECT_EQ(b.h, 240 + 50 * (6000 / 150) / 100);
    // Red largest with blue above green wraps by 360.
    EXPECT_EQ(RgbToHsl(200, 50, 100).h, (50 - 100) * 40 / 100 + 360);
    // Equal red and green: green counts as the largest.
    EXPECT_EQ(RgbToHsl(200, 200, 0).h, (0 - 200) * (6000 / 200) / 100 + 120);
    // Light colours use 512 - (min + max).
    EXPECT_EQ(RgbToHsl(255, 200, 200).s, 55 * 100 / (512 - 455));
    const HslColour satLum = RgbToSatLum(200, 100, 50);
    EXPECT_EQ(satLum.s, 60);
    EXPECT_EQ(satLum.l, 48);
    EXPECT_EQ(satLum.h, 0);
}

TEST(Hsl, BackToRgbInEverySector) {
    EXPECT_EQ(HslToRgb(0, 100, 49).r, 249);
    EXPECT_EQ(HslToRgb(77, 0, 100).g, 255);
    // p = 60 - 40 x 50 / 100 = 40; hi = 80 x 255 / 100 = 204, lo = 102, span 102.
    const int hi = 204, lo = 102, span = 102;
    struct Case {
        int h;
        int r, g, b;
    } cases[] = {
        {30, hi, lo + span * 30 / 60, lo},
        {90, lo - span * (90 - 120) / 60, hi, lo},
        {150, lo, hi, lo + span * 30 / 60},
        {210, lo, lo - span * (210 - 240) / 60, hi},
        {270, lo + span * 30 / 60, lo, hi},
        {330, hi, lo, lo - span * (330 - 360) / 60},
        {360, hi, lo, lo},
    };
    for (const Case& k : cases) {
        const RgbColour c = HslToRgb(k.h, 50, 60);
        EXPECT_EQ(c.r, k.r) << k.h;
        EXPECT_EQ(c.g, k.g) << k.h;
        EXPECT_EQ(c.b, k.b) << k.h;
    }
}

TEST(HueSaturationFilter, ZeroShiftIsNotTheIdentity) {
    EXPECT_EQ(AfterHueSaturation({255, 0, 0}, 0, 0, 0), (Rgb{249, 0, 0}));
    EXPECT_EQ(AfterHueSaturation({128, 128, 128}, 0, 0, 0), (Rgb{127, 127, 127}));
    EXPECT_EQ(AfterHueSaturation({200, 100, 50}, 0, 0, 0), (Rgb{196, 97, 48}));
    EXPECT_EQ(AfterHueSaturation({0, 0, 0}, 0, 0, 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(AfterHueSaturation({255, 255, 255}, 0, 0, 0), (Rgb{255, 255, 255}));
}

TEST(HueSaturationFilter, ShiftsWrapAndClamp) {
    EXPECT_EQ(AfterHueSaturation({255, 0, 0}, 120, 0, 0), (Rgb{0, 249, 0}));
    // Hue 0 - 120 wraps to 240: blue.
    EXPECT_EQ(AfterHueSaturation({255, 0, 0}, -120, 0, 0), (Rgb{0, 0, 249}));
    EXPECT_EQ(AfterHueSaturation({200, 100, 50}, 0, -100, 0), (Rgb{122, 122, 122}));  // 48 x 255 / 100
    EXPECT_EQ(AfterHueSaturation({200, 100, 50}, 0, 0, 100), (Rgb{255, 255, 255}));
    EXPECT_EQ(AfterHueSaturation({200, 100, 50}, 0, 0, -100), (Rgb{0, 0, 0}));
}

TEST(ColorizeFilter, OneHueForEveryPixel) {
    auto src = MakeBuffer(3, 1, {128, 128, 128});
    SetPixel(*src, 1, 0, {200, 100, 50});
    auto dst = MakeBuffer(3, 1);
    ASSERT_EQ(Colorize(src.get(), dst.get(), 0, 50, 0), 1);
    EXPECT_EQ(PixelAt(*dst, 0, 0), (Rgb{191, 63, 63}));
    // Negative hues count from 360: -120 is 240, blue.
    ASSERT_EQ(Colorize(src.get(), dst.get(), -120, 50, 0), 1);
    EXPECT_EQ(PixelAt(*dst, 0, 0), (Rgb{63, 63, 191}));
    const RgbColour c = HslToRgb(240, 100, 48);  // saturation 60 + 50 clamped
    EXPECT_EQ(PixelAt(*dst, 1, 0), (Rgb{c.r, c.g, c.b}));
}

class PumpingAdjustments : public ::testing::Test {
protected:
    void TearDown() override {
        platform::SetFilterMessagePump({});
        FilterState.FilterBusy = kFilterIdle;
    }
};

TEST_F(PumpingAdjustments, StopAtTheNextRowAndRunWholeAfterwards) {
    auto src = RandomBuffer(5, 6, 4);
    auto full = MakeBuffer(5, 6);
    ASSERT_EQ(HueSaturation(src.get(), full.get(), 30, 10, -5), 1);
    for (int which = 0; which < 2; ++which) {
        auto target = CopyOf(*src);
        int rows = 0;
        platform::SetFilterMessagePump([&] {
            if (++rows == 2) FilterState.FilterBusy = kFilterRestart;
        });
        const int result = which == 0 ? HueSaturation(src.get(), target.get(), 30, 10, -5)
                                      : Colorize(src.get(), target.get(), 30, 10, -5);
        EXPECT_EQ(result, 0);
        EXPECT_EQ(rows, 2);
        EXPECT_EQ(FilterState.FilterBusy, kFilterIdle);
        for (int y = 1; y < 6; ++y) {
            for (int x = 0; x < 5; ++x) EXPECT_EQ(PixelAt(*target, x, y), PixelAt(*src, x, y));
        }
        if (which == 0) {
            for (int x = 0; x < 5; ++x) EXPECT_EQ(PixelAt(*target, x, 0), PixelAt(*full, x, 0));
        }
    }
}

TEST(PointOperations, AdjustRgbThresholdAndChannels) {
    auto p = MakeBuffer(1, 1, {10, 20, 30});
    ASSERT_EQ(AdjustRgb(p.get(), 255, 0, -31), 1);
    EXPECT_EQ(PixelAt(*p, 0, 0), (Rgb{255, 20, 0}));

    auto src = MakeBuffer(2, 1, {127, 128, 128});
    SetPixel(*src, 1, 0, {128, 128, 129});
    auto dst = MakeBuffer(2, 1, {1, 2, 3});
    ASSERT_EQ(Threshold(src.get(), dst.get(), kThresholdMonochrome, 128), 1);
    EXPECT_EQ(PixelAt(*dst, 0, 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(PixelAt(*dst, 1, 0), (Rgb{255, 255, 255}));
    ASSERT_EQ(Threshold(src.get(), dst.get(), kThresholdColour, 128), 1);
    EXPECT_EQ(PixelAt(*dst, 0, 0), (Rgb{0, 255, 255}));
    // A single-channel mode leaves the target's other channels alone.
    auto keep = MakeBuffer(2, 1, {1, 2, 3});
    ASSERT_EQ(Threshold(src.get(), keep.get(), kThresholdRed, 128), 1);
    EXPECT_EQ(PixelAt(*keep, 0, 0), (Rgb{0, 2, 3}));
    EXPECT_EQ(PixelAt(*keep, 1, 0), (Rgb{255, 2, 3}));
    ASSERT_EQ(Threshold(src.get(), keep.get(), kThresholdBlue, 129), 1);
    EXPECT_EQ(PixelAt(*keep, 0, 0), (Rgb{0, 2, 0}));
    EXPECT_EQ(PixelAt(*keep, 1, 0), (Rgb{255, 2, 255}));
    ASSERT_EQ(Threshold(src.get(), keep.get(), kThresholdGreen, 0), 1);
    EXPECT_EQ(PixelAt(*keep, 0, 0), (Rgb{0, 255, 0}));
    EXPECT_EQ(Threshold(src.get(), keep.get(), 5, 0), 0);

    auto sep = MakeBuffer(1, 1, {10, 20, 30});
    ASSERT_EQ(SeparateChannel(sep.get(), 1), 1);
    EXPECT_EQ(PixelAt(*sep, 0, 0), (Rgb{20, 20, 20}));
    SetPixel(*sep, 0, 0, {10, 20, 30});
    ASSERT_EQ(SeparateChannel(sep.get(), 2), 1);
    EXPECT_EQ(PixelAt(*sep, 0, 0), (Rgb{30, 30, 30}));
    EXPECT_EQ(SeparateChannel(sep.get(), 3), 0);
}

TEST(PointOperations, InvertGrayscaleSolarize) {
    auto p = MakeBuffer(3, 1, {0, 255, 0});
    SetPixel(*p, 1, 0, {255, 255, 255});
    SetPixel(*p, 2, 0, {1, 100, 254});
    ASSERT_EQ(Grayscale(p.get()), 1);
    EXPECT_EQ(PixelAt(*p, 0, 0), (Rgb{149, 149, 149}));
    EXPECT_EQ(PixelAt(*p, 1, 0), (Rgb{255, 255, 255}));
    EXPECT_EQ(PixelAt(*p, 2, 0).g, (306 * 1 + 601 * 100 + 117 * 254) >> 10);

    auto inv = MakeBuffer(2, 1, {0, 100, 255});
    ASSERT_EQ(Invert(inv.get()), 1);
    EXPECT_EQ(PixelAt(*inv, 1, 0), (Rgb{255, 155, 0}));
    EXPECT_EQ(Invert(nullptr), 0);

    const int in[] = {0, 1, 126, 127, 128, 200, 254, 255};
    const int out[] = {0, 2, 252, 0, 254, 110, 2, 0};
    for (int i = 0; i < 8; ++i) {
        auto s = MakeBuffer(1, 1, {in[i], in[i], in[i]});
        ASSERT_EQ(Solarize(s.get()), 1);
        EXPECT_EQ(PixelAt(*s, 0, 0).r, out[i]) << in[i];
    }
}

TEST(PointOperations, RowPaddingIsNeverWritten) {
    // Width 5 leaves one padding byte per row; the helper fills it with 0xA5.
    auto src = RandomBuffer(5, 3, 21);
    auto dst = MakeBuffer(5, 3);
    auto check = [&](const PixelBuffer& b) {
        for (int y = 0; y < 3; ++y) EXPECT_EQ(b.Row(y)[15], 0xA5);
    };
    ApplyLevels(src.get(), dst.get(), 20, 30, 0.0f, true, true, true);
    Threshold(src.get(), dst.get(), kThresholdColour, 99);
    HueSaturation(src.get(), dst.get(), 10, 10, 10);
    Colorize(src.get(), dst.get(), 10, 10, 10);
    AdjustRgb(dst.get(), 9, 9, 9);
    SeparateChannel(dst.get(), 0);
    Invert(dst.get());
    Grayscale(dst.get());
    Solarize(dst.get());
    check(*dst);
}

}  // namespace

namespace {

TEST(HslFastPath, SameNumbersAsThePlainConversionsForEveryInput) {
    const HslTables& t = GetHslTables();
    for (int r = 0; r < 256; ++r) {
        for (int g = 0; g < 256; ++g) {
            for (int b = 0; b < 256; ++b) {
                const HslColour plain = RgbToHsl(r, g, b);
                const HslColour fast = FastRgbToHsl<true>(r, g, b, t);
                ASSERT_TRUE(plain.h == fast.h && plain.s == fast.s && plain.l == fast.l) << r << "," << g << "," << b;
                const HslColour satLum = FastRgbToHsl<false>(r, g, b, t);
                ASSERT_TRUE(satLum.s == plain.s && satLum.l == plain.l && satLum.h == 0);
            }
        }
    }
    for (int h = 0; h <= 360; ++h) {
        for (int s = 0; s <= 100; ++s) {
            for (int l = 0; l <= 100; ++l) {
                const RgbColour plain = HslToRgb(h, s, l);
                const RgbColour fast = FastHslToRgb(h, s, l, t);
                ASSERT_TRUE(plain.r == fast.r && plain.g == fast.g && plain.b == fast.b) << h << "," << s << "," << l;
            }
        }
    }
}

}  // namespace

namespace {

// Large enough that the rows are shared between two threads: every pixel must still get
// exactly the per-pixel formula.
TEST(PointOperations, LargePicturesGiveThePerPixelFormulas) {
    const int w = 400, h = 301;
    auto src = RandomBuffer(w, h, 55);
    auto dst = MakeBuffer(w, h);
    std::uint8_t levels[256];
    BuildLevelsTable(30, -20, 0.0f, levels);
    ASSERT_EQ(ApplyLevels(src.get(), dst.get(), 30, -20, 0.0f, true, false, true), 1);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const Rgb s = PixelAt(*src, x, y);
            ASSERT_EQ(PixelAt(*dst, x, y), (Rgb{levels[s.r], s.g, levels[s.b]})) << x << "," << y;
        }
    }
    ASSERT_EQ(Threshold(src.get(), dst.get(), kThresholdMonochrome, 100), 1);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const Rgb s = PixelAt(*src, x, y);
            const int v = (s.r + s.g + s.b) / 3 < 100 ? 0 : 255;
            ASSERT_EQ(PixelAt(*dst, x, y), (Rgb{v, v, v}));
        }
    }
    auto grey = CopyOf(*src);
    auto solar = CopyOf(*src);
    auto inverse = CopyOf(*src);
    ASSERT_EQ(Grayscale(grey.get()), 1);
    ASSERT_EQ(Solarize(solar.get()), 1);
    ASSERT_EQ(Invert(inverse.get()), 1);
    auto f = [](int c) { return c <= 126 ? 2 * c : (c == 127 ? 0 : 510 - 2 * c); };
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const Rgb s = PixelAt(*src, x, y);
            const int g = (306 * s.r + 601 * s.g + 117 * s.b) >> 10;
            ASSERT_EQ(PixelAt(*grey, x, y), (Rgb{g, g, g}));
            ASSERT_EQ(PixelAt(*solar, x, y), (Rgb{f(s.r), f(s.g), f(s.b)}));
            ASSERT_EQ(PixelAt(*inverse, x, y), (Rgb{255 - s.r, 255 - s.g, 255 - s.b}));
        }
    }
}

}  // namespace

namespace {

int ClampedPercent(float v) { return static_cast<int>(v < 0.0f ? 0.0f : (v > 100.0f ? 100.0f : v)); }

Rgb ClampedRgb(const RgbColour& c) { return {ClampChannel(c.r), ClampChannel(c.g), ClampChannel(c.b)}; }

// Every colour on a grid of steps of 5 per channel, plus the greys, in one picture large
// enough for the rows to be shared out.
std::unique_ptr<PixelBuffer> ColourGrid() {
    auto grid = MakeBuffer(520, 300);
    int i = 0;
    for (int r = 0; r < 256; r += 5) {
        for (int g = 0; g < 256; g += 5) {
            for (int b = 0; b < 256; b += 5) {
                SetPixel(*grid, i % 520, i / 520, {r, g, b});
                ++i;
            }
        }
    }
    for (int v = 0; v < 256; ++v, ++i) SetPixel(*grid, i % 520, i / 520, {v, v, v});
    return grid;
}

// The adjustments, made of table look-ups, give the per-pixel formulas for every shift the
// dialog offers and for fractions and shifts beyond a turn that only a script could ask for.
TEST(HslFastPath, ShiftedPicturesGiveThePerPixelFormulas) {
    const auto grid = ColourGrid();
    auto dst = MakeBuffer(520, 300);
    const float shifts[][3] = {{0, 0, 0},       {30, 10, -5},     {-180, -100, 100}, {180, 100, -100},
                               {37.5f, 12.25f, -3.75f}, {-90, 55, 20}, {400, 0, 0},       {-500, 20, 30}};
    for (const auto& shift : shifts) {
        const float hue = shift[0], sat = shift[1], lum = shift[2];
        ASSERT_EQ(HueSaturation(grid.get(), dst.get(), hue, sat, lum), 1);
        for (int y = 0; y < 300; ++y) {
            for (int x = 0; x < 520; ++x) {
                const Rgb c = PixelAt(*grid, x, y);
                const HslColour hsl = RgbToHsl(c.r, c.g, c.b);
                float h = static_cast<float>(hsl.h) + hue;
                if (h > 360.0f) {
                    h -= 360.0f;
                } else if (h < 0.0f) {
                    h += 360.0f;
                }
                const Rgb expected = ClampedRgb(HslToRgb(static_cast<int>(h), ClampedPercent(static_cast<float>(hsl.s) + sat),
                                                         ClampedPercent(static_cast<float>(hsl.l) + lum)));
                ASSERT_EQ(PixelAt(*dst, x, y), expected) << hue << " " << sat << " " << lum << " at " << x << "," << y;
            }
        }
        ASSERT_EQ(Colorize(grid.get(), dst.get(), hue, sat, lum), 1);
        float fixed = hue;
        if (fixed < 0.0f) {
            fixed += 360.0f;
        } else if (fixed > 360.0f) {
            fixed -= 360.0f;
        }
        for (int y = 0; y < 300; ++y) {
            for (int x = 0; x < 520; ++x) {
                const Rgb c = PixelAt(*grid, x, y);
                const HslColour hsl = RgbToSatLum(c.r, c.g, c.b);
                const Rgb expected = ClampedRgb(HslToRgb(static_cast<int>(fixed), ClampedPercent(static_cast<float>(hsl.s) + sat),
                                                         ClampedPercent(static_cast<float>(hsl.l) + lum)));
                ASSERT_EQ(PixelAt(*dst, x, y), expected) << "colorize " << hue << " " << sat << " " << lum;
            }
        }
    }
}

}  // namespace
