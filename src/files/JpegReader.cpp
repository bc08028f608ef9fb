#include "files/JpegReader.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

#include "files/Metadata.h"
#include "files/ReaderSupport.h"

namespace {

constexpr int kExifMarker = JPEG_APP0 + 1;
constexpr int kProfileMarker = JPEG_APP0 + 2;
constexpr int kLongestMarker = 0xFFFF;

struct ReadErrors {
    jpeg_error_mgr library;
    std::jmp_buf recovery;
};

ReadErrors& ErrorsOf(j_common_ptr cinfo) { return *reinterpret_cast<ReadErrors*>(cinfo->err); }

void StopReading(j_common_ptr cinfo) { std::longjmp(ErrorsOf(cinfo).recovery, 1); }

// Corrupt data and a premature end are warnings (level -1) to libjpeg, which then goes on
// with what it has; they are counted, never printed. Trace messages are ignored.
void CountWarning(j_common_ptr cinfo, int level) {
    if (level < 0) ++cinfo->err->num_warnings;
}

void Silent(j_common_ptr) {}

bool StartsWith(const jpeg_saved_marker_ptr m, const char* signature, std::size_t length) {
    return m->data_length >= length && std::equal(signature, signature + length, m->data);
}

// The EXIF block, the XMP packet and the colour profile the file carries.
void ReadMetadata(j_decompress_ptr cinfo, platform::PictureMetadata& metadata) {
    const std::size_t xmpLength = sizeof kXmpSignature;
    for (jpeg_saved_marker_ptr m = cinfo->marker_list; m; m = m->next) {
        if (m->marker != kExifMarker) continue;
        if (metadata.exif.empty() && StartsWith(m, kExifSignature, sizeof kExifSignature)) {
            metadata.exif.assign(m->data + sizeof kExifSignature, m->data + m->data_length);
        } else if (metadata.xmp.empty() && StartsWith(m, kXmpSignature, xmpLength)) {
            metadata.xmp.assign(m->data + xmpLength, m->data + m->data_length);
        }
    }
    JOCTET* profile = nullptr;
    unsigned int length = 0;
    if (jpeg_read_icc_profile(cinfo, &profile, &length)) {
        metadata.icc.assign(profile, profile + length);
        std::free(profile);
    }
}

// Orientations 5 to 8 turn the picture by a quarter, exchanging its sides.
bool ExchangesSides(int orientation) { return orientation >= 5; }

// The stored pixel (sx, sy) shown at (x, y) of the turned picture, for a stored picture of
// w x h.
void StoredPoint(int orientation, int x, int y, int w, int h, long long& sx, long long& sy) {
    switch (orientation) {
        case 2: sx = w - 1 - x; sy = y; return;
        case 3: sx = w - 1 - x; sy = h - 1 - y; return;
        case 4: sx = x; sy = h - 1 - y; return;
        case 5: sx = y; sy = x; return;
        case 6: sx = y; sy = h - 1 - x; return;
        case 7: sx = w - 1 - y; sy = h - 1 - x; return;
        case 8: sx = w - 1 - y; sy = x; return;
        default: sx = x; sy = y; return;
    }
}

// The stored picture turned as its orientation says, row by row with a fixed step in the
// stored bytes.
void Turn(const PixelBuffer& stored, int orientation, PixelBuffer& shown) {
    const int w = stored.Width();
    const int h = stored.Height();
    const auto offset = [&](int x, int y) {
        long long sx = 0;
        long long sy = 0;
        StoredPoint(orientation, x, y, w, h, sx, sy);
        return (static_cast<long long>(h) - 1 - sy) * stored.Stride() + 3 * sx;
    };
    for (int y = 0; y < shown.Height(); ++y) {
        const long long first = offset(0, y);
        const long long step = shown.Width() > 1 ? offset(1, y) - first : 0;
        const std::uint8_t* in = stored.Bits() + first;
        std::uint8_t* out = shown.Row(y);
        for (int x = 0; x < shown.Width(); ++x, in += step, out += 3) {
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
        }
    }
}

// Adobe's four-channel files store the inks inverted: each colour is its ink times black.
void InksToColours(const std::uint8_t* inks, int width, std::uint8_t* out) {
    for (int x = 0; x < width; ++x, inks += 4, out += 3) {
        const int k = inks[3];
        out[0] = static_cast<std::uint8_t>(inks[2] * k / 255);
        out[1] = static_cast<std::uint8_t>(inks[1] * k / 255);
        out[2] = static_cast<std::uint8_t>(inks[0] * k / 255);
    }
}

struct Progress {
    platform::DecodedImage result;
    int rowsRead = 0;
    int orientation = 1;
    bool headerRead = false;
    platform::PictureMetadata metadata;
};

// A library error jumps back into this function, so nothing in it may need destroying;
// what it made lives in *progress.
bool RunDecompression(jpeg_decompress_struct* cinfo, ReadErrors* errors, const std::uint8_t* data, std::size_t size,
                      const std::string& name, Progress* progress) {
    if (setjmp(errors->recovery)) return false;
    jpeg_create_decompress(cinfo);
    jpeg_mem_src(cinfo, data, static_cast<unsigned long>(size));
    jpeg_save_markers(cinfo, kExifMarker, kLongestMarker);
    jpeg_save_markers(cinfo, kProfileMarker, kLongestMarker);
    jpeg_read_header(cinfo, TRUE);
    progress->headerRead = true;
    ReadMetadata(cinfo, progress->metadata);
    const std::vector<std::uint8_t>& exif = progress->metadata.exif;
    progress->orientation = ExifOrientation(exif.data(), exif.size());

    const bool inks = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
    cinfo->out_color_space = inks ? JCS_CMYK : JCS_EXT_BGR;
    jpeg_calc_output_dimensions(cinfo);
    const std::size_t turnedCopy = progress->orientation == 1
                                       ? 0
                                       : static_cast<std::size_t>(raster::StrideFor(
                                             static_cast<int>(cinfo->output_width), 24)) * cinfo->output_height;
    progress->result = platform::MakeDecodeTarget(cinfo->output_width, cinfo->output_height, turnedCopy, name);
    if (!progress->result.image) return false;
    PixelBuffer& image = *progress->result.image;

    jpeg_start_decompress(cinfo);
    std::vector<std::uint8_t> inkRow(inks ? static_cast<std::size_t>(image.Width()) * 4 : 0);
    JSAMPROW rows[8];
    const int batch = std::min<int>(8, std::max<int>(1, cinfo->rec_outbuf_height));
    while (cinfo->output_scanline < cinfo->output_height) {
        const int first = static_cast<int>(cinfo->output_scanline);
        if (inks) {
            rows[0] = inkRow.data();
            if (jpeg_read_scanlines(cinfo, rows, 1) != 1) break;
            InksToColours(inkRow.data(), image.Width(), image.Row(first));
        } else {
            const int count = std::min(batch, image.Height() - first);
            for (int i = 0; i < count; ++i) rows[i] = image.Row(first + i);
            if (jpeg_read_scanlines(cinfo, rows, static_cast<JDIMENSION>(count)) == 0) break;
        }
        progress->rowsRead = static_cast<int>(cinfo->output_scanline);
    }
    jpeg_finish_decompress(cinfo);
    return true;
}

}  // namespace

