// The program's own resource images, drawn in code by the resource generator. Each
// function returns a 24-bit buffer, or null when memory is short.
#pragma once

#include <memory>

#include "image/PixelBuffer.h"

// The resource numbers the program decodes them by (files "<id>.<format>").
constexpr int kCommandBarImagesId = 106;
constexpr int kBrushSheetId = 129;
constexpr int kToolStripId = 130;
constexpr int kSpectrumAcrossId = 131;
constexpr int kSpectrumDownId = 132;
constexpr int kColourFieldId = 136;

// The tool icon strip: 700 x 18, 17 x 17 tiles at x = 17 k (the swatch tile 10 is 18 x 18)
// on magenta, which the tool bar leaves out.
constexpr int kToolStripWidth = 700;
constexpr int kToolStripHeight = 18;
constexpr int kToolTileSize = 17;
constexpr int kSwatchTile = 10;
constexpr int kSwatchTileSize = 18;
std::unique_ptr<PixelBuffer> MakeToolStrip();

// The brush sheet: 177 x 137, white, 17 x 17 cells on a 20-pixel pitch; cell (c, r) holds
// what the brush engine paints with shape r and size 2c + 1 (a hard dab in black; the soft
// shape 2 as its reach in light grey under three soft dabs), and column 0 the one-pixel
// brush (row 0) and two dabs of the spray of size 2r + 5 (rows 1 to 6).
constexpr int kBrushSheetWidth = 177;
constexpr int kBrushSheetHeight = 137;
constexpr int kBrushCellPitch = 20;
constexpr int kBrushCellSize = 17;
std::unique_ptr<PixelBuffer> MakeBrushSheet();

// The hue strips of the spectrum colour bar: 256 x 16 with the hue running left to right,
// light at the top and dark at the bottom; and the same turned a quarter turn clockwise.
std::unique_ptr<PixelBuffer> MakeSpectrumStrip(bool vertical);

// The colour picker's 143 x 143 field: a grey ramp in rows 0 to 7, then the hue across
// and white to the pure hue (row 72) to nearly black downwards.
constexpr int kColourFieldSize = 143;
std::unique_ptr<PixelBuffer> MakeColourField();

// The command bar's six 16 x 16 images side by side on magenta, which the bar leaves out:
// 0 and 1 blank, 2 replace (a selection square), 3 add, 4 subtract, 5 undo.
constexpr int kCommandImageSize = 16;
constexpr int kCommandImageCount = 6;
std::unique_ptr<PixelBuffer> MakeCommandBarImages();
