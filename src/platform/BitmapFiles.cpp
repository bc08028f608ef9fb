#include "platform/BitmapFiles.h"

#include <array>

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
    raster::Bitmap& image = *result.image;
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

namespace {

constexpr std::uint32_t kPlainRgb = 0;
constexpr std::uint32_t kBitFields = 3;
constexpr std::uint32_t kAlphaBitFields = 6;
// The three colour masks follow a 40-byte info header, and sit at the same place inside
// the longer ones.
constexpr std::size_t kMasksAt = kFileHeaderSize + 40;

// One colour channel of a 16-bit pixel: where it sits and how far it reaches.
struct Field {
    int shift = 0;
    std::uint32_t largest = 0;  // the field's value at full brightness; 0 for a missing field
};

// A mask must be one run of bits; a zero mask leaves its channel black.
bool FieldOf(std::uint32_t mask, Field& field) {
    field = Field{};
    if (mask == 0) return true;
    if (mask > 0xFFFF) return false;
    while ((mask & 1) == 0) {
        mask >>= 1;
        ++field.shift;
    }
    if ((mask & (mask + 1)) != 0) return false;
    field.largest = mask;
    return true;
}

std::uint8_t Spread(std::uint32_t pixel, const Field& field) {
    if (field.largest == 0) return 0;
    const std::uint32_t value = (pixel >> field.shift) & field.largest;
    return static_cast<std::uint8_t>((value * 255 + field.largest / 2) / field.largest);
}

}  // namespace

bool LooksLikeSixteenBitBitmap(const std::uint8_t* data, std::size_t size) {
    if (size < kFileHeaderSize + 40 || data[0] != 'B' || data[1] != 'M') return false;
    const std::uint32_t headerSize = U32(data + kFileHeaderSize);
    if (!KnownInfoHeaderSize(headerSize) || headerSize == kCoreHeaderSize) return false;
    const std::uint32_t compression = U32(data + kFileHeaderSize + 16);
    return U16(data + BitCountOffset(headerSize)) == 16 &&
           (compression == kPlainRgb || compression == kBitFields || compression == kAlphaBitFields);
}

DecodedImage DecodeSixteenBitBitmap(const std::uint8_t* data, std::size_t size, const std::string& name) {
    const auto broken = [&] { return DecodeFailure(DecodeStatus::NotImage, name); };
    if (!LooksLikeSixteenBitBitmap(data, size)) return broken();
    const std::uint8_t* h = data + kFileHeaderSize;
    const std::uint32_t headerSize = U32(h);
    const std::uint32_t pixelOffset = U32(data + 10);
    long long width = I32(h + 4);
    long long height = I32(h + 8);
    if (U16(h + 12) != 1 || kFileHeaderSize + headerSize > size) return broken();

    std::uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
    if (U32(h + 16) != kPlainRgb) {
        if (kMasksAt + 12 > size) return broken();
        for (int i = 0; i < 3; ++i) masks[i] = U32(data + kMasksAt + 4 * i);
    }
    Field red;
    Field green;
    Field blue;
    if (!FieldOf(masks[0], red) || !FieldOf(masks[1], green) || !FieldOf(masks[2], blue)) return broken();

    const bool topDown = height < 0;
    if (topDown) height = -height;
    if (width <= 0 || height <= 0) return broken();
    if (width > raster::kMaxBitmapSide || height > raster::kMaxBitmapSide) {
        return DecodeFailure(DecodeStatus::TooLarge, name, width, height);
    }
    const std::uint64_t sourceStride = static_cast<std::uint64_t>(raster::StrideFor(static_cast<int>(width), 16));
    if (pixelOffset < kFileHeaderSize + headerSize || pixelOffset > size ||
        sourceStride * static_cast<std::uint64_t>(height) > size - pixelOffset) {
        return broken();
    }

    DecodedImage result = MakeDecodeTarget(width, height, 0, name);
    if (!result.image) return result;
    raster::Bitmap& image = *result.image;
    for (int r = 0; r < image.Height(); ++r) {
        const int storedRow = topDown ? r : image.Height() - 1 - r;
        const std::uint8_t* in = data + pixelOffset + static_cast<std::size_t>(storedRow) * sourceStride;
        std::uint8_t* out = image.Row(r);
        for (int x = 0; x < image.Width(); ++x, in += 2, out += 3) {
            const std::uint32_t pixel = U16(in);
            out[0] = Spread(pixel, blue);
            out[1] = Spread(pixel, green);
            out[2] = Spread(pixel, red);
        }
    }
    return result;
}

}  // namespace platform
