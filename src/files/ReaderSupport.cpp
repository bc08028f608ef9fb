#include "files/ReaderSupport.h"

#include <algorithm>

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
