#include "files/HeifReader.h"

#include <libheif/heif.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "files/ReaderSupport.h"

namespace {

struct Context {
    heif_context* context = heif_context_alloc();
    heif_image_handle* handle = nullptr;
    heif_image* image = nullptr;
    ~Context() {
        heif_image_release(image);
        heif_image_handle_release(handle);
        heif_context_free(context);
    }
};

std::vector<std::uint8_t> MetadataBlock(heif_image_handle* handle, const char* type, const char* contentType) {
    heif_item_id ids[8];
    const int count = heif_image_handle_get_list_of_metadata_block_IDs(handle, type, ids, 8);
    for (int i = 0; i < count; ++i) {
        const char* content = heif_image_handle_get_metadata_content_type(handle, ids[i]);
        if (contentType && (!content || std::strcmp(content, contentType) != 0)) continue;
        std::vector<std::uint8_t> bytes(heif_image_handle_get_metadata_size(handle, ids[i]));
        if (bytes.empty() || heif_image_handle_get_metadata(handle, ids[i], bytes.data()).code != heif_error_Ok) {
            continue;
        }
        return bytes;
    }
    return {};
}

// The EXIF block begins with the offset of its TIFF structure, which is what is kept.
std::vector<std::uint8_t> ExifOf(heif_image_handle* handle) {
    std::vector<std::uint8_t> block = MetadataBlock(handle, "Exif", nullptr);
    if (block.size() < 4) return {};
    const std::size_t offset =
        (std::size_t{block[0]} << 24) | (std::size_t{block[1]} << 16) | (std::size_t{block[2]} << 8) | block[3];
    if (offset > block.size() - 4) return {};
    block.erase(block.begin(), block.begin() + 4 + static_cast<std::ptrdiff_t>(offset));
    return block;
}

std::vector<std::uint8_t> ProfileOf(heif_image_handle* handle) {
    const heif_color_profile_type type = heif_image_handle_get_color_profile_type(handle);
    if (type != heif_color_profile_type_prof && type != heif_color_profile_type_rICC) return {};
    std::vector<std::uint8_t> profile(heif_image_handle_get_raw_color_profile_size(handle));
    if (profile.empty() || heif_image_handle_get_raw_color_profile(handle, profile.data()).code != heif_error_Ok) {
        return {};
    }
    return profile;
}

}  // namespace

bool LooksLikeHeif(const std::uint8_t* data, std::size_t size) {
    if (size < 12 || std::memcmp(data + 4, "ftyp", 4) != 0) return false;
    const heif_filetype_result kind = heif_check_filetype(data, static_cast<int>(std::min<std::size_t>(size, 64)));
    return kind == heif_filetype_yes_supported || kind == heif_filetype_yes_unsupported;
}

platform::DecodedImage DecodeHeif(const std::uint8_t* data, std::size_t size, const std::string& name,
                                  raster::Colour background) {
    using platform::DecodeFailure;
    using platform::DecodeStatus;
    Context c;
    if (!c.context) return DecodeFailure(DecodeStatus::OutOfMemory, name);
    heif_context_set_maximum_image_size_limit(c.context, raster::kMaxBitmapSide);
    if (heif_context_read_from_memory_without_copy(c.context, data, size, nullptr).code != heif_error_Ok ||
        heif_context_get_primary_image_handle(c.context, &c.handle).code != heif_error_Ok) {
        return DecodeFailure(DecodeStatus::NotImage, name);
    }
    // The size is checked, and the result made, before libheif decodes anything.
    const int announcedWidth = heif_image_handle_get_width(c.handle);
    const int announcedHeight = heif_image_handle_get_height(c.handle);
    const bool alpha = heif_image_handle_has_alpha_channel(c.handle) != 0;
    const std::size_t decodingBytes = static_cast<std::size_t>(std::max(announcedWidth, 0)) *
                                      static_cast<std::size_t>(std::max(announcedHeight, 0)) * 8;
    platform::DecodedImage result = platform::MakeDecodeTarget(announcedWidth, announcedHeight, decodingBytes, name);
    if (!result.image) return result;

    const heif_error decoded = heif_decode_image(c.handle, &c.image, heif_colorspace_RGB,
                                                 alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB,
                                                 nullptr);
    if (decoded.code == heif_error_Memory_allocation_error) return DecodeFailure(DecodeStatus::OutOfMemory, name);
    if (decoded.code != heif_error_Ok || !c.image) return DecodeFailure(DecodeStatus::NotImage, name);
    int stride = 0;
    const std::uint8_t* plane = heif_image_get_plane_readonly(c.image, heif_channel_interleaved, &stride);
    const int width = heif_image_get_width(c.image, heif_channel_interleaved);
    const int height = heif_image_get_height(c.image, heif_channel_interleaved);
    if (!plane || width <= 0 || height <= 0) return DecodeFailure(DecodeStatus::NotImage, name);
    // A turn of the picture exchanges the sides the handle announced.
    if (width != result.image->Width() || height != result.image->Height()) {
        result.image.reset();
        result = platform::MakeDecodeTarget(width, height, 0, name);
        if (!result.image) return result;
    }
    PixelBuffer& image = *result.image;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* in = plane + static_cast<std::ptrdiff_t>(y) * stride;
        std::uint8_t* out = image.Row(y);
        if (alpha) {
            if (LayRowOver(in, width, background, out, true)) result.transparent = true;
            continue;
        }
        for (int x = 0; x < width; ++x, in += 3, out += 3) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        }
    }
    result.metadata.exif = ExifOf(c.handle);
    result.metadata.xmp = MetadataBlock(c.handle, "mime", "application/rdf+xml");
    result.metadata.icc = ProfileOf(c.handle);
    return result;
}
