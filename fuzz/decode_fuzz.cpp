// Feeds arbitrary bytes to the whole decoder that opens documents: our JPEG and PNG readers,
// every reader of the platform's, the size checks and the copy into the 24-bit result. A
// result, whole or damaged, must be a sound buffer of an allowed size.
#include <cstdlib>

#include "files/ReadImage.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Qt's readers complain about every broken file; the fuzzer only wants crashes.
    setenv("QT_LOGGING_RULES", "*=false", 1);
    platform::DecodePixelLimit = 4096 * 4096;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const platform::DecodedImage decoded = ReadImageData(data, size, "fuzz.img");
    if (decoded.status == platform::DecodeStatus::Damaged && decoded.text.empty()) std::abort();
    if (decoded.status != platform::DecodeStatus::Ok && decoded.status != platform::DecodeStatus::Damaged) {
        if (decoded.image || decoded.text.empty()) std::abort();
        return 0;
    }
    const raster::Bitmap* image = decoded.image.get();
    if (!image || image->BitsPerPixel() != 24 || image->Width() < 1 || image->Height() < 1 ||
        image->Width() > raster::kMaxBitmapSide || image->Height() > raster::kMaxBitmapSide) {
        std::abort();
    }
    // Reading every byte lets the sanitizer see a buffer shorter than its rows.
    volatile unsigned sum = 0;
    for (std::size_t i = 0; i < image->ByteSize(); ++i) sum = sum + image->Bits()[i];
    return 0;
}
