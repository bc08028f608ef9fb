// Matching colours to the entries of an 8-bit bitmap's palette.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/raster/Bitmap.h"

namespace raster {

// Entries 0-9 and 246-255 of an 8-bit palette hold the static system colours.
constexpr bool IsSystemColourEntry(int index) { return (index >= 0 && index < 10) || (index >= 246 && index < 256); }

// The palette index an 8-bit bitmap stores for a colour: an exact match among the system
// colours first, otherwise the entry nearest in squared RGB distance, the lowest index
// on ties. With the standard palette pure blue gives 249 (not the equal entry 14), black 0
// and white 255.
std::uint8_t MatchPaletteIndex(const RgbQuad* palette, int red, int green, int blue);
inline std::uint8_t MatchPaletteIndex(const RgbQuad* palette, Colour colour) {
    return MatchPaletteIndex(palette, RedOf(colour), GreenOf(colour), BlueOf(colour));
}

// The same matching, fast enough for whole images: the colour cube is cut into 32 x 32 x
// 32 cells, and each cell keeps the few entries that can be nearest to any colour in it.
class PaletteMatcher {
public:
    // A matcher for the palette, shared and kept for the palettes used most recently.
    // Null when memory is short.
    static std::shared_ptr<const PaletteMatcher> For(const RgbQuad* palette) noexcept;

    std::uint8_t Match(int red, int green, int blue) const {
        const unsigned cell = (static_cast<unsigned>(red >> 3) << 10) | (static_cast<unsigned>(green >> 3) << 5) |
                              static_cast<unsigned>(blue >> 3);
        const std::uint32_t first = cellStart_[cell];
        if (cellStart_[cell + 1] - first == 1) return candidates_[first];  // a third of the cells
        return MatchInCell(cell, red, green, blue);
    }
    bool SamePalette(const RgbQuad* palette) const;

private:
    explicit PaletteMatcher(const RgbQuad* palette);
    std::uint8_t MatchInCell(unsigned cell, int red, int green, int blue) const;

    RgbQuad palette_[256];
    std::vector<std::uint32_t> cellStart_;  // candidates of cell c: [cellStart_[c], cellStart_[c + 1])
    std::vector<std::uint8_t> candidates_;  // in ascending index order within a cell
};

}  // namespace raster
