// Flips and rotations of the image or of the floating piece (which carries its mask along).
#pragma once

#include "image/PixelBuffer.h"
#include "platform/raster/Bitmap.h"

// Pixel kernels. They work on 24-bit images and 8-bit masks alike.

// Mirrors every row in place; the middle column of an odd width stays.
void FlipPixelsHorizontal(PixelBuffer& buffer);
// Mirrors the rows top to bottom in place; the middle row of an odd height stays.
void FlipPixelsVertical(PixelBuffer& buffer);
// source is w x h, target h x w of the same depth. Clockwise: source (x, y) goes to
// (h - 1 - y, x); counter-clockwise to (y, w - 1 - x).
void RotatePixels90(const PixelBuffer& source, PixelBuffer& target, bool clockwise);

// Where a rotation by an arbitrary angle puts the picture: the rounded cosine and sine, the
// source's half size and the bounding box of the turned corners.
struct RotationFrame {
    float c = 1.0f;
    float s = 0.0f;
    int sourceWidth = 0;
    int sourceHeight = 0;
    int hw = 0;
    int hh = 0;
    int minX = 0;
    int minY = 0;
    int width = 0;  // the new size, at least 1 x 1
    int height = 0;
};

// angle in degrees, positive = clockwise on the screen.
RotationFrame ComputeRotationFrame(float angle, int sourceWidth, int sourceHeight);

// Fills target (frame.width x frame.height) by nearest-neighbour inverse mapping; pixels that
// fall outside the source get the background colour (0x00BBGGRR). With both masks given,
// the target mask gets the source mask bytes, 0 outside. False when there is no memory for
// the kernel's column tables.
bool RotatePixelsArbitrary(const PixelBuffer& source, PixelBuffer& target, const RotationFrame& frame,
                           raster::Colour background, const PixelBuffer* sourceMask, PixelBuffer* targetMask);

// The commands, on the target chosen by the tool rule (the piece while one is on the canvas,
// else the image). Each returns 1 when it ran, 0 when there was nothing to work on or the
// new buffer could not be made (the old target then stays, and the out-of-memory message
// has been shown).
int FlipHorizontal();
int FlipVertical();
int Rotate90(bool clockwise);
int RotateArbitrary(float angle);
