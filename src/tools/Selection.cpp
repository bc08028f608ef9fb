#include "tools/Selection.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

#include "platform/raster/ParallelRows.h"
#include "image/MaskRuns.h"
#include "image/Undo.h"
#include "image/View.h"
#include "image/PaintSettings.h"
#include "tools/Canvas.h"
#include "tools/FloodFill.h"
#include "image/ToolIds.h"

namespace {

constexpr std::uint8_t kScratchIn = 255;

// The part of a width x height copy from (srcX, srcY) of a source to (x, y) of a target that
// lies inside both.
struct BlitSpan {
    int firstCol = 0;  // offsets from the copy's corner, last ones exclusive
    int lastCol = 0;
    int firstRow = 0;
    int lastRow = 0;
    bool Empty() const { return firstCol >= lastCol || firstRow >= lastRow; }
};

BlitSpan ClipBlit(int x, int y, int width, int height, int targetWidth, int targetHeight, int srcX, int srcY,
                  int sourceWidth, int sourceHeight) {
    BlitSpan s;
    s.firstCol = std::max({0, -x, -srcX});
    s.lastCol = std::min({width, targetWidth - x, sourceWidth - srcX});
    s.firstRow = std::max({0, -y, -srcY});
    s.lastRow = std::min({height, targetHeight - y, sourceHeight - srcY});
    return s;
}

// count pixels of one colour: a few written one by one, then copied onto the rest in ever
// larger blocks.
void FillColourRun(std::uint8_t* d, int count, std::uint8_t b, std::uint8_t g, std::uint8_t r) {
    if (count <= 0) return;
    if (b == g && g == r) {
        std::memset(d, b, static_cast<std::size_t>(3 * count));
        return;
    }
    const int first = std::min(count, 16);
    for (int c = 0; c < first; ++c) {
        d[3 * c] = b;
        d[3 * c + 1] = g;
        d[3 * c + 2] = r;
    }
    for (int done = first; done < count;) {
        const int block = std::min(done, count - done);
        std::memcpy(d + 3 * done, d, static_cast<std::size_t>(3 * block));
        done += block;
    }
}

void SetScratchPixel(std::uint8_t* p, std::uint8_t blue) {
    p[0] = blue;
    p[1] = 0;
    p[2] = 0;
}

}  // namespace

namespace {

// Selected scratch pixels, one row's worth, to copy from.
const std::vector<std::uint8_t>& SelectedScratchRow(int width) {
    static thread_local std::vector<std::uint8_t> row;
    if (row.size() < static_cast<std::size_t>(3 * width)) {
        row.assign(static_cast<std::size_t>(3 * width), 0);
        for (int x = 0; x < width; ++x) row[static_cast<std::size_t>(3 * x)] = kScratchIn;
    }
    return row;
}

}  // namespace

