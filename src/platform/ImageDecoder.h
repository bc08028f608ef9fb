// Decoding image files and the program's own image resources into 24-bit pixel buffers.
// Needs no window and no display: the batch command line and the tests use it as is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/raster/Bitmap.h"

namespace platform {

enum class DecodeStatus {
    Ok,
    CannotOpen,   // missing or unreadable file, or no such resource
    NotImage,     // not a picture any decoder reads, or a damaged one
    TooLarge,     // wider or higher than kMaxBitmapSide
    OutOfMemory,  // the picture is sound but there is no room for it
    Damaged,      // the file is damaged: image holds what could be read of it
};

// A text chunk of a PNG file, kept to be written back.
struct PngText {
    std::string keyword;
    std::string text;
    std::string language;    // international text only
    std::string translated;  // the keyword in that language
    bool international = false;
    bool compressed = false;
    bool operator==(const PngText&) const = default;
};

// What a picture file carries beside its pixels: camera data, a description and a colour
// profile, kept as they were read so that saving writes them back.
struct PictureMetadata {
    std::vector<std::uint8_t> exif;  // the TIFF structure of an EXIF block, from "II" or "MM"
    std::vector<std::uint8_t> xmp;   // the XMP packet
    std::vector<std::uint8_t> icc;   // the ICC colour profile
    std::string iccName;             // the profile's name in a PNG file
    std::vector<PngText> texts;      // a PNG file's text chunks, XMP aside
    bool Empty() const { return exif.empty() && xmp.empty() && icc.empty() && texts.empty(); }
};

struct DecodedImage {
    // A 24-bit buffer of the decoded width and height, blue-green-red, bottom-up, rows
    // padded with zero bytes; null unless status is Ok or Damaged.
    std::unique_ptr<raster::Bitmap> image;
    DecodeStatus status = DecodeStatus::NotImage;
    // What to tell the user on failure or damage (naming the file) and the message box
    // caption: "Error" for file problems, "Out Of Memory Error" for a shortage of memory.
    std::string text;
    std::string caption;
    PictureMetadata metadata;
    // Some pixel was transparent or partly so, and was laid over the background.
    bool transparent = false;
    // The file was stored without loss where its format has both ways (WebP).
    bool lossless = false;
};

// Decodes ".bmp", ".gif" (the first frame), ".jpg", ".png", anything else the platform's
// image reader knows, and 2-bit bitmap files (".2bp"). The file's content decides, not its
// name. The EXIF orientation is applied; transparent pixels are laid over the background
// colour (0x00BBGGRR). Nothing is allocated for a picture that is refused.
DecodedImage DecodeImageFile(const std::string& path, raster::Colour background);

// The same for bytes in memory; name stands for the file in messages.
DecodedImage DecodeImageData(const std::uint8_t* data, std::size_t size, const std::string& name,
                             raster::Colour background);

// Reads the whole file into bytes; on failure the result to report (the system's reason
// for a file that cannot be opened, or a shortage of memory), status Ok otherwise.
DecodedImage ReadImageFileBytes(const std::string& path, std::vector<std::uint8_t>& bytes);

// Whether the file can be opened for reading, without reading it: "" when it can, else the
// message opening it would show ("Cannot open "path": there is no such file.").
std::string CannotOpenText(const std::string& path);

// The program's image resources (106 command bar images, 129 brush sheet, 130 tool icons,
// 131 and 132 spectrum strips, 136 colour field) are files named after their number
// ("129.gif", "130.png", ...) in the resources folder of the program's data.
DecodedImage DecodeImageResource(int id, raster::Colour background);

// The resources folder in use: the one set by SetResourceFolder, else "resources" in the
// first data folder found beside the program (build tree or installation), else in the
// build tree's data folder.
std::string ResourceFolder();
// Makes the lookup use folder (tests, or a program started from elsewhere); empty restores
// the search.
void SetResourceFolder(const std::string& folder);
// Back to the resources folder search and the full decode size limit.
void ResetDecoding();

// What the decoders share.

// A failed decode with the message that tells the user about it; width and height are
// quoted by the too-large message.
DecodedImage DecodeFailure(DecodeStatus status, const std::string& name, long long width = 0,
                           long long height = 0);

// Accepts a width x height picture whose decoding needs extraBytes beside the result,
// and makes its 24-bit buffer with the row padding zeroed. Refuses sizes that are not
// positive, larger than kMaxBitmapSide, or beyond the machine's memory, before anything
// is allocated.
DecodedImage MakeDecodeTarget(long long width, long long height, std::size_t extraBytes, const std::string& name);

// The most pixels one decode may make: as many as the sides allow, unless a harness that
// runs under a memory limit (the fuzzer) lowers it. Past it a picture is out of memory.
constexpr std::uint64_t kFullDecodePixelLimit =
    static_cast<std::uint64_t>(raster::kMaxBitmapSide) * raster::kMaxBitmapSide;
extern std::uint64_t DecodePixelLimit;

// True when a need of bytes could never be met by the machine's memory.
bool BeyondMemory(std::uint64_t bytes);

}  // namespace platform
