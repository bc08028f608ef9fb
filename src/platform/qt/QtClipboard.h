// The desktop clipboard on Qt. Our own images carry a mark of this run and of the copy, so
// that Paste can tell them from an image another program put there since.
#pragma once

#include <QByteArray>
#include <QImage>

#include "platform/Clipboard.h"

namespace platform::qt {

class QtClipboardService : public ClipboardService {
public:
    bool PutImage(const raster::Bitmap& pixels, const raster::Bitmap* mask) override;
    bool HasForeignImage() override;
    ClipboardImage ForeignImage() override;

private:
    QByteArray lastMark_;  // the mark of this program's last image; empty before the first
};

// A 24-bit picture with an 8-bit mask as an image with alpha (transparent where the mask is
// 0); without a mask, opaque.
QImage ClipboardImageOf(const raster::Bitmap& pixels, const raster::Bitmap* mask);
// An image as 24-bit pixels, with a mask when it has any transparent pixel (alpha under half
// counts as outside).
ClipboardImage ImageFromClipboard(const QImage& image);

}  // namespace platform::qt