void MaskedBlit(PixelBuffer& target, int x, int y, int width, int height, const PixelBuffer* pixels,
                const PixelBuffer* mask, int srcX, int srcY, BlitMode mode, PixelBuffer* secondTarget) {
    const bool plainMask = mode == BlitMode::Plain && target.BitsPerPixel() == 8;
    const PixelBuffer* source = (mode == BlitMode::Plain && !plainMask) ? pixels : mask;
    if (!source) return;
    if (mode == BlitMode::Paste && !pixels) return;
    const BlitSpan s =
        ClipBlit(x, y, width, height, target.Width(), target.Height(), srcX, srcY, source->Width(), source->Height());
    if (s.Empty()) return;
    const int bytes = plainMask ? 1 : 3;
    if (mode == BlitMode::Plain) {
        for (int r = s.firstRow; r < s.lastRow; ++r) {
            std::memcpy(target.Row(y + r) + bytes * (x + s.firstCol), source->Row(srcY + r) + bytes * (srcX + s.firstCol),
                        static_cast<std::size_t>(bytes * (s.lastCol - s.firstCol)));
        }
        return;
    }
    const raster::Colour background = PaintSettings.BColor;
    const auto bb = static_cast<std::uint8_t>(raster::BlueOf(background));
    const auto bg = static_cast<std::uint8_t>(raster::GreenOf(background));
    const auto br = static_cast<std::uint8_t>(raster::RedOf(background));
    const bool trans = PaintSettings.Trans != 0;
    // Each row is written from its own mask row alone, so the rows are shared among the cores.
    RunRowsInParallel(s.lastRow - s.firstRow, s.lastCol - s.firstCol, [&](int firstBandRow, int endBandRow) {
        for (int r = s.firstRow + firstBandRow; r < s.firstRow + endBandRow; ++r) {
            const std::uint8_t* m = mask->Row(srcY + r) + srcX;
            const std::uint8_t* src = pixels ? pixels->Row(srcY + r) + 3 * srcX : nullptr;
            std::uint8_t* dst = target.Row(y + r) + 3 * x;
            std::uint8_t* second = secondTarget ? secondTarget->Row(y + r) + 3 * x : nullptr;
            switch (mode) {
                case BlitMode::Lift:
                    maskruns::ForEachSelectedRun(m, s.firstCol, s.lastCol, [&](int first, int last) {
                        FillColourRun(dst + 3 * first, last - first, bb, bg, br);
                        if (second) std::memcpy(second + 3 * first, dst + 3 * first, static_cast<std::size_t>(3 * (last - first)));
                    });
                    break;
                case BlitMode::Paste:
                    maskruns::ForEachSelectedRun(m, s.firstCol, s.lastCol, [&](int first, int last) {
                        if (!trans) {
                            std::memcpy(dst + 3 * first, src + 3 * first, static_cast<std::size_t>(3 * (last - first)));
                            return;
                        }
                        for (int c = first; c < last; ++c) {
                            const std::uint8_t* p = src + 3 * c;
                            if (p[0] == bb && p[1] == bg && p[2] == br) continue;
                            std::uint8_t* d = dst + 3 * c;
                            d[0] = p[0];
                            d[1] = p[1];
                            d[2] = p[2];
                        }
                    });
                    break;
                case BlitMode::Inverted:
                    for (int c = s.firstCol; c < s.lastCol; ++c)
                        SetScratchPixel(dst + 3 * c, m[c] != kMaskOutside ? 0 : kScratchIn);
                    break;
                case BlitMode::Union:
                    // Scratch pixels only ever hold blue, so the unselected ones need no writing.
                    maskruns::ForEachSelectedRun(m, s.firstCol, s.lastCol, [&](int first, int last) {
                        std::memcpy(dst + 3 * first, SelectedScratchRow(last - first).data(),
                                    static_cast<std::size_t>(3 * (last - first)));
                    });
                    break;
                case BlitMode::Minus:
                    for (int c = s.firstCol; c < s.lastCol; ++c) {
                        std::uint8_t* d = dst + 3 * c;
                        SetScratchPixel(d, d[0] != 0 ? 0 : (m[c] != kMaskOutside ? kScratchIn : 0));
                    }
                    break;
                case BlitMode::Plain: break;
            }
        }
    });
}

void MarkBorderOf(PixelBuffer& mask, int mode) {
    const int w = mask.Width();
    const int h = mask.Height();
    if (w <= 0 || h <= 0) return;
    if (mode == 1 || mode == 2) {
        for (int y = 0; y < h; ++y) {
            std::uint8_t* row = mask.Row(y);
            if (mode == 2) {
                std::memset(row, kMaskInside, static_cast<std::size_t>(w));
                continue;
            }
            for (int x = 0; x < w; ++x) {
                if (row[x] == kMaskBorder) row[x] = kMaskInside;
            }
        }
    }
    // A selected pixel is on the border when its run along the row or the column starts or
    // ends there: the line ends beside it, or an outside pixel neighbours it. Marking keeps a
    // pixel selected, so the rows above and below can be read after they were marked. The
    // rows are shared among the cores; a band's edge rows read copies of their neighbours in
    // the next bands, which those bands mark meanwhile.
    const int bands = RowThreadsFor(h, w);
    const auto width = static_cast<std::size_t>(w);
    std::vector<std::uint8_t> edges(2 * width * static_cast<std::size_t>(bands));
    const auto firstRowCopy = [&](int band) { return edges.data() + 2 * width * static_cast<std::size_t>(band); };
    const auto lastRowCopy = [&](int band) { return firstRowCopy(band) + width; };
    for (int k = 0; k < bands; ++k) {
        std::memcpy(firstRowCopy(k), mask.Row(BandStart(h, bands, k)), width);
        std::memcpy(lastRowCopy(k), mask.Row(BandStart(h, bands, k + 1) - 1), width);
    }
    RunBandsInParallel(h, w, [&](int band, int firstRow, int endRow) {
        for (int y = firstRow; y < endRow; ++y) {
            std::uint8_t* row = mask.Row(y);
            const std::uint8_t* above =
                y == 0 ? nullptr : (y == firstRow ? lastRowCopy(band - 1) : mask.Row(y - 1));
            const std::uint8_t* below =
                y + 1 == h ? nullptr : (y + 1 == endRow ? firstRowCopy(band + 1) : mask.Row(y + 1));
            maskruns::ForEachSelectedRun(row, 0, w, [&](int first, int last) {
                row[first] = kMaskBorder;
                row[last - 1] = kMaskBorder;
                if (!above || !below) {
                    std::memset(row + first, kMaskBorder, static_cast<std::size_t>(last - first));
                    return;
                }
                int x = first + 1;
                // Eight pixels at a time while the rows above and below are selected all along.
                while (x + 8 <= last - 1) {
                    if (maskruns::HasZeroByte(maskruns::Load8(above + x)) ||
                        maskruns::HasZeroByte(maskruns::Load8(below + x))) {
                        for (int k = x; k < x + 8; ++k) {
                            if (above[k] == kMaskOutside || below[k] == kMaskOutside) row[k] = kMaskBorder;
                        }
                    }
                    x += 8;
                }
                for (; x < last - 1; ++x) {
                    if (above[x] == kMaskOutside || below[x] == kMaskOutside) row[x] = kMaskBorder;
                }
            });
        }
    });
}

