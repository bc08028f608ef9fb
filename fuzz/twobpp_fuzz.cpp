// Feeds arbitrary bytes, made to look like a 2-bit bitmap file, straight to our own reader.
#include <cstdlib>
#include <vector>

#include "platform/BitmapFiles.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    platform::DecodePixelLimit = 4096 * 4096;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Keep the signature and the bit count in place so the mutations reach the reader's
    // checks rather than its front door; the copy has exactly the input's length.
    std::vector<std::uint8_t> bytes(data, data + size);
    if (bytes.size() >= 2) bytes[0] = 'B', bytes[1] = 'M';
    const bool core = bytes.size() >= 18 && bytes[14] == 12 && bytes[15] == 0 && bytes[16] == 0 && bytes[17] == 0;
    const std::size_t bitCount = core ? 24 : 28;
    if (bytes.size() >= bitCount + 2) bytes[bitCount] = 2, bytes[bitCount + 1] = 0;
    platform::BitmapPixelsCutShort(bytes.data(), bytes.size());
    const platform::DecodedImage decoded = platform::DecodeTwoBppBitmap(bytes.data(), bytes.size(), "fuzz.2bp");
    if (decoded.status == platform::DecodeStatus::Ok) {
        if (!decoded.image || decoded.image->ByteSize() == 0) std::abort();
    } else if (decoded.image) {
        std::abort();
    }
    return 0;
}
