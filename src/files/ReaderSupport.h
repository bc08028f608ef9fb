// What the JPEG and PNG readers share: marking a picture that was read only in part.
#pragma once

#include <cstdint>
#include <string>

#include "image/PixelBuffer.h"
#include "platform/ImageDecoder.h"
#include "platform/raster/Bitmap.h"

// Fills the picture's rows from firstRow (counted from the top) to the bottom with the
// background colour: the part of a damaged file that could not be read.
void FillRowsFrom(PixelBuffer& image, int firstRow, raster::Colour background);

// Turns a decoded picture into the damaged one: status Damaged and the warning naming the
// file.
void MarkDamaged(platform::DecodedImage& decoded, const std::string& name);

// Lays a row of pixels with alpha (blue-green-red-alpha, or red-green-blue-alpha when
// redFirst) over the background colour into a row of the program's buffer. True when some
// pixel of the row was not opaque.
bool LayRowOver(const std::uint8_t* in, int width, raster::Colour background, std::uint8_t* out,
                bool redFirst = false);

// Turns the rows of a picture written top row first into the program's bottom-up order.
void TurnRowsOver(PixelBuffer& image);