void MarkBorder(int mode) {
    if (FloatingPiece.maskBitmap) MarkBorderOf(*FloatingPiece.maskBitmap, mode);
}

void FillScratch(PixelBuffer& scratch, bool selected) {
    const int w = scratch.Width();
    const std::uint8_t* selectedRow = selected ? SelectedScratchRow(w).data() : nullptr;
    RunRowsInParallel(scratch.Height(), w, [&](int first, int end) {
        for (int y = first; y < end; ++y) {
            std::uint8_t* row = scratch.Row(y);
            if (selectedRow) {
                std::memcpy(row, selectedRow, static_cast<std::size_t>(3 * w));
            } else {
                std::memset(row, 0, static_cast<std::size_t>(3 * w));
            }
        }
    });
}

void FillScratchRect(PixelBuffer& scratch, int left, int top, int right, int bottom) {
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, scratch.Width());
    bottom = std::min(bottom, scratch.Height());
    if (left >= right) return;
    const std::vector<std::uint8_t>& selected = SelectedScratchRow(right - left);
    for (int y = top; y < bottom; ++y) {
        std::memcpy(scratch.Row(y) + 3 * left, selected.data(), static_cast<std::size_t>(3 * (right - left)));
    }
}

namespace {

// Where the lasso toggles its crossings: the scratch's blue bytes in the work buffer, or the
// bytes of a map.
struct LassoMarks {
    int width = 0;
    int height = 0;
    int step = 1;  // bytes from one pixel's mark to the next
    std::uint8_t* top = nullptr;  // row 0's first mark
    std::ptrdiff_t rowStride = 0;
    std::uint8_t* At(int x, int y) const { return top + y * rowStride + static_cast<std::ptrdiff_t>(x) * step; }
};

LassoMarks MarksOf(PixelBuffer& scratch) {
    const int h = scratch.Height();
    return {scratch.Width(), h, 3, h > 0 ? scratch.Row(0) : nullptr, h > 1 ? scratch.Row(1) - scratch.Row(0) : 0};
}

LassoMarks MarksOf(SelectionMap& map) { return {map.Width(), map.Height(), 1, map.Row(0), map.Width()}; }

void LassoEdgeOf(const LassoMarks& marks, int x1, int y1, int x2, int y2, bool toggleStart) {
    const int w = marks.width;
    const int h = marks.height;
    if (w <= 0 || h <= 0) return;
    x1 = std::clamp(x1, 0, w - 1);
    x2 = std::clamp(x2, 0, w - 1);
    y1 = std::clamp(y1, 0, h - 1);
    y2 = std::clamp(y2, 0, h - 1);
    const auto toggle = [&marks](int x, int y) {
        std::uint8_t* p = marks.At(x, y);
        *p = static_cast<std::uint8_t>(255 - *p);
    };
    if (toggleStart) toggle(x1, y1);
    const int dx = x2 - x1;
    const int dy = y2 - y1;
    const int steps = std::abs(dy);
    const int sign = dy < 0 ? -1 : 1;
    for (int k = 1; k <= steps; ++k) toggle(x1 + dx * k / steps, y1 + sign * k);
}

// LassoFill over a map, whose marks are 0 or 255: the spans between crossings are found eight
// bytes at a time and filled at once.
void LassoFillMap(SelectionMap& map) {
    const int w = map.Width();
    RunRowsInParallel(map.Height(), w, [&](int first, int end) {
        for (int y = first; y < end; ++y) {
            std::uint8_t* row = map.Row(y);
            bool flag = false;
            int x = 0;
            while (x < w) {
                int next = x;
                while (next + 8 <= w && maskruns::Load8(row + next) == 0) next += 8;
                while (next < w && row[next] == 0) ++next;
                if (flag) std::memset(row + x, kScratchIn, static_cast<std::size_t>(next - x));
                if (next == w) break;
                flag = !flag;  // the crossing itself stays marked either way
                x = next + 1;
            }
        }
    });
}

}  // namespace

