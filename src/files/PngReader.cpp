#include "files/PngReader.h"

#include <cstring>
#include <new>
#include <vector>

#include <png.h>

#include "files/Metadata.h"
#include "files/ReaderSupport.h"

namespace {

constexpr std::size_t kDataPiece = 1024;

struct Source {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at;
};

void ReadBytes(png_structp png, png_bytep out, png_size_t length) {
    Source& source = *static_cast<Source*>(png_get_io_ptr(png));
    if (length > source.size - source.at) png_error(png, "the file ends early");
    std::memcpy(out, source.data + source.at, length);
    source.at += length;
}

void StopReading(png_structp png, png_const_charp) { png_longjmp(png, 1); }

// Harmless oddities (an unknown colour profile, a damaged text chunk) are warnings: the
// picture itself is sound.
void IgnoreWarning(png_structp, png_const_charp) {}

struct Progress {
    platform::DecodedImage result;
    std::vector<std::uint8_t> withAlpha;  // a row, or the whole picture of an interlaced file
    bool headerRead = false;
    bool alpha = false;
    bool interlaced = false;
    bool transparent = false;
    int rowsRead = 0;  // rows complete, from the top; all of an interlaced file once its data began
};

void ReadPlainRows(png_structp png, PixelBuffer& image, raster::Colour background, Progress* progress) {
    const int width = image.Width();
    for (int row = 0; row < image.Height(); ++row) {
        if (progress->alpha) {
            png_read_row(png, progress->withAlpha.data(), nullptr);
            if (LayRowOver(progress->withAlpha.data(), width, background, image.Row(row))) progress->transparent = true;
        } else {
            png_read_row(png, image.Row(row), nullptr);
        }
        progress->rowsRead = row + 1;
    }
}

// Each pass adds pixels to the rows earlier passes began, so the rows stay where they are
// until the last pass; what no pass reached shows the background.
void ReadInterlacedRows(png_structp png, int passes, PixelBuffer& image, raster::Colour background,
                        Progress* progress) {
    const std::size_t alphaRow = static_cast<std::size_t>(image.Width()) * 4;
    if (!progress->alpha) FillRowsFrom(image, 0, background);
    for (int pass = 0; pass < passes; ++pass) {
        for (int row = 0; row < image.Height(); ++row) {
            png_bytep target = progress->alpha ? progress->withAlpha.data() + alphaRow * row : image.Row(row);
            png_read_row(png, target, nullptr);
            progress->rowsRead = image.Height();
        }
    }
}

std::string Text(png_const_charp text, std::size_t length) { return text ? std::string(text, length) : std::string(); }

// The EXIF block, the colour profile and the text chunks (XMP among them) read so far.
// libpng has checked each: a damaged one was dropped with a warning.
void ReadMetadata(png_structp png, png_infop info, platform::PictureMetadata& metadata) {
    png_bytep exif = nullptr;
    png_uint_32 exifLength = 0;
    if (png_get_eXIf_1(png, info, &exifLength, &exif) && exif) metadata.exif.assign(exif, exif + exifLength);
    png_charp profileName = nullptr;
    int compression = 0;
    png_bytep profile = nullptr;
    png_uint_32 profileLength = 0;
    if (png_get_iCCP(png, info, &profileName, &compression, &profile, &profileLength) && profile) {
        metadata.icc.assign(profile, profile + profileLength);
        metadata.iccName = profileName ? profileName : "";
    }
    png_textp texts = nullptr;
    const int count = png_get_text(png, info, &texts, nullptr);
    for (int i = 0; i < count; ++i) {
        const png_text& t = texts[i];
        const bool international = t.compression == PNG_ITXT_COMPRESSION_NONE || t.compression == PNG_ITXT_COMPRESSION_zTXt;
        const std::size_t length = international ? t.itxt_length : t.text_length;
        if (international && std::strcmp(t.key, kXmpKeyword) == 0) {
            metadata.xmp.assign(t.text, t.text + length);
            continue;
        }
        platform::PngText text;
        text.keyword = t.key;
        text.text = Text(t.text, length);
        text.international = international;
        text.compressed = t.compression == PNG_TEXT_COMPRESSION_zTXt || t.compression == PNG_ITXT_COMPRESSION_zTXt;
        if (international) {
            text.language = t.lang ? t.lang : "";
            text.translated = t.lang_key ? t.lang_key : "";
        }
        metadata.texts.push_back(std::move(text));
    }
}

// A library error jumps back into this function, so nothing in it may need destroying;
// what it made lives in *progress.
bool RunRead(png_structp png, png_infop info, const std::string& name, raster::Colour background,
             Progress* progress) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_info(png, info);
    progress->headerRead = true;
    png_set_expand(png);  // palette to colours, small grey depths to 8 bits, transparency to alpha
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    png_set_bgr(png);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    progress->alpha = png_get_channels(png, info) == 4;
    progress->interlaced = passes > 1;
    const std::size_t alphaBytes =
        progress->alpha ? static_cast<std::size_t>(width) * 4 * (progress->interlaced ? height : 1) : 0;
    progress->result = platform::MakeDecodeTarget(width, height, alphaBytes, name);
    if (!progress->result.image) return false;
    if (png_get_rowbytes(png, info) != static_cast<std::size_t>(width) * (progress->alpha ? 4 : 3)) {
        png_error(png, "unexpected row layout");
    }
    progress->withAlpha.assign(alphaBytes, 0);
    PixelBuffer& image = *progress->result.image;
    if (progress->interlaced) {
        ReadInterlacedRows(png, passes, image, background, progress);
    } else {
        ReadPlainRows(png, image, background, progress);
    }
    // Text chunks may follow the picture; they join those before it.
    png_read_end(png, info);
    return true;
}

}  // namespace

