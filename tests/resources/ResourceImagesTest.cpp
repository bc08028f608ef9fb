// The images the program ships: found by number, decoded to their exact geometry, and
// showing what their users read from them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <set>
#include <string>

#include "ResourceArt.h"
#include "image/PaintSettings.h"
#include "image/PixelBuffer.h"
#include "platform/ImageDecoder.h"
#include "tools/BrushEngine.h"

namespace {

struct Rgb {
    int r, g, b;
};

Rgb At(const PixelBuffer& image, int x, int y) {
    const std::uint8_t* p = image.Row(y) + 3 * x;
    return {p[2], p[1], p[0]};
}

bool IsMagenta(Rgb c) { return c.r == 255 && c.g == 0 && c.b == 255; }
bool IsWhite(Rgb c) { return c.r == 255 && c.g == 255 && c.b == 255; }

// Hue in degrees, 0 to 360.
double HueOf(Rgb c) {
    const double r = c.r, g = c.g, b = c.b;
    const double hi = std::max({r, g, b}), lo = std::min({r, g, b});
    if (hi == lo) return 0;
    double h;
    if (hi == r) {
        h = std::fmod((g - b) / (hi - lo), 6.0);
    } else if (hi == g) {
        h = (b - r) / (hi - lo) + 2;
    } else {
        h = (r - g) / (hi - lo) + 4;
    }
    h *= 60;
    return h < 0 ? h + 360 : h;
}

std::unique_ptr<PixelBuffer> Decoded(int id) {
    platform::DecodedImage decoded = platform::DecodeImageResource(id, PaintSettings.BColor);
    EXPECT_EQ(decoded.status, platform::DecodeStatus::Ok) << "resource " << id << ": " << decoded.text;
    return std::move(decoded.image);
}

std::string FirstBytes(const std::string& path, std::size_t count) {
    std::ifstream file(path, std::ios::binary);
    std::string bytes(count, '\0');
    file.read(bytes.data(), static_cast<std::streamsize>(count));
    return bytes.substr(0, static_cast<std::size_t>(file.gcount()));
}

void ExpectSamePixels(const PixelBuffer& expected, const PixelBuffer& actual, const char* what) {
    ASSERT_EQ(actual.Width(), expected.Width()) << what;
    ASSERT_EQ(actual.Height(), expected.Height()) << what;
    for (int y = 0; y < expected.Height(); ++y) {
        ASSERT_TRUE(std::equal(expected.Row(y), expected.Row(y) + 3 * expected.Width(), actual.Row(y)))
            << what << " differs in row " << y << ": draw the resources again (target \"resources\")";
    }
}

TEST(ResourceImages, EachIsFoundInItsFormatAndDecodesToItsSize) {
    platform::SetResourceFolder("");
    const std::string folder = platform::ResourceFolder();
    const struct {
        int id;
        const char* file;
        std::string magic;
        int width, height;
    } expected[] = {
        {106, "106.bmp", "BM", 96, 16},
        {129, "129.gif", "GIF89a", 177, 137},
        {130, "130.png", "\x89PNG", 700, 18},
        {131, "131.jpg", "\xFF\xD8\xFF", 256, 16},
        {132, "132.jpg", "\xFF\xD8\xFF", 16, 256},
        {136, "136.jpg", "\xFF\xD8\xFF", 143, 143},
    };
    for (const auto& resource : expected) {
        EXPECT_EQ(FirstBytes(folder + "/" + resource.file, resource.magic.size()), resource.magic) << resource.file;
        const auto image = Decoded(resource.id);
        ASSERT_TRUE(image) << resource.file;
        EXPECT_EQ(image->Width(), resource.width) << resource.file;
        EXPECT_EQ(image->Height(), resource.height) << resource.file;
    }
}

TEST(ResourceImages, LosslessOnesHoldWhatTheGeneratorDrawsToday) {
    ExpectSamePixels(*MakeToolStrip(), *Decoded(kToolStripId), "130.png");
    ExpectSamePixels(*MakeBrushSheet(), *Decoded(kBrushSheetId), "129.gif");
    ExpectSamePixels(*MakeCommandBarImages(), *Decoded(kCommandBarImagesId), "106.bmp");
}

// Tiles of the tools whose buttons get the several-tools mark in their corner.
const int kMarkedTiles[] = {3, 34, 36, 4, 2, 24, 25, 23, 19, 1, 6, 7, 8, 9, 13, 37, 38,
                            26, 27, 28, 32, 33, 35, 30, 31, 20, 21, 22};
const int kOtherTiles[] = {5, 14, 15, 16, 17, 18};
const int kUnusedTiles[] = {11, 12, 29, 39, 40};

// Opaque pixels of a tile's own 17 x 17 square (tile 11 starts after the swatch tile's
// eighteenth column).
int OpaqueCount(const PixelBuffer& strip, int tile) {
    const int first = tile == kSwatchTile + 1 ? 1 : 0;
    int count = 0;
    for (int y = 0; y < kToolTileSize; ++y) {
        for (int x = first; x < kToolTileSize; ++x) count += !IsMagenta(At(strip, tile * kToolTileSize + x, y));
    }
    return count;
}

TEST(ToolStrip, EveryToolHasItsOwnIconOnMagentaAndUnusedTilesAreEmpty) {
    const auto strip = Decoded(kToolStripId);
    ASSERT_TRUE(strip);
    std::set<std::string> seen;
    auto expectIcon = [&](int tile) {
        EXPECT_GE(OpaqueCount(*strip, tile), 25) << "tile " << tile;
        std::string pixels;
        for (int y = 0; y < kToolTileSize; ++y) {
            const std::uint8_t* row = strip->Row(y) + 3 * tile * kToolTileSize;
            pixels.append(reinterpret_cast<const char*>(row), 3 * kToolTileSize);
        }
        EXPECT_TRUE(seen.insert(pixels).second) << "tile " << tile << " repeats another";
        // The tile's corners show the button under it.
        EXPECT_TRUE(IsMagenta(At(*strip, tile * kToolTileSize, 16)) || IsMagenta(At(*strip, tile * kToolTileSize, 0)))
            << "tile " << tile;
    };
    for (int tile : kMarkedTiles) expectIcon(tile);
    for (int tile : kOtherTiles) expectIcon(tile);
    for (int tile : kUnusedTiles) EXPECT_EQ(OpaqueCount(*strip, tile), 0) << "tile " << tile;
    // Only the swatch tile reaches the bottom row; the strip ends in magenta past tile 40.
    for (int x = 0; x < kToolStripWidth; ++x) {
        if (x < kSwatchTile * kToolTileSize || x >= kSwatchTile * kToolTileSize + kSwatchTileSize) {
            EXPECT_TRUE(IsMagenta(At(*strip, x, 17))) << "x " << x;
        }
    }
    for (int x = 41 * kToolTileSize; x < kToolStripWidth; ++x) EXPECT_TRUE(IsMagenta(At(*strip, x, 0)));
}

TEST(ToolStrip, TheSeveralToolsMarkHasTheCornerToItself) {
    const auto strip = Decoded(kToolStripId);
    ASSERT_TRUE(strip);
    // The mark is a small triangle in the bottom-right corner of tile 0 and nothing else.
    int mark = 0;
    for (int y = 0; y < kToolTileSize; ++y) {
        for (int x = 0; x < kToolTileSize; ++x) {
            const bool inked = !IsMagenta(At(*strip, x, y));
            mark += inked;
            if (inked) {
                EXPECT_GE(x + y, 29) << x << ", " << y;
            }
        }
    }
    EXPECT_GE(mark, 6);
    // The icons it is drawn over keep a pixel of space around it.
    for (int tile : kMarkedTiles) {
        for (int y = 0; y < kToolTileSize; ++y) {
            for (int x = 0; x < kToolTileSize; ++x) {
                if (x + y >= 28) {
                    EXPECT_TRUE(IsMagenta(At(*strip, tile * kToolTileSize + x, y))) << tile << ": " << x << ", " << y;
                }
            }
        }
    }
}

TEST(ToolStrip, SwatchTileLeavesTheColourSquaresToTheSwatchAndMarksItsCorners) {
    const auto strip = Decoded(kToolStripId);
    ASSERT_TRUE(strip);
    const int left = kSwatchTile * kToolTileSize;
    // The squares drawn over the tile: the foreground one covers columns 1..9, rows 1..10,
    // the background one columns 6..14, rows 7..16. The tile keeps out of them.
    for (int y = 1; y <= 16; ++y) {
        for (int x = 1; x <= 14; ++x) {
            const bool foreground = x <= 9 && y <= 10;
            const bool background = x >= 6 && y >= 7;
            if (foreground || background) {
                EXPECT_TRUE(IsMagenta(At(*strip, left + x, y))) << x << ", " << y;
            }
        }
    }
    // Something to see where a tap swaps the colours (top right) and resets them (bottom left).
    int swap = 0, reset = 0;
    for (int y = 0; y <= 5; ++y) {
        for (int x = 10; x <= 17; ++x) swap += !IsMagenta(At(*strip, left + x, y));
    }
    for (int y = 11; y <= 17; ++y) {
        for (int x = 0; x <= 3; ++x) reset += !IsMagenta(At(*strip, left + x, y));
    }
    EXPECT_GE(swap, 6);
    EXPECT_GE(reset, 6);
}

// What one dab of the brush engine paints on white, in a cell centred on (8, 8).
std::set<std::pair<int, int>> EngineFootprint(int shape, int size) {
    raster::BitmapInfo header;
    auto cell = CreatePixelBuffer(kBrushCellSize, kBrushCellSize, 24, header, nullptr);
    std::fill(cell->Bits(), cell->Bits() + cell->ByteSize(), 0xFF);
    BrushInk ink;
    ink.size = size;
    ink.colour = raster::MakeColour(0, 0, 0);
    BrushDabWith(ink, shape, cell.get(), cell.get(), 8, 8, 0.0f, 0.0f);
    std::set<std::pair<int, int>> footprint;
    for (int y = 0; y < kBrushCellSize; ++y) {
        for (int x = 0; x < kBrushCellSize; ++x) {
            if (!IsWhite(At(*cell, x, y))) footprint.insert({x, y});
        }
    }
    return footprint;
}

std::set<std::pair<int, int>> SheetCell(const PixelBuffer& sheet, int column, int row) {
    std::set<std::pair<int, int>> inked;
    for (int y = 0; y < kBrushCellSize; ++y) {
        for (int x = 0; x < kBrushCellSize; ++x) {
            if (!IsWhite(At(sheet, column * kBrushCellPitch + x, row * kBrushCellPitch + y))) inked.insert({x, y});
        }
    }
    return inked;
}

TEST(BrushSheet, EveryCellShowsTheFootprintTheEnginePaints) {
    const auto sheet = Decoded(kBrushSheetId);
    ASSERT_TRUE(sheet);
    for (int row = 0; row < 7; ++row) {
        for (int column = 1; column < 9; ++column) {
            EXPECT_EQ(SheetCell(*sheet, column, row), EngineFootprint(row, 2 * column + 1))
                << "shape " << row << " size " << 2 * column + 1;
        }
    }
    EXPECT_EQ(SheetCell(*sheet, 0, 0), (std::set<std::pair<int, int>>{{8, 8}}));
    // Shape 0 at size 3 is the five-pixel cross; shape 2 at size 3 the centre column.
    EXPECT_EQ(SheetCell(*sheet, 1, 0), (std::set<std::pair<int, int>>{{8, 7}, {7, 8}, {8, 8}, {9, 8}, {8, 9}}));
    EXPECT_EQ(SheetCell(*sheet, 1, 2), (std::set<std::pair<int, int>>{{8, 7}, {8, 8}, {8, 9}}));
    // The hard brushes are solid black; the soft one is darkest in the middle.
    EXPECT_EQ(At(*sheet, 8 * kBrushCellPitch + 8, 8).r, 0);
    const Rgb middle = At(*sheet, 8 * kBrushCellPitch + 8, 2 * kBrushCellPitch + 8);
    const Rgb rim = At(*sheet, 8 * kBrushCellPitch + 8, 2 * kBrushCellPitch + 1);
    EXPECT_LT(middle.r, rim.r);
    EXPECT_LT(rim.r, 255);
}

TEST(BrushSheet, SprayCellsScatterDotsWithinTheSpraysReachAndTheGapsStayWhite) {
    const auto sheet = Decoded(kBrushSheetId);
    ASSERT_TRUE(sheet);
    for (int row = 1; row < 7; ++row) {
        const int size = 2 * row + 5;
        const int r = size / 2;
        const auto dots = SheetCell(*sheet, 0, row);
        EXPECT_GE(static_cast<int>(dots.size()), size) << "size " << size;
        for (const auto& [x, y] : dots) {
            const int dy = y - 8;
            const int dx = x - 8;
            ASSERT_LE(std::abs(dy), r) << "size " << size;
            ASSERT_LE(std::abs(dx), RoundHalfWidth[r * r - dy * dy]) << "size " << size;
        }
    }
    for (int y = 0; y < kBrushSheetHeight; ++y) {
        for (int x = 0; x < kBrushSheetWidth; ++x) {
            if (x % kBrushCellPitch >= kBrushCellSize || y % kBrushCellPitch >= kBrushCellSize) {
                ASSERT_TRUE(IsWhite(At(*sheet, x, y))) << x << ", " << y;
            }
        }
    }
}

TEST(SpectrumStrips, HueRunsOnceAroundFromLightToDark) {
    const auto across = Decoded(kSpectrumAcrossId);
    const auto down = Decoded(kSpectrumDownId);
    ASSERT_TRUE(across && down);
    // Red at both ends of the pure rows, the hue climbing in between.
    for (int x : {0, 255}) {
        const Rgb red = At(*across, x, 7);
        EXPECT_GT(red.r, 220);
        EXPECT_LT(std::max(red.g, red.b), 50);
    }
    double previous = -1;
    for (int x = 8; x <= 240; x += 16) {
        const double hue = HueOf(At(*across, x, 8));
        EXPECT_NEAR(hue, x * 360.0 / 255, 12) << "x " << x;
        EXPECT_GT(hue, previous) << "x " << x;
        previous = hue;
    }
    for (int x = 0; x < 256; x += 15) {
        const Rgb light = At(*across, x, 0);
        const Rgb pure = At(*across, x, 7);
        const Rgb dark = At(*across, x, 15);
        EXPECT_GT(std::min({light.r, light.g, light.b}), 200) << "x " << x;
        EXPECT_GT(std::max({pure.r, pure.g, pure.b}) - std::min({pure.r, pure.g, pure.b}), 200) << "x " << x;
        EXPECT_LT(std::max({dark.r, dark.g, dark.b}), 90) << "x " << x;
        EXPECT_GT(std::max({dark.r, dark.g, dark.b}), 40) << "x " << x;
    }
    // The vertical strip is the same picture turned clockwise: red at the top and bottom,
    // the light tint at the right, the dark shade at the left.
    for (int y = 0; y < 256; y += 5) {
        for (int x = 0; x < 16; x += 3) {
            const Rgb turned = At(*down, x, y);
            const Rgb original = At(*across, y, 15 - x);
            EXPECT_NEAR(turned.r, original.r, 24) << x << ", " << y;
            EXPECT_NEAR(turned.g, original.g, 24) << x << ", " << y;
            EXPECT_NEAR(turned.b, original.b, 24) << x << ", " << y;
        }
    }
}

TEST(ColourField, GreyRampOnTopThenHuesFromWhiteToNearlyBlack) {
    const auto field = Decoded(kColourFieldId);
    ASSERT_TRUE(field);
    for (int x = 0; x < kColourFieldSize; x += 6) {
        const Rgb grey = At(*field, x, 3);
        const int expected = x * 255 / 142;
        EXPECT_NEAR(grey.r, expected, 10) << "x " << x;
        EXPECT_NEAR(grey.g, expected, 10) << "x " << x;
        EXPECT_NEAR(grey.b, expected, 10) << "x " << x;
    }
    double previous = -1;
    for (int x = 5; x < 140; x += 9) {
        const Rgb pure = At(*field, x, 72);
        EXPECT_GT(std::max({pure.r, pure.g, pure.b}) - std::min({pure.r, pure.g, pure.b}), 200) << "x " << x;
        const double hue = HueOf(pure);
        EXPECT_GT(hue, previous) << "x " << x;
        previous = hue;
        const Rgb top = At(*field, x, 9);
        EXPECT_GT(std::min({top.r, top.g, top.b}), 215) << "x " << x;
        const Rgb bottom = At(*field, x, 142);
        EXPECT_LT(std::max({bottom.r, bottom.g, bottom.b}), 30) << "x " << x;
    }
    const Rgb left = At(*field, 0, 72), right = At(*field, 142, 72);
    EXPECT_GT(left.r, 220);
    EXPECT_GT(right.r, 220);
    EXPECT_LT(std::max(left.g, left.b), 50);
    EXPECT_LT(std::max(right.g, right.b), 50);
}

TEST(CommandBarImages, UndoAndTheThreeSelectionModesOnMagenta) {
    const auto strip = Decoded(kCommandBarImagesId);
    ASSERT_TRUE(strip);
    std::set<std::string> seen;
    for (int image = 0; image < kCommandImageCount; ++image) {
        int inked = 0;
        std::string pixels;
        for (int y = 0; y < kCommandImageSize; ++y) {
            for (int x = 0; x < kCommandImageSize; ++x) inked += !IsMagenta(At(*strip, image * kCommandImageSize + x, y));
            const std::uint8_t* row = strip->Row(y) + 3 * image * kCommandImageSize;
            pixels.append(reinterpret_cast<const char*>(row), 3 * kCommandImageSize);
        }
        if (image < 2) {
            EXPECT_EQ(inked, 0) << "image " << image;
        } else {
            EXPECT_GE(inked, 30) << "image " << image;
            EXPECT_TRUE(seen.insert(pixels).second) << "image " << image;
        }
    }
}

}  // namespace