void LassoEdge(PixelBuffer& scratch, int x1, int y1, int x2, int y2, bool toggleStart) {
    LassoEdgeOf(MarksOf(scratch), x1, y1, x2, y2, toggleStart);
}

void LassoFill(PixelBuffer& scratch) {
    const int w = scratch.Width();
    RunRowsInParallel(scratch.Height(), w, [&](int first, int end) {
        for (int y = first; y < end; ++y) {
            std::uint8_t* row = scratch.Row(y);
            bool flag = false;
            for (int x = 0; x < w; ++x) {
                std::uint8_t* p = row + 3 * x;
                if (p[0] != 0) flag = !flag;
                if (flag) p[0] = kScratchIn;
            }
        }
    });
}

void WandMask(PixelBuffer& filled, const PixelBuffer& untouched) {
    const int w = std::min(filled.Width(), untouched.Width());
    const int h = std::min(filled.Height(), untouched.Height());
    RunRowsInParallel(h, w, [&](int first, int end) {
        for (int y = first; y < end; ++y) {
            std::uint8_t* row = filled.Row(y);
            const std::uint8_t* old = untouched.Row(y);
            for (int x = 0; x < w; ++x) {
                std::uint8_t* p = row + 3 * x;
                const std::uint8_t* o = old + 3 * x;
                const bool same = p[0] == o[0] && p[1] == o[1];
                SetScratchPixel(p, same ? 0 : kScratchIn);
            }
        }
    });
}

bool WandMap(PixelBuffer& filled, const PixelBuffer& untouched, SelectionMap& map) {
    const int w = filled.Width();
    const int h = filled.Height();
    if (untouched.Width() != w || untouched.Height() != h || map.Width() != w || map.Height() != h) return false;
    RunRowsInParallel(h, w, [&](int first, int end) {
        for (int y = first; y < end; ++y) {
            std::uint8_t* row = filled.Row(y);
            const std::uint8_t* old = untouched.Row(y);
            std::uint8_t* in = map.Row(y);
            bool changed = false;
            for (int x = 0; x < w; ++x) {
                const std::uint8_t* p = row + 3 * x;
                const std::uint8_t* o = old + 3 * x;
                in[x] = p[0] == o[0] && p[1] == o[1] ? 0 : kSelectionMapIn;
                changed = changed || p[2] != o[2] || in[x] != 0;
            }
            // The fill's colour leaves the image with the row while it is at hand.
            if (changed) std::memcpy(row, old, static_cast<std::size_t>(3 * w));
        }
    });
    return true;
}

