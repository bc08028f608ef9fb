// Moving pixels between raster bitmaps (bottom-up, blue-green-red) and Qt images.
#pragma once

#include <QColor>
#include <QImage>
#include <QRect>

#include "platform/raster/Bitmap.h"

namespace platform::qt {

// A top-down copy of a part of a 24- or 8-bit bitmap (the whole when rect is null).
QImage ToQImage(const raster::Bitmap& bitmap, QRect rect = QRect());

// Writes a 24-bit image part back into the bitmap at (x, y), clipped.
void CopyIntoBitmap(const QImage& image, raster::Bitmap& bitmap, int x, int y);

inline QColor ToQColor(raster::Colour c) { return QColor(raster::RedOf(c), raster::GreenOf(c), raster::BlueOf(c)); }

}  // namespace platform::qt
