// Saving a picture as an uncompressed 24-bit Windows bitmap file.
#pragma once

#include <string>

#include "image/PixelBuffer.h"

// Writes the 24-bit buffer to path as a BMP file: the two fixed headers, then the buffer's
// rows byte for byte, bottom row first. The file is made beside the target under a
// temporary name and replaces it only once complete, so a failed save keeps the old file.
// Failures are shown in the "Error" box naming the path. Returns 1 written, 0 failed.
int WriteBmp(const PixelBuffer* image, const std::string& path);
