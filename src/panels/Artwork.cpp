#include "panels/Artwork.h"

#include <algorithm>
#include <cmath>

namespace {

struct Point {
    double x, y;
};

struct Rgba {
    double r, g, b, a;
};

Rgba Colour(int r, int g, int b) { return {r / 255.0, g / 255.0, b / 255.0, 1.0}; }

// The icon's shapes in a unit square, y downwards, each with its signed distance (negative
// inside) and its colour at a point.
struct Shape {
    enum Kind { RoundedBox, Capsule } kind;
    Point a, b;     // box: the corners; capsule: the ends of its middle line
    double radius;  // box: the corner radius; capsule: half its thickness
    Rgba top;       // the colour at the top, shading to bottom down the shape (boxes)
    Rgba bottom;
};

double Distance(const Shape& s, Point p) {
    if (s.kind == Shape::RoundedBox) {
        const double cx = (s.a.x + s.b.x) / 2;
        const double cy = (s.a.y + s.b.y) / 2;
        const double qx = std::fabs(p.x - cx) - ((s.b.x - s.a.x) / 2 - s.radius);
        const double qy = std::fabs(p.y - cy) - ((s.b.y - s.a.y) / 2 - s.radius);
        const double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
        return outside + std::min(std::max(qx, qy), 0.0) - s.radius;
    }
    const double dx = s.b.x - s.a.x;
    const double dy = s.b.y - s.a.y;
    const double t = std::clamp(((p.x - s.a.x) * dx + (p.y - s.a.y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    return std::hypot(p.x - (s.a.x + t * dx), p.y - (s.a.y + t * dy)) - s.radius;
}

Rgba ColourAt(const Shape& s, Point p) {
    if (s.kind == Shape::Capsule) return s.top;
    const double t = std::clamp((p.y - s.a.y) / (s.b.y - s.a.y), 0.0, 1.0);
    return {s.top.r + (s.bottom.r - s.top.r) * t, s.top.g + (s.bottom.g - s.top.g) * t,
            s.top.b + (s.bottom.b - s.top.b) * t, 1.0};
}

Shape Box(Point a, Point b, double radius, Rgba top, Rgba bottom) { return {Shape::RoundedBox, a, b, radius, top, bottom}; }
Shape Line(Point a, Point b, double radius, Rgba colour) { return {Shape::Capsule, a, b, radius, colour, colour}; }

// Back to front.
const std::vector<Shape>& IconShapes() {
    static const std::vector<Shape> shapes = {
        // The tile, with a darker rim.
        Box({0.04, 0.04}, {0.96, 0.96}, 0.19, Colour(0x2A, 0x2F, 0x3A), Colour(0x2A, 0x2F, 0x3A)),
        Box({0.07, 0.07}, {0.93, 0.93}, 0.16, Colour(0x4F, 0x5B, 0x70), Colour(0x35, 0x3D, 0x4C)),
        // The canvas with a shadow.
        Box({0.19, 0.21}, {0.83, 0.81}, 0.03, Colour(0x22, 0x26, 0x2E), Colour(0x22, 0x26, 0x2E)),
        Box({0.17, 0.18}, {0.81, 0.78}, 0.03, Colour(0xFF, 0xFF, 0xFF), Colour(0xEE, 0xEE, 0xEA)),
        // Three strokes of paint, as the first icon had them.
        Line({0.27, 0.32}, {0.70, 0.32}, 0.045, Colour(0xE2, 0x3B, 0x3B)),
        Line({0.27, 0.47}, {0.60, 0.47}, 0.045, Colour(0x2E, 0xA6, 0x4E)),
        Line({0.27, 0.62}, {0.50, 0.62}, 0.045, Colour(0x2F, 0x66, 0xD6)),
        // The brush: handle, ferrule and a tip wet with red.
        Line({0.90, 0.90}, {0.64, 0.62}, 0.055, Colour(0x23, 0x1C, 0x16)),
        Line({0.89, 0.89}, {0.645, 0.625}, 0.040, Colour(0xC0, 0x7A, 0x3C)),
        Line({0.64, 0.62}, {0.56, 0.535}, 0.052, Colour(0xC9, 0xCE, 0xD6)),
        Line({0.555, 0.53}, {0.47, 0.44}, 0.034, Colour(0xD9, 0x33, 0x33)),
    };
    return shapes;
}

// The colour of one sample point: the front-most shape that covers it.
Rgba SampleAt(Point p) {
    const std::vector<Shape>& shapes = IconShapes();
    for (auto shape = shapes.rbegin(); shape != shapes.rend(); ++shape) {
        if (Distance(*shape, p) <= 0.0) return ColourAt(*shape, p);
    }
    return {0, 0, 0, 0};
}

std::uint8_t Byte(double v) { return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0)); }

}  // namespace

std::vector<std::uint8_t> DrawProgramIcon(int size) {
    if (size < 1) return {};
    // Each pixel is the average of a grid of samples, so that edges blend at any size.
    constexpr int kGrid = 4;
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(size) * size * 4);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            double r = 0, g = 0, b = 0, a = 0;
            for (int sy = 0; sy < kGrid; ++sy) {
                for (int sx = 0; sx < kGrid; ++sx) {
                    const Point p{(x + (sx + 0.5) / kGrid) / size, (y + (sy + 0.5) / kGrid) / size};
                    const Rgba c = SampleAt(p);
                    r += c.r * c.a;
                    g += c.g * c.a;
                    b += c.b * c.a;
                    a += c.a;
                }
            }
            std::uint8_t* out = &rgba[(static_cast<std::size_t>(y) * size + x) * 4];
            out[0] = Byte(a > 0 ? r / a : 0);
            out[1] = Byte(a > 0 ? g / a : 0);
            out[2] = Byte(a > 0 ? b / a : 0);
            out[3] = Byte(a / (kGrid * kGrid));
        }
    }
    return rgba;
}

std::unique_ptr<raster::Bitmap> MakeProgramIcon() {
    constexpr int kSize = 32;
    raster::BitmapInfo info{};
    info.header.width = kSize;
    info.header.height = kSize;
    info.header.bitCount = 24;
    std::unique_ptr<raster::Bitmap> icon = raster::Bitmap::Create(info);
    if (!icon) return nullptr;
    const std::vector<std::uint8_t> rgba = DrawProgramIcon(kSize);
    for (int y = 0; y < kSize; ++y) {
        std::uint8_t* row = icon->Row(y);
        for (int x = 0; x < kSize; ++x) {
            const std::uint8_t* p = &rgba[(static_cast<std::size_t>(y) * kSize + x) * 4];
            // Over white, the face of the dialogs that show it.
            for (int c = 0; c < 3; ++c) row[3 * x + 2 - c] = static_cast<std::uint8_t>((p[c] * p[3] + 255 * (255 - p[3]) + 127) / 255);
        }
    }
    return icon;
}