bool LooksLikeJpeg(const std::uint8_t* data, std::size_t size) {
    return size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}

platform::DecodedImage DecodeJpeg(const std::uint8_t* data, std::size_t size, const std::string& name,
                                  raster::Colour background) {
    jpeg_decompress_struct cinfo{};
    ReadErrors errors{};
    cinfo.err = jpeg_std_error(&errors.library);
    errors.library.error_exit = StopReading;
    errors.library.emit_message = CountWarning;
    errors.library.output_message = Silent;
    Progress progress;
    const bool finished = RunDecompression(&cinfo, &errors, data, size, name, &progress);
    const bool warned = cinfo.err->num_warnings > 0;
    jpeg_destroy_decompress(&cinfo);

    platform::DecodedImage& result = progress.result;
    if (!progress.headerRead) return platform::DecodeFailure(platform::DecodeStatus::NotImage, name);
    if (!result.image) return std::move(result);
    if (progress.rowsRead == 0) return platform::DecodeFailure(platform::DecodeStatus::NotImage, name);
    if (progress.rowsRead < result.image->Height()) FillRowsFrom(*result.image, progress.rowsRead, background);
    if (progress.orientation != 1) {
        const PixelBuffer& stored = *result.image;
        const bool exchange = ExchangesSides(progress.orientation);
        platform::DecodedImage turned = platform::MakeDecodeTarget(exchange ? stored.Height() : stored.Width(),
                                                                   exchange ? stored.Width() : stored.Height(), 0, name);
        if (!turned.image) return turned;
        Turn(stored, progress.orientation, *turned.image);
        result = std::move(turned);
    }
    result.metadata = std::move(progress.metadata);
    if (!finished || warned) MarkDamaged(result, name);
    return std::move(result);
}
