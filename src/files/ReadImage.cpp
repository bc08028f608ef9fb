#include "files/ReadImage.h"

#include <vector>

#include "files/HeifReader.h"
#include "files/JpegReader.h"
#include "files/PngReader.h"
#include "files/TiffReader.h"
#include "files/WebpReader.h"
#include "image/PaintSettings.h"

platform::DecodedImage ReadImageData(const std::uint8_t* data, std::size_t size, const std::string& name) {
    if (data && LooksLikeJpeg(data, size)) return DecodeJpeg(data, size, name, PaintSettings.BColor);
    if (data && LooksLikePng(data, size)) return DecodePng(data, size, name, PaintSettings.BColor);
    if (data && LooksLikeWebp(data, size)) return DecodeWebp(data, size, name, PaintSettings.BColor);
    if (data && LooksLikeTiff(data, size)) return DecodeTiff(data, size, name, PaintSettings.BColor);
    if (data && LooksLikeHeif(data, size)) return DecodeHeif(data, size, name, PaintSettings.BColor);
    return platform::DecodeImageData(data, size, name, PaintSettings.BColor);
}

platform::DecodedImage ReadImageFile(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    platform::DecodedImage read = platform::ReadImageFileBytes(path, bytes);
    if (read.status != platform::DecodeStatus::Ok) return read;
    return ReadImageData(bytes.data(), bytes.size(), path);
}
