// Linear and circular gradients over a whole 24-bit bitmap (the image, or a floating piece),
// from a start point to an end point, in three styles and with an opacity.
#pragma once

#include <cstdint>
#include <vector>

#include "image/PixelBuffer.h"
#include "platform/raster/Bitmap.h"

// The gradient kinds (CanvasState.GradientKind).
constexpr int kGradientLinear = 0;
constexpr int kGradientCircular = 1;

// The styles (PaintSettings.Gradient), named by the colours at the start and at the end.
constexpr int kGradientForegroundToBackground = 0;
constexpr int kGradientForegroundToTransparent = 1;
constexpr int kGradientTransparentToForeground = 2;

// What a gradient paints with.
struct GradientInk {
    raster::Colour foreground = 0;
    raster::Colour background = 0xFFFFFF;
    int opacity = 100;  // per cent
    int style = kGradientForegroundToBackground;
};

// The ink of PaintSettings: colours, gradient opacity and style.
GradientInk CurrentGradientInk();

// The position along the gradient of a pixel, 0 at the start to 255 at the end and beyond.
// Linear: the pixel's projection onto the line from (x1, y1) to (x2, y2).
// Circular: its distance from (x1, y1), with (x2, y2) on the rim.
class GradientPositions {
public:
    GradientPositions(int x1, int y1, int x2, int y2, int kind);
    // Positions of the pixels x = 0 ... count - 1 of row y.
    void Row(int y, int count, std::uint8_t* positions) const;

private:
    void LinearRow(int y, int count, std::uint8_t* positions) const;
    void CircularRow(int y, int count, std::uint8_t* positions) const;

    int x1_;
    int y1_;
    long long dx_;
    long long dy_;
    int kind_;
    long long lengthSquared_;
    // Circular: the position of each whole distance inside the rim (the rim and beyond: 255).
    std::vector<std::uint8_t> ofDistance_;
};

// Paints the gradient over the whole bitmap. Nothing happens when the points are equal or the
// bitmap is no 24-bit one.
void DrawGradientWith(const GradientInk& ink, PixelBuffer* bitmap, int x1, int y1, int x2, int y2, int kind);

// The same with the current paint settings.
void DrawGradient(PixelBuffer* bitmap, int x1, int y1, int x2, int y2, int kind);
