#include "platform/raster/Bitmap.h"

#include <new>

namespace raster {

std::unique_ptr<Bitmap> Bitmap::Create(const BitmapInfo& info) noexcept {
    const BitmapInfoHeader& h = info.header;
    if (h.width <= 0 || h.height <= 0 || h.width > kMaxBitmapSide || h.height > kMaxBitmapSide) return nullptr;
    if (h.bitCount != 24 && h.bitCount != 8) return nullptr;
    std::unique_ptr<Bitmap> bitmap(new (std::nothrow) Bitmap());
    if (!bitmap) return nullptr;
    bitmap->info_ = info;
    bitmap->stride_ = StrideFor(h.width, h.bitCount);
    bitmap->bits_.reset(new (std::nothrow) std::uint8_t[bitmap->ByteSize()]);
    if (!bitmap->bits_) return nullptr;
    return bitmap;
}

std::unique_ptr<DrawingContext> CreateMemoryContext(const BitmapInfo& info) noexcept {
    std::unique_ptr<Bitmap> bitmap = Bitmap::Create(info);
    if (!bitmap) return nullptr;
    std::unique_ptr<DrawingContext> dc(new (std::nothrow) DrawingContext(std::move(bitmap)));
    return dc;
}

}  // namespace raster
