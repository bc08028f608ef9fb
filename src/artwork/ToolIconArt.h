// The tool icons as pixel art: one character per pixel, "." for the transparent magenta,
// the other characters named in ToolIcons.cpp's palette.
#pragma once

#include <memory>

#include "image/PixelBuffer.h"

struct ToolIconArt {
    int tile;
    // 17 rows of 17 characters; the swatch tile has 18 rows of 18.
    const char* rows[18];
};

extern const ToolIconArt kToolIconArt[];
extern const int kToolIconArtCount;

// Paints size rows of size characters at (left, top); "." leaves the pixel as it is.
// False when a row has the wrong length or a character is not in the palette.
bool PaintPixelArt(PixelBuffer& image, int left, int top, const char* const* rows, int size);

// A picture of the given size filled with the transparent magenta; null when memory is short.
std::unique_ptr<PixelBuffer> MagentaPicture(int width, int height);
