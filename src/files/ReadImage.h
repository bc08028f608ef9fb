// Decoding the files the user opens: JPEG and PNG by our readers on libjpeg and libpng,
// straight into the program's buffers; every other kind by the platform's decoder. The
// content decides, not the name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/ImageDecoder.h"

// Transparent pixels are laid over PaintSettings.BColor, as the platform's decoder does. A
// damaged JPEG or PNG gives status Damaged with what could be read.
platform::DecodedImage ReadImageFile(const std::string& path);

// The same for bytes in memory; name stands for the file in messages.
platform::DecodedImage ReadImageData(const std::uint8_t* data, std::size_t size, const std::string& name);
