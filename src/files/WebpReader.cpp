#include "files/WebpReader.h"

#include <webp/decode.h>
#include <webp/demux.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "files/ReaderSupport.h"

namespace {

// The demuxer and the frame iterator, released however the decoding ends.
struct Demuxed {
    WebPDemuxer* demux = nullptr;
    WebPIterator frame{};
    bool haveFrame = false;
    ~Demuxed() {
        if (haveFrame) WebPDemuxReleaseIterator(&frame);
        WebPDemuxDelete(demux);
    }
};

struct Incremental {
    WebPIDecoder* decoder = nullptr;
    ~Incremental() { WebPIDelete(decoder); }
};

std::vector<std::uint8_t> ChunkOf(WebPDemuxer* demux, const char* fourcc) {
    WebPChunkIterator chunk{};
    std::vector<std::uint8_t> bytes;
    if (WebPDemuxGetChunk(demux, fourcc, 1, &chunk)) {
        bytes.assign(chunk.chunk.bytes, chunk.chunk.bytes + chunk.chunk.size);
        WebPDemuxReleaseChunkIterator(&chunk);
    }
    return bytes;
}

// The EXIF, XMP and profile chunks. Some writers put the JPEG segment's "Exif" header before
// the TIFF structure; it is taken off.
platform::PictureMetadata ReadMetadata(WebPDemuxer* demux) {
    platform::PictureMetadata metadata;
    metadata.exif = ChunkOf(demux, "EXIF");
    static constexpr std::uint8_t kHeader[6] = {'E', 'x', 'i', 'f', 0, 0};
    if (metadata.exif.size() >= 6 && std::equal(kHeader, kHeader + 6, metadata.exif.begin())) {
        metadata.exif.erase(metadata.exif.begin(), metadata.exif.begin() + 6);
    }
    metadata.xmp = ChunkOf(demux, "XMP ");
    metadata.icc = ChunkOf(demux, "ICCP");
    return metadata;
}

// Decodes the frame's bytes into rows of the given layout, top row first, as far as they
// go; the number of complete rows, or -1 when not even the frame's header could be read.
int DecodeRows(const WebPData& bytes, WEBP_CSP_MODE mode, std::uint8_t* out, int stride, std::size_t size,
               bool* whole) {
    WebPDecBuffer buffer;
    if (!WebPInitDecBuffer(&buffer)) return -1;
    buffer.colorspace = mode;
    buffer.is_external_memory = 1;
    buffer.u.RGBA.rgba = out;
    buffer.u.RGBA.stride = stride;
    buffer.u.RGBA.size = size;
    Incremental incremental{WebPINewDecoder(&buffer)};
    if (!incremental.decoder) return -1;
    const VP8StatusCode status = WebPIUpdate(incremental.decoder, bytes.bytes, bytes.size);
    *whole = status == VP8_STATUS_OK;
    int lastRow = 0;
    if (!WebPIDecGetRGB(incremental.decoder, &lastRow, nullptr, nullptr, nullptr)) return -1;
    return lastRow;
}

}  // namespace

bool LooksLikeWebp(const std::uint8_t* data, std::size_t size) {
    return size >= 12 && std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "WEBP", 4) == 0;
}

platform::DecodedImage DecodeWebp(const std::uint8_t* data, std::size_t size, const std::string& name,
                                  raster::Colour background) {
    using platform::DecodeFailure;
    using platform::DecodeStatus;
    const WebPData whole{data, size};
    WebPDemuxState state = WEBP_DEMUX_PARSE_ERROR;
    Demuxed demuxed;
    demuxed.demux = WebPDemuxPartial(&whole, &state);
    if (!demuxed.demux || state < WEBP_DEMUX_PARSED_HEADER) return DecodeFailure(DecodeStatus::NotImage, name);
    demuxed.haveFrame = WebPDemuxGetFrame(demuxed.demux, 1, &demuxed.frame) != 0;
    if (!demuxed.haveFrame) return DecodeFailure(DecodeStatus::NotImage, name);
    const WebPIterator& frame = demuxed.frame;
    const int width = static_cast<int>(WebPDemuxGetI(demuxed.demux, WEBP_FF_CANVAS_WIDTH));
    const int height = static_cast<int>(WebPDemuxGetI(demuxed.demux, WEBP_FF_CANVAS_HEIGHT));
    WebPBitstreamFeatures features{};
    if (WebPGetFeatures(frame.fragment.bytes, frame.fragment.size, &features) != VP8_STATUS_OK ||
        frame.width <= 0 || frame.height <= 0 || frame.x_offset + frame.width > width ||
        frame.y_offset + frame.height > height) {
        return DecodeFailure(DecodeStatus::NotImage, name);
    }

    // A frame that covers the canvas and is opaque goes straight into the result; any other
    // (the first frame of an animation, a picture with alpha) through a row buffer that is
    // laid over the background.
    const bool direct = !features.has_alpha && frame.x_offset == 0 && frame.y_offset == 0 && frame.width == width &&
                        frame.height == height;
    const std::size_t frameBytes = static_cast<std::size_t>(frame.width) * frame.height * 4;
    platform::DecodedImage result = platform::MakeDecodeTarget(width, height, direct ? 0 : frameBytes, name);
    if (!result.image) return result;
    PixelBuffer& image = *result.image;
    bool complete = false;
    int rows = 0;
    if (direct) {
        rows = DecodeRows(frame.fragment, MODE_BGR, image.Bits(), image.Stride(), image.ByteSize(), &complete);
        if (rows < 0) return DecodeFailure(DecodeStatus::NotImage, name);
        TurnRowsOver(image);
        if (rows < height) FillRowsFrom(image, rows, background);
    } else {
        std::vector<std::uint8_t> pixels;
        try {
            pixels.assign(frameBytes, 0);
        } catch (const std::bad_alloc&) {
            return DecodeFailure(DecodeStatus::OutOfMemory, name);
        }
        rows = DecodeRows(frame.fragment, MODE_BGRA, pixels.data(), frame.width * 4, pixels.size(), &complete);
        if (rows < 0) return DecodeFailure(DecodeStatus::NotImage, name);
        FillRowsFrom(image, 0, background);
        // What the first frame leaves uncovered is the animation's empty, see-through canvas.
        result.transparent = frame.width != width || frame.height != height;
        for (int y = 0; y < rows; ++y) {
            std::uint8_t* out = image.Row(frame.y_offset + y) + 3 * frame.x_offset;
            if (LayRowOver(pixels.data() + static_cast<std::size_t>(y) * frame.width * 4, frame.width, background,
                           out)) {
                result.transparent = true;
            }
        }
    }
    if (rows == 0) return DecodeFailure(DecodeStatus::NotImage, name);
    result.metadata = ReadMetadata(demuxed.demux);
    result.lossless = features.format == 2;
    if (!complete || rows < frame.height) MarkDamaged(result, name);
    return result;
}
