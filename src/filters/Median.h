// The 3 x 3 median shared by Despeckle and the Healing Brush.
#pragma once

#include <cstdint>

// The fifth smallest of nine values, by a fixed network of minima and maxima.
int MedianOf9(int a0, int a1, int a2, int a3, int a4, int a5, int a6, int a7, int a8);

// Each channel of the target pixel (x, y) becomes the median of that channel over the 3 x 3
// source block centred on (x, y). Both buffers are 24-bit, bottom-up, of the given size and
// stride; the caller keeps 1 <= x <= width - 2 and 1 <= y <= height - 2.
void Median3x3At(const std::uint8_t* sourcePixels, std::uint8_t* targetPixels, int width, int height, int stride,
                 int x, int y);
