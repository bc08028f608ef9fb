#include "platform/qt/QtClipboard.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMimeData>
#include <cstring>

namespace platform::qt {

namespace {

constexpr const char* kMarkFormat = "application/x-pixelwright-copy";

raster::BitmapInfo InfoFor(int width, int height, int bits) {
    raster::BitmapInfo info{};
    info.header.width = width;
    info.header.height = height;
    info.header.bitCount = static_cast<std::uint16_t>(bits);
    if (bits == 8) {
        for (int i = 0; i < 256; ++i) {
            const auto v = static_cast<std::uint8_t>(i);
            info.colours[i] = raster::RgbQuad{v, v, v, 0};
        }
    }
    return info;
}

// The encoded image format a clipboard offers, when it offers no image Qt has decoded.
QString EncodedImageFormat(const QMimeData& data) {
    for (const QString& format : data.formats()) {
        if (format.startsWith("image/")) return format;
    }
    return {};
}

bool OffersImage(const QMimeData& data) { return data.hasImage() || !EncodedImageFormat(data).isEmpty(); }

QImage OfferedImage(const QMimeData& data) {
    if (data.hasImage()) return qvariant_cast<QImage>(data.imageData());
    const QString format = EncodedImageFormat(data);
    return format.isEmpty() ? QImage() : QImage::fromData(data.data(format));
}

}  // namespace

QImage ClipboardImageOf(const raster::Bitmap& pixels, const raster::Bitmap* mask) {
    const int w = pixels.Width();
    const int h = pixels.Height();
    const bool masked = mask && mask->Width() == w && mask->Height() == h && mask->BitsPerPixel() == 8;
    QImage image(w, h, masked ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull()) return image;
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* src = pixels.Row(y);
        const std::uint8_t* m = masked ? mask->Row(y) : nullptr;
        auto* dst = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* p = src + 3 * x;
            // Transparent pixels keep their colour: a program that ignores alpha still sees it.
            dst[x] = qRgba(p[2], p[1], p[0], (m && m[x] == 0) ? 0 : 255);
        }
    }
    return image;
}

ClipboardImage ImageFromClipboard(const QImage& source) {
    ClipboardImage result;
    if (source.isNull()) return result;
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    if (image.isNull()) return result;
    const int w = image.width();
    const int h = image.height();
    result.pixels = raster::Bitmap::Create(InfoFor(w, h, 24));
    if (!result.pixels) return result;
    bool anyTransparent = false;
    for (int y = 0; y < h && !anyTransparent; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            if (qAlpha(row[x]) < 128) {
                anyTransparent = true;
                break;
            }
        }
    }
    if (anyTransparent) {
        result.mask = raster::Bitmap::Create(InfoFor(w, h, 8));
        if (!result.mask) {
            result.pixels.reset();
            return result;
        }
    }
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        std::uint8_t* dst = result.pixels->Row(y);
        std::uint8_t* m = result.mask ? result.mask->Row(y) : nullptr;
        for (int x = 0; x < w; ++x) {
            dst[3 * x] = static_cast<std::uint8_t>(qBlue(row[x]));
            dst[3 * x + 1] = static_cast<std::uint8_t>(qGreen(row[x]));
            dst[3 * x + 2] = static_cast<std::uint8_t>(qRed(row[x]));
            if (m) m[x] = qAlpha(row[x]) < 128 ? 0 : 255;
        }
    }
    return result;
}

bool QtClipboardService::PutImage(const raster::Bitmap& pixels, const raster::Bitmap* mask) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) return false;
    const QImage image = ClipboardImageOf(pixels, mask);
    if (image.isNull()) return false;
    auto* data = new QMimeData;
    data->setImageData(image);
    // Each copy has a mark of its own, so that only the last one counts as ours.
    static int copies = 0;
    lastMark_ = QByteArray::number(QCoreApplication::applicationPid()) + '-' + QByteArray::number(++copies);
    data->setData(kMarkFormat, lastMark_);
    clipboard->setMimeData(data);
    return true;
}

bool QtClipboardService::HasForeignImage() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
    if (!data || !OffersImage(*data)) return false;
    return lastMark_.isEmpty() || data->data(kMarkFormat) != lastMark_;
}

ClipboardImage QtClipboardService::ForeignImage() {
    if (!HasForeignImage()) return {};
    return ImageFromClipboard(OfferedImage(*QGuiApplication::clipboard()->mimeData()));
}

}  // namespace platform::qt
