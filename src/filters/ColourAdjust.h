// The colour adjustments: point operations where each output pixel depends only on the pixel
// at the same place. Each returns 1, or 0 when a buffer is missing (or the source and target
// differ in size) or a mode is unknown; the versions without buffers act on the filter target,
// reading the filter source.
#pragma once

#include <cstdint>

#include "image/PixelBuffer.h"

// The 256-entry table of ApplyLevels: brightness and contrast (-100 ... 100) when gamma is
// 0.0, otherwise 255 x (i / 255)^(100 / gamma), gamma in hundredths.
void BuildLevelsTable(int brightness, int contrast, float gamma, std::uint8_t table[256]);

// Maps the flagged channels of every pixel through the levels table; the others keep the
// source value.
int ApplyLevels(const PixelBuffer* source, PixelBuffer* target, int brightness, int contrast, float gamma, bool red,
                bool green, bool blue);
int ApplyLevels(int brightness, int contrast, float gamma, bool red, bool green, bool blue);

// Integer hue (degrees 0 ... 360), saturation and luminance (0 ... 100).
struct HslColour {
    int h = 0;
    int s = 0;
    int l = 0;
};
struct RgbColour {
    int r = 0;
    int g = 0;
    int b = 0;
};

HslColour RgbToHsl(int r, int g, int b);
// RgbToHsl without the hue (h is left 0).
HslColour RgbToSatLum(int r, int g, int b);
RgbColour HslToRgb(int h, int s, int l);

// Shifts hue, saturation and luminance of every pixel. Pumps once per row; 1 when finished,
// 0 when stopped or without buffers.
int HueSaturation(const PixelBuffer* source, PixelBuffer* target, float hue, float saturation, float luminance);
int HueSaturation(float hue, float saturation, float luminance);

// Gives every pixel the one hue and shifts its saturation and luminance. Pumps once per row.
int Colorize(const PixelBuffer* source, PixelBuffer* target, float hue, float saturation, float luminance);
int Colorize(float hue, float saturation, float luminance);

// Adds the three amounts (-255 ... 255) to the channels of the target, in place, clamped.
int AdjustRgb(PixelBuffer* target, int red, int green, int blue);
int AdjustRgb(int red, int green, int blue);

// Modes of the list "RGB to Monochrome|RGB to Color|Red Channel|Green Channel|Blue Channel".
enum ThresholdMode {
    kThresholdMonochrome = 0,
    kThresholdColour = 1,
    kThresholdRed = 2,
    kThresholdGreen = 3,
    kThresholdBlue = 4,
};
// Pixels (or channels) below the threshold become 0, the others 255. A single-channel mode
// leaves the other two channels of the target as they are.
int Threshold(const PixelBuffer* source, PixelBuffer* target, int mode, int threshold);
int Threshold(int mode, int threshold);

// The list "Red|Green|Blue": every pixel of the target becomes the grey of that channel, in place.
int SeparateChannel(PixelBuffer* target, int channel);
int SeparateChannel(int channel);

// These change the given buffer in place.
int Invert(PixelBuffer* bitmap);
int Grayscale(PixelBuffer* bitmap);
int Solarize(PixelBuffer* bitmap);
