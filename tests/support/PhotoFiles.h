// WebP, TIFF, HEIF and AVIF files made by the formats' own encoders (libwebp, libtiff,
// libheif), and ImageMagick's decoding of any file, to compare the program's with.
#pragma once

#include <string>

#include "support/SampleFiles.h"

namespace samples {

// What a file carries beside the picture, when asked for: the camera's EXIF block (the
// TIFF structure), the XMP packet and the RGB profile of CameraFiles.h.
struct Carried {
    bool exif = false;
    bool xmp = false;
    bool icc = false;
};

// A still WebP, lossy at quality 90 or lossless; a picture with alpha keeps it.
Bytes MakeWebp(const Picture& picture, bool lossless, Carried carried = {});
// An animated WebP of the frames, 100 ms apart; with a second frame that is smaller, set
// at (offsetX, offsetY) (even numbers).
Bytes MakeAnimatedWebp(const std::vector<Picture>& frames, int offsetX = 0, int offsetY = 0);

enum class TiffKind { Rgb8, Rgb16, Grey8, Grey16, Palette, Cmyk, Rgba, PremultipliedRgba };
// A TIFF of the picture in the given form, LZW-compressed in strips of 4 rows. Grey forms take
// the red channel; Palette needs FourColourPicture's colours; Cmyk stores the inks that give
// back the picture's colours (no black). secondPage adds a page of another picture after it.
Bytes MakeTiff(const Picture& picture, TiffKind kind, bool secondPage = false, Carried carried = {});

// A HEIF (HEVC) or AVIF (AV1) file of the picture, lossy at quality 90; alpha kept.
Bytes MakeHeif(const Picture& picture, bool avif, Carried carried = {});

// ImageMagick's decoding of the first picture of a file, laid over the background colour
// (0x00BBGGRR); an empty picture when ImageMagick is missing or fails.
Picture MagickDecode(const std::string& path, std::uint32_t background);
bool HaveImageMagick();

}  // namespace samples
