// The blurs and sharpenings: one 3 x 3 convolution run with fixed kernels, and the box-mean
// based Unsharp Mask.
#pragma once

#include <cstdint>

#include "image/PixelBuffer.h"

// Nine weights row by row from the top, each row from the left, and a divisor; divisor 0
// leaves the sums undivided.
struct ConvolutionKernel {
    std::int8_t weights[9];
    std::int8_t divisor;
};

inline constexpr ConvolutionKernel kLowGaussianBlur = {{0, 1, 0, 1, 1, 1, 0, 1, 0}, 5};
inline constexpr ConvolutionKernel kMediumGaussianBlur = {{1, 2, 1, 2, 4, 2, 1, 2, 1}, 16};
inline constexpr ConvolutionKernel kStrongGaussianBlur = {{1, 1, 1, 1, 2, 1, 1, 1, 1}, 10};
inline constexpr ConvolutionKernel kAverageBlur = {{1, 1, 1, 1, 1, 1, 1, 1, 1}, 9};
inline constexpr ConvolutionKernel kLowSharpen = {{-1, -1, -1, -1, 16, -1, -1, -1, -1}, 8};
inline constexpr ConvolutionKernel kMediumSharpen = {{0, -1, 0, -1, 5, -1, 0, -1, 0}, 1};
inline constexpr ConvolutionKernel kStrongSharpen = {{-1, -1, -1, -1, 9, -1, -1, -1, -1}, 1};
inline constexpr ConvolutionKernel kContourKernel = {{1, 1, 1, 1, -8, 1, 1, 1, 1}, 0};

// Every target pixel becomes the kernel's weighted sum over the 3 x 3 source block around it
// (border pixels repeated outwards), divided, clamped to 0 ... 255. 1, or 0 when a buffer is
// missing or the two differ in size.
int Convolve3x3(const PixelBuffer* source, PixelBuffer* target, const ConvolutionKernel& kernel);

// Pushes every pixel away from the mean of its (2 radius + 1)^2 block by amount / 20 times the
// difference. Pumps once per row; 1 when finished, 0 when stopped or without buffers.
int UnsharpMask(const PixelBuffer* source, PixelBuffer* target, int amount, int radius);
// The same on the filter target, from the filter source.
int UnsharpMask(int amount, int radius);
