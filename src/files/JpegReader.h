// Opening JPEG files with libjpeg straight into the program's blue-green-red, bottom-up
// buffers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/ImageDecoder.h"
#include "platform/raster/Bitmap.h"

// True when the bytes start with a JPEG start-of-image marker.
bool LooksLikeJpeg(const std::uint8_t* data, std::size_t size);

// Decodes a JPEG held in memory; name stands for the file in messages. The EXIF orientation
// is applied; the EXIF block, the XMP packet and the ICC profile are kept in the result. A file whose data ends early or is corrupt gives status Damaged with what
// could be decoded (rows never reached are in the background colour) and the warning to
// show; a file without a readable header is refused as not an image.
platform::DecodedImage DecodeJpeg(const std::uint8_t* data, std::size_t size, const std::string& name,
                                  raster::Colour background);
