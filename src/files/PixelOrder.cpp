#include "files/PixelOrder.h"

#include "files/SafeWrite.h"

bool CheckWritable(const PixelBuffer* image, const std::string& path) {
    if (image && image->BitsPerPixel() == 24 && image->Width() > 0 && image->Height() > 0) return true;
    ReportCantWrite(path, "There is no 24-bit picture to save.");
    return false;
}
