#include "files/TiffReader.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstring>
#include <new>
#include <vector>

#include "files/ReaderSupport.h"

namespace {

// Rows decoded at a time: a band of the picture, so that the RGBA copy stays small.
constexpr std::uint32_t kBandRows = 64;
// The most one allocation of libtiff's may take: a strip or tile this large is not a
// picture the program could show anyway.
constexpr tmsize_t kLargestAllocation = tmsize_t{1} << 30;

struct Source {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at;
    int errors;
};

Source& SourceOf(thandle_t handle) { return *static_cast<Source*>(handle); }

tmsize_t ReadBytes(thandle_t handle, void* out, tmsize_t length) {
    Source& source = SourceOf(handle);
    if (length < 0 || source.at > source.size) return 0;
    const std::size_t count = std::min(static_cast<std::size_t>(length), source.size - source.at);
    std::memcpy(out, source.data + source.at, count);
    source.at += count;
    return static_cast<tmsize_t>(count);
}

tmsize_t RefuseWrite(thandle_t, void*, tmsize_t) { return 0; }

toff_t Seek(thandle_t handle, toff_t offset, int whence) {
    Source& source = SourceOf(handle);
    const toff_t base = whence == SEEK_CUR ? source.at : whence == SEEK_END ? source.size : 0;
    source.at = static_cast<std::size_t>(base + offset);
    return source.at;
}

int Close(thandle_t) { return 0; }
toff_t SizeOf(thandle_t handle) { return SourceOf(handle).size; }

// The bytes are in memory already: libtiff reads them in place.
int Map(thandle_t handle, void** base, toff_t* size) {
    *base = const_cast<std::uint8_t*>(SourceOf(handle).data);
    *size = SourceOf(handle).size;
    return 1;
}
void Unmap(thandle_t, void*, toff_t) {}

// libtiff's complaints are counted, never printed: a damaged strip shows in the result.
int CountError(TIFF*, void* source, const char*, const char*, va_list) {
    ++static_cast<Source*>(source)->errors;
    return 1;
}
int IgnoreWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

struct OpenFile {
    TIFF* tiff = nullptr;
    ~OpenFile() {
        if (tiff) TIFFClose(tiff);
    }
};

struct RgbaReader {
    TIFFRGBAImage image{};
    bool begun = false;
    ~RgbaReader() {
        if (begun) TIFFRGBAImageEnd(&image);
    }
};

std::vector<std::uint8_t> FieldBytes(TIFF* tiff, ttag_t tag) {
    std::uint32_t count = 0;
    void* data = nullptr;
    if (!TIFFGetField(tiff, tag, &count, &data) || !data) return {};
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    return std::vector<std::uint8_t>(bytes, bytes + count);
}

// Premultiplied colours back to plain ones, so that they are laid over the background as
// any other.
void Unpremultiply(std::uint8_t* rgba, int width) {
    for (int x = 0; x < width; ++x, rgba += 4) {
        const int alpha = rgba[3];
        if (alpha == 255) continue;
        for (int c = 0; c < 3; ++c) rgba[c] = static_cast<std::uint8_t>(alpha ? std::min(255, rgba[c] * 255 / alpha) : 0);
    }
}

// Copies a band of RGBA pixels into the result's rows from first on; true when one was not
// opaque.
bool CopyBand(const std::vector<std::uint32_t>& band, std::uint32_t rows, bool alpha, raster::Colour background,
              PixelBuffer& image, int first) {
    bool transparent = false;
    const int width = image.Width();
    for (std::uint32_t r = 0; r < rows; ++r) {
        auto* rgba = reinterpret_cast<std::uint8_t*>(const_cast<std::uint32_t*>(band.data()) +
                                                     static_cast<std::size_t>(r) * width);
        std::uint8_t* out = image.Row(first + static_cast<int>(r));
        if (!alpha) {
            for (int x = 0; x < width; ++x, out += 3) {
                const std::uint32_t p = band[static_cast<std::size_t>(r) * width + x];
                out[0] = static_cast<std::uint8_t>(TIFFGetB(p));
                out[1] = static_cast<std::uint8_t>(TIFFGetG(p));
                out[2] = static_cast<std::uint8_t>(TIFFGetR(p));
            }
            continue;
        }
        Unpremultiply(rgba, width);
        if (LayRowOver(rgba, width, background, out, true)) transparent = true;
    }
    return transparent;
}

}  // namespace

