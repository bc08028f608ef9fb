// Feeds arbitrary bytes to the TIFF reader on libtiff: every photometric form, strips and tiles.
#include <cstdlib>

#include "CheckDecoded.h"
#include "files/TiffReader.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    platform::DecodePixelLimit = 4096 * 4096;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckDecoded(DecodeTiff(data, size, "fuzz.tiff", 0x00FFFFFF));
    return 0;
}
