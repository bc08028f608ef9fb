// Showing a window's surface on the screen: the copy from the bottom-up raster surface to
// the top-down image Qt paints, for the whole canvas after a zoomed repaint and for the small
// box a pen dab changes at 100 %.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <cstring>

#include "platform/qt/QtImage.h"

namespace {

std::unique_ptr<raster::Bitmap> Surface(int width, int height) {
    raster::BitmapInfo info{};
    info.header.width = width;
    info.header.height = height;
    info.header.bitCount = 24;
    auto bitmap = raster::Bitmap::Create(info);
    if (bitmap) std::memset(bitmap->Bits(), 0x80, bitmap->ByteSize());
    return bitmap;
}

void BM_ShowSurface(benchmark::State& state) {
    const int side = static_cast<int>(state.range(0));
    auto surface = Surface(1920, 1080);
    QImage screen(1920, 1080, QImage::Format_RGB32);
    const QRect part = side == 0 ? QRect(0, 0, 1920, 1080) : QRect(900, 500, side, side);
    for (auto _ : state) {
        QPainter painter(&screen);
        const QImage image = platform::qt::ToQImage(*surface, part);
        painter.drawImage(part.topLeft(), image);
        benchmark::DoNotOptimize(screen.constBits());
    }
    state.SetItemsProcessed(state.iterations() * part.width() * part.height());
}
// 0: the whole 1920 x 1080 canvas; 30: the box of one dab of a size-7 pen with its margin.
BENCHMARK(BM_ShowSurface)->Arg(0)->Arg(30)->Unit(benchmark::kMicrosecond);

}  // namespace
