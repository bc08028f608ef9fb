#include "files/ReaderSupport.h"

#include <algorithm>
#include <vector>

#include "platform/MessageBox.h"

void FillRowsFrom(PixelBuffer& image, int firstRow, raster::Colour background) {
    const std::uint8_t blue = static_cast<std::uint8_t>(raster::BlueOf(background));
    const std::uint8_t green = static_cast<std::uint8_t>(raster::GreenOf(background));
    const std::uint8_t red = static_cast<std::uint8_t>(raster::RedOf(background));
    for (int r = std::max(firstRow, 0); r < image.Height(); ++r) {
        std::uint8_t* p = image.Row(r);
        for (int x = 0; x < image.Width(); ++x, p += 3) {
            p[0] = blue;
            p[1] = green;
            p[2] = red;
        }
    }
}

void MarkDamaged(platform::DecodedImage& decoded, const std::string& name) {
    decoded.status = platform::DecodeStatus::Damaged;
    decoded.text = "\"" + name + "\" is damaged: the picture may be incomplete.";
    decoded.caption = platform::kCaptionError;
}

namespace {

std::uint8_t Over(int colour, int background, int alpha) {
    return static_cast<std::uint8_t>((colour * alpha + background * (255 - alpha) + 127) / 255);
}

}  // namespace

bool LayRowOver(const std::uint8_t* in, int width, raster::Colour background, std::uint8_t* out, bool redFirst) {
    const int blue = raster::BlueOf(background);
    const int green = raster::GreenOf(background);
    const int red = raster::RedOf(background);
    const int b = redFirst ? 2 : 0;
    const int r = 2 - b;
    bool transparent = false;
    for (int x = 0; x < width; ++x, in += 4, out += 3) {
        const int alpha = in[3];
        if (alpha == 255) {
            out[0] = in[b];
            out[1] = in[1];
            out[2] = in[r];
        } else {
            transparent = true;
            out[0] = Over(in[b], blue, alpha);
            out[1] = Over(in[1], green, alpha);
            out[2] = Over(in[r], red, alpha);
        }
    }
    return transparent;
}

void TurnRowsOver(PixelBuffer& image) {
    std::vector<std::uint8_t> spare(static_cast<std::size_t>(image.Stride()));
    for (int top = 0, bottom = image.Height() - 1; top < bottom; ++top, --bottom) {
        std::uint8_t* a = image.Row(top);
        std::uint8_t* b = image.Row(bottom);
        std::copy(a, a + image.Stride(), spare.data());
        std::copy(b, b + image.Stride(), a);
        std::copy(spare.begin(), spare.end(), b);
    }
}
