// Bitmap files: our readers for those of 2 bits per pixel with a 4-entry colour table,
// which the platform's image reader does not know, and for those of 16 bits, which it
// reads short of full brightness; and a check of the others' length.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/ImageDecoder.h"

namespace platform {

// True when the bytes start like a bitmap file whose pixels have 2 bits: such files are
// this reader's, whatever else is wrong with them.
bool LooksLikeTwoBppBitmap(const std::uint8_t* data, std::size_t size);

// Decodes a 2-bit bitmap file, checking every header field against the file's length.
// Bottom-up and top-down (negative height) files, core (12-byte) and later info headers,
// uncompressed pixels only.
DecodedImage DecodeTwoBppBitmap(const std::uint8_t* data, std::size_t size, const std::string& name);

// True when the bytes start like a bitmap file of 16 bits a pixel, plain (5-5-5) or with
// bit fields (5-6-5 and others): such files are this reader's.
bool LooksLikeSixteenBitBitmap(const std::uint8_t* data, std::size_t size);

// Decodes a 16-bit bitmap file, spreading each channel over the whole range (a full 5-bit
// channel, 31, becomes 255), which the platform's reader does not. Bottom-up and top-down
// files; the pixels must all be there. An alpha field is not read: the pixels show their
// colour.
DecodedImage DecodeSixteenBitBitmap(const std::uint8_t* data, std::size_t size, const std::string& name);

// True for an uncompressed bitmap file whose rows reach past the end of the data. Qt's
// reader shows such a file with rows it never wrote, so the decoder refuses it first.
bool BitmapPixelsCutShort(const std::uint8_t* data, std::size_t size);

}  // namespace platform
