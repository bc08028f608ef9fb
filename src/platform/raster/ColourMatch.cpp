#include "platform/raster/ColourMatch.h"

#include <algorithm>
#include <climits>
#include <mutex>
#include <new>

namespace raster {

namespace {

int Distance(const RgbQuad& e, int red, int green, int blue) {
    const int dr = e.red - red;
    const int dg = e.green - green;
    const int db = e.blue - blue;
    return dr * dr + dg * dg + db * db;
}

constexpr int kCellBits = 5;
constexpr int kCells = 1 << kCellBits;  // per channel
constexpr int kCellSide = 256 / kCells;

// Smallest and largest squared distance from a channel value v to the values of cell c.
struct ChannelBounds {
    int low[kCells][256];
    int high[kCells][256];
};

void FillBounds(ChannelBounds& bounds, const RgbQuad* palette, std::uint8_t RgbQuad::*channel) {
    for (int c = 0; c < kCells; ++c) {
        const int lo = c * kCellSide;
        const int hi = lo + kCellSide - 1;
        for (int e = 0; e < 256; ++e) {
            const int v = palette[e].*channel;
            const int below = v < lo ? lo - v : (v > hi ? v - hi : 0);
            const int above = std::max(v - lo, hi - v);
            bounds.low[c][e] = below * below;
            bounds.high[c][e] = above * above;
        }
    }
}

}  // namespace

std::uint8_t MatchPaletteIndex(const RgbQuad* palette, int red, int green, int blue) {
    for (int i = 0; i < 256; ++i) {
        if (IsSystemColourEntry(i) && Distance(palette[i], red, green, blue) == 0) return static_cast<std::uint8_t>(i);
    }
    int best = 0;
    int bestDistance = INT_MAX;
    for (int i = 0; i < 256; ++i) {
        const int d = Distance(palette[i], red, green, blue);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return static_cast<std::uint8_t>(best);
}

// A colour's nearest entry e* satisfies low(e*) <= d(colour, e*) <= d(colour, f) <=
// high(f) for every entry f, so the entries with low(e) <= min over f of high(f) are
// all that can win in the cell (ties included).
PaletteMatcher::PaletteMatcher(const RgbQuad* palette) : cellStart_(kCells * kCells * kCells + 1) {
    std::copy(palette, palette + 256, palette_);
    std::unique_ptr<ChannelBounds> r(new ChannelBounds), g(new ChannelBounds), b(new ChannelBounds);
    FillBounds(*r, palette_, &RgbQuad::red);
    FillBounds(*g, palette_, &RgbQuad::green);
    FillBounds(*b, palette_, &RgbQuad::blue);
    candidates_.reserve(static_cast<std::size_t>(kCells) * kCells * kCells * 6);
    unsigned cell = 0;
    for (int ri = 0; ri < kCells; ++ri) {
        for (int gi = 0; gi < kCells; ++gi) {
            for (int bi = 0; bi < kCells; ++bi, ++cell) {
                const int* rl = r->low[ri];
                const int* gl = g->low[gi];
                const int* bl = b->low[bi];
                const int* rh = r->high[ri];
                const int* gh = g->high[gi];
                const int* bh = b->high[bi];
                int limit = INT_MAX;
                for (int e = 0; e < 256; ++e) limit = std::min(limit, rh[e] + gh[e] + bh[e]);
                cellStart_[cell] = static_cast<std::uint32_t>(candidates_.size());
                for (int e = 0; e < 256; ++e) {
                    if (rl[e] + gl[e] + bl[e] <= limit) candidates_.push_back(static_cast<std::uint8_t>(e));
                }
            }
        }
    }
    cellStart_[cell] = static_cast<std::uint32_t>(candidates_.size());
}

std::uint8_t PaletteMatcher::MatchInCell(unsigned cell, int red, int green, int blue) const {
    const std::uint8_t* c = candidates_.data() + cellStart_[cell];
    const std::uint8_t* end = candidates_.data() + cellStart_[cell + 1];
    int best = *c;
    int bestDistance = Distance(palette_[best], red, green, blue);
    for (++c; c < end; ++c) {
        const int d = Distance(palette_[*c], red, green, blue);
        if (d < bestDistance || (d == 0 && IsSystemColourEntry(*c) && !IsSystemColourEntry(best))) {
            bestDistance = d;
            best = *c;
        }
    }
    return static_cast<std::uint8_t>(best);
}

bool PaletteMatcher::SamePalette(const RgbQuad* palette) const {
    for (int i = 0; i < 256; ++i) {
        if (palette[i].red != palette_[i].red || palette[i].green != palette_[i].green ||
            palette[i].blue != palette_[i].blue) {
            return false;
        }
    }
    return true;
}

std::shared_ptr<const PaletteMatcher> PaletteMatcher::For(const RgbQuad* palette) noexcept {
    // Building takes a few milliseconds; the program uses one palette, so a handful of
    // recent matchers covers every caller.
    constexpr int kKept = 4;
    static std::mutex lock;
    static std::shared_ptr<const PaletteMatcher> recent[kKept];
    const std::lock_guard<std::mutex> guard(lock);
    for (int i = 0; i < kKept; ++i) {
        if (recent[i] && recent[i]->SamePalette(palette)) {
            std::rotate(recent, recent + i, recent + i + 1);
            return recent[0];
        }
    }
    try {
        std::shared_ptr<const PaletteMatcher> made(new PaletteMatcher(palette));
        std::rotate(recent, recent + kKept - 1, recent + kKept);
        recent[0] = made;
        return made;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace raster
