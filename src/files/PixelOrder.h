// The writers' shared handling of the picture they are given.
#pragma once

#include <string>

#include "image/PixelBuffer.h"

// True when image is a 24-bit buffer a writer can save; otherwise the "Error" box for path
// has been shown.
bool CheckWritable(const PixelBuffer* image, const std::string& path);

// Exchanges the first and third byte of every pixel (blue-green-red <-> red-green-blue),
// leaving the row padding alone. Its own inverse.
void SwapRedBlue(PixelBuffer& image);

// The writers exchange the bytes in the document's own buffer rather than in a copy, so no
// second picture-sized buffer is needed; every buffer is made writable by
// raster::Bitmap::Create, so the temporary change through a const pointer is sound.
PixelBuffer& Writable(const PixelBuffer& image);
