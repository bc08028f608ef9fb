// Decoding the files the user opens: JPEG, PNG, WebP, TIFF, HEIF and AVIF by our readers on
// the formats' own libraries, straight into the program's buffers; every other kind by the
// platform's decoder. The content decides, not the name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/ImageDecoder.h"

// Transparent pixels are laid over PaintSettings.BColor, as the platform's decoder does. A
// damaged JPEG, PNG, WebP or TIFF gives status Damaged with what could be read.
platform::DecodedImage ReadImageFile(const std::string& path);

// The same for bytes in memory; name stands for the file in messages.
platform::DecodedImage ReadImageData(const std::uint8_t* data, std::size_t size, const std::string& name);
