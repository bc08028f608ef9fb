// Draws the texture images the program ships (grey, 128 x 128, seamless when tiled) and
// writes them with the program's own PNG writer: pixelwright-make-textures FOLDER.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include "files/PngWriter.h"
#include "image/PixelBuffer.h"

namespace {

constexpr int kSize = 128;
constexpr double kTau = 6.283185307179586;

// A small generator of our own, so the images come out the same on every machine.
class Random {
public:
    explicit Random(std::uint32_t seed) : state_(seed) {}
    std::uint32_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    double Unit() { return (Next() & 0xFFFFFF) / 16777216.0; }

private:
    std::uint32_t state_;
};

int Clamp(double v) { return v < 0 ? 0 : (v > 255 ? 255 : static_cast<int>(v)); }

// Smooth noise on a lattice of cells x cells that wraps around, so the tile has no seams.
class TileNoise {
public:
    TileNoise(int cells, std::uint32_t seed) : cells_(cells), values_(new double[cells * cells]) {
        Random random(seed);
        for (int i = 0; i < cells * cells; ++i) values_[i] = random.Unit();
    }
    double At(double x, double y) const {
        const double fx = x * cells_ / kSize;
        const double fy = y * cells_ / kSize;
        const int x0 = static_cast<int>(std::floor(fx));
        const int y0 = static_cast<int>(std::floor(fy));
        const double tx = Smooth(fx - x0);
        const double ty = Smooth(fy - y0);
        const double a = Value(x0, y0), b = Value(x0 + 1, y0), c = Value(x0, y0 + 1), d = Value(x0 + 1, y0 + 1);
        return (a + (b - a) * tx) * (1 - ty) + (c + (d - c) * tx) * ty;
    }

private:
    static double Smooth(double t) { return t * t * (3 - 2 * t); }
    double Value(int x, int y) const {
        x = ((x % cells_) + cells_) % cells_;
        y = ((y % cells_) + cells_) % cells_;
        return values_[y * cells_ + x];
    }
    int cells_;
    std::unique_ptr<double[]> values_;
};

double Brick(int x, int y, Random& random) {
    static const TileNoise grain(32, 7);
    const int row = y / 16;
    const int bx = (x + (row % 2) * 16) % 32;
    const int by = y % 16;
    const bool mortar = by < 2 || bx < 2;
    const double g = grain.At(x, y) * 40 + random.Unit() * 12;
    return mortar ? 70 + g * 0.5 : 150 + g;
}

double Canvas(int x, int y, Random& random) {
    // Threads four pixels wide cross over and under each other.
    const bool over = ((x / 4) + (y / 4)) % 2 == 0;
    const double along = over ? std::sin(kTau * (y % 4 + 0.5) / 8) : std::sin(kTau * (x % 4 + 0.5) / 8);
    return 95 + 90 * along + random.Unit() * 20;
}

double Cells(int x, int y, Random&) {
    // The distance to the nearest of a few points, measured across the tile's edges too.
    static const struct Points {
        double x[24], y[24];
        Points() {
            Random random(99);
            for (int i = 0; i < 24; ++i) {
                x[i] = random.Unit() * kSize;
                y[i] = random.Unit() * kSize;
            }
        }
    } points;
    double nearest = 1e9, second = 1e9;
    for (int i = 0; i < 24; ++i) {
        double dx = std::fabs(x - points.x[i]);
        double dy = std::fabs(y - points.y[i]);
        dx = std::fmin(dx, kSize - dx);
        dy = std::fmin(dy, kSize - dy);
        const double d = std::sqrt(dx * dx + dy * dy);
        if (d < nearest) {
            second = nearest;
            nearest = d;
        } else if (d < second) {
            second = d;
        }
    }
    return 40 + std::fmin(215.0, (second - nearest) * 9);
}

double Ripples(int x, int y, Random&) {
    const double bend = 0.5 * std::sin(kTau * y / kSize * 2);
    return 128 + 110 * std::sin(kTau * (x / 32.0 + bend + y / 64.0));
}

double Sand(int x, int y, Random& random) {
    static const TileNoise coarse(8, 3);
    static const TileNoise fine(32, 5);
    return 60 + coarse.At(x, y) * 90 + fine.At(x, y) * 60 + random.Unit() * 45;
}

bool WriteTexture(const std::string& folder, const char* name, double (*grey)(int, int, Random&),
                  std::uint32_t seed) {
    raster::BitmapInfo header;
    std::unique_ptr<PixelBuffer> image = CreatePixelBuffer(kSize, kSize, 24, header, nullptr);
    if (!image) return false;
    std::memset(image->Bits(), 0, image->ByteSize());
    Random random(seed);
    for (int y = 0; y < kSize; ++y) {
        std::uint8_t* row = image->Row(y);
        for (int x = 0; x < kSize; ++x) {
            const auto v = static_cast<std::uint8_t>(Clamp(grey(x, y, random)));
            row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = v;
        }
    }
    return WritePng(image.get(), folder + "/" + name) == 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: pixelwright-make-textures FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    const bool written = WriteTexture(folder, "Bricks.png", Brick, 11) && WriteTexture(folder, "Canvas.png", Canvas, 12) &&
                         WriteTexture(folder, "Cells.png", Cells, 13) &&
                         WriteTexture(folder, "Ripples.png", Ripples, 14) && WriteTexture(folder, "Sand.png", Sand, 15);
    return written ? 0 : 1;
}
