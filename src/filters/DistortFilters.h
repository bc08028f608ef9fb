// The Distort filters: offset, sphere, swirl and waves. Each maps every target pixel back to
// the source pixel it shows, with the integer sine, arc tangent and square root.
#pragma once

#include <memory>

#include "image/PixelBuffer.h"

// Pixel kernels: source and target of one size.

// Moves the picture horizontal pixels left and vertical pixels up, wrapping around the edges.
void OffsetPixels(const PixelBuffer& source, PixelBuffer& target, int horizontal, int vertical);
// Bulges (amount > 0) or pinches (amount < 0) the circle of radius min(w, h) / 2 at the
// centre. Nothing changes for amount 0 or a picture under 2 pixels wide or high.
// Returns false when nothing was done.
bool SpherePixels(const PixelBuffer& source, PixelBuffer& target, int amount);
// The swirl turns rotations full turns plus degrees at the centre, falling linearly to none
// at the radius min(w / 2, h / 2) and turning the other way beyond it. Pixels whose source
// lies outside the picture keep their value. The plan holds what every row shares; it is
// empty (radius 0) for a picture under 2 pixels wide or high, which the swirl leaves alone,
// and when there is no memory for its table.
struct SwirlPlan {
    int twist = 0;  // the total twist in radians x 1024
    int radius = 0;
    int cx = 0;
    int cy = 0;
    std::unique_ptr<int[]> twistAt;  // the twist at each distance from the centre
    int farthest = 0;                // the largest distance in the picture
};
SwirlPlan MakeSwirlPlan(int width, int height, int rotations, int degrees);
void SwirlRow(const PixelBuffer& source, PixelBuffer& target, const SwirlPlan& plan, int y);
// Shifts each row sideways by a sine of its position and each column up or down by a
// cosine of its position; horizontal and vertical set the wave lengths, amplitude scales both.
// False when there is no memory for the shift tables.
bool WavesPixels(const PixelBuffer& source, PixelBuffer& target, int horizontal, int vertical, int amplitude);

// The filters on the target and source of the tool rule. 1 when they ran to the end, 0
// without a source, when stopped (Swirl pumps events once per row), or when they had
// nothing to do (Sphere with amount 0, Sphere and Swirl on a target under 2 pixels wide or
// high, which they leave unchanged).
int Offset(int horizontal, int vertical);
int Sphere(int amount);
int Swirl(int rotations, int degrees);
int Waves(int horizontal, int vertical, int amplitude);
