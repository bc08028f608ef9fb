// What the JPEG and PNG readers share: marking a picture that was read only in part.
#pragma once

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
