// Device-independent bitmaps and memory drawing contexts: the drawing surface every
// part of the program paints on. Plain C++, no toolkit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace raster {

// A colour value 0x00BBGGRR: red in the low byte. Pixel buffers store blue, green, red.
using Colour = std::uint32_t;

constexpr Colour MakeColour(int red, int green, int blue) {
    return static_cast<Colour>((red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16));
}
constexpr int RedOf(Colour c) { return static_cast<int>(c & 0xFF); }
constexpr int GreenOf(Colour c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOf(Colour c) { return static_cast<int>((c >> 16) & 0xFF); }

// Returned by GetPixel for a point outside the bitmap.
constexpr Colour kInvalidColour = 0xFFFFFFFFu;

struct BitmapInfoHeader {
    std::uint32_t size = 40;
    std::int32_t width = 0;
    std::int32_t height = 0;  // positive: rows stored bottom-up
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 24;
    std::uint32_t compression = 0;
    std::uint32_t sizeImage = 0;
    std::int32_t xPelsPerMeter = 0;
    std::int32_t yPelsPerMeter = 0;
    std::uint32_t clrUsed = 0;
    std::uint32_t clrImportant = 0;
};

struct RgbQuad {
    std::uint8_t blue = 0;
    std::uint8_t green = 0;
    std::uint8_t red = 0;
    std::uint8_t reserved = 0;
};

struct BitmapInfo {
    BitmapInfoHeader header;
    RgbQuad colours[256];
};

// Bytes in one stored row: bits rounded up to a multiple of 32, in bytes.
constexpr int StrideFor(int width, int bitsPerPixel) {
    return ((width * bitsPerPixel + 31) & ~31) / 8;
}

// The largest side a bitmap may have; larger requests fail like a shortage of memory.
constexpr int kMaxBitmapSide = 32000;

// A bottom-up bitmap of 24 or 8 bits per pixel. Image row r (0 = top) starts at byte
// (height - 1 - r) * stride.
class Bitmap {
public:
    // Makes a bitmap from a header (and, for 8 bits, its palette). Returns null when the
    // size is not positive, too large, the depth is not 8 or 24, or memory is short.
    // The pixel bytes are left uninitialised; callers fill them.
    static std::unique_ptr<Bitmap> Create(const BitmapInfo& info) noexcept;

    int Width() const { return info_.header.width; }
    int Height() const { return info_.header.height; }
    int BitsPerPixel() const { return info_.header.bitCount; }
    int Stride() const { return stride_; }
    std::size_t ByteSize() const { return static_cast<std::size_t>(stride_) * Height(); }
    const BitmapInfo& Info() const { return info_; }
    const RgbQuad* Palette() const { return info_.colours; }

    std::uint8_t* Bits() { return bits_.get(); }
    const std::uint8_t* Bits() const { return bits_.get(); }
    // First byte of image row r, counted from the top.
    std::uint8_t* Row(int r) { return bits_.get() + static_cast<std::size_t>(Height() - 1 - r) * stride_; }
    const std::uint8_t* Row(int r) const {
        return bits_.get() + static_cast<std::size_t>(Height() - 1 - r) * stride_;
    }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < Width() && y < Height(); }

private:
    Bitmap() = default;
    BitmapInfo info_{};
    int stride_ = 0;
    std::unique_ptr<std::uint8_t[]> bits_;
};

enum class PenStyle { Solid, Dash, Null };

struct Pen {
    PenStyle style = PenStyle::Solid;
    int width = 1;
    Colour colour = 0;
};

struct Fill {
    bool empty = false;  // the empty fill leaves shape interiors alone
    Colour colour = 0xFFFFFF;
};

class Font;  // defined by the font support of the platform

// A memory drawing context: owns the one bitmap selected into it, and holds the current
// pen, fill, font, text colour and pen position.
class DrawingContext {
public:
    DrawingContext() = default;
    explicit DrawingContext(std::unique_ptr<Bitmap> bitmap) : bitmap_(std::move(bitmap)) {}

    Bitmap* SelectedBitmap() { return bitmap_.get(); }
    const Bitmap* SelectedBitmap() const { return bitmap_.get(); }
    // Selects another bitmap and hands back the one selected before.
    std::unique_ptr<Bitmap> Select(std::unique_ptr<Bitmap> bitmap) {
        std::swap(bitmap, bitmap_);
        return bitmap;
    }

    const Pen& CurrentPen() const { return pen_; }
    void SetPen(const Pen& pen) { pen_ = pen; }
    const Fill& CurrentFill() const { return fill_; }
    void SetFill(const Fill& fill) { fill_ = fill; }
    const Font* CurrentFont() const { return font_; }
    void SetFont(const Font* font) { font_ = font; }
    Colour TextColour() const { return textColour_; }
    void SetTextColour(Colour c) { textColour_ = c; }

    int PenX() const { return penX_; }
    int PenY() const { return penY_; }
    void SetPenPosition(int x, int y) {
        penX_ = x;
        penY_ = y;
    }

private:
    std::unique_ptr<Bitmap> bitmap_;
    Pen pen_{};
    Fill fill_{};
    const Font* font_ = nullptr;
    Colour textColour_ = 0;
    int penX_ = 0;
    int penY_ = 0;
};

// Makes a memory drawing context holding a new bitmap, or null when the bitmap cannot be made.
std::unique_ptr<DrawingContext> CreateMemoryContext(const BitmapInfo& info) noexcept;

}  // namespace raster
