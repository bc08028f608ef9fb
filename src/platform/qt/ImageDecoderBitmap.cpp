#include "platform/qt/BitmapFiles.h"

#include <array>

#include "platform/qt/DecodeSupport.h"

namespace platform {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;

std::uint16_t U16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t U32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::int32_t I32(const std::uint8_t* p) { return static_cast<std::int32_t>(U32(p)); }

// The info header sizes of the bitmap file versions; the fields this reader needs sit at
// the same places in all but the core one.
bool KnownInfoHeaderSize(std::uint32_t size) {
    return size == kCoreHeaderSize || size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

// Offset of the bit count field.
std::size_t BitCountOffset(std::uint32_t headerSize) {
    return kFileHeaderSize + (headerSize == kCoreHeaderSize ? 10 : 14);
}

struct Colour3 {
    std::uint8_t blue = 0, green = 0, red = 0;
};

}  // namespace

bool LooksLikeTwoBppBitmap(const std::uint8_t* data, std::size_t size) {
    if (size < kFileHeaderSize + 4 || data[0] != 'B' || data[1] != 'M') return false;
    const std::uint32_t headerSize = U32(data + kFileHeaderSize);
    if (!KnownInfoHeaderSize(headerSize)) return false;
    const std::size_t at = BitCountOffset(headerSize);
    return size >= at + 2 && U16(data + at) == 2;
}

bool BitmapPixelsCutShort(const std::uint8_t* data, std::size_t size) {
    if (size < kFileHeaderSize + 4 || data[0] != 'B' || data[1] != 'M') return false;
    const std::uint32_t headerSize = U32(data + kFileHeaderSize);
    if (!KnownInfoHeaderSize(headerSize) || kFileHeaderSize + headerSize > size) return false;
    const std::uint8_t* h = data + kFileHeaderSize;
    long long width = 0;
    long long height = 0;
    std::uint32_t bits = 0;
    if (headerSize == kCoreHeaderSize) {
        width = U16(h + 4);
        height = U16(h + 6);
        bits = U16(h + 10);
    } else {
        const std::uint32_t compression = U32(h + 16);
        // Run-length data has no fixed length; bit-field forms store plain rows.
        if (compression != 0 && compression != 3 && compression != 6) return false;
        width = I32(h + 4);
        height = I32(h + 8);
        bits = U16(h + 14);
    }
    if (height < 0) height = -height;
    // Sizes no reader accepts are refused by the readers themselves.
    if (width <= 0 || height <= 0 || width > raster::kMaxBitmapSide || height > raster::kMaxBitmapSide) return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
    const std::uint64_t stride = static_cast<std::uint64_t>(raster::StrideFor(static_cast<int>(width), static_cast<int>(bits)));
    return static_cast<std::uint64_t>(U32(data + 10)) + stride * static_cast<std::uint64_t>(height) > size;
}

DecodedImage DecodeTwoBppBitmap(const std::uint8_t* data, std::size_t size, const std::string& name) {
    const auto broken = [&] { return DecodeFailure(DecodeStatus::NotImage, name); };
    if (!LooksLikeTwoBppBitmap(data, size)) return broken();

    const std::uint32_t fileSize = U32(data + 2);
    const std::uint32_t pixelOffset = U32(data + 10);
    const std::uint32_t headerSize = U32(data + kFileHeaderSize);
    // A zero file size is common and harmless; a larger one than we have means truncation.
    if (fileSize > size) return broken();
    if (kFileHeaderSize + headerSize > size) return broken();

    const std::uint8_t* h = data + kFileHeaderSize;
    long long width = 0;
    long long height = 0;
    std::uint32_t planes = 0;
    std::uint32_t coloursUsed = 0;
    std::size_t entrySize = 4;
    if (headerSize == kCoreHeaderSize) {
        width = U16(h + 4);
        height = U16(h + 6);
        planes = U16(h + 8);
        entrySize = 3;
    } else {
        width = I32(h + 4);
        height = I32(h + 8);
        planes = U16(h + 12);
        const std::uint32_t compression = U32(h + 16);
        const std::uint32_t imageSize = U32(h + 20);
        coloursUsed = U32(h + 32);
        if (compression != 0) return broken();
        if (imageSize != 0 && static_cast<std::uint64_t>(pixelOffset) + imageSize > size) return broken();
    }
    if (planes != 1) return broken();
    const bool topDown = height < 0;
    if (topDown) height = -height;
    if (width <= 0 || height <= 0) return broken();
    if (width > raster::kMaxBitmapSide || height > raster::kMaxBitmapSide) {
        return DecodeFailure(DecodeStatus::TooLarge, name, width, height);
    }
    if (coloursUsed > 4) return broken();
    const std::size_t entries = coloursUsed == 0 ? 4 : coloursUsed;

    const std::size_t paletteStart = kFileHeaderSize + headerSize;
    const std::size_t paletteEnd = paletteStart + entries * entrySize;
    if (paletteEnd > pixelOffset || pixelOffset > size) return broken();
    const std::uint64_t sourceStride = static_cast<std::uint64_t>(raster::StrideFor(static_cast<int>(width), 2));
    if (sourceStride * static_cast<std::uint64_t>(height) > size - pixelOffset) return broken();

    // Indices past the table's end show black, as they would on the original device.
    std::array<Colour3, 4> palette{};
    for (std::size_t i = 0; i < entries; ++i) {
        const std::uint8_t* e = data + paletteStart + i * entrySize;
        palette[i] = Colour3{e[0], e[1], e[2]};
    }

    DecodedImage result = MakeDecodeTarget(width, height, 0, name);
    if (!result.image) return result;
    PixelBuffer& image = *result.image;
    const int w = image.Width();
    const int rows = image.Height();
    for (int r = 0; r < rows; ++r) {
        const int storedRow = topDown ? r : rows - 1 - r;
        const std::uint8_t* source = data + pixelOffset + static_cast<std::size_t>(storedRow) * sourceStride;
        std::uint8_t* out = image.Row(r);
        for (int x = 0; x < w; ++x) {
            const int index = (source[x >> 2] >> (6 - 2 * (x & 3))) & 3;
            out[3 * x] = palette[index].blue;
            out[3 * x + 1] = palette[index].green;
            out[3 * x + 2] = palette[index].red;
        }
    }
    return result;
}

}  // namespace platform
