// Bitmap files: our reader for those of 2 bits per pixel with a 4-entry colour table,
// which the platform's image reader does not know, and a check of the others' length.
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

// True for an uncompressed bitmap file whose rows reach past the end of the data. Qt's
// reader shows such a file with rows it never wrote, so the decoder refuses it first.
bool BitmapPixelsCutShort(const std::uint8_t* data, std::size_t size);

}  // namespace platform
