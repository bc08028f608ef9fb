// Feeds arbitrary bytes to the HEIF and AVIF reader on libheif.
#include <cstdlib>

#include "CheckDecoded.h"
#include "files/HeifReader.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    platform::DecodePixelLimit = 4096 * 4096;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckDecoded(DecodeHeif(data, size, "fuzz.heif", 0x00FFFFFF));
    return 0;
}
