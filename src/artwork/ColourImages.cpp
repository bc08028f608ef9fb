// The spectrum strips and the colour field: smooth hue pictures, saved as JPEG.
#include <cmath>
#include <cstdint>

#include "ResourceArt.h"

namespace {

struct Rgb {
    double r, g, b;
};

// The fully saturated colour of a hue in turns (0 red, 1/3 green, 2/3 blue, 1 red again).
Rgb PureHue(double turns) {
    const double h = std::fmod(turns, 1.0) * 6.0;
    const double x = 1.0 - std::fabs(std::fmod(h, 2.0) - 1.0);
    switch (static_cast<int>(h)) {
        case 0: return {1, x, 0};
        case 1: return {x, 1, 0};
        case 2: return {0, 1, x};
        case 3: return {0, x, 1};
        case 4: return {x, 0, 1};
        default: return {1, 0, x};
    }
}

// white 0..1 mixes towards white, then bright 0..1 scales towards black.
Rgb Shade(Rgb c, double white, double bright) {
    return {(c.r + (1 - c.r) * white) * bright, (c.g + (1 - c.g) * white) * bright,
            (c.b + (1 - c.b) * white) * bright};
}

void Put(PixelBuffer& image, int x, int y, Rgb c) {
    std::uint8_t* p = image.Row(y) + 3 * x;
    p[0] = static_cast<std::uint8_t>(std::lround(c.b * 255));
    p[1] = static_cast<std::uint8_t>(std::lround(c.g * 255));
    p[2] = static_cast<std::uint8_t>(std::lround(c.r * 255));
}

std::unique_ptr<PixelBuffer> Blank(int width, int height) {
    raster::BitmapInfo header;
    auto image = CreatePixelBuffer(width, height, 24, header, nullptr);
    if (image) std::fill(image->Bits(), image->Bits() + image->ByteSize(), 0);
    return image;
}

// Row 0 nearly white, rows 7 and 8 the pure hue, row 15 a quarter of full brightness.
Rgb StripColour(int along, int across) {
    const Rgb hue = PureHue(along / 255.0);
    if (across <= 7) return Shade(hue, (7 - across) / 7.0 * 0.9, 1.0);
    if (across == 8) return hue;
    return Shade(hue, 0.0, 1.0 - (across - 8) / 7.0 * 0.75);
}

}  // namespace

std::unique_ptr<PixelBuffer> MakeSpectrumStrip(bool vertical) {
    auto image = vertical ? Blank(16, 256) : Blank(256, 16);
    if (!image) return nullptr;
    for (int along = 0; along < 256; ++along) {
        for (int across = 0; across < 16; ++across) {
            // Turned clockwise, the strip's top row becomes the right column.
            if (vertical) {
                Put(*image, 15 - across, along, StripColour(along, across));
            } else {
                Put(*image, along, across, StripColour(along, across));
            }
        }
    }
    return image;
}

std::unique_ptr<PixelBuffer> MakeColourField() {
    constexpr int kLast = kColourFieldSize - 1;
    constexpr int kGreyRows = 8;
    constexpr int kPureRow = 72;
    auto image = Blank(kColourFieldSize, kColourFieldSize);
    if (!image) return nullptr;
    for (int x = 0; x < kColourFieldSize; ++x) {
        const double grey = static_cast<double>(x) / kLast;
        for (int y = 0; y < kGreyRows; ++y) Put(*image, x, y, {grey, grey, grey});
        const Rgb hue = PureHue(static_cast<double>(x) / kLast);
        for (int y = kGreyRows; y < kColourFieldSize; ++y) {
            if (y <= kPureRow) {
                Put(*image, x, y, Shade(hue, static_cast<double>(kPureRow - y) / (kPureRow - kGreyRows), 1.0));
            } else {
                Put(*image, x, y, Shade(hue, 0.0, 1.0 - 0.95 * (y - kPureRow) / (kLast - kPureRow)));
            }
        }
    }
    return image;
}
