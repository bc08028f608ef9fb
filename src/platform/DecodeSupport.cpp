// What the decoders share, in plain C++: the failure records with their messages, the
// making of the 24-bit result once a picture's size is known and accepted, and the reading
// of a whole file.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "platform/ImageDecoder.h"
#include "platform/MessageBox.h"

namespace platform {

namespace {

// Written into every decoded buffer's header, as into the program's own (96 dots per inch).
constexpr std::int32_t kDecodedPixelsPerMetre = 3780;

std::string Quoted(const std::string& name) { return "\"" + name + "\""; }

// Why a file could not be opened, in the user's words.
std::string CannotOpenReason(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR: return "there is no such file.";
        case EACCES:
        case EPERM: return "you have no permission to read it.";
        case EISDIR: return "it is a folder, not a file.";
        default: return std::string(std::strerror(error)) + ".";
    }
}

DecodedImage CannotOpenFailure(const std::string& path, int error) {
    DecodedImage failure = DecodeFailure(DecodeStatus::CannotOpen, path);
    failure.text = "Cannot open " + Quoted(path) + ": " + CannotOpenReason(error);
    return failure;
}

}  // namespace

DecodedImage DecodeFailure(DecodeStatus status, const std::string& name, long long width, long long height) {
    DecodedImage failure;
    failure.status = status;
    failure.caption = kCaptionError;
    switch (status) {
        case DecodeStatus::Ok:
        case DecodeStatus::Damaged:
        case DecodeStatus::NotImage:
            failure.status = DecodeStatus::NotImage;
            failure.text = Quoted(name) + " is not an image, or the file is damaged.";
            break;
        case DecodeStatus::CannotOpen:
            failure.text = "Cannot open " + Quoted(name) + ".";
            break;
        case DecodeStatus::TooLarge:
            failure.text = Quoted(name) + " is too large: the image is " + std::to_string(width) + " x " +
                           std::to_string(height) + " pixels, and neither side may be more than " +
                           std::to_string(raster::kMaxBitmapSide) + " pixels.";
            break;
        case DecodeStatus::OutOfMemory:
            failure.text = "There is not enough memory to create the bitmap.";
            failure.caption = kCaptionOutOfMemory;
            break;
    }
    return failure;
}

std::uint64_t DecodePixelLimit = kFullDecodePixelLimit;

bool BeyondMemory(std::uint64_t bytes) {
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) return false;
    return bytes / static_cast<std::uint64_t>(pageSize) >= static_cast<std::uint64_t>(pages);
}

DecodedImage MakeDecodeTarget(long long width, long long height, std::size_t extraBytes, const std::string& name) {
    if (width <= 0 || height <= 0) return DecodeFailure(DecodeStatus::NotImage, name);
    if (width > raster::kMaxBitmapSide || height > raster::kMaxBitmapSide) {
        return DecodeFailure(DecodeStatus::TooLarge, name, width, height);
    }
    const int w = static_cast<int>(width);
    const int h = static_cast<int>(height);
    const std::uint64_t bytes = static_cast<std::uint64_t>(raster::StrideFor(w, 24)) * static_cast<std::uint64_t>(h);
    if (static_cast<std::uint64_t>(w) * static_cast<std::uint64_t>(h) > DecodePixelLimit ||
        BeyondMemory(bytes + extraBytes)) {
        return DecodeFailure(DecodeStatus::OutOfMemory, name);
    }

    DecodedImage result;
    // The header of the program's own 24-bit buffers.
    raster::BitmapInfo header{};
    header.header.width = w;
    header.header.height = h;
    header.header.bitCount = 24;
    header.header.sizeImage = static_cast<std::uint32_t>(raster::StrideFor(w, 24));
    header.header.xPelsPerMeter = kDecodedPixelsPerMetre;
    header.header.yPelsPerMeter = kDecodedPixelsPerMetre;
    result.image = raster::Bitmap::Create(header);
    if (!result.image) return DecodeFailure(DecodeStatus::OutOfMemory, name);
    const int stride = result.image->Stride();
    for (int r = 0; r < h; ++r) std::fill(result.image->Row(r) + 3 * w, result.image->Row(r) + stride, 0);
    result.status = DecodeStatus::Ok;
    return result;
}

std::string CannotOpenText(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return CannotOpenFailure(path, errno).text;
    struct stat info {};
    const bool folder = fstat(fileno(file), &info) == 0 && S_ISDIR(info.st_mode);
    std::fclose(file);
    return folder ? CannotOpenFailure(path, EISDIR).text : std::string();
}

DecodedImage ReadImageFileBytes(const std::string& path, std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return CannotOpenFailure(path, errno);
    struct stat info {};
    if (fstat(fileno(file), &info) != 0 || S_ISDIR(info.st_mode)) {
        const int error = S_ISDIR(info.st_mode) ? EISDIR : errno;
        std::fclose(file);
        return CannotOpenFailure(path, error);
    }
    DecodedImage result;
    result.status = DecodeStatus::Ok;
    try {
        if (S_ISREG(info.st_mode)) {
            if (BeyondMemory(static_cast<std::uint64_t>(info.st_size))) throw std::bad_alloc();
            bytes.reserve(static_cast<std::size_t>(info.st_size));
        }
        std::uint8_t chunk[65536];
        std::size_t got = 0;
        while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
            if (BeyondMemory(bytes.size() + got)) throw std::bad_alloc();
            bytes.insert(bytes.end(), chunk, chunk + got);
        }
        if (std::ferror(file)) result = CannotOpenFailure(path, errno ? errno : EIO);
    } catch (const std::bad_alloc&) {
        result = DecodeFailure(DecodeStatus::OutOfMemory, path);
    }
    std::fclose(file);
    if (result.status != DecodeStatus::Ok) bytes.clear();
    return result;
}

}  // namespace platform
