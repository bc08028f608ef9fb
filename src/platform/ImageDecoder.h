// Decoding image files and the program's own image resources into 24-bit pixel buffers.
// Needs no window and no display: the batch command line and the tests use it as is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "image/PixelBuffer.h"

namespace platform {

enum class DecodeStatus {
    Ok,
    CannotOpen,   // missing or unreadable file, or no such resource
    NotImage,     // not a picture any decoder reads, or a damaged one
    TooLarge,     // wider or higher than kMaxBitmapSide
    OutOfMemory,  // the picture is sound but there is no room for it
};

struct DecodedImage {
    // A 24-bit buffer of the decoded width and height, blue-green-red, bottom-up, rows
    // padded with zero bytes; null unless status is Ok.
    std::unique_ptr<PixelBuffer> image;
    DecodeStatus status = DecodeStatus::NotImage;
    // What to tell the user on failure (naming the file) and the message box caption:
    // "Error" for file problems, "Out Of Memory Error" for a shortage of memory.
    std::string text;
    std::string caption;
};

// Decodes ".bmp", ".gif" (the first frame), ".jpg", ".png", anything else the platform's
// image reader knows, and 2-bit bitmap files (".2bp"). The file's content decides, not its
// name. The EXIF orientation is applied; transparent pixels are laid over
// PaintSettings.BColor. Nothing is allocated for a picture that is refused.
DecodedImage DecodeImageFile(const std::string& path);

// The same for bytes in memory; name stands for the file in messages.
DecodedImage DecodeImageData(const std::uint8_t* data, std::size_t size, const std::string& name);

// The program's image resources (106 command bar images, 129 brush sheet, 130 tool icons,
// 131 and 132 spectrum strips, 136 colour field) are files named after their number
// ("129.gif", "130.png", ...) in the resources folder of the program's data.
DecodedImage DecodeImageResource(int id);

// The resources folder in use: the one set by SetResourceFolder, else "resources" in the
// first data folder found beside the program (build tree or installation), else in the
// build tree's data folder.
std::string ResourceFolder();
// Makes the lookup use folder (tests, or a program started from elsewhere); empty restores
// the search.
void SetResourceFolder(const std::string& folder);

}  // namespace platform
