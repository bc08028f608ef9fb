// Opening PNG files with libpng straight into the program's blue-green-red, bottom-up
// buffers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/ImageDecoder.h"
#include "platform/raster/Bitmap.h"

// True when the bytes start with the PNG signature.
bool LooksLikePng(const std::uint8_t* data, std::size_t size);

// Decodes a PNG held in memory; name stands for the file in messages. Every colour type and
// depth becomes 8-bit blue-green-red; transparent pixels are laid over the background
// colour. The eXIf, iCCP and text chunks (XMP among them) are kept in the result. A file
// whose data ends early or is corrupt gives status Damaged with what could be decoded (rows
// never reached are in the background colour) and the warning to show; one without a
// readable header is refused as not an image.
platform::DecodedImage DecodePng(const std::uint8_t* data, std::size_t size, const std::string& name,
                                 raster::Colour background);
