// Saving a picture as a baseline JPEG file at the highest quality, through libjpeg.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "files/Metadata.h"
#include "image/PixelBuffer.h"

// Writes the 24-bit buffer to path as a JPEG of quality 100 with baseline forced. libjpeg
// reads the blue-green-red rows as they are: the buffer is never written to, so no failure
// can leave it changed. Failures are shown in the "Error" box naming the path; the
// old file at path survives a failed write. The carried metadata (EXIF, XMP, an RGB colour
// profile) goes into the file's APP1 and APP2 segments. Returns 1 written, 0 failed.
int WriteJpeg(const PixelBuffer* image, const std::string& path, CarriedMetadata carried);
// The same with nothing carried over.
int WriteJpeg(const PixelBuffer* image, const std::string& path);

// The inner writer: rows of width red-green-blue pixels, stride ((width * 24 + 31) & ~31) / 8,
// stored bottom-up from pixelBase; lastRowOffset is the byte offset of the last stored row,
// which is the top row of the picture, so rows go to the file top to bottom.
int CompressJpeg(const std::string& path, int width, int height, int quality, const std::uint8_t* pixelBase,
                 std::size_t lastRowOffset);
