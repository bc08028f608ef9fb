// Saving a picture as a PNG file (8-bit truecolour, no alpha, not interlaced), through libpng.
#pragma once

#include <cstddef>
#include <atomic>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "files/Metadata.h"
#include "image/PixelBuffer.h"

// Writes the 24-bit buffer to path as a PNG. libpng turns the blue-green-red rows around in
// its own row buffer: the picture is never written to. Failures, libpng's own among
// them, are shown in the "Error" box naming the path; the old file at path survives a
// failed write. The carried metadata goes into eXIf, iCCP (an RGB profile only) and text
// chunks, the XMP packet into the international text chunk XMP readers look for.
// Returns 1 written, 0 failed.
int WritePng(const PixelBuffer* image, const std::string& path, CarriedMetadata carried);
// The same with nothing carried over.
int WritePng(const PixelBuffer* image, const std::string& path);

// The inner writer: rows of width red-green-blue pixels stored bottom-up from pixelBase with
// stride ((width * 24 + 31) & ~31) / 8; lastRowOffset is the offset of the top picture row.
int CompressPng(const std::string& path, int width, int height, const std::uint8_t* pixelBase,
                std::size_t lastRowOffset);

// A write away from the GUI thread (a recovery copy): it shows nothing, neither a message nor
// progress, adds text chunks (keyword, UTF-8 text), and stops early once *cancel is set.
struct QuietPngWrite {
    std::vector<std::pair<std::string, std::string>> texts;
    const std::atomic<bool>* cancel = nullptr;
};

// Writes image to path as WritePng does, atomically, but quietly: 1 written, else 0 with
// *reason. Safe on any thread as long as nobody changes image meanwhile.
int WritePngQuietly(const PixelBuffer& image, const std::string& path, const QuietPngWrite& options,
                    std::string* reason);
