// Photos as a camera writes them (an EXIF block with its thumbnail, an XMP packet, a colour
// profile), and readers that take the saved files apart again, segment by segment and tag
// by tag, without the program's own code.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "support/SampleFiles.h"

namespace samples {

// The camera's own data, as the tests expect to find it again.
inline constexpr const char* kCameraMake = "Tessmark";
inline constexpr const char* kCameraModel = "TM-12 Pro";
inline constexpr const char* kCameraTaken = "2024:05:17 09:41:23";
inline constexpr const char* kCameraXmp =
    "<?xpacket begin='' id='W5M0MpCehiHzreSzNTczkc9d'?><x:xmpmeta xmlns:x='adobe:ns:meta/'><rdf:RDF "
    "xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'><rdf:Description rdf:about='' "
    "xmlns:dc='http://purl.org/dc/elements/1.1/'><dc:title>Harbour at dawn</dc:title></rdf:Description>"
    "</rdf:RDF></x:xmpmeta><?xpacket end='w'?>";
inline constexpr const char* kProfileDescription = "Tessmark wide RGB";

// The TIFF structure of a camera's EXIF block: make, model, orientation, date and the
// pointer to the camera directory (date taken, exposure, pixel sizes), a GPS directory,
// and a second directory with a JPEG thumbnail, which lies last as cameras put it.
Bytes MakeCameraExif(int orientation, int pixelWidth, int pixelHeight, bool motorola);

// A small, well-formed ICC profile of an RGB display (description, white point).
Bytes MakeRgbProfile();

// A JPEG of the picture with the camera's EXIF block (the picture's size as pixel sizes),
// the XMP packet and the colour profile in its APP1 and APP2 segments.
Bytes MakeCameraJpeg(const Picture& picture, int orientation, bool motorola = false);

// The marker segments of a JPEG file before its picture data: marker and body.
struct Segment {
    int marker = 0;
    Bytes body;
};
std::vector<Segment> JpegSegments(const Bytes& file);

// The chunks of a PNG file, in order: type and data.
struct Chunk {
    std::string type;
    Bytes data;
};
std::vector<Chunk> PngChunks(const Bytes& file);

// The body of the first segment or chunk that starts with prefix, without it; empty if none.
Bytes SegmentAfter(const std::vector<Segment>& segments, int marker, const std::string& prefix);

// The tags of an EXIF block's TIFF structure by directory ("0", "exif", "gps", "1") and
// tag number: numbers as their decimal text, rationals as "n/d", texts without their zero.
// Tag -1 under "1" holds the thumbnail's length when its bytes are inside the block.
using ExifTags = std::map<std::string, std::map<int, std::string>>;
ExifTags ReadExifTags(const Bytes& tiff);

Bytes ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const Bytes& bytes);

}  // namespace samples
