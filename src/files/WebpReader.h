// Opening WebP files straight into the program's blue-green-red, bottom-up buffers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/ImageDecoder.h"
#include "platform/raster/Bitmap.h"

// True when the bytes start with the RIFF container with the WEBP form.
bool LooksLikeWebp(const std::uint8_t* data, std::size_t size);

// Decodes WebP pictures with libwebp: a still picture, or the first frame of an animation. A frame that
// ends early or is corrupt gives status Damaged with the rows that could be decoded; the EXIF, XMP and ICCP
// chunks are kept, and whether the picture was stored without loss. Transparent pixels are laid over the
// background colour. name stands for the file in messages.
platform::DecodedImage DecodeWebp(const std::uint8_t* data, std::size_t size, const std::string& name,
                                  raster::Colour background);