namespace {

struct Box {
    int left = 0;
    int top = 0;
    int right = -1;  // inclusive
    int bottom = -1;
    int Width() const { return right - left + 1; }
    int Height() const { return bottom - top + 1; }
};

// The bounding box of the scratch pixels with any non-zero byte in rows [firstRow, endRow).
Box ScratchBoundsOfRows(const PixelBuffer& scratch, int firstRow, int endRow) {
    Box box;
    box.left = scratch.Width();
    box.top = -1;
    const int rowBytes = 3 * scratch.Width();
    for (int y = firstRow; y < endRow; ++y) {
        const std::uint8_t* row = scratch.Row(y);
        int first = 0;
        while (first < rowBytes && row[first] == 0) ++first;
        if (first == rowBytes) continue;
        int last = rowBytes - 1;
        while (row[last] == 0) --last;
        if (box.top < 0) box.top = y;
        box.bottom = y;
        box.left = std::min(box.left, first / 3);
        box.right = std::max(box.right, last / 3);
    }
    if (box.top < 0) return Box{0, 0, -1, -1};
    return box;
}

// The bounding box over rows x width: each thread bounds its band of rows with
// boundsOfRows(first, end), and the bands' boxes are joined in order.
template <class BoundsOfRows>
Box BoundsInBands(int rows, int width, BoundsOfRows&& boundsOfRows) {
    Box bands[kMostRowThreads];
    const int count = RunBandsInParallel(rows, width, [&](int band, int first, int end) {
        bands[band] = boundsOfRows(first, end);
    });
    Box box{width, -1, -1, -1};
    for (int k = 0; k < count; ++k) {
        const Box& b = bands[k];
        if (b.top > b.bottom) continue;
        if (box.top < 0) box.top = b.top;
        box.bottom = b.bottom;
        box.left = std::min(box.left, b.left);
        box.right = std::max(box.right, b.right);
    }
    if (box.top < 0) return Box{0, 0, -1, -1};
    return box;
}

Box ScratchBounds(const PixelBuffer& scratch) {
    return BoundsInBands(scratch.Height(), scratch.Width(),
                         [&](int first, int end) { return ScratchBoundsOfRows(scratch, first, end); });
}

// Combines the existing piece with the new shape in the scratch: added to it, or the old
// piece without the shape.
void CombineWithPiece(PixelBuffer& scratch) {
    const FloatingPieceRecord& p = FloatingPiece;
    if (!p.pieceDc || !p.maskBitmap) return;
    const int w = static_cast<int>(p.pieceWidth);
    const int h = static_cast<int>(p.pieceHeight);
    if (CanvasState.SelectModifier == 1) {
        MaskedBlit(scratch, p.pieceX, p.pieceY, w, h, nullptr, p.maskBitmap, 0, 0, BlitMode::Union);
        return;
    }
    if (CanvasState.SelectModifier != 2) return;
    const int sw = scratch.Width();
    const int sh = scratch.Height();
    // Nothing outside the old piece can stay selected.
    for (int y = 0; y < sh; ++y) {
        std::uint8_t* row = scratch.Row(y);
        if (y < p.pieceY || y >= p.pieceY + h) {
            std::memset(row, 0, static_cast<std::size_t>(3 * sw));
            continue;
        }
        const int left = std::clamp(p.pieceX, 0, sw);
        const int right = std::clamp(p.pieceX + w, 0, sw);
        std::memset(row, 0, static_cast<std::size_t>(3 * left));
        std::memset(row + 3 * right, 0, static_cast<std::size_t>(3 * (sw - right)));
    }
    MaskedBlit(scratch, p.pieceX, p.pieceY, w, h, nullptr, p.maskBitmap, 0, 0, BlitMode::Minus);
}

bool SameShape(const PixelBuffer& a, const PixelBuffer& b) {
    return a.Width() == b.Width() && a.Height() == b.Height() && a.BitsPerPixel() == b.BitsPerPixel();
}

void RestoreWork(ImageBox& box) {
    if (box.undoBitmap) CopyPixels(box.workBitmap, box.undoBitmap);
}

void ShowFloatingPiece() { ShowPiece(nullptr, FloatingPiece.pieceX, FloatingPiece.pieceY, false); }

}  // namespace

int MakePieceFromScratch() {
    ImageBox& box = CurrentBox();
    if (!box.workBitmap || !box.undoBitmap) return 0;
    PixelBuffer& scratch = *box.workBitmap;
    CombineWithPiece(scratch);
    const Box b = ScratchBounds(scratch);
    if (b.Width() < 2 || b.Height() < 2 || CreateFloatingPiece(b.Width(), b.Height(), PieceStart::Unfilled) != 1) {
        RestoreWork(box);
        return 0;
    }
    FloatingPieceRecord& p = FloatingPiece;
    p.pieceX = p.savedPieceX = b.left;
    p.pieceY = p.savedPieceY = b.top;
    const std::uint8_t* selectedRow = SelectedScratchRow(b.Width()).data();
    RunRowsInParallel(b.Height(), b.Width(), [&](int first, int end) {
        for (int y = first; y < end; ++y) {
            std::memcpy(p.pieceBitmap->Row(y), box.undoBitmap->Row(b.top + y) + 3 * b.left,
                        static_cast<std::size_t>(3 * b.Width()));
            const std::uint8_t* s = scratch.Row(b.top + y) + 3 * b.left;
            std::uint8_t* m = p.maskBitmap->Row(y);
            // Rows selected all along, as Select All and large rectangles make them, at once.
            if (std::memcmp(s, selectedRow, static_cast<std::size_t>(3 * b.Width())) == 0) {
                std::memset(m, kMaskInside, static_cast<std::size_t>(b.Width()));
                continue;
            }
            for (int x = 0; x < b.Width(); ++x) m[x] = s[3 * x] != 0 ? kMaskInside : kMaskOutside;
        }
    });
    RestoreWork(box);
    MarkBorder(0);
    if (SameShape(*box.workBitmap, *box.undoBitmap)) NoteWorkEqualsUndo();
    ShowFloatingPiece();
    return 1;
}

