// Opening HEIF files straight into the program's blue-green-red, bottom-up buffers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/ImageDecoder.h"
#include "platform/raster/Bitmap.h"

// True when the bytes start with the HEIF or AVIF file type box.
bool LooksLikeHeif(const std::uint8_t* data, std::size_t size);

// Decodes HEIF and AVIF pictures with libheif: the primary picture, turned as the file says. Its EXIF
// block, XMP packet and ICC profile are kept. A file libheif cannot decode is refused as damaged or not an
// image; it decodes nothing in part. Transparent pixels are laid over the background colour. name stands
// for the file in messages.
platform::DecodedImage DecodeHeif(const std::uint8_t* data, std::size_t size, const std::string& name,
                                  raster::Colour background);
