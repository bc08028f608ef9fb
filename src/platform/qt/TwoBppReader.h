// The reader for bitmap files of 2 bits per pixel with a 4-entry colour table, which the
// platform's image reader does not know.
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

}  // namespace platform