SelectionMap::SelectionMap(int width, int height, bool zeroed)
    : width_(std::max(width, 0)), height_(std::max(height, 0)) {
    const std::size_t bytes = static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) + 1;
    // Fresh zeroed memory costs nothing until written, where a clearing pass would touch it all.
    bytes_.reset(static_cast<std::uint8_t*>(zeroed ? std::calloc(bytes, 1) : std::malloc(bytes)));
}

void SelectionMap::Free::operator()(std::uint8_t* bytes) const { std::free(bytes); }

bool NewSelectionReplacesPiece() {
    const FloatingPieceRecord& p = FloatingPiece;
    return !p.pieceDc || !p.maskBitmap || (CanvasState.SelectModifier != 1 && CanvasState.SelectModifier != 2);
}

namespace {

// The first and last non-zero byte of a row of count bytes (-1, -1 when all are zero), eight
// bytes at a time.
std::pair<int, int> NonZeroSpan(const std::uint8_t* row, int count) {
    int first = 0;
    while (first + 8 <= count && maskruns::Load8(row + first) == 0) first += 8;
    while (first < count && row[first] == 0) ++first;
    if (first == count) return {-1, -1};
    int last = count;
    while (last - 8 >= first && maskruns::Load8(row + last - 8) == 0) last -= 8;
    while (row[last - 1] == 0) --last;
    return {first, last - 1};
}

Box MapBoundsOfRows(const SelectionMap& map, int firstRow, int endRow) {
    Box box{map.Width(), -1, -1, -1};
    for (int y = firstRow; y < endRow; ++y) {
        const auto [first, last] = NonZeroSpan(map.Row(y), map.Width());
        if (first < 0) continue;
        if (box.top < 0) box.top = y;
        box.bottom = y;
        box.left = std::min(box.left, first);
        box.right = std::max(box.right, last);
    }
    if (box.top < 0) return Box{0, 0, -1, -1};
    return box;
}

Box MapBounds(const SelectionMap& map) {
    return BoundsInBands(map.Height(), map.Width(),
                         [&](int first, int end) { return MapBoundsOfRows(map, first, end); });
}

// The piece of the box b, its pixels from the clean image and each mask row from maskRow(y,
// out), then bordered and shown, as MakePieceFromScratch ends.
template <class MaskRow>
int MakePieceOfBox(ImageBox& box, const Box& b, PieceShow show, MaskRow&& maskRow) {
    if (b.Width() < 2 || b.Height() < 2 || CreateFloatingPiece(b.Width(), b.Height(), PieceStart::Unfilled) != 1) return 0;
    FloatingPieceRecord& p = FloatingPiece;
    p.pieceX = p.savedPieceX = b.left;
    p.pieceY = p.savedPieceY = b.top;
    RunRowsInParallel(b.Height(), b.Width(), [&](int first, int end) {
        for (int y = first; y < end; ++y) {
            std::memcpy(p.pieceBitmap->Row(y), box.undoBitmap->Row(b.top + y) + 3 * b.left,
                        static_cast<std::size_t>(3 * b.Width()));
            maskRow(y, p.maskBitmap->Row(y));
        }
    });
    MarkBorder(0);
    NoteWorkEqualsUndo();  // the callers leave the work buffer as the undo copy
    if (show == PieceShow::Now) {
        ShowFloatingPiece();
    } else {
        AdvancePieceBorder();
    }
    return 1;
}

}  // namespace