bool LooksLikePng(const std::uint8_t* data, std::size_t size) {
    return size >= 8 && png_sig_cmp(data, 0, 8) == 0;
}

platform::DecodedImage DecodePng(const std::uint8_t* data, std::size_t size, const std::string& name,
                                 raster::Colour background) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, StopReading, IgnoreWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return platform::DecodeFailure(platform::DecodeStatus::OutOfMemory, name);
    }
    Source source{data, size, 0};
    png_set_read_fn(png, &source, ReadBytes);
    // The compressed data is asked for in pieces this large; a cut file loses at most one.
    png_set_compression_buffer_size(png, kDataPiece);
    Progress progress;
    bool finished = false;
    try {
        finished = RunRead(png, info, name, background, &progress);
    } catch (const std::bad_alloc&) {
        png_destroy_read_struct(&png, &info, nullptr);
        return platform::DecodeFailure(platform::DecodeStatus::OutOfMemory, name);
    }
    if (progress.headerRead) ReadMetadata(png, info, progress.result.metadata);
    png_destroy_read_struct(&png, &info, nullptr);

    platform::DecodedImage& result = progress.result;
    if (!progress.headerRead) return platform::DecodeFailure(platform::DecodeStatus::NotImage, name);
    if (!result.image) return std::move(result);
    if (progress.rowsRead == 0) return platform::DecodeFailure(platform::DecodeStatus::NotImage, name);
    PixelBuffer& image = *result.image;
    if (progress.interlaced && progress.alpha) {
        const std::size_t alphaRow = static_cast<std::size_t>(image.Width()) * 4;
        for (int row = 0; row < image.Height(); ++row) {
            if (LayRowOver(progress.withAlpha.data() + alphaRow * row, image.Width(), background, image.Row(row))) {
                progress.transparent = true;
            }
        }
    }
    if (progress.rowsRead < image.Height()) FillRowsFrom(image, progress.rowsRead, background);
    result.transparent = progress.transparent;
    if (!finished) MarkDamaged(result, name);
    return std::move(result);
}
