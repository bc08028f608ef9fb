// Opening TIFF files straight into the program's blue-green-red, bottom-up buffers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/ImageDecoder.h"
#include "platform/raster/Bitmap.h"

// True when the bytes start with the TIFF byte-order mark (classic or big).
bool LooksLikeTiff(const std::uint8_t* data, std::size_t size);

// Decodes TIFF pictures with libtiff: the first page, 8 or 16 bits a channel, RGB, grey, palette, CMYK
// (converted) and the other forms libtiff turns into RGBA. A strip or tile that cannot be read ends the
// picture there, with status Damaged; the ICC profile and the XMP packet are kept. Transparent pixels are
// laid over the background colour. name stands for the file in messages.
platform::DecodedImage DecodeTiff(const std::uint8_t* data, std::size_t size, const std::string& name,
                                  raster::Colour background);