int MakePieceFromMap(const SelectionMap& map, PieceShow show) {
    ImageBox& box = CurrentBox();
    if (!box.workBitmap || !box.undoBitmap || !map.Ok()) return 0;
    const Box b = MapBounds(map);
    return MakePieceOfBox(box, b, show, [&](int y, std::uint8_t* m) {
        const std::uint8_t* in = map.Row(b.top + y) + b.left;
        // In is 255 and out 0, so the mask byte is the map byte with the inside value's bits.
        for (int x = 0; x < b.Width(); ++x) m[x] = static_cast<std::uint8_t>(in[x] & kMaskInside);
    });
}

int MakePieceFromRectangle(int left, int top, int right, int bottom, PieceShow show) {
    ImageBox& box = CurrentBox();
    if (!box.workBitmap || !box.undoBitmap) return 0;
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, box.workBitmap->Width());
    bottom = std::min(bottom, box.workBitmap->Height());
    const Box b = left < right && top < bottom ? Box{left, top, right - 1, bottom - 1} : Box{0, 0, -1, -1};
    return MakePieceOfBox(box, b, show, [&](int, std::uint8_t* m) {
        std::memset(m, kMaskInside, static_cast<std::size_t>(b.Width()));
    });
}

void LiftPiece() {
    ImageBox& box = CurrentBox();
    const FloatingPieceRecord& p = FloatingPiece;
    if (!box.workBitmap || !p.pieceDc) return;
    // A piece just made from a work buffer equal to the undo copy leaves the same hole in both,
    // which is cheaper than copying the whole picture again for a piece smaller than it.
    const bool equal = WorkKnownEqualToUndo() && SameShape(*box.workBitmap, *box.undoBitmap);
    MaskedBlit(*box.workBitmap, p.pieceX, p.pieceY, static_cast<int>(p.pieceWidth), static_cast<int>(p.pieceHeight),
               p.pieceBitmap, p.maskBitmap, 0, 0, BlitMode::Lift, equal ? box.undoBitmap : nullptr);
    // The buffers end equal, and the piece's tool writes no pixel of the image.
    if ((equal ? TakeImageUndoOfEqualCopy() : TakeImageUndo()) == 1) NoteWorkEqualsUndo();
    PaintSettings.Tool = kToolFloatingPiece;
}

namespace {

int MakeAndLift() {
    if (MakePieceFromScratch() != 1) return 0;
    LiftPiece();
    return 1;
}

int LiftMade(int made) {
    if (made != 1) return 0;
    LiftPiece();
    return 1;
}

}  // namespace

namespace {

// A lasso that will replace the held piece marks its crossings in a map beside the picture,
// which stays untouched; one that combines with the held piece draws into the scratch.
std::unique_ptr<SelectionMap> g_lassoMap;

}  // namespace

void StartLasso(int x, int y) {
    ImageBox& box = CurrentBox();
    g_lassoMap.reset();
    if (!box.workBitmap) return;
    // A start left of the picture is no lasso (a negative start column says so): the release
    // closes none, so nothing may be drawn into the picture that it would not take back.
    if (x < 0) {
        CanvasState.LassoStartX = -1;
        return;
    }
    CanvasState.LassoStartX = x;
    CanvasState.LassoStartY = y;
    CanvasState.LassoDownward = 0;
    if (NewSelectionReplacesPiece()) {
        auto map = std::make_unique<SelectionMap>(box.workBitmap->Width(), box.workBitmap->Height(), true);
        if (map->Ok()) {
            g_lassoMap = std::move(map);
            // The lasso's stylus-down copy was just taken, and the map leaves the picture alone.
            NoteWorkEqualsUndo();
            return;
        }
    }
    FillScratch(*box.workBitmap, false);
}

namespace {

LassoMarks CurrentLassoMarks(PixelBuffer& work) { return g_lassoMap ? MarksOf(*g_lassoMap) : MarksOf(work); }

// One lasso segment: a change of vertical direction toggles its start point once more, so
// that every row a turning point lies on still has pairs of crossings.
void LassoSegment(const LassoMarks& marks, int x1, int y1, int x2, int y2) {
    const std::uint32_t downward = y2 > y1 ? 1 : 0;
    const bool toggleStart = downward != CanvasState.LassoDownward;
    CanvasState.LassoDownward = downward;
    LassoEdgeOf(marks, x1, y1, x2, y2, toggleStart);
}

// The map's crossings drawn into the scratch, for a lasso that can no longer be made from its
// map (a command changed the picture or the modifier during the gesture).
void ScratchFromMap(PixelBuffer& scratch, const SelectionMap& map) {
    FillScratch(scratch, false);
    const int w = std::min(scratch.Width(), map.Width());
    const int h = std::min(scratch.Height(), map.Height());
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* in = map.Row(y);
        std::uint8_t* out = scratch.Row(y);
        for (int x = 0; x < w; ++x) out[3 * x] = in[x];
    }
}

}  // namespace

