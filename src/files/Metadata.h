// What a saved picture carries over from the file it was opened from: the camera's EXIF
// block made true of the new picture, the XMP packet, and a colour profile that still fits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/ImageDecoder.h"

// The identifiers that open the EXIF and XMP blocks in a JPEG file's APP1 segments.
inline constexpr char kExifSignature[6] = {'E', 'x', 'i', 'f', 0, 0};
inline constexpr char kXmpSignature[] = "http://ns.adobe.com/xap/1.0/";  // with its zero: 29 bytes
// PNG's keyword for the XMP packet, in an international text chunk.
inline constexpr const char* kXmpKeyword = "XML:com.adobe.xmp";

// The EXIF block to write with a picture of width x height, as it is shown: the orientation
// tag says 1 (the picture was turned upright on opening), the pixel-size tags give the new
// size, and the thumbnail of the old picture is gone. Empty when the block cannot be read
// safely: writing it back unread could turn the saved picture in other programs.
std::vector<std::uint8_t> ExifForSave(const std::vector<std::uint8_t>& exif, int width, int height);

// The orientation tag (1 to 8) of an EXIF block; 1 when it has none or it makes no sense.
int ExifOrientation(const std::uint8_t* exif, std::size_t size);

// True for a colour profile that describes the pixels as they are saved (red, green and
// blue) and whose header holds together; others are not written.
bool ProfileFitsRgb(const std::vector<std::uint8_t>& icc);

// The metadata a writer is given; null stands for none (a picture made with New).
using CarriedMetadata = const platform::PictureMetadata*;
