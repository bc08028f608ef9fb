// Edge Detect, Find Contours and Emboss.
#pragma once

#include "image/PixelBuffer.h"

// Per channel, the length of the 3 x 3 vertical and horizontal gradient times 5 / 9, at most
// 255 (border pixels repeated). 1, or 0 without matching buffers.
int EdgeDetect(const PixelBuffer* source, PixelBuffer* target);
int EdgeDetect();

// The contour convolution, then the target inverted: dark lines on white.
int FindContours(const PixelBuffer* source, PixelBuffer* target);

// Light directions of the list "Top Left|Top|Top Right|Left|Right|Bottom Left|Bottom|Bottom Right".
constexpr int kEmbossDirections = 8;

// A grey relief: the lit neighbour minus the opposite one, blended with the red channel by
// trunc(intensity x 2.55) / 255. 1, or 0 without matching buffers or with an unknown direction.
int Emboss(const PixelBuffer* source, PixelBuffer* target, int intensity, int direction);
int Emboss(int intensity, int direction);
