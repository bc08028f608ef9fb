// Image files of every kind the decoder meets, made here byte by byte or by libpng and
// libjpeg, with pictures whose pixels the tests know.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace samples {

using Bytes = std::vector<std::uint8_t>;

struct Rgba {
    std::uint8_t red, green, blue, alpha;
    bool operator==(const Rgba&) const = default;
};

// A picture, top row first.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<Rgba> pixels;
    Rgba At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// width x height in a few distinct opaque colours: colour (x + 2y) % 4 of
// {dark red, green, pale blue, white}, so a picture fits a 4-entry palette.
Picture FourColourPicture(int width, int height);
// The colours of FourColourPicture in palette order.
extern const Rgba kFourColours[4];

// Every value of every channel distinct enough for exact comparisons.
Picture GradientPicture(int width, int height, bool withAlpha);

enum class PngKind { Rgb8, Rgba8, Grey8, GreyAlpha8, Grey16, Rgb16, Palette, PaletteTransparent, Interlaced };
// The picture in the given PNG form. Grey forms use each pixel's red as the grey level;
// 16-bit forms store each 8-bit value v as v * 257; the palette forms need FourColourPicture
// (PaletteTransparent makes palette entry 1 fully transparent).
Bytes MakePng(const Picture& picture, PngKind kind);
// A PNG whose header announces width x height, with one tiny data chunk.
Bytes MakePngHeaderOnly(std::uint32_t width, std::uint32_t height);

enum class JpegKind { Baseline, Progressive, Grey };
// orientation 0 writes no EXIF block; 1-8 write one with that orientation.
Bytes MakeJpeg(const Picture& picture, JpegKind kind, int orientation = 0);

// A GIF with a global 4-colour table: one frame per picture (all FourColourPicture-like
// pictures of the same size), the second and later frames 100 ms apart. transparentIndex
// >= 0 marks that colour index transparent in the first frame.
Bytes MakeGif(const std::vector<Picture>& frames, int transparentIndex = -1);

enum class BmpKind { Rgb24, Rgb24TopDown, Rgb16, Rgb32, Palette8, Rle8, Palette1 };
// Palette8, Rle8 and Palette1 need a picture of FourColourPicture's colours (Palette1: the
// first two only); Rgb16 keeps 5 bits a channel.
Bytes MakeBmp(const Picture& picture, BmpKind kind);

// A 2-bit bitmap file of a FourColourPicture-like picture. coreHeader uses the 12-byte
// header; paletteEntries 1-4 writes that many colours (and says so in the header).
Bytes MakeTwoBpp(const Picture& picture, bool topDown = false, bool coreHeader = false, int paletteEntries = 4);

// The index of a colour in kFourColours, or -1.
int FourColourIndex(const Rgba& colour);

// The first length bytes, as a file cut short.
inline Bytes Cut(const Bytes& bytes, std::size_t length) { return Bytes(bytes.begin(), bytes.begin() + length); }

void PutLe16(Bytes& bytes, std::size_t at, std::uint32_t value);
void PutLe32(Bytes& bytes, std::size_t at, std::uint32_t value);

}  // namespace samples
