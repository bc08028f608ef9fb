// Feeds arbitrary bytes to the whole decoder that opens documents: our JPEG and PNG readers,
// WebP, TIFF and HEIF readers, every reader of the platform's, the size checks and the copy
// into the 24-bit result.
#include <cstdlib>

#include "CheckDecoded.h"
#include "files/ReadImage.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Qt's readers complain about every broken file; the fuzzer only wants crashes.
    setenv("QT_LOGGING_RULES", "*=false", 1);
    platform::DecodePixelLimit = 4096 * 4096;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckDecoded(ReadImageData(data, size, "fuzz.img"));
    return 0;
}
