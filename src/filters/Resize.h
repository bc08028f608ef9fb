// Resampling the image or the floating piece to a new size, or cropping and extending its canvas.
#pragma once

#include "image/PixelBuffer.h"

// Resampling modes of ResizePixels.
constexpr int kResampleNearest = 0;       // "Nearest Neighbor"
constexpr int kResampleInterpolated = 1;  // "Interpolated": box averages while the width shrinks

// The largest width or height an image may be given.
constexpr int kMaxImageSide = 32000;

// Pixel kernels. The target has the new size; its pixels that no source pixel reaches keep
// what they hold (the background colour in a fresh buffer).

// Scales source onto target. Interpolated mode on a 24-bit source that gets narrower averages
// boxes of source pixels; otherwise, and for 8-bit masks always, each target pixel is the
// source pixel at (trunc(i * sw / nw), trunc(j * sh / nh)). False when the depths differ or
// there is no memory for the kernel's tables.
bool ResamplePixels(const PixelBuffer& source, PixelBuffer& target, int mode);
// Copies the source unscaled to the target's top-left corner, as far as it fits.
void CropExtendPixels(const PixelBuffer& source, PixelBuffer& target);

// Resizes the target of the tool rule to newWidth x newHeight from its source (the undo
// copy): resample = 1 scales with the mode, 0 crops or extends. A size below 1 or above
// 32000 changes nothing and gives 0; so does a new buffer that cannot be made (after the
// out-of-memory message). 1 when done.
int ResizePixels(int newWidth, int newHeight, int mode, int resample);
