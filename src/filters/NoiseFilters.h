// Despeckle, Add Noise and Jitter. The last two draw from NextNoise, continuing the spray
// can's sequence.
#pragma once

#include "image/PixelBuffer.h"

enum NoiseStyle { kNoiseMonochrome = 0, kNoiseColor = 1 };

// The 3 x 3 median of every pixel that has all eight neighbours; the outermost rows and
// columns of the target are left as they are. 1, or 0 without matching buffers.
int Despeckle(const PixelBuffer* source, PixelBuffer* target);

// Blends every pixel of the target, in place, with uniform noise of trunc(amount x 2.55)
// at most: one random value for all three channels (monochrome) or one each (colour).
// Pumps once per row; 1 when finished, 0 when stopped or without buffers.
int AddNoise(PixelBuffer* target, int style, int amount);
int AddNoise(int style, int amount);

// Every target pixel is the source pixel at a random offset of up to amount pixels in each
// direction (border repeated). Pumps once per row.
int Jitter(const PixelBuffer* source, PixelBuffer* target, int amount);
int Jitter(int amount);
