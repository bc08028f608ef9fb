// What every fuzz target asks of a decoder's result: a failure has a message and no
// picture; a picture, whole or damaged, is a sound 24-bit buffer of an allowed size whose
// every byte can be read.
#pragma once

#include <cstdlib>

#include "platform/ImageDecoder.h"

inline void CheckDecoded(const platform::DecodedImage& decoded) {
    if (decoded.status == platform::DecodeStatus::Damaged && decoded.text.empty()) std::abort();
    if (decoded.status != platform::DecodeStatus::Ok && decoded.status != platform::DecodeStatus::Damaged) {
        if (decoded.image || decoded.text.empty()) std::abort();
        return;
    }
    const raster::Bitmap* image = decoded.image.get();
    if (!image || image->BitsPerPixel() != 24 || image->Width() < 1 || image->Height() < 1 ||
        image->Width() > raster::kMaxBitmapSide || image->Height() > raster::kMaxBitmapSide) {
        std::abort();
    }
    volatile unsigned sum = 0;
    for (std::size_t i = 0; i < image->ByteSize(); ++i) sum = sum + image->Bits()[i];
    for (const std::uint8_t b : decoded.metadata.exif) sum = sum + b;
    for (const std::uint8_t b : decoded.metadata.icc) sum = sum + b;
}
