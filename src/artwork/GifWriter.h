// A small GIF writer of our own for the program's resource images: one frame, a global
// colour table of at most 256 colours, LZW-compressed, no transparency.
#pragma once

#include <string>

#include "image/PixelBuffer.h"

// Writes the 24-bit buffer as a GIF89a file with a colour table made of exactly the
// colours it holds. Returns false when the picture has more than 256 colours or the file
// cannot be written (nothing is reported: the generator's caller says what failed).
bool WriteGif(const PixelBuffer& image, const std::string& path);
