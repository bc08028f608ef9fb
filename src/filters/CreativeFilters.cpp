#include "filters/CreativeFilters.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

#include "filters/FilterEngine.h"
#include "platform/raster/ParallelRows.h"
#include "image/PaintSettings.h"
#include "platform/ImageDecoder.h"

bool ApplyTexture(PixelBuffer& target, const PixelBuffer& texture, int level) {
    if (target.BitsPerPixel() != 24 || texture.BitsPerPixel() != 24) return false;
    const int tw = texture.Width();
    const int th = texture.Height();
    std::unique_ptr<std::uint8_t[]> grey(new (std::nothrow) std::uint8_t[static_cast<std::size_t>(tw) * th]);
    if (!grey) return false;
    int smallest = 255;
    int largest = 0;
    for (int y = 0; y < th; ++y) {
        const std::uint8_t* in = texture.Row(y);
        std::uint8_t* out = grey.get() + static_cast<std::size_t>(y) * tw;
        for (int x = 0; x < tw; ++x, in += 3) {
            const int g = (306 * in[2] + 601 * in[1] + 117 * in[0]) >> 10;
            out[x] = static_cast<std::uint8_t>(g);
            smallest = std::min(smallest, g);
            largest = std::max(largest, g);
        }
    }
    if (level == 0) level = largest - (largest - smallest) / 2;

    const int width = target.Width();
    // The texture is tiled from the target's top-right corner.
    std::unique_ptr<int[]> column(new (std::nothrow) int[static_cast<std::size_t>(width)]);
    if (!column) return false;
    for (int c = 0; c < width; ++c) column[c] = tw - 1 - ((width - 1 - c) % tw);
    RunRowsInParallel(target.Height(), width, [&](int first, int end) {
        for (int y = first; y < end; ++y) {
            const std::uint8_t* tile = grey.get() + static_cast<std::size_t>(y % th) * tw;
            std::uint8_t* out = target.Row(y);
            for (int c = 0; c < width; ++c, out += 3) {
                // The difference wraps to a signed byte: 190 becomes -66.
                const int delta = static_cast<std::int8_t>(static_cast<std::uint8_t>(tile[column[c]] - level));
                out[0] = static_cast<std::uint8_t>(ClampChannel(out[0] + delta));
                out[1] = static_cast<std::uint8_t>(ClampChannel(out[1] + delta));
                out[2] = static_cast<std::uint8_t>(ClampChannel(out[2] + delta));
            }
        }
    });
    return true;
}

namespace {

// One row of cells. Cell columns are laid from the right edge; the leftmost cell takes what
// is left.
void MosaicCellRow(PixelBuffer& target, int cellSize, int cellRow) {
    const int width = target.Width();
    const int top = cellRow * cellSize;
    const int bottom = std::min(target.Height(), top + cellSize);
    for (int right = width; right > 0; right -= cellSize) {
        const int left = std::max(0, right - cellSize);
        unsigned sum[3] = {0, 0, 0};
        for (int y = top; y < bottom; ++y) {
            const std::uint8_t* p = target.Row(y) + 3 * left;
            for (int x = left; x < right; ++x, p += 3) {
                sum[0] += p[0];
                sum[1] += p[1];
                sum[2] += p[2];
            }
        }
        const unsigned count = static_cast<unsigned>((bottom - top) * (right - left));
        const std::uint8_t average[3] = {static_cast<std::uint8_t>(sum[0] / count),
                                         static_cast<std::uint8_t>(sum[1] / count),
                                         static_cast<std::uint8_t>(sum[2] / count)};
        for (int y = top; y < bottom; ++y) {
            std::uint8_t* p = target.Row(y) + 3 * left;
            for (int x = left; x < right; ++x, p += 3) std::memcpy(p, average, 3);
        }
    }
}

}  // namespace

void MosaicPixels(PixelBuffer& target, int cellSize) {
    if (cellSize < 1 || target.BitsPerPixel() != 24) return;
    const int width = target.Width();
    const int height = target.Height();
    // Rows of cells are independent: the threads share them.
    const int cellRows = (height + cellSize - 1) / cellSize;
    RunRowsInParallel(cellRows, static_cast<long>(width) * cellSize, [&](int firstCellRow, int endCellRow) {
        for (int cellRow = firstCellRow; cellRow < endCellRow; ++cellRow) MosaicCellRow(target, cellSize, cellRow);
    });
}

int Texture(PixelBuffer* target, const std::string& path, int level) {
    if (!target) return 0;
    platform::DecodedImage decoded = platform::DecodeImageFile(path, PaintSettings.BColor);
    if (!decoded.image) return 0;
    return ApplyTexture(*target, *decoded.image, level) ? 1 : 0;
}

int Mosaic(int cellSize) {
    PixelBuffer* target = FilterTarget();
    if (!target || cellSize < 1) return 0;
    MosaicPixels(*target, cellSize);
    return 1;
}

int Oilpaint() {
    if (!PrepareFilterContext()) return 0;
    OilpaintPixels(*FilterContext.sourceBitmap, *FilterContext.targetBitmap);
    return 1;
}
