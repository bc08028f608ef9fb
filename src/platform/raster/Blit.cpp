// Block transfers: plain, stretching and transparent-colour copies between 24- and 8-bit
// bitmaps.
#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <type_traits>

#include "platform/raster/ColourMatch.h"
#include "platform/raster/Draw.h"
#include "platform/raster/ParallelRows.h"

namespace raster {

namespace {

// Per-pixel conversions from a source pixel to a destination pixel.
struct Copy24 {
    static constexpr int kSource = 3;
    static constexpr int kDestination = 3;
    void operator()(std::uint8_t* d, const std::uint8_t* s) {
        d[0] = s[0];
        d[1] = s[1];
        d[2] = s[2];
    }
};

struct Copy8 {
    static constexpr int kSource = 1;
    static constexpr int kDestination = 1;
    void operator()(std::uint8_t* d, const std::uint8_t* s) { *d = *s; }
};

// 8 -> 24 through the source's palette.
struct Expand8 {
    static constexpr int kSource = 1;
    static constexpr int kDestination = 3;
    explicit Expand8(const RgbQuad* palette) : palette_(palette) {}
    void operator()(std::uint8_t* d, const std::uint8_t* s) {
        const RgbQuad& e = palette_[*s];
        d[0] = e.blue;
        d[1] = e.green;
        d[2] = e.red;
    }
    const RgbQuad* palette_;
};

// 24 -> 8 through colour matching into the destination's palette. Neighbouring pixels
// are mostly equal (masks drawn as scratch, flat areas), so the last answer is kept.
struct Match24 {
    static constexpr int kSource = 3;
    static constexpr int kDestination = 1;
    explicit Match24(const RgbQuad* palette) : palette_(palette), matcher_(PaletteMatcher::For(palette)) {}
    void operator()(std::uint8_t* d, const std::uint8_t* s) {
        const std::uint32_t key = s[0] | (s[1] << 8) | (s[2] << 16);
        if (key != lastKey_) {
            lastKey_ = key;
            lastIndex_ = matcher_ ? matcher_->Match(s[2], s[1], s[0]) : MatchPaletteIndex(palette_, s[2], s[1], s[0]);
        }
        *d = lastIndex_;
    }
    const RgbQuad* palette_;
    std::shared_ptr<const PaletteMatcher> matcher_;
    std::uint32_t lastKey_ = 0xFFFFFFFFu;
    std::uint8_t lastIndex_ = 0;
};

// Calls fn with the conversion between the two bitmaps' depths.
template <class Fn>
void WithConversion(const Bitmap& src, const Bitmap& dst, Fn&& fn) {
    const bool src8 = src.BitsPerPixel() == 8;
    const bool dst8 = dst.BitsPerPixel() == 8;
    if (!src8 && !dst8) {
        Copy24 c;
        fn(c);
    } else if (src8 && dst8) {
        Copy8 c;
        fn(c);
    } else if (src8) {
        Expand8 c(src.Palette());
        fn(c);
    } else {
        Match24 c(dst.Palette());
        fn(c);
    }
}

// Source pixels a transparent copy leaves out.
struct NoKey {
    bool operator()(const std::uint8_t*) const { return false; }
};
struct Key24 {
    explicit Key24(Colour key)
        : blue(static_cast<std::uint8_t>(BlueOf(key))),
          green(static_cast<std::uint8_t>(GreenOf(key))),
          red(static_cast<std::uint8_t>(RedOf(key))) {}
    bool operator()(const std::uint8_t* s) const { return s[0] == blue && s[1] == green && s[2] == red; }
    std::uint8_t blue, green, red;
};
struct Key8 {
    Key8(const RgbQuad* palette, Colour key) {
        for (int i = 0; i < 256; ++i) {
            skip[i] = MakeColour(palette[i].red, palette[i].green, palette[i].blue) == (key & 0xFFFFFFu);
        }
    }
    bool operator()(const std::uint8_t* s) const { return skip[*s]; }
    bool skip[256];
};

// Source coordinate of destination offset d: start + (d * sourceSize) / size, stepped
// without a division per pixel.
class NearestMap {
public:
    NearestMap(long long start, long long sourceSize, long long size, long long first)
        : size_(size), stepWhole_(sourceSize / size), stepPart_(sourceSize % size) {
        const long long scaled = first * sourceSize;
        value_ = start + scaled / size;
        remainder_ = scaled % size;
    }
    long long Value() const { return value_; }
    void Next() {
        value_ += stepWhole_;
        remainder_ += stepPart_;
        if (remainder_ >= size_) {
            remainder_ -= size_;
            ++value_;
        }
    }

private:
    long long size_;
    long long stepWhole_;
    long long stepPart_;
    long long value_ = 0;
    long long remainder_ = 0;
};

// The destination columns of a stretch whose source columns exist, with the source
// byte offset of each.
struct ColumnPlan {
    int firstColumn = 0;  // absolute destination column
    int count = 0;
    std::unique_ptr<int[]> sourceOffset;
};

bool PlanColumns(ColumnPlan& plan, const Bitmap& dst, int x, int width, const Bitmap& src, int srcX, int srcWidth,
                 int sourceBytes) {
    const long long first = std::max(0LL, -static_cast<long long>(x));
    const long long last = std::min(static_cast<long long>(width), static_cast<long long>(dst.Width()) - x);
    if (first >= last) return true;
    plan.sourceOffset.reset(new (std::nothrow) int[static_cast<std::size_t>(last - first)]);
    if (!plan.sourceOffset) return false;
    NearestMap map(srcX, srcWidth, width, first);
    long long validFirst = -1;
    for (long long dx = first; dx < last; ++dx, map.Next()) {
        const long long s = map.Value();
        if (s < 0) continue;
        if (s >= src.Width()) break;
        if (validFirst < 0) validFirst = dx;
        plan.sourceOffset[plan.count++] = static_cast<int>(s) * sourceBytes;
    }
    if (plan.count > 0) plan.firstColumn = static_cast<int>(x + validFirst);
    return true;
}

template <class Convert, class Key>
void StretchRows(Bitmap& dst, int y, int height, const Bitmap& src, int srcY, int srcHeight, const ColumnPlan& cols,
                 Convert& convert, const Key& key, bool repeatRows) {
    const long long first = std::max(0LL, -static_cast<long long>(y));
    const long long last = std::min(static_cast<long long>(height), static_cast<long long>(dst.Height()) - y);
    if (first >= last) return;
    const std::size_t rowBytes = static_cast<std::size_t>(cols.count) * Convert::kDestination;
    const std::size_t columnByte = static_cast<std::size_t>(cols.firstColumn) * Convert::kDestination;
    // A view of a large picture is drawn on every core: each band of rows starts its own walk
    // down the source rows, and its first row is made rather than copied from the row above.
    RunRowsInParallel(static_cast<int>(last - first), cols.count, [&](int bandFirst, int bandEnd) {
        NearestMap map(srcY, srcHeight, height, first + bandFirst);
        Convert bandConvert = convert;  // a conversion may keep its last answer
        long long previousSource = -1;
        for (long long dy = first + bandFirst; dy < first + bandEnd; ++dy, map.Next()) {
            const long long s = map.Value();
            if (s < 0 || s >= src.Height()) {
                previousSource = -1;
                continue;
            }
            std::uint8_t* d = dst.Row(static_cast<int>(y + dy)) + columnByte;
            if (repeatRows && s == previousSource) {
                std::memcpy(d, dst.Row(static_cast<int>(y + dy - 1)) + columnByte, rowBytes);
                continue;
            }
            previousSource = s;
            const std::uint8_t* row = src.Row(static_cast<int>(s));
            for (int i = 0; i < cols.count; ++i, d += Convert::kDestination) {
                const std::uint8_t* p = row + cols.sourceOffset[i];
                if (!key(p)) bandConvert(d, p);
            }
        }
    });
}

template <class Key>
bool Stretch(DrawingContext& dstDc, int x, int y, int width, int height, const DrawingContext& srcDc, int srcX,
             int srcY, int srcWidth, int srcHeight, const Key& key, bool repeatRows) {
    Bitmap& dst = *dstDc.SelectedBitmap();
    const Bitmap& src = *srcDc.SelectedBitmap();
    ColumnPlan cols;
    if (!PlanColumns(cols, dst, x, width, src, srcX, srcWidth, src.BitsPerPixel() / 8)) return false;
    if (cols.count == 0) return true;
    WithConversion(src, dst, [&](auto& convert) {
        StretchRows(dst, y, height, src, srcY, srcHeight, cols, convert, key, repeatRows);
    });
    return true;
}

}  // namespace

bool BitBlt(DrawingContext& dstDc, int x, int y, int width, int height, const DrawingContext& srcDc, int srcX,
            int srcY) {
    Bitmap* dst = dstDc.SelectedBitmap();
    const Bitmap* src = srcDc.SelectedBitmap();
    if (!dst || !src) return false;
    if (width <= 0 || height <= 0) return true;
    const long long lx = x, ly = y, lsx = srcX, lsy = srcY;
    const long long c0 = std::max({0LL, -lx, -lsx});
    const long long c1 = std::min({static_cast<long long>(width), dst->Width() - lx, src->Width() - lsx});
    const long long r0 = std::max({0LL, -ly, -lsy});
    const long long r1 = std::min({static_cast<long long>(height), dst->Height() - ly, src->Height() - lsy});
    if (c0 >= c1 || r0 >= r1) return true;
    const int rows = static_cast<int>(r1 - r0);
    const int columns = static_cast<int>(c1 - c0);
    if (dst->BitsPerPixel() == src->BitsPerPixel()) {
        const int bytes = dst->BitsPerPixel() / 8;
        const std::size_t count = static_cast<std::size_t>(columns) * bytes;
        // Within one bitmap a block moved down is copied from its last row up.
        const bool upwards = dst == src && lsy < ly;
        for (int i = 0; i < rows; ++i) {
            const long long r = upwards ? r1 - 1 - i : r0 + i;
            std::memmove(dst->Row(static_cast<int>(ly + r)) + (lx + c0) * bytes,
                         src->Row(static_cast<int>(lsy + r)) + (lsx + c0) * bytes, count);
        }
        return true;
    }
    WithConversion(*src, *dst, [&](auto& convert) {
        using Convert = std::decay_t<decltype(convert)>;
        for (long long r = r0; r < r1; ++r) {
            std::uint8_t* d = dst->Row(static_cast<int>(ly + r)) + (lx + c0) * Convert::kDestination;
            const std::uint8_t* s = src->Row(static_cast<int>(lsy + r)) + (lsx + c0) * Convert::kSource;
            for (int i = 0; i < columns; ++i, d += Convert::kDestination, s += Convert::kSource) convert(d, s);
        }
    });
    return true;
}

bool StretchBlt(DrawingContext& dst, int x, int y, int width, int height, const DrawingContext& src, int srcX,
                int srcY, int srcWidth, int srcHeight) {
    if (!dst.SelectedBitmap() || !src.SelectedBitmap()) return false;
    if (width <= 0 || height <= 0 || srcWidth <= 0 || srcHeight <= 0) return true;
    if (width == srcWidth && height == srcHeight) return BitBlt(dst, x, y, width, height, src, srcX, srcY);
    return Stretch(dst, x, y, width, height, src, srcX, srcY, srcWidth, srcHeight, NoKey{}, true);
}

bool TransparentBlt(DrawingContext& dst, int x, int y, int width, int height, const DrawingContext& src, int srcX,
                    int srcY, int srcWidth, int srcHeight, Colour key) {
    if (!dst.SelectedBitmap() || !src.SelectedBitmap()) return false;
    if (width <= 0 || height <= 0 || srcWidth <= 0 || srcHeight <= 0) return true;
    const Bitmap& s = *src.SelectedBitmap();
    if (s.BitsPerPixel() == 8) {
        const Key8 keyed(s.Palette(), key);
        return Stretch(dst, x, y, width, height, src, srcX, srcY, srcWidth, srcHeight, keyed, false);
    }
    return Stretch(dst, x, y, width, height, src, srcX, srcY, srcWidth, srcHeight, Key24(key), false);
}

}  // namespace raster
