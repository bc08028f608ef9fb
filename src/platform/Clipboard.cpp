#include "platform/Clipboard.h"

#include <cstring>

namespace platform {

namespace {
ClipboardService* g_service = nullptr;
}

void SetClipboardService(ClipboardService* service) { g_service = service; }

ClipboardService& Clipboard() {
    static MemoryClipboard memory;
    return g_service ? *g_service : memory;
}

std::unique_ptr<raster::Bitmap> CopyBitmap(const raster::Bitmap& source) {
    std::unique_ptr<raster::Bitmap> copy = raster::Bitmap::Create(source.Info());
    if (copy) std::memcpy(copy->Bits(), source.Bits(), source.ByteSize());
    return copy;
}

void MemoryClipboard::Hold(const raster::Bitmap& pixels, const raster::Bitmap* mask) {
    pixels_ = CopyBitmap(pixels);
    mask_ = mask && pixels_ ? CopyBitmap(*mask) : nullptr;
    if (mask && !mask_) pixels_.reset();
}

bool MemoryClipboard::PutImage(const raster::Bitmap& pixels, const raster::Bitmap* mask) {
    Hold(pixels, mask);
    foreign_ = false;
    return pixels_ != nullptr;
}

bool MemoryClipboard::HasForeignImage() { return foreign_ && pixels_; }

ClipboardImage MemoryClipboard::ForeignImage() {
    ClipboardImage image;
    if (!HasForeignImage()) return image;
    image.pixels = CopyBitmap(*pixels_);
    if (mask_ && image.pixels) {
        image.mask = CopyBitmap(*mask_);
        if (!image.mask) image.pixels.reset();
    }
    return image;
}

void MemoryClipboard::PutForeignImage(const raster::Bitmap& pixels, const raster::Bitmap* mask) {
    Hold(pixels, mask);
    foreign_ = true;
}

void MemoryClipboard::Clear() {
    pixels_.reset();
    mask_.reset();
    foreign_ = false;
}

}  // namespace platform
