// The desktop's clipboard, shared with other programs. The program puts its floating piece
// there as an image on Copy and Cut, and takes an image from there on Paste when another
// program (or another run of this one) has put one there since. The Qt layer installs the
// real clipboard; without it an in-memory one serves (tests, the batch tool).
#pragma once

#include <memory>

#include "platform/raster/Bitmap.h"

namespace platform {

// An image from the clipboard as the program takes it: 24-bit pixels, and an 8-bit mask of
// the same size that is non-zero where the image has its pixels (null when all of it does).
struct ClipboardImage {
    std::unique_ptr<raster::Bitmap> pixels;
    std::unique_ptr<raster::Bitmap> mask;
};

class ClipboardService {
public:
    virtual ~ClipboardService() = default;
    // Puts a 24-bit picture on the clipboard as an image; where mask (8 bits, the picture's
    // size) is 0 the image is transparent. False when it could not be done.
    virtual bool PutImage(const raster::Bitmap& pixels, const raster::Bitmap* mask) = 0;
    // Whether the clipboard holds an image that someone else put there after this program's
    // last PutImage.
    virtual bool HasForeignImage() = 0;
    // That image; empty (pixels null) when there is none or memory is short.
    virtual ClipboardImage ForeignImage() = 0;
};

// Installs the clipboard used from now on; null returns to the in-memory one.
void SetClipboardService(ClipboardService* service);
ClipboardService& Clipboard();

// The in-memory clipboard: one image, and who put it there.
class MemoryClipboard : public ClipboardService {
public:
    bool PutImage(const raster::Bitmap& pixels, const raster::Bitmap* mask) override;
    bool HasForeignImage() override;
    ClipboardImage ForeignImage() override;
    // Another program puts an image there (tests).
    void PutForeignImage(const raster::Bitmap& pixels, const raster::Bitmap* mask);
    // What is held now, whoever put it there.
    const raster::Bitmap* HeldPixels() const { return pixels_.get(); }
    const raster::Bitmap* HeldMask() const { return mask_.get(); }
    void Clear();

private:
    void Hold(const raster::Bitmap& pixels, const raster::Bitmap* mask);
    std::unique_ptr<raster::Bitmap> pixels_;
    std::unique_ptr<raster::Bitmap> mask_;
    bool foreign_ = false;
};

// A copy of a bitmap, null when memory is short.
std::unique_ptr<raster::Bitmap> CopyBitmap(const raster::Bitmap& source);

}  // namespace platform
