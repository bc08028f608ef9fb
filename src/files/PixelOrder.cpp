#include "files/PixelOrder.h"

#include <utility>

#include "files/SafeWrite.h"

bool CheckWritable(const PixelBuffer* image, const std::string& path) {
    if (image && image->BitsPerPixel() == 24 && image->Width() > 0 && image->Height() > 0) return true;
    ReportCantWrite(path, "There is no 24-bit picture to save.");
    return false;
}

void SwapRedBlue(PixelBuffer& image) {
    const int width = image.Width();
    for (int r = 0; r < image.Height(); ++r) {
        std::uint8_t* p = image.Row(r);
        for (int x = 0; x < width; ++x, p += 3) std::swap(p[0], p[2]);
    }
}

PixelBuffer& Writable(const PixelBuffer& image) { return const_cast<PixelBuffer&>(image); }
