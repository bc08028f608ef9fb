// The writers' shared handling of the picture they are given.
#pragma once

#include <string>

#include "image/PixelBuffer.h"

// True when image is a 24-bit buffer a writer can save; otherwise the "Error" box for path
// has been shown.
bool CheckWritable(const PixelBuffer* image, const std::string& path);
