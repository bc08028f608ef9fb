// The tool icon strip: the hand-drawn tiles laid side by side on the transparent magenta.
#include <cstring>

#include "ResourceArt.h"
#include "ToolIconArt.h"

namespace {

constexpr raster::Colour kTransparent = raster::MakeColour(255, 0, 255);

struct PaletteEntry {
    char key;
    raster::Colour colour;
};

// Outlines are near-black so that every icon stands out on the button face and on the
// white of a chosen button alike. Digits are greys from black (0) to near white (9).
constexpr PaletteEntry kPalette[] = {
    {'k', raster::MakeColour(0x20, 0x20, 0x20)}, {'d', raster::MakeColour(0x50, 0x50, 0x50)},
    {'g', raster::MakeColour(0x80, 0x80, 0x80)}, {'l', raster::MakeColour(0xB0, 0xB0, 0xB0)},
    {'e', raster::MakeColour(0xE0, 0xE0, 0xE0)}, {'w', raster::MakeColour(0xFF, 0xFF, 0xFF)},
    {'r', raster::MakeColour(0xE0, 0x20, 0x20)}, {'R', raster::MakeColour(0x90, 0x10, 0x10)},
    {'o', raster::MakeColour(0xF0, 0x90, 0x20)}, {'y', raster::MakeColour(0xF8, 0xD8, 0x30)},
    {'Y', raster::MakeColour(0xC0, 0x90, 0x10)}, {'f', raster::MakeColour(0xFF, 0xF0, 0x80)},
    {'n', raster::MakeColour(0xB0, 0x70, 0x38)}, {'N', raster::MakeColour(0x60, 0x38, 0x18)},
    {'t', raster::MakeColour(0xE8, 0xC8, 0x90)}, {'s', raster::MakeColour(0xF0, 0xC8, 0x98)},
    {'S', raster::MakeColour(0xC8, 0x90, 0x68)}, {'p', raster::MakeColour(0xF4, 0x98, 0xA8)},
    {'P', raster::MakeColour(0xC0, 0x50, 0x70)}, {'b', raster::MakeColour(0x30, 0x60, 0xD0)},
    {'B', raster::MakeColour(0x10, 0x28, 0x80)}, {'a', raster::MakeColour(0x60, 0xA8, 0xE8)},
    {'c', raster::MakeColour(0x98, 0xC8, 0xF0)}, {'G', raster::MakeColour(0x30, 0xA0, 0x40)},
    {'h', raster::MakeColour(0x10, 0x60, 0x20)}, {'v', raster::MakeColour(0x90, 0x40, 0xC0)},
    {'m', raster::MakeColour(0xC8, 0xC8, 0xD0)}, {'M', raster::MakeColour(0x78, 0x78, 0x88)},
};

bool ColourOf(char key, raster::Colour& colour) {
    if (key >= '0' && key <= '9') {
        const int grey = (key - '0') * 28 + 3;
        colour = raster::MakeColour(grey, grey, grey);
        return true;
    }
    for (const PaletteEntry& entry : kPalette) {
        if (entry.key == key) {
            colour = entry.colour;
            return true;
        }
    }
    return false;
}

}  // namespace

bool PaintPixelArt(PixelBuffer& image, int left, int top, const char* const* rows, int size) {
    for (int y = 0; y < size; ++y) {
        if (!rows[y] || std::strlen(rows[y]) != static_cast<std::size_t>(size)) return false;
        for (int x = 0; x < size; ++x) {
            if (rows[y][x] == '.') continue;
            raster::Colour colour = 0;
            if (!ColourOf(rows[y][x], colour) || !image.Contains(left + x, top + y)) return false;
            std::uint8_t* p = image.Row(top + y) + 3 * (left + x);
            p[0] = static_cast<std::uint8_t>(raster::BlueOf(colour));
            p[1] = static_cast<std::uint8_t>(raster::GreenOf(colour));
            p[2] = static_cast<std::uint8_t>(raster::RedOf(colour));
        }
    }
    return true;
}

std::unique_ptr<PixelBuffer> MagentaPicture(int width, int height) {
    raster::BitmapInfo header;
    auto picture = CreatePixelBuffer(width, height, 24, header, nullptr);
    if (!picture) return nullptr;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = picture->Row(y);
        std::memset(row, 0, picture->Stride());
        for (int x = 0; x < width; ++x) {
            row[3 * x] = static_cast<std::uint8_t>(raster::BlueOf(kTransparent));
            row[3 * x + 1] = static_cast<std::uint8_t>(raster::GreenOf(kTransparent));
            row[3 * x + 2] = static_cast<std::uint8_t>(raster::RedOf(kTransparent));
        }
    }
    return picture;
}

std::unique_ptr<PixelBuffer> MakeToolStrip() {
    auto strip = MagentaPicture(kToolStripWidth, kToolStripHeight);
    if (!strip) return nullptr;
    for (int i = 0; i < kToolIconArtCount; ++i) {
        const ToolIconArt& art = kToolIconArt[i];
        const int size = art.tile == kSwatchTile ? kSwatchTileSize : kToolTileSize;
        if (!PaintPixelArt(*strip, art.tile * kToolTileSize, 0, art.rows, size)) return nullptr;
    }
    return strip;
}
