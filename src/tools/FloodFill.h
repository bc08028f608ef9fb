// The flood fill: the 4-connected region around a seed, by colour distance, painted with one
// colour by a scan-line fill over raw 24-bit pixel bytes. The magic wand's selection begins
// with the same fill.
#pragma once

#include <cstdint>
#include <vector>

#include "image/PixelBuffer.h"
#include "platform/raster/Bitmap.h"

// One pending scan: row y + dy between columns xl ... xr of the parent row y.
struct FillSegment {
    std::int32_t xl = 0;
    std::int32_t xr = 0;
    std::int32_t y = 0;
    std::int32_t dy = 0;
};

// The fill's stack. It grows as a fill needs (a fixed size can always be exceeded by some
// picture), so a fill always completes unless memory itself runs out.
class FillStack {
public:
    FillStack() = default;
    // A stack that can hold at most mostRecords, as if memory ended there (0: not even room
    // for the first records).
    explicit FillStack(std::size_t mostRecords) : mostRecords_(mostRecords) {}

    // Room for the first records; false when even that cannot be had.
    bool Prepare(std::size_t records) noexcept;
    bool Push(const FillSegment& segment) noexcept;
    bool Empty() const { return records_.empty(); }
    FillSegment Pop() {
        const FillSegment top = records_.back();
        records_.pop_back();
        return top;
    }
    void Clear() { records_.clear(); }
    // The most records held at once since Prepare.
    std::size_t Deepest() const { return deepest_; }

private:
    std::vector<FillSegment> records_;
    std::size_t deepest_ = 0;
    std::size_t mostRecords_ = static_cast<std::size_t>(-1);
};

// The initial room of a fill's stack for a width x height picture: enough for most fills,
// small beside the picture.
std::size_t InitialFillStackRoom(int width, int height);

enum class FillOutcome {
    Filled,       // the region now has the fill colour
    Unchanged,    // the seed lies outside, or the fill colour is within tolerance of the seed
    OutOfMemory,  // the stack could not grow; part of the region may be painted
};

// Whether colour a lies within tolerance of colour b: the sum of the channel distances.
bool WithinTolerance(raster::Colour a, raster::Colour b, int tolerance);

// Fills the region around (x, y) in bitmap with colour: every pixel 4-connected to the seed
// through pixels whose colour lies within tolerance of the seed's.
FillOutcome FloodFillPixels(PixelBuffer& bitmap, int x, int y, raster::Colour colour, int tolerance, FillStack& stack);

// The fill of FloodFillPixels marked in map (width x height bytes, all 0 before) instead of
// painted: kFillMapChanged where painting would change the pixel's blue or green byte,
// kFillMapReached where the fill reaches the pixel but would change neither. The picture is
// only read. reachedOnly counts the second kind.
constexpr std::uint8_t kFillMapChanged = 255;
constexpr std::uint8_t kFillMapReached = 1;
FillOutcome FloodFillMap(const PixelBuffer& bitmap, int x, int y, raster::Colour colour, int tolerance,
                         FillStack& stack, std::uint8_t* map, std::size_t* reachedOnly);

// The fill colour of the magic wand: each channel of the seed moved half way round.
raster::Colour ContrastingColour(raster::Colour seed);

// What a fill of the canvas paints and how far it reaches: the caller decides (the fill tool
// its colour and tolerance, the magic wand the colour contrasting with the seed and its own).
struct FillPaint {
    raster::Colour colour = 0;
    bool contrasting = false;  // paint with ContrastingColour(seed) instead of colour
    int tolerance = 0;
};

// The fill of the canvas, on the current slot's work buffer at image point (x, y), the undo
// copy first. When memory runs out the picture is left as it was, after "Error: Out of
// memory". Returns 1 when something was filled.
int FloodFill(std::uint32_t slot, int x, int y, const FillPaint& paint);
int FloodFillWith(FillStack& stack, std::uint32_t slot, int x, int y, const FillPaint& paint);

inline constexpr const char* kFillOutOfMemory = "Error: Out of memory";

// The magic wand's fill of the current slot's work buffer marked in map (its width x height
// bytes, all 0 before; kFillMapChanged where the painted fill would change the blue or green
// byte, 0 elsewhere), for a work buffer known to equal its undo copy: the picture stays as it
// is, and the undo level's records are set as a painted fill sets them. Returns 1 when
// something was marked.
int WandFillOfEqualCopy(std::uint32_t slot, int x, int y, int tolerance, std::uint8_t* map);