bool LooksLikeTiff(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return false;
    const bool intel = data[0] == 'I' && data[1] == 'I' && (data[2] == 42 || data[2] == 43) && data[3] == 0;
    const bool motorola = data[0] == 'M' && data[1] == 'M' && data[2] == 0 && (data[3] == 42 || data[3] == 43);
    return intel || motorola;
}

platform::DecodedImage DecodeTiff(const std::uint8_t* data, std::size_t size, const std::string& name,
                                  raster::Colour background) {
    using platform::DecodeFailure;
    using platform::DecodeStatus;
    Source source{data, size, 0, 0};
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (!options) return DecodeFailure(DecodeStatus::OutOfMemory, name);
    TIFFOpenOptionsSetErrorHandlerExtR(options, CountError, &source);
    TIFFOpenOptionsSetWarningHandlerExtR(options, IgnoreWarning, nullptr);
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, kLargestAllocation);
    OpenFile file;
    file.tiff = TIFFClientOpenExt(name.c_str(), "r", &source, ReadBytes, RefuseWrite, Seek, Close, SizeOf, Map, Unmap,
                                  options);
    TIFFOpenOptionsFree(options);
    if (!file.tiff) return DecodeFailure(DecodeStatus::NotImage, name);

    std::uint32_t width = 0;
    std::uint32_t height = 0;
    TIFFGetField(file.tiff, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(file.tiff, TIFFTAG_IMAGELENGTH, &height);
    char why[1024] = {};
    if (!TIFFRGBAImageOK(file.tiff, why)) return DecodeFailure(DecodeStatus::NotImage, name);
    const std::size_t bandBytes = static_cast<std::size_t>(width) * kBandRows * 4;
    platform::DecodedImage result = platform::MakeDecodeTarget(width, height, bandBytes, name);
    if (!result.image) return result;

    RgbaReader reader;
    reader.begun = TIFFRGBAImageBegin(&reader.image, file.tiff, 1, why) != 0;
    if (!reader.begun) return DecodeFailure(DecodeStatus::NotImage, name);
    reader.image.req_orientation = ORIENTATION_TOPLEFT;
    // libtiff hands over colours multiplied by their alpha, whichever way the file has them.
    const bool alpha = reader.image.alpha != 0;
    std::vector<std::uint32_t> band;
    try {
        band.assign(static_cast<std::size_t>(width) * kBandRows, 0);
    } catch (const std::bad_alloc&) {
        return DecodeFailure(DecodeStatus::OutOfMemory, name);
    }
    PixelBuffer& image = *result.image;
    std::uint32_t rowsRead = 0;
    const int errorsBefore = source.errors;
    // A band that cannot be read whole is read again a row at a time, so that a damaged
    // strip costs the rows from it on, not the whole band.
    std::uint32_t bandRows = kBandRows;
    while (rowsRead < height) {
        const std::uint32_t rows = std::min(bandRows, height - rowsRead);
        reader.image.row_offset = static_cast<int>(rowsRead);
        reader.image.col_offset = 0;
        if (!TIFFRGBAImageGet(&reader.image, band.data(), width, rows)) {
            if (rows == 1) break;
            bandRows = 1;
            continue;
        }
        if (CopyBand(band, rows, alpha, background, image, static_cast<int>(rowsRead))) result.transparent = true;
        rowsRead += rows;
    }
    if (rowsRead == 0) return DecodeFailure(DecodeStatus::NotImage, name);
    result.metadata.icc = FieldBytes(file.tiff, TIFFTAG_ICCPROFILE);
    result.metadata.xmp = FieldBytes(file.tiff, TIFFTAG_XMLPACKET);
    if (rowsRead < height) FillRowsFrom(image, static_cast<int>(rowsRead), background);
    if (rowsRead < height || source.errors > errorsBefore) MarkDamaged(result, name);
    return result;
}
