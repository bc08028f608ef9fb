#include "files/WebpWriter.h"

#include <webp/encode.h>
#include <webp/mux.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "files/PixelOrder.h"
#include "files/SafeWrite.h"
#include "platform/Busy.h"

namespace {

struct Picture {
    WebPPicture picture{};
    WebPMemoryWriter memory{};
    Picture() {
        WebPPictureInit(&picture);
        WebPMemoryWriterInit(&memory);
    }
    ~Picture() {
        WebPPictureFree(&picture);
        WebPMemoryWriterClear(&memory);
    }
};

struct Mux {
    WebPMux* mux = WebPMuxNew();
    WebPData assembled{};
    ~Mux() {
        WebPDataClear(&assembled);
        WebPMuxDelete(mux);
    }
};

int ShowProgress(int percent, const WebPPicture*) {
    platform::StepProgress(percent, 100);
    return 1;
}

std::string EncodingError(WebPEncodingError error) {
    if (error == VP8_ENC_ERROR_OUT_OF_MEMORY || error == VP8_ENC_ERROR_BITSTREAM_OUT_OF_MEMORY) {
        return "There is not enough memory.";
    }
    return "The WebP encoder failed (error " + std::to_string(static_cast<int>(error)) + ").";
}

// The encoded picture with the carried chunks around it, in *bytes; false with the reason.
bool Encode(const PixelBuffer& image, bool lossless, CarriedMetadata carried, std::vector<std::uint8_t>* bytes,
            std::string* reason) {
    WebPConfig config;
    if (!WebPConfigInit(&config)) {
        *reason = "The WebP encoder cannot be used.";
        return false;
    }
    config.lossless = lossless ? 1 : 0;
    // For lossless pictures the quality is the effort spent on a smaller file; the
    // library's default gives most of the gain.
    config.quality = lossless ? 75.0f : static_cast<float>(kWebpQuality);
    Picture encoded;
    WebPPicture& picture = encoded.picture;
    picture.width = image.Width();
    picture.height = image.Height();
    picture.use_argb = lossless ? 1 : 0;
    picture.writer = WebPMemoryWrite;
    picture.custom_ptr = &encoded.memory;
    picture.progress_hook = ShowProgress;
    // The top row is the last one stored: read upwards from it.
    if (!WebPPictureImportBGR(&picture, image.Row(0), -image.Stride()) || !WebPEncode(&config, &picture)) {
        *reason = EncodingError(picture.error_code);
        return false;
    }

    const std::vector<std::uint8_t> exif =
        carried ? ExifForSave(carried->exif, image.Width(), image.Height()) : std::vector<std::uint8_t>();
    const bool profile = carried && ProfileFitsRgb(carried->icc);
    if (exif.empty() && !profile && (!carried || carried->xmp.empty())) {
        bytes->assign(encoded.memory.mem, encoded.memory.mem + encoded.memory.size);
        return true;
    }
    Mux mux;
    const WebPData bitstream{encoded.memory.mem, encoded.memory.size};
    bool ok = mux.mux && WebPMuxSetImage(mux.mux, &bitstream, 0) == WEBP_MUX_OK;
    const auto chunk = [&](const char* fourcc, const std::vector<std::uint8_t>& data) {
        const WebPData d{data.data(), data.size()};
        if (ok && !data.empty()) ok = WebPMuxSetChunk(mux.mux, fourcc, &d, 0) == WEBP_MUX_OK;
    };
    chunk("EXIF", exif);
    chunk("XMP ", carried->xmp);
    if (profile) chunk("ICCP", carried->icc);
    if (!ok || WebPMuxAssemble(mux.mux, &mux.assembled) != WEBP_MUX_OK) {
        *reason = "There is not enough memory.";
        return false;
    }
    bytes->assign(mux.assembled.bytes, mux.assembled.bytes + mux.assembled.size);
    return true;
}

}  // namespace

int WriteWebp(const PixelBuffer* image, const std::string& path, bool lossless, CarriedMetadata carried) {
    if (!CheckWritable(image, path)) return 0;
    if (image->Width() > kWebpLargestSide || image->Height() > kWebpLargestSide) {
        ReportCantWrite(path, "A WebP picture may be at most " + std::to_string(kWebpLargestSide) +
                                  " pixels wide and high; this one is " + std::to_string(image->Width()) + " x " +
                                  std::to_string(image->Height()) + ".");
        return 0;
    }
    std::vector<std::uint8_t> bytes;
    std::string reason;
    if (!Encode(*image, lossless, carried, &bytes, &reason)) {
        ReportCantWrite(path, reason);
        return 0;
    }
    SafeFile out;
    if (!OpenSafeFile(out, path)) {
        ReportCantOpen(path, WriteErrorText(out.error));
        return 0;
    }
    if (std::fwrite(bytes.data(), 1, bytes.size(), out.file) != bytes.size()) {
        reason = WriteErrorText(errno);
        AbandonSafeFile(out);
        ReportCantWrite(path, reason);
        return 0;
    }
    if (!CommitSafeFile(out, &reason)) {
        ReportCantWrite(path, reason);
        return 0;
    }
    return 1;
}
