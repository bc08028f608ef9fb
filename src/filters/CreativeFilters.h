// The Creative filters: texture, mosaic and oil paint.
#pragma once

#include <string>

#include "image/PixelBuffer.h"

// Pixel kernels.

// Lightens or darkens every target pixel by the grey of the texture tiled from the target's
// top-right corner, minus level, wrapped to a signed byte; level 0 takes the middle of the
// texture's grey range. False when the texture is not 24-bit or memory is short.
bool ApplyTexture(PixelBuffer& target, const PixelBuffer& texture, int level);
// Replaces each cellSize x cellSize cell, laid from the top-right corner, by its average.
void MosaicPixels(PixelBuffer& target, int cellSize);
// Each channel of each target pixel becomes the most frequent value of that channel in the
// 7 x 7 source neighbourhood (inside the picture); the smallest value wins a tie.
void OilpaintPixels(const PixelBuffer& source, PixelBuffer& target);

// The filters on the target of the tool rule (Texture on the one it is given). 1 when they
// ran, 0 without a target or (Texture) when the file cannot be decoded.
int Texture(PixelBuffer* target, const std::string& path, int level);
int Mosaic(int cellSize);
int Oilpaint();
