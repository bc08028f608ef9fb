// What the decoders share: the failure records with their messages, and the making of
// the 24-bit result once a picture's size is known and accepted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/ImageDecoder.h"

namespace platform {

// A failed decode with the message that tells the user about it; width and height are
// quoted by the too-large message.
DecodedImage DecodeFailure(DecodeStatus status, const std::string& name, long long width = 0,
                           long long height = 0);

// Accepts a width x height picture whose decoding needs extraBytes beside the result,
// and makes its 24-bit buffer with the row padding zeroed. Refuses sizes that are not
// positive, larger than kMaxBitmapSide, or beyond the machine's memory, before anything
// is allocated.
DecodedImage MakeDecodeTarget(long long width, long long height, std::size_t extraBytes, const std::string& name);

// The most pixels one decode may make: as many as the sides allow, unless a harness that
// runs under a memory limit (the fuzzer) lowers it. Past it a picture is out of memory.
extern std::uint64_t DecodePixelLimit;

// True when a need of bytes could never be met by the machine's memory.
bool BeyondMemory(std::uint64_t bytes);

}  // namespace platform
