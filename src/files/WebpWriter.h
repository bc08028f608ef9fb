// Saving a picture as a WebP file through libwebp: lossy at quality 90, or lossless.
#pragma once

#include <string>

#include "files/Metadata.h"
#include "image/PixelBuffer.h"

// The largest side a WebP picture may have.
constexpr int kWebpLargestSide = 16383;

// The lossy writer's quality, 0 to 100.
constexpr int kWebpQuality = 90;

// Writes the 24-bit buffer to path as a WebP, lossless or lossy. libwebp reads the
// blue-green-red rows as they are, bottom row last: the buffer is never written to. The
// carried metadata goes into the EXIF, XMP and ICCP chunks. Failures (a picture too large
// for the format among them) are shown in the "Error" box naming the path; the old file at
// path survives a failed write. Returns 1 written, 0 failed.
int WriteWebp(const PixelBuffer* image, const std::string& path, bool lossless, CarriedMetadata carried);
