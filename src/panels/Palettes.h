// The colours a user picks from: the thirty standard colours of the colour bar, the seven
// palettes of the picker popup and the colour table, and the foreground / background
// swatch the tool bar shows.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/raster/Bitmap.h"
#include "platform/raster/Draw.h"

enum PaletteId : int {
    kPaletteSpectrum = 0,
    kPaletteDefault = 1,
    kPaletteVisiBone = 2,
    kPaletteGrayscale = 3,
    kPaletteRed = 4,
    kPaletteGreen = 5,
    kPaletteBlue = 6,
};
constexpr int kPaletteCount = 7;

// The palettes' names in the order of the colour table's list.
inline constexpr const char* kPaletteNames[kPaletteCount] = {"Spectrum", "Default", "VisiBone", "Grayscale",
                                                             "Red",      "Green",   "Blue"};

constexpr int kStandardColourCount = 30;
inline constexpr raster::Colour StandardColours[kStandardColourCount] = {
    raster::MakeColour(0, 0, 0),       raster::MakeColour(255, 255, 255), raster::MakeColour(224, 224, 224),
    raster::MakeColour(192, 192, 192), raster::MakeColour(128, 128, 128), raster::MakeColour(64, 64, 64),
    raster::MakeColour(255, 0, 0),     raster::MakeColour(255, 255, 0),   raster::MakeColour(0, 255, 0),
    raster::MakeColour(0, 255, 255),   raster::MakeColour(0, 0, 255),     raster::MakeColour(255, 0, 255),
    raster::MakeColour(255, 255, 128), raster::MakeColour(0, 255, 128),   raster::MakeColour(128, 255, 255),
    raster::MakeColour(128, 128, 255), raster::MakeColour(255, 0, 128),   raster::MakeColour(255, 128, 64),
    raster::MakeColour(128, 0, 0),     raster::MakeColour(128, 128, 0),   raster::MakeColour(0, 128, 0),
    raster::MakeColour(0, 128, 128),   raster::MakeColour(0, 0, 128),     raster::MakeColour(128, 0, 128),
    raster::MakeColour(128, 128, 64),  raster::MakeColour(0, 64, 64),     raster::MakeColour(0, 128, 255),
    raster::MakeColour(0, 64, 128),    raster::MakeColour(128, 0, 255),   raster::MakeColour(128, 64, 0),
};

// Stored red, green, blue.
extern const std::uint8_t VisiBonePalette[256][3];

// The program's image resources.
constexpr int kResourceBrushSheet = 129;
constexpr int kResourceToolStrip = 130;
constexpr int kResourceSpectrumAcross = 131;
constexpr int kResourceSpectrumDown = 132;
constexpr int kResourceColourField = 136;

// A resource image in a drawing context of its own; null when it cannot be decoded (the
// caller then draws nothing in its place).
std::unique_ptr<raster::DrawingContext> LoadResourceImage(int id);

// Entry (0 ... 255) of a palette as a colour (red in the low byte); 0 for the spectrum and
// for ids out of range.
raster::Colour PaletteColour(int palette, int entry);

// The palette PaintSettings.Palette names, as a 144 x 144 table at (x, y): the colour field
// for the spectrum, else 8 x 8 cells on a 9-pixel pitch over black.
void DrawPalette(raster::DrawingContext& dc, int x, int y);

// The foreground square over the background square, as the tool bar shows them.
void DrawColourSwatch(raster::DrawingContext& dc);