void ExtendLasso(int x1, int y1, int x2, int y2) {
    ImageBox& box = CurrentBox();
    if (!box.workBitmap || CanvasState.LassoStartX < 0) return;
    LassoSegment(CurrentLassoMarks(*box.workBitmap), x1, y1, x2, y2);
}

int CloseLasso(int lastX, int lastY) {
    ImageBox& box = CurrentBox();
    std::unique_ptr<SelectionMap> map = std::move(g_lassoMap);
    if (!box.workBitmap || CanvasState.LassoStartX < 0) return 0;
    PixelBuffer& scratch = *box.workBitmap;
    const int sx = CanvasState.LassoStartX;
    const int sy = CanvasState.LassoStartY;
    CanvasState.LassoStartX = -1;
    const LassoMarks marks = map ? MarksOf(*map) : MarksOf(scratch);
    LassoSegment(marks, lastX, lastY, sx, sy);
    if (CanvasState.LassoDownward == 1) LassoEdgeOf(marks, sx, sy, sx, sy, true);
    if (map) {
        const bool sameSize = map->Width() == scratch.Width() && map->Height() == scratch.Height();
        if (sameSize && NewSelectionReplacesPiece() && WorkKnownEqualToUndo()) {
            LassoFillMap(*map);
            // The lasso tool shows the whole view after its release.
            return LiftMade(MakePieceFromMap(*map, PieceShow::Later));
        }
        ScratchFromMap(scratch, *map);
    }
    LassoFill(scratch);
    return MakeAndLift();
}

int SelectRectangle(int x1, int y1, int x2, int y2) {
    ImageBox& box = CurrentBox();
    if (!box.workBitmap) return 0;
    const int left = std::clamp(std::min(x1, x2), 0, box.width);
    const int right = std::clamp(std::max(x1, x2), 0, box.width);
    const int top = std::clamp(std::min(y1, y2), 0, box.height);
    const int bottom = std::clamp(std::max(y1, y2), 0, box.height);
    if (left == right || top == bottom) return 0;
    // The rectangle tool shows the whole view after its release.
    if (NewSelectionReplacesPiece()) return LiftMade(MakePieceFromRectangle(left, top, right, bottom, PieceShow::Later));
    FillScratch(*box.workBitmap, false);
    FillScratchRect(*box.workBitmap, left, top, right, bottom);
    return MakeAndLift();
}

namespace {

// The wand's region as a map, its fill marked in the map with the picture only read: when
// the work buffer is known to equal the undo copy (as the wand's stylus-down copy leaves it),
// painting the fill and comparing and restoring the picture afterwards would give the same
// map. -1 when that cannot be done here (no map memory), else what the wand returns.
int SelectWithWandMap(ImageBox& box, int x, int y) {
    SelectionMap map(box.workBitmap->Width(), box.workBitmap->Height(), true);
    if (!map.Ok()) return -1;
    if (WandFillOfEqualCopy(ImageState.CurrentImage, x, y, PaintSettings.WTolerance, map.Row(0)) != 1) return 0;
    return LiftMade(MakePieceFromMap(map, PieceShow::Later));
}

}  // namespace

int SelectWithWand(int x, int y) {
    ImageBox& box = CurrentBox();
    if (!box.workBitmap) return 0;
    if (NewSelectionReplacesPiece() && WorkKnownEqualToUndo()) {
        const int made = SelectWithWandMap(box, x, y);
        if (made >= 0) return made;
    }
    // A tap outside the picture fills nothing: the scratch stays black, and with the modifier
    // the held piece alone makes the selection again.
    FloodFill(ImageState.CurrentImage, x, y, FillPaint{0, true, PaintSettings.WTolerance});
    if (!box.undoBitmap) return 0;
    if (NewSelectionReplacesPiece()) {
        SelectionMap map(box.workBitmap->Width(), box.workBitmap->Height());
        if (map.Ok() && WandMap(*box.workBitmap, *box.undoBitmap, map)) {
            return LiftMade(MakePieceFromMap(map, PieceShow::Later));
        }
    }
    WandMask(*box.workBitmap, *box.undoBitmap);
    return MakeAndLift();
}

int BuildPolygonSelection() { return MakeAndLift(); }
