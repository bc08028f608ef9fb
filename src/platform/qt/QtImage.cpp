#include "platform/qt/QtImage.h"

#include <cstring>

namespace platform::qt {

QImage ToQImage(const raster::Bitmap& bitmap, QRect rect) {
    const QRect whole(0, 0, bitmap.Width(), bitmap.Height());
    rect = rect.isNull() ? whole : rect.intersected(whole);
    if (rect.isEmpty()) return QImage();
    QImage image(rect.width(), rect.height(), QImage::Format_BGR888);
    if (image.isNull()) return image;
    if (bitmap.BitsPerPixel() == 24) {
        for (int r = 0; r < rect.height(); ++r) {
            std::memcpy(image.scanLine(r), bitmap.Row(rect.top() + r) + rect.left() * 3,
                        static_cast<std::size_t>(rect.width()) * 3);
        }
        return image;
    }
    const raster::RgbQuad* palette = bitmap.Palette();
    for (int r = 0; r < rect.height(); ++r) {
        const std::uint8_t* src = bitmap.Row(rect.top() + r) + rect.left();
        std::uint8_t* dst = image.scanLine(r);
        for (int c = 0; c < rect.width(); ++c) {
            const raster::RgbQuad& q = palette[src[c]];
            dst[3 * c] = q.blue;
            dst[3 * c + 1] = q.green;
            dst[3 * c + 2] = q.red;
        }
    }
    return image;
}

void CopyIntoBitmap(const QImage& source, raster::Bitmap& bitmap, int x, int y) {
    if (bitmap.BitsPerPixel() != 24) return;
    const QImage image = source.format() == QImage::Format_BGR888 ? source : source.convertToFormat(QImage::Format_BGR888);
    const QRect target = QRect(x, y, image.width(), image.height()).intersected(QRect(0, 0, bitmap.Width(), bitmap.Height()));
    for (int r = target.top(); r <= target.bottom(); ++r) {
        std::memcpy(bitmap.Row(r) + target.left() * 3, image.constScanLine(r - y) + (target.left() - x) * 3,
                    static_cast<std::size_t>(target.width()) * 3);
    }
}

}  // namespace platform::qt
