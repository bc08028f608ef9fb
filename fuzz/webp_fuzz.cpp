// Feeds arbitrary bytes to the WebP reader: still pictures, animations and their chunks.
#include <cstdlib>

#include "CheckDecoded.h"
#include "files/WebpReader.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    platform::DecodePixelLimit = 4096 * 4096;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckDecoded(DecodeWebp(data, size, "fuzz.webp", 0x00FFFFFF));
    return 0;
}
