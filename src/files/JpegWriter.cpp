#include "files/JpegWriter.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include <jpeglib.h>

#include "files/Metadata.h"
#include "files/PixelOrder.h"
#include "files/SafeWrite.h"
#include "platform/Busy.h"

namespace {

// The library's standard error manager with a place to return to and the last message.
struct JpegErrorManager {
    jpeg_error_mgr library;
    std::jmp_buf recovery;
    char lastMessage[JMSG_LENGTH_MAX];
};

JpegErrorManager& ManagerOf(j_common_ptr cinfo) { return *reinterpret_cast<JpegErrorManager*>(cinfo->err); }

void OutputMessage(j_common_ptr cinfo) { (*cinfo->err->format_message)(cinfo, ManagerOf(cinfo).lastMessage); }

// Never returns to the library: compression stops and the writer cleans up.
void ErrorExit(j_common_ptr cinfo) {
    (*cinfo->err->output_message)(cinfo);
    std::longjmp(ManagerOf(cinfo).recovery, 1);
}

void ResetErrors(j_common_ptr cinfo) {
    cinfo->err->num_warnings = 0;
    cinfo->err->msg_code = 0;
    ManagerOf(cinfo).lastMessage[0] = '\0';
}

struct Picture {
    int width;
    int height;
    int quality;
    const std::uint8_t* base;
    std::size_t lastRowOffset;
    J_COLOR_SPACE order;  // JCS_RGB, or JCS_EXT_BGR for rows as the program stores them
    CarriedMetadata carried;
};

constexpr unsigned kLongestSegment = 65533;  // a marker segment's data, after its length

// The file's camera data, description and colour profile, as far as each fits a segment;
// one that cannot fit is left out rather than cut.
void WriteMetadata(jpeg_compress_struct* cinfo, const Picture& picture) {
    if (!picture.carried) return;
    const platform::PictureMetadata& carried = *picture.carried;
    const auto write = [&](const char* signature, std::size_t signatureLength, const std::vector<std::uint8_t>& body) {
        if (body.empty() || body.size() + signatureLength > kLongestSegment) return;
        std::vector<std::uint8_t> segment(signature, signature + signatureLength);
        segment.insert(segment.end(), body.begin(), body.end());
        jpeg_write_marker(cinfo, JPEG_APP0 + 1, segment.data(), static_cast<unsigned>(segment.size()));
    };
    write(kExifSignature, sizeof kExifSignature, ExifForSave(carried.exif, picture.width, picture.height));
    write(kXmpSignature, sizeof kXmpSignature, carried.xmp);
    if (ProfileFitsRgb(carried.icc)) {
        jpeg_write_icc_profile(cinfo, carried.icc.data(), static_cast<unsigned>(carried.icc.size()));
    }
}

// A library error jumps back into this function, so nothing in it may need destroying;
// the library's records live in the caller.
int RunCompression(jpeg_compress_struct* cinfo, JpegErrorManager* errors, std::FILE* file, const Picture& picture) {
    cinfo->err = jpeg_std_error(&errors->library);
    errors->library.error_exit = ErrorExit;
    errors->library.output_message = OutputMessage;
    errors->library.reset_error_mgr = ResetErrors;
    errors->lastMessage[0] = '\0';
    if (setjmp(errors->recovery)) {
        jpeg_destroy_compress(cinfo);
        return 0;
    }
    jpeg_create_compress(cinfo);
    jpeg_stdio_dest(cinfo, file);
    cinfo->image_width = static_cast<JDIMENSION>(picture.width);
    cinfo->image_height = static_cast<JDIMENSION>(picture.height);
    cinfo->input_components = 3;
    cinfo->in_color_space = picture.order;
    jpeg_set_defaults(cinfo);
    jpeg_set_quality(cinfo, picture.quality, TRUE);
    jpeg_start_compress(cinfo, TRUE);
    WriteMetadata(cinfo, picture);
    const std::size_t stride = static_cast<std::size_t>(raster::StrideFor(picture.width, 24));
    while (cinfo->next_scanline < cinfo->image_height) {
        JSAMPROW row =
            const_cast<JSAMPLE*>(picture.base + picture.lastRowOffset - cinfo->next_scanline * stride);
        jpeg_write_scanlines(cinfo, &row, 1);
        platform::StepProgress(cinfo->next_scanline, picture.height);
    }
    jpeg_finish_compress(cinfo);
    jpeg_destroy_compress(cinfo);
    return 1;
}

// Writes the file; on failure returns 0 with the box to show described in *cantOpen and
// *reason, so that the caller can show it once the document's pixels are back in order.
int Compress(const std::string& path, const Picture& picture, bool* cantOpen, std::string* reason) {
    SafeFile out;
    if (!OpenSafeFile(out, path)) {
        *cantOpen = true;
        *reason = WriteErrorText(out.error);
        return 0;
    }
    jpeg_compress_struct cinfo{};
    JpegErrorManager errors{};
    if (!RunCompression(&cinfo, &errors, out.file, picture)) {
        AbandonSafeFile(out);
        *reason = errors.lastMessage;
        return 0;
    }
    return CommitSafeFile(out, reason) ? 1 : 0;
}

}  // namespace

int CompressJpeg(const std::string& path, int width, int height, int quality, const std::uint8_t* pixelBase,
                 std::size_t lastRowOffset) {
    bool cantOpen = false;
    std::string reason;
    const int result =
        Compress(path, Picture{width, height, quality, pixelBase, lastRowOffset, JCS_RGB, nullptr}, &cantOpen, &reason);
    if (!result) ReportWriteFailure(path, cantOpen, reason);
    return result;
}

int WriteJpeg(const PixelBuffer* image, const std::string& path, CarriedMetadata carried) {
    if (!CheckWritable(image, path)) return 0;
    const std::size_t lastRowOffset = static_cast<std::size_t>(image->Height() - 1) * image->Stride();
    bool cantOpen = false;
    std::string reason;
    // libjpeg reads the blue-green-red rows as they are, so the document is only ever read.
    const int result = Compress(
        path, Picture{image->Width(), image->Height(), 100, image->Bits(), lastRowOffset, JCS_EXT_BGR, carried}, &cantOpen,
        &reason);
    if (!result) ReportWriteFailure(path, cantOpen, reason);
    return result;
}

int WriteJpeg(const PixelBuffer* image, const std::string& path) { return WriteJpeg(image, path, nullptr); }
